#pragma once
// Table files as a whole: creating a table from its definition, testing for it, adding an index to a
// closed table. A table is the single file <directory>/<name>.sqlite; copying "<name>.*" copies it.

#include "schema.h"

namespace engine::tablefiles {

QString filePath(const QString &directory, const QString &tableName);
bool exists(const QString &directory, const QString &tableName);

// Copies the table into targetDirectory (made when missing), whole or not at all: an older copy there
// stays as it was when the copy fails. Throws EngineError when the source is missing, is in the middle
// of a bulk scope's transaction, or cannot be copied.
void copy(const QString &sourceDirectory, const QString &tableName, const QString &targetDirectory);

// Creates the file with the schema's fields and indexes. Throws when the file exists or cannot be written.
void create(const QString &directory, const TableSchema &schema);

// Adds a secondary index to a table that no cursor holds open. An index of that name on the same
// fields is left in place; one of that name on other fields is an error.
void addIndex(const QString &directory, const QString &tableName, const IndexDef &index);

// The definition stored in the file: fields, primary key and secondary indexes.
TableSchema readSchema(const QString &directory, const QString &tableName);

} // namespace engine::tablefiles
