#pragma once
// The benchmark's lines for the program's windows, timed on the demo archive as the user meets them.

#include "benchkit.h"

namespace bench {

// The shops window on the archive's shops: its opening, and a keystroke of its incremental search.
// Opens a data module of its own on the state's working year; needs a QApplication.
void windowLines(QList<Line> &lines);

} // namespace bench
