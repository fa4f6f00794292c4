// The one-time steps of opening a year: the company-name repair, the conversion of the older
// register layout, and the address fill. Each walks the register once inside a bulk scope, so a
// failure half way keeps what was posted and never leaves a half-written record.

#include "data/tdm.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/catalogue.h"
#include "data/engine/bulkscope.h"

using engine::Table;

namespace {

// Posts the table's pending record; on failure the edit is dropped and the failure goes on.
void postOrCancel(Table *table)
{
    try {
        table->post();
    } catch (...) {
        table->cancel();
        throw;
    }
}

} // namespace

QVariant Tdm::shopField(const QVariant &shopId, const QString &field) const
{
    return Tabesercizio->lookup(QStringLiteral("Id_esercizio"), {shopId}, field);
}

void Tdm::repairCompanyNames()
{
    engine::BulkScope bulk;
    for (Tabmisurazioni->first(); !Tabmisurazioni->eof(); Tabmisurazioni->next()) {
        if (!Tabmisurazioni->asString(QStringLiteral("r_ditta")).isEmpty())
            continue;
        const QVariant name = shopField(Tabmisurazioni->value(QStringLiteral("Id_esercizio")), QStringLiteral("Ragione_sociale"));
        if (!name.isValid())
            continue;
        Tabmisurazioni->edit();
        Tabmisurazioni->setValue(QStringLiteral("r_ditta"), name);
        postOrCancel(Tabmisurazioni);
    }
}

void Tdm::convertOlderLayout()
{
    const QString year = appState().yearDir();
    Tab_misurazioni_old->close();
    Tab_misurazioni_old->setDirectory(year);
    for (const engine::IndexDef &index : catalogue::schema(Tab_misurazioni_old->tableName()).indexes)
        Tab_misurazioni_old->addIndex(index.name, index.fields, index.caseInsensitive);
    Tab_misurazioni_old->open();
    Tab_misurazioni_old->first();
    if (!Tab_dati_extra->isOpen()) {
        Tab_dati_extra->setDirectory(year);
        Tab_dati_extra->open();
    }

    // The older id is dropped: converted records are numbered on from the register's last id, and the
    // extra data are joined through the older id before that.
    using Pairs = QList<std::pair<QString, QString>>;
    static const QStringList copiedFields{
        QStringLiteral("ID_ESERCIZIO"), QStringLiteral("ID_MS"), QStringLiteral("ID_TECNICO"), QStringLiteral("MATRICOLA_MS"),
        QStringLiteral("TIPO_INTERVENTO"), QStringLiteral("DATA_INI"), QStringLiteral("DATA_FINE"), QStringLiteral("ESITO"),
        QStringLiteral("SCARICO_SN"), QStringLiteral("TRIMESTRE"), QStringLiteral("COMUNE"), QStringLiteral("PROVINCIA"),
        QStringLiteral("INDIRIZZO"), QStringLiteral("CAP"), QStringLiteral("ANNO")};
    static const Pairs extraTexts{{QStringLiteral("n_azzeramenti"), QStringLiteral("N_azzeramenti")},
                                  {QStringLiteral("Referente"), QStringLiteral("Referente")},
                                  {QStringLiteral("Telefono"), QStringLiteral("Telefono")},
                                  {QStringLiteral("cellulare"), QStringLiteral("Cellulare")},
                                  {QStringLiteral("note1"), QStringLiteral("Note1")},
                                  {QStringLiteral("note2"), QStringLiteral("Note2")}};
    static const Pairs extraFlags{{QStringLiteral("ivato"), QStringLiteral("Ivato")},
                                  {QStringLiteral("pagato"), QStringLiteral("Pagato_sn")},
                                  {QStringLiteral("fatturato"), QStringLiteral("Fatturato_sn")}};

    engine::BulkScope bulk;
    for (; !Tab_misurazioni_old->eof(); Tab_misurazioni_old->next()) {
        Tabmisurazioni->append();
        try {
            // The order matters: the rules on the shop, the end date and the municipality fire as each
            // value arrives, and the later copies overwrite what they wrote.
            for (const QString &field : copiedFields)
                Tabmisurazioni->setValue(field, Tab_misurazioni_old->value(field));

            const QVariant shop = Tabmisurazioni->value(QStringLiteral("Id_esercizio"));
            const QVariant name = shopField(shop, QStringLiteral("Ragione_sociale"));
            if (name.isValid()) {
                Tabmisurazioni->setValue(QStringLiteral("p_iva"), shopField(shop, QStringLiteral("Piva")));
                Tabmisurazioni->setValue(QStringLiteral("r_ditta"), name);
            } else {
                Messages::plain(QStringLiteral("Incongruenza anagrafica ditta"));
            }

            // Without an extra-data record these read empty, 0 and false.
            for (const auto &[field, extra] : extraTexts)
                Tabmisurazioni->setValue(field, Tab_dati_extra->asString(extra));
            Tabmisurazioni->setValue(QStringLiteral("importo"), Tab_dati_extra->asNumber(QStringLiteral("Importo")));
            for (const auto &[field, extra] : extraFlags)
                Tabmisurazioni->setValue(field, Tab_dati_extra->asBoolean(extra));
            Tabmisurazioni->setValue(QStringLiteral("Promemoria"), Tab_dati_extra->value(QStringLiteral("Promemoria")));
        } catch (...) {
            Tabmisurazioni->cancel();
            throw;
        }
        postOrCancel(Tabmisurazioni);
    }
    Tab_misurazioni_old->close();
}

void Tdm::fillAddresses()
{
    static const char *const addressFields[][2] = {{"COMUNE", "Comune"}, {"PROVINCIA", "Provincia"},
                                                   {"INDIRIZZO", "Indirizzo"}, {"CAP", "Cap"}};
    auto addressEmpty = [this] {
        for (const auto &[field, shops] : addressFields) {
            Q_UNUSED(shops);
            if (!Tabmisurazioni->asString(QString::fromLatin1(field)).isEmpty())
                return false;
        }
        return true;
    };
    // Only the record under the cursor decides: a year whose first record has an address is taken
    // as filled already.
    if (Tabmisurazioni->isEmpty() || !addressEmpty())
        return;
    Messages::plain(QStringLiteral("Cliccare OK e attendere alcuni attimi"));

    engine::BulkScope bulk;
    for (Tabmisurazioni->first(); !Tabmisurazioni->eof(); Tabmisurazioni->next()) {
        if (!addressEmpty())
            continue;
        const QVariant shop = Tabmisurazioni->value(QStringLiteral("Id_esercizio"));
        if (!shopField(shop, QStringLiteral("Id_esercizio")).isValid())
            continue;
        Tabmisurazioni->edit();
        for (const auto &[field, shops] : addressFields)
            Tabmisurazioni->setValue(QString::fromLatin1(field), shopField(shop, QString::fromLatin1(shops)));
        postOrCancel(Tabmisurazioni);
    }
}
