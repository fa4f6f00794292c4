// The report engine: pages as pdftotext reads them back from the PDF the engine writes, the names a box
// can hold, the template files, and a disk that fills up under a PDF.

#include "filesizelimit.h"
#include "ground/savefile.h"
#include "pdftext.h"
#include "report/expression.h"
#include "report/report.h"
#include "report/templatefile.h"
#include "reportfixture.h"
#include "ui/tabledataset.h"

#include <QApplication>
#include <QTest>

using namespace report;

Q_DECLARE_METATYPE(TableDataSet::Rows)
Q_DECLARE_METATYPE(report::Piece)

using fixture::brand;
using fixture::countedLayout;
using fixture::Models;

class tst_ReportEngine : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::ModelRows> m_rows;
    engine::Table *m_models = nullptr;
    QTemporaryDir m_out;

    void openModels(int count)
    {
        m_rows.reset();
        m_rows = std::make_unique<fixture::ModelRows>(count);
        m_models = &m_rows->models;
    }

    QList<QStringList> printed(const Report &report, const QString &name)
    {
        const QString path = m_out.filePath(name + QStringLiteral(".pdf"));
        QString error;
        if (!report.prepare().writePdf(path, &error))
            qWarning("%s", qPrintable(error));
        pdf::shoot(path, name, 1);
        return pdf::pages(path);
    }

private Q_SLOTS:
    void cleanup()
    {
        m_rows.reset();
    }

    void bandsFillPagesInOrder_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("rowsPerPage");
        QTest::newRow("no rows") << 0 << QList<int>{0};
        QTest::newRow("a few") << 3 << QList<int>{3};
        QTest::newRow("the first page full") << 9 << QList<int>{9};
        QTest::newRow("one more") << 10 << QList<int>{9, 1};
        QTest::newRow("several pages") << 30 << QList<int>{9, 10, 10, 1};
    }
    void bandsFillPagesInOrder()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, rowsPerPage);
        openModels(rows);
        const TableDataSet models(*m_models);
        Report report(countedLayout());
        report.setDataSet(Models, &models);

        QList<QStringList> expected;
        int row = 0;
        for (int page = 1; page <= rowsPerPage.size(); ++page) {
            QStringList lines;
            if (page == 1)
                lines << QStringLiteral("TITOLO DI PROVA");
            lines << QStringLiteral("INTESTAZIONE");
            for (int n = 0; n < rowsPerPage[page - 1]; ++n)
                lines << QStringLiteral("RIGA ") + brand(++row);
            lines << QStringLiteral("Pagina %1").arg(page);
            expected << lines;
        }
        QCOMPARE(printed(report, QStringLiteral("engine-pages")), expected);
    }

    void theCursorStaysOnItsRow_data()
    {
        QTest::addColumn<TableDataSet::Rows>("range");
        QTest::addColumn<QStringList>("rowsPrinted");
        QTest::newRow("all rows") << TableDataSet::Rows::All << QStringList{"RIGA M001", "RIGA M002", "RIGA M003", "RIGA M004"};
        QTest::newRow("the current row only") << TableDataSet::Rows::Current << QStringList{"RIGA M003"};
    }
    void theCursorStaysOnItsRow()
    {
        QFETCH(TableDataSet::Rows, range);
        QFETCH(QStringList, rowsPrinted);
        openModels(4);
        m_models->setRecNo(3);
        const TableDataSet models(*m_models, range);
        Report report(countedLayout());
        report.setDataSet(Models, &models);
        const QStringList page = printed(report, QStringLiteral("engine-range")).value(0);
        QCOMPARE(page.mid(2, page.size() - 3), rowsPrinted);
        QCOMPARE(m_models->recNo(), 3);
        QCOMPARE(m_models->asString(QStringLiteral("Marchio_ms")), brand(3));
    }

    void namesComeFromVariablesDataSetsAndTheCallback()
    {
        openModels(2);
        m_models->setRecNo(2);
        const TableDataSet models(*m_models);
        Template layout;
        layout.bands << Band{BandKind::MasterData, 60, {}, {
            textBox({0, 0, 190, 8}, QStringLiteral("dal [data1] al [ data2 ]")),
            textBox({0, 10, 190, 8}, QStringLiteral("[Header]")),
            textBox({0, 20, 190, 8}, QStringLiteral("<[sconosciuto]> <[dm.Tabms.\"Nessuno\"]> <[altro.\"Campo\"]>")),
            textBox({0, 30, 190, 8}, QStringLiteral("fuori dalla banda: [dm.Tabms.\"Marchio_ms\"]")),
            textBox({0, 40, 190, 8}, QStringLiteral("[a [Page#] [] ]"))}};
        Report report(layout);
        report.setDataSet(Models, &models);
        QStringList asked;
        report.setValueCallback([&](const QString &name) -> std::optional<QString> {
            asked << name;
            if (name == QLatin1String("Header"))
                return QStringLiteral("dal callback");
            return std::nullopt;
        });
        report.setVariable(QStringLiteral("data1"), QStringLiteral("01/01/2021"));
        report.setVariable(QStringLiteral("data2"), QStringLiteral("31/03/2021"));
        const QStringList expected{"dal 01/01/2021 al 31/03/2021", "dal callback", "<> <> <>", "fuori dalla banda: M002", "[a 1 [] ]"};
        QCOMPARE(printed(report, QStringLiteral("engine-names")).value(0), expected);
        QCOMPARE(asked, (QStringList{"Header", "sconosciuto", "dm.Tabms.\"Nessuno\"", "altro.\"Campo\""}));
        // The variables stay for the next print.
        QCOMPARE(report.prepare().pageTexts(0).value(0), expected.first());
    }

    void aTemplateSavedLoadsEqual()
    {
        Template layout = countedLayout();
        layout.page.landscape = true;
        layout.page.margins = QMarginsF(12.5, 7, 3.25, 20);
        Element box = textBox({-2.5, 1.25, 33.3, 7}, QStringLiteral("Riga uno\nRiga \"due\" [dm.Tabms.\"Marchio_ms\"] èàù"), 13.5, true,
                              HAlign::Right);
        box.font = {QStringLiteral("DejaVu Serif"), 13.5, true, true, true};
        box.valign = VAlign::Bottom;
        box.wordWrap = false;
        box.frame = {true, false, true, true, 0.6};
        layout.bands[1].elements << box << rule(5, 24.5, 0, 1.5);
        const QString path = m_out.filePath(QStringLiteral("modello.frf"));
        QString error;
        QVERIFY2(saveTemplate(layout, path, &error), qPrintable(error));
        const std::optional<Template> loaded = loadTemplate(path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(*loaded, layout);
    }

    void aBadTemplateFileIsRefusedWithItsReason_data()
    {
        QTest::addColumn<QByteArray>("content"); // "-" for no file at all
        QTest::addColumn<QString>("reason");
        const QString damaged = QStringLiteral("non è un modello di stampa del programma o è danneggiato");
        QTest::newRow("missing") << QByteArray("-") << QStringLiteral("non esiste");
        QTest::newRow("empty") << QByteArray() << damaged;
        QTest::newRow("binary") << QByteArray("\x17\x00\x01\xff" "FRF\x02", 8) << damaged;
        QTest::newRow("cut short") << QByteArray(R"({"format": "sigillo-frf", "version": 1, "bands": [{"kind": )") << damaged;
        QTest::newRow("another format") << QByteArray(R"({"format": "altro", "version": 1})") << damaged;
        QTest::newRow("a later version") << QByteArray(R"({"format": "sigillo-frf", "version": 2})")
                                         << QStringLiteral("è stato salvato da una versione più recente del programma");
        QTest::newRow("a height in words") << QByteArray(R"({"format": "sigillo-frf", "version": 1, "bands": [{"height": "alta"}]})")
                                           << QStringLiteral("\"height\" non è una misura valida");
        QTest::newRow("a negative size")
            << QByteArray(R"({"format": "sigillo-frf", "version": 1, "bands": [{"elements": [{"rect": [0, 0, -5, 4]}]}]})")
            << QStringLiteral("\"rect\" deve essere un elenco di quattro misure");
        QTest::newRow("an unknown band") << QByteArray(R"({"format": "sigillo-frf", "version": 1, "bands": [{"kind": "summary"}]})")
                                         << QStringLiteral("il valore \"summary\" di \"kind\" non è ammesso");
    }
    void aBadTemplateFileIsRefusedWithItsReason()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path = m_out.filePath(QStringLiteral("rotto.frf"));
        QFile::remove(path);
        if (content != "-") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QString error;
        QVERIFY(!loadTemplate(path, &error));
        QCOMPARE(error, QStringLiteral("Il modello di stampa %1 %2.").arg(QDir::toNativeSeparators(path), reason));
    }

    void aFullDiskLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("PDF") << QStringLiteral("pdf");
        QTest::newRow("template") << QStringLiteral("frf");
    }
    void aFullDiskLeavesTheOldFileWhole()
    {
        QFETCH(QString, what);
        openModels(30);
        const TableDataSet models(*m_models);
        Report report(countedLayout());
        report.setDataSet(Models, &models);
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(QStringLiteral("stampa.") + what);
        const QByteArray old("il file di prima\n");
        QVERIFY(saveWholeFile(path, old));
        // 1: the write was reported as failed with its reason.
        const int reported = filesizelimit::run(rlim_t(old.size() + 200), [&] {
            QString error;
            const bool written = what == QLatin1String("pdf") ? report.prepare().writePdf(path, &error)
                                                               : saveTemplate(report.layout(), path, &error);
            return !written && error.contains(QDir::toNativeSeparators(path)) ? 1 : 0;
        });
        QCOMPARE(reported, 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    }

    void textsSplitIntoFixedWordsAndNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Piece>>("pieces");
        using K = Piece::Kind;
        QTest::newRow("a field") << "Ditta: [dm.Tabesercizio.\"Ragione_sociale\"]!"
                                 << QList<Piece>{{K::Fixed, "Ditta: ", {}, {}},
                                                 {K::Name, "dm.Tabesercizio.\"Ragione_sociale\"", "dm.Tabesercizio", "Ragione_sociale"},
                                                 {K::Fixed, "!", {}, {}}};
        QTest::newRow("a set's name with full stops") << "[a.b.\"c\"]" << QList<Piece>{{K::Name, "a.b.\"c\"", "a.b", "c"}};
        QTest::newRow("the page, any case, blanks") << "Pagina [ page# ]" << QList<Piece>{{K::Fixed, "Pagina ", {}, {}}, {K::PageNumber, "page#", {}, {}}};
        QTest::newRow("no closing bracket") << "[data1" << QList<Piece>{{K::Fixed, "[data1", {}, {}}};
        QTest::newRow("an empty name") << "[] [ ]" << QList<Piece>{{K::Fixed, "[] [ ]", {}, {}}};
        QTest::newRow("names side by side") << "[a][b]" << QList<Piece>{{K::Name, "a", {}, {}}, {K::Name, "b", {}, {}}};
        QTest::newRow("an unquoted field is a name") << "[set.field]" << QList<Piece>{{K::Name, "set.field", {}, {}}};
        QTest::newRow("a field written in code")
            << fieldExpression(QStringLiteral("dm.Tabms"), QStringLiteral("Marchio_ms")) + fieldExpression(QStringLiteral("a.b"), QStringLiteral("c"))
            << QList<Piece>{{K::Name, "dm.Tabms.\"Marchio_ms\"", "dm.Tabms", "Marchio_ms"}, {K::Name, "a.b.\"c\"", "a.b", "c"}};
    }
    void textsSplitIntoFixedWordsAndNames()
    {
        QFETCH(QString, text);
        QFETCH(QList<Piece>, pieces);
        QCOMPARE(parseText(text), pieces);
    }
};

QTEST_MAIN(tst_ReportEngine)
#include "tst_reportengine.moc"
