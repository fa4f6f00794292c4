// The engine where it used to go wrong: each case shows what a wrong engine does (the row that took
// an edit, what another program sees inside a bulk scope, the cursor's rows against the file's after a
// failed write) and checks that it no longer happens.

#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/engine/query.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"
#include "enginefixture.h"
#include "filesizelimit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

std::unique_ptr<Table> openTable(const QString &dir, const QString &name, const QString &index = {})
{
    auto t = std::make_unique<Table>();
    t->setDirectory(dir);
    t->setTableName(name);
    t->setIndexName(index);
    t->open();
    return t;
}

QString companyOf(const QString &dir, int id)
{
    auto t = openTable(dir, QStringLiteral("misure"));
    return t->locate(QStringLiteral("Id_misurazioni"), {id}) ? t->asString(QStringLiteral("r_ditta")) : QStringLiteral("<none>");
}

template<class Work>
QString engineError(Work work)
{
    try {
        work();
    } catch (const EngineError &e) {
        return e.message();
    }
    return {};
}

} // namespace

class TestEngineFaults : public QObject {
    Q_OBJECT

private:
    QTemporaryDir *m_dir = nullptr;
    QString dir() const { return m_dir->path(); }

    std::unique_ptr<Table> shopsWithDetail(std::unique_ptr<Table> &detail)
    {
        tablefiles::create(dir(), shopSchema());
        auto shops = openTable(dir(), QStringLiteral("esercizio"));
        insertRows(*shops, {{10, "Rossi srl"}, {20, "Bianchi"}, {40, "Vuoto"}});
        detail = std::make_unique<Table>();
        detail->setDirectory(dir());
        detail->setTableName(QStringLiteral("misure"));
        detail->setMasterLink(shops.get(), QStringLiteral("Id_esercizio"), QStringLiteral("Id_esercizio"));
        detail->open();
        shops->first();
        return shops;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = new QTemporaryDir;
        QVERIFY(m_dir->isValid());
        tablefiles::create(dir(), registerSchema());
        auto t = openTable(dir(), QStringLiteral("misure"));
        insertRows(*t, registerRows);
    }
    void cleanup()
    {
        delete m_dir;
        m_dir = nullptr;
    }

    void detailEditEndsBeforeTheMasterMoves()
    {
        std::unique_ptr<Table> detail;
        auto shops = shopsWithDetail(detail);
        QCOMPARE(walk(*detail), (QList<int>{1, 3}));
        detail->first();
        detail->edit();
        detail->setValue(QStringLiteral("r_ditta"), "posted");
        shops->next(); // the edit of row 1 is posted there, not on shop 20's first row
        QCOMPARE(companyOf(dir(), 1), QStringLiteral("posted"));
        QCOMPARE(companyOf(dir(), 2), QStringLiteral("Bianchi"));
        QCOMPARE(detail->state(), TableState::Browse);
        QCOMPARE(walk(*detail), (QList<int>{2, 5}));

        detail->edit(); // untouched: dropped when the master moves to a shop without rows
        shops->next();
        QCOMPARE(detail->state(), TableState::Browse);
        QVERIFY(detail->isEmpty());

        // A detail record that cannot be posted keeps the master where it is.
        shops->first();
        detail->append();
        detail->setValue(QStringLiteral("r_ditta"), "no id");
        QCOMPARE(engineError([&] { shops->next(); }), QStringLiteral("Il campo Id_misurazioni deve avere un valore"));
        QCOMPARE(shops->asInteger(QStringLiteral("Id_esercizio")), 10);
        QCOMPARE(detail->state(), TableState::Insert);
    }

    void postingARowAnotherCursorDeletedWritesNothing()
    {
        auto editor = openTable(dir(), QStringLiteral("misure"));
        auto deleter = openTable(dir(), QStringLiteral("misure"));
        QVERIFY(editor->locate(QStringLiteral("Id_misurazioni"), {3}));
        editor->edit();
        editor->setValue(QStringLiteral("r_ditta"), "lost edit");
        QVERIFY(deleter->locate(QStringLiteral("Id_misurazioni"), {3}));
        deleter->remove();
        QCOMPARE(engineError([&] { editor->post(); }), QStringLiteral("Il record è stato eliminato da un'altra finestra"));
        QCOMPARE(rawIds(editor->filePath(), "SELECT rowid FROM misure WHERE r_ditta = 'lost edit'"), QList<qint64>());
        QCOMPARE(rawIds(editor->filePath(), "SELECT rowid FROM misure ORDER BY rowid"), (QList<qint64>{1, 2, 4, 5}));
        editor->cancel();
        QCOMPARE(walk(*editor), (QList<int>{1, 2, 4, 5}));
    }

    void flushInsideABulkScopeWaitsForItsEnd()
    {
        auto t = openTable(dir(), QStringLiteral("misure"));
        {
            BulkScope scope;
            for (int id = 6; id <= 8; ++id) {
                insertRows(*t, {{id, 1, "1", day(1), "bulk", 1, true}});
                t->flush();
                QCOMPARE(rawIds(t->filePath(), "SELECT count(*) FROM misure"), QList<qint64>{5});
            }
        }
        QCOMPARE(rawIds(t->filePath(), "SELECT count(*) FROM misure"), QList<qint64>{8});
    }

    // A full disk in a bulk scope, met by a post (the scope outgrew the cache and SQLite wrote part of
    // it) or by the commit at the scope's end: the failure reaches the caller, and afterwards the file
    // holds what it held before the scope (no post ran outside its transaction) and the cursor shows
    // exactly that.
    void aFullDiskInAScopeIsAnErrorAndTheCursorShowsTheFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("failedBy");
        QTest::newRow("commit") << 50 << 20;
        QTest::newRow("post") << 20000 << 10;
    }
    void aFullDiskInAScopeIsAnErrorAndTheCursorShowsTheFile()
    {
        QFETCH(int, rows);
        QFETCH(int, failedBy);
        TableSchema wide;
        wide.name = QStringLiteral("note");
        wide.fields = {{QStringLiteral("Id"), FieldType::Integer, 0, true}, {QStringLiteral("Testo"), FieldType::Text, 4000, false}};
        wide.primaryKey = QStringLiteral("Id");
        tablefiles::create(dir(), wide);
        auto t = openTable(dir(), wide.name);
        insertRows(*t, {{1, "uno"}, {2, "due"}});
        t.reset();
        const QString path = tablefiles::filePath(dir(), wide.name);
        const int child = filesizelimit::run(QFileInfo(path).size() + 64 * 1024, [&] {
            auto t = openTable(dir(), wide.name);
            // As the program's walks do, a record that fails is dropped.
            const auto post = [&](const QVariantList &row) {
                try {
                    insertRows(*t, {row});
                    return QString();
                } catch (const EngineError &e) {
                    t->cancel();
                    return e.message();
                }
            };
            const QString text(4000, QLatin1Char('x'));
            QString failure;
            bool byPost = false;
            try {
                BulkScope scope;
                for (int id = 3; id < 3 + rows && failure.isEmpty(); ++id)
                    failure = post({id, text});
                byPost = !failure.isEmpty();
                // Refused, or kept in the transaction that the full disk then loses with the rest.
                if (byPost)
                    post({rows + 10, "dopo"});
            } catch (const EngineError &e) {
                if (failure.isEmpty())
                    failure = e.message();
            }
            if (failure.isEmpty())
                return 1;
            QList<qint64> shown;
            for (int row : walk(*t, QStringLiteral("Id")))
                shown << row;
            if (shown != rawIds(path, "SELECT rowid FROM note ORDER BY rowid"))
                return 3;
            if (!failure.contains(QStringLiteral("disco")))
                return 4;
            return byPost ? 10 : 20;
        });
        QCOMPARE(child, failedBy);
        QCOMPARE(rawIds(path, "SELECT rowid FROM note ORDER BY rowid"), (QList<qint64>{1, 2}));
    }

    // A scope that adds more rows than its table held writes them without keeping the indexes up to
    // date and builds the indexes again before its commit: afterwards the file has every index, whole,
    // also when something looked at the file in the middle (it gets them back then).
    void aLongScopeLeavesTheIndexesWhole_data()
    {
        QTest::addColumn<bool>("lookInTheMiddle");
        QTest::newRow("alone") << false;
        QTest::newRow("looked at in the middle") << true;
    }
    void aLongScopeLeavesTheIndexesWhole()
    {
        QFETCH(bool, lookInTheMiddle);
        const QString path = tablefiles::filePath(dir(), QStringLiteral("misure"));
        auto t = openTable(dir(), QStringLiteral("misure"), QStringLiteral("r_dittaindex"));
        {
            BulkScope scope;
            for (int id = 6; id < 10000; ++id) {
                insertRows(*t, {{id, id % 7, "3", day(1 + id % 28), id % 2 ? "rossi" : "Bianchi", id, true}});
                if (lookInTheMiddle && id == 5000)
                    QCOMPARE(tablefiles::readSchema(dir(), QStringLiteral("misure")).indexes.size(), 2);
            }
        }
        const QList<IndexDef> indexes = tablefiles::readSchema(dir(), QStringLiteral("misure")).indexes;
        QCOMPARE(indexes.size(), 2);
        QCOMPARE(indexes.first().name, QStringLiteral("fineindex"));
        QCOMPARE(tablefiles::integrityProblem(path), QString());
        QCOMPARE(rawIds(path, "SELECT count(*) FROM misure INDEXED BY r_dittaindex WHERE r_ditta = 'ROSSI' COLLATE NOCASE"),
                 QList<qint64>{4997 + 2});
        QCOMPARE(rawIds(path, "SELECT count(*) FROM misure INDEXED BY fineindex WHERE Data_fine = '2010-03-01'"), QList<qint64>{357});
        QCOMPARE(t->recordCount(), 9999);
    }

    // The same scope ended by a full disk at the commit (the rows fit in the cache), by one in the
    // middle (they do not) or by a kill in the middle: the file holds what it held before, with its
    // index.
    void aLongScopeThatFailsLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<int>("textSize");
        QTest::addColumn<bool>("killed");
        QTest::newRow("full disk at the commit") << 100 << false;
        QTest::newRow("full disk in the middle") << 4000 << false;
        QTest::newRow("killed in the middle") << 4000 << true;
    }
    void aLongScopeThatFailsLeavesTheFileAsItWas()
    {
        QFETCH(int, textSize);
        QFETCH(bool, killed);
        TableSchema wide;
        wide.name = QStringLiteral("note");
        wide.fields = {{QStringLiteral("Id"), FieldType::Integer, 0, true},
                       {QStringLiteral("Chiave"), FieldType::Text, 10, false},
                       {QStringLiteral("Testo"), FieldType::Text, 4000, false}};
        wide.primaryKey = QStringLiteral("Id");
        wide.indexes = {{QStringLiteral("chiaveindex"), QStringLiteral("Chiave"), true}};
        tablefiles::create(dir(), wide);
        const QString path = tablefiles::filePath(dir(), wide.name);
        insertRows(*openTable(dir(), wide.name), {{1, "uno", "uno"}, {2, "due", "due"}});
        const int rows = 6000;
        const int child = filesizelimit::run(killed ? RLIM_INFINITY : QFileInfo(path).size() + 64 * 1024, [&] {
            auto t = openTable(dir(), wide.name);
            const QString text(textSize, QLatin1Char('x'));
            try {
                BulkScope scope;
                for (int id = 3; id < 3 + rows; ++id) {
                    if (killed && id == 5000)
                        std::raise(SIGKILL);
                    insertRows(*t, {{id, QString::number(id % 100), text}});
                }
            } catch (const EngineError &e) {
                return e.message().contains(QStringLiteral("disco")) ? 10 : 2;
            }
            return 1;
        });
        QCOMPARE(child, killed ? -1 : 10);
        // The engine's connection rolls back what the kill left in the journal; a read-only one could not.
        QCOMPARE(tablefiles::integrityProblem(path), QString());
        QCOMPARE(rawIds(path, "SELECT rowid FROM note INDEXED BY chiaveindex ORDER BY Chiave"), (QList<qint64>{2, 1}));
    }

    void lastStoredIdWhateverTheCursorShows()
    {
        auto t = openTable(dir(), QStringLiteral("misure"), QStringLiteral("r_dittaindex"));
        t->setFilterText(QStringLiteral("[Tipo_intervento]='1'"));
        t->setFiltered(true);
        QCOMPARE(t->lastInStoredOrder(QStringLiteral("Id_misurazioni")), QVariant(5));
        {
            BulkScope scope;
            insertRows(*t, {{41, 1, "3", day(1), "x", 1, true}});
            QCOMPARE(t->lastInStoredOrder(QStringLiteral("id_misurazioni")), QVariant(41));
        }
        t->close();
        QCOMPARE(t->lastInStoredOrder(QStringLiteral("Id_misurazioni")), QVariant(41));
        t->emptyTable();
        QVERIFY(t->lastInStoredOrder(QStringLiteral("Id_misurazioni")).isNull());
    }

    void anEmptyIntegerKeyTakesTheIdTheFileGives()
    {
        TableSchema s;
        s.name = QStringLiteral("INTERMEDIARIO");
        s.fields = {{QStringLiteral("Id"), FieldType::Integer, 0, false}, {QStringLiteral("Nota"), FieldType::Text, 20, false}};
        s.primaryKey = QStringLiteral("Id");
        tablefiles::create(dir(), s);
        auto t = openTable(dir(), s.name);
        insertRows(*t, {{7, "sette"}, {QVariant(), "senza id"}});
        QCOMPARE(t->asInteger(QStringLiteral("Id")), 8);
        QCOMPARE(walk(*t, QStringLiteral("Id")), (QList<int>{7, 8}));
        QCOMPARE(rawIds(t->filePath(), "SELECT Id FROM INTERMEDIARIO WHERE Nota = 'senza id'"), QList<qint64>{8});
    }

    void textIsCutByWholeCharacters()
    {
        auto t = openTable(dir(), QStringLiteral("misure"));
        t->edit();
        const QString smile = QStringLiteral("\U0001F600");
        t->setValue(QStringLiteral("r_ditta"), QStringLiteral("ABCDEFGHI") + smile + QStringLiteral("Z"));
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("ABCDEFGHI") + smile);
        t->post();
        QCOMPARE(companyOf(dir(), 1), QStringLiteral("ABCDEFGHI") + smile);
    }

    void aFilterNotInForceDoesNotStopTheOpening()
    {
        Table t;
        t.setDirectory(dir());
        t.setTableName(QStringLiteral("misure"));
        t.setFilterText(QStringLiteral("[nessuno]='1'"));
        t.open();
        QCOMPARE(t.recordCount(), 5);
        QVERIFY(engineError([&] { t.setFiltered(true); }).startsWith(QStringLiteral("Filtro non valido")));
        QCOMPARE(t.recordCount(), 5);
    }

    void deepFiltersAreRefusedAndLongChainsWork_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("rows"); // -1: refused
        const QString test = QStringLiteral("[Tipo_intervento]='3'");
        QTest::newRow("20,000 parentheses") << QString(20000, QLatin1Char('(')) + test + QString(20000, QLatin1Char(')')) << -1;
        QTest::newRow("17,000 not") << QStringLiteral("not ").repeated(17000) + test << -1;
        QTest::newRow("100 parentheses") << QString(100, QLatin1Char('(')) + test + QString(100, QLatin1Char(')')) << 3;
        QStringList terms(17000, test);
        QTest::newRow("17,000 and") << terms.join(QStringLiteral(" and ")) << 3;
        terms.append(QStringLiteral("[Tipo_intervento]='2'"));
        QTest::newRow("17,000 or") << terms.join(QStringLiteral(" or ")) << 4;
    }
    void deepFiltersAreRefusedAndLongChainsWork()
    {
        QFETCH(QString, filter);
        QFETCH(int, rows);
        auto t = openTable(dir(), QStringLiteral("misure"));
        const QString refused = engineError([&] {
            t->setFilterText(filter);
            t->setFiltered(true);
        });
        QCOMPARE(refused.startsWith(QStringLiteral("Filtro non valido: troppi livelli")), rows < 0);
        QCOMPARE(t->recordCount(), rows < 0 ? 5 : rows);
    }

    void anIdBeyond32BitsIsRefusedWhenTheTableOpens()
    {
        QVERIFY(rawExec(tablefiles::filePath(dir(), QStringLiteral("misure")),
                        "INSERT INTO misure (Id_misurazioni, Id_esercizio) VALUES (4294967297, 1)"));
        const QString refused = engineError([&] { openTable(dir(), QStringLiteral("misure")); });
        QVERIFY2(refused.startsWith(QStringLiteral("Impossibile aprire la tabella misure: il record 4294967297 ha nel campo "
                                                   "Id_misurazioni il valore 4294967297")),
                 qPrintable(refused));
    }

    void aQueryReadsOnlyTablesOfItsDirectory_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("name") << "misure" << true;
        QTest::newRow("name.db") << "misure.db" << true;
        QTest::newRow("parent folder") << "../d/misure" << false;
        QTest::newRow("quoted path") << "\"/tmp/misure\"" << false;
        QTest::newRow("other folder") << "sub.misure" << false;
    }
    void aQueryReadsOnlyTablesOfItsDirectory()
    {
        QFETCH(QString, table);
        QFETCH(bool, accepted);
        Query q;
        q.setDirectory(dir());
        const QString refused = engineError([&] { q.setSql(QStringLiteral("SELECT * from ") + table + QStringLiteral(" where [Id_esercizio]=10")); });
        QCOMPARE(refused.isEmpty(), accepted);
        if (accepted) {
            q.open();
            QCOMPARE(walk(q), (QList<int>{1, 3}));
        }
    }

    void aLookupInAClosedTableIsAnError()
    {
        tablefiles::create(dir(), shopSchema());
        Table shops;
        shops.setDirectory(dir());
        shops.setTableName(QStringLiteral("esercizio"));
        QCOMPARE(engineError([&] { shops.lookup(QStringLiteral("Id_esercizio"), {10}, QStringLiteral("Ragione_sociale")); }),
                 QStringLiteral("La tabella esercizio non è aperta"));
        Table t;
        t.setDirectory(dir());
        t.setTableName(QStringLiteral("misure"));
        t.addLookupField({QStringLiteral("ragione_sociale"), FieldType::Text, 60, QStringLiteral("Id_esercizio"), &shops,
                          QStringLiteral("Id_esercizio"), QStringLiteral("Ragione_sociale")});
        t.open();
        QCOMPARE(engineError([&] { t.value(QStringLiteral("ragione_sociale")); }), QStringLiteral("La tabella esercizio non è aperta"));
    }

    // Killed while the file is written, a creation leaves no table file at all rather than one without
    // its table.
    void aKilledCreationLeavesNoHalfFile()
    {
        TableSchema s = shopSchema();
        const int child = filesizelimit::run(512, [&] {
            tablefiles::create(dir(), s);
            return 0;
        }, filesizelimit::AtLimit::ProcessKilled);
        QCOMPARE(child, -1);
        QCOMPARE(tablefiles::check(dir(), s), tablefiles::Condition::Missing);
        tablefiles::create(dir(), s);
        QCOMPARE(tablefiles::check(dir(), s), tablefiles::Condition::Sound);
        QCOMPARE(tablefiles::integrityProblem(tablefiles::filePath(dir(), s.name)), QString());
    }

    void checkTellsDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << "non contiene una tabella";
        QTest::newRow("not a table file") << QByteArray("dati/esercizio.sqlite").repeated(100) << "non è leggibile";
    }
    void checkTellsDamagedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QFile file(tablefiles::filePath(dir(), QStringLiteral("esercizio")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QString why;
        QCOMPARE(tablefiles::check(dir(), shopSchema(), &why), tablefiles::Condition::Damaged);
        QVERIFY2(why.contains(reason), qPrintable(why));
        // An empty file is an empty database to SQLite: only the garbage fails its integrity check.
        QCOMPARE(tablefiles::integrityProblem(file.fileName()).isEmpty(), content.isEmpty());
        QCOMPARE(tablefiles::check(dir(), registerSchema("esercizio"), &why), tablefiles::Condition::Damaged);
        QFile::remove(file.fileName());
        tablefiles::copy(dir(), QStringLiteral("misure"), dir() + QStringLiteral("/other"));
        QVERIFY(QFile::rename(dir() + QStringLiteral("/other/misure.sqlite"), file.fileName()));
        QCOMPARE(tablefiles::check(dir(), shopSchema(), &why), tablefiles::Condition::Damaged);
        QCOMPARE(why, QStringLiteral("contiene la tabella misure"));
    }

    // A later version of a table widens a field, adds one and an index: the file follows it at the
    // opening, with every row.
    void anUpgradeKeepsEveryRow()
    {
        TableSchema next = registerSchema();
        next.version = 2;
        next.fields[4].size = 30;
        next.fields << FieldDef{QStringLiteral("note3"), FieldType::Text, 200, false};
        next.indexes << IndexDef{QStringLiteral("note3index"), QStringLiteral("note3"), true};
        tablefiles::upgrade(dir(), next);
        const TableSchema read = tablefiles::readSchema(dir(), QStringLiteral("misure"));
        QCOMPARE(read.version, 2);
        QCOMPARE(read.fields[4].size, 30);
        QCOMPARE(read.fields.size(), next.fields.size());
        QCOMPARE(read.indexes.size(), 3);
        auto t = openTable(dir(), QStringLiteral("misure"), QStringLiteral("fineindex"));
        QCOMPARE(walk(*t), (QList<int>{3, 2, 5, 1, 4}));
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {3}));
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("L'ARTE"));
        QCOMPARE(t->asString(QStringLiteral("note3")), QString());
        t->edit();
        t->setValue(QStringLiteral("r_ditta"), QStringLiteral("NOW THIRTY CHARACTERS LONG...."));
        t->post();
        t->close();

        TableSchema narrower = next;
        narrower.version = 3;
        narrower.fields[4].size = 5;
        QVERIFY(engineError([&] { tablefiles::upgrade(dir(), narrower); }).endsWith(QStringLiteral("il campo r_ditta si accorcia")));
        QVERIFY(engineError([&] { tablefiles::upgrade(dir(), registerSchema()); }).endsWith(QStringLiteral("versione più recente del programma")));
        QCOMPARE(tablefiles::readSchema(dir(), QStringLiteral("misure")).version, 2);
        QCOMPARE(companyOf(dir(), 3), QStringLiteral("NOW THIRTY CHARACTERS LONG...."));
    }
};

QTEST_GUILESS_MAIN(TestEngineFaults)
#include "tst_enginefaults.moc"
