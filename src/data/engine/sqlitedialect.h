#pragma once
// The SQLite dialect: every SQL text of the program is built here, from a table's definition, and every
// value is bound, never pasted. Also how the engine's cells are held in an SQLite file: text as UTF-8
// text, dates as ISO "yyyy-MM-dd" text, booleans as 0/1, numbers as reals, integers as integers; the
// declared column types carry the field types and sizes, so that a file describes itself.

#include "rowstore.h"
#include "schema.h"

#include <QByteArray>

#include <sqlite3.h>

namespace engine::detail::sqlite {

QByteArray quoteName(const QString &name);

QByteArray createTable(const TableSchema &schema);
QByteArray createIndex(const TableSchema &schema, const IndexDef &index); // throws for an unknown field
QByteArray selectAll(const TableSchema &schema);           // rowid, then every field, in stored order
QByteArray selectRow(const TableSchema &schema);           // every field of one rowid
QByteArray insert(const TableSchema &schema);              // every field
QByteArray update(const TableSchema &schema, const std::vector<int> &fields); // the fields, then rowid
QByteArray deleteRow(const TableSchema &schema);
QByteArray deleteAll(const TableSchema &schema);
QByteArray lastInStoredOrder(const TableSchema &schema, int field);
QByteArray copyRows(const QString &from, const QString &to, const QStringList &fields);

// The definition stored in an open file: fields, primary key and secondary indexes. Throws EngineError
// when the file holds no table.
TableSchema readSchema(sqlite3 *db);
int schemaVersion(sqlite3 *db);
void setSchemaVersion(sqlite3 *db, int version);

// A prepared statement, finalized with its owner.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3 *db, const QByteArray &sql); // throws EngineError
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    ~Statement();

    sqlite3_stmt *get() const { return m_statement; }
    explicit operator bool() const { return m_statement != nullptr; }
    // Binds the cell at the 1-based position as the field's column holds it.
    void bind(int position, FieldType type, const CellRef &cell);
    void bindRowId(int position, RowId rowid);
    int step();   // SQLITE_ROW, SQLITE_DONE or an error code
    void reset(); // ready for the next binding, bindings cleared

private:
    sqlite3_stmt *m_statement = nullptr;
};

// A column of the current row in engine terms for the field's type. Sets *valid false when the value
// cannot be held by the field (an integer beyond 32 bits, text in a number field).
CellRef columnCell(sqlite3_stmt *statement, int column, FieldType type, bool *valid);

void exec(sqlite3 *db, const QByteArray &sql); // throws EngineError
QString lastError(sqlite3 *db);
QString fileName(sqlite3 *db); // the database file, as the user writes paths

} // namespace engine::detail::sqlite
