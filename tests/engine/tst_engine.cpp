// Table engine tests. Each case builds its tables in a fresh temporary directory through the engine
// itself (enginefixture.h).

#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/engine/filtertext.h"
#include "data/engine/query.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"
#include "enginefixture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestEngine : public QObject {
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    QString dir() const { return m_dir->path(); }

    std::unique_ptr<Table> openRegister(const QString &index = QString())
    {
        auto t = std::make_unique<Table>();
        t->setDirectory(dir());
        t->setTableName(QStringLiteral("misure"));
        t->setIndexName(index);
        t->open();
        return t;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        tablefiles::create(dir(), registerSchema());
        auto t = openRegister();
        insertRows(*t, registerRows);
    }
    void cleanup()
    {
        delete m_dir;
        m_dir = nullptr;
    }

    void orders_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("primary key") << QString() << QList<int>{1, 2, 3, 4, 5};
        // Null date first, equal dates by insertion.
        QTest::newRow("date index") << QStringLiteral("fineindex") << QList<int>{3, 2, 5, 1, 4};
        QTest::newRow("index name ignores case") << QStringLiteral("FINEINDEX") << QList<int>{3, 2, 5, 1, 4};
        // Case-insensitive: rossi and ROSSI tie and keep insertion order; the apostrophe sorts as ASCII.
        QTest::newRow("nocase text index") << QStringLiteral("r_dittaindex") << QList<int>{2, 3, 1, 4, 5};
    }
    void orders()
    {
        QFETCH(QString, index);
        QFETCH(QList<int>, ids);
        auto t = openRegister(index);
        QCOMPARE(walk(*t), ids);
    }

    void indexFieldNamesAndReorderKeepCurrent()
    {
        auto t = openRegister();
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {4}));
        t->setIndexFieldNames(QStringLiteral("DATA_FINE"));
        QCOMPARE(t->asInteger(QStringLiteral("id_misurazioni")), 4);
        QCOMPARE(t->recNo(), 5);
        QCOMPARE(walk(*t), (QList<int>{3, 2, 5, 1, 4}));
    }

    void navigation()
    {
        auto t = openRegister();
        QVERIFY(t->bof());
        QVERIFY(!t->eof());
        QCOMPARE(t->recordCount(), 5);
        QCOMPARE(t->recNo(), 1);
        t->prior();
        QVERIFY(t->bof());
        QCOMPARE(t->recNo(), 1);
        t->next();
        QVERIFY(!t->bof());
        QCOMPARE(t->recNo(), 2);
        t->last();
        QVERIFY(t->eof());
        t->next();
        QVERIFY(t->eof());
        QCOMPARE(t->recNo(), 5);
        t->moveBy(-3);
        QCOMPARE(t->recNo(), 2);
        QVERIFY(!t->eof() && !t->bof());
        t->setRecNo(4);
        QCOMPARE(t->asInteger(QStringLiteral("Id_misurazioni")), 4);

        t->emptyTable();
        QVERIFY(t->isEmpty());
        QVERIFY(t->bof() && t->eof());
        QCOMPARE(t->recNo(), 0);
        QCOMPARE(walk(*t), QList<int>());
    }

    void walkAndPostVisitsEachRowOnce()
    {
        // Posting a field of the active order: the cursor follows the row, here to the end.
        auto t = openRegister(QStringLiteral("fineindex"));
        Table other;
        other.setDirectory(dir());
        tablefiles::create(dir(), shopSchema());
        other.setTableName(QStringLiteral("esercizio"));
        other.open();
        QList<int> seen;
        t->first();
        while (!t->eof()) {
            seen << t->asInteger(QStringLiteral("Id_misurazioni"));
            t->edit();
            t->setValue(QStringLiteral("importo"), 1);
            t->post();
            other.append();
            other.setValue(QStringLiteral("Id_esercizio"), seen.last());
            other.post();
            t->next();
        }
        QCOMPARE(seen, (QList<int>{3, 2, 5, 1, 4}));
        QCOMPARE(other.recordCount(), 5);
    }

    void walkWherePostLeavesFilterVisitsEachRowOnce()
    {
        auto t = openRegister();
        t->setFilterText(QStringLiteral("[Tipo_intervento]='3'"));
        t->setFiltered(true);
        QList<int> seen;
        t->first();
        while (!t->eof()) {
            seen << t->asInteger(QStringLiteral("Id_misurazioni"));
            t->edit();
            t->setValue(QStringLiteral("Tipo_intervento"), "9");
            t->post();
            t->next();
        }
        QCOMPARE(seen, (QList<int>{1, 3, 5}));
        QVERIFY(t->isEmpty());
    }

    // Random names and dates, posted, edited and deleted through the cursor: in either index the
    // cursor's order is the one SQLite itself gives.
    void ordersAreSQLitesOwn_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QByteArray>("orderBy");
        QTest::newRow("nocase text") << QStringLiteral("r_dittaindex") << QByteArray("r_ditta COLLATE NOCASE");
        QTest::newRow("date") << QStringLiteral("fineindex") << QByteArray("Data_fine COLLATE NOCASE");
        QTest::newRow("primary key") << QString() << QByteArray("Id_misurazioni");
    }
    void ordersAreSQLitesOwn()
    {
        QFETCH(QString, index);
        QFETCH(QByteArray, orderBy);
        auto t = openRegister(index);
        t->emptyTable();
        QRandomGenerator random(20261210);
        const QStringList pieces{"rossi", "ROSSI", "Rossi", "àbc", "Àbc", "zeta", "L'ARTE", "l'arte", "", " ", "_x", "9", "bar", "Bar"};
        const auto name = [&] { return pieces[random.bounded(int(pieces.size()))] + pieces[random.bounded(int(pieces.size()))]; };
        const auto date = [&] { return random.bounded(5) == 0 ? QVariant() : QVariant(QDate(2010, 1, 1).addDays(random.bounded(40))); };
        {
            // One transaction, so that the test does not wait for the disk; the last rows are posted
            // one by one after it, as a window posts them.
            BulkScope scope;
            for (int id = 1; id <= 290; ++id)
                insertRows(*t, {{id, 1, "1", date(), name(), 1, true}});
            for (int i = 0; i < 150; ++i) {
                t->setRecNo(1 + random.bounded(t->recordCount()));
                if (i % 5 == 0) {
                    t->remove();
                    continue;
                }
                t->edit();
                t->setValue(i % 2 ? QStringLiteral("r_ditta") : QStringLiteral("Data_fine"), i % 2 ? QVariant(name()) : date());
                t->post();
            }
        }
        for (int id = 291; id <= 300; ++id)
            insertRows(*t, {{id, 1, "1", date(), name(), 1, true}});
        const QList<int> engineOrder = walk(*t);
        QList<int> sqliteOrder;
        for (qint64 id : rawIds(t->filePath(), "SELECT rowid FROM misure ORDER BY " + orderBy + ", rowid"))
            sqliteOrder << int(id);
        QCOMPARE(engineOrder.size(), 270);
        QCOMPARE(engineOrder, sqliteOrder);
        auto reopened = openRegister(index);
        QCOMPARE(walk(*reopened), sqliteOrder);
    }

    void removeGoesToFollowingRow()
    {
        auto t = openRegister();
        t->setRecNo(2);
        t->remove();
        QCOMPARE(t->asInteger(QStringLiteral("Id_misurazioni")), 3);
        t->last();
        t->remove();
        QCOMPARE(t->asInteger(QStringLiteral("Id_misurazioni")), 4);
        QVERIFY(t->eof());
        QCOMPARE(t->recordCount(), 3);
    }

    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("empty") << QString() << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("text exact and case-sensitive") << QStringLiteral("[r_ditta]='rossi'") << QList<int>{1};
        QTest::newRow("bare and qualified names")
            << QStringLiteral("misure.tipo_intervento='3' and Id_esercizio=20") << QList<int>{5};
        QTest::newRow("tokens touching")
            << QStringLiteral("(misure.tipo_intervento='3')and(misure.id_esercizio='10')and((misure.r_ditta='rossi')or(misure.r_ditta='x'))")
            << QList<int>{1};
        QTest::newRow("or, not, parentheses")
            << QStringLiteral("not ([Tipo_intervento]='3' OR [tipo_intervento] = '1')") << QList<int>{4};
        QTest::newRow("apostrophe") << QStringLiteral("[r_ditta]=") + quoted(QStringLiteral("L'ARTE")) << QList<int>{3};
        QTest::newRow("integer field against quoted number") << QStringLiteral("[id_esercizio]>='20'") << QList<int>{2, 4, 5};
        QTest::newRow("number is numeric, not text") << QStringLiteral("[importo] < 9") << QList<int>{2, 4};
        QTest::newRow("date field against dd/MM/yyyy")
            << QStringLiteral("[data_fine]>='02/03/2010' and [data_fine]<'9/3/2010'") << QList<int>{1, 2, 5};
        QTest::newRow("null date only differs") << QStringLiteral("[data_fine]<>'05/03/2010'") << QList<int>{2, 3, 4, 5};
        QTest::newRow("blank literal finds null date") << QStringLiteral("[data_fine]=''") << QList<int>{3};
        QTest::newRow("boolean") << QStringLiteral("[pagato]='true'") << QList<int>{1, 4};
        QTest::newRow("text field against number compares text") << QStringLiteral("[Tipo_intervento]=2") << QList<int>{4};
    }
    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QList<int>, ids);
        auto t = openRegister();
        t->setFilterText(filter);
        t->setFiltered(true);
        QCOMPARE(walk(*t), ids);
        QCOMPARE(t->recordCount(), ids.size());
        t->setFiltered(false);
        QCOMPARE(t->recordCount(), 5);
    }

    void badFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unknown field") << QStringLiteral("[nessuno]='1'");
        QTest::newRow("unclosed text") << QStringLiteral("[r_ditta]='abc");
        QTest::newRow("missing operator") << QStringLiteral("[r_ditta] 'abc'");
        QTest::newRow("dangling and") << QStringLiteral("[r_ditta]='a' and");
        QTest::newRow("unbalanced parenthesis") << QStringLiteral("([r_ditta]='a'");
        QTest::newRow("bad date") << QStringLiteral("[data_fine]='31/02/2010'");
        QTest::newRow("text for a number") << QStringLiteral("[importo]='molto'");
    }
    void badFilters()
    {
        QFETCH(QString, filter);
        auto t = openRegister();
        try {
            t->setFilterText(filter);
            t->setFiltered(true);
            QFAIL("a bad filter was accepted");
        } catch (const EngineError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Filtro non valido")));
        }
        QCOMPARE(t->recordCount(), 5);
    }

    void recordFilterTogetherWithText()
    {
        auto t = openRegister();
        t->setFilterText(QStringLiteral("[Tipo_intervento]='3'"));
        t->setRecordFilter([](const Table &row) { return row.asString(QStringLiteral("r_ditta")).contains(QLatin1Char('r')); });
        QCOMPARE(t->recordCount(), 5); // filtering is off
        t->setFiltered(true);
        QCOMPARE(walk(*t), (QList<int>{1, 5}));
        // The current record is untouched by the callback's reads.
        QCOMPARE(t->asInteger(QStringLiteral("Id_misurazioni")), 5);
    }

    void masterDetailFollowsMaster()
    {
        tablefiles::create(dir(), shopSchema());
        Table shops;
        shops.setDirectory(dir());
        shops.setTableName(QStringLiteral("esercizio"));
        shops.open();
        insertRows(shops, {{10, "Rossi srl"}, {20, "Bianchi"}, {40, "Vuoto"}});
        auto detail = std::make_unique<Table>();
        detail->setDirectory(dir());
        detail->setTableName(QStringLiteral("misure"));
        detail->setMasterLink(&shops, QStringLiteral("id_esercizio"), QStringLiteral("ID_ESERCIZIO"));
        detail->open();
        shops.first();
        QCOMPARE(walk(*detail), (QList<int>{1, 3}));
        shops.next();
        QCOMPARE(detail->recNo(), 1);
        QCOMPARE(walk(*detail), (QList<int>{2, 5}));
        shops.next();
        QVERIFY(detail->isEmpty());
        detail->append(); // a new detail row belongs to the master's row
        QCOMPARE(detail->asInteger(QStringLiteral("Id_esercizio")), 40);
        detail->setValue(QStringLiteral("Id_misurazioni"), 6);
        detail->post();
        QCOMPARE(walk(*detail), (QList<int>{6}));
        shops.close();
        QVERIFY(detail->isEmpty());
    }

    void lookupAndCalculatedFields()
    {
        tablefiles::create(dir(), shopSchema());
        Table shops;
        shops.setDirectory(dir());
        shops.setTableName(QStringLiteral("esercizio"));
        shops.open();
        insertRows(shops, {{10, "Rossi srl"}, {20, "Bianchi"}});
        auto t = std::make_unique<Table>();
        t->setDirectory(dir());
        t->setTableName(QStringLiteral("misure"));
        t->addLookupField({QStringLiteral("ragione_sociale"), FieldType::Text, 60, QStringLiteral("Id_esercizio"), &shops,
                           QStringLiteral("id_esercizio"), QStringLiteral("Ragione_sociale")});
        t->addCalculatedField({QStringLiteral("tipo_int_str"), FieldType::Text, 50, false});
        int calls = 0;
        t->setOnCalcFields([&calls](Table &row) {
            ++calls;
            row.setValue(QStringLiteral("tipo_int_str"),
                         row.asString(QStringLiteral("Tipo_intervento")) == QLatin1String("3") ? "Verificazione periodica" : "Altro");
        });
        t->open();
        QCOMPARE(t->fields().size(), 9);
        QCOMPARE(t->value(QStringLiteral("RAGIONE_SOCIALE")).toString(), QStringLiteral("Rossi srl"));
        QCOMPARE(t->valueAt(1, QStringLiteral("ragione_sociale")).toString(), QStringLiteral("Bianchi"));
        QCOMPARE(t->valueAt(3, QStringLiteral("ragione_sociale")).toString(), QString()); // shop 30 missing
        QCOMPARE(t->asString(QStringLiteral("tipo_int_str")), QStringLiteral("Verificazione periodica"));
        QCOMPARE(t->valueAt(1, QStringLiteral("tipo_int_str")).toString(), QStringLiteral("Altro"));
        QVERIFY(calls >= 2);
        QVERIFY_THROWS_EXCEPTION(EngineError, t->setValue(QStringLiteral("tipo_int_str"), "x"));

        // The lookup follows changes of the lookup table, also made through another cursor.
        Table shops2;
        shops2.setDirectory(dir());
        shops2.setTableName(QStringLiteral("esercizio"));
        shops2.open();
        shops2.edit();
        shops2.setValue(QStringLiteral("Ragione_sociale"), "Rossi spa");
        shops2.post();
        QCOMPARE(t->value(QStringLiteral("ragione_sociale")).toString(), QStringLiteral("Rossi spa"));
        // In the edit buffer the key decides.
        t->edit();
        t->setValue(QStringLiteral("Id_esercizio"), 20);
        QCOMPARE(t->value(QStringLiteral("ragione_sociale")).toString(), QStringLiteral("Bianchi"));
        QCOMPARE(shops.lookup(QStringLiteral("Ragione_sociale"), {"Bianchi"}, QStringLiteral("Id_esercizio")).toInt(), 20);
        QVERIFY(shops.lookup(QStringLiteral("Ragione_sociale"), {"bianchi"}, QStringLiteral("Id_esercizio")).isNull());
    }

    void locate_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("found"); // 0: not found
        const int ci = int(LocateOption::CaseInsensitive), partial = int(LocateOption::PartialKey);
        QTest::newRow("exact") << "r_ditta" << QVariantList{"ROSSI"} << 0 << 4;
        QTest::newRow("exact is case-sensitive") << "r_ditta" << QVariantList{"Rossi"} << 0 << 0;
        QTest::newRow("case-insensitive") << "R_DITTA" << QVariantList{"Rossi"} << ci << 1;
        QTest::newRow("partial") << "r_ditta" << QVariantList{"Bia"} << partial << 2;
        QTest::newRow("partial is not exact") << "r_ditta" << QVariantList{"Bia"} << 0 << 0;
        QTest::newRow("partial case-insensitive") << "r_ditta" << QVariantList{"VER"} << (ci | partial) << 5;
        QTest::newRow("several fields") << "id_esercizio;Tipo_intervento" << QVariantList{20, "3"} << 0 << 5;
        QTest::newRow("number as text, date") << "id_esercizio; data_fine" << QVariantList{"20", day(2)} << 0 << 2;
        QTest::newRow("not found") << "id_esercizio;Tipo_intervento" << QVariantList{30, "3"} << 0 << 0;
    }
    void locate()
    {
        QFETCH(QString, fields);
        QFETCH(QVariantList, values);
        QFETCH(int, options);
        QFETCH(int, found);
        auto t = openRegister();
        t->setRecNo(3);
        const bool ok = t->locate(fields, values, LocateOptions(options));
        QCOMPARE(ok, found != 0);
        QCOMPARE(t->asInteger(QStringLiteral("Id_misurazioni")), found ? found : 3);
    }

    void eventOrder()
    {
        QStringList log;
        auto t = std::make_unique<Table>();
        t->setDirectory(dir());
        t->setTableName(QStringLiteral("misure"));
        t->setAfterOpen([&](Table &) { log << "afterOpen"; });
        t->setAfterInsert([&](Table &tb) {
            log << QStringLiteral("afterInsert:%1").arg(tb.state() == TableState::Insert && tb.isNull(QStringLiteral("r_ditta")));
        });
        t->setBeforePost([&](Table &tb) { log << QStringLiteral("beforePost:%1").arg(tb.asInteger(QStringLiteral("id_esercizio"))); });
        t->setAfterPost([&](Table &tb) { log << QStringLiteral("afterPost:%1").arg(tb.state() == TableState::Browse); });
        // A rule that fills another field, whose own rule then runs at once.
        t->setFieldChangeHandler(QStringLiteral("Data_fine"), [&](Table &tb, const QString &field) {
            log << "change:" + field;
            tb.setValue(QStringLiteral("Tipo_intervento"), "1");
            log << "change:Data_fine done";
        });
        t->setFieldChangeHandler(QStringLiteral("TIPO_INTERVENTO"), [&](Table &tb, const QString &field) {
            log << "change:" + field;
            tb.setValue(QStringLiteral("id_esercizio"), 99);
        });
        t->open();
        t->append();
        t->setValue(QStringLiteral("Id_misurazioni"), 6);
        t->setValue(QStringLiteral("data_fine"), day(1));
        t->setValue(QStringLiteral("data_fine"), day(1)); // same value: the rule runs again
        t->post();
        t->edit();
        t->setValue(QStringLiteral("tipo_intervento"), "2");
        t->post();
        const QStringList expected = {"afterOpen", "afterInsert:1",
                                      "change:Data_fine", "change:Tipo_intervento", "change:Data_fine done",
                                      "change:Data_fine", "change:Tipo_intervento", "change:Data_fine done",
                                      "beforePost:99", "afterPost:1",
                                      "change:Tipo_intervento", "beforePost:99", "afterPost:1"};
        QCOMPARE(log, expected);
        QCOMPARE(t->asString(QStringLiteral("Tipo_intervento")), QStringLiteral("2"));
    }

    void signalsForViews()
    {
        auto t = openRegister();
        QSignalSpy current(t.get(), &Table::currentChanged);
        QSignalSpy state(t.get(), &Table::stateChanged);
        QSignalSpy field(t.get(), &Table::fieldChanged);
        t->next();
        QCOMPARE(current.count(), 1);
        t->edit();
        t->setValue(QStringLiteral("r_ditta"), "x");
        QCOMPARE(field.count(), 1);
        QCOMPARE(field.at(0).at(0).toString(), QStringLiteral("r_ditta"));
        t->post();
        QCOMPARE(state.count(), 2);
    }

    void secondCursorSeesWrites()
    {
        auto a = openRegister();
        auto b = openRegister();
        b->setRecNo(4);
        a->edit();
        a->setValue(QStringLiteral("r_ditta"), "nuova");
        a->post();
        insertRows(*a, {{6, 1, "1", day(1), "sesta", 1, true}});
        QCOMPARE(b->recordCount(), 6);
        QCOMPARE(b->asInteger(QStringLiteral("Id_misurazioni")), 4); // current record kept
        QVERIFY(b->locate(QStringLiteral("Id_misurazioni"), {1}));
        QCOMPARE(b->asString(QStringLiteral("r_ditta")), QStringLiteral("nuova"));
        a->setRecNo(2);
        a->remove();
        QCOMPARE(walk(*b), (QList<int>{1, 3, 4, 5, 6}));
        a->close();
        Table closedEmptier;
        closedEmptier.setDirectory(dir());
        closedEmptier.setTableName(QStringLiteral("misure"));
        b->close();
        closedEmptier.emptyTable();
        b->open();
        QVERIFY(b->isEmpty());
    }

    // Inside the scope another program sees none of its posts: they are one transaction, which the
    // scope's end commits, also when an exception ends it.
    void bulkScopeIsOneTransaction()
    {
        QCOMPARE(BulkScope::active(), false);
        auto t = openRegister();
        const QString path = t->filePath();
        const char *count = "SELECT count(*) FROM misure";
        try {
            BulkScope scope;
            QVERIFY(BulkScope::active());
            {
                BulkScope inner;
                insertRows(*t, {{6, 1, "1", day(1), "a", 1, true}, {7, 1, "1", day(1), "b", 1, true}});
                t->flush();
            }
            QCOMPARE(rawIds(path, count), QList<qint64>{5});
            t->append();
            t->setValue(QStringLiteral("Id_misurazioni"), 8);
            t->setValue(QStringLiteral("r_ditta"), "half");
            try {
                t->post(); // Id_esercizio is required
                QFAIL("a required null field was posted");
            } catch (const EngineError &e) {
                QCOMPARE(e.message(), QStringLiteral("Il campo Id_esercizio deve avere un valore"));
            }
            QCOMPARE(t->state(), TableState::Insert);
            t->cancel();
            QCOMPARE(t->recordCount(), 7);
            throw std::runtime_error("walk interrupted");
        } catch (const std::runtime_error &) {
        }
        QVERIFY(!BulkScope::active());
        QCOMPARE(rawIds(path, count), QList<qint64>{7});
        QCOMPARE(rawIds(path, "SELECT rowid FROM misure WHERE rowid > 5"), (QList<qint64>{6, 7}));
    }

    void values()
    {
        auto t = openRegister();
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {3}));
        QCOMPARE(t->value(QStringLiteral("importo")), QVariant());
        QCOMPARE(t->asNumber(QStringLiteral("importo")), 0.0);
        QCOMPARE(t->asInteger(QStringLiteral("importo")), 0);
        QCOMPARE(t->asDate(QStringLiteral("data_fine")), QDate(1899, 12, 30));
        QCOMPARE(t->asString(QStringLiteral("data_fine")), QString());
        QCOMPARE(t->asBoolean(QStringLiteral("pagato")), false);
        QVERIFY(t->isNull(QStringLiteral("pagato")));
        try {
            t->setValue(QStringLiteral("r_ditta"), "x");
            QFAIL("assignment outside editing was accepted");
        } catch (const EngineError &e) {
            QCOMPARE(e.message(), QStringLiteral("La tabella misure non è in modifica"));
        }
        QVERIFY_THROWS_EXCEPTION(EngineError, t->value(QStringLiteral("nessuno")));

        t->edit();
        t->setValue(QStringLiteral("r_ditta"), "abcdefghijKLMNOP");
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("abcdefghij"));
        t->setValue(QStringLiteral("data_fine"), "07/04/2010");
        t->setValue(QStringLiteral("importo"), "12,5");
        t->setValue(QStringLiteral("pagato"), true);
        t->post();
        t->edit();
        t->setValue(QStringLiteral("Tipo_intervento"), QVariant());
        t->post();
        auto fresh = openRegister();
        QVERIFY(fresh->locate(QStringLiteral("Id_misurazioni"), {3}));
        QCOMPARE(fresh->value(QStringLiteral("r_ditta")).toString(), QStringLiteral("abcdefghij"));
        QCOMPARE(fresh->asString(QStringLiteral("data_fine")), QStringLiteral("07/04/2010"));
        QCOMPARE(fresh->asNumber(QStringLiteral("importo")), 12.5);
        QVERIFY(fresh->asBoolean(QStringLiteral("pagato")));
        // Empty text is stored as text: a filter for the empty string finds it.
        fresh->setFilterText(QStringLiteral("[Tipo_intervento]=''"));
        fresh->setFiltered(true);
        QCOMPARE(walk(*fresh), QList<int>{3});
        QVERIFY(!fresh->value(QStringLiteral("Tipo_intervento")).isNull());
    }

    void autoIncrement()
    {
        TableSchema s;
        s.name = QStringLiteral("zone");
        s.fields = {{QStringLiteral("Id"), FieldType::AutoIncrement, 0, false},
                    {QStringLiteral("Descrizione"), FieldType::Text, 10, true}};
        s.primaryKey = QStringLiteral("Id");
        tablefiles::create(dir(), s);
        Table t;
        t.setDirectory(dir());
        t.setTableName(QStringLiteral("zone"));
        t.open();
        for (const char *name : {"nord", "sud", "est"}) {
            t.append();
            t.setValue(QStringLiteral("descrizione"), name);
            t.post();
        }
        QCOMPARE(t.asInteger(QStringLiteral("id")), 3);
        t.first();
        t.remove();
        insertRows(t, {{QVariant(), "ovest"}});
        QCOMPARE(t.asInteger(QStringLiteral("id")), 4); // never reused
        QCOMPARE(tablefiles::readSchema(dir(), QStringLiteral("zone")).fields[0].type, FieldType::AutoIncrement);
    }

    void exclusiveOpen()
    {
        auto shared = openRegister();
        Table lone;
        lone.setDirectory(dir());
        lone.setTableName(QStringLiteral("misure"));
        lone.setExclusive(true);
        QVERIFY_THROWS_EXCEPTION(EngineError, lone.open());
        shared->close();
        lone.open();
        QCOMPARE(lone.recordCount(), 5);
        Table other;
        other.setDirectory(dir());
        other.setTableName(QStringLiteral("misure"));
        QVERIFY_THROWS_EXCEPTION(EngineError, other.open());
        lone.close();
        other.open();
        QVERIFY(other.isOpen());
    }

    void openFailures()
    {
        Table t;
        t.setDirectory(dir());
        t.setTableName(QStringLiteral("assente"));
        try {
            t.open();
            QFAIL("a missing table was opened");
        } catch (const EngineError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Impossibile aprire la tabella assente")));
        }
        QVERIFY(!tablefiles::exists(dir(), QStringLiteral("assente"))); // opening never creates a file
        QVERIFY_THROWS_EXCEPTION(EngineError, tablefiles::create(dir(), registerSchema()));
        QVERIFY_THROWS_EXCEPTION(EngineError, tablefiles::create(dir() + QStringLiteral("/manca"), shopSchema()));
        auto r = openRegister();
        r->setIndexName(QStringLiteral("fineindex"));
        QVERIFY_THROWS_EXCEPTION(EngineError, r->setIndexName(QStringLiteral("nessuno")));
        QCOMPARE(r->indexName(), QStringLiteral("fineindex"));
    }

    void quarterlyQuery()
    {
        Query q;
        q.setDirectory(dir());
        q.setSql(QStringLiteral("SELECT * from misure") +
                 QStringLiteral("\n where (misure.tipo_intervento='3')and((misure.id_esercizio='10')or(misure.id_esercizio='20'))"));
        QCOMPARE(q.tableName(), QStringLiteral("misure"));
        QVERIFY(q.isFiltered());
        q.open();
        QCOMPARE(walk(q), (QList<int>{1, 3, 5}));
        q.close();
        q.setSql(QStringLiteral("select *   FROM misure"));
        q.open();
        QCOMPARE(q.recordCount(), 5);
        q.close();
        for (const QString &bad : {QStringLiteral("SELECT Id from misure"), QStringLiteral("DELETE from misure"),
                                   QStringLiteral("SELECT * from misure where"), QStringLiteral("SELECT * from misure where ([x]='1'")})
            QVERIFY_THROWS_EXCEPTION(EngineError, q.setSql(bad));
    }

    void indexesAndSchema()
    {
        tablefiles::addIndex(dir(), QStringLiteral("misure"), {QStringLiteral("FineIndex"), QStringLiteral("DATA_FINE"), true});
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 tablefiles::addIndex(dir(), QStringLiteral("misure"), {QStringLiteral("fineindex"), QStringLiteral("r_ditta"), true}));
        Table t;
        t.setDirectory(dir());
        t.setTableName(QStringLiteral("misure"));
        t.addIndex(QStringLiteral("multi"), QStringLiteral("id_esercizio;r_ditta"), false);
        t.open();
        QVERIFY_THROWS_EXCEPTION(EngineError, t.addIndex(QStringLiteral("altro"), QStringLiteral("r_ditta")));
        t.setIndexName(QStringLiteral("MULTI"));
        QCOMPARE(walk(t), (QList<int>{3, 1, 2, 5, 4}));

        const TableSchema expected = registerSchema();
        const TableSchema read = tablefiles::readSchema(dir(), QStringLiteral("misure"));
        QCOMPARE(read.name, expected.name);
        QCOMPARE(read.primaryKey, expected.primaryKey);
        QCOMPARE(read.fields.size(), expected.fields.size());
        for (qsizetype i = 0; i < read.fields.size(); ++i) {
            QCOMPARE(read.fields[i].name, expected.fields[i].name);
            QCOMPARE(read.fields[i].type, expected.fields[i].type);
            QCOMPARE(read.fields[i].size, expected.fields[i].size);
            QCOMPARE(read.fields[i].required, expected.fields[i].required);
        }
        QCOMPARE(read.indexes.size(), 3);
        QCOMPARE(read.indexes[0].name, QStringLiteral("fineindex"));
        QCOMPARE(read.indexes[2].fields, QStringLiteral("Id_esercizio;r_ditta"));
        QVERIFY(read.indexes[1].caseInsensitive);
        QVERIFY(!read.indexes[2].caseInsensitive);
    }

    void quotedValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("apostrophe") << "L'ARTE" << "'L''ARTE'";
        QTest::newRow("plain") << "ROSSI" << "'ROSSI'";
        QTest::newRow("two") << "''" << "''''''";
    }
    void quotedValues()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(quoted(value), expected);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
