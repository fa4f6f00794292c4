#pragma once
// DBGrid: a read-only, whole-row grid over a cursor (TableModel). The selected row and the cursor's
// current record follow each other: choosing a row moves the cursor, a move of the cursor selects and
// shows its row. While the cursor is editing, the user cannot move it from the grid. A click on a
// column title is reported with the column's field. Tab and Shift+Tab move to the next and previous
// control, not between cells.

#include "ui/tablemodel.h"

#include <QTableView>

class DBGrid : public QTableView {
    Q_OBJECT

public:
    explicit DBGrid(QWidget *parent = nullptr);

    void setDataSource(engine::DataSource *source);
    void setColumns(const QList<GridColumn> &columns);
    void setRowColor(TableModel::RowColor rowColor);
    TableModel *tableModel() const { return m_model; }
    engine::Table *table() const { return m_model->table(); }

Q_SIGNALS:
    void titleClicked(const QString &field);

private:
    void followCursor();
    void moveCursor(const QModelIndex &current);
    void fitColumns();

    TableModel *m_model;
    bool m_following = false;
};
