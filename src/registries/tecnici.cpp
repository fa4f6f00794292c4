#include "registries/tecnici.h"

#include "data/tdm.h"

using engine::Table;

void recordVariation(Tdm &data, Variation variation, const QString &year, int quarter)
{
    static const char *const copied[] = {"Cf", "Cognome", "Nome", "Sesso", "Data_nascita", "Comune_nascita",
                                         "Prov_nascita", "Id_nu_sigillo", "Responsabile", "Titolo_studio", "Id_sogg"};
    const Table &technician = *data.Tabtecnico;
    Table &row = *data.TabMod_tecnici;
    const auto copy = [&](const char *name) {
        const QString field = QString::fromLatin1(name);
        row.setValue(field, technician.value(field));
    };
    row.append();
    try {
        row.setValue(QStringLiteral("FLAG_VARIAZIONE"), QString(QLatin1Char(char(variation))));
        for (const char *field : copied)
            copy(field);
        if (variation != Variation::OtherData)
            copy("Data_inizio");
        if (variation == Variation::EndOfCollaboration)
            copy("Data_fine");
        row.setValue(QStringLiteral("Anno_variazione"), year);
        row.setValue(QStringLiteral("TRI_variazione"), quarter);
        row.post();
    } catch (...) {
        row.cancel();
        throw;
    }
}

bool hasVerifications(const Table &verifications, const QVariant &technicianId)
{
    Table all;
    all.setDirectory(verifications.directory());
    all.setTableName(verifications.tableName());
    all.open();
    return !all.lookup(QStringLiteral("Id_tecnico"), {technicianId}, QStringLiteral("Id_misurazioni")).isNull();
}
