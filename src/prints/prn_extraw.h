#pragma once
// Tprn_extra: the landscape table the extra prints window prints of the register's rows as its filter
// leaves them: "Elenco Interventi: " and the filter line, the captions, and a row of framed cells per
// intervention.
//
// The filter line reaches the page through the variable `filtro`, never as part of a box's text: a
// filter is made of bracketed field names, which the report would take for names to look up.

#include "report/template.h"

class QWidget;

namespace engine {
class Table;
}

namespace Tprn_extra {

inline const QString DataSet = QStringLiteral("dm.Tabmisurazioni");

report::Template layout();

// The preview of the table over the visible rows of `interventions`, in their order, until the user
// closes it.
void preview(const engine::Table &interventions, const QString &filterLine, QWidget *parent);

} // namespace Tprn_extra
