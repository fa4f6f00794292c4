#pragma once
// The table catalogue: every table of the program with its fields, primary key and indexes, and the
// directory it belongs to. Templates and staging tables are created from it when missing.

#include "data/engine/schema.h"

#include <QList>

struct AppState;

namespace catalogue {

// The definition of a table by file base name ("esercizio", "misurazioni2"); names ignore case.
// Throws engine::EngineError for a name the catalogue does not hold.
const engine::TableSchema &schema(const QString &tableName);

QList<engine::TableSchema> baseTables();    // dati/ and its template vuoto_dati/
QList<engine::TableSchema> yearTables();    // a year directory and its template vuoto/
QList<engine::TableSchema> stagingTables(); // importdb/

// Creates in `directory` (made when missing) every listed table whose file is missing, empty.
void createMissingTables(const QString &directory, const QList<engine::TableSchema> &tables);

// Makes vuoto/ (with fix1.txt), vuoto_dati/ and importdb/ complete under the state's DirBase, and
// gives an empty vuoto_dati/ the shipped municipalities and the fixed intervention types. Their tables
// are the program's own: a damaged one (a kill while it was made, another program's file) is built
// again from the catalogue, an earlier version brought up to date.
// Throws engine::EngineError when a directory or file cannot be written.
void ensureTemplates(const AppState &state);

} // namespace catalogue
