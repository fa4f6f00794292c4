#pragma once
// The layout of a plain list: its title once, a page header when it has one, a block of lines for each
// row of one data set with a thin rule under it, and "Pagina [Page#]" at the foot of every page.

#include "report/template.h"

#include <QStringList>

namespace report {

struct ListLayout {
    QString name;       // the report's title
    QString title;      // printed once, above everything
    QString pageHeader; // none: no page header
    QString dataSet;
    QStringList block;  // one text each line, bracketed names and all
};

Template listTemplate(const ListLayout &list);

// The foot of every page of a list: a thin rule and "Pagina [Page#]" centred under it.
Band pageNumberFooter(double width);

} // namespace report
