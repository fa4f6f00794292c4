// The quarterly file without its window: the records byte by byte, the files written and their
// names, the faults of writing, and the check before sending.

#include "filesizelimit.h"
#include "ground/messages.h"
#include "ground/testmode.h"
#include "quarterly/scarico.h"
#include "quarterlyarchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using quarterly::Finding;
using quarterly::Intermediary;
using quarterly::Record;
using quarterly::Scarico;

namespace {

const QString LabBirth = QStringLiteral("errore data nascita sogg obbl");
const QString Commitment = QStringLiteral("errore data impegno");
const QString TechnicianBirth = QStringLiteral("errore data nascita tecnico");
const QString TechnicianProvince = QStringLiteral("errore provincia nascita tecnico");
const QString NoTechnician = QStringLiteral("Errore su archivio tecnici");
const QString NoAuthorisation = QStringLiteral("errore id alfanumerico del tecnico. sistemare gli archivi");
const QString NoShop = QStringLiteral("errore tabella esercizi");
const QString NoModel = QStringLiteral("errore tabella misuratori");
const QString AuthorisationType =
    QStringLiteral("Errore sulle abilitazioni (tipo abilitazione) verificate nella finestra soggetto obbligato in basso.");
const QString CannotWrite = QStringLiteral("Impossibile scrivere il file");

QString spaces(int count) { return QString(count, QLatin1Char(' ')); }

QStringList times(int count, const QString &text) { return QStringList(count, text); }

// The lines of a file, with what ends each of them.
QStringList linesOf(const QString &path, bool *allEndWithCrLf = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    if (allEndWithCrLf)
        *allEndWithCrLf = content.endsWith("\r\n") && content.count("\r\n") == content.count('\n');
    QStringList lines = QString::fromLatin1(content).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QString kinds(const QStringList &lines)
{
    QString first;
    for (const QString &line : lines)
        first += line.left(1);
    return first;
}

} // namespace

class tst_Scarico : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QuarterlyArchive> m_archive;
    QTemporaryDir m_out;

    QString out(const QString &name) const { return QDir(m_out.path()).filePath(name); }

    Scarico::Outcome generate(bool onePerAuthorisation, QStringList *reports = nullptr, QList<int> *progress = nullptr,
                              const QString &folder = {})
    {
        Scarico scarico(appState());
        scarico.select(1);
        return scarico.generate({folder.isNull() ? m_out.path() : folder, QStringLiteral("nome_file"), onePerAuthorisation},
                                [reports](const QString &line) {
                                    if (reports)
                                        *reports << line;
                                },
                                [progress](int percent) {
                                    if (progress)
                                        *progress << percent;
                                });
    }

private Q_SLOTS:
    void initTestCase()
    {
        setTestMode(true);
        QVERIFY(m_out.isValid());
    }
    void init()
    {
        Messages::clear();
        m_archive.reset();
        for (const QString &name : QDir(m_out.path()).entryList(QDir::Files))
            QFile::remove(out(name));
    }

    void soloCifreKeepsTheDigits()
    {
        QCOMPARE(quarterly::SoloCifre(QStringLiteral("05/04/1970")), QStringLiteral("05041970"));
        QCOMPARE(quarterly::SoloCifre(QStringLiteral("15/03/    ")), QStringLiteral("1503"));
        QCOMPARE(quarterly::SoloCifre(QString()), QString());
    }

    void buildersWriteEachFieldInItsPlace_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QStringList>("intermediary"); // fiscal code, CAF, prepared by, commitment date
        QTest::addColumn<QVariantMap>("expected");      // 1-based position -> text there
        QTest::addColumn<int>("length");                // 0: no record
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("legal entity")
            << "testata" << QVariantMap{} << QStringList{}
            << QVariantMap{{"1", "0MIS0026VRDLGU80A01H501Q12345678903"}, {"36", "2PE0417LA" + spaces(22)},
                           {"67", "VERIFICHE ADRIATICA S.R.L." + spaces(34) + "PESCARA" + spaces(33) + "PE"},
                           {"169", spaces(52) + "00000000" + spaces(42) + "20101"},
                           {"276", spaces(16) + "00000000000000" + spaces(1492) + "A"}}
            << 1798 << QStringList{};
        QTest::newRow("natural person, sex in capitals")
            << "testata" << QVariantMap{{"soggetto_obbligato.PG_PF", "1"}} << QStringList{}
            << QVariantMap{{"67", spaces(102) + "BIANCHI" + spaces(19) + "ANNA" + spaces(21) + "M05041970CHIETI" + spaces(34) + "CH2010"}}
            << 1798 << QStringList{};
        QTest::newRow("natural person without birth date")
            << "testata" << QVariantMap{{"soggetto_obbligato.PG_PF", "1"}, {"soggetto_obbligato.Pf_data_nascita", QVariant()}}
            << QStringList{} << QVariantMap{{"220", "M" + spaces(8) + "CHIETI"}} << 1798 << times(8, LabBirth);
        QTest::newRow("neither legal entity nor natural person")
            << "testata" << QVariantMap{{"soggetto_obbligato.PG_PF", ""}} << QStringList{}
            << QVariantMap{{"36", "2PE0417LA" + spaces(22) + "20101"}} << 1594 << QStringList{};
        QTest::newRow("intermediary, CAF 12")
            << "testata" << QVariantMap{} << QStringList{"CNTFNC60A01H501X", "12", "2", "15/03/2010"}
            << QVariantMap{{"271", "2010" "1" "CNTFNC60A01H501X" "12000" "2" "15032010"}} << 1798 << QStringList{};
        QTest::newRow("intermediary, no CAF, half a date")
            << "testata" << QVariantMap{} << QStringList{"CNTFNC60A01H501X", "", "1", "15/03/    "}
            << QVariantMap{{"276", "CNTFNC60A01H501X0000011503    " + spaces(1492) + "A"}} << 1798 << times(4, Commitment);
        QTest::newRow("company name of 61 characters")
            << "testata" << QVariantMap{{"soggetto_obbligato.PG_denominazione", QString(61, QLatin1Char('X'))}} << QStringList{}
            << QVariantMap{{"67", QString(61, QLatin1Char('X')) + "PESCARA"}, {"1799", "A"}} << 1799 << QStringList{};
        QTest::newRow("authorisation type 3")
            << "testata" << QVariantMap{{"Lsoggetto_obbligato.Tipo_abilitazione", "3"}} << QStringList{} << QVariantMap{} << 0
            << QStringList{AuthorisationType};
        QTest::newRow("trailer")
            << "coda" << QVariantMap{} << QStringList{} << QVariantMap{{"1", "9MIS0026VRDLGU80A01H501Q"}, {"1798", "A"}} << 1798
            << QStringList{};

        QTest::newRow("variation I, sex as stored")
            << "variazione" << QVariantMap{} << QStringList{}
            << QVariantMap{{"1", "1IRSSMRA75C12G482PROSSI" + spaces(21) + "MARIO" + spaces(20) + "m12031975PESCARA"},
                           {"119", "PE1401022010" + spaces(8) + spaces(1659) + "A"}}
            << 1798 << QStringList{};
        QTest::newRow("variation F")
            << "variazione" << QVariantMap{{"MOD_TECNICI.FLAG_VARIAZIONE", "F"}, {"MOD_TECNICI.Data_fine", QDate(2010, 3, 31)}}
            << QStringList{} << QVariantMap{{"119", "PE" + spaces(10) + "31032010"}} << 1798 << QStringList{};
        QTest::newRow("variation without birth date")
            << "variazione" << QVariantMap{{"MOD_TECNICI.Data_nascita", QVariant()}} << QStringList{}
            << QVariantMap{{"70", "m" + spaces(8) + "PESCARA"}} << 1798 << times(8, TechnicianBirth);
        QTest::newRow("variation with short fiscal code and province")
            << "variazione" << QVariantMap{{"MOD_TECNICI.Cf", "RSSMRA"}, {"MOD_TECNICI.Prov_nascita", "P"}} << QStringList{}
            << QVariantMap{{"3", "RSSMRA" + spaces(10) + "ROSSI"}, {"119", "P 1"}} << 1798
            << times(10, QStringLiteral("errore cf tecnicoRSSMRA")) + QStringList{TechnicianProvince};
        QTest::newRow("variation without kind")
            << "variazione" << QVariantMap{{"MOD_TECNICI.FLAG_VARIAZIONE", ""}} << QStringList{}
            << QVariantMap{{"1", "1RSSMRA75C12G482P"}} << 1797 << QStringList{};

        QTest::newRow("intervention")
            << "intervento" << QVariantMap{} << QStringList{}
            << QVariantMap{{"1", "2RSSMRA75C12G482PPE0417LA" + spaces(22) + "010102022010030220100"},
                           {"69", "07654321004BAR ROSSI" + spaces(51) + "PESCARA" + spaces(33) + "PEVIA ROMA 1" + spaces(25) + "651213"},
                           {"223", "OLIVETTI" + spaces(32) + "NETTUNA 300" + spaces(29) + "OLOL1234567" + spaces(1484) + "A"}}
            << 1798 << QStringList{};
        QTest::newRow("intervention without technician")
            << "intervento" << QVariantMap{{"misurazioni2.Id_tecnico", 9}} << QStringList{}
            << QVariantMap{{"1", "2" "02022010" "03022010" "0" "07654321004"}} << 1748 << QStringList{NoTechnician};
        QTest::newRow("intervention whose technician has no authorisation")
            << "intervento" << QVariantMap{{"tecnici.Id_sogg", 5}} << QStringList{} << QVariantMap{} << 0
            << QStringList{NoAuthorisation};
        QTest::newRow("intervention without shop")
            << "intervento" << QVariantMap{{"misurazioni2.Id_esercizio", 9}} << QStringList{}
            << QVariantMap{{"60", "030220100PESCARA"}} << 1727 << QStringList{NoShop};
        QTest::newRow("intervention without meter model")
            << "intervento" << QVariantMap{{"misurazioni2.Id_ms", 9}} << QStringList{}
            << QVariantMap{{"217", "651213OL1234567" + spaces(1484) + "A"}} << 1716 << QStringList{NoModel};
        QTest::newRow("everything missing but the intervention")
            << "intervento" << QVariantMap{{"misurazioni2.Id_tecnico", 9}, {"misurazioni2.Id_esercizio", 9}, {"misurazioni2.Id_ms", 9}}
            << QStringList{} << QVariantMap{{"18", "0PESCARA"}} << 1595 << QStringList{NoTechnician, NoShop, NoModel};
    }
    void buildersWriteEachFieldInItsPlace()
    {
        QFETCH(QString, record);
        QFETCH(QVariantMap, changes);
        QFETCH(QStringList, intermediary);
        QFETCH(QVariantMap, expected);
        QFETCH(int, length);
        QFETCH(QStringList, messages);
        m_archive = std::make_unique<QuarterlyArchive>(changes);
        Scarico scarico(appState());
        scarico.select(1);
        if (!intermediary.isEmpty())
            scarico.setIntermediary(Intermediary{intermediary[0], intermediary[1], intermediary[2].toInt(), intermediary[3]});
        scarico.linee_sogg().first();
        scarico.Tabmod_tecnici().first();
        scarico.Qmisurazioni().first();
        const Record built = record == QLatin1String("testata")  ? scarico.RigaTesta(scarico.linee_sogg())
                           : record == QLatin1String("coda")     ? scarico.RigaCoda(scarico.linee_sogg())
                           : record == QLatin1String("variazione") ? scarico.RigaTecnico(scarico.Tabmod_tecnici())
                                                                 : scarico.RigaIntervento(scarico.Qmisurazioni());
        QCOMPARE(Messages::shownTexts(), messages);
        QCOMPARE(built.yielded, length > 0);
        QCOMPARE(built.text.size(), length);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QString text = it.value().toString();
            QCOMPARE(built.text.mid(it.key().toInt() - 1, text.size()), text);
        }
    }

    void headerAndTrailerDifferOnlyInTheFirstCharacter()
    {
        m_archive = std::make_unique<QuarterlyArchive>(QuarterlyArchive::Changes{{"soggetto_obbligato.PG_PF", "1"}});
        Scarico scarico(appState());
        scarico.select(3);
        scarico.setIntermediary(Intermediary{QStringLiteral("CNTFNC60A01H501X"), QStringLiteral("123"), 1, QStringLiteral("01/07/2010")});
        const QString header = scarico.RigaTesta(scarico.linee_sogg()).text;
        const QString trailer = scarico.RigaCoda(scarico.linee_sogg()).text;
        QCOMPARE(header.left(8), QStringLiteral("0MIS0026"));
        QCOMPARE(trailer, QStringLiteral("9") + header.mid(1));
        QCOMPARE(header.mid(270, 27), QStringLiteral("20103CNTFNC60A01H501X123001"));
    }

    void oneAuthorisationGivesOneFileInTheOrderOfTheRecords()
    {
        m_archive = std::make_unique<QuarterlyArchive>();
        // Another quarter's and another year's variations; a type that never reaches the file, another
        // year's intervention, and interventions stored out of the order of their ids.
        TestBase::addDataRows(QStringLiteral("MOD_TECNICI"), {{{"ID_MOD", 2}, {"FLAG_VARIAZIONE", "M"}, {"TRI_variazione", 2}, {"Anno_variazione", "2010"}},
                                                            {{"ID_MOD", 3}, {"FLAG_VARIAZIONE", "M"}, {"TRI_variazione", 1}, {"Anno_variazione", "2009"}},
                                                            {{"ID_MOD", 4}, {"FLAG_VARIAZIONE", "F"}, {"Cf", "RSSMRA75C12G482P"}, {"TRI_variazione", 1}, {"Anno_variazione", "2010"}}});
        QVariantMap otherYear = QuarterlyArchive::intervention(5, QStringLiteral("OL0000005"));
        otherYear.insert(QStringLiteral("ANNO"), QStringLiteral("2009"));
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {QuarterlyArchive::intervention(4, QStringLiteral("OL0000004"), QStringLiteral("1")),
                                                             QuarterlyArchive::intervention(3, QStringLiteral("OL0000003"), QStringLiteral("4")),
                                                             QuarterlyArchive::intervention(2, QStringLiteral("OL0000002"), QStringLiteral("2")),
                                                             otherYear});
        QStringList reports;
        QList<int> progress;
        const Scarico::Outcome outcome = generate(false, &reports, &progress);
        const QString path = out(QStringLiteral("nome_file12010.txt"));
        QVERIFY(outcome.written);
        QCOMPARE(outcome.files, QStringList{path});
        bool crLf = false;
        const QStringList lines = linesOf(path, &crLf);
        QVERIFY(crLf);
        QCOMPARE(kinds(lines), QStringLiteral("0112229"));
        QCOMPARE(lines[2].mid(1, 1), QStringLiteral("F"));
        QStringList serials;
        for (const QString &line : lines.mid(3, 3))
            serials << line.mid(304, 9);
        QCOMPARE(serials, (QStringList{"OL1234567", "OL0000002", "OL0000004"}));
        for (const QString &line : lines) {
            QCOMPARE(line.size(), 1798);
            QCOMPARE(line.back(), QLatin1Char('A'));
        }
        QCOMPARE(reports, QStringList{});
        QCOMPARE(progress, (QList<int>{33, 67, 100, 0}));

        // Nothing is marked as sent: the next run writes the same bytes again.
        QFile first(path);
        QVERIFY(first.open(QIODevice::ReadOnly));
        const QByteArray before = first.readAll();
        first.close();
        QVERIFY(generate(false).written);
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), before);
    }

    void oneFilePerAuthorisationHoldsOnlyItsOwnRows()
    {
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        // Interventions whose technician, or whose technician's authorisation, is missing go nowhere.
        TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 3}, {"Cf", "VRDLGU80A01H501Q"}, {"Id_sogg", 7}}});
        QVariantMap noTechnician = QuarterlyArchive::intervention(3, QStringLiteral("OL0000003"));
        noTechnician.insert(QStringLiteral("Id_tecnico"), 9);
        QVariantMap noAuthorisation = QuarterlyArchive::intervention(4, QStringLiteral("OL0000004"));
        noAuthorisation.insert(QStringLiteral("Id_tecnico"), 3);
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {noTechnician, noAuthorisation});
        QStringList reports;
        const Scarico::Outcome outcome = generate(true, &reports);
        QVERIFY(outcome.written);
        QCOMPARE(outcome.files, (QStringList{out("nome_filePE0417LA.txt"), out("nome_filePE0417FA.txt")}));
        const QStringList first = linesOf(outcome.files[0]);
        const QStringList second = linesOf(outcome.files[1]);
        QCOMPARE(kinds(first), QStringLiteral("0129"));
        QCOMPARE(kinds(second), QStringLiteral("0129"));
        QCOMPARE(first[0].mid(36, 8), QStringLiteral("PE0417LA"));
        QCOMPARE(first[1].mid(1, 17), QStringLiteral("IRSSMRA75C12G482P"));
        QCOMPARE(first[2].mid(304, 9), QStringLiteral("OL1234567"));
        QCOMPARE(second[0].mid(36, 8), QStringLiteral("PE0417FA"));
        QCOMPARE(second[1].mid(1, 17), QStringLiteral("MBNCNNA70D45C632N"));
        QCOMPARE(second[2].mid(17, 8), QStringLiteral("PE0417FA"));
        QCOMPARE(second[2].mid(304, 9), QStringLiteral("RC7654321"));
        QCOMPARE(second[3], QStringLiteral("9") + second[0].mid(1));
        QCOMPARE(Messages::shownTexts(), (QStringList{NoTechnician, NoAuthorisation}));
        QCOMPARE(reports, (QStringList{"Intervento n. 3 (matricola OL0000003, esercizio BAR ROSSI): non scritto in alcun file (tecnico mancante)",
                                       "Intervento n. 4 (matricola OL0000004, esercizio BAR ROSSI): non scritto in alcun file (abilitazione del tecnico mancante)"}));
    }

    void authorisationsNotValidInTheYearGetNoFile_data()
    {
        QTest::addColumn<QString>("gestione");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("management on, 2010 lists one") << "SI" << "2010" << QStringList{"nome_filePE0417FA.txt"};
        QTest::newRow("management off") << "NO" << "2010" << QStringList{"nome_filePE0417LA.txt", "nome_filePE0417FA.txt"};
        QTest::newRow("on, but the list is of another year") << "SI" << "2009" << QStringList{};
    }
    void authorisationsNotValidInTheYearGetNoFile()
    {
        QFETCH(QString, gestione);
        QFETCH(QString, year);
        QFETCH(QStringList, files);
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        appState().GestioneAnni = gestione;
        appState().abilitazione(year.toInt(), 3) = QStringLiteral("PE0417FA");
        QStringList reports;
        const Scarico::Outcome outcome = generate(true, &reports);
        QVERIFY(outcome.written);
        QStringList written;
        for (const QString &file : outcome.files)
            written << QFileInfo(file).fileName();
        QCOMPARE(written, files);
        QCOMPARE(QDir(m_out.path()).entryList(QDir::Files).size(), files.size());
        if (year == QLatin1String("2010") && gestione == QLatin1String("SI"))
            QCOMPARE(reports, QStringList{"L'abilitazione PE0417LA non è valida nell'anno 2010: nessun file, 1 interventi non scritti"});
    }

    void noAuthorisationOrNoRowsStillGiveAFile_data()
    {
        QTest::addColumn<bool>("authorisation");
        QTest::addColumn<int>("quarter");
        QTest::addColumn<QString>("records");
        QTest::addColumn<QStringList>("messages");
        // Without an authorisation no technician has one: the intervention cannot be written either.
        QTest::newRow("no authorisation") << false << 1 << "1" << QStringList{NoAuthorisation};
        QTest::newRow("an empty quarter") << true << 4 << "09" << QStringList{};
    }
    void noAuthorisationOrNoRowsStillGiveAFile()
    {
        QFETCH(bool, authorisation);
        QFETCH(int, quarter);
        QFETCH(QString, records);
        QFETCH(QStringList, messages);
        m_archive = std::make_unique<QuarterlyArchive>();
        if (!authorisation) {
            engine::Table lines;
            lines.setDirectory(appState().dataDir());
            lines.setTableName(QStringLiteral("Lsoggetto_obbligato"));
            lines.open();
            lines.emptyTable();
        }
        Scarico scarico(appState());
        QCOMPARE(scarico.defaultOnePerAuthorisation(), false);
        scarico.select(quarter);
        QList<int> progress;
        const Scarico::Outcome outcome =
            scarico.generate({m_out.path(), QStringLiteral("nome_file"), false}, {}, [&progress](int percent) { progress << percent; });
        QVERIFY(outcome.written);
        QCOMPARE(kinds(linesOf(outcome.files.value(0))), records);
        QCOMPARE(QFileInfo(outcome.files.value(0)).fileName(), QStringLiteral("nome_file") + QString::number(quarter) + QStringLiteral("2010.txt"));
        QCOMPARE(Messages::shownTexts(), messages);
        // An empty quarter leaves the progress bar where it is.
        QCOMPARE(progress.isEmpty(), quarter == 4);
    }

    void recordsThatCannotBeRightAreReportedAndTheRowLeftOut()
    {
        m_archive = std::make_unique<QuarterlyArchive>(QuarterlyArchive::Changes{
            {"soggetto_obbligato.PG_denominazione", QString(61, QLatin1Char('X'))}, {"misurazioni2.COMUNE", QStringLiteral("ŁÓDŹ")},
            {"misurazioni2.INDIRIZZO", QStringLiteral("VIA ROMA\n1")}});
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {{{"Id_Lsogg", 3}, {"Id_sogg", 1}, {"Tipo_abilitazione", "3"}, {"Id_al_sigillo", "PE0417XX"}}});
        QVariantMap noTechnician = QuarterlyArchive::intervention(3, QStringLiteral("OL0000003"));
        noTechnician.insert(QStringLiteral("Id_tecnico"), 9);
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {noTechnician});
        QStringList reports;
        const Scarico::Outcome outcome = generate(false, &reports);
        QVERIFY(outcome.written);
        const QStringList lines = linesOf(outcome.files.value(0));
        // The third authorisation has neither header nor trailer; the short line is written all the same.
        QCOMPARE(kinds(lines), QStringLiteral("001122299"));
        QCOMPARE(lines[6].size(), 1748);
        QCOMPARE(lines[4].mid(139, 6), QStringLiteral("?\u00d3D?  "));
        QCOMPARE(lines[4].mid(181, 10), QStringLiteral("VIA ROMA?1"));
        QCOMPARE(reports, (QStringList{
                              "1--ERRORE1799", "1--ERRORE1799", "Testata dell'abilitazione PE0417XX: record non scritto",
                              "Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), comune: il carattere \"Ł\" (U+0141) non può stare nel file e viene scritto come ?",
                              "Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), comune: il carattere \"Ź\" (U+0179) non può stare nel file e viene scritto come ?",
                              "Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), indirizzo: un carattere di controllo (U+000A) viene scritto come ?",
                              "3--ERRORE1748", "4--ERRORE1799", "4--ERRORE1799", "Coda dell'abilitazione PE0417XX: record non scritto"}));
        QCOMPARE(Messages::shownTexts(), (QStringList{AuthorisationType, NoTechnician, AuthorisationType}));
    }

    void aFileThatCannotBeWrittenEndsTheGeneration_data()
    {
        QTest::addColumn<bool>("onePerAuthorisation");
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<QString>("secondSeal");
        QTest::addColumn<QString>("failed");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("single file, no folder") << false << false << "PE0417FA" << "nome_file12010.txt" << QStringList{};
        QTest::newRow("one per authorisation, no folder") << true << false << "PE0417FA" << "nome_filePE0417LA.txt" << QStringList{};
        // The second file would replace the first.
        QTest::newRow("two authorisations, one seal")
            << true << true << "PE0417LA" << "nome_filePE0417LA.txt" << QStringList{"nome_filePE0417LA.txt"};
    }
    void aFileThatCannotBeWrittenEndsTheGeneration()
    {
        QFETCH(bool, onePerAuthorisation);
        QFETCH(bool, folderExists);
        QFETCH(QString, secondSeal);
        QFETCH(QString, failed);
        QFETCH(QStringList, written);
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(secondSeal);
        const QString folder = folderExists ? m_out.path() : out(QStringLiteral("manca"));
        QStringList reports;
        const Scarico::Outcome outcome = generate(onePerAuthorisation, &reports, nullptr, folder);
        QVERIFY(!outcome.written);
        QCOMPARE(Messages::shownTexts(), QStringList{CannotWrite});
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith(QDir::toNativeSeparators(QDir(folder).filePath(failed)) + QStringLiteral(": ")), qPrintable(reports[0]));
        QStringList names;
        for (const QString &file : outcome.files)
            names << QFileInfo(file).fileName();
        QCOMPARE(names, written);
        QCOMPARE(QDir(m_out.path()).entryList(QDir::Files), written);
    }

    void aFullDiskLeavesTheEarlierFileWhole_data()
    {
        QTest::addColumn<bool>("onePerAuthorisation");
        QTest::addColumn<QString>("earlier");
        QTest::addColumn<QStringList>("written"); // by the run that fills the disk
        QTest::newRow("single file") << false << "nome_file12010.txt" << QStringList{};
        QTest::newRow("the second of two") << true << "nome_filePE0417FA.txt" << QStringList{"nome_filePE0417LA.txt"};
    }
    void aFullDiskLeavesTheEarlierFileWhole()
    {
        QFETCH(bool, onePerAuthorisation);
        QFETCH(QString, earlier);
        QFETCH(QStringList, written);
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        // The second file holds one line more than the first, so only it is past the limit.
        QVariantMap extra = QuarterlyArchive::intervention(3, QStringLiteral("RC0000003"));
        extra.insert(QStringLiteral("Id_tecnico"), 2);
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {extra});
        QFile before(out(earlier));
        QVERIFY(before.open(QIODevice::WriteOnly) && before.write("earlier content\r\n") > 0);
        before.close();
        const int child = filesizelimit::run(8000, [&] {
            Messages::clear();
            const Scarico::Outcome outcome = generate(onePerAuthorisation);
            return !outcome.written && Messages::shownTexts() == QStringList{CannotWrite} ? 0 : 1;
        });
        QCOMPARE(child, 0);
        QFile kept(out(earlier));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier content\r\n"));
        QStringList files = written;
        files << earlier;
        files.sort();
        QCOMPARE(QDir(m_out.path()).entryList(QDir::Files), files);
    }

    void theCheckFindsNothingOnACleanArchive()
    {
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        Scarico scarico(appState());
        scarico.select(1);
        scarico.setIntermediary(Intermediary{QStringLiteral("CNTFNC60A01H501X"), QString(), 2, QStringLiteral("15/03/2010")});
        QStringList texts;
        for (const Finding &finding : scarico.Controllo(true))
            texts << finding.text();
        QCOMPARE(texts, QStringList{});
        QCOMPARE(Messages::shownTexts(), QStringList{});
    }

    void theCheckNamesRecordAndField_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<QStringList>("findings");
        const QString intervention = QStringLiteral("Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), ");
        const QString variation = QStringLiteral("Variazione I del tecnico ROSSI MARIO, ");
        QTest::newRow("technician's fiscal code")
            << QVariantMap{{"tecnici.Cf", "RSSMRA75C12G482X"}}
            << QStringList{intervention + "codice fiscale del tecnico: non valido (RSSMRA75C12G482X)"};
        QTest::newRow("variation's fiscal code and kind")
            << QVariantMap{{"MOD_TECNICI.Cf", ""}, {"MOD_TECNICI.FLAG_VARIAZIONE", "X"}}
            << QStringList{"Variazione X del tecnico ROSSI MARIO, tipo di variazione: deve essere I, M o F",
                           "Variazione X del tecnico ROSSI MARIO, codice fiscale: mancante"};
        QTest::newRow("variation's dates")
            << QVariantMap{{"MOD_TECNICI.Data_fine", QDate(2010, 1, 31)}, {"MOD_TECNICI.Data_nascita", QVariant()}}
            << QStringList{variation + "data di nascita: mancante",
                           variation + "data di inizio attività: successiva alla data di fine (01/02/2010)"};
        QTest::newRow("shop's VAT number")
            << QVariantMap{{"esercizio.Piva", "07654321005"}} << QStringList{intervention + "partita IVA dell'esercizio: non valida (07654321005)"};
        QTest::newRow("start after end")
            << QVariantMap{{"misurazioni2.Data_ini", QDate(2010, 2, 4)}}
            << QStringList{intervention + "data di inizio intervento: successiva alla data di fine (04/02/2010)"};
        QTest::newRow("end outside the quarter")
            << QVariantMap{{"misurazioni2.Data_fine", QDate(2010, 4, 1)}}
            << QStringList{intervention + "data di fine intervento: fuori dal trimestre (01/04/2010)"};
        QTest::newRow("empty required fields")
            << QVariantMap{{"misurazioni2.Esito", ""}, {"misurazioni2.CAP", ""}, {"misurazioni2.Data_ini", QVariant()}, {"ms.Marchio_ms", ""}}
            << QStringList{intervention + "data di inizio intervento: mancante", intervention + "esito: mancante",
                           intervention + "CAP: mancante", intervention + "marchio del misuratore: mancante"};
        QTest::newRow("malformed logotype and serial number")
            << QVariantMap{{"ms.Logotipo_ms", "C-"}, {"misurazioni2.Matricola_ms", "O-123456"}}
            << QStringList{"Intervento n. 1 (matricola O-123456, esercizio BAR ROSSI), logotipo del misuratore: malformato (C-)",
                           "Intervento n. 1 (matricola O-123456, esercizio BAR ROSSI), matricola: malformata (O-123456)"};
        QTest::newRow("missing technician")
            << QVariantMap{{"misurazioni2.Id_tecnico", 9}}
            << QStringList{intervention + "tecnico: mancante (n. 9)", intervention + "lunghezza: 1748 caratteri invece di 1798"};
        QTest::newRow("missing authorisation")
            << QVariantMap{{"tecnici.Id_sogg", 5}} << QStringList{intervention + "abilitazione del tecnico: mancante (n. 5)"};
        QTest::newRow("missing shop and meter model")
            << QVariantMap{{"misurazioni2.Id_esercizio", 9}, {"misurazioni2.Id_ms", 9}}
            << QStringList{"Intervento n. 1 (matricola OL1234567, esercizio n. 9), esercizio: mancante (n. 9)",
                           "Intervento n. 1 (matricola OL1234567, esercizio n. 9), misuratore: mancante (n. 9)",
                           "Intervento n. 1 (matricola OL1234567, esercizio n. 9), lunghezza: 1645 caratteri invece di 1798"};
        QTest::newRow("laboratory and header")
            << QVariantMap{{"soggetto_obbligato.Piva", ""}, {"Lsoggetto_obbligato.Tipo_abilitazione", "4"}}
            << QStringList{"Soggetto obbligato, partita IVA: mancante",
                           "Testata dell'abilitazione PE0417LA, tipo abilitazione: deve essere 1 o 2: testata e coda non saranno scritte"};
        QTest::newRow("a character outside the code page")
            << QVariantMap{{"misurazioni2.COMUNE", "ŁÓDŹ"}}
            << QStringList{intervention + "comune: il carattere \"Ł\" (U+0141) non può stare nel file e viene scritto come ?",
                           intervention + "comune: il carattere \"Ź\" (U+0179) non può stare nel file e viene scritto come ?"};
        QTest::newRow("a line too long")
            << QVariantMap{{"soggetto_obbligato.PG_comune_fiscale", QString(41, QLatin1Char('X'))}}
            << QStringList{"Testata dell'abilitazione PE0417LA, lunghezza: 1799 caratteri invece di 1798"};
    }
    void theCheckNamesRecordAndField()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(QStringList, findings);
        m_archive = std::make_unique<QuarterlyArchive>(changes);
        Scarico scarico(appState());
        scarico.select(1);
        QStringList texts;
        for (const Finding &finding : scarico.Controllo(false))
            texts << finding.text();
        QCOMPARE(texts, findings);
    }

    void theCheckSaysWhatGoesIntoNoFile()
    {
        m_archive = std::make_unique<QuarterlyArchive>();
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417LA"));
        appState().GestioneAnni = QStringLiteral("SI");
        appState().abilitazione(2010, 1) = QStringLiteral("PE0417LA");
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {{{"Id_Lsogg", 3}, {"Id_sogg", 1}, {"Tipo_abilitazione", "1"}, {"Id_al_sigillo", "PE0417FA"}}});
        TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 3}, {"Cf", "VRDLGU80A01H501Q"}, {"Id_nu_sigillo", "0301"}, {"Id_sogg", 3}}});
        QVariantMap inactive = QuarterlyArchive::intervention(3, QStringLiteral("OL0000003"));
        inactive.insert(QStringLiteral("Id_tecnico"), 3);
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {inactive});
        Scarico scarico(appState());
        scarico.select(1);
        QStringList texts;
        for (const Finding &finding : scarico.Controllo(true))
            texts << finding.text();
        QCOMPARE(texts, (QStringList{
                            "Testata dell'abilitazione PE0417LA, identificativo alfanumerico del sigillo: uguale a quello di un'altra abilitazione: i due file avrebbero lo stesso nome",
                            "Testata dell'abilitazione PE0417FA: abilitazione non valida nell'anno 2010: nessun file",
                            "Intervento n. 3 (matricola OL0000003, esercizio BAR ROSSI), abilitazione del tecnico: PE0417FA senza file: non entra in alcun file"}));
    }

};

QTEST_GUILESS_MAIN(tst_Scarico)
#include "tst_scarico.moc"
