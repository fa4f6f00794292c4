// The data module and the shell functions over a temporary base directory.

#include "ground/messages.h"
#include "ground/testmode.h"
#include "data/engine/engineerror.h"
#include "data/engine/tablefiles.h"
#include "data/tdm.h"
#include "data/utility.h"
#include "filesizelimit.h"
#include "testbase.h"

#include <QDir>
#include <QTest>

using engine::Table;

class TestDataModule : public QObject {
    Q_OBJECT

private:
    static QList<Table *> baseCursors(const Tdm &data)
    {
        return {data.TabImpostazioni, data.Tabpwd, data.Tabcomuni, data.Tabzone, data.Tabesercizio, data.Tabms,
                data.Tabsoggetto, data.TabLsogg, data.Tabtecnico, data.TabMod_tecnici, data.Tabintermediario,
                data.Tabtipo_int};
    }

    static QStringList indexNames(const QString &directory, const QString &table)
    {
        QStringList names;
        for (const engine::IndexDef &index : engine::tablefiles::readSchema(directory, table).indexes)
            names << index.name.toLower();
        names.sort();
        return names;
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    static void appendRow(Table *table, const QString &idField, const QVariant &id)
    {
        table->append();
        table->setValue(idField, id);
        table->post();
    }

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init() { Messages::clear(); }

    void openingBeforeAYearOpensTheBaseTablesOnly()
    {
        TestBase base;
        Tdm data;
        QCOMPARE(dm, &data);
        for (Table *table : baseCursors(data))
            QVERIFY2(table->isOpen(), qPrintable(table->objectName()));
        QVERIFY(!data.Tabmisurazioni->isOpen());
        QVERIFY(!data.c_esercizio->isOpen());
        QVERIFY(!data.Tab_dati_extra->isOpen());
        QVERIFY(Messages::shown().isEmpty());
    }

    void openingWithAYearOpensTheYearTables()
    {
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        const QList<Table *> cursors = baseCursors(data) + QList<Table *>{data.Tabmisurazioni, data.c_esercizio, data.Tab_dati_extra};
        for (Table *table : cursors)
            QVERIFY2(table->isOpen(), qPrintable(table->objectName()));
        QCOMPARE(data.Tabmisurazioni->directory(), appState().yearDir());
        QCOMPARE(data.Tabmisurazioni->indexName().toLower(), QStringLiteral("fineindex"));
    }

    void aMissingTableEndsOnlyItsGroup()
    {
        TestBase base(QStringLiteral("2021"));
        const QString dati = appState().dataDir();
        QVERIFY(QFile::remove(engine::tablefiles::filePath(dati, QStringLiteral("impostazioni"))));
        QVERIFY(QFile::remove(engine::tablefiles::filePath(dati, QStringLiteral("tipo_int"))));
        Tdm data;
        QVERIFY(!data.TabImpostazioni->isOpen());
        QVERIFY(!data.Tabpwd->isOpen()); // comes after the missing table in its group
        QVERIFY(data.Tabcomuni->isOpen());
        QVERIFY(data.Tabzone->isOpen());
        QVERIFY(data.Tabintermediario->isOpen());
        QVERIFY(!data.Tabmisurazioni->isOpen()); // after tipo_int in the last group
    }

    void reopeningKeepsEveryIndex()
    {
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        data.dmCreate(); // while already open: harmless
        data.dmDestroy();
        data.dmCreate();
        QVERIFY(data.Tabmisurazioni->isOpen());
        data.dmDestroy();

        const QString dati = appState().dataDir();
        QCOMPARE(indexNames(dati, QStringLiteral("ms")), QStringList{QStringLiteral("indice1")});
        QCOMPARE(indexNames(dati, QStringLiteral("tecnici")), QStringList{QStringLiteral("indice1")});
        QStringList expected{QStringLiteral("fineindex"), QStringLiteral("comuneindex"), QStringLiteral("id_tecnicoindex"),
                             QStringLiteral("id_esercizioindex"), QStringLiteral("id_msindex"), QStringLiteral("tipo_intindex"),
                             QStringLiteral("esitoindex"), QStringLiteral("r_dittaindex"), QStringLiteral("matricola_msindex")};
        expected.sort();
        QCOMPARE(indexNames(appState().yearDir(), QStringLiteral("misurazioni2")), expected);
    }

    void indexesMissingFromAnOlderArchiveAreAdded()
    {
        TestBase base(QStringLiteral("2021"));
        const QString dati = appState().dataDir();
        QVERIFY(QFile::remove(engine::tablefiles::filePath(dati, QStringLiteral("ms"))));
        engine::TableSchema bare = catalogue::schema(QStringLiteral("ms"));
        bare.indexes.clear();
        engine::tablefiles::create(dati, bare);
        {
            Tdm data;
            QVERIFY(data.Tabms->isOpen());
        }
        QCOMPARE(indexNames(dati, QStringLiteral("ms")), QStringList{QStringLiteral("indice1")});
    }

    void closingFollowsTheFixedOrder()
    {
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        QStringList closed;
        for (Table *table : data.findChildren<Table *>())
            connect(table, &Table::closed, this, [&closed, table] { closed << table->objectName(); });
        data.dmDestroy();
        const QStringList expected{
            QStringLiteral("Tabcomuni"), QStringLiteral("Tabzone"), QStringLiteral("Tabesercizio"),
            QStringLiteral("Tabmisurazioni"), QStringLiteral("Tabms"), QStringLiteral("Tabsoggetto"),
            QStringLiteral("TabLsogg"), QStringLiteral("Tabtecnico"), QStringLiteral("TabMod_tecnici"),
            QStringLiteral("Tabintermediario"), QStringLiteral("Tabtipo_int"), QStringLiteral("TabImpostazioni"),
            QStringLiteral("Tabpwd"), QStringLiteral("c_esercizio"), QStringLiteral("Tab_dati_extra")};
        QCOMPARE(closed, expected);
        for (Table *table : data.findChildren<Table *>())
            QVERIFY2(!table->isOpen(), qPrintable(table->objectName()));
    }

    void sharedCursorsAreLinked()
    {
        TestBase base;
        Tdm data;
        for (int id : {1, 2}) {
            appendRow(data.Tabsoggetto, QStringLiteral("Id_sogg_obbl"), id);
            data.TabLsogg->append();
            data.TabLsogg->setValue(QStringLiteral("Id_Lsogg"), id * 10);
            data.TabLsogg->setValue(QStringLiteral("Id_sogg"), id);
            data.TabLsogg->setValue(QStringLiteral("Id_al_sigillo"), QStringLiteral("SIGILLO%1").arg(id));
            data.TabLsogg->post();
        }
        data.Tabsoggetto->first();
        QCOMPARE(data.TabLsogg->recordCount(), 1);
        QCOMPARE(data.TabLsogg->asString(QStringLiteral("Id_al_sigillo")), QStringLiteral("SIGILLO1"));

        data.Tabtecnico->append();
        data.Tabtecnico->setValue(QStringLiteral("Id_tecnico"), 1);
        data.Tabtecnico->setValue(QStringLiteral("Id_sogg"), 10);
        data.Tabtecnico->post();
        QCOMPARE(data.Tabtecnico->asString(QStringLiteral("al_sigillo")), QStringLiteral("SIGILLO1"));
        data.Tabsoggetto->last(); // the authorisation lookup sees the current laboratory's lines only
        QCOMPARE(data.TabLsogg->asString(QStringLiteral("Id_al_sigillo")), QStringLiteral("SIGILLO2"));
        QCOMPARE(data.Tabtecnico->asString(QStringLiteral("al_sigillo")), QString());
    }

    void nextIdComesFromTheLastStoredRecord_data()
    {
        QTest::addColumn<QVariantList>("ids");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty table") << QVariantList{} << 1;
        QTest::newRow("last id 41") << QVariantList{3, 41} << 42;
        QTest::newRow("last id -5") << QVariantList{-5} << 1;
    }

    void nextIdComesFromTheLastStoredRecord()
    {
        QFETCH(QVariantList, ids);
        QFETCH(int, expected);
        TestBase base;
        Tdm data;
        // The technicians' cursor is ordered by name; the next id reads the stored (id) order all the same.
        Table *table = data.Tabtecnico;
        const QStringList names{QStringLiteral("ZETA"), QStringLiteral("ALFA")};
        for (int i = 0; i < ids.size(); ++i) {
            table->append();
            table->setValue(QStringLiteral("Id_tecnico"), ids.at(i));
            table->setValue(QStringLiteral("Cogn_nome"), names.at(i % names.size()));
            table->post();
        }
        QCOMPARE(ProssimoId(*table, QStringLiteral("Id_tecnico")), expected);
        table->append(); // not stored yet: a second call gives the same id
        QCOMPARE(ProssimoId(*table, QStringLiteral("Id_tecnico")), expected);
        table->cancel();
    }

    void emptyingATableGoesThroughASecondCursor()
    {
        TestBase base;
        Tdm data;
        for (int id = 1; id <= 3; ++id)
            appendRow(data.Tabesercizio, QStringLiteral("Id_esercizio"), id);
        data.Tabesercizio->close();
        SvuotaTabella(*data.Tabesercizio);
        data.Tabesercizio->open();
        QVERIFY(data.Tabesercizio->isEmpty());
        QCOMPARE(ProssimoId(*data.Tabesercizio, QStringLiteral("Id_esercizio")), 1);
    }

    void templatesAreBuiltWhenMissing()
    {
        TestBase base;
        const AppState &state = appState();
        catalogue::ensureTemplates(state);
        catalogue::ensureTemplates(state); // complete already: nothing to do
        for (const engine::TableSchema &table : catalogue::yearTables())
            QVERIFY(engine::tablefiles::exists(state.yearTemplateDir(), table.name));
        QVERIFY(QFile::exists(QDir(state.yearTemplateDir()).filePath(QStringLiteral("fix1.txt"))));
        for (const engine::TableSchema &table : catalogue::baseTables())
            QVERIFY(engine::tablefiles::exists(state.dataTemplateDir(), table.name));
        for (const QString &table : {QStringLiteral("riga1"), QStringLiteral("riga2"), QStringLiteral("riga3")})
            QVERIFY(engine::tablefiles::exists(state.importDir(), table));
        QCOMPARE(engine::tablefiles::readSchema(state.yearTemplateDir(), QStringLiteral("misurazioni2")).fields.size(), 31);
    }

    // A kill while a template was made, or another program's file in its place: the program's own
    // tables are built again, since every new year would copy them on.
    void damagedProgramTablesAreBuiltAgain()
    {
        TestBase base;
        const AppState &state = appState();
        catalogue::ensureTemplates(state);
        const QList<QPair<QString, QString>> damaged{{state.yearTemplateDir(), QStringLiteral("misurazioni2")},
                                                     {state.dataTemplateDir(), QStringLiteral("tipo_int")},
                                                     {state.importDir(), QStringLiteral("riga1")}};
        for (const auto &[directory, table] : damaged)
            writeFile(engine::tablefiles::filePath(directory, table), table == QLatin1String("riga1") ? QByteArray() : "not a table");
        catalogue::ensureTemplates(state);
        for (const auto &[directory, table] : damaged)
            QCOMPARE(engine::tablefiles::check(directory, catalogue::schema(table)), engine::tablefiles::Condition::Sound);
        Table types;
        types.setDirectory(state.dataTemplateDir());
        types.setTableName(QStringLiteral("tipo_int"));
        types.open();
        QCOMPARE(types.recordCount(), 3);
    }

    // The user's own tables are never rebuilt: a damaged one is named and left as it was.
    void aDamagedArchiveFileIsNamedAndLeftAlone()
    {
        TestBase base(QStringLiteral("2021"));
        const QString shops = engine::tablefiles::filePath(appState().dataDir(), QStringLiteral("esercizio"));
        const QByteArray content("esercizio, ma non una tabella");
        writeFile(shops, content);
        Tdm data;
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(Messages::shown().at(0).kind, MessageKind::Error);
        QVERIFY(Messages::shown().at(0).text.contains(QDir::toNativeSeparators(shops)));
        QVERIFY(!data.Tabesercizio->isOpen());
        QVERIFY(data.Tabcomuni->isOpen());
        QFile file(shops);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    // fix1.txt tells a year that the company-name repair is done: a cut one must not be taken for it.
    void aFullDiskIsReportedForTheRepairMarker()
    {
        TestBase base;
        catalogue::ensureTemplates(appState());
        const QString marker = QDir(appState().yearTemplateDir()).filePath(QStringLiteral("fix1.txt"));
        QVERIFY(QFile::remove(marker));
        const int outcome = filesizelimit::run(3, [] {
            try {
                catalogue::ensureTemplates(appState());
            } catch (const engine::EngineError &) {
                return 0;
            }
            return 1;
        });
        QCOMPARE(outcome, 0);
        QVERIFY(!QFileInfo::exists(marker));
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
