// The demo archive: built by `sigillo-cli demo`, then opened by the data module the way the program
// opens a year, and checked for what a new user and the benchmark are promised.

#include "app/demo.h"
#include "clirun.h"
#include "codfis/codfis.h"
#include "codfis/piva.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "ground/testmode.h"
#include "years/yearopening.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

using engine::Table;

namespace {

// Every file and folder under `root` with its content, to see that nothing was touched.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        QFile file(info.filePath());
        entries.insert(QDir(root).relativeFilePath(info.filePath()),
                       info.isDir() ? QByteArray("<dir>") : file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return entries;
}

// Every stored value of every row, in stored order.
QStringList rows(const QString &directory, const QString &tableName)
{
    Table table;
    table.setDirectory(directory);
    table.setTableName(tableName);
    table.open();
    QStringList all;
    for (table.first(); !table.eof(); table.next()) {
        QStringList values;
        for (const engine::FieldDef &field : table.fields())
            values << table.asString(field.name);
        all << values.join(QLatin1Char('|'));
    }
    return all;
}

bool wellFormedLogotype(const QString &logotype)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Z0-9]{2}$"));
    return pattern.match(logotype).hasMatch();
}

} // namespace

class TestDemo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init() { Messages::clear(); }

    void builtArchiveOpensWithWhatWasPromised()
    {
        QTemporaryDir temporary;
        const QString folder = QDir(temporary.path()).filePath(QStringLiteral("nuovo archivio"));
        const Run run = runCli({QStringLiteral("demo"), QStringLiteral("--cartella"), folder, QStringLiteral("--interventi"),
                                QStringLiteral("200"), QStringLiteral("--anno=2023")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.section(QLatin1Char('\n'), 0, 0), folder);
        QVERIFY2(run.out.contains(QStringLiteral("200 interventi")), qPrintable(run.out));

        // As the program starts on it: the configuration file names the folder, then the year opens.
        AppState &state = appState();
        state = AppState();
        config::readFile(QDir(folder).filePath(QStringLiteral("sigillo.INI")), state);
        QCOMPARE(state.DirBase, withTrailingSeparator(folder));
        Tdm data;
        QCOMPARE(years::ApriAnno(QStringLiteral("2023")), years::YearOpening::Opened);
        QVERIFY(!state.NuovoAnnoCreato && !state.ConversioneDaFare && !state.CorrezioneDaFare);
        QCOMPARE(Messages::shownTexts(), QStringList());

        QCOMPARE(data.Tabsoggetto->recordCount(), 1);
        QVERIFY(PivaValida(data.Tabsoggetto->asString(QStringLiteral("Piva"))));
        QCOMPARE(data.Tabsoggetto->asString(QStringLiteral("PG_prov_fiscale")), QStringLiteral("PE"));

        QCOMPARE(data.TabLsogg->recordCount(), 2);
        QSet<int> authorisations;
        QStringList seals;
        for (data.TabLsogg->first(); !data.TabLsogg->eof(); data.TabLsogg->next()) {
            authorisations << data.TabLsogg->asInteger(QStringLiteral("Id_Lsogg"));
            seals << data.TabLsogg->asString(QStringLiteral("Id_al_sigillo"));
        }
        QCOMPARE(QSet<QString>(seals.cbegin(), seals.cend()).size(), 2);
        QCOMPARE((QSet<QString>{state.abilitazione(2023, 1), state.abilitazione(2023, 2)}), QSet<QString>(seals.cbegin(), seals.cend()));

        Table *technicians = data.Tabtecnico;
        QCOMPARE(technicians->recordCount(), 8);
        QSet<int> authorisationsUsed;
        for (technicians->first(); !technicians->eof(); technicians->next()) {
            Tcodfis check;
            check.setCodfis(technicians->asString(QStringLiteral("Cf")));
            QVERIFY2(check.Valido(), qPrintable(technicians->asString(QStringLiteral("Cogn_nome"))));
            QVERIFY(!technicians->asString(QStringLiteral("Prov_nascita")).isEmpty());
            authorisationsUsed << technicians->asInteger(QStringLiteral("Id_sogg"));
        }
        QCOMPARE(authorisationsUsed, authorisations);

        // The year's variations report a join, a change and an end, each with its quarter.
        Table *variations = data.TabMod_tecnici;
        QStringList reported;
        for (variations->first(); !variations->eof(); variations->next()) {
            QVERIFY(technicians->locate(QStringLiteral("Id_tecnico"), {variations->value(QStringLiteral("Id_tecnico"))}));
            QCOMPARE(variations->asString(QStringLiteral("Cf")), technicians->asString(QStringLiteral("Cf")));
            const int quarter = variations->asInteger(QStringLiteral("TRI_variazione"));
            QVERIFY(quarter >= 1 && quarter <= 4);
            if (variations->asString(QStringLiteral("Anno_variazione")) == QLatin1String("2023"))
                reported << variations->asString(QStringLiteral("FLAG_VARIAZIONE"));
        }
        for (const char *flag : {"I", "M", "F"})
            QVERIFY2(reported.contains(QString::fromLatin1(flag)), qPrintable(reported.join(QLatin1Char(','))));

        Table *shops = data.Tabesercizio;
        QSet<QString> vatNumbers;
        QSet<QString> municipalities;
        for (shops->first(); !shops->eof(); shops->next()) {
            const QString vat = shops->asString(QStringLiteral("Piva"));
            QVERIFY2(PivaValida(vat), qPrintable(vat));
            vatNumbers << vat;
            QVERIFY(!shops->asString(QStringLiteral("Provincia")).isEmpty() && !shops->asString(QStringLiteral("Cap")).isEmpty());
            municipalities << shops->asString(QStringLiteral("Comune"));
        }
        QCOMPARE(vatNumbers.size(), shops->recordCount());
        for (const char *name : {"L'AQUILA", "FORLÌ", "SANT'ANTIOCO"})
            QVERIFY2(municipalities.contains(QString::fromUtf8(name)), name);

        Table *register_ = data.Tabmisurazioni;
        QCOMPARE(register_->recordCount(), 200);
        QSet<QString> typesInQuarters;
        QSet<QString> outcomes;
        int badLogotypes = 0, shortSerials = 0, emptyStarts = 0;
        for (register_->first(); !register_->eof(); register_->next()) {
            const QDate start = register_->value(QStringLiteral("Data_ini")).toDate();
            const QDate end = register_->asDate(QStringLiteral("Data_fine"));
            const QString serial = register_->asString(QStringLiteral("Matricola_ms"));
            QCOMPARE(end.year(), 2023);
            QCOMPARE(register_->asString(QStringLiteral("Trimestre")), QString::number((end.month() - 1) / 3 + 1));
            QCOMPARE(register_->asString(QStringLiteral("r_ditta")), register_->asString(QStringLiteral("ragione_sociale")));
            QVERIFY(!register_->asString(QStringLiteral("PROVINCIA")).isEmpty() && !register_->asString(QStringLiteral("CAP")).isEmpty());
            // The technician worked for the laboratory on the day.
            QVERIFY(technicians->locate(QStringLiteral("Id_tecnico"), {register_->value(QStringLiteral("Id_tecnico"))}));
            QVERIFY(technicians->asDate(QStringLiteral("Data_inizio")) <= end);
            QVERIFY(technicians->isNull(QStringLiteral("Data_fine")) || end <= technicians->asDate(QStringLiteral("Data_fine")));

            badLogotypes += !wellFormedLogotype(register_->asString(QStringLiteral("logotipo_ms")));
            shortSerials += serial.size() < 8;
            emptyStarts += start.isNull();
            QVERIFY(serial.size() <= 9);
            QVERIFY(start.isNull() || (start.year() == 2023 && start <= end));
            typesInQuarters << register_->asString(QStringLiteral("Tipo_intervento")) + register_->asString(QStringLiteral("Trimestre"));
            outcomes << register_->asString(QStringLiteral("Esito"));
        }
        QCOMPARE(typesInQuarters.size(), 12);
        QCOMPARE(outcomes, (QSet<QString>{QStringLiteral("0"), QStringLiteral("1")}));
        QVERIFY(badLogotypes > 0 && shortSerials > 0 && emptyStarts > 0);
    }

    void sameRequestBuildsTheSameArchive()
    {
        QTemporaryDir first, second;
        QList<QPair<int, int>> reports;
        const auto build = [&reports](const QString &folder) {
            demo::Request request;
            request.folder = folder;
            request.interventions = 40;
            reports.clear();
            return demo::build(request, [&reports](int done, int total) { reports.append({done, total}); });
        };
        const demo::Summary made = build(first.path());
        build(second.path());
        QCOMPARE(Messages::shownTexts(), QStringList());
        QCOMPARE(made.year, QDate::currentDate().year());
        QCOMPARE(made.interventions, 40);
        QCOMPARE(reports.last(), qMakePair(40, 40));
        QVERIFY(std::is_sorted(reports.cbegin(), reports.cend()));

        const QString year = QString::number(made.year);
        const struct {
            const char *folder;
            const char *table;
        } tables[] = {{"dati", "tecnici"}, {"dati", "MOD_TECNICI"}, {"dati", "esercizio"}, {"dati", "ms"}, {"", "misurazioni2"}};
        for (const auto &table : tables) {
            const QString under = *table.folder ? QString::fromLatin1(table.folder) : year;
            const QStringList original = rows(QDir(first.path()).filePath(under), QString::fromLatin1(table.table));
            QVERIFY(!original.isEmpty());
            QCOMPARE(rows(QDir(second.path()).filePath(under), QString::fromLatin1(table.table)), original);
        }
    }

    void folderWithAnArchiveIsLeftAlone_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("named");
        QTest::newRow("configuration file") << "sigillo.INI" << "sigillo.INI";
        QTest::newRow("base tables") << "dati/esercizio.sqlite" << "dati";
        QTest::newRow("year folder") << "2023/note.txt" << "2023";
        QTest::newRow("templates") << "vuoto_dati/ms.sqlite" << "vuoto_dati";
    }

    void folderWithAnArchiveIsLeftAlone()
    {
        QFETCH(QString, existing);
        QFETCH(QString, named);
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(existing);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("contenuto dell'utente\n") > 0);
        file.close();
        const QMap<QString, QByteArray> before = snapshot(folder.path());

        const Run run = runCli({QStringLiteral("demo"), QStringLiteral("--cartella"), folder.path(), QStringLiteral("--anno"),
                                QStringLiteral("2023"), QStringLiteral("--interventi"), QStringLiteral("20")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        QCOMPARE(snapshot(folder.path()), before);
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("no folder") << QStringList{QStringLiteral("--interventi"), QStringLiteral("200")};
        QTest::newRow("folder without value") << QStringList{QStringLiteral("--cartella")};
        QTest::newRow("empty folder") << QStringList{QStringLiteral("--cartella=")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--righe"), QStringLiteral("5")};
        QTest::newRow("stray argument") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("altro")};
        QTest::newRow("count not a number") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--interventi"), QStringLiteral("molti")};
        QTest::newRow("count too small") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--interventi=19")};
        QTest::newRow("count too large") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--interventi"), QStringLiteral("1000001")};
        QTest::newRow("two-digit year") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--anno"), QStringLiteral("23")};
        QTest::newRow("year before the lists") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--anno=2003")};
        QTest::newRow("year after the lists") << QStringList{QStringLiteral("--cartella"), QStringLiteral("@"), QStringLiteral("--anno"), QStringLiteral("2036")};
    }

    void wrongUsage()
    {
        QFETCH(QStringList, options);
        QTemporaryDir temporary;
        const QString folder = QDir(temporary.path()).filePath(QStringLiteral("demo"));
        options.replaceInStrings(QStringLiteral("@"), folder);
        const Run run = runCli(QStringList{QStringLiteral("demo")} + options);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.startsWith(QStringLiteral("sigillo-cli: ")));
        QVERIFY(!QFileInfo::exists(folder));
    }

    // A disk that fills up while the templates are made, or while the shipped list of municipalities
    // is written into them, is a failed build, never a success.
    void fullDiskIsAFailure_data()
    {
        QTest::addColumn<int>("fileSizeLimit");
        QTest::newRow("templates") << 20 * 1024;
        QTest::newRow("municipality list") << 100 * 1024;
    }

    void fullDiskIsAFailure()
    {
        QFETCH(int, fileSizeLimit);
        QTemporaryDir temporary;
        const QString folder = QDir(temporary.path()).filePath(QStringLiteral("demo"));
        const Run run = runCli({QStringLiteral("demo"), QStringLiteral("--cartella"), folder, QStringLiteral("--interventi"),
                                QStringLiteral("200")},
                               {}, rlim_t(fileSizeLimit));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY(run.err.contains(QStringLiteral("sigillo-cli: ")));
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
