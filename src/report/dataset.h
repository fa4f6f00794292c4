#pragma once
// DataSet: what the engine reads of a program's data. A master data band prints once per row, in the
// set's order; a field named outside the band that walks its set reads the set's current row. The
// engine only reads: a set that stands for a cursor never moves it.

#include <QString>

namespace report {

class DataSet {
public:
    virtual ~DataSet() = default;
    virtual int rowCount() const = 0;
    virtual int currentRow() const = 0;                       // 0-based; -1 when there is none
    virtual int fieldIndex(const QString &name) const = 0;    // -1 when the set has no such field
    virtual QString text(int row, int field) const = 0;       // the field's value as printed
};

} // namespace report
