// The import of quarterly-format files without its window: what each layout stages, and what the merge
// finds, creates, skips and refuses in the registries and the working year's register.

#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"
#include "ground/messages.h"
#include "ground/testmode.h"
#include "import/importa.h"
#include "importfiles.h"
#include "killtest.h"
#include "quarterly/scarico.h"
#include "quarterlyarchive.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using importer::Layout;
using importer::Merged;
using importer::QuarterlyImport;

namespace {

const QString YearMessage = QStringLiteral("Per acquisire i dati da un file è necessario che anno del programma (2010) sia = "
                                           "all\"anno delle verifiche contenute nel file (%1).!!");

// A table's rows, the given fields of each joined by "|", in stored order.
QStringList rowsOf(engine::Table &table, const QStringList &fields)
{
    QStringList rows;
    for (int row = 0; row < table.recordCount(); ++row) {
        QStringList cells;
        for (const QString &field : fields)
            cells << table.valueAt(row, field).toString();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList rowsOf(const QString &directory, const QString &name, const QStringList &fields)
{
    engine::Table table;
    table.setDirectory(directory);
    table.setTableName(name);
    table.open();
    return rowsOf(table, fields);
}

const QStringList InterventionFields{"Cf", "Id_al_sigillo", "Id_num_sigillo", "Data_inizio", "Data_fine", "Esito", "Piva",
                                     "Ragione_sociale", "Comune", "Provincia", "Indirizzo", "Cap", "Tipo_intervento",
                                     "Marchio_ms", "Denominazione_ms", "Logotipo", "Matricola", "Trimestre"};
const QStringList RegisterFields{"Id_misurazioni", "Id_esercizio", "Id_ms", "Id_tecnico", "Matricola_ms", "Tipo_intervento",
                                 "Data_ini", "Data_fine", "Esito", "Trimestre", "COMUNE", "PROVINCIA", "INDIRIZZO", "CAP", "ANNO",
                                 "r_ditta"};

} // namespace

class tst_Importa : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QuarterlyArchive> m_archive;
    QTemporaryDir m_files;

    QString file(const QString &name = QStringLiteral("file.txt")) const { return QDir(m_files.path()).filePath(name); }

    QString writeFile(const QStringList &lines)
    {
        const QString path = file();
        if (!importfiles::write(path, lines))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A file of `count` interventions of the second quarter of 2010 at `shops` shops.
    static QStringList manyInterventions(int count, int shops)
    {
        QStringList lines{importfiles::header2010(QStringLiteral("2010"), QStringLiteral("2"))};
        for (int i = 0; i < count; ++i)
            lines << importfiles::intervention(QStringLiteral("KK%1").arg(i, 7, 10, QLatin1Char('0')), QStringLiteral("3"),
                                               {{69, QStringLiteral("%1").arg(i % shops, 11, 10, QLatin1Char('0'))}});
        return lines;
    }

    static QStringList registerRows() { return rowsOf(appState().yearDir(), QStringLiteral("misurazioni2"), RegisterFields); }

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init()
    {
        Messages::clear();
        m_archive.reset();
        m_archive = std::make_unique<QuarterlyArchive>();
    }

    // What the quarterly operation writes reads back, field by field, as it was written.
    void aQuarterlyFileStagesBackAsWritten()
    {
        QuarterlyArchive::change(QStringLiteral("esercizio.Ragione_sociale"), QString(60, QLatin1Char('R')));
        QVariantMap second = QuarterlyArchive::intervention(2, QStringLiteral("OL7654321"), QStringLiteral("1"));
        second.insert(QStringLiteral("COMUNE"), QStringLiteral("FORLÌ"));
        second.insert(QStringLiteral("INDIRIZZO"), QStringLiteral("VIA DELL'ORO 3"));
        second.insert(QStringLiteral("Data_ini"), QVariant());
        second.insert(QStringLiteral("Data_fine"), QDate(2010, 3, 31));
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {second});
        quarterly::Scarico scarico(appState());
        scarico.select(1);
        const quarterly::Scarico::Outcome written = scarico.generate({m_files.path(), QStringLiteral("nome_file"), false});
        QCOMPARE(written.files.size(), 1);
        Messages::clear();

        QuarterlyImport import(appState());
        QVERIFY(import.stage(written.files.first(), Layout::Y2010));
        QCOMPARE(rowsOf(import.riga1(), {"Id", "Piva", "Tipo_abilitazione", "Id_al_sigillo", "Denominazione", "Comune_df", "Prov_df",
                                         "Cognome", "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Anno_rif", "Tri_rif"}),
                 QStringList{"1|12345678903|2|PE0417LA|VERIFICHE ADRIATICA S.R.L.|PESCARA|PE||||00000000|||2010|1"});
        QCOMPARE(rowsOf(import.riga2(), {"Id", "Cf", "Cognome", "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Id_al_sigillo",
                                         "Id_num_sigillo", "Responsabile", "Titolo_studio", "Data_ini", "Data_fine"}),
                 QStringList{"1|RSSMRA75C12G482P|ROSSI|MARIO|m|12031975|PESCARA|PE|||1|4|01022010|"});
        const QString shop = QString(60, QLatin1Char('R'));
        QCOMPARE(rowsOf(import.riga3(), InterventionFields),
                 (QStringList{"RSSMRA75C12G482P|PE0417LA|0101|02022010|03022010|0|07654321004|" + shop
                                  + "|PESCARA|PE|VIA ROMA 1|65121|3|OLIVETTI|NETTUNA 300|OL|OL1234567|1",
                              "RSSMRA75C12G482P|PE0417LA|0101||31032010|0|07654321004|" + shop
                                  + "|FORLÌ|PE|VIA DELL'ORO 3|65121|1|OLIVETTI|NETTUNA 300|OL|OL7654321|1"}));
        QCOMPARE(Messages::shownTexts(), QStringList());

        // Read in the initial layout the same file has no header, so the merge stops at the year.
        QVERIFY(import.stage(written.files.first(), Layout::Initial));
        QCOMPARE(import.staged().headers, 0);
        QCOMPARE(import.staged().interventions, 2);
        const QStringList before = registerRows();
        QVERIFY(!import.merge().done);
        QCOMPARE(Messages::shownTexts(), QStringList{YearMessage.arg(QString())});
        QCOMPARE(registerRows(), before);
        QCOMPARE(rowsOf(appState().dataDir(), QStringLiteral("esercizio"), {"Id_esercizio"}), QStringList{"1"});
    }

    void theInitialLayoutIsStagedAtItsPositions()
    {
        using importfiles::line;
        const QString path = writeFile({
            line({{1, "0MFISC26"}, {9, "12345678903"}, {20, "XXXXX"}, {25, "1"}, {26, "PE0417FA"}, {56, "LABORATORIO"},
                  {116, "PESCARA"}, {156, "PE"}, {158, "BIANCHI"}, {184, "ANNA"}, {209, "F"}, {210, "05041970"},
                  {218, "CHIETI"}, {258, "CH"}, {260, "2010"}, {264, "3"}}, 300),
            line({{1, "1"}, {2, "RSSMRA75C12G482P"}, {18, "ROSSI"}, {44, "MARIO"}, {69, "M"}, {70, "12031975"}, {78, "L'AQUILA"},
                  {118, "AQ"}, {120, "PE0417FA"}, {150, "0101"}, {154, "1"}, {155, "4"}, {156, "01022010"}, {164, "31122010"}}, 171),
            importfiles::intervention(QStringLiteral("OL1234567"), QStringLiteral("3")),
        });
        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Initial));
        QCOMPARE(rowsOf(import.riga1(), {"Piva", "Tipo_abilitazione", "Id_al_sigillo", "Denominazione", "Comune_df", "Prov_df",
                                         "Cognome", "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Anno_rif", "Tri_rif"}),
                 QStringList{"12345678903|1|PE0417FA|LABORATORIO|PESCARA|PE|BIANCHI|ANNA|F|05041970|CHIETI|CH|2010|3"});
        QCOMPARE(rowsOf(import.riga2(), {"Cf", "Cognome", "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Id_al_sigillo",
                                         "Id_num_sigillo", "Responsabile", "Titolo_studio", "Data_ini", "Data_fine"}),
                 QStringList{"RSSMRA75C12G482P|ROSSI|MARIO|M|12031975|L'AQUILA|AQ|PE0417FA|0101|1|4|01022010|31122010"});
        QCOMPARE(rowsOf(import.riga3(), {"Matricola", "Trimestre"}), QStringList{"OL1234567|3"});
    }

    // Each intervention takes the quarter of the header before it; a short line gives what it holds.
    void eachInterventionTakesTheQuarterOfItsHeader()
    {
        const QString path = writeFile({importfiles::intervention(QStringLiteral("AA0000001"), QStringLiteral("3")),
                                        importfiles::header2010(QStringLiteral("2010"), QStringLiteral("1")),
                                        importfiles::intervention(QStringLiteral("AA0000002"), QStringLiteral("3")),
                                        importfiles::header2010(QStringLiteral("2010"), QStringLiteral("2")),
                                        importfiles::intervention(QStringLiteral("AA0000003"), QStringLiteral("1")).left(229),
                                        QStringLiteral("9MIS0026"), QString()});
        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Y2010));
        QCOMPARE(rowsOf(import.riga3(), {"Id", "Matricola", "Trimestre", "Tipo_intervento", "Marchio_ms", "Denominazione_ms"}),
                 (QStringList{"1|AA0000001||3|OLIVETTI|NETTUNA 300", "2|AA0000002|1|3|OLIVETTI|NETTUNA 300", "3||2|1|OLIVETT|"}));
        QCOMPARE(import.staged().headers, 2);
        QCOMPARE(import.riga1().asString(QStringLiteral("Tri_rif")), QStringLiteral("2"));
    }

    void aFileThatCannotBeReadStagesNothing()
    {
        QuarterlyImport import(appState());
        QVERIFY(!import.stage(file(QStringLiteral("missing.txt")), Layout::Y2010));
        QCOMPARE(Messages::shownTexts(), QStringList{"Impossibile leggere il file"});
        QCOMPARE(import.staged().interventions, 0);
    }

    // An empty file, or one that is not a quarterly file, takes the place of what was staged and, without
    // a header, merges nothing: short lines are staged as far as they go.
    void aFileWithoutHeaderMergesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("records"); // technicians and interventions staged
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("not a quarterly file") << QByteArray("\x89PNG\r\n\x1a\n2\xff\xfe\r\n1") << 1;
    }
    void aFileWithoutHeaderMergesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, records);
        QuarterlyImport import(appState());
        QVERIFY(import.stage(writeFile({importfiles::header2010(QStringLiteral("2010"), QStringLiteral("1")),
                                        importfiles::intervention(QStringLiteral("AA0000001"), QStringLiteral("1"))}),
                             Layout::Y2010));
        QFile other(file());
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write(content) == content.size());
        other.close();
        QVERIFY(import.stage(file(), Layout::Y2010));
        QCOMPARE(QList<int>({import.staged().headers, import.staged().technicians, import.staged().interventions}),
                 QList<int>({0, records, records}));
        const QStringList before = registerRows();
        QVERIFY(!import.merge().done);
        QCOMPARE(Messages::shownTexts(), QStringList{YearMessage.arg(QString())});
        QCOMPARE(registerRows(), before);
    }

    // The merge finds what the registries hold, creates what they lack (once), skips what the year
    // holds, and writes what the quarterly file reads back.
    void theMergeFindsCreatesAndSkips()
    {
        const QString longName = QStringLiteral("SAN VALENTINO IN ABRUZZO CITERIORE");
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), {{{"COMUNE", longName}, {"PROVINCIAI", "PE"}, {"CAP", "65020"}}});
        using importfiles::intervention;
        const importfiles::Placed newShop{{69, "11111111111"}, {80, "bar nuovo"}, {140, "forlì"}, {180, "FC"}, {182, "via emilia 5"},
                                          {217, "47121"}};
        importfiles::Placed newTechnician = newShop;
        newTechnician << QPair<int, QString>{2, "bncnna70d45c632n"} << QPair<int, QString>{48, "0201"}
                      << QPair<int, QString>{263, "onda"} << QPair<int, QString>{223, "RCH"} << QPair<int, QString>{303, "RC"};
        importfiles::Placed noStart = newTechnician;
        noStart << QPair<int, QString>{52, "        "};
        const importfiles::Placed unknownSeal{{2, "VRDLGU80A01H501Q"}, {18, "PE9999ZZ"}, {48, "0301"}, {69, "22222222222"},
                                              {80, "TABACCHI"}, {140, longName}};
        const QString path = writeFile({
            importfiles::header2010(QStringLiteral("2010"), QStringLiteral("2")),
            intervention(QStringLiteral("OL1234567"), QStringLiteral("3")),         // present, other dates
            intervention(QStringLiteral("OL1234567"), QStringLiteral("1")),         // another type
            intervention(QStringLiteral(" rc000001"), QStringLiteral("3"), newTechnician),
            intervention(QStringLiteral("RC0000002"), QStringLiteral("3"), noStart), // reuses the shop, model, technician
            intervention(QStringLiteral("OL0000003"), QStringLiteral("2"), unknownSeal),
            intervention(QStringLiteral("OL0000004"), QStringLiteral("2"), unknownSeal),
        });
        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Y2010));
        QList<int> progress;
        const Merged merged = import.merge([&progress](int done, int total) { progress << done << total; });
        QVERIFY(merged.done);
        QCOMPARE(QList<int>({merged.shops, merged.municipalities, merged.models, merged.technicians, merged.added, merged.skipped}),
                 QList<int>({2, 1, 1, 2, 5, 1}));
        QCOMPARE(progress.mid(progress.size() - 2), (QList<int>{12, 12}));
        QCOMPARE(Messages::shownTexts(),
                 QStringList{"Il tecnico con codice fiscale VRDLGU80A01H501Q è stato inserito senza abilitazione: nessuna "
                             "abilitazione del soggetto obbligato ha l'identificativo «PE9999ZZ»."});
        QVERIFY(!import.riga3().isOpen());

        const QString data = appState().dataDir();
        QCOMPARE(rowsOf(data, QStringLiteral("esercizio"), {"Id_esercizio", "Ragione_sociale", "Piva", "Comune", "Provincia", "Indirizzo", "Cap"}),
                 (QStringList{"1|BAR ROSSI|07654321004|PESCARA|||", "2|BAR NUOVO|11111111111|FORLÌ|FC|VIA EMILIA 5|47121",
                              "3|TABACCHI|22222222222|" + longName + "|PE|VIA ROMA 1|65020"}));
        // Found in the list of every other window, where a name holds 40 characters; added there when missing.
        QCOMPARE(rowsOf(data, QStringLiteral("COMUNI_new"), {"COMUNE", "PROVINCIAI", "CAP"}),
                 (QStringList{longName + "|PE|65020", "FORLÌ|FC|47121"}));
        QCOMPARE(rowsOf(data, QStringLiteral("COMUNI"), {"COMUNE"}), QStringList());
        QCOMPARE(rowsOf(data, QStringLiteral("ms"), {"Id_ms", "Marchio_ms", "Denominazione_ms", "Logotipo_ms"}),
                 (QStringList{"1|OLIVETTI|NETTUNA 300|OL", "2|RCH|ONDA|RC"}));
        QCOMPARE(rowsOf(data, QStringLiteral("tecnici"), {"Id_tecnico", "Cf", "Id_nu_sigillo", "Id_sogg", "Cognome", "Nome"}),
                 (QStringList{"1|RSSMRA75C12G482P|0101|1|ROSSI|MARIO", "2|BNCNNA70D45C632N|0201|1||", "3|VRDLGU80A01H501Q|0301|||"}));
        QCOMPARE(registerRows(),
                 (QStringList{"1|1|1|1|OL1234567|3|2010-02-02|2010-02-03|0|1|PESCARA|PE|VIA ROMA 1|65121|2010|",
                              "2|1|1|1|OL1234567|1|2010-04-02|2010-04-03|0|2|PESCARA|PE|VIA ROMA 1|65121|2010|",
                              "3|2|2|2|RC000001|3|2010-04-02|2010-04-03|0|2|FORLÌ|FC|VIA EMILIA 5|47121|2010|",
                              "4|2|2|2|RC0000002|3||2010-04-03|0|2|FORLÌ|FC|VIA EMILIA 5|47121|2010|",
                              "5|3|1|3|OL0000003|2|2010-04-02|2010-04-03|0|2|" + longName + "|PE|VIA ROMA 1|65121|2010|",
                              "6|3|1|3|OL0000004|2|2010-04-02|2010-04-03|0|2|" + longName + "|PE|VIA ROMA 1|65121|2010|"}));

        // The same file again: everything is found, nothing is added.
        Messages::clear();
        QVERIFY(import.stage(path, Layout::Y2010));
        const Merged again = import.merge();
        QCOMPARE(QList<int>({again.shops, again.municipalities, again.models, again.technicians, again.added, again.skipped}),
                 QList<int>({0, 0, 0, 0, 0, 6}));
        QCOMPARE(Messages::shownTexts(), QStringList());
    }

    void aHeaderOfAnotherYearMergesNothing()
    {
        const QString path = writeFile({importfiles::header2010(QStringLiteral("2009"), QStringLiteral("4")),
                                        importfiles::intervention(QStringLiteral("OL0000009"), QStringLiteral("3"))});
        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Y2010));
        const QStringList before = registerRows();
        QVERIFY(!import.merge().done);
        QCOMPARE(Messages::shownTexts(), QStringList{YearMessage.arg(QStringLiteral("2009"))});
        QCOMPARE(registerRows(), before);
    }

    // A date that is not one stops the merge on its row; corrected there, the next merge goes on.
    void aBadDateStopsTheMergeWhichThenGoesOn()
    {
        using importfiles::intervention;
        const QString path = writeFile({importfiles::header2010(QStringLiteral("2010"), QStringLiteral("1")),
                                        intervention(QStringLiteral("AA0000001"), QStringLiteral("3")),
                                        intervention(QStringLiteral("AA0000002"), QStringLiteral("3"), {{60, "31022010"}}),
                                        intervention(QStringLiteral("AA0000003"), QStringLiteral("3"))});
        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Y2010));
        Merged merged = import.merge();
        QVERIFY(!merged.done);
        QCOMPARE(merged.added, 1);
        QCOMPARE(Messages::shownTexts(), QStringList{"Data non valida nella riga 2: 31022010"});
        QCOMPARE(import.riga3().asString(QStringLiteral("Matricola")), QStringLiteral("AA0000002"));
        QCOMPARE(registerRows().size(), 2);

        import.riga3().edit();
        import.riga3().setValue(QStringLiteral("Data_fine"), QStringLiteral("28022010"));
        import.riga3().post();
        merged = import.merge();
        QVERIFY(merged.done);
        QCOMPARE(merged.added, 2);
        QCOMPARE(merged.skipped, 1);
        QCOMPARE(registerRows().size(), 4);
    }

    // Killed while it writes the interventions, the merge leaves the registries it had finished and no
    // intervention: every file sound, nothing half written; the next merge does the rest.
    void aKilledMergeLeavesNoHalfWrittenRecord()
    {
        const QString path = writeFile(manyInterventions(3000, 50));
        QVERIFY(killtest::killedAt(4000, [&path](const Progress &progress) {
            QuarterlyImport import(appState());
            import.stage(path, Layout::Y2010);
            import.merge(progress);
        }));
        QCOMPARE(killtest::integrityProblems(m_archive->path()), QStringList());
        QCOMPARE(registerRows().size(), 1);
        QCOMPARE(rowsOf(appState().dataDir(), QStringLiteral("esercizio"), {"Id_esercizio"}).size(), 1 + 50);

        QuarterlyImport import(appState());
        QVERIFY(import.stage(path, Layout::Y2010));
        const Merged merged = import.merge();
        QCOMPARE(QList<int>({merged.shops, merged.added}), QList<int>({0, 3000}));
    }

    // A disk that fills up during the merge: the import says it failed, and every file is sound, with
    // no intervention stored.
    void aFullDiskFailsTheMergeAndLosesNothing()
    {
        const QString path = writeFile(manyInterventions(3000, 3000));
        qint64 staged = 0;
        {
            QuarterlyImport import(appState());
            QVERIFY(import.stage(path, Layout::Y2010));
            staged = QFileInfo(engine::tablefiles::filePath(appState().importDir(), QStringLiteral("riga3"))).size();
        }
        const QStringList before = registerRows();
        // Room to stage the file again, not to write as much again into the registries and the register.
        const int child = filesizelimit::run(rlim_t(staged + 64 * 1024), [&path] {
            Messages::clear();
            QuarterlyImport import(appState());
            if (!import.stage(path, Layout::Y2010))
                return 2;
            const Merged merged = import.merge();
            return merged.done ? 0 : Messages::shownTexts().isEmpty() ? 3 : 1;
        });
        QCOMPARE(child, 1);
        QCOMPARE(killtest::integrityProblems(m_archive->path()), QStringList());
        QCOMPARE(registerRows(), before);
    }
};

QTEST_GUILESS_MAIN(tst_Importa)
#include "tst_importa.moc"
