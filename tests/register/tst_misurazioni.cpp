// The register's selections without the window: the print selections with their inputs and messages,
// and how they, the search and the filter replace one another on the shared cursor.

#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "ground/testmode.h"
#include "register/misurazioni.h"
#include "registerarchive.h"

#include <QTest>

#include <functional>
#include <memory>

using engine::Table;
using verifications::Selection;

using Select = std::function<Selection(Table &)>;
Q_DECLARE_METATYPE(Select)
Q_DECLARE_METATYPE(Selection::Input)

namespace {

QStringList serials(const Table &table)
{
    QStringList shown;
    for (int row = 0; row < table.recordCount(); ++row)
        shown << table.valueAt(row, QStringLiteral("Matricola_ms")).toString();
    return shown;
}

verifications::Period period(const QString &from, const QString &to, bool byStart = false,
                             const QString &city = QStringLiteral("TUTTI"), const QString &type = {})
{
    return {from, to, byStart, city, type};
}

const QString Blank = QStringLiteral("  /  /    ");
const QString Busy = QStringLiteral("la tabella misurazioni è impegnata ");

} // namespace

class tst_Misurazioni : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RegisterArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    Table *table() const { return m_data->Tabmisurazioni; }

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init()
    {
        Messages::clear();
        m_archive = std::make_unique<RegisterArchive>();
        m_data = std::make_unique<Tdm>();
    }
    void cleanup()
    {
        m_data.reset();
        m_archive.reset();
    }

    void printSelectionsFilterOrSayWhatIsMissing_data()
    {
        QTest::addColumn<Select>("select");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Selection::Input>("missing");
        QTest::addColumn<QString>("filterText");
        QTest::addColumn<QStringList>("shown");
        using verifications::selectPeriod;
        const QStringList all{"OL123456", "OL1234567", "CU000001", "RC12345", "RC7654321"};
        const auto row = [](const char *name, Select select, bool applied, const QString &message, Selection::Input missing,
                            const QString &filterText, const QStringList &shown) {
            QTest::newRow(name) << select << applied << message << missing << filterText << shown;
        };

        row("S1 by end, every city and type", [](Table &t) { return selectPeriod(t, period("01/04/2010", "31/08/2010")); }, true, {},
            Selection::Input::None, "[data_fine]>='01/04/2010'and [data_fine]<='31/08/2010'", {"OL1234567", "CU000001"});
        // A meter without a start date is in no period by start.
        row("S1 by start, a city with an apostrophe, a type",
            [](Table &t) { return selectPeriod(t, period("01/01/2010", "31/12/2010", true, "L'AQUILA", "3")); }, true, {},
            Selection::Input::None,
            "[data_ini]>='01/01/2010'and [data_ini]<='31/12/2010' and [COMUNE]='L''AQUILA' and [Tipo_intervento]='3'", {"OL123456"});
        row("S1 a single day", [](Table &t) { return selectPeriod(t, period("12/05/2010", "12/05/2010")); }, true, {},
            Selection::Input::None, "[data_fine]>='12/05/2010'and [data_fine]<='12/05/2010'", {"OL1234567"});
        row("S1 no start of the period", [](Table &t) { return selectPeriod(t, period(Blank, Blank)); }, false,
            "errore sulla data", Selection::Input::From, {}, all);
        row("S1 no end of the period", [](Table &t) { return selectPeriod(t, period("01/01/2010", Blank)); }, false,
            "errore sulla data", Selection::Input::To, {}, all);
        row("S1 a day that does not exist", [](Table &t) { return selectPeriod(t, period("31/02/2010", "31/03/2010")); }, false,
            "O la tabella misurazioni è impegnata O le date inserite non sono valide", Selection::Input::None, {}, all);
        row("S1 a date typed in part", [](Table &t) { return selectPeriod(t, period("01/01/2010", "31/03/    ")); }, false,
            "O la tabella misurazioni è impegnata O le date inserite non sono valide", Selection::Input::None, {}, all);
        row("S2 a shop", [](Table &t) { return verifications::selectShop(t, "2"); }, true, {}, Selection::Input::None,
            "[id_esercizio]='2'", {"OL1234567", "RC7654321"});
        row("S2 no shop", [](Table &t) { return verifications::selectShop(t, {}); }, false, "inserire un esercizio",
            Selection::Input::Shop, {}, all);
        row("S3 negative", [](Table &t) { return verifications::selectOutcome(t, 1); }, true, {}, Selection::Input::None,
            "[esito]='1'", {"OL1234567"});
        row("S4 a technician", [](Table &t) { return verifications::selectTechnician(t, 2); }, true, {}, Selection::Input::None,
            "[id_tecnico]='2'", {"OL1234567", "RC12345"});
        // The code is quoted, as every other value of the window's filters.
        row("S5 a type", [](Table &t) { return verifications::selectType(t, "4"); }, true, {}, Selection::Input::None,
            "[Tipo_intervento]='4'", {"RC12345"});
        row("S5 no type", [](Table &t) { return verifications::selectType(t, {}); }, false, {}, Selection::Input::None, {}, all);
    }
    void printSelectionsFilterOrSayWhatIsMissing()
    {
        QFETCH(Select, select);
        QFETCH(bool, applied);
        QFETCH(QString, message);
        QFETCH(Selection::Input, missing);
        QFETCH(QString, filterText);
        QFETCH(QStringList, shown);
        // A search in force before the print gives way to its selection, and stays when an input is missing.
        verifications::search(*m_data, verifications::SearchItem::Matricola, QStringLiteral("OL"));
        const bool kept = !applied && (missing != Selection::Input::None || message.isEmpty());

        const Selection selection = select(*table());
        QCOMPARE(selection.applied, applied);
        QCOMPARE(selection.message, message);
        QCOMPARE(selection.missing, missing);
        QCOMPARE(appState().RicercaInCorso, kept);
        QCOMPARE(table()->isFiltered(), applied || kept);
        if (applied)
            QCOMPARE(table()->filterText(), filterText);
        QCOMPARE(serials(*table()), kept ? (QStringList{"OL123456", "OL1234567"}) : shown);
        verifications::endSelection(*table());
        QCOMPARE(table()->recordCount(), 5);
        QVERIFY(Messages::shown().isEmpty());
    }

    void filterQuotesWhatItLooksFor()
    {
        verifications::filter(*table(), verifications::SearchItem::RagioneSociale, QStringLiteral("BAR L'AQUILA"));
        QCOMPARE(table()->filterText(), QStringLiteral("[R_DITTA]='BAR L''AQUILA'"));
        QCOMPARE(serials(*table()), (QStringList{"OL123456", "RC12345"}));
        // The quarter is filtered like every other item.
        verifications::filter(*table(), verifications::SearchItem::Trimestre, QStringLiteral("4"));
        QCOMPARE(table()->filterText(), QStringLiteral("[TRIMESTRE]='4'"));
        QCOMPARE(serials(*table()), (QStringList{"RC12345", "RC7654321"}));
    }

    void closingTheRegisterEndsASearchButNotAFilter()
    {
        verifications::search(*m_data, verifications::SearchItem::PartitaIva, QStringLiteral("0123"));
        QVERIFY(appState().RicercaInCorso);
        QCOMPARE(serials(*table()), (QStringList{"OL1234567", "RC7654321"}));
        verifications::endSearch(*table());
        QVERIFY(!appState().RicercaInCorso);
        QCOMPARE(table()->recordCount(), 5);

        verifications::filter(*table(), verifications::SearchItem::PartitaIva, QStringLiteral("12345678903"));
        verifications::endSearch(*table());
        QCOMPARE(serials(*table()), (QStringList{"OL123456", "RC12345"}));
    }
};

QTEST_GUILESS_MAIN(tst_Misurazioni)
#include "tst_misurazioni.moc"
