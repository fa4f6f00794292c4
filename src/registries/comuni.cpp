#include "registries/comuni.h"

#include "data/engine/engineerror.h"
#include "data/engine/table.h"

void deleteMunicipality(engine::Table &municipalities, engine::Table &zones)
{
    if (municipalities.isEmpty())
        throw engine::EngineError(QStringLiteral("Nessun comune da eliminare"));
    if (zones.master() != &municipalities)
        throw engine::EngineError(QStringLiteral("Le zone non sono collegate ai comuni"));
    // Zones first: a failure on the way never leaves zones without their municipality.
    while (!zones.isEmpty()) {
        zones.first();
        zones.remove();
    }
    municipalities.remove();
}
