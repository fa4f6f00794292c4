#include "ui/tablemodel.h"

#include <QDate>
#include <QFont>

using engine::Table;

TableModel::TableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TableModel::setDataSource(engine::DataSource *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source)
        connect(source, &engine::DataSource::tableChanged, this, &TableModel::attach);
    attach(source ? source->table() : nullptr);
}

Table *TableModel::table() const
{
    return m_table;
}

void TableModel::attach(Table *table)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_table = table;
    if (table) {
        m_connections << connect(table, &Table::rowsChanged, this, &TableModel::reset)
                      << connect(table, &Table::aboutToInsertRow, this, [this](int row) { beginInsertRows({}, row, row); })
                      << connect(table, &Table::rowInserted, this, [this] {
                             m_colors.row = -1;
                             ++m_rows;
                             endInsertRows();
                         })
                      << connect(table, &Table::aboutToRemoveRow, this, [this](int row) { beginRemoveRows({}, row, row); })
                      << connect(table, &Table::rowRemoved, this, [this] {
                             m_colors.row = -1;
                             --m_rows;
                             endRemoveRows();
                         })
                      << connect(table, &Table::rowUpdated, this, &TableModel::repaintRow)
                      << connect(table, &Table::currentChanged, this, &TableModel::repaintCurrentRow)
                      << connect(table, &Table::fieldChanged, this, &TableModel::repaintCurrentRow);
    }
    reset();
}

void TableModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TableModel::setRowColor(RowColor rowColor)
{
    m_rowColor = std::move(rowColor);
    repaintColors();
}

void TableModel::setRowTextColor(RowColor rowTextColor)
{
    m_rowTextColor = std::move(rowTextColor);
    repaintColors();
}

void TableModel::repaintColors()
{
    m_colors.row = -1;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
}

void TableModel::setEditable(bool editable)
{
    m_editable = editable;
}

void TableModel::reset()
{
    beginResetModel();
    m_colors.row = -1;
    m_rows = m_table && m_table->isOpen() ? m_table->recordCount() : 0;
    endResetModel();
}

void TableModel::repaintRow(int row)
{
    m_colors.row = -1;
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TableModel::repaintCurrentRow()
{
    if (m_table && m_table->isOpen() && !m_table->isEmpty())
        repaintRow(m_table->recNo() - 1);
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString TableModel::displayText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    default:
        return value.toString();
    }
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_table || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const GridColumn &column = m_columns[index.column()];
        const QString text = displayText(m_table->valueAt(index.row(), column.field));
        return column.shownAs ? column.shownAs(text) : text;
    }
    case Qt::BackgroundRole:
    case Qt::ForegroundRole: {
        if (!m_rowColor && !m_rowTextColor)
            return {};
        const RowColors &colors = colorsOf(index.row());
        const QColor &color = role == Qt::BackgroundRole ? colors.background : colors.text;
        return color.isValid() ? QVariant(color) : QVariant();
    }
    default:
        return {};
    }
}

const TableModel::RowColors &TableModel::colorsOf(int row) const
{
    if (m_colors.row == row)
        return m_colors;
    m_colors.row = row;
    m_colors.background = m_rowColor ? m_rowColor(*m_table, row) : QColor();
    m_colors.text = m_rowTextColor ? m_rowTextColor(*m_table, row) : QColor();
    // Text stays readable on a dark background.
    if (!m_colors.text.isValid() && m_colors.background.isValid())
        m_colors.text = m_colors.background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    return m_colors;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::ForegroundRole:
        if (!column.highlighted)
            return {};
        return column.titleColor.isValid() ? column.titleColor : QColor(0x00, 0x6e, 0x1e);
    case Qt::BackgroundRole:
        return column.highlighted && !column.titleColor.isValid() ? QColor(0xc8, 0xf0, 0xc8) : QVariant();
    case Qt::FontRole: {
        if (!column.highlighted)
            return {};
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    default:
        return {};
    }
}

Qt::ItemFlags TableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return m_editable && index.isValid() ? flags | Qt::ItemIsEditable : flags;
}
