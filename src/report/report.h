#pragma once
// Report: a template with what fills it, the data sets by name, the named variables and the value
// callback, prepared into pages on demand.
//
// A bracketed name is, in this order: the page number, a variable, a field of a data set given to the
// report; anything else is asked of the value callback, and prints empty when the callback does not
// know it either. Variables stay set from one prepare to the next until changed. Data sets are not
// owned and must outlive the prepare (not the prepared report, which holds its texts).

#include "report/prepared.h"
#include "report/template.h"

#include <QHash>

#include <functional>
#include <optional>

namespace report {

class DataSet;

// Answers a name the report does not know; nothing when the callback does not know it either.
using ValueCallback = std::function<std::optional<QString>(const QString &name)>;

class Report {
public:
    Report() = default;
    explicit Report(Template layout) : m_layout(std::move(layout)) {}

    const Template &layout() const { return m_layout; }
    void setLayout(Template layout) { m_layout = std::move(layout); }

    void setDataSet(const QString &name, const DataSet *dataSet); // nullptr takes it away
    void setVariable(const QString &name, const QString &value);
    QString variable(const QString &name) const { return m_variables.value(name); }
    void setValueCallback(ValueCallback callback) { m_callback = std::move(callback); }

    PreparedReport prepare() const;

private:
    Template m_layout;
    QHash<QString, const DataSet *> m_dataSets;
    QHash<QString, QString> m_variables;
    ValueCallback m_callback;
};

} // namespace report
