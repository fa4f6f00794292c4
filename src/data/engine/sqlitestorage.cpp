// The SQLite backend of the storage seam (storage.h): one connection per table file shared by every
// cursor on it, cached prepared statements, the bulk scopes' transactions and savepoints, and the
// change notices between the cursors of one file. One user-interface thread uses all of it.

#include "sqlitestorage.h"

#include "bulkscope.h"
#include "engineerror.h"
#include "sqlitedialect.h"
#include "storage.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

#include <map>
#include <vector>

namespace engine::detail {

namespace {

int &scopeDepth()
{
    static int depth = 0;
    return depth;
}

QString shownPath(const QString &path) { return QDir::toNativeSeparators(path); }

// What the user is told of a failed write.
QString writeFailure(sqlite3 *db, int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("il disco è pieno");
    case SQLITE_IOERR:
        return QStringLiteral("errore di scrittura sul disco (%1)").arg(sqlite::lastError(db));
    case SQLITE_READONLY:
        return QStringLiteral("il file è di sola lettura");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("il file è in uso da un altro programma");
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE)
            return QStringLiteral("chiave duplicata");
        return sqlite::lastError(db);
    default:
        return sqlite::lastError(db);
    }
}

// A connection of the QSQLITE driver, used through its sqlite3 handle.
class Connection {
public:
    Connection(const QString &path, bool exclusive, bool create)
    {
        static int counter = 0;
        m_name = QStringLiteral("sigillo_engine_%1").arg(++counter);
        if (!create && !QFileInfo(path).isFile())
            throw EngineError(QStringLiteral("il file %1 non esiste").arg(shownPath(path)));
        QString failure;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            db.setDatabaseName(path);
            const QVariant handle = db.open() ? db.driver()->handle() : QVariant();
            if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
                m_db = *static_cast<sqlite3 *const *>(handle.constData());
            else
                failure = db.lastError().text();
        }
        if (!m_db) {
            QSqlDatabase::removeDatabase(m_name);
            throw EngineError(QStringLiteral("il file %1 non si può aprire: %2").arg(shownPath(path), failure));
        }
        try {
            sqlite::exec(m_db, "PRAGMA journal_mode=DELETE");
            sqlite::exec(m_db, "PRAGMA synchronous=FULL");
            sqlite::exec(m_db, "PRAGMA cache_size=-16384");
            sqlite3_busy_timeout(m_db, 2000);
            if (exclusive)
                sqlite::exec(m_db, "PRAGMA locking_mode=EXCLUSIVE");
        } catch (const EngineError &) {
            const QString reason = sqlite::lastError(m_db);
            close();
            throw EngineError(QStringLiteral("il file %1 non è leggibile (%2)").arg(shownPath(path), reason));
        }
    }
    ~Connection() { close(); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }

private:
    void close()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }

    QString m_name;
    sqlite3 *m_db = nullptr;
};

// A statement kept for reuse, reset when the use ends however it ends.
class Use {
public:
    explicit Use(sqlite::Statement &statement) : m_statement(statement) {}
    ~Use() { m_statement.reset(); }
    sqlite::Statement *operator->() { return &m_statement; }

private:
    sqlite::Statement &m_statement;
};

class SqliteStorage : public Storage {
public:
    SqliteStorage(const QString &path, bool exclusive)
        : m_path(path), m_connection(path, exclusive, false)
    {
        m_exclusive = exclusive;
        m_schema = sqlite::readSchema(db());
    }

    QString path() const override { return m_path; }
    const TableSchema &schema() const override { return m_schema; }
    sqlite3 *db() const { return m_connection.handle(); }

    void loadAll(const std::function<void(RowId, const CellRef *)> &row) override
    {
        sqlite::Statement statement(db(), sqlite::selectAll(m_schema));
        std::vector<CellRef> cells(size_t(m_schema.fields.size()));
        int step;
        while ((step = statement.step()) == SQLITE_ROW) {
            const RowId rowid = sqlite3_column_int64(statement.get(), 0);
            readCells(statement.get(), 1, rowid, cells.data());
            row(rowid, cells.data());
        }
        if (step != SQLITE_DONE)
            throw EngineError(QStringLiteral("lettura non riuscita (%1)").arg(sqlite::lastError(db())));
    }

    bool loadRow(RowId rowid, const std::function<void(const CellRef *)> &row) override
    {
        Use use(prepared(m_selectRow, [this] { return sqlite::selectRow(m_schema); }));
        use->bindRowId(1, rowid);
        const int step = use->step();
        if (step == SQLITE_DONE)
            return false;
        if (step != SQLITE_ROW)
            throw EngineError(QStringLiteral("Impossibile leggere la tabella %1: %2").arg(m_schema.name, sqlite::lastError(db())));
        std::vector<CellRef> cells(size_t(m_schema.fields.size()));
        readCells(use->get(), 0, rowid, cells.data());
        row(cells.data());
        return true;
    }

    RowId insert(const CellRef *cells, StorageObserver *writer) override
    {
        beginWrite();
        if (m_level > 0)
            holdIndexesWhenWorthIt();
        RowId rowid = 0;
        {
            Use use(prepared(m_insert, [this] { return sqlite::insert(m_schema); }));
            for (int f = 0; f < m_schema.fields.size(); ++f)
                use->bind(f + 1, m_schema.fields[f].type, cells[f]);
            const int step = use->step();
            if (step != SQLITE_DONE)
                writeFailed(step, QStringLiteral("Impossibile registrare il record nella tabella %1"));
            rowid = sqlite3_last_insert_rowid(db());
        }
        if (m_level > 0)
            ++m_insertsInTransaction;
        tellOthers(writer, rowid);
        return rowid;
    }

    bool update(RowId rowid, const std::vector<int> &fields, const CellRef *cells, StorageObserver *writer) override
    {
        if (fields.empty())
            return loadRow(rowid, [](const CellRef *) {});
        beginWrite();
        QByteArray mask(m_schema.fields.size(), '0');
        for (int f : fields)
            mask[f] = '1';
        auto &statement = m_updates[mask];
        {
            Use use(prepared(statement, [&] { return sqlite::update(m_schema, fields); }));
            int position = 1;
            for (int f : fields)
                use->bind(position++, m_schema.fields[f].type, cells[f]);
            use->bindRowId(position, rowid);
            const int step = use->step();
            if (step != SQLITE_DONE)
                writeFailed(step, QStringLiteral("Impossibile registrare il record nella tabella %1"));
            if (sqlite3_changes(db()) == 0)
                return false;
        }
        tellOthers(writer, rowid);
        return true;
    }

    bool remove(RowId rowid, StorageObserver *writer) override
    {
        beginWrite();
        {
            Use use(prepared(m_delete, [this] { return sqlite::deleteRow(m_schema); }));
            use->bindRowId(1, rowid);
            const int step = use->step();
            if (step != SQLITE_DONE)
                writeFailed(step, QStringLiteral("Impossibile cancellare il record dalla tabella %1"));
            if (sqlite3_changes(db()) == 0)
                return false;
        }
        tellOthers(writer, rowid);
        return true;
    }

    void removeAll(StorageObserver *writer) override
    {
        beginWrite();
        {
            Use use(prepared(m_deleteAll, [this] { return sqlite::deleteAll(m_schema); }));
            const int step = use->step();
            if (step != SQLITE_DONE)
                writeFailed(step, QStringLiteral("Impossibile svuotare la tabella %1"));
        }
        for (StorageObserver *o : std::as_const(m_observers)) {
            if (o != writer)
                o->allRowsChanged();
        }
    }

    CellValue lastInStoredOrder(int field) override
    {
        Use use(prepared(m_last[field], [&] { return sqlite::lastInStoredOrder(m_schema, field); }));
        const int step = use->step();
        CellValue value;
        if (step == SQLITE_ROW) {
            bool valid = true;
            const CellRef cell = sqlite::columnCell(use->get(), 0, m_schema.fields[field].type, &valid);
            value.kind = cell.kind;
            value.i = cell.i;
            value.r = cell.r;
            value.bytes = QByteArray(cell.s.data(), qsizetype(cell.s.size()));
        } else if (step != SQLITE_DONE) {
            throw EngineError(QStringLiteral("Impossibile leggere la tabella %1: %2").arg(m_schema.name, sqlite::lastError(db())));
        }
        return value;
    }

    // --- Registry and scope bookkeeping.
    QList<StorageObserver *> m_observers;
    bool m_exclusive = false;
    int m_level = 0;       // bulk scope levels this file's transaction has joined
    bool m_broken = false; // the backend lost the scope's transaction after a failed write

    void rereadSchema()
    {
        m_schema = sqlite::readSchema(db());
        m_insert = {};
        m_selectRow = {};
        m_delete = {};
        m_deleteAll = {};
        m_updates.clear();
        m_last.clear();
    }

    void tellEveryone()
    {
        for (StorageObserver *o : std::as_const(m_observers))
            o->allRowsChanged();
    }

    // Commits or releases this file's part of the ending scope level; "" when it went well.
    QString endLevel(int level)
    {
        if (m_level != level)
            return {};
        m_level = level - 1;
        try {
            if (level > 1) {
                sqlite::exec(db(), "RELEASE sigillo_" + QByteArray::number(level));
                return {};
            }
            int result = createHeldIndexes();
            if (result == SQLITE_OK)
                result = sqlite3_exec(db(), "COMMIT", nullptr, nullptr, nullptr);
            transactionEnded();
            if (result == SQLITE_OK)
                return {};
            const QString reason = writeFailure(db(), result);
            if (!sqlite3_get_autocommit(db()))
                sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
            m_level = 0;
            tellEveryone();
            return QStringLiteral("Impossibile salvare le modifiche della tabella %1: %2").arg(m_schema.name, reason);
        } catch (const EngineError &e) {
            return e.message();
        }
    }

    // Before anything but the cursors looks at the file: its held indexes back, for good in this
    // transaction.
    void restoreIndexes()
    {
        if (m_level > 0)
            m_mayHoldIndexes = false;
        if (const int result = createHeldIndexes(); result != SQLITE_OK)
            writeFailed(result, QStringLiteral("Impossibile ricostruire gli indici della tabella %1"));
    }

private:
    // SQLite builds an index from all its keys at once several times faster than it keeps it up to
    // date row by row. A transaction that has added at least as many rows as the table held before
    // therefore drops the secondary indexes and creates them again right before its commit, inside
    // it: a crash still leaves the file as it was. The cursors hold their rows and orders in memory
    // and never read through these indexes; anything else that opens the file gets them back first.
    static constexpr int FirstHoldCheck = 2048;

    void holdIndexesWhenWorthIt()
    {
        if (m_insertsInTransaction < m_nextHoldCheck)
            return;
        m_nextHoldCheck *= 2;
        if (!m_mayHoldIndexes || !m_heldIndexes.empty())
            return;
        // Each statement ends before the drops: SQLite drops nothing while one is still reading.
        {
            sqlite::Statement count(db(), "SELECT count(*) FROM " + sqlite::quoteName(m_schema.name));
            if (count.step() != SQLITE_ROW || sqlite3_column_int64(count.get(), 0) > 2 * qint64(m_insertsInTransaction))
                return;
        }
        std::vector<std::pair<QByteArray, QByteArray>> indexes; // name, statement
        {
            sqlite::Statement list(db(), "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                                         "AND sql NOT LIKE 'CREATE UNIQUE%'");
            while (list.step() == SQLITE_ROW)
                indexes.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(list.get(), 0)),
                                     reinterpret_cast<const char *>(sqlite3_column_text(list.get(), 1)));
        }
        for (const auto &[name, statement] : indexes) {
            const int result = sqlite3_exec(db(), "DROP INDEX " + sqlite::quoteName(QString::fromUtf8(name)), nullptr, nullptr, nullptr);
            if (result != SQLITE_OK) {
                // The rest stay: only a transaction lost with the drop fails the write.
                if (sqlite3_get_autocommit(db()))
                    writeFailed(result, QStringLiteral("Impossibile registrare il record nella tabella %1"));
                m_mayHoldIndexes = false;
                return;
            }
            m_heldIndexes.push_back(statement);
        }
    }

    // In the order they had; SQLITE_OK, or the code of the creation that failed.
    int createHeldIndexes()
    {
        while (!m_heldIndexes.empty()) {
            if (const int result = sqlite3_exec(db(), m_heldIndexes.front().constData(), nullptr, nullptr, nullptr); result != SQLITE_OK)
                return result;
            m_heldIndexes.erase(m_heldIndexes.begin());
        }
        return SQLITE_OK;
    }

    // A rollback gives the dropped indexes back by itself.
    void transactionEnded()
    {
        m_heldIndexes.clear();
        m_insertsInTransaction = 0;
        m_nextHoldCheck = FirstHoldCheck;
        m_mayHoldIndexes = true;
    }

    void readCells(sqlite3_stmt *statement, int firstColumn, RowId rowid, CellRef *cells) const
    {
        for (int f = 0; f < m_schema.fields.size(); ++f) {
            bool valid = true;
            cells[f] = sqlite::columnCell(statement, firstColumn + f, m_schema.fields[f].type, &valid);
            if (!valid) {
                throw EngineError(QStringLiteral("il record %1 ha nel campo %2 il valore %3, che il campo non può contenere "
                                                 "(scritto da un altro programma?)")
                                      .arg(rowid)
                                      .arg(m_schema.fields[f].name,
                                           QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, firstColumn + f)))));
            }
        }
    }

    sqlite::Statement &prepared(sqlite::Statement &statement, const std::function<QByteArray()> &sql)
    {
        if (!statement)
            statement = sqlite::Statement(db(), sql());
        return statement;
    }

    void beginWrite()
    {
        const int depth = scopeDepth();
        if (m_broken)
            throw EngineError(QStringLiteral("Le modifiche in corso sulla tabella %1 sono state annullate da un errore "
                                             "precedente: nessun altro record viene registrato fino alla fine dell'operazione")
                                  .arg(m_schema.name));
        if (depth == 0)
            return;
        if (m_level > 0 && sqlite3_get_autocommit(db())) {
            abandonTransaction();
            beginWrite(); // refuses
        }
        if (m_level == 0) {
            sqlite::exec(db(), "BEGIN IMMEDIATE");
            m_level = 1;
        }
        while (m_level < depth) {
            ++m_level;
            sqlite::exec(db(), "SAVEPOINT sigillo_" + QByteArray::number(m_level));
        }
    }

    [[noreturn]] void writeFailed(int code, const QString &what)
    {
        const QString reason = writeFailure(db(), code);
        // A refused value (a duplicate key) undoes its statement alone. Anything else (a full disk, an
        // I/O error) may leave SQLite without the transaction, or roll it back at the next statement,
        // which would then run on its own: the scope's transaction is given up here, every cursor
        // re-reads the file, and the file takes no more writes until the scope ends.
        const int kind = code & 0xff;
        const bool statementOnly = kind == SQLITE_CONSTRAINT || kind == SQLITE_MISMATCH || kind == SQLITE_RANGE || kind == SQLITE_TOOBIG;
        if (m_level > 0 && !statementOnly)
            abandonTransaction();
        throw EngineError(what.arg(m_schema.name) + QStringLiteral(": ") + reason);
    }

    void abandonTransaction()
    {
        if (!sqlite3_get_autocommit(db()))
            sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
        transactionEnded();
        m_level = 0;
        m_broken = true;
        tellEveryone();
    }

    void tellOthers(StorageObserver *writer, RowId rowid)
    {
        for (StorageObserver *o : std::as_const(m_observers)) {
            if (o != writer)
                o->rowChanged(rowid);
        }
    }

    QString m_path;
    Connection m_connection;
    TableSchema m_schema;
    sqlite::Statement m_insert, m_selectRow, m_delete, m_deleteAll;
    std::map<QByteArray, sqlite::Statement> m_updates; // by the mask of the fields written
    std::map<int, sqlite::Statement> m_last;
    std::vector<QByteArray> m_heldIndexes; // the statements that create the dropped indexes again
    int m_insertsInTransaction = 0;
    int m_nextHoldCheck = FirstHoldCheck;
    bool m_mayHoldIndexes = true;
};

QHash<QString, std::shared_ptr<SqliteStorage>> &registry()
{
    static QHash<QString, std::shared_ptr<SqliteStorage>> files;
    return files;
}

QString key(const QString &path) { return QFileInfo(path).absoluteFilePath(); }

} // namespace

std::shared_ptr<Storage> openStorage(const QString &path, bool exclusive, StorageObserver *observer)
{
    auto &files = registry();
    const QString k = key(path);
    auto it = files.find(k);
    if (it != files.end()) {
        SqliteStorage &storage = **it;
        if (!storage.m_observers.isEmpty() && (storage.m_exclusive || exclusive))
            throw EngineError(QStringLiteral("è in uso in modo esclusivo"));
        storage.m_observers.append(observer);
        return *it;
    }
    auto storage = std::make_shared<SqliteStorage>(k, exclusive);
    storage->m_observers.append(observer);
    files.insert(k, storage);
    return storage;
}

void closeStorage(std::shared_ptr<Storage> &storage, StorageObserver *observer)
{
    if (!storage)
        return;
    auto &files = registry();
    const auto it = files.find(key(storage->path()));
    storage.reset();
    if (it == files.end())
        return;
    SqliteStorage &file = **it;
    file.m_observers.removeAll(observer);
    // A file in a scope's transaction stays open until the scope commits it.
    if (file.m_observers.isEmpty() && file.m_level == 0)
        files.erase(it);
}

bool pendingInScope(const QString &path)
{
    const auto it = registry().constFind(key(path));
    return it != registry().cend() && (*it)->m_level > 0;
}

namespace sqlite {

void withDatabase(const QString &path, const std::function<void(sqlite3 *db)> &work, bool create)
{
    const auto it = registry().constFind(key(path));
    if (it != registry().cend()) {
        (*it)->restoreIndexes();
        work((*it)->db());
        (*it)->rereadSchema();
        return;
    }
    Connection connection(key(path), false, create);
    work(connection.handle());
}

QString endScopeLevel(int level)
{
    QString failure;
    auto &files = registry();
    for (const auto &file : std::as_const(files)) {
        const QString message = file->endLevel(level);
        if (failure.isEmpty())
            failure = message;
    }
    if (level == 1) {
        QList<StorageObserver *> observers;
        for (auto it = files.begin(); it != files.end();) {
            (*it)->m_broken = false;
            observers << (*it)->m_observers;
            if ((*it)->m_observers.isEmpty())
                it = files.erase(it);
            else
                ++it;
        }
        // A handler may close other cursors: each is told only while it is still registered.
        const auto registered = [&files](StorageObserver *o) {
            return std::any_of(files.cbegin(), files.cend(), [o](const auto &file) { return file->m_observers.contains(o); });
        };
        for (StorageObserver *o : std::as_const(observers)) {
            if (registered(o))
                o->scopeEnded();
        }
    }
    return failure;
}

} // namespace sqlite

} // namespace engine::detail

namespace engine {

BulkScope::BulkScope() : m_exceptionsInFlight(std::uncaught_exceptions()) { ++detail::scopeDepth(); }

BulkScope::~BulkScope() noexcept(false)
{
    const QString failure = detail::sqlite::endScopeLevel(detail::scopeDepth());
    --detail::scopeDepth();
    if (!failure.isEmpty() && std::uncaught_exceptions() == m_exceptionsInFlight)
        throw EngineError(failure);
}

bool BulkScope::active() { return detail::scopeDepth() > 0; }

} // namespace engine
