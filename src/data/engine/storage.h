#pragma once
// The storage seam: what the cursors ask of the file that holds their table. The engine's one backend
// is SQLite (sqlitestorage.cpp, with every SQL text in sqlitedialect.cpp); a backend for a server that
// several workstations share would be one more implementation of Storage and of the table-file
// functions, with nothing above the engine changing.
//
// Invariants:
// - One Storage per table file and process, shared by every cursor open on the file; a cursor opened
//   exclusively is the only one. The storage lives while a cursor holds it, or until the end of the
//   bulk scope whose transaction it is in.
// - Cells cross the seam in the engine's terms (rowstore.h), one per stored field in schema order.
// - A write names its writer; every other cursor on the file is told which rows changed, and applies
//   the change the next time it is used. When the file's content changed beyond single rows (emptied,
//   a bulk transaction rolled back) every cursor, the writer too, is told to reload.
// - Inside a bulk scope the first write joins the file to the scope's transaction; every failure
//   reaches the caller as an EngineError, and a file whose transaction the backend lost refuses further
//   writes until the scope ends, so that no post runs outside it.

#include "rowstore.h"
#include "schema.h"

#include <QString>

#include <functional>
#include <memory>

namespace engine::detail {

class StorageObserver {
public:
    virtual ~StorageObserver() = default;
    virtual void rowChanged(RowId rowid) = 0; // inserted, updated or deleted through another cursor
    virtual void allRowsChanged() = 0;        // re-read everything
    virtual void scopeEnded() {}              // the outermost bulk scope ended
};

class Storage {
public:
    virtual ~Storage() = default;

    virtual QString path() const = 0;
    virtual const TableSchema &schema() const = 0;

    // Every row in stored order. Throws EngineError when the file cannot be read or holds a value that
    // its field cannot hold (an integer beyond 32 bits written by another program).
    virtual void loadAll(const std::function<void(RowId rowid, const CellRef *cells)> &row) = 0;
    // One row; false when there is no such row.
    virtual bool loadRow(RowId rowid, const std::function<void(const CellRef *cells)> &row) = 0;

    // Writes. `writer` is the cursor writing, whose fellows are told. Every write is committed at once
    // outside a bulk scope, and joins the scope's transaction inside one.
    virtual RowId insert(const CellRef *cells, StorageObserver *writer) = 0;
    // Writes the given fields of the row; false, writing nothing, when the row no longer exists.
    virtual bool update(RowId rowid, const std::vector<int> &fields, const CellRef *cells, StorageObserver *writer) = 0;
    virtual bool remove(RowId rowid, StorageObserver *writer) = 0;
    virtual void removeAll(StorageObserver *writer) = 0;

    // The field of the last row in stored order, read with one indexed statement; Null when empty.
    virtual CellValue lastInStoredOrder(int field) = 0;
};

// The storage of the table file, registering the observer with it. Throws EngineError when the file is
// missing, holds no table, or the exclusive rule refuses.
std::shared_ptr<Storage> openStorage(const QString &path, bool exclusive, StorageObserver *observer);
// The observer leaves; the storage closes with the last one (or at the end of the bulk scope).
void closeStorage(std::shared_ptr<Storage> &storage, StorageObserver *observer);

// Whether the file's changes wait in a bulk scope's transaction.
bool pendingInScope(const QString &path);

} // namespace engine::detail
