#include "ui/tabledataset.h"

#include "data/engine/table.h"
#include "ui/tablemodel.h"

TableDataSet::TableDataSet(const engine::Table &table, Rows rows) : m_table(table), m_rows(rows) {}

int TableDataSet::rowCount() const
{
    if (!m_table.isOpen())
        return 0;
    return m_rows == Rows::All ? m_table.recordCount() : std::min(m_table.recordCount(), 1);
}

int TableDataSet::currentRow() const
{
    if (!m_table.isOpen() || m_table.isEmpty())
        return -1;
    return m_rows == Rows::All ? m_table.recNo() - 1 : 0;
}

int TableDataSet::fieldIndex(const QString &name) const
{
    if (!m_table.isOpen() || !m_table.hasField(name))
        return -1;
    const qsizetype known = m_fields.indexOf(name);
    if (known >= 0)
        return int(known);
    m_fields << name;
    return int(m_fields.size() - 1);
}

QString TableDataSet::text(int row, int field) const
{
    const int at = m_rows == Rows::All ? row : m_table.recNo() - 1;
    return TableModel::displayText(m_table.valueAt(at, m_fields[field]));
}
