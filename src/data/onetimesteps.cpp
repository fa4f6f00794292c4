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
    static const char *const copiedFields[] = {"ID_ESERCIZIO", "ID_MS", "ID_TECNICO", "MATRICOLA_MS", "TIPO_INTERVENTO",
                                               "DATA_INI", "DATA_FINE", "ESITO", "SCARICO_SN", "TRIMESTRE",
                                               "COMUNE", "PROVINCIA", "INDIRIZZO", "CAP", "ANNO"};
    static const char *const extraTexts[][2] = {{"n_azzeramenti", "N_azzeramenti"}, {"Referente", "Referente"},
                                                {"Telefono", "Telefono"}, {"cellulare", "Cellulare"},
                                                {"note1", "Note1"}, {"note2", "Note2"}};
    static const char *const extraFlags[][2] = {{"ivato", "Ivato"}, {"pagato", "Pagato_sn"}, {"fatturato", "Fatturato_sn"}};

    engine::BulkScope bulk;
    for (; !Tab_misurazioni_old->eof(); Tab_misurazioni_old->next()) {
        Tabmisurazioni->append();
        try {
            // The order matters: the rules on the shop, the end date and the municipality fire as each
            // value arrives, and the later copies overwrite what they wrote.
            for (const char *field : copiedFields)
                Tabmisurazioni->setValue(QString::fromLatin1(field), Tab_misurazioni_old->value(QString::fromLatin1(field)));

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
                Tabmisurazioni->setValue(QString::fromLatin1(field), Tab_dati_extra->asString(QString::fromLatin1(extra)));
            Tabmisurazioni->setValue(QStringLiteral("importo"), Tab_dati_extra->asNumber(QStringLiteral("Importo")));
            for (const auto &[field, extra] : extraFlags)
                Tabmisurazioni->setValue(QString::fromLatin1(field), Tab_dati_extra->asBoolean(QString::fromLatin1(extra)));
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
