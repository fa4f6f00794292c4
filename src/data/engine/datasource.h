#pragma once
// DataSource: what data-bound controls are bound to. It names a table and can be pointed at another
// one, so that controls follow whichever cursor a window chooses.

#include "table.h"

#include <QObject>
#include <QPointer>

namespace engine {

class DataSource : public QObject {
    Q_OBJECT

public:
    explicit DataSource(Table *table = nullptr, QObject *parent = nullptr)
        : QObject(parent), m_table(table) {}

    Table *table() const { return m_table; }
    void setTable(Table *table)
    {
        if (m_table == table)
            return;
        m_table = table;
        Q_EMIT tableChanged(table);
    }

Q_SIGNALS:
    void tableChanged(engine::Table *table);

private:
    QPointer<Table> m_table;
};

} // namespace engine
