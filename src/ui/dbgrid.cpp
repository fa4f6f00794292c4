#include "ui/dbgrid.h"

#include <QHeaderView>

using engine::Table;

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent), m_model(new TableModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid, as it leaves any other control, instead of walking its cells.
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < m_model->columns().size())
            Q_EMIT titleClicked(m_model->columns()[section].field);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DBGrid::moveCursor);
    // After a reset the selection is gone; the cursor's row is selected again once the view has the rows.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::followCursor);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DBGrid::followCursor);
}

void DBGrid::setDataSource(engine::DataSource *source)
{
    m_model->setDataSource(source);
}

void DBGrid::setColumns(const QList<GridColumn> &columns)
{
    m_model->setColumns(columns);
    fitColumns();
}

void DBGrid::setRowColor(TableModel::RowColor rowColor)
{
    m_model->setRowColor(std::move(rowColor));
}

void DBGrid::fitColumns()
{
    const QList<GridColumn> &columns = m_model->columns();
    for (int section = 0; section < columns.size(); ++section) {
        if (columns[section].width > 0)
            setColumnWidth(section, columns[section].width);
        else
            resizeColumnToContents(section);
    }
}

void DBGrid::followCursor()
{
    Table *cursor = table();
    if (m_following || !cursor || !cursor->isOpen())
        return;
    const int row = cursor->recNo() - 1;
    if (row == currentIndex().row() && (row < 0 || selectionModel()->isRowSelected(row, {})))
        return;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, std::max(currentIndex().column(), 0));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_following = false;
}

void DBGrid::moveCursor(const QModelIndex &current)
{
    Table *cursor = table();
    if (m_following || !cursor || !cursor->isOpen() || !current.isValid())
        return;
    if (cursor->isEditing()) {
        followCursor();
        return;
    }
    m_following = true;
    cursor->setRecNo(current.row() + 1);
    m_following = false;
}
