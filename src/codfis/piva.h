#pragma once
// The check of a partita IVA (Italian VAT number). Pure: it answers, it shows nothing.

#include <QString>

// True when characters 1-10 are digits and the last character of text is their check digit.
// Trimmed text shorter than 11 characters is never valid; nothing else is trimmed.
bool PivaValida(const QString &text);
