#pragma once
// The spreadsheet export's line of the benchmark, on the archive of appState().

#include "benchkit.h"

namespace bench {

// Appends the line; workDir receives the workbooks written.
void printLines(QList<Line> &lines, const QString &workDir);

} // namespace bench
