#pragma once
// The process-wide registry of table files in use.
//
// Every open cursor registers with the file it reads. Cursors on one file share one SQLite connection
// (a named QSqlDatabase), created by the first and removed when the last one leaves. A cursor opened
// exclusively is the only one on its file. After a cursor writes, every other cursor on that file is
// told its rows are stale. While a bulk scope is active the first write to a connection begins a
// transaction that the outermost scope commits. One thread (the user-interface thread) uses all this.

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace engine::detail {

class FileObserver {
public:
    virtual ~FileObserver() = default;
    virtual void markStale() = 0;
};

// Registers the observer with the file and returns the shared connection. Throws EngineError when the
// file is missing, cannot be opened, or the exclusive rule refuses.
QSqlDatabase acquire(const QString &path, const QString &tableName, bool exclusive, FileObserver *observer);
void release(const QString &path, FileObserver *observer); // commits a pending bulk transaction first

// Call before each write: begins the bulk transaction on this connection when one is due.
void beginWrite(const QString &path);
// Call after each write: other cursors on the file go stale.
void wrote(const QString &path, FileObserver *writer);
// Whether a bulk transaction is pending on the file's connection.
bool inTransaction(const QString &path);
// Commits now a bulk transaction pending on this connection.
void commitPending(const QString &path);

// Runs work on the file's shared connection, or on a temporary one when no cursor holds the file.
void withConnection(const QString &path, const std::function<void(QSqlDatabase &)> &work);
bool isInUse(const QString &path);

QString quoteName(const QString &name);
// The one user table of a table file.
QString storedTableName(QSqlDatabase &db);

} // namespace engine::detail
