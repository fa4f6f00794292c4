#pragma once
// The additional-information import: the commercial data of the previous year's interventions (the
// number of resets, amount, VAT, paid and invoiced flags, contact person, telephone and mobile
// numbers, two notes, reminder date) copied onto the working year's intervention on the same cash
// register, so that the laboratory does not type them again each year.
//
// Invariants:
// - Source and destination are interventions of the current register layout: the previous year's
//   fields overwrite the destination's fields of the same names; nothing else changes.
// - The previous year is read in ascending end date: a register met twice keeps the later data.
// - The destination is the first intervention of the data module's register cursor, as it is
//   filtered, with the same serial number and model; its record rules run on each post.
// - The walk is one bulk scope: a failure keeps what was posted before it, a killed process leaves the
//   register as it was, and no record is ever half written.

#include "ground/progress.h"

class Tdm;

namespace importer {

// Copies onto the working year of the data module, which must be open; the count of interventions
// written. Throws engine::EngineError when the previous year's register cannot be read or a record
// cannot be written.
int ImportaInfoAggiuntive(Tdm &data, const Progress &progress = {});

} // namespace importer
