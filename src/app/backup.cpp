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

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Reserves a new backup under the root: a name that neither a finished backup nor one in the making
// has, whose incomplete folder is made here so that no other backup can take it. Gives the final path.
QString reserveFolder(const QString &root, const QString &name)
{
    if (!QDir().mkpath(root))
        return {};
    const QDir rootDir(root);
    QString candidate = name;
    for (int suffix = 2;; ++suffix) {
        const QString incomplete = candidate + QLatin1String(backup::IncompleteSuffix);
        if (!rootDir.exists(candidate)) {
            if (rootDir.mkdir(incomplete))
                return rootDir.filePath(candidate);
            if (!rootDir.exists(incomplete))
                return {};
        }
        candidate = name + QLatin1Char('-') + QString::number(suffix);
    }
}

// One thing a backup saves: the files directly inside a folder of DirBase, or the configuration file.
struct Item {
    QString name;   // its name in the backup folder
    QString source;
    bool isFolder;
};

QList<Item> itemsOf(const backup::Request &request)
{
    const QDir base(request.dirBase);
    QList<Item> items{{QStringLiteral("dati"), base.filePath(QStringLiteral("dati")), true}};
    for (const QString &year : request.years)
        items.append({year, base.filePath(year), true});
    if (!request.configFile.isEmpty())
        items.append({QFileInfo(request.configFile).fileName(), request.configFile, false});
    return items;
}

QStringList namesOf(const QList<Item> &items)
{
    QStringList names;
    for (const Item &item : items)
        names << item.name;
    return names;
}

// Copies the item into the backup folder and checks that each of its files arrived with its size.
bool saveItem(TFileCopyNew &copy, const Item &item, const QString &folder, const std::function<void(const QString &)> &onError)
{
    const QString target = QDir(folder).filePath(item.name);
    const QFileInfoList files = item.isFolder ? QDir(item.source).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)
                                              : QFileInfoList{QFileInfo(item.source)};
    copy.SourceFile = item.isFolder ? QDir(item.source).filePath(QStringLiteral("*.*")) : item.source;
    copy.TargetFile = item.isFolder ? target + QLatin1Char('/') : target;
    if (!copy.Execute())
        return false;
    const QString targetDir = item.isFolder ? target : folder;
    for (const QFileInfo &file : files) {
        const QFileInfo copied(QDir(targetDir).filePath(file.fileName()));
        if (!copied.isFile() || copied.size() != file.size()) {
            onError(QStringLiteral("La copia non è uguale all'originale: ") + native(copied.filePath()));
            return false;
        }
    }
    return true;
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
    const QList<Item> items = itemsOf(request);
    // A missing folder would match nothing and look like a backup that saved it.
    for (const Item &item : items) {
        if (item.isFolder && !QFileInfo(item.source).isDir()) {
            onError(QStringLiteral("Cartella non trovata: ") + native(item.source));
            outcome.notSaved << item.name;
        }
    }
    if (!outcome.notSaved.isEmpty())
        return outcome;

    const QString finalFolder = reserveFolder(request.root, folderName(request.when));
    if (finalFolder.isEmpty()) {
        onError(QStringLiteral("Impossibile creare la cartella di salvataggio in ") + native(request.root));
        outcome.notSaved = namesOf(items);
        return outcome;
    }
    const QString folder = finalFolder + QLatin1String(IncompleteSuffix);

    bool copyFailed = false;
    TFileCopyNew copy;
    copy.ShowProgressOnMemo = false;
    copy.OnOverriding = [](TFileCopyNew &, bool &canOverride) { canOverride = true; };
    copy.OnError = [&](TFileCopyNew &, const QString &message) {
        copyFailed = true;
        onError(message);
    };
    for (const Item &item : items) {
        copyFailed = false;
        if (!saveItem(copy, item, folder, onError) || copyFailed)
            outcome.notSaved << item.name;
    }

    if (outcome.notSaved.isEmpty()) {
        if (QDir().rename(folder, finalFolder)) {
            outcome.folder = native(finalFolder);
            outcome.ok = true;
            return outcome;
        }
        onError(QStringLiteral("Impossibile rinominare la cartella %1 in %2").arg(native(folder), native(finalFolder)));
        outcome.notSaved = namesOf(items);
    }
    if (!QDir(folder).removeRecursively())
        outcome.leftOver = native(folder);
    return outcome;
}

QString failureSummary(const Outcome &outcome)
{
    QString summary = QStringLiteral("Non è stato possibile salvare: %1.\n").arg(outcome.notSaved.join(QStringLiteral(", ")));
    if (outcome.leftOver.isEmpty())
        return summary + QStringLiteral("Nessuna copia di salvataggio è stata fatta.");
    return summary
        + QStringLiteral("La copia incompleta è rimasta nella cartella %1: non usarla per un ripristino.").arg(outcome.leftOver);
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
    if (outcome.ok) {
        Messages::information(QStringLiteral("Salvataggio eseguito correttamente nella cartella :") + outcome.folder);
    } else {
        Messages::error(QStringLiteral("Salvataggio NON Eseguito.ATTENZIONE!! "));
        if (!outcome.notSaved.isEmpty())
            Messages::error(failureSummary(outcome));
    }

    if (dm)
        dm->dmCreate();
}

} // namespace backup
