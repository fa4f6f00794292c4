#pragma once
// TableModel: the visible rows of a cursor as a read-only Qt model, one column per chosen field. It
// follows the cursor's signals: a row posted or deleted is inserted or removed as such, a row edited
// where it stands is repainted, replaced rows (open, filter, order, refresh, master move, another
// cursor's writes) reset the model; the current row is repainted when it moves or a rule sets a
// field. The row count is the one the signals gave, so the model never changes under a view between
// them. Colour callbacks may give a row its background and its text colour; they are asked once per
// row as a view draws it cell by cell, and again after any change to the row. A grid that edits in
// place (DBGrid) asks for editable cells; the model itself never writes.

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
    QColor titleColor = {};   // a highlighted title in this colour instead, on the normal background
    std::function<QString(const QString &text)> shownAs = {}; // what a cell shows instead of its text
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
    // An invalid text colour keeps the one that reads on the row's background.
    void setRowTextColor(RowColor rowTextColor);
    void setEditable(bool editable);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    static QString displayText(const QVariant &value);

private:
    void attach(engine::Table *table);
    void reset();
    void repaintRow(int row);
    void repaintCurrentRow();
    void repaintColors();
    struct RowColors {
        int row = -1;
        QColor background;
        QColor text;
    };
    const RowColors &colorsOf(int row) const;

    QPointer<engine::DataSource> m_source;
    QPointer<engine::Table> m_table;
    QList<GridColumn> m_columns;
    RowColor m_rowColor;
    RowColor m_rowTextColor;
    mutable RowColors m_colors; // of the row drawn last
    QList<QMetaObject::Connection> m_connections;
    int m_rows = 0;
    bool m_editable = false;
};
