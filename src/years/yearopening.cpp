#include "years/yearopening.h"

#include "app/filecopy.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "data/engine/engineerror.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"
#include "data/tdm.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString ContactLine = QStringLiteral("\nPer assistenza rivolgersi al fornitore del programma.");

QString underBase(const QString &name)
{
    return QDir(appState().DirBase).filePath(name);
}

// The copy as the year selection makes it: existing targets overwritten, errors shown.
bool copy(const QString &source, const QString &target)
{
    TFileCopyNew copier;
    useProgramHandlers(copier);
    copier.SourceFile = source;
    copier.TargetFile = target;
    return copier.Execute();
}

// A table is copied whole by the engine; its error is shown as the copy's errors are.
bool copyTable(const QString &sourceDir, const QString &table, const QString &targetDir)
{
    try {
        engine::tablefiles::copy(sourceDir, table, targetDir);
        return true;
    } catch (const engine::EngineError &error) {
        showCopyError(error.message());
        return false;
    }
}

// Every file of a template folder into a folder. A missing template would match nothing and look
// like a folder made.
bool copyTemplate(const QString &templateName, const QString &targetDir)
{
    const QString templateDir = underBase(templateName);
    if (!QFileInfo(templateDir).isDir()) {
        showCopyError(QDir::toNativeSeparators(templateDir) + QStringLiteral(" missing or corrupted or opened for exclusive use"));
        return false;
    }
    return copy(QDir(templateDir).filePath(QStringLiteral("*.*")), targetDir + QLatin1Char('/'));
}

struct MissingFile {
    QString directory;     // where the file should be
    QString table;         // a table name, or empty for a plain file
    QString plainFile;
    QString templateName;  // vuoto or vuoto_dati
    QString failure;
    bool AppState::*flag;  // armed when the file was missing, or nullptr
};

} // namespace

namespace years {

bool CreaAnno(const QString &year)
{
    bool created = copyTemplate(QStringLiteral("vuoto"), underBase(year));
    if (!QFileInfo(appState().dataDir()).isDir())
        created = copyTemplate(QStringLiteral("vuoto_dati"), appState().dataDir()) && created;
    return created;
}

void CompletaAnno(const QString &year)
{
    AppState &state = appState();
    const QString yearDir = underBase(year);
    const QString dataDir = state.dataDir();
    const MissingFile files[] = {
        {yearDir, QStringLiteral("dati_extra"), {}, QStringLiteral("vuoto"),
         QStringLiteral("Errore nei dati extra.ATTENZIONE!! "), nullptr},
        {yearDir, QStringLiteral("misurazioni2"), {}, QStringLiteral("vuoto"),
         QStringLiteral("Errore nei dati MISURAZIONI2.ATTENZIONE!! "), &AppState::ConversioneDaFare},
        {yearDir, {}, QStringLiteral("fix1.txt"), QStringLiteral("vuoto"),
         QStringLiteral("Errore nei dati MISURAZIONI2.ATTENZIONE!! "), &AppState::CorrezioneDaFare},
        {dataDir, QStringLiteral("impostazioni"), {}, QStringLiteral("vuoto_dati"),
         QStringLiteral("Errore nel file impostazioni.ATTENZIONE!! "), nullptr},
        {dataDir, QStringLiteral("password_"), {}, QStringLiteral("vuoto_dati"),
         QStringLiteral("Errore nel file password. ATTENZIONE!! "), nullptr},
        {dataDir, QStringLiteral("tipo_int"), {}, QStringLiteral("vuoto_dati"),
         QStringLiteral("Errore nel file tipo intervento. ATTENZIONE!! "), nullptr},
    };
    for (const MissingFile &file : files) {
        const bool isTable = !file.table.isEmpty();
        const bool present = isTable ? engine::tablefiles::exists(file.directory, file.table)
                                     : QFileInfo(QDir(file.directory).filePath(file.plainFile)).isFile();
        if (present)
            continue;
        const QString templateDir = underBase(file.templateName);
        const bool copied = isTable ? copyTable(templateDir, file.table, file.directory)
                                    : copy(QDir(templateDir).filePath(file.plainFile), QDir(file.directory).filePath(file.plainFile));
        if (!copied)
            Messages::error(file.failure);
        // Armed whatever the copy's outcome: the step runs at the first opening that finds the table.
        if (file.flag)
            state.*file.flag = true;
    }
}

bool ControllaAnno(const QString &year)
{
    const QString yearDir = underBase(year);
    engine::Table ownRegister;
    engine::Table ownExtra;
    engine::Table *oldRegister = dm ? dm->Tab_mis : &ownRegister;
    engine::Table *extra = dm ? dm->Tab_dati_extra : &ownExtra;
    if (!dm) {
        ownRegister.setTableName(QStringLiteral("misurazioni"));
        ownExtra.setTableName(QStringLiteral("dati_extra"));
    }
    bool opened = true;
    try {
        oldRegister->close();
        oldRegister->setDirectory(yearDir);
        oldRegister->open();
        extra->close();
        extra->setDirectory(yearDir);
        extra->open();
    } catch (const std::exception &) {
        opened = false;
    }
    oldRegister->close();
    extra->close();
    if (!opened) {
        Messages::warning(QStringLiteral("Anno non trovato. contattare la vesksoft.") + ContactLine);
        Messages::warning(QStringLiteral("Se usate WINDOWS 7-8-10  provate ad eseguire il software come amministratori "
                                         "o contattare la vesksoft.")
                          + ContactLine);
    }
    return opened;
}

YearOpening ApriAnno(const QString &year, const std::function<void(const QString &)> &showYear)
{
    AppState &state = appState();
    if (dm)
        dm->dmDestroy();

    if (!QFileInfo(underBase(year)).isDir()) {
        if (!Messages::confirm(QStringLiteral("Anno non trovato. E'  consigliabile creare un anno appena si è terminato "
                                              "tutto il caricamento dell\"anno precedente. Crearlo adesso?")))
            return YearOpening::CreationRefused;
        if (CreaAnno(year)) {
            Messages::information(QStringLiteral("creazione anno eseguito correttamente"));
            state.NuovoAnnoCreato = true;
        } else {
            Messages::error(QStringLiteral("creazione NON eseguito.ATTENZIONE!! "));
        }
    }

    CompletaAnno(year);
    if (!ControllaAnno(year))
        return YearOpening::CheckFailed;

    state.AnnoLavoro = year;
    if (showYear)
        showYear(QStringLiteral("Anno: ") + year);
    if (dm)
        dm->dmCreate();
    return YearOpening::Opened;
}

} // namespace years
