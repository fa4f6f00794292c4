#pragma once
// The SQLite backend's connections, for the table-file functions that work on a whole file.
//
// One connection per open file (a named Qt SQL connection of the QSQLITE driver, whose sqlite3 handle
// every statement goes through), opened with journal_mode=DELETE so that a closed table is exactly its
// one file, and synchronous=FULL so that a commit is on disk when it returns.

#include <QString>

#include <sqlite3.h>

#include <functional>

namespace engine::detail::sqlite {

// Runs work on the file's shared connection, or on a connection of its own when no cursor holds the
// file (the file is created when `create` is set). After work, a shared connection re-reads the
// file's definition, so that the cursors opened later see an index just added.
void withDatabase(const QString &path, const std::function<void(sqlite3 *db)> &work, bool create = false);

// Ends the bulk scope level: releases its savepoints, or commits when it is the outermost. Returns the
// first failure's message, empty when every file ended well.
QString endScopeLevel(int level);

} // namespace engine::detail::sqlite
