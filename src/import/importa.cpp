#include "import/importa.h"

#include "data/catalogue.h"
#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/utility.h"
#include "ground/messages.h"
#include "ground/windows1252.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace importer {

using engine::Table;

namespace {

// A field of a line: its staging field, its first position (1-based) and its width.
struct Slice {
    QString field;
    int start;
    int width;
};
using Slices = QList<Slice>;

Slice slice(const char *field, int start, int width) { return {QString::fromLatin1(field), start, width}; }

// The fields of a staged intervention, in the order of its record, and its quarter.
enum InterventionField {
    Cf, Seal, TechnicianSeal, Start, End, Outcome, Vat, Company, Municipality, Province, Address, Postcode, Type, Brand, Model,
    Logotype, Serial, Quarter, InterventionFields
};
using StagedIntervention = std::array<QString, InterventionFields>;

// In the order of InterventionField.
const Slices &interventionSlices()
{
    static const Slices slices{
        slice("Cf", 2, 16),          slice("Id_al_sigillo", 18, 30),  slice("Id_num_sigillo", 48, 4),
        slice("Data_inizio", 52, 8), slice("Data_fine", 60, 8),       slice("Esito", 68, 1),
        slice("Piva", 69, 11),       slice("Ragione_sociale", 80, 60), slice("Comune", 140, 40),
        slice("Provincia", 180, 2),  slice("Indirizzo", 182, 35),     slice("Cap", 217, 5),
        slice("Tipo_intervento", 222, 1), slice("Marchio_ms", 223, 40), slice("Denominazione_ms", 263, 40),
        slice("Logotipo", 303, 2),   slice("Matricola", 305, 9)};
    return slices;
}

// Where each layout keeps the fields of its headers and technician records; interventions are alike
// in both.
struct LineLayout {
    QByteArray headerMarker;
    Slices header;
    Slices technician;
};

const LineLayout &layoutOf(Layout layout)
{
    static const LineLayout y2010{
        "0MIS00",
        {slice("Piva", 25, 11), slice("Tipo_abilitazione", 36, 1), slice("Id_al_sigillo", 37, 30),
         slice("Denominazione", 67, 60), slice("Comune_df", 127, 40), slice("Prov_df", 167, 2), slice("Cognome", 169, 26),
         slice("Nome", 195, 25), slice("Sesso", 220, 1), slice("Data_nasc", 221, 8), slice("Comune_nasc", 229, 40),
         slice("Prov_nasc", 269, 2), slice("Anno_rif", 271, 4), slice("Tri_rif", 275, 1)},
        {slice("Cf", 3, 16), slice("Cognome", 19, 26), slice("Nome", 45, 25), slice("Sesso", 70, 1), slice("Data_nasc", 71, 8),
         slice("Comune_nasc", 79, 40), slice("Prov_nasc", 119, 2), slice("Responsabile", 121, 1), slice("Titolo_studio", 122, 1),
         slice("Data_ini", 123, 8), slice("Data_fine", 131, 8)}};
    static const LineLayout initial{
        "0MFISC26",
        {slice("Piva", 9, 11), slice("Tipo_abilitazione", 25, 1), slice("Id_al_sigillo", 26, 30),
         slice("Denominazione", 56, 60), slice("Comune_df", 116, 40), slice("Prov_df", 156, 2), slice("Cognome", 158, 26),
         slice("Nome", 184, 25), slice("Sesso", 209, 1), slice("Data_nasc", 210, 8), slice("Comune_nasc", 218, 40),
         slice("Prov_nasc", 258, 2), slice("Anno_rif", 260, 4), slice("Tri_rif", 264, 1)},
        {slice("Cf", 2, 16), slice("Cognome", 18, 26), slice("Nome", 44, 25), slice("Sesso", 69, 1), slice("Data_nasc", 70, 8),
         slice("Comune_nasc", 78, 40), slice("Prov_nasc", 118, 2), slice("Id_al_sigillo", 120, 30),
         slice("Id_num_sigillo", 150, 4), slice("Responsabile", 154, 1), slice("Titolo_studio", 155, 1),
         slice("Data_ini", 156, 8), slice("Data_fine", 164, 8)}};
    return layout == Layout::Y2010 ? y2010 : initial;
}

// The text of a line's field without its trailing spaces; as much of it as a short line holds.
QString cut(const QString &line, const Slice &s)
{
    QStringView text = QStringView(line).mid(s.start - 1, s.width);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text.toString();
}

// The decoded part of a raw line that its slices reach.
QString decoded(const QByteArray &line, const Slices &slices)
{
    int end = 0;
    for (const Slice &s : slices)
        end = std::max(end, s.start - 1 + s.width);
    return windows1252::decode(line.left(end));
}

// A staging table whose rows are numbered on from its next id.
class Stage {
public:
    explicit Stage(Table &table) : m_table(table), m_next(ProssimoId(table, QStringLiteral("Id"))) {}

    // The line's fields, then the further values given.
    void add(const QString &line, const Slices &slices, const QList<std::pair<QString, QString>> &further = {})
    {
        m_table.append();
        try {
            m_table.setValue(QStringLiteral("Id"), m_next);
            for (const Slice &s : slices)
                m_table.setValue(s.field, cut(line, s));
            for (const auto &[field, value] : further)
                m_table.setValue(field, value);
            m_table.post();
        } catch (...) {
            m_table.cancel();
            throw;
        }
        ++m_next;
    }

private:
    Table &m_table;
    int m_next;
};

void postRow(Table &table, const QList<std::pair<QString, QVariant>> &values)
{
    table.append();
    try {
        for (const auto &[field, value] : values)
            table.setValue(field, value);
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
}

// A staged date, DDMMYYYY: null when the file left it blank, nothing when it is not a date.
std::optional<QVariant> dateOf(const QString &staged)
{
    if (staged.trimmed().isEmpty())
        return QVariant();
    if (staged.size() != 8 || !std::all_of(staged.cbegin(), staged.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const QDate date(staged.mid(4, 4).toInt(), staged.mid(2, 2).toInt(), staged.left(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return QVariant(date);
}

// Several values as one key.
QString keyOf(const QStringList &values)
{
    return values.join(QLatin1Char('\n'));
}

// The value of `valueField` in the first row, in the table's stored order, for each key of `keyFields`.
QHash<QString, QVariant> firstByKey(const Table &table, const QStringList &keyFields, const QString &valueField)
{
    QHash<QString, QVariant> found;
    for (int row = table.recordCount() - 1; row >= 0; --row) {
        QStringList key;
        for (const QString &field : keyFields)
            key << table.valueAt(row, field).toString();
        found.insert(keyOf(key), table.valueAt(row, valueField));
    }
    return found;
}

} // namespace

class QuarterlyImport::Private {
public:
    explicit Private(const AppState &state) : state(state)
    {
        for (auto &[table, name] : {std::pair{&riga1, "riga1"}, {&riga2, "riga2"}, {&riga3, "riga3"}}) {
            table->setObjectName(QString::fromLatin1(name));
            table->setTableName(QString::fromLatin1(name));
            table->setDirectory(state.importDir());
            table->setExclusive(true);
        }
    }

    void openOwn(Table &table, const QString &directory, const QString &name)
    {
        table.setDirectory(directory);
        table.setTableName(name);
        table.open();
    }

    Merged merge(const Progress &progress);

    AppState state;
    Table riga1, riga2, riga3;
};

QuarterlyImport::QuarterlyImport(const AppState &state) : d(std::make_unique<Private>(state)) {}

QuarterlyImport::~QuarterlyImport() = default;

Table &QuarterlyImport::riga1() { return d->riga1; }
Table &QuarterlyImport::riga2() { return d->riga2; }
Table &QuarterlyImport::riga3() { return d->riga3; }

bool QuarterlyImport::stage(const QString &filePath, Layout layout, const Progress &progress)
{
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        Messages::plain(QStringLiteral("Impossibile leggere il file"));
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Messages::plain(QStringLiteral("Impossibile leggere il file"));
        return false;
    }
    file.close();

    const std::array<Table *, 3> tables{&d->riga1, &d->riga2, &d->riga3};
    try {
        catalogue::createMissingTables(d->state.importDir(), catalogue::stagingTables());
        for (Table *table : tables) {
            if (!table->isOpen())
                table->open();
        }
    } catch (const std::exception &) {
        close();
        Messages::plain(QStringLiteral("Impossibile aprire le tabelle di acquisizione"));
        return false;
    }

    const LineLayout &lines = layoutOf(layout);
    try {
        engine::BulkScope bulk;
        for (Table *table : tables)
            table->emptyTable();
        Stage headers(d->riga1), technicians(d->riga2), interventions(d->riga3);
        ProgressSteps steps(progress, int(content.count('\n') + 1));
        QString quarter;
        int done = 0;
        for (qsizetype from = 0; from < content.size();) {
            qsizetype to = content.indexOf('\n', from);
            if (to < 0)
                to = content.size();
            QByteArray line = content.mid(from, to - from);
            from = to + 1;
            if (line.endsWith('\r'))
                line.chop(1);
            steps.step(++done);
            // Each test on its own: a line may be a header and a record at once.
            if (line.contains(lines.headerMarker)) {
                const QString text = decoded(line, lines.header);
                headers.add(text, lines.header);
                // Tri_rif, the last field of either layout's header.
                quarter = cut(text, lines.header.constLast());
            }
            if (line.startsWith('1'))
                technicians.add(decoded(line, lines.technician), lines.technician);
            if (line.startsWith('2'))
                interventions.add(decoded(line, interventionSlices()), interventionSlices(), {{QStringLiteral("Trimestre"), quarter}});
        }
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return false;
    }
    d->riga1.last();
    d->riga2.first();
    d->riga3.first();
    return true;
}

Staged QuarterlyImport::staged() const
{
    const auto count = [](const Table &table) { return table.isOpen() ? table.recordCount() : 0; };
    return {count(d->riga1), count(d->riga2), count(d->riga3)};
}

Merged QuarterlyImport::merge(const Progress &progress)
{
    try {
        return d->merge(progress);
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return {};
    }
}

Merged QuarterlyImport::Private::merge(const Progress &progress)
{
    Merged merged;
    const QString year = riga1.isOpen() && !riga1.isEmpty() ? riga1.asString(QStringLiteral("Anno_rif")) : QString();
    if (year != state.AnnoLavoro) {
        Messages::plain(QStringLiteral("Per acquisire i dati da un file è necessario che anno del programma (") + state.AnnoLavoro
                        + QStringLiteral(") sia = all") + QLatin1Char('"') + QStringLiteral("anno delle verifiche contenute nel file (")
                        + year + QStringLiteral(").!!"));
        return merged;
    }

    Table municipalities, authorisations, technicians, models, shops, interventions;
    const QString data = state.dataDir();
    openOwn(municipalities, data, QStringLiteral("COMUNI_new"));
    openOwn(authorisations, data, QStringLiteral("Lsoggetto_obbligato"));
    openOwn(technicians, data, QStringLiteral("tecnici"));
    openOwn(models, data, QStringLiteral("ms"));
    openOwn(shops, data, QStringLiteral("esercizio"));
    openOwn(interventions, state.yearDir(), QStringLiteral("misurazioni2"));

    // What is in the registries, by what the merge looks it up by; the rows it creates join them.
    QHash<QString, QVariant> shopIds = firstByKey(shops, {QStringLiteral("Piva")}, QStringLiteral("Id_esercizio"));
    QHash<QString, QVariant> modelIds = firstByKey(models, {QStringLiteral("Denominazione_ms")}, QStringLiteral("Id_ms"));
    const QHash<QString, QVariant> authorisationIds =
        firstByKey(authorisations, {QStringLiteral("Id_al_sigillo")}, QStringLiteral("Id_Lsogg"));
    QHash<QString, QVariant> technicianIds =
        firstByKey(technicians, {QStringLiteral("Cf"), QStringLiteral("Id_nu_sigillo")}, QStringLiteral("Id_tecnico"));
    struct Town {
        QString name, province, postcode;
    };
    QHash<QString, Town> municipalityOf;
    for (int row = municipalities.recordCount() - 1; row >= 0; --row) {
        const QString name = municipalities.valueAt(row, QStringLiteral("COMUNE")).toString();
        municipalityOf.insert(name, {name, municipalities.valueAt(row, QStringLiteral("PROVINCIAI")).toString(),
                                     municipalities.valueAt(row, QStringLiteral("CAP")).toString()});
    }
    const QHash<QString, QVariant> interventionIds =
        firstByKey(interventions, {QStringLiteral("Matricola_ms"), QStringLiteral("Tipo_intervento")}, QStringLiteral("Id_misurazioni"));
    QSet<QString> present(interventionIds.keyBegin(), interventionIds.keyEnd());

    // The staged rows, read without moving the cursor the window's grid follows.
    const int count = riga3.recordCount();
    const Slices &slices = interventionSlices();
    std::vector<StagedIntervention> rows(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        StagedIntervention &staged = rows[size_t(row)];
        for (int f = 0; f < Quarter; ++f)
            staged[size_t(f)] = riga3.valueAt(row, slices[f].field).toString();
        staged[Quarter] = riga3.valueAt(row, QStringLiteral("Trimestre")).toString();
    }

    struct Resolved {
        QVariant shop, model, technician, start, end;
    };
    std::vector<Resolved> resolved;
    resolved.reserve(size_t(count));
    ProgressSteps steps(progress, 2 * count);
    int nextShop = ProssimoId(shops, QStringLiteral("Id_esercizio"));
    int nextModel = ProssimoId(models, QStringLiteral("Id_ms"));
    int nextTechnician = ProssimoId(technicians, QStringLiteral("Id_tecnico"));
    int nextIntervention = ProssimoId(interventions, QStringLiteral("Id_misurazioni"));
    std::optional<int> badRow;
    QString badDate;

    // The registries first, so that no intervention is ever stored before what it refers to.
    {
        engine::BulkScope bulk;
        for (int row = 0; row < count; ++row) {
            steps.step(row + 1);
            const StagedIntervention &staged = rows[size_t(row)];
            Resolved r;

            const QString vat = staged[Vat].toUpper();
            r.shop = shopIds.value(vat);
            if (!r.shop.isValid()) {
                const QString name = staged[Municipality].toUpper();
                if (!name.isEmpty() && !municipalityOf.contains(name)) {
                    postRow(municipalities, {{QStringLiteral("COMUNE"), name}, {QStringLiteral("PROVINCIAI"), staged[Province]},
                                             {QStringLiteral("CAP"), staged[Postcode]}});
                    municipalityOf.insert(name, {name, staged[Province], staged[Postcode]});
                    ++merged.municipalities;
                }
                const Town town = municipalityOf.value(name);
                r.shop = nextShop++;
                postRow(shops, {{QStringLiteral("Id_esercizio"), r.shop}, {QStringLiteral("Ragione_sociale"), staged[Company].toUpper()},
                                {QStringLiteral("Cap"), town.postcode}, {QStringLiteral("Comune"), town.name},
                                {QStringLiteral("Provincia"), town.province}, {QStringLiteral("Indirizzo"), staged[Address].toUpper()},
                                {QStringLiteral("Piva"), vat}});
                shopIds.insert(vat, r.shop);
                ++merged.shops;
            }

            const QString modelName = staged[Model].toUpper();
            r.model = modelIds.value(modelName);
            if (!r.model.isValid()) {
                r.model = nextModel++;
                postRow(models, {{QStringLiteral("Id_ms"), r.model}, {QStringLiteral("Denominazione_ms"), modelName},
                                 {QStringLiteral("Marchio_ms"), staged[Brand].toUpper()},
                                 {QStringLiteral("Logotipo_ms"), staged[Logotype].toUpper()}});
                modelIds.insert(modelName, r.model);
                ++merged.models;
            }

            const QString fiscalCode = staged[Cf].toUpper();
            const QString seal = staged[TechnicianSeal].toUpper();
            const QString technician = keyOf({fiscalCode, seal});
            r.technician = technicianIds.value(technician);
            if (!r.technician.isValid()) {
                r.technician = nextTechnician++;
                const QVariant authorisation = authorisationIds.value(staged[Seal]);
                postRow(technicians, {{QStringLiteral("Id_tecnico"), r.technician}, {QStringLiteral("Cf"), fiscalCode},
                                      {QStringLiteral("Id_nu_sigillo"), seal}, {QStringLiteral("Id_sogg"), authorisation}});
                technicianIds.insert(technician, r.technician);
                ++merged.technicians;
                if (!authorisation.isValid())
                    Messages::plain(QStringLiteral("Il tecnico con codice fiscale %1 è stato inserito senza abilitazione: nessuna "
                                                   "abilitazione del soggetto obbligato ha l'identificativo «%2».")
                                        .arg(fiscalCode, staged[Seal]));
            }

            const std::optional<QVariant> start = dateOf(staged[Start]);
            const std::optional<QVariant> end = dateOf(staged[End]);
            if (!start || !end) {
                badRow = row;
                badDate = start ? staged[End] : staged[Start];
                break;
            }
            r.start = *start;
            r.end = *end;
            resolved.push_back(r);
        }
    }

    {
        engine::BulkScope bulk;
        for (int row = 0; row < int(resolved.size()); ++row) {
            steps.step(count + row + 1);
            const StagedIntervention &staged = rows[size_t(row)];
            const Resolved &r = resolved[size_t(row)];
            const QString serial = staged[Serial].trimmed().toUpper();
            const QString key = keyOf({serial, staged[Type]});
            if (present.contains(key)) {
                ++merged.skipped;
                continue;
            }
            const QDate end = r.end.toDate();
            postRow(interventions,
                    {{QStringLiteral("Id_misurazioni"), nextIntervention++},
                     {QStringLiteral("Id_esercizio"), r.shop},
                     {QStringLiteral("Id_ms"), r.model},
                     {QStringLiteral("Id_tecnico"), r.technician},
                     {QStringLiteral("INDIRIZZO"), staged[Address].toUpper()},
                     {QStringLiteral("CAP"), staged[Postcode].toUpper()},
                     {QStringLiteral("COMUNE"), staged[Municipality].toUpper()},
                     {QStringLiteral("PROVINCIA"), staged[Province].toUpper()},
                     {QStringLiteral("Matricola_ms"), serial},
                     {QStringLiteral("Data_ini"), r.start},
                     {QStringLiteral("Data_fine"), r.end},
                     {QStringLiteral("Trimestre"), staged[Quarter]},
                     {QStringLiteral("Tipo_intervento"), staged[Type]},
                     {QStringLiteral("Esito"), staged[Outcome]},
                     // As the record rules would: a record without end date belongs to 1899.
                     {QStringLiteral("ANNO"), QString::number(end.isValid() ? end.year() : 1899).rightJustified(4, QLatin1Char('0'))}});
            present.insert(key);
            ++merged.added;
        }
    }

    if (badRow) {
        riga3.setRecNo(*badRow + 1);
        Messages::plain(QStringLiteral("Data non valida nella riga %1: %2").arg(riga3.asString(QStringLiteral("Id")), badDate));
        return merged;
    }
    riga1.close();
    riga2.close();
    riga3.close();
    merged.done = true;
    return merged;
}

void QuarterlyImport::close()
{
    d->riga1.close();
    d->riga2.close();
    d->riga3.close();
}

} // namespace importer
