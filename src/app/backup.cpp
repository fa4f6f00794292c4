#include "app/backup.h"

#include "ground/config.h"
#include "app/filecopy.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "data/engine/table.h"
#include "data/tdm.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

std::function<QDateTime()> &backupClock()
{
    static std::function<QDateTime()> current;
    return current;
}

// A new folder under the root, made here so that no other backup can take the same name.
QString makeNewFolder(const QString &root, const QString &name)
{
    if (!QDir().mkpath(root))
        return {};
    QDir rootDir(root);
    QString candidate = name;
    for (int suffix = 2; !rootDir.mkdir(candidate); ++suffix) {
        if (!rootDir.exists(candidate))
            return {};
        candidate = name + QLatin1Char('-') + QString::number(suffix);
    }
    return rootDir.filePath(candidate);
}

} // namespace

namespace backup {

void setClock(std::function<QDateTime()> source)
{
    backupClock() = std::move(source);
}

QDateTime now()
{
    return backupClock() ? backupClock()() : QDateTime::currentDateTime();
}

QString folderName(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd_HHmm"));
}

QString root(const QString &dirBackup, const QString &dirBase)
{
    return dirBackup.isEmpty() ? QDir(dirBase).filePath(QStringLiteral("backup")) : dirBackup;
}

QString dirBackupSetting(const QString &dataDir)
{
    try {
        engine::Table settings;
        settings.setDirectory(dataDir);
        settings.setTableName(QStringLiteral("impostazioni"));
        settings.open();
        if (settings.isEmpty())
            return {};
        settings.first();
        return settings.asString(QStringLiteral("Dir_backup")).trimmed();
    } catch (const std::exception &) {
        return {};
    }
}

QStringList yearFolders(const QString &dirBase)
{
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    return QDir(dirBase).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name).filter(fourDigits);
}

Outcome save(const Request &request, const std::function<void(const QString &)> &onError)
{
    Outcome outcome;
    const QString folder = makeNewFolder(request.root, folderName(request.when));
    if (folder.isEmpty()) {
        onError(QStringLiteral("Impossibile creare la cartella di salvataggio in ")
                + QDir::toNativeSeparators(request.root));
        return outcome;
    }
    outcome.folder = QDir::toNativeSeparators(folder);

    bool failed = false;
    TFileCopyNew copy;
    copy.ShowProgressOnMemo = false;
    copy.OnOverriding = [](TFileCopyNew &, bool &canOverride) { canOverride = true; };
    copy.OnError = [&](TFileCopyNew &, const QString &message) {
        failed = true;
        onError(message);
    };

    const QDir base(request.dirBase);
    QStringList folders{QStringLiteral("dati")};
    folders += request.years;
    for (const QString &name : std::as_const(folders)) {
        // A missing folder would match nothing and look like a backup that saved it.
        if (!QFileInfo(base.filePath(name)).isDir()) {
            failed = true;
            onError(QStringLiteral("Cartella non trovata: ") + QDir::toNativeSeparators(base.filePath(name)));
            continue;
        }
        copy.SourceFile = QDir(base.filePath(name)).filePath(QStringLiteral("*.*"));
        copy.TargetFile = QDir(folder).filePath(name) + QLatin1Char('/');
        copy.Execute();
    }
    if (!request.configFile.isEmpty()) {
        copy.SourceFile = request.configFile;
        copy.TargetFile = QDir(folder).filePath(QFileInfo(request.configFile).fileName());
        copy.Execute();
    }
    outcome.ok = !failed;
    return outcome;
}

void CopiaDiSalvataggio()
{
    const QDateTime when = now();
    const AppState &state = appState();
    QString dirBackup;
    if (dm && dm->TabImpostazioni->isOpen()) {
        try {
            dirBackup = dm->TabImpostazioni->asString(QStringLiteral("Dir_backup")).trimmed();
        } catch (const std::exception &) {
        }
    } else {
        dirBackup = dirBackupSetting(state.dataDir());
    }
    if (dm)
        dm->dmDestroy();

    Request request;
    request.dirBase = state.DirBase;
    if (!state.AnnoLavoro.isEmpty())
        request.years = QStringList{state.AnnoLavoro};
    request.configFile = config::filePath();
    request.root = root(dirBackup, state.DirBase);
    request.when = when;
    Outcome outcome;
    try {
        outcome = save(request, showCopyError);
    } catch (const std::exception &) {
        outcome.ok = false;
    }
    if (outcome.ok)
        Messages::information(QStringLiteral("Salvataggio eseguito correttamente nella cartella :") + outcome.folder);
    else
        Messages::error(QStringLiteral("Salvataggio NON Eseguito.ATTENZIONE!! "));

    if (dm)
        dm->dmCreate();
}

} // namespace backup
