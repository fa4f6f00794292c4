#pragma once
// The quarterly file's lines of the benchmark, on the archive of appState().

#include "benchkit.h"

namespace bench {

// Appends the lines; workDir receives the files written.
void quarterlyLines(QList<Line> &lines, const QString &workDir);

} // namespace bench
