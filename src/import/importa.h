#pragma once
// The import of a quarterly-format file, without widgets, in two stages the user starts one after the
// other: the file's records are staged in the tables of importdb/ (riga1 headers, riga2 technicians,
// riga3 interventions), then the staged interventions are merged into the registries and into the
// working year's register, creating the shops, municipalities, meter models and technicians that are
// missing. The window shows the staging tables between the two and lets the user correct the staged
// interventions; sigillo-cli importa runs both at once.
//
// Invariants:
// - Staged texts keep their leading spaces and lose their trailing ones; dates stay the eight
//   characters of the file. Staging empties the tables first, and a killed staging leaves them as
//   they were.
// - The merge writes through cursors of its own, without the record rules: it sets every field the
//   quarterly file reads back, ANNO from the end date as the rules would.
// - What the merge looks up is what it stores when it creates a row (the upper-cased VAT number, name,
//   fiscal code, seal and serial number), so a row it created is found again by the next intervention
//   and by the next import.
// - An intervention of the working year with the same serial number and type is present already and
//   is skipped: merging the same staged rows again adds nothing, and a merge stopped part way goes on
//   from where it stopped.
// - The registries are written in one bulk scope, then the interventions in another: a killed merge
//   leaves no intervention without its shop, model or technician, and no record half written.
//
// Problems go to the user through Messages; the counts come back.

#include "ground/progress.h"
#include "ground/state.h"

#include <memory>

namespace engine {
class Table;
}

namespace importer {

enum class Layout {
    Initial, // "formato iniziale": headers marked "0MFISC26"
    Y2010,   // "formato del 2010", the layout the quarterly file is written in
};

struct Staged {
    int headers = 0;
    int technicians = 0;
    int interventions = 0;
};

struct Merged {
    bool done = false; // every staged intervention merged
    int shops = 0;
    int models = 0;
    int technicians = 0;
    int municipalities = 0;
    int added = 0;
    int skipped = 0; // already present in the working year
};

class QuarterlyImport {
public:
    // Keeps the state's base directory and working year.
    explicit QuarterlyImport(const AppState &state);
    ~QuarterlyImport();

    // The staging cursors, named as the window knows them; open between a staging and the end of
    // a merge that succeeded.
    engine::Table &riga1();
    engine::Table &riga2();
    engine::Table &riga3();

    // "Visualizza": stages the file's records in the given layout, the last header staged current.
    // False, after "Impossibile leggere il file" or "Impossibile aprire le tabelle di acquisizione",
    // when the file or the staging tables cannot be opened; a staging that fails part way (a full
    // disk) keeps what the tables held before it.
    bool stage(const QString &filePath, Layout layout, const Progress &progress = {});
    Staged staged() const;

    // "Importa": merges the staged interventions, in staging order, when the current header's year is
    // the working year; otherwise nothing is written. A staged date that is not a date stops the merge
    // there, with the staged row current: the rows before it stay merged. On success the staging
    // tables are closed.
    Merged merge(const Progress &progress = {});

    // Closes the staging tables.
    void close();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace importer
