#pragma once
// The verification register without widgets: what the register window decides about a row (its
// colour, its dates), the technician entries it offers, the address it copies from the shop, and the
// selections it sets on the register's cursor: the search, the filter and the selections of the prints.
//
// Invariants:
// - A selection is a filter text on the cursor and the switch RicercaInCorso; every value put in a
//   filter text goes through engine::quoted(), so a name with an apostrophe never breaks it.
// - A selection that cannot be set leaves the cursor unfiltered, never half filtered.
// - Only the search (`search`) leaves RicercaInCorso on; everything else turns it off first.

#include "ground/messages.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

class Tdm;

namespace engine {
class Table;
}

namespace verifications {

// --- A row's marks.

// At least 8 characters, the first two letters A-Z or digits: the serial number test of the row
// colours and of the check before the quarterly file.
bool isWellFormedSerialNumber(const QString &serial);

// What the register's grid shows of a row, the first that applies: a malformed logotype, a malformed
// serial number, a field the quarterly file needs left empty, a negative (or unreadable) outcome.
enum class RowMark { Normal, MalformedLogotype, MalformedSerial, Incomplete, Negative };
RowMark rowMark(const engine::Table &table, int row);

// The problem with the dates of an entry, as the texts of its two date boxes, for the working year:
// both real dates, both in that year, the end not before the start. None when they pass.
std::optional<ShownMessage> dateProblem(const QString &start, const QString &end, const QString &workingYear);

// --- Technicians.

// Name, the seal identifier of his authorisation and his own seal number: "ROSSI MARIO<->AB12<->0001".
QString technicianEntry(const QString &name, const QString &seal, const QString &sealNumber);

struct TechnicianEntry {
    QString text;
    QVariant id;       // Id_tecnico
    bool offered;      // valid in the working year
};

// Every technician of `technicians`, in its order, with the seal identifier of his authorisation
// (looked up by Id_Lsogg in `authorisations`; empty when none matches). A look-up that fails shows
// "contattare la vesksoft" and the technician keeps an empty identifier. With the per-year management
// on ("SI"), only the technicians whose identifier is in the working year's list are offered, none in
// a year without a list; otherwise all of them.
QList<TechnicianEntry> technicianEntries(const engine::Table &technicians, const engine::Table &authorisations);

// The technician an entry text stands for: the last one giving that text. Null when none does.
QVariant technicianOf(const QList<TechnicianEntry> &entries, const QString &text);

// --- The shop's address.

// When the row's COMUNE, PROVINCIA, INDIRIZZO and CAP are all empty, fills them from its shop (found
// by Id_esercizio in `shops`) and gives the shop's VAT number; nothing otherwise. The row is being
// entered.
std::optional<QString> copyShopAddress(engine::Table &row, const engine::Table &shops);

// --- Search and filter of the list.

// The items of "RICERCA PER:", in their order.
enum class SearchItem { RagioneSociale, PartitaIva, Matricola, TipoIntervento, Trimestre };

// "TROVA": the rows whose field of the item contains the text (case-sensitive), through the record
// filter of the data module. An empty text changes nothing.
void search(Tdm &data, SearchItem item, const QString &text);
// "FILTRA": the rows whose field of the item equals the text. An empty text changes nothing.
void filter(engine::Table &table, SearchItem item, const QString &text);
// "tutti": every row.
void showAll(engine::Table &table);
// What closing the register leaves: a search in force is removed, a filter stays.
void endSearch(engine::Table &table);

// --- The selections of the prints.

// The outcome of a selection: set, or not set with the message to show and the input to correct.
struct Selection {
    enum class Input { None, From, To, Shop };
    bool applied = false;
    QString message; // empty: nothing to say
    Input missing = Input::None;
};

// The period lists: from and to as the date boxes show them (blank: "  /  /    "); city "TUTTI" for
// every municipality; an empty type for every type.
struct Period {
    QString from;
    QString to;
    bool byStart = false; // "Data inizio"; otherwise "data fine"
    QString city;
    QString type;
};
Selection selectPeriod(engine::Table &table, const Period &period);            // S1
Selection selectShop(engine::Table &table, const QString &shopId);             // S2
Selection selectOutcome(engine::Table &table, int outcome);                    // S3: 0 positive, 1 negative
Selection selectTechnician(engine::Table &table, const QVariant &technicianId); // S4
Selection selectType(engine::Table &table, const QString &type);               // S5
// The one row a user template prints, by its Id_misurazioni.
Selection selectRow(engine::Table &table, const QVariant &id);
// After a print: every row again.
void endSelection(engine::Table &table);

} // namespace verifications
