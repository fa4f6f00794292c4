#pragma once
// The carry-forward into a year just created: the working year's register is seeded with one record
// per meter that the previous year verified or put into service, taken from its latest intervention,
// left without end date and outcome for the user to complete, as a periodic verification; a meter
// decommissioned in the previous year after that intervention is left out again.
//
// Invariants:
// - Records are written through the data module's register cursor, so its record rules run on every
//   one (the id, the address rules and their message for an unknown municipality, the year 1899 of a
//   record without end date).
// - A meter already in the working year (same serial number and model) is never carried: running the
//   carry-forward again adds nothing.
// - The walk is one bulk scope: a failure keeps what was posted before it, a killed process leaves the
//   register as it was, and no record is ever half written.

#include "ground/progress.h"

class Tdm;

namespace engine {
class Table;
}

namespace years {

// Opens the previous year's register (AnnoLavoro - 1) on the cursor, in end-date order. Throws
// engine::EngineError when it cannot be opened.
void openPreviousYear(engine::Table &previous);

struct Riporto {
    int carried = 0; // records appended
    int removed = 0; // records deleted because the meter was decommissioned later
};

// Carries the previous year (AnnoLavoro - 1) into the working year of the data module, which must be
// open. A shop that no longer exists is reported ("Incongruenza anagrafica ditta") and its record
// carried without company name and VAT number. Throws engine::EngineError when the previous year's
// register cannot be read or a record cannot be written.
Riporto RiportaVerifiche(Tdm &data, const Progress &progress = {});

} // namespace years
