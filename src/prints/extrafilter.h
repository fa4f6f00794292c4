#pragma once
// The selection of the extra prints on the register's cursor: the filter text built from the choices,
// the models that share a name, the order a column title gives, and the state the window leaves.
// Filter texts are the engine's own syntax; every value between apostrophes is quoted, so a
// municipality such as L'AQUILA selects its rows instead of breaking the filter.

#include <QString>
#include <QStringList>

#include <optional>

namespace engine {
class Table;
}

namespace extraprints {

struct Choices {
    QString type;       // "2=Defiscalizzazione": the code is its first character
    QString outcome;    // "0=Esito Positivo"
    QString municipality;
    QString model;      // a Denominazione_ms
    QString modelId;    // the Id_ms chosen among models sharing that name; empty when none is
    QString technician; // a Cogn_nome
};

// The conditions of the non-empty choices joined by " and ", in the order type, outcome,
// municipality, model, technician; empty when nothing is chosen. A model or technician not in its
// table gives no text, and `problem` says which.
std::optional<QString> filterText(const Choices &choices, const engine::Table &models,
                                  const engine::Table &technicians, QString *problem);

// Filtering off, the text set, filtering on.
void applyFilter(engine::Table &verifications, const QString &text);

// The Id_ms of every model named `name`, in the models' order; more than one means the name is
// ambiguous.
QStringList modelIdsNamed(const engine::Table &models, const QString &name);

// The ordering field a click on a column title gives, or none for a column that keeps the order.
// Looked-up columns order by the key they come from, not alphabetically.
std::optional<QString> orderFieldFor(const QString &column);

// What the window leaves behind: every row shown, in end-date order.
void restoreRegister(engine::Table &verifications);

// The field of every visible row, in the table's order: the lists the choices are made from.
QStringList columnValues(const engine::Table &table, const QString &field);

} // namespace extraprints
