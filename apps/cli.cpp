// sigillo-cli: the headless companion of Sigillo, for scripts and for the laboratory's checks
// without the desktop program. Each command is one function with one row in commands(); adding a
// command means writing its function and its row, and the help text follows from the table.
//
// Exit status: 0 when every code handled is valid and every copy succeeded, 1 otherwise, 2 on wrong usage.

#include "app/backup.h"
#include "app/demo.h"
#include "ground/config.h"
#include "ground/instancelock.h"
#include "ground/state.h"
#include "codfis/codfis.h"
#include "codfis/piva.h"
#include "ground/messages.h"
#include "import/importa.h"
#include "prints/export_xlsx.h"
#include "prints/extrafilter.h"
#include "quarterly/scarico.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

enum ExitStatus { AllValid = 0, SomeInvalid = 1, WrongUsage = 2 };

struct Console {
    QTextStream in{stdin};
    QTextStream out{stdout};
    QTextStream err{stderr};
};

struct Command {
    QString name;
    QString usage; // the command's lines in the help text
    int (*run)(const QStringList &args, Console &io);
};

const QList<Command> &commands();

QString helpText()
{
    QString text = QStringLiteral("Uso: sigillo-cli COMANDO [ARGOMENTI...]\n\nComandi:\n");
    for (const Command &command : commands())
        text += command.usage;
    text += QStringLiteral("\nOpzioni:\n"
                           "  -h, --help  mostra questo aiuto\n"
                           "\nStato di uscita: 0 se ogni codice è valido e ogni copia è riuscita, 1 altrimenti,\n"
                           "2 se il comando è usato male.\n");
    return text;
}

int wrongUsage(Console &io, const QString &message)
{
    io.err << "sigillo-cli: " << message << "\n\n" << helpText();
    return WrongUsage;
}

// A year as --anno takes it: four digits.
bool isYear(const QString &text)
{
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    return fourDigits.match(text).hasMatch();
}

int wrongYear(Console &io, const QString &year)
{
    return wrongUsage(io, QStringLiteral("anno non valido: «%1» (atteso AAAA)").arg(year));
}

// Tcodfis answers with codes only; this is what they mean to whoever runs the command.
QString explainError(const QString &code)
{
    const QString character = code.mid(1);
    switch (code.at(0).unicode()) {
    case '1':
        return QStringLiteral("il cognome contiene il carattere non ammesso «%1»").arg(character);
    case '2':
        return QStringLiteral("il nome contiene il carattere non ammesso «%1»").arg(character);
    case '3':
        return QStringLiteral("il cognome ha meno di due caratteri");
    case '4':
        return QStringLiteral("il cognome non contiene vocali");
    case '5':
        return QStringLiteral("il nome ha meno di due caratteri");
    case '6':
        return QStringLiteral("il nome non contiene vocali prima della quarta consonante");
    case '7':
        return QStringLiteral("il codice catastale non è di quattro lettere o cifre");
    case '8':
        return QStringLiteral("la data di nascita non è valida");
    }
    return QStringLiteral("codice non calcolabile");
}

int computeFiscalCode(const QStringList &args, Console &io)
{
    const QString sex = args[2].toUpper();
    if (sex != QLatin1String("M") && sex != QLatin1String("F"))
        return wrongUsage(io, QStringLiteral("sesso non valido: «%1» (atteso M o F)").arg(args[2]));
    QDate birth = QDate::fromString(args[3], QStringLiteral("dd/MM/yyyy"));
    if (!birth.isValid())
        birth = QDate::fromString(args[3], QStringLiteral("d/M/yyyy"));
    if (!birth.isValid())
        return wrongUsage(io, QStringLiteral("data di nascita non valida: «%1» (attesa GG/MM/AAAA)").arg(args[3]));

    Tcodfis codfis;
    codfis.setCognome(args[0]);
    codfis.setNome(args[1]);
    codfis.setSesso(sex == QLatin1String("F") ? Tcodfis::F : Tcodfis::M);
    codfis.setData_Nascita(birth);
    // Cadastral codes are written in capitals; accept them typed in lower case.
    codfis.setCodice_comune(args[4].toUpper());
    codfis.Calcola();
    if (!codfis.Valido()) {
        io.out << "errore " << codfis.codfis() << ": " << explainError(codfis.codfis()) << '\n';
        return SomeInvalid;
    }
    io.out << codfis.codfis() << '\n';
    return AllValid;
}

int checkFiscalCode(const QString &code, Console &io)
{
    Tcodfis codfis;
    codfis.setCodfis(code);
    io.out << code << (codfis.Valido() ? ": valido\n" : ": non valido\n");
    return codfis.Valido() ? AllValid : SomeInvalid;
}

int codiceFiscale(const QStringList &args, Console &io)
{
    if (args.size() == 5)
        return computeFiscalCode(args, io);
    if (args.size() == 1)
        return checkFiscalCode(args[0], io);
    return wrongUsage(io, QStringLiteral("codice-fiscale vuole un codice da controllare oppure "
                                         "cognome, nome, sesso, data di nascita e codice catastale"));
}

int partitaIva(const QStringList &args, Console &io)
{
    QStringList numbers = args;
    if (numbers.isEmpty()) {
        QString line;
        while (io.in.readLineInto(&line)) {
            if (!line.trimmed().isEmpty())
                numbers.append(line);
        }
        if (numbers.isEmpty()) {
            io.err << "sigillo-cli: nessuna partita IVA da controllare\n";
            return SomeInvalid;
        }
    }
    int status = AllValid;
    for (const QString &number : std::as_const(numbers)) {
        const bool valid = PivaValida(number);
        io.out << number << (valid ? ": valida\n" : ": non valida\n");
        if (!valid)
            status = SomeInvalid;
    }
    return status;
}

// The configuration file the desktop program beside this one uses by default.
QString desktopConfigFile()
{
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Sigillo"));
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(ownName);
    return config::locationFor(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sigillo")), userData);
}

int backupCommand(const QStringList &args, Console &io)
{
    QString configFile;
    QString year;
    for (int i = 0; i < args.size(); ++i) {
        QString option = args[i];
        QString value;
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
        }
        if (option != QLatin1String("--config") && option != QLatin1String("--anno"))
            return wrongUsage(io, QStringLiteral("opzione sconosciuta: «%1»").arg(option));
        if (equals <= 0) {
            if (i + 1 >= args.size())
                return wrongUsage(io, QStringLiteral("manca il valore di %1").arg(option));
            value = args[++i];
        }
        (option == QLatin1String("--config") ? configFile : year) = value;
    }
    if (!year.isNull() && !isYear(year))
        return wrongYear(io, year);
    if (configFile.isEmpty())
        configFile = desktopConfigFile();
    configFile = QFileInfo(configFile).absoluteFilePath();
    // Without its file the base directory would be a guess, and the backup would save the wrong folder.
    if (!QFileInfo(configFile).isFile()) {
        io.err << "sigillo-cli: file di configurazione non trovato: " << QDir::toNativeSeparators(configFile) << '\n';
        return SomeInvalid;
    }

    AppState state;
    config::readFile(configFile, state);
    // The tables are copied as files: nobody may write them meanwhile.
    InstanceLock lock(state.DirBase);
    if (!lock.tryLock()) {
        io.err << "sigillo-cli: " << lock.errorMessage() << '\n';
        return SomeInvalid;
    }

    backup::Request request;
    request.dirBase = state.DirBase;
    request.years = year.isNull() ? backup::yearFolders(state.DirBase) : QStringList{year};
    request.configFile = configFile;
    request.root = backup::root(backup::dirBackupSetting(state.dataDir()), state.DirBase);
    request.when = backup::now();
    const auto problem = [&io](const QString &text) {
        io.err << "sigillo-cli: " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) << '\n';
    };
    const backup::Outcome outcome = backup::save(request, problem);
    if (!outcome.ok) {
        problem(backup::failureSummary(outcome));
        return SomeInvalid;
    }
    io.out << outcome.folder << '\n';
    return AllValid;
}

// Each option of `names` as "--name value" or "--name=value"; false, with the reason, on anything else.
bool readOptions(const QStringList &args, const QStringList &names, QHash<QString, QString> &values, QString &problem)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const qsizetype equals = args[i].indexOf(QLatin1Char('='));
        const QString name = equals > 0 ? args[i].left(equals) : args[i];
        if (!names.contains(name)) {
            problem = QStringLiteral("opzione sconosciuta: «%1»").arg(name);
            return false;
        }
        if (equals > 0) {
            values.insert(name, args[i].mid(equals + 1));
        } else if (i + 1 < args.size()) {
            values.insert(name, args[++i]);
        } else {
            problem = QStringLiteral("manca il valore di %1").arg(name);
            return false;
        }
    }
    return true;
}

int demoCommand(const QStringList &args, Console &io)
{
    const QString folderOption = QStringLiteral("--cartella");
    const QString countOption = QStringLiteral("--interventi");
    const QString yearOption = QStringLiteral("--anno");
    QHash<QString, QString> options;
    QString problem;
    if (!readOptions(args, {folderOption, countOption, yearOption}, options, problem))
        return wrongUsage(io, problem);

    demo::Request request;
    request.folder = options.value(folderOption);
    if (request.folder.isEmpty())
        return wrongUsage(io, QStringLiteral("manca la cartella (--cartella CARTELLA)"));
    if (options.contains(countOption)) {
        bool number = false;
        request.interventions = options.value(countOption).toInt(&number);
        if (!number || request.interventions < demo::MinimumInterventions || request.interventions > demo::MaximumInterventions)
            return wrongUsage(io, QStringLiteral("numero di interventi non valido: «%1» (atteso da %2 a %3)")
                                      .arg(options.value(countOption))
                                      .arg(demo::MinimumInterventions)
                                      .arg(demo::MaximumInterventions));
    }
    if (options.contains(yearOption)) {
        const QString year = options.value(yearOption);
        request.year = year.toInt();
        if (!isYear(year) || request.year < FirstAuthorisationYear || request.year > LastAuthorisationYear)
            return wrongUsage(io, QStringLiteral("anno non valido: «%1» (atteso AAAA, dal %2 al %3)")
                                      .arg(year)
                                      .arg(FirstAuthorisationYear)
                                      .arg(LastAuthorisationYear));
    }

    demo::Summary made;
    try {
        made = demo::build(request);
    } catch (const std::exception &failure) {
        io.err << "sigillo-cli: " << QString::fromUtf8(failure.what()) << '\n';
        return SomeInvalid;
    }
    io.out << QDir::toNativeSeparators(QDir::cleanPath(made.folder)) << '\n'
           << QStringLiteral("anno %1: %2 interventi, %3 con esito negativo, %4 malformati\n")
                  .arg(made.year)
                  .arg(made.interventions)
                  .arg(made.negative)
                  .arg(made.malformed)
           << QStringLiteral("soggetto obbligato con %1 abilitazioni, %2 tecnici, %3 variazioni dei tecnici\n")
                  .arg(made.authorisations)
                  .arg(made.technicians)
                  .arg(made.variations)
           << QStringLiteral("%1 esercizi, %2 modelli di misuratore\n").arg(made.shops).arg(made.models);
    return AllValid;
}

// Every message of an operation on the error stream, one line each; a question is answered No.
class TerminalMessages : public MessagePresenter {
public:
    explicit TerminalMessages(QTextStream &err) : m_err(err) { Messages::setPresenter(this); }
    ~TerminalMessages() override { Messages::setPresenter(nullptr); }
    void show(MessageKind, const QString &text) override { line(m_err, text); }
    bool confirm(const QString &text) override
    {
        line(m_err, text);
        return false;
    }
    static void line(QTextStream &stream, const QString &text)
    {
        stream << "sigillo-cli: " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) << '\n';
    }

private:
    QTextStream &m_err;
};

// The archive of the configuration file with `year` as its working year; false, after saying why, when
// the file or the year's folder is missing.
bool readYearArchive(const QString &configFile, const QString &year, AppState &state, Console &io)
{
    const QString path = QFileInfo(configFile).absoluteFilePath();
    if (!QFileInfo(path).isFile()) {
        io.err << "sigillo-cli: file di configurazione non trovato: " << QDir::toNativeSeparators(path) << '\n';
        return false;
    }
    config::readFile(path, state);
    state.AnnoLavoro = year;
    if (!QFileInfo(state.yearDir()).isDir()) {
        io.err << "sigillo-cli: l'archivio non ha l'anno " << year << ": " << QDir::toNativeSeparators(state.yearDir()) << '\n';
        return false;
    }
    return true;
}

int scaricoCommand(const QStringList &args, Console &io)
{
    const QString verifyOption = QStringLiteral("--verifica");
    QStringList rest = args;
    const bool verifyOnly = rest.removeAll(verifyOption) > 0;
    const QString configOption = QStringLiteral("--config"), yearOption = QStringLiteral("--anno"),
                  quarterOption = QStringLiteral("--trimestre"), folderOption = QStringLiteral("--cartella"),
                  prefixOption = QStringLiteral("--prefisso"), intermediaryOption = QStringLiteral("--intermediario"),
                  cafOption = QStringLiteral("--ncaf"), preparedOption = QStringLiteral("--predisposta"),
                  dateOption = QStringLiteral("--data-impegno");
    QHash<QString, QString> options;
    QString problem;
    if (!readOptions(rest, {configOption, yearOption, quarterOption, folderOption, prefixOption, intermediaryOption, cafOption,
                            preparedOption, dateOption},
                     options, problem))
        return wrongUsage(io, problem);
    const QString year = options.value(yearOption);
    if (!isYear(year))
        return wrongYear(io, year);
    static const QRegularExpression quarters(QStringLiteral("^[1-4]$"));
    if (!quarters.match(options.value(quarterOption)).hasMatch())
        return wrongUsage(io, QStringLiteral("trimestre non valido: «%1» (atteso 1, 2, 3 o 4)").arg(options.value(quarterOption)));
    if (!verifyOnly && options.value(folderOption).isEmpty())
        return wrongUsage(io, QStringLiteral("manca la cartella (--cartella CARTELLA)"));
    quarterly::Choices choices;
    choices.folder = options.value(folderOption);
    choices.prefix = options.value(prefixOption, choices.prefix);
    if (choices.prefix.size() > 12 || choices.prefix.contains(QLatin1Char('/')) || choices.prefix.contains(QLatin1Char('\\')))
        return wrongUsage(io, QStringLiteral("prefisso non valido: «%1» (al più 12 caratteri, senza / né \\)").arg(choices.prefix));
    std::optional<quarterly::Intermediary> intermediary;
    if (options.contains(intermediaryOption) || options.contains(cafOption) || options.contains(preparedOption)
        || options.contains(dateOption)) {
        const QString prepared = options.value(preparedOption);
        const QDate commitment = QDate::fromString(options.value(dateOption), QStringLiteral("d/M/yyyy"));
        if (options.value(intermediaryOption).isEmpty())
            return wrongUsage(io, QStringLiteral("manca il codice fiscale dell'intermediario (--intermediario CF)"));
        if (prepared != QLatin1String("1") && prepared != QLatin1String("2"))
            return wrongUsage(io, QStringLiteral("predisposizione non valida: «%1» (attesa 1 o 2)").arg(prepared));
        if (!commitment.isValid())
            return wrongUsage(io, QStringLiteral("data dell'impegno non valida: «%1» (attesa GG/MM/AAAA)")
                                      .arg(options.value(dateOption)));
        // The date as the window's field shows it, whose digits the header keeps.
        intermediary = quarterly::Intermediary{options.value(intermediaryOption), options.value(cafOption), prepared.toInt(),
                                               commitment.toString(QStringLiteral("dd/MM/yyyy"))};
    }
    AppState state;
    if (!readYearArchive(options.value(configOption, desktopConfigFile()), year, state, io))
        return SomeInvalid;

    // Only read: no lock, so the desktop program may be open on the same archive.
    TerminalMessages messages(io.err);
    try {
        quarterly::Scarico scarico(state);
        if (intermediary && !options.contains(cafOption)) {
            const std::optional<QString> caf = scarico.cafOf(intermediary->fiscalCode);
            if (!caf)
                return wrongUsage(io, QStringLiteral("intermediario non presente nell'archivio intermediari: «%1»")
                                          .arg(intermediary->fiscalCode));
            intermediary->caf = *caf;
        }
        scarico.select(options.value(quarterOption).toInt());
        scarico.setIntermediary(intermediary);
        choices.onePerAuthorisation = scarico.defaultOnePerAuthorisation();
        const QList<quarterly::Finding> findings = scarico.Controllo(choices.onePerAuthorisation);
        for (const quarterly::Finding &finding : findings)
            TerminalMessages::line(io.err, finding.text());
        if (verifyOnly) {
            io.out << (findings.isEmpty() ? QStringLiteral("nessun problema trovato")
                                          : QStringLiteral("problemi trovati: %1").arg(findings.size()))
                   << '\n';
            return findings.isEmpty() ? AllValid : SomeInvalid;
        }
        const quarterly::Scarico::Outcome outcome =
            scarico.generate(choices, [&io](const QString &line) { TerminalMessages::line(io.err, line); });
        for (const QString &file : outcome.files)
            io.out << QDir::toNativeSeparators(file) << '\n';
        return outcome.written ? AllValid : SomeInvalid;
    } catch (const std::exception &failure) {
        TerminalMessages::line(io.err, QString::fromUtf8(failure.what()));
        return SomeInvalid;
    }
}

int importaCommand(const QStringList &args, Console &io)
{
    const QString configOption = QStringLiteral("--config"), yearOption = QStringLiteral("--anno"),
                  fileOption = QStringLiteral("--file"), layoutOption = QStringLiteral("--formato");
    QHash<QString, QString> options;
    QString problem;
    if (!readOptions(args, {configOption, yearOption, fileOption, layoutOption}, options, problem))
        return wrongUsage(io, problem);
    const QString year = options.value(yearOption);
    if (!isYear(year))
        return wrongYear(io, year);
    if (options.value(fileOption).isEmpty())
        return wrongUsage(io, QStringLiteral("manca il file da importare (--file PERCORSO)"));
    const QString layout = options.value(layoutOption, QStringLiteral("2010"));
    if (layout != QLatin1String("2010") && layout != QLatin1String("iniziale"))
        return wrongUsage(io, QStringLiteral("formato non valido: «%1» (atteso 2010 o iniziale)").arg(layout));
    AppState state;
    if (!readYearArchive(options.value(configOption, desktopConfigFile()), year, state, io))
        return SomeInvalid;
    // The import writes the registries and the register: nobody may write them meanwhile.
    InstanceLock lock(state.DirBase);
    if (!lock.tryLock()) {
        io.err << "sigillo-cli: " << lock.errorMessage() << '\n';
        return SomeInvalid;
    }

    TerminalMessages messages(io.err);
    importer::QuarterlyImport import(state);
    if (!import.stage(options.value(fileOption), layout == QLatin1String("2010") ? importer::Layout::Y2010 : importer::Layout::Initial))
        return SomeInvalid;
    const importer::Staged staged = import.staged();
    io.out << "testate lette: " << staged.headers << '\n'
           << "tecnici letti: " << staged.technicians << '\n'
           << "interventi letti: " << staged.interventions << '\n';
    const importer::Merged merged = import.merge();
    io.out << "esercizi creati: " << merged.shops << '\n'
           << "modelli di misuratore creati: " << merged.models << '\n'
           << "tecnici creati: " << merged.technicians << '\n'
           << "comuni creati: " << merged.municipalities << '\n'
           << "interventi aggiunti: " << merged.added << '\n'
           << "interventi già presenti: " << merged.skipped << '\n';
    return merged.done ? AllValid : SomeInvalid;
}

int esportaCommand(const QStringList &args, Console &io)
{
    const QString configOption = QStringLiteral("--config"), yearOption = QStringLiteral("--anno"),
                  fileOption = QStringLiteral("--file"), typeOption = QStringLiteral("--tipo"),
                  outcomeOption = QStringLiteral("--esito"), municipalityOption = QStringLiteral("--comune");
    QHash<QString, QString> options;
    QString problem;
    if (!readOptions(args, {configOption, yearOption, fileOption, typeOption, outcomeOption, municipalityOption}, options, problem))
        return wrongUsage(io, problem);
    const QString year = options.value(yearOption);
    if (!isYear(year))
        return wrongYear(io, year);
    if (options.value(fileOption).isEmpty())
        return wrongUsage(io, QStringLiteral("manca il file (--file PERCORSO.xlsx)"));
    static const QRegularExpression typeCode(QStringLiteral("^[1-9]$"));
    if (options.contains(typeOption) && !typeCode.match(options.value(typeOption)).hasMatch())
        return wrongUsage(io, QStringLiteral("tipo di intervento non valido: «%1» (atteso da 1 a 9)").arg(options.value(typeOption)));
    const QString outcome = options.value(outcomeOption);
    if (options.contains(outcomeOption) && outcome != QLatin1String("0") && outcome != QLatin1String("1"))
        return wrongUsage(io, QStringLiteral("esito non valido: «%1» (atteso 0 o 1)").arg(outcome));
    AppState state;
    if (!readYearArchive(options.value(configOption, desktopConfigFile()), year, state, io))
        return SomeInvalid;

    // Only read: no lock, so the desktop program may be open on the same archive.
    try {
        extraprints::ExportSource source(state);
        extraprints::Choices choices;
        choices.type = options.value(typeOption);
        choices.outcome = outcome;
        // Municipalities are kept in capitals, as the window's list is typed.
        choices.municipality = options.value(municipalityOption).toUpper();
        const QString filter = *extraprints::filterText(choices, source.models(), source.technicians(), nullptr);
        extraprints::applyFilter(source.verifications(), filter);
        const QString path = QFileInfo(options.value(fileOption)).absoluteFilePath();
        const extraprints::ExportOutcome written = extraprints::exportWorkbook(source.verifications(), path);
        if (!written.written) {
            TerminalMessages::line(io.err, written.problem);
            return SomeInvalid;
        }
        io.out << QDir::toNativeSeparators(path) << '\n' << QStringLiteral("%1 interventi esportati\n").arg(written.rows);
        return AllValid;
    } catch (const std::exception &failure) {
        TerminalMessages::line(io.err, QString::fromUtf8(failure.what()));
        return SomeInvalid;
    }
}

const QList<Command> &commands()
{
    static const QList<Command> table = {
        {QStringLiteral("codice-fiscale"),
         QStringLiteral("  codice-fiscale COGNOME NOME SESSO GG/MM/AAAA CODICE_CATASTALE\n"
                        "      calcola il codice fiscale di una persona fisica (SESSO: M o F)\n"
                        "  codice-fiscale CODICE\n"
                        "      controlla il carattere di controllo di un codice fiscale\n"),
         codiceFiscale},
        {QStringLiteral("partita-iva"),
         QStringLiteral("  partita-iva [NUMERO...]\n"
                        "      controlla le partite IVA date; senza numeri le legge dallo standard input,\n"
                        "      una per riga\n"),
         partitaIva},
        {QStringLiteral("backup"),
         QStringLiteral("  backup [--config FILE] [--anno AAAA]\n"
                        "      copia dati/, il file di configurazione e la cartella dell'anno (ogni cartella\n"
                        "      di anno se --anno manca) in una nuova cartella di salvataggio e ne stampa il\n"
                        "      percorso; non parte mentre Sigillo è aperto sulla stessa cartella dati; la\n"
                        "      cartella prende il suo nome solo quando ogni file è stato copiato per intero\n"),
         backupCommand},
        {QStringLiteral("demo"),
         QStringLiteral("  demo --cartella CARTELLA [--interventi N] [--anno AAAA]\n"
                        "      crea in una cartella senza archivio un archivio dimostrativo completo: il\n"
                        "      soggetto obbligato con due abilitazioni, otto tecnici e le loro variazioni,\n"
                        "      esercizi, misuratori e N interventi dell'anno AAAA (predefiniti: 2000\n"
                        "      interventi, l'anno in corso); ne stampa la cartella e il contenuto\n"),
         demoCommand},
        {QStringLiteral("scarico"),
         QStringLiteral("  scarico [--config FILE] --anno AAAA --trimestre 1|2|3|4 --cartella CARTELLA [--prefisso TESTO]\n"
                        "          [--intermediario CF [--ncaf NUMERO] --predisposta 1|2 --data-impegno GG/MM/AAAA]\n"
                        "          [--verifica]\n"
                        "      scrive nella cartella il file trimestrale per l'Agenzia delle Entrate, uno per\n"
                        "      abilitazione se il soggetto obbligato ne ha più d'una, come la finestra dello scarico\n"
                        "      (prefisso predefinito: nome_file), e ne stampa i percorsi; i messaggi, le righe di\n"
                        "      lunghezza errata e i problemi trovati dal controllo dei dati vanno sullo standard\n"
                        "      error; --predisposta: 1 dal contribuente, 2 da chi effettua l'invio; senza --ncaf\n"
                        "      vale il numero C.A.F. dell'archivio intermediari; con --verifica fa solo il\n"
                        "      controllo e non scrive nulla (stato 1 se trova problemi); legge soltanto l'archivio,\n"
                        "      anche mentre Sigillo è aperto\n"),
         scaricoCommand},
        {QStringLiteral("importa"),
         QStringLiteral("  importa [--config FILE] --anno AAAA --file PERCORSO [--formato 2010|iniziale]\n"
                        "      legge un file nel formato del file trimestrale (predefinito: formato del 2010) e ne\n"
                        "      inserisce gli interventi nell'anno AAAA, che deve essere l'anno delle verifiche del\n"
                        "      file, creando gli esercizi, i comuni, i misuratori e i tecnici che mancano, come\n"
                        "      \"importa da file per agenzia\"; gli interventi già presenti (stessa matricola e\n"
                        "      stesso tipo) non vengono inseriti di nuovo; stampa quanto ha letto e quanto ha fatto,\n"
                        "      un numero per riga; non parte mentre Sigillo è aperto sulla stessa cartella dati\n"),
         importaCommand},
        {QStringLiteral("esporta"),
         QStringLiteral("  esporta [--config FILE] --anno AAAA --file PERCORSO.xlsx [--tipo C] [--esito C] [--comune NOME]\n"
                        "      scrive in una cartella di lavoro .xlsx gli interventi dell'anno in ordine di data di\n"
                        "      fine, come \"esporta su XLS\" della finestra delle stampe: tutti, oppure quelli del tipo\n"
                        "      di intervento (da 1 a 9), dell'esito (0 positivo, 1 negativo) e del comune dati; ne\n"
                        "      stampa il percorso e il numero di interventi; un file già presente viene sostituito\n"
                        "      solo quando il nuovo è scritto per intero; legge soltanto l'archivio, anche mentre\n"
                        "      Sigillo è aperto\n"),
         esportaCommand},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sigillo-cli"));
    Console io;

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return wrongUsage(io, QStringLiteral("manca il comando"));
    const auto isHelp = [](const QString &arg) { return arg == QLatin1String("-h") || arg == QLatin1String("--help"); };
    const QString name = args.takeFirst();
    if (isHelp(name)) {
        io.out << helpText();
        return AllValid;
    }
    for (const Command &command : commands()) {
        if (command.name != name)
            continue;
        if (!args.isEmpty() && isHelp(args.first())) {
            io.out << helpText();
            return AllValid;
        }
        return command.run(args, io);
    }
    return wrongUsage(io, QStringLiteral("comando sconosciuto: «%1»").arg(name));
}
