#include "import/infoagg.h"

#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "years/riporto.h"

namespace importer {

int ImportaInfoAggiuntive(Tdm &data, const Progress &progress)
{
    engine::Table previous;
    years::openPreviousYear(previous);

    static const QStringList copied{QStringLiteral("ivato"), QStringLiteral("pagato"), QStringLiteral("fatturato"),
                                    QStringLiteral("Referente"), QStringLiteral("Telefono"), QStringLiteral("cellulare"),
                                    QStringLiteral("n_azzeramenti"), QStringLiteral("note1"), QStringLiteral("note2"),
                                    QStringLiteral("importo"), QStringLiteral("Promemoria")};
    engine::Table &target = *data.Tabmisurazioni;
    ProgressSteps steps(progress, previous.recordCount());
    int done = 0, written = 0;
    engine::BulkScope bulk;
    for (previous.first(); !previous.eof(); previous.next()) {
        steps.step(++done);
        if (!target.locate(QStringLiteral("matricola_ms;id_ms"),
                           {previous.value(QStringLiteral("MATRICOLA_MS")), previous.value(QStringLiteral("ID_MS"))}))
            continue;
        target.edit();
        try {
            for (const QString &field : copied)
                target.setValue(field, previous.value(field));
            target.post();
        } catch (...) {
            target.cancel();
            throw;
        }
        ++written;
    }
    return written;
}

} // namespace importer
