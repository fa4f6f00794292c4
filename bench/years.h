#pragma once
// The lines of the walks that write a year: the carry-forward into a new year, the import of a
// quarterly file and the additional-information import, on the archive of appState().

#include "benchkit.h"

namespace bench {

// Appends the lines; workDir receives the new year's copies, the file imported and a fresh archive.
void yearLines(QList<Line> &lines, const QString &workDir);

} // namespace bench
