#include "register/misurazioni.h"

#include "ground/config.h"
#include "ground/state.h"
#include "data/engine/filtertext.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "registries/misuratori.h"

#include <QDate>

using engine::quoted;
using engine::Table;

namespace verifications {

namespace {

const QString BusyTable = QStringLiteral("la tabella misurazioni è impegnata ");

bool isBlankDate(QString text)
{
    return text.remove(QLatin1Char('/')).trimmed().isEmpty();
}

bool isEmptyAt(const Table &table, int row, const QString &field)
{
    const QVariant value = table.valueAt(row, field);
    return value.isNull() || value.toString().isEmpty();
}

// Sets the selection, or leaves the cursor unfiltered and throws the engine's failure.
void setSelection(Table &table, const QString &filterText)
{
    appState().RicercaInCorso = false;
    try {
        table.setFilterText(filterText);
        table.setFiltered(true);
    } catch (...) {
        table.setFiltered(false);
        table.setFilterText({});
        throw;
    }
}

Selection refused(const QString &message, Selection::Input missing = Selection::Input::None)
{
    Selection selection;
    selection.message = message;
    selection.missing = missing;
    return selection;
}

Selection selected(Table &table, const QString &filterText, const QString &failure)
{
    try {
        setSelection(table, filterText);
    } catch (const std::exception &) {
        return refused(failure);
    }
    Selection done;
    done.applied = true;
    return done;
}

} // namespace

bool isWellFormedSerialNumber(const QString &serial)
{
    // Its first two characters are what a logotype is made of.
    return serial.size() >= 8 && isWellFormedLogotype(serial.left(2));
}

RowMark rowMark(const Table &table, int row)
{
    if (!isWellFormedLogotype(table.valueAt(row, QStringLiteral("logotipo_ms")).toString()))
        return RowMark::MalformedLogotype;
    if (!isWellFormedSerialNumber(table.valueAt(row, QStringLiteral("Matricola_ms")).toString()))
        return RowMark::MalformedSerial;
    static const QStringList needed{QStringLiteral("Esito"),    QStringLiteral("Id_esercizio"), QStringLiteral("Matricola_ms"),
                                    QStringLiteral("Trimestre"), QStringLiteral("Data_fine"),   QStringLiteral("Data_ini"),
                                    QStringLiteral("Tipo_intervento")};
    for (const QString &field : needed) {
        if (isEmptyAt(table, row, field))
            return RowMark::Incomplete;
    }
    bool number = false;
    const int outcome = table.valueAt(row, QStringLiteral("Esito")).toString().toInt(&number);
    return number && outcome == 0 ? RowMark::Normal : RowMark::Negative;
}

std::optional<ShownMessage> dateProblem(const QString &start, const QString &end, const QString &workingYear)
{
    const QString format = QStringLiteral("dd/MM/yyyy");
    const QDate from = QDate::fromString(start, format);
    const QDate to = QDate::fromString(end, format);
    if (!from.isValid() || !to.isValid())
        return ShownMessage{MessageKind::Warning, QStringLiteral("Inserire le date corrette.")};
    const int year = workingYear.toInt();
    if (from.year() != year)
        return ShownMessage{MessageKind::Plain,
                            QStringLiteral("Valori delle date non validi. Potresti essere nell'anno sbagliato. Anno corrente:") + workingYear};
    // Both in the same year: the end may not come before the start.
    if (to.year() != year || to < from)
        return ShownMessage{MessageKind::Plain, QStringLiteral("Valori delle date non validi ")};
    return std::nullopt;
}

QString technicianEntry(const QString &name, const QString &seal, const QString &sealNumber)
{
    const QString separator = QStringLiteral("<->");
    return name + separator + seal + separator + sealNumber;
}

QList<TechnicianEntry> technicianEntries(const Table &technicians, const Table &authorisations)
{
    const AppState &state = appState();
    const int year = state.AnnoLavoro.toInt();
    const bool restricted = config::gestioneAnniAttiva(state);
    QStringList yearSeals;
    if (restricted && year >= FirstAuthorisationYear && year <= LastAuthorisationYear) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            yearSeals << state.abilitazione(year, slot);
    }

    QList<TechnicianEntry> entries;
    for (int row = 0, rows = technicians.recordCount(); row < rows; ++row) {
        QString seal;
        try {
            seal = authorisations.lookup(QStringLiteral("Id_Lsogg"), {technicians.valueAt(row, QStringLiteral("Id_sogg"))},
                                         QStringLiteral("Id_al_sigillo")).toString();
        } catch (const std::exception &) {
            Messages::plain(QStringLiteral("contattare la vesksoft"));
        }
        // An empty identifier names no authorisation, whatever empty slots the year's list has.
        const bool offered = !restricted || (!seal.isEmpty() && yearSeals.contains(seal));
        entries.append({technicianEntry(technicians.valueAt(row, QStringLiteral("Cogn_nome")).toString(), seal,
                                        technicians.valueAt(row, QStringLiteral("Id_nu_sigillo")).toString()),
                        technicians.valueAt(row, QStringLiteral("Id_tecnico")), offered});
    }
    return entries;
}

QVariant technicianOf(const QList<TechnicianEntry> &entries, const QString &text)
{
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        if (it->text == text)
            return it->id;
    }
    return {};
}

std::optional<QString> copyShopAddress(Table &row, const Table &shops)
{
    static const QList<std::pair<QString, QString>> address{{QStringLiteral("COMUNE"), QStringLiteral("Comune")},
                                                            {QStringLiteral("PROVINCIA"), QStringLiteral("Provincia")},
                                                            {QStringLiteral("INDIRIZZO"), QStringLiteral("Indirizzo")},
                                                            {QStringLiteral("CAP"), QStringLiteral("Cap")}};
    for (const auto &[field, shopField] : address) {
        if (!row.asString(field).isEmpty())
            return std::nullopt;
    }
    const QVariant shop = row.value(QStringLiteral("Id_esercizio"));
    const QString key = QStringLiteral("Id_esercizio");
    if (shop.isNull() || shops.lookup(key, {shop}, key).isNull())
        return std::nullopt;
    // The municipality's rule fills province and postal code first; the shop's own then overwrite them.
    for (const auto &[field, shopField] : address)
        row.setValue(field, shops.lookup(key, {shop}, shopField));
    return shops.lookup(key, {shop}, QStringLiteral("Piva")).toString();
}

void search(Tdm &data, SearchItem item, const QString &text)
{
    if (text.isEmpty())
        return;
    data.searchField = int(item);
    data.searchText = text;
    appState().RicercaInCorso = true;
    Table &table = *data.Tabmisurazioni;
    table.setFilterText({});
    table.setFiltered(true);
}

void filter(Table &table, SearchItem item, const QString &text)
{
    if (text.isEmpty())
        return;
    static const char *const fields[] = {"[R_DITTA]=", "[P_IVA]=", "[MATRICOLA_MS]=", "[TIPO_INTERVENTO]=", "[TRIMESTRE]="};
    setSelection(table, QLatin1String(fields[int(item)]) + quoted(text));
}

void showAll(Table &table)
{
    appState().RicercaInCorso = false;
    table.setFiltered(false);
}

void endSearch(Table &table)
{
    if (appState().RicercaInCorso)
        showAll(table);
}

Selection selectPeriod(Table &table, const Period &period)
{
    const QString wrongDate = QStringLiteral("errore sulla data");
    if (isBlankDate(period.from))
        return refused(wrongDate, Selection::Input::From);
    if (isBlankDate(period.to))
        return refused(wrongDate, Selection::Input::To);
    const QString field = period.byStart ? QStringLiteral("[data_ini]") : QStringLiteral("[data_fine]");
    QString text = field + QStringLiteral(">=") + quoted(period.from) + QStringLiteral("and ") + field + QStringLiteral("<=")
        + quoted(period.to);
    if (period.city != QLatin1String("TUTTI"))
        text += QStringLiteral(" and [COMUNE]=") + quoted(period.city);
    if (!period.type.isEmpty())
        text += QStringLiteral(" and [Tipo_intervento]=") + quoted(period.type);
    return selected(table, text, QStringLiteral("O la tabella misurazioni è impegnata O le date inserite non sono valide"));
}

Selection selectShop(Table &table, const QString &shopId)
{
    if (shopId.isEmpty())
        return refused(QStringLiteral("inserire un esercizio"), Selection::Input::Shop);
    return selected(table, QStringLiteral("[id_esercizio]=") + quoted(shopId), BusyTable);
}

Selection selectOutcome(Table &table, int outcome)
{
    return selected(table, QStringLiteral("[esito]=") + quoted(QString::number(outcome)), BusyTable);
}

Selection selectTechnician(Table &table, const QVariant &technicianId)
{
    return selected(table, QStringLiteral("[id_tecnico]=") + quoted(technicianId.toString()), BusyTable);
}

Selection selectType(Table &table, const QString &type)
{
    if (type.isEmpty())
        return {};
    return selected(table, QStringLiteral("[Tipo_intervento]=") + quoted(type), BusyTable);
}

Selection selectRow(Table &table, const QVariant &id)
{
    return selected(table, QStringLiteral("[Id_misurazioni]=") + QString::number(id.toLongLong()), BusyTable);
}

void endSelection(Table &table)
{
    table.setFiltered(false);
}

} // namespace verifications
