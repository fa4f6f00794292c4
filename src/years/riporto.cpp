#include "years/riporto.h"

#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"

#include <QDir>
#include <QSet>

#include <utility>

using engine::Table;

namespace years {

namespace {

// A meter: its serial number and its model.
using Meter = std::pair<QString, int>;

// Shows the previous year's rows of one filter; their count.
int selectRows(Table &previous, const QString &filter)
{
    previous.setFiltered(false);
    previous.setFilterText(filter);
    previous.setFiltered(true);
    return previous.recordCount();
}

} // namespace

void openPreviousYear(Table &previous)
{
    const AppState &state = appState();
    previous.setDirectory(QDir(state.DirBase).filePath(QString::number(state.AnnoLavoro.toInt() - 1)));
    previous.setTableName(QStringLiteral("misurazioni2"));
    previous.addIndex(QStringLiteral("fineindex"), QStringLiteral("data_fine"));
    previous.setIndexName(QStringLiteral("fineindex"));
    previous.open();
}

Riporto RiportaVerifiche(Tdm &data, const Progress &progress)
{
    Table previous;
    previous.setObjectName(QStringLiteral("Tabanno_prec"));
    openPreviousYear(previous);

    const QString verificationsAndCommissionings = QStringLiteral("[tipo_intervento]='3'or [tipo_intervento]='1'");
    const QString decommissionings = QStringLiteral("[tipo_intervento]='2'");
    const int total = selectRows(previous, decommissionings) + selectRows(previous, verificationsAndCommissionings);
    ProgressSteps steps(progress, total);
    int done = 0;

    // The meters of the working year, kept here as they are carried: looking each one up in the
    // register would place every record appended so far at each step of the walk.
    Table &target = *data.Tabmisurazioni;
    QSet<Meter> present;
    for (int row = 0; row < target.recordCount(); ++row)
        present.insert({target.valueAt(row, QStringLiteral("Matricola_ms")).toString(), target.valueAt(row, QStringLiteral("Id_ms")).toInt()});

    // In this order: the shop's rule empties the address and the municipality's rule fills province and
    // postal code, which the previous values then overwrite.
    static const QStringList copied{QStringLiteral("Id_esercizio"), QStringLiteral("Matricola_ms"), QStringLiteral("Trimestre"),
                                    QStringLiteral("Data_ini"), QStringLiteral("Id_tecnico"), QStringLiteral("Id_ms"),
                                    QStringLiteral("COMUNE"), QStringLiteral("PROVINCIA"), QStringLiteral("INDIRIZZO"),
                                    QStringLiteral("CAP")};
    static const QStringList commercial{QStringLiteral("n_azzeramenti"), QStringLiteral("importo"), QStringLiteral("ivato"),
                                        QStringLiteral("pagato"), QStringLiteral("fatturato"), QStringLiteral("Referente"),
                                        QStringLiteral("Telefono"), QStringLiteral("cellulare"), QStringLiteral("note1"),
                                        QStringLiteral("note2"), QStringLiteral("Promemoria")};

    Riporto result;
    engine::BulkScope bulk;
    // Latest end date first: a meter is carried from its most recent intervention.
    for (previous.last(); !previous.bof(); previous.prior()) {
        steps.step(++done);
        const Meter meter{previous.asString(QStringLiteral("MATRICOLA_MS")), previous.asInteger(QStringLiteral("ID_MS"))};
        if (present.contains(meter))
            continue;
        target.append();
        try {
            for (const QString &field : copied)
                target.setValue(field, previous.value(field));
            target.setValue(QStringLiteral("Tipo_intervento"), QStringLiteral("3"));
            const QVariant shop = target.value(QStringLiteral("Id_esercizio"));
            const QVariant name = data.Tabesercizio->lookup(QStringLiteral("Id_esercizio"), {shop}, QStringLiteral("Ragione_sociale"));
            if (name.isValid()) {
                target.setValue(QStringLiteral("p_iva"), data.Tabesercizio->lookup(QStringLiteral("Id_esercizio"), {shop}, QStringLiteral("Piva")));
                target.setValue(QStringLiteral("r_ditta"), name);
            } else {
                Messages::plain(QStringLiteral("Incongruenza anagrafica ditta"));
            }
            for (const QString &field : commercial)
                target.setValue(field, previous.value(field));
            target.post();
        } catch (...) {
            target.cancel();
            throw;
        }
        present.insert(meter);
        ++result.carried;
    }

    // A decommissioning after the intervention carried takes the meter out again.
    selectRows(previous, decommissionings);
    for (previous.first(); !previous.eof(); previous.next()) {
        steps.step(++done);
        if (target.locate(QStringLiteral("Matricola_ms;Id_ms"), {previous.value(QStringLiteral("MATRICOLA_MS")), previous.value(QStringLiteral("ID_MS"))})
            && previous.asDate(QStringLiteral("DATA_INI")) > target.asDate(QStringLiteral("Data_ini"))) {
            target.remove();
            ++result.removed;
        }
    }
    previous.setFiltered(false);
    return result;
}

} // namespace years
