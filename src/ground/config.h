#pragma once
// The configuration file: where the data live (DirBase) and the per-year lists of valid
// authorisations with their switch. Only the main window reads and writes it; every other part of the
// program works on the run-time state (app/state.h).
//
// The file holds, in this order: [Directory] DirBase, [gestione anni] abilita, and for each year
// from FirstAuthorisationYear to LastAuthorisationYear a section of keys "1" to "10". Writing sets
// every one of these keys and leaves any other line of the file as it was, so writing right after
// reading completes a missing or partial file.

#include <QString>

struct AppState;

namespace config {

// The file beside the executable with its extension replaced by ".INI"; in `userDataDir` instead
// when the executable's folder cannot be written.
QString locationFor(const QString &executablePath, const QString &userDataDir);
// locationFor() of this program, with the per-user data folder of the platform.
QString defaultFilePath();

// The file the program uses: set once at start (by the --config option or to defaultFilePath()).
void setFilePath(const QString &filePath);
QString filePath();

// Reading never fails: a missing file or key gives its default. DirBase defaults to the file's own
// folder and always gets its final separator; "abilita" defaults to "NO"; list entries to "".
void readFile(const QString &filePath, AppState &state);
// False with the reason in `error` when the file cannot be written.
bool writeFile(const QString &filePath, const AppState &state, QString *error = nullptr);

// The same on filePath(); a write that fails is reported to the user and the program goes on.
void read(AppState &state);
bool write(const AppState &state);

// Only the exact capitals "SI" turn the per-year restriction of authorisations on.
bool gestioneAnniAttiva(const AppState &state);

} // namespace config
