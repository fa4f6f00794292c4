#pragma once
// Meter models: what the program requires of a logotype.

#include <QString>

// Exactly two characters, each an upper-case letter A to Z or a digit 0 to 9.
bool isWellFormedLogotype(const QString &logotype);
