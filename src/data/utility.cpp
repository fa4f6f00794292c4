#include "data/utility.h"

#include "data/engine/table.h"

int ProssimoId(const engine::Table &table, const QString &idField)
{
    const QVariant lastId = table.lastInStoredOrder(idField);
    if (lastId.isNull())
        return 1;
    return lastId.toInt() > -1 ? lastId.toInt() + 1 : 1;
}

void SvuotaTabella(const engine::Table &table)
{
    // A second cursor on the same file, which empties it without reading its rows; the shared cursor,
    // when open, sees the table empty.
    engine::Table cursor;
    cursor.setDirectory(table.directory());
    cursor.setTableName(table.tableName());
    cursor.emptyTable();
}
