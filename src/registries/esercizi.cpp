#include "registries/esercizi.h"

#include "ground/state.h"
#include "data/engine/engineerror.h"
#include "data/engine/filtertext.h"
#include "data/tdm.h"

using engine::Table;

int shopsWithPiva(const QString &piva)
{
    Table *shops = requireDataModule().c_esercizio;
    // A closed cursor counts no rows, which would let any number through.
    if (!shops->isOpen())
        throw engine::EngineError(QStringLiteral("Archivio esercizi non aperto: impossibile controllare la partita IVA."));
    shops->setFiltered(false);
    shops->setFilterText(QStringLiteral("[Piva]=") + engine::quoted(piva));
    shops->setFiltered(true);
    const int count = shops->recordCount();
    shops->setFiltered(false);
    shops->setFilterText(QString());
    return count;
}

bool hasVerificationsInWorkingYear(const QVariant &shopId)
{
    Table verifications;
    verifications.setDirectory(appState().yearDir());
    verifications.setTableName(QStringLiteral("misurazioni2"));
    verifications.open();
    return !verifications.lookup(QStringLiteral("Id_esercizio"), {shopId}, QStringLiteral("Id_misurazioni")).isNull();
}
