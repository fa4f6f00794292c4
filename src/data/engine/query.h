#pragma once
// Query: the one-table selection "SELECT * from <table> where <condition>", read like a table.
// The condition uses the filter syntax; field names may be bare or qualified ("misurazioni2.anno").
// Rows come in the table's stored order.

#include "table.h"

namespace engine {

class Query : public Table {
    Q_OBJECT

public:
    explicit Query(QObject *parent = nullptr);

    // Takes the statement (lines are joined as given); throws EngineError when it is not a
    // one-table SELECT *. Set while closed; the directory comes from setDirectory().
    void setSql(const QString &sql);
    QString sql() const;

private:
    QString m_sql;
};

} // namespace engine
