#include "data/utility.h"

#include "data/engine/table.h"

namespace {

// A second cursor on the same file, in stored order, closed when it goes out of scope.
class SecondCursor {
public:
    explicit SecondCursor(const engine::Table &table)
    {
        m_cursor.setDirectory(table.directory());
        m_cursor.setTableName(table.tableName());
        m_cursor.open();
    }
    engine::Table *operator->() { return &m_cursor; }

private:
    engine::Table m_cursor;
};

} // namespace

int ProssimoId(const engine::Table &table, const QString &idField)
{
    SecondCursor cursor(table);
    if (cursor->isEmpty())
        return 1;
    cursor->last();
    if (cursor->isNull(idField))
        return 1;
    const int lastId = cursor->asInteger(idField);
    return lastId > -1 ? lastId + 1 : 1;
}

void SvuotaTabella(const engine::Table &table)
{
    SecondCursor cursor(table);
    cursor->emptyTable();
}
