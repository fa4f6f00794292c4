#pragma once
// A long walk over the tables started from a window: the operation's progress moves a bar, and the
// window tells the user "ESEGUITO" when the walk ends or "Impossibile eseguire" when it fails.

#include "ground/progress.h"

#include <functional>

class QProgressBar;

namespace ui {

// The progress of a walk shown on the bar: its range becomes the walk's length.
Progress progressOn(QProgressBar *bar);

// Runs the walk with its progress on the bar. True, after "ESEGUITO", when it ended; false, after
// "Impossibile eseguire" and with the bar back at its start, when it threw.
bool runWalk(QProgressBar *bar, const std::function<void(const Progress &)> &walk);

} // namespace ui
