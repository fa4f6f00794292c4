#pragma once
// Table files as a whole: creating a table from its definition, testing for it, checking it, bringing it
// to a newer definition, copying it, adding an index to a closed table. A table is the single file
// <directory>/<name>.sqlite; nothing outside the engine needs to know that.

#include "schema.h"

namespace engine::tablefiles {

QString filePath(const QString &directory, const QString &tableName);
bool exists(const QString &directory, const QString &tableName);

// Creates the file with the schema's fields and indexes, stamped with the schema's version. The file is
// built under another name and renamed into place, so that a kill half way never leaves a file without
// its table. Throws when the file exists or cannot be written.
void create(const QString &directory, const TableSchema &schema);

enum class Condition {
    Missing, // no file
    Sound,   // the file holds the table, with every field of the definition or an earlier version of it
    Damaged, // not a table file, no table in it, or another table
};
// What the file holds, against its definition; `reason` says what is wrong with a damaged one.
Condition check(const QString &directory, const TableSchema &schema, QString *reason = nullptr);

// What SQLite's own integrity check finds wrong in the table file at `path` (opened as a cursor opens
// it, so that a transaction a killed process left in its journal is rolled back first); empty when the
// file is sound. A file that cannot be opened says so.
QString integrityProblem(const QString &path);

// Brings a file of an earlier version to the schema, keeping every row: missing fields are added
// (empty), text fields widened, missing indexes created; the file is then stamped with the schema's
// version. A file already at the version is left as it is. Throws EngineError, changing nothing, for
// a file of a later version or a change that would lose data (a field removed or narrowed, a type
// changed).
void upgrade(const QString &directory, const TableSchema &schema);

// Copies the table into targetDirectory (made when missing), whole or not at all: an older copy there
// stays as it was when the copy fails. Throws EngineError when the source is missing, is in the middle
// of a bulk scope's transaction, or cannot be copied.
void copy(const QString &sourceDirectory, const QString &tableName, const QString &targetDirectory);

// Adds a secondary index to a table that no cursor holds open. An index of that name on the same
// fields is left in place; one of that name on other fields is an error.
void addIndex(const QString &directory, const QString &tableName, const IndexDef &index);

// The definition stored in the file: fields, primary key and secondary indexes.
TableSchema readSchema(const QString &directory, const QString &tableName);

} // namespace engine::tablefiles
