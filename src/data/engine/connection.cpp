#include "connection.h"

#include "bulkscope.h"
#include "engineerror.h"

#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace engine::detail {

namespace {

struct FileEntry {
    QString connectionName;
    QList<FileObserver *> observers;
    bool exclusive = false;
    bool inTransaction = false;
};

QHash<QString, FileEntry> &registry()
{
    static QHash<QString, FileEntry> files;
    return files;
}

int &bulkDepth()
{
    static int depth = 0;
    return depth;
}

QString key(const QString &path) { return QFileInfo(path).absoluteFilePath(); }

QString newConnectionName()
{
    static int counter = 0;
    return QStringLiteral("sigillo_engine_%1").arg(++counter);
}

void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw EngineError(QStringLiteral("Errore sul file %1: %2").arg(db.databaseName(), q.lastError().text()));
}

QSqlDatabase openConnection(const QString &name, const QString &path, bool exclusive)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    if (!db.open()) {
        const QString reason = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: %2").arg(path, reason));
    }
    try {
        // DELETE journal: a closed table is exactly its one file, so copying it copies the table.
        exec(db, QStringLiteral("PRAGMA journal_mode=DELETE"));
        exec(db, QStringLiteral("PRAGMA synchronous=FULL"));
        if (exclusive)
            exec(db, QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throw;
    }
    return db;
}

void closeConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void commit(FileEntry &entry)
{
    if (!entry.inTransaction)
        return;
    entry.inTransaction = false;
    QSqlDatabase db = QSqlDatabase::database(entry.connectionName, false);
    if (!db.commit())
        throw EngineError(QStringLiteral("Impossibile salvare le modifiche su %1: %2")
                              .arg(db.databaseName(), db.lastError().text()));
}

} // namespace

QString quoteName(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString storedTableName(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"))
        || !q.next())
        throw EngineError(QStringLiteral("Il file %1 non contiene una tabella").arg(db.databaseName()));
    return q.value(0).toString();
}

QSqlDatabase acquire(const QString &path, const QString &tableName, bool exclusive, FileObserver *observer)
{
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: il file %2 non esiste").arg(tableName, path));
    const QString k = key(path);
    auto &files = registry();
    auto it = files.find(k);
    if (it != files.end() && !it->observers.isEmpty()) {
        if (it->exclusive || exclusive)
            throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: è in uso in modo esclusivo").arg(tableName));
        it->observers.append(observer);
        return QSqlDatabase::database(it->connectionName, false);
    }
    FileEntry entry;
    entry.connectionName = newConnectionName();
    entry.exclusive = exclusive;
    entry.observers.append(observer);
    QSqlDatabase db = openConnection(entry.connectionName, k, exclusive);
    files.insert(k, entry);
    return db;
}

void release(const QString &path, FileObserver *observer)
{
    auto &files = registry();
    auto it = files.find(key(path));
    if (it == files.end())
        return;
    it->observers.removeAll(observer);
    if (!it->observers.isEmpty())
        return;
    FileEntry entry = *it;
    files.erase(it);
    try {
        commit(entry);
    } catch (const EngineError &e) {
        qWarning("%s", qPrintable(e.message()));
    }
    closeConnection(entry.connectionName);
}

void beginWrite(const QString &path)
{
    if (!BulkScope::active())
        return;
    auto it = registry().find(key(path));
    if (it == registry().end() || it->inTransaction)
        return;
    QSqlDatabase db = QSqlDatabase::database(it->connectionName, false);
    if (!db.transaction())
        throw EngineError(QStringLiteral("Impossibile iniziare la transazione su %1: %2")
                              .arg(path, db.lastError().text()));
    it->inTransaction = true;
}

void wrote(const QString &path, FileObserver *writer)
{
    auto it = registry().find(key(path));
    if (it == registry().end())
        return;
    const QList<FileObserver *> observers = it->observers;
    for (FileObserver *o : observers) {
        if (o != writer)
            o->markStale();
    }
}

bool inTransaction(const QString &path)
{
    const auto it = registry().constFind(key(path));
    return it != registry().cend() && it->inTransaction;
}

void commitPending(const QString &path)
{
    auto it = registry().find(key(path));
    if (it != registry().end())
        commit(*it);
}

void withConnection(const QString &path, const std::function<void(QSqlDatabase &)> &work)
{
    auto it = registry().find(key(path));
    if (it != registry().end()) {
        QSqlDatabase db = QSqlDatabase::database(it->connectionName, false);
        work(db);
        return;
    }
    const QString name = newConnectionName();
    {
        QSqlDatabase db = openConnection(name, key(path), false);
        try {
            work(db);
        } catch (...) {
            db = QSqlDatabase();
            closeConnection(name);
            throw;
        }
    }
    closeConnection(name);
}

bool isInUse(const QString &path)
{
    auto it = registry().find(key(path));
    return it != registry().end() && !it->observers.isEmpty();
}

// Commits every connection a bulk scope began a transaction on. Never throws: it runs in the
// outermost scope's destructor, possibly while an exception is already leaving the scope.
void commitBulk()
{
    for (FileEntry &entry : registry()) {
        try {
            commit(entry);
        } catch (const EngineError &e) {
            qWarning("%s", qPrintable(e.message()));
        }
    }
}

} // namespace engine::detail

namespace engine {

BulkScope::BulkScope() { ++detail::bulkDepth(); }

BulkScope::~BulkScope()
{
    if (--detail::bulkDepth() == 0)
        detail::commitBulk();
}

bool BulkScope::active() { return detail::bulkDepth() > 0; }

} // namespace engine
