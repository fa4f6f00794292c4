#pragma once
// The report engine's windows as the program shows them: file names through FileDialogs, the print
// dialog through PrintDialogs, and the windows through ModalWindows, so that a test answers all three
// as it answers every other dialog and window.

#include "report/listtemplate.h"

#include <QString>

class QWidget;

namespace engine {
class Table;
}

namespace report {
class Report;
class WindowServices;
}

namespace ui {

report::WindowServices &reportServices();

// Prepares the report and shows its preview until the user closes it.
void previewReport(const report::Report &report, QWidget *parent);

// A plain list over every visible row of the table in its current order, the table standing for the
// list's data set; the preview until the user closes it.
void previewList(const report::ListLayout &list, const engine::Table &table, QWidget *parent);

// The designer on the report's template; "Salva" writes filePath (or asks where, when it is empty),
// and what was saved becomes the report's template.
void designReport(report::Report &report, const QString &filePath, QWidget *parent);

} // namespace ui
