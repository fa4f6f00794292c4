#pragma once
// The register window's lines of the benchmark, on the archive of appState().

#include "benchkit.h"

namespace bench {

// The register window on the year's interventions: its opening (time and memory), TROVA, FILTRA, and
// the drawing of one screen of the grid. Opens a data module of its own; needs a QApplication.
void registerLines(QList<Line> &lines);

} // namespace bench
