// The rows a new archive starts with: the municipalities and zones and the intervention types of the
// template vuoto_dati/, and a data module opened on a copy of it.

#include "ground/messages.h"
#include "ground/testmode.h"
#include "data/seeds.h"
#include "data/tdm.h"
#include "testbase.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using engine::Table;

namespace {

void openIn(Table &table, const QString &directory, const QString &name)
{
    table.setDirectory(directory);
    table.setTableName(name);
    table.open();
}

int rowCount(const QString &directory, const QString &name)
{
    Table table;
    openIn(table, directory, name);
    return table.recordCount();
}

} // namespace

class TestSeeds : public QObject {
    Q_OBJECT

private:
    // One archive whose templates were made once: seeding the whole list is the slow part.
    std::unique_ptr<TestBase> m_base;
    QString templateDir() const { return appState().dataTemplateDir(); }

private Q_SLOTS:
    void initTestCase()
    {
        setTestMode(true);
        m_base = std::make_unique<TestBase>();
        catalogue::ensureTemplates(appState());
    }

    void generalPostalCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("general");
        QTest::newRow("one code") << QStringList{"35031"} << "35031";
        QTest::newRow("general code among zones") << QStringList{"20121", "20100", "20122"} << "20100";
        QTest::newRow("no general code: lowest") << QStringList{"00120", "00118", "00199"} << "00118";
        QTest::newRow("ending in 00 beats a lower code") << QStringList{"38013", "38100"} << "38100";
    }

    void generalPostalCode()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, general);
        QCOMPARE(seeds::generalPostalCode(codes), general);
    }

    void templateHoldsTheMunicipality_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("cadastralCode");
        QTest::addColumn<QString>("cap");
        QTest::addColumn<QStringList>("zoneCodes"); // first and last zone; empty when none
        QTest::addColumn<int>("zones");
        // The list has no general code for Rome's zones (00118 to 00199): the lowest is taken.
        QTest::newRow("Rome") << "ROMA" << "RM" << "H501" << "00118" << QStringList{"00118", "00199"} << 82;
        QTest::newRow("Milan") << "MILANO" << "MI" << "F205" << "20121" << QStringList{"20121", "20162"} << 42;
        QTest::newRow("accent kept") << QStringLiteral("FORLÌ") << "FC" << "D704" << "47121" << QStringList{"47121", "47122"} << 2;
        QTest::newRow("apostrophe, one code") << "L'AQUILA" << "AQ" << "A345" << "67100" << QStringList{} << 0;
        QTest::newRow("one code") << "ABANO TERME" << "PD" << "A001" << "35031" << QStringList{} << 0;
        QTest::newRow("same name, other province") << "CASTRO" << "LE" << "M261" << "73030" << QStringList{} << 0;
    }

    void templateHoldsTheMunicipality()
    {
        QFETCH(QString, name);
        QFETCH(QString, province);
        QFETCH(QString, cadastralCode);
        QFETCH(QString, cap);
        QFETCH(QStringList, zoneCodes);
        QFETCH(int, zones);

        Table comuni;
        openIn(comuni, templateDir(), QStringLiteral("COMUNI_new"));
        Table zone;
        zone.setMasterLink(&comuni, QStringLiteral("Id_comune"), QStringLiteral("Id"));
        openIn(zone, templateDir(), QStringLiteral("zone"));
        QVERIFY(comuni.locate(QStringLiteral("COMUNE;PROVINCIAI"), {name, province}));
        QCOMPARE(comuni.asString(QStringLiteral("CODICEFISC")), cadastralCode);
        QCOMPARE(comuni.asString(QStringLiteral("CAP")), cap);
        QCOMPARE(zone.recordCount(), zones);
        if (zones == 0)
            return;
        zone.first();
        QCOMPARE(zone.asString(QStringLiteral("CAP_zona")), zoneCodes.first());
        QCOMPARE(zone.asString(QStringLiteral("Descrizione")), QStringLiteral("ZONA 1"));
        zone.last();
        QCOMPARE(zone.asString(QStringLiteral("CAP_zona")), zoneCodes.last());
        QCOMPARE(zone.asString(QStringLiteral("Descrizione")), QStringLiteral("ZONA %1").arg(zones));
    }

    void templateHoldsTheWholeList()
    {
        QCOMPARE(rowCount(templateDir(), QStringLiteral("COMUNI_new")), 7904);
        // 44 municipalities have several postal codes, 710 in all.
        QCOMPARE(rowCount(templateDir(), QStringLiteral("zone")), 710);
    }

    void templateHoldsTheFixedInterventionTypes()
    {
        Table types;
        openIn(types, templateDir(), QStringLiteral("tipo_int"));
        const QStringList expected{QStringLiteral("MESSA IN SERVIZIO"), QStringLiteral("DEFISCALIZZAZIONE"),
                                   QStringLiteral("VERIFICA PERIODICA")};
        QCOMPARE(types.recordCount(), 3);
        for (int id = 1; id <= 3; ++id) {
            QVERIFY(types.locate(QStringLiteral("Id"), {id}));
            QCOMPARE(types.asString(QStringLiteral("descrizione")), expected[id - 1]);
            QCOMPARE(types.asInteger(QStringLiteral("tipo")), id);
            QVERIFY(types.asBoolean(QStringLiteral("locked")));
        }
    }

    void seedingAgainChangesNothing()
    {
        catalogue::ensureTemplates(appState());
        seeds::seedBaseTables(templateDir());
        QCOMPARE(rowCount(templateDir(), QStringLiteral("COMUNI_new")), 7904);
        QCOMPARE(rowCount(templateDir(), QStringLiteral("zone")), 710);
        QCOMPARE(rowCount(templateDir(), QStringLiteral("tipo_int")), 3);
    }

    void tablesWithRowsAreLeftAlone()
    {
        // dati/ of the shared base is only ever written here and by the last test, which replaces it.
        const QString dataDir = appState().dataDir();
        TestBase::addRows(dataDir, QStringLiteral("COMUNI_new"), {{{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}}});
        TestBase::addRows(dataDir, QStringLiteral("tipo_int"), {{{"Id", 4}, {"descrizione", "COLLAUDO"}, {"tipo", 4}}});
        seeds::seedBaseTables(dataDir);
        QCOMPARE(rowCount(dataDir, QStringLiteral("COMUNI_new")), 1);
        QCOMPARE(rowCount(dataDir, QStringLiteral("zone")), 0);
        QCOMPARE(rowCount(dataDir, QStringLiteral("tipo_int")), 1);
    }

    void technicianBornInMilanoGetsHisCodeFromTheSeededList()
    {
        const QDir source(templateDir());
        const QDir target(appState().dataDir());
        for (const QString &file : source.entryList(QDir::Files)) {
            QFile::remove(target.filePath(file));
            QVERIFY(QFile::copy(source.filePath(file), target.filePath(file)));
        }

        Messages::clear();
        Tdm data;
        QCOMPARE(data.Tabcomuni->recordCount(), 7904);
        Table *t = data.Tabtecnico;
        t->append();
        t->setValue(QStringLiteral("Cognome"), QStringLiteral("ROSSI"));
        t->setValue(QStringLiteral("Nome"), QStringLiteral("MARIO"));
        t->setValue(QStringLiteral("Sesso"), QStringLiteral("M"));
        t->setValue(QStringLiteral("Data_nascita"), QDate(1980, 1, 1));
        t->setValue(QStringLiteral("Comune_nascita"), QStringLiteral("MILANO"));
        QCOMPARE(t->asString(QStringLiteral("Prov_nascita")), QStringLiteral("MI"));
        QCOMPARE(t->asString(QStringLiteral("Cf")), QStringLiteral("RSSMRA80A01F205X"));
        t->post();
        QVERIFY(Messages::shownTexts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSeeds)
#include "tst_seeds.moc"
