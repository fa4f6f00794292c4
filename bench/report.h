#pragma once
// The report engine's lines of the benchmark, on the register of appState().

#include "benchkit.h"

namespace bench {

// Appends the lines; workDir receives the PDFs written.
void reportLines(QList<Line> &lines, const QString &workDir);

} // namespace bench
