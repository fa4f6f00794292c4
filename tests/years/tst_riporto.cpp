// The carry-forward into a new year without its window: which meters of the previous year reach the
// new register and with what, a previous year that cannot be read, and a process killed half way.

#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/testmode.h"
#include "killtest.h"
#include "testbase.h"
#include "years/riporto.h"

#include <QDate>
#include <QDir>
#include <QTest>

#include <memory>

namespace {

const QString ShopGone = QStringLiteral("Incongruenza anagrafica ditta");
const QString UnknownMunicipality = QStringLiteral("Errore Sul Comune inserito");

QDate on(int day, int month, int year = 2010) { return QDate(year, month, day); }

// An intervention at the shop and by the technician of the same number, ending the day it starts.
QVariantMap visit(const char *serial, int model, const char *type, const QDate &start, int shop = 1, const char *contact = "")
{
    return {{"Id_esercizio", shop}, {"Id_ms", model}, {"Id_tecnico", shop}, {"Matricola_ms", serial}, {"Tipo_intervento", type},
            {"Data_ini", start}, {"Data_fine", start}, {"Esito", "0"}, {"Trimestre", QString::number((start.month() + 2) / 3)},
            {"COMUNE", "PESCARA"}, {"PROVINCIA", "PE"}, {"INDIRIZZO", "VIA ROMA 1"}, {"CAP", "65121"},
            {"ANNO", QString::number(start.year())}, {"Referente", contact}, {"importo", start.month()}, {"pagato", true}};
}

QList<QVariantMap> numbered(QList<QVariantMap> rows, int first = 1)
{
    for (QVariantMap &row : rows)
        row.insert(QStringLiteral("Id_misurazioni"), first++);
    return rows;
}

// The register as the user would read it, a record a line in id order.
QStringList registerLines(engine::Table &reg)
{
    QStringList lines;
    engine::Table byId;
    byId.setDirectory(reg.directory());
    byId.setTableName(reg.tableName());
    byId.open();
    for (byId.first(); !byId.eof(); byId.next()) {
        QStringList cells;
        for (const char *field : {"Matricola_ms", "Id_ms", "Tipo_intervento", "Id_esercizio", "Id_tecnico", "Trimestre", "Data_ini",
                                  "Data_fine", "Esito", "ANNO", "COMUNE", "PROVINCIA", "CAP", "r_ditta", "p_iva", "Referente", "importo",
                                  "pagato"})
            cells << byId.asString(QString::fromLatin1(field));
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

} // namespace

class tst_Riporto : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    QString previousYear() const { return QDir(m_base->path()).filePath(QStringLiteral("2010")); }

    // Working year 2011, the previous year's folder with an empty register, two shops and PESCARA.
    void makeArchive()
    {
        m_data.reset();
        m_base = std::make_unique<TestBase>(QStringLiteral("2011"));
        catalogue::createMissingTables(previousYear(), catalogue::yearTables());
        TestBase::addDataRows(QStringLiteral("esercizio"),
                              {{{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROSSI"}, {"Piva", "07654321004"}},
                               {{"Id_esercizio", 2}, {"Ragione_sociale", "TABACCHI VERDI"}, {"Piva", "12345678903"}}});
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), {{{"COMUNE", "PESCARA"}, {"PROVINCIAI", "PE"}, {"CAP", "65100"}}});
    }

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init()
    {
        Messages::clear();
        makeArchive();
    }
    void cleanup() { m_data.reset(); }

    void eachMeterIsCarriedFromItsLatestIntervention_data()
    {
        QTest::addColumn<QList<QVariantMap>>("previous");
        QTest::addColumn<QList<QVariantMap>>("byHand"); // in the working year before the carry-forward
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("messages");

        QTest::newRow("verified twice: the November intervention, as a verification to do")
            << QList<QVariantMap>{visit("A1", 1, "3", on(10, 3), 1, "MARZO"), visit("A1", 1, "3", on(5, 11), 2, "NOVEMBRE")}
            << QList<QVariantMap>{}
            << QStringList{"A1|1|3|2|2|4|05/11/2010|||1899|PESCARA|PE|65121|TABACCHI VERDI|12345678903|NOVEMBRE|11|True"}
            << QStringList{};
        QTest::newRow("commissioned, then decommissioned: appended and deleted")
            << QList<QVariantMap>{visit("B1", 1, "1", on(10, 6)), visit("B1", 1, "2", on(15, 9))} << QList<QVariantMap>{}
            << QStringList{} << QStringList{};
        QTest::newRow("decommissioned, then commissioned again: kept")
            << QList<QVariantMap>{visit("C1", 1, "2", on(10, 2)), visit("C1", 1, "1", on(20, 5))} << QList<QVariantMap>{}
            << QStringList{"C1|1|3|1|1|2|20/05/2010|||1899|PESCARA|PE|65121|BAR ROSSI|07654321004||5|True"} << QStringList{};
        QTest::newRow("one serial number, two models: two meters")
            << QList<QVariantMap>{visit("D1", 1, "3", on(1, 4)), visit("D1", 2, "3", on(2, 4))} << QList<QVariantMap>{}
            << QStringList{"D1|2|3|1|1|2|02/04/2010|||1899|PESCARA|PE|65121|BAR ROSSI|07654321004||4|True",
                           "D1|1|3|1|1|2|01/04/2010|||1899|PESCARA|PE|65121|BAR ROSSI|07654321004||4|True"}
            << QStringList{};
        QTest::newRow("entered by hand first: not carried")
            << QList<QVariantMap>{visit("E1", 1, "3", on(1, 7))} << QList<QVariantMap>{visit("E1", 1, "1", on(3, 1, 2011))}
            << QStringList{"E1|1|1|1|1|1|03/01/2011|03/01/2011|0|2011|PESCARA|PE|65121||||1|True"} << QStringList{};
        QTest::newRow("only decommissioned, or of another type: nothing")
            << QList<QVariantMap>{visit("F1", 1, "2", on(1, 7)), visit("F2", 1, "4", on(1, 7))} << QList<QVariantMap>{}
            << QStringList{} << QStringList{};
        QTest::newRow("a shop gone: carried without company name and VAT number")
            << QList<QVariantMap>{visit("G1", 1, "3", on(1, 8), 9)} << QList<QVariantMap>{}
            << QStringList{"G1|1|3|9|9|3|01/08/2010|||1899|PESCARA|PE|65121||||8|True"} << QStringList{ShopGone};
        QVariantMap elsewhere = visit("H1", 1, "3", on(1, 9));
        elsewhere.insert(QStringLiteral("COMUNE"), QStringLiteral("ATLANTIDE"));
        QTest::newRow("a municipality no longer listed: carried with its old address")
            << QList<QVariantMap>{elsewhere} << QList<QVariantMap>{}
            << QStringList{"H1|1|3|1|1|3|01/09/2010|||1899|ATLANTIDE|PE|65121|BAR ROSSI|07654321004||9|True"}
            << QStringList{UnknownMunicipality};
    }
    void eachMeterIsCarriedFromItsLatestIntervention()
    {
        QFETCH(QList<QVariantMap>, previous);
        QFETCH(QList<QVariantMap>, byHand);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, messages);
        TestBase::addRows(previousYear(), QStringLiteral("misurazioni2"), numbered(previous));
        TestBase::addYearRows(QStringLiteral("misurazioni2"), numbered(byHand));
        m_data = std::make_unique<Tdm>();
        QList<int> progress;
        years::RiportaVerifiche(*m_data, [&progress](int done, int total) { progress << done << total; });
        QStringList stored = registerLines(*m_data->Tabmisurazioni);
        for (const QString &line : std::as_const(expected))
            QVERIFY2(stored.contains(line), qPrintable(stored.join(QLatin1Char('\n'))));
        QCOMPARE(stored.size(), expected.size());
        QCOMPARE(Messages::shownTexts(), messages);
        const int walked = int(std::count_if(previous.cbegin(), previous.cend(), [](const QVariantMap &row) {
            return QStringList{"1", "2", "3"}.contains(row.value(QStringLiteral("Tipo_intervento")).toString());
        }));
        QCOMPARE(progress.mid(progress.size() - 2), (QList<int>{walked, walked}));
    }

    // Pressed again, "Inserisci" finds what it carried and adds nothing.
    void carryingTwiceAddsNothing()
    {
        TestBase::addRows(previousYear(), QStringLiteral("misurazioni2"),
                          numbered({visit("A1", 1, "3", on(10, 3)), visit("B1", 1, "1", on(10, 6)), visit("B1", 1, "2", on(15, 9)),
                                    visit("C1", 2, "1", on(1, 12))}));
        m_data = std::make_unique<Tdm>();
        const years::Riporto first = years::RiportaVerifiche(*m_data);
        QCOMPARE(first.carried, 3);
        QCOMPARE(first.removed, 1);
        const QStringList once = registerLines(*m_data->Tabmisurazioni);
        QCOMPARE(once.size(), 2);
        years::RiportaVerifiche(*m_data);
        QCOMPARE(registerLines(*m_data->Tabmisurazioni), once);
    }

    void aMissingPreviousYearWritesNothing_data()
    {
        QTest::addColumn<bool>("folderToo");
        QTest::newRow("no register") << false;
        QTest::newRow("no folder") << true;
    }
    void aMissingPreviousYearWritesNothing()
    {
        QFile::remove(QDir(previousYear()).filePath(QStringLiteral("misurazioni2.sqlite")));
        QFETCH(bool, folderToo);
        if (folderToo)
            QVERIFY(QDir(previousYear()).removeRecursively());
        TestBase::addYearRows(QStringLiteral("misurazioni2"), numbered({visit("E1", 1, "1", on(3, 1, 2011))}));
        m_data = std::make_unique<Tdm>();
        QVERIFY_THROWS_EXCEPTION(engine::EngineError, years::RiportaVerifiche(*m_data));
        QCOMPARE(registerLines(*m_data->Tabmisurazioni).size(), 1);
        QCOMPARE(QFileInfo::exists(QDir(previousYear()).filePath(QStringLiteral("misurazioni2.sqlite"))), false);
    }

    // Killed half way through, the carry-forward leaves the register as it was and every file sound.
    void aKilledCarryForwardLeavesTheRegisterAsItWas()
    {
        QList<QVariantMap> previous;
        for (int i = 0; i < 3000; ++i)
            previous << visit(qPrintable(QStringLiteral("K%1").arg(i)), 1 + i % 2, i % 10 == 0 ? "2" : "3", on(1, 1).addDays(i % 365));
        {
            engine::BulkScope bulk;
            TestBase::addRows(previousYear(), QStringLiteral("misurazioni2"), numbered(previous));
        }
        TestBase::addYearRows(QStringLiteral("misurazioni2"), numbered({visit("E1", 1, "1", on(3, 1, 2011))}));

        QVERIFY(killtest::killedAt(2000, [](const Progress &progress) {
            Tdm data;
            years::RiportaVerifiche(data, progress);
        }));
        QCOMPARE(killtest::integrityProblems(m_base->path()), QStringList());
        m_data = std::make_unique<Tdm>();
        QCOMPARE(registerLines(*m_data->Tabmisurazioni),
                 QStringList{"E1|1|1|1|1|1|03/01/2011|03/01/2011|0|2011|PESCARA|PE|65121||||1|True"});
        years::RiportaVerifiche(*m_data);
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 1 + 2700);
    }
};

QTEST_GUILESS_MAIN(tst_Riporto)
#include "tst_riporto.moc"
