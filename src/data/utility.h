#pragma once
// Shell functions every window uses on tables: the next id and emptying a table. Neither moves the
// shared cursor: the next id is read from the file with one indexed statement, whatever the cursor
// shows, and the emptying goes through a second cursor.

#include <QString>

namespace engine {
class Table;
}

// The id after the one of the table's last record in stored order; 1 for an empty table, and when the
// last id is negative or empty. A record being appended is not stored yet, so two calls before its
// post give the same id.
int ProssimoId(const engine::Table &table, const QString &idField);

// Deletes every record of the table.
void SvuotaTabella(const engine::Table &table);
