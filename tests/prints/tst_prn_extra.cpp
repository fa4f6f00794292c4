// The landscape table of the extra prints, read back from its PDF: the title with the filter line
// as typed (brackets and apostrophes too), the captions, and one row of cells per visible row.

#include "data/tdm.h"
#include "guitest.h"
#include "prints/prn_extraw.h"
#include "testbase.h"

#include <QDate>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace {

// A register of three interventions: two periodic verifications, one putting into service.
struct SmallRegister : TestBase {
    SmallRegister() : TestBase(QStringLiteral("2010"))
    {
        addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 1}, {"Cogn_nome", "ROSSI MARIO"}}});
        addDataRows(QStringLiteral("esercizio"),
                    {{{"Id_esercizio", 1}, {"Ragione_sociale", "BAR L'AQUILA"}, {"Piva", "12345678903"}},
                     {{"Id_esercizio", 2}, {"Ragione_sociale", "PIZZERIA FORLÌ"}, {"Piva", "01234567897"}}});
        addDataRows(QStringLiteral("ms"), {{{"Id_ms", 1}, {"Marchio_ms", "OLIVETTI"}, {"Denominazione_ms", "NETTUNA"}, {"Logotipo_ms", "OL"}}});
        const auto row = [](int id, int shop, const char *serial, const char *type, const char *outcome, const QDate &end,
                            const char *town, const char *province, const char *address, const char *cap) {
            return QVariantMap{{"Id_misurazioni", id}, {"Id_esercizio", shop}, {"Id_ms", 1}, {"Id_tecnico", 1},
                               {"Matricola_ms", serial}, {"Tipo_intervento", type}, {"Esito", outcome}, {"Data_fine", end},
                               {"COMUNE", QString::fromUtf8(town)}, {"PROVINCIA", province}, {"INDIRIZZO", address}, {"CAP", cap}};
        };
        addYearRows(QStringLiteral("misurazioni2"),
                    {row(1, 1, "OL123456", "3", "0", QDate(2010, 2, 3), "L'AQUILA", "AQ", "VIA ROMA 1", "67100"),
                     row(2, 2, "OL1234567", "1", "1", QDate(2010, 5, 12), "FORLÌ", "FC", "CORSO MAZZINI 2", "47121"),
                     row(3, 2, "OL7654321", "3", "0", QDate(2010, 9, 1), "FORLÌ", "FC", "CORSO MAZZINI 2", "47121")});
    }
};

const QString Captions = QStringLiteral("tipo Esito Ragione Sociale comune prov indirizzo cap marchio denominazione logo matricola data fine:");

QString squeezed(QString line)
{
    return line.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

} // namespace

class tst_PrnExtra : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<SmallRegister> m_register;
    std::unique_ptr<Tdm> m_data;

    void setUp() override
    {
        m_register = std::make_unique<SmallRegister>();
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_register.reset();
    }

private Q_SLOTS:
    void theTablePrintsItsFilterLineCaptionsAndRows_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("rows");
        // pdftotext reads the narrow blank between type and outcome as none.
        const QString first = QStringLiteral("30 BAR L'AQUILA L'AQUILA AQ VIA ROMA 1 67100 OLIVETTI NETTUNA OL OL123456 03/02/2010");
        const QString second = QStringLiteral("11 PIZZERIA FORLÌ FORLÌ FC CORSO MAZZINI 2 47121 OLIVETTI NETTUNA OL OL1234567 12/05/2010");
        const QString third = QStringLiteral("30 PIZZERIA FORLÌ FORLÌ FC CORSO MAZZINI 2 47121 OLIVETTI NETTUNA OL OL7654321 01/09/2010");
        QTest::newRow("no filter") << QString() << QStringList{first, second, third};
        QTest::newRow("by type") << QStringLiteral("[tipo_intervento]='3'") << QStringList{first, third};
        QTest::newRow("a town with an apostrophe")
            << QStringLiteral("[comune]='L''AQUILA' and [esito]='0'") << QStringList{first};
        QTest::newRow("nothing left") << QStringLiteral("[comune]='ROMA'") << QStringList{};
    }
    void theTablePrintsItsFilterLineCaptionsAndRows()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, rows);
        engine::Table &table = *dm->Tabmisurazioni;
        if (!filter.isEmpty()) {
            table.setFilterText(filter);
            table.setFiltered(true);
        }
        QTemporaryDir out;
        const QList<QStringList> pages = printThroughPreview(
            [&] { Tprn_extra::preview(table, filter, nullptr); }, out.filePath(QStringLiteral("tabella.pdf")),
            QStringLiteral("prn_extra-") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QCOMPARE(pages.size(), 1);
        QStringList printed;
        for (const QString &line : pages.first())
            printed << squeezed(line);
        QCOMPARE(printed, QStringList{squeezed(QStringLiteral("Elenco Interventi: ") + filter)} << Captions << rows);
        // The print reads the cursor, never moves or unfilters it.
        QCOMPARE(table.isFiltered(), !filter.isEmpty());
    }

    void theTableIsLandscapeAndFillsItsWidth()
    {
        const report::Template layout = Tprn_extra::layout();
        QVERIFY(layout.page.landscape);
        QCOMPARE(layout.page.margins, QMarginsF(10, 10, 10, 10));
        for (const report::Band &band : layout.bands) {
            for (const report::Element &element : band.elements)
                QVERIFY2(element.rect.right() <= layout.page.contentWidth() + 1e-9, qPrintable(element.text));
        }
    }
};

QTEST_MAIN(tst_PrnExtra)
#include "tst_prn_extra.moc"
