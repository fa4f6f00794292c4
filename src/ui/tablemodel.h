#pragma once
// TableModel: the visible rows of a cursor as a read-only Qt model, one column per chosen field. It
// follows the cursor: new rows (open, filter, order, refresh, master move, post, delete) reset the
// model; a reread or edited current row, or a field set by a rule, repaints that row. A colour
// callback may give a row its background.

#include "data/engine/datasource.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>

#include <functional>

struct GridColumn {
    QString field;
    QString title;
    int width = 0;            // pixels; 0 fits the title and the first rows
    bool highlighted = false; // title drawn green: clicking it changes the order
};

class TableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The background of a row (0-based among the visible rows); an invalid colour keeps the normal one.
    using RowColor = std::function<QColor(const engine::Table &table, int row)>;

    explicit TableModel(QObject *parent = nullptr);

    void setDataSource(engine::DataSource *source);
    engine::Table *table() const;
    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    void setRowColor(RowColor rowColor);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QString displayText(const QVariant &value);

private:
    void attach(engine::Table *table);
    void reset();
    void repaintCurrentRow();

    QPointer<engine::DataSource> m_source;
    QPointer<engine::Table> m_table;
    QList<GridColumn> m_columns;
    RowColor m_rowColor;
    QList<QMetaObject::Connection> m_connections;
};
