#include "app/svuota.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/engine/engineerror.h"
#include "data/engine/table.h"
#include "data/utility.h"

#include <algorithm>

namespace {

struct Location {
    QString directory;
    QString table;
};

Location locationOf(Archivio archivio)
{
    const AppState &state = appState();
    switch (archivio) {
    case Archivio::Tecnici:
        return {state.dataDir(), QStringLiteral("tecnici")};
    case Archivio::Misuratori:
        return {state.dataDir(), QStringLiteral("ms")};
    case Archivio::Esercizi:
        return {state.dataDir(), QStringLiteral("esercizio")};
    case Archivio::Comuni:
        break;
    }
    return {state.dataDir(), QStringLiteral("COMUNI_new")};
}

} // namespace

void SvuotaArchivi(const QList<Archivio> &scelti)
{
    QList<Archivio> ordered = scelti;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    for (Archivio archivio : std::as_const(ordered)) {
        const Location location = locationOf(archivio);
        engine::Table table;
        table.setDirectory(location.directory);
        table.setTableName(location.table);
        try {
            SvuotaTabella(table);
        } catch (const engine::EngineError &error) {
            Messages::error(QStringLiteral("Impossibile svuotare l'archivio %1.\n%2").arg(location.table, error.message()));
        }
    }
}
