#pragma once
// Work on the municipality list that goes beyond one row.

namespace engine {
class Table;
}

// Deletes the current municipality of `municipalities` with every one of its zones; `zones` is the
// zone cursor linked to it as its detail, so its visible rows are exactly those zones. A failure stops
// the deletion where it happened (an EngineError); records naming the municipality keep the name.
void deleteMunicipality(engine::Table &municipalities, engine::Table &zones);
