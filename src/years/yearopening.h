#pragma once
// Opening a working year, the work behind the year selection's "Avanti": the data are closed, the
// year folder is created from vuoto/ (and dati/ from vuoto_dati/) when missing, the files a year or
// dati/ lacks are copied from the templates, the year is checked, and the data reopen for it.
//
// A year folder made by an older layout lacks misurazioni2 (its records are converted at the next
// opening: ConversioneDaFare) or fix1.txt (empty company names are filled in: CorrezioneDaFare); a
// folder just created from the template holds both, so neither step is armed for it.

#include <QString>

#include <functional>

namespace years {

enum class YearOpening {
    Opened,          // the data are open for the year, AnnoLavoro set
    CreationRefused, // the year does not exist and was not created; the data stay closed
    CheckFailed,     // the year cannot be opened; the data stay closed
};

// "Anno: " + year goes to `showYear` just before the data reopen.
YearOpening ApriAnno(const QString &year, const std::function<void(const QString &)> &showYear = {});

// The steps of ApriAnno, each usable alone.
// Creates the year folder, and dati/ when missing, from the templates; false when a copy failed.
bool CreaAnno(const QString &year);
// Copies the year and base files that are missing and arms the one-time steps they call for; a table
// is copied whole by the engine, and a template table that is missing is a failed copy.
void CompletaAnno(const QString &year);
// Opens the older-layout register and the extra data of the year (filling empty ANNO values);
// false, with the two warnings shown, when they cannot be opened.
bool ControllaAnno(const QString &year);

} // namespace years
