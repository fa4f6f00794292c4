#include "prints/extrafilter.h"

#include "data/engine/filtertext.h"
#include "data/engine/table.h"

using engine::Table;

namespace extraprints {

namespace {

// The id of the row whose field equals the name exactly; none when no row has it.
std::optional<QString> idNamed(const Table &table, const QString &nameField, const QString &name, const QString &idField)
{
    const QVariant id = table.lookup(nameField, {name}, idField);
    if (id.isNull())
        return std::nullopt;
    return QString::number(id.toInt());
}

} // namespace

std::optional<QString> filterText(const Choices &choices, const Table &models, const Table &technicians, QString *problem)
{
    QStringList conditions;
    if (!choices.type.isEmpty())
        conditions << QStringLiteral("[tipo_intervento]=") + engine::quoted(choices.type.left(1));
    if (!choices.outcome.isEmpty())
        conditions << QStringLiteral("[esito]=") + engine::quoted(choices.outcome.left(1));
    if (!choices.municipality.isEmpty())
        conditions << QStringLiteral("[comune]=") + engine::quoted(choices.municipality);
    if (!choices.model.isEmpty()) {
        std::optional<QString> id = choices.modelId;
        if (choices.modelId.isEmpty())
            id = idNamed(models, QStringLiteral("Denominazione_ms"), choices.model, QStringLiteral("Id_ms"));
        if (!id) {
            if (problem)
                *problem = QStringLiteral("Misuratore non trovato: «%1»").arg(choices.model);
            return std::nullopt;
        }
        conditions << QStringLiteral("[Id_ms]=") + *id;
    }
    if (!choices.technician.isEmpty()) {
        const std::optional<QString> id = idNamed(technicians, QStringLiteral("Cogn_nome"), choices.technician, QStringLiteral("Id_tecnico"));
        if (!id) {
            if (problem)
                *problem = QStringLiteral("Tecnico non trovato: «%1»").arg(choices.technician);
            return std::nullopt;
        }
        conditions << QStringLiteral("[Id_tecnico]=") + *id;
    }
    return conditions.join(QStringLiteral(" and "));
}

void applyFilter(Table &verifications, const QString &text)
{
    verifications.setFiltered(false);
    verifications.setFilterText(text);
    verifications.setFiltered(true);
}

QStringList modelIdsNamed(const Table &models, const QString &name)
{
    QStringList ids;
    for (int row = 0; row < models.recordCount(); ++row) {
        if (models.valueAt(row, QStringLiteral("Denominazione_ms")).toString() == name)
            ids << QString::number(models.valueAt(row, QStringLiteral("Id_ms")).toInt());
    }
    return ids;
}

std::optional<QString> orderFieldFor(const QString &column)
{
    static const QList<QPair<QStringList, QString>> orders{
        {{QStringLiteral("marchio_ms"), QStringLiteral("denominazione_ms"), QStringLiteral("logotipo_ms")}, QStringLiteral("id_ms")},
        {{QStringLiteral("comune")}, QStringLiteral("comune")},
        {{QStringLiteral("cogn_nome")}, QStringLiteral("id_tecnico")},
        {{QStringLiteral("ragione_sociale")}, QStringLiteral("id_esercizio")},
        {{QStringLiteral("tipo_intervento")}, QStringLiteral("Tipo_intervento")},
        {{QStringLiteral("esito")}, QStringLiteral("esito")},
    };
    for (const auto &[columns, field] : orders) {
        if (columns.contains(column, Qt::CaseInsensitive))
            return field;
    }
    return std::nullopt;
}

void restoreRegister(Table &verifications)
{
    verifications.setFiltered(false);
    verifications.setIndexFieldNames(QStringLiteral("DATA_FINE"));
}

QStringList columnValues(const Table &table, const QString &field)
{
    QStringList values;
    values.reserve(table.recordCount());
    for (int row = 0; row < table.recordCount(); ++row)
        values << table.valueAt(row, field).toString();
    return values;
}

} // namespace extraprints
