#pragma once
// TableDataSet: a cursor as a data set of the report engine. It prints the cursor's visible rows in its
// current order, or its current row only, and reads them by position: the cursor never moves, so it is
// on its row after the print as before. Values print as the grids show them (dates as dd/MM/yyyy).

#include "report/dataset.h"

#include <QStringList>

namespace engine {
class Table;
}

class TableDataSet : public report::DataSet {
public:
    enum class Rows { All, Current };

    explicit TableDataSet(const engine::Table &table, Rows rows = Rows::All);

    int rowCount() const override;
    int currentRow() const override;
    int fieldIndex(const QString &name) const override;
    QString text(int row, int field) const override;

private:
    const engine::Table &m_table;
    Rows m_rows;
    mutable QStringList m_fields; // the names asked for, kept so that the cursor's name cache finds them
};
