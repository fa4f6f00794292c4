#pragma once
// DBGrid: a whole-row grid over a cursor (TableModel), read-only unless made editable. The selected row
// and the cursor's current record follow each other: choosing a row moves the cursor, a move of the
// cursor selects and shows its row. While the cursor is editing, the user cannot move it from the grid.
// A click on a column title is reported with the column's field. Tab and Shift+Tab move to the next and
// previous control, not between cells.
//
// Editable, a cell of the current row is edited in place (double click, F2 or typing) with the
// data-bound control of its field, and the row is posted when the cell is left; a value the field or
// the engine refuses is shown to the user, and that, like Esc, leaves the row as it was stored.

#include "ui/tablemodel.h"

#include <QPointer>
#include <QTableView>

class DBGrid : public QTableView {
    Q_OBJECT

public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSource(engine::DataSource *source);
    engine::DataSource *dataSource() const { return m_source; }
    void setColumns(const QList<GridColumn> &columns);
    void setRowColor(TableModel::RowColor rowColor);
    void setRowTextColor(TableModel::RowColor rowTextColor);
    void setEditable(bool editable);
    TableModel *tableModel() const { return m_model; }
    engine::Table *table() const { return m_model->table(); }

    // The grid's lines are drawn by the cells themselves (the view's own grid is off): a cell's place,
    // for its editor and its updates, and its size leave them out as the view's grid would.
    QRect visualRect(const QModelIndex &index) const override;
    int sizeHintForColumn(int column) const override { return QTableView::sizeHintForColumn(column) + 1; }
    int sizeHintForRow(int row) const override { return QTableView::sizeHintForRow(row) + 1; }

Q_SIGNALS:
    void titleClicked(const QString &field);

protected:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void followCursor();
    void moveCursor(const QModelIndex &current);
    void fitColumns();

    TableModel *m_model;
    QPointer<engine::DataSource> m_source;
    bool m_following = false;
};
