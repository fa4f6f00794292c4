#include "app/demo.h"

#include "codfis/piva.h"
#include "data/catalogue.h"
#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/state.h"
#include "registries/tecnici.h"
#include "years/yearopening.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <iterator>

using engine::EngineError;
using demo::Summary;
using engine::Table;

namespace {

constexpr quint32 Seed = 4022021;

[[noreturn]] void fail(const QString &text)
{
    throw EngineError(text);
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

int quarterOf(const QDate &date)
{
    return (date.month() - 1) / 3 + 1;
}

// --- The laboratory, its authorisations and technicians.

const char *const LaboratoryName = "VERIFICHE FISCALI ADRIATICA S.R.L.";
const char *const LaboratoryMunicipality = "PESCARA";

struct Authorisation {
    const char *type;  // "1" authorised manufacturer, "2" independent laboratory
    const char *seal;
    int yearsBefore;   // of the authorising act
};
const Authorisation authorisations[] = {
    {"2", "PE0417LA", 9},
    {"1", "PE0417FA", 4},
};

struct Technician {
    const char *surname;
    const char *name;
    const char *sex;
    const char *birth;      // dd/MM/yyyy
    const char *birthPlace;
    const char *seal;
    const char *responsible;
    const char *education;
    int authorisation;      // index in authorisations
};
const Technician technicians[] = {
    {"ROSSI", "MARIO", "M", "12/03/1975", "PESCARA", "0101", "1", "4", 0},
    {"D'ANGELO", "LUCA", "M", "05/11/1982", "L'AQUILA", "0102", "0", "3", 0},
    {"DE LUCA", "ANNA", "F", "21/07/1988", "FORLÌ", "0103", "0", "3", 0},
    {"FERRARI", "MARCO", "M", "30/01/1979", "CHIETI", "0104", "0", "2", 0},
    {"SANNA", "GIULIA", "F", "14/02/1985", "SANT'ANTIOCO", "0201", "1", "4", 1},
    {"ESPOSITO", "GIUSEPPE", "M", "09/09/1970", "NAPOLI", "0202", "0", "3", 1},
    {"COLOMBO", "FRANCESCA", "F", "03/05/1992", "MILANO", "0203", "0", "3", 1},
    {"MARINO", "ANDREA", "M", "27/12/1995", "TERAMO", "0105", "0", "3", 0},
};
constexpr int TechnicianCount = int(std::size(technicians));

// The history reported to the tax agency, in the order it happened: six technicians joined in
// earlier years; in the demo year one more joins in each of the first and third quarters, one
// obtains a degree in the second, and one leaves in the fourth.
enum class Event { Join, Change, Leave };
struct TechnicianEvent {
    Event event;
    int technician;
    int yearsBefore;
    int month;
    int day;
};
const TechnicianEvent history[] = {
    {Event::Join, 0, 8, 2, 1},   {Event::Join, 4, 8, 2, 1},  {Event::Join, 1, 6, 6, 15},
    {Event::Join, 3, 5, 3, 1},   {Event::Join, 2, 4, 9, 10}, {Event::Join, 5, 3, 4, 20},
    {Event::Join, 6, 0, 2, 13},  {Event::Change, 2, 0, 5, 12}, {Event::Join, 7, 0, 7, 8},
    {Event::Leave, 3, 0, 10, 31},
};
const char *const DegreeCode = "4"; // Titolo_studio "4=Laurea;"

// --- Shops and meter models.

// Every name of this list is given to a shop, the first ones with their accents and apostrophes.
const char *const municipalities[] = {
    "L'AQUILA", "FORLÌ", "SANT'ANTIOCO", "CANTÙ", "NARDÒ", "PATERNÒ", "CITTÀ DI CASTELLO",
    "REGGIO NELL'EMILIA", "SAN DONÀ DI PIAVE", "SANT'ELPIDIO A MARE", "PESCARA", "CHIETI", "TERAMO",
    "MONTESILVANO", "SPOLTORE", "FRANCAVILLA AL MARE", "ORTONA", "LANCIANO", "VASTO", "GIULIANOVA",
    "ROSETO DEGLI ABRUZZI", "ATRI", "PENNE", "SULMONA", "AVEZZANO", "CASTEL DI SANGRO",
    "SAN BENEDETTO DEL TRONTO", "ASCOLI PICENO", "CAMPOBASSO", "ROMA", "MILANO", "BOLOGNA",
};
const char *const shopKinds[] = {
    "BAR", "TABACCHERIA", "PANIFICIO", "FARMACIA", "RISTORANTE", "PIZZERIA", "ALIMENTARI",
    "MACELLERIA", "FERRAMENTA", "CARTOLERIA", "PROFUMERIA", "GELATERIA", "PASTICCERIA", "EDICOLA",
    "OTTICA", "ABBIGLIAMENTO", "CALZATURE", "FIORERIA", "TRATTORIA", "ENOTECA",
};
const char *const surnames[] = {
    "ROSSI", "RUSSO", "FERRARI", "BIANCHI", "ROMANO", "RICCI", "GRECO", "BRUNO", "GALLO", "CONTI",
    "DE LUCA", "MANCINI", "COSTA", "GIORDANO", "RIZZO", "LOMBARDI", "MORETTI", "D'ALESSANDRO",
    "DELL'ORCO", "DI MARCO", "FABBRI", "CARUSO", "PIRAS", "DI GIACOMO", "D'ANNUNZIO", "CICCONE",
};
const char *const companyForms[] = {"", " S.N.C.", " S.R.L.", " & C. S.A.S.", " E FIGLI"};
const char *const streets[] = {
    "VIA ROMA", "CORSO UMBERTO I", "VIA GARIBALDI", "PIAZZA DEL POPOLO", "VIA MAZZINI",
    "VIALE DELLA REPUBBLICA", "VIA DANTE ALIGHIERI", "VIA XX SETTEMBRE", "VIA DELL'INDUSTRIA",
    "PIAZZA SANT'ANDREA", "VIA CAVOUR", "VIA MARCONI",
};

struct MeterModel {
    const char *brand;
    const char *model;
    const char *logotype;
    int serialDigits;  // after the logotype: 8 or 9 characters in all
};
// The last model's logotype is malformed: only the rows made malformed on purpose use it.
const MeterModel models[] = {
    {"OLIVETTI", "NETTUNA 300", "OL", 7}, {"OLIVETTI", "FORM 200 PLUS", "OL", 7},
    {"RCH", "ONDA", "RC", 7},             {"RCH", "PRINT F", "RC", 7},
    {"CUSTOM", "KUBE II F", "CU", 6},     {"CUSTOM", "Q3X F", "CU", 6},
    {"EPSON", "FP-81 II RT", "EP", 7},    {"DITRON", "ZIP EVOLUTION", "DT", 7},
    {"MICRELEC", "HYDRA", "MC", 6},       {"SAREMA", "XR1", "SA", 7},
    {"AXON", "SMART", "AX", 6},           {"CUSTOM", "VEGA F", "C-", 7},
};
constexpr int ModelCount = int(std::size(models));
constexpr int MalformedModel = ModelCount - 1;

template<class T, size_t n>
const T &pick(const T (&list)[n], QRandomGenerator &random)
{
    return list[random.bounded(int(n))];
}

// Ten digits (a serial number and the office code) and the one check digit PivaValida accepts.
QString vatNumber(int serial, int office)
{
    const QString digits = QString::number(serial).rightJustified(7, QLatin1Char('0'))
                         + QString::number(office).rightJustified(3, QLatin1Char('0'));
    for (char check = '0'; check <= '9'; ++check) {
        if (PivaValida(digits + QLatin1Char(check)))
            return digits + QLatin1Char(check);
    }
    fail(QStringLiteral("Nessuna cifra di controllo per la partita IVA %1").arg(digits));
}

// A different number below ten million for every index, scattered so that neighbours do not look alike.
int scattered(int index, int offset)
{
    return int((qint64(index) * 3344677 + offset) % 10000000);
}

// --- Interventions.

enum class Malformation { None, Logotype, ShortSerial, EmptyStart };

struct Planned {
    QDate start;
    QDate end;
    char type;
    bool negative;
    Malformation malformation;
    int shop;
    int model;
    int technician;
    int serial;
};

// Sundays are no working days: a Sunday moves to its neighbour inside the same quarter.
QDate workingDay(QDate date)
{
    if (date.dayOfWeek() != Qt::Sunday)
        return date;
    const QDate next = date.addDays(1);
    return quarterOf(next) == quarterOf(date) ? next : date.addDays(-1);
}

struct Interval {
    QDate from;
    QDate to; // null while the technician still works
    bool covers(const QDate &date) const { return from <= date && (to.isNull() || date <= to); }
};

QList<Planned> planInterventions(int count, int year, int shops, const Interval (&working)[TechnicianCount],
                                 QRandomGenerator &random)
{
    const QDate first(year, 1, 1);
    QList<Planned> plans;
    plans.reserve(count);
    for (int i = 0; i < count; ++i) {
        Planned p{};
        // The first twelve give every type in every quarter; the others follow the laboratory's mix.
        if (i < 12) {
            const QDate quarterStart(year, (i % 4) * 3 + 1, 1);
            p.end = quarterStart.addDays(random.bounded(int(quarterStart.daysTo(quarterStart.addMonths(3)))));
            p.type = char('1' + i / 4);
        } else {
            p.end = first.addDays(random.bounded(first.daysInYear()));
            const int mix = random.bounded(10);
            p.type = mix < 2 ? '1' : mix < 3 ? '2' : '3';
        }
        p.end = workingDay(p.end);
        const int length = random.bounded(10);
        p.start = workingDay(std::max(first, p.end.addDays(length < 6 ? 0 : length < 9 ? -1 : -3)));
        // A periodic verification can fail; the twelfth always does, so that small archives show it.
        p.negative = p.type == '3' && (i == 11 || random.bounded(100) < 5);
        p.shop = random.bounded(shops);
        p.model = random.bounded(MalformedModel);
        int available[TechnicianCount];
        int availableCount = 0;
        for (int t = 0; t < TechnicianCount; ++t) {
            if (working[t].covers(p.end))
                available[availableCount++] = t;
        }
        p.technician = available[random.bounded(availableCount)];
        p.serial = scattered(i, 1000003);
        plans.append(p);
    }
    // A few rows, spread over the year, carry what an imported record can carry.
    const int malformed = std::max(3, count / 100);
    for (int j = 0; j < malformed; ++j) {
        Planned &p = plans[12 + qint64(j) * (count - 12) / malformed];
        p.malformation = Malformation(int(Malformation::Logotype) + j % 3);
        if (p.malformation == Malformation::Logotype)
            p.model = MalformedModel;
    }
    // Entered as they happen: ids follow the end dates.
    std::stable_sort(plans.begin(), plans.end(), [](const Planned &a, const Planned &b) { return a.end < b.end; });
    return plans;
}

QString serialNumber(const Planned &p)
{
    const MeterModel &model = models[p.model];
    const int digits = p.malformation == Malformation::ShortSerial ? 5 : model.serialDigits;
    const QString number = QString::number(p.serial).rightJustified(7, QLatin1Char('0')).right(digits);
    return QString::fromLatin1(p.malformation == Malformation::Logotype ? "99" : model.logotype) + number;
}

// --- Writing through the data module.

class Builder {
public:
    Builder(Tdm &data, int year, Summary &summary)
        : m_data(data), m_year(year), m_summary(summary)
    {
    }

    void laboratory();
    void technicianHistory();
    void shops(int count);
    void meterModels();
    void interventions(int count, const demo::Progress &progress);

private:
    void report(Variation variation, const QDate &when);

    Tdm &m_data;
    int m_year;
    Summary &m_summary;
    QRandomGenerator m_random{Seed};
    Interval m_working[TechnicianCount];
    QList<int> m_authorisationIds;
    int m_technicianIds[TechnicianCount] = {};
    QList<int> m_shopIds;
    QStringList m_shopMunicipalities;
    QStringList m_shopAddresses;
    QList<int> m_modelIds;
};

void Builder::laboratory()
{
    Table *lab = m_data.Tabsoggetto;
    lab->append();
    lab->setValue(QStringLiteral("PG_PF"), QStringLiteral("0"));
    lab->setValue(QStringLiteral("PG_denominazione"), text(LaboratoryName));
    lab->setValue(QStringLiteral("PG_comune_fiscale"), text(LaboratoryMunicipality));
    const QString vat = vatNumber(1847360, 68);
    lab->setValue(QStringLiteral("Piva"), vat);
    // A company's fiscal code is its VAT number.
    lab->setValue(QStringLiteral("CF"), vat);
    lab->post();

    Table *auth = m_data.TabLsogg;
    for (const Authorisation &a : authorisations) {
        auth->append();
        auth->setValue(QStringLiteral("Tipo_abilitazione"), text(a.type));
        auth->setValue(QStringLiteral("Id_al_sigillo"), text(a.seal));
        auth->setValue(QStringLiteral("Tipo_provv"), QStringLiteral("DECRETO DIRIGENZIALE"));
        auth->setValue(QStringLiteral("Data_provv"), QDate(m_year - a.yearsBefore, 3, 15));
        m_authorisationIds.append(auth->asInteger(QStringLiteral("Id_Lsogg")));
        auth->post();
        ++m_summary.authorisations;
    }
}

// A variation row as the technicians window writes it, stamped with the working year of the time and
// the quarter of the event.
void Builder::report(Variation variation, const QDate &when)
{
    recordVariation(m_data, variation, QString::number(when.year()), quarterOf(when));
}

void Builder::technicianHistory()
{
    Table *t = m_data.Tabtecnico;
    for (const TechnicianEvent &e : history) {
        const QDate when(m_year - e.yearsBefore, e.month, e.day);
        const Technician &who = technicians[e.technician];
        if (e.event == Event::Join) {
            t->append();
            // The rules fill Cogn_nome, Prov_nascita and Cf as these change.
            t->setValue(QStringLiteral("Cognome"), text(who.surname));
            t->setValue(QStringLiteral("Nome"), text(who.name));
            t->setValue(QStringLiteral("Sesso"), text(who.sex));
            t->setValue(QStringLiteral("Data_nascita"), QDate::fromString(text(who.birth), QStringLiteral("dd/MM/yyyy")));
            t->setValue(QStringLiteral("Comune_nascita"), text(who.birthPlace));
            t->setValue(QStringLiteral("Id_nu_sigillo"), text(who.seal));
            t->setValue(QStringLiteral("Responsabile"), text(who.responsible));
            t->setValue(QStringLiteral("Titolo_studio"), text(who.education));
            t->setValue(QStringLiteral("Data_inizio"), when);
            t->setValue(QStringLiteral("Id_sogg"), m_authorisationIds.at(who.authorisation));
            m_technicianIds[e.technician] = t->asInteger(QStringLiteral("Id_tecnico"));
            m_working[e.technician].from = when;
            ++m_summary.technicians;
        } else {
            if (!t->locate(QStringLiteral("Id_tecnico"), {m_technicianIds[e.technician]}))
                fail(QStringLiteral("Tecnico %1 non trovato").arg(text(who.surname)));
            t->edit();
            if (e.event == Event::Change) {
                t->setValue(QStringLiteral("Titolo_studio"), text(DegreeCode));
            } else {
                t->setValue(QStringLiteral("Data_fine"), when);
                m_working[e.technician].to = when;
            }
        }
        t->post();
        report(e.event == Event::Join     ? Variation::NewTechnician
               : e.event == Event::Change ? Variation::OtherData
                                          : Variation::EndOfCollaboration,
               when);
        ++m_summary.variations;
    }
}

void Builder::shops(int count)
{
    Table *shop = m_data.Tabesercizio;
    constexpr int listed = int(std::size(municipalities));
    for (int i = 0; i < count; ++i) {
        const QString name = text(pick(shopKinds, m_random)) + QLatin1Char(' ') + text(pick(surnames, m_random))
                           + text(pick(companyForms, m_random));
        const QString municipality = text(municipalities[i < listed ? i : m_random.bounded(listed)]);
        const QString address = text(pick(streets, m_random)) + QStringLiteral(", ") + QString::number(m_random.bounded(1, 200));
        shop->append();
        shop->setValue(QStringLiteral("Ragione_sociale"), name);
        shop->setValue(QStringLiteral("Piva"), vatNumber(scattered(i, 3141592), m_random.bounded(1, 101)));
        // The rule fills Provincia and Cap from the municipality.
        shop->setValue(QStringLiteral("Comune"), municipality);
        shop->setValue(QStringLiteral("Indirizzo"), address);
        m_shopIds.append(shop->asInteger(QStringLiteral("Id_esercizio")));
        shop->post();
        m_shopMunicipalities.append(municipality);
        m_shopAddresses.append(address);
    }
    m_summary.shops = count;
}

void Builder::meterModels()
{
    Table *ms = m_data.Tabms;
    for (const MeterModel &model : models) {
        ms->append();
        ms->setValue(QStringLiteral("Marchio_ms"), text(model.brand));
        ms->setValue(QStringLiteral("Denominazione_ms"), text(model.model));
        ms->setValue(QStringLiteral("Logotipo_ms"), text(model.logotype));
        m_modelIds.append(ms->asInteger(QStringLiteral("Id_ms")));
        ms->post();
    }
    m_summary.models = ModelCount;
}

void Builder::interventions(int count, const demo::Progress &progress)
{
    const QList<Planned> plans = planInterventions(count, m_year, int(m_shopIds.size()), m_working, m_random);
    Table *row = m_data.Tabmisurazioni;
    const int total = int(plans.size());
    const int step = std::max(1, total / 100);
    int done = 0;
    for (const Planned &p : plans) {
        row->append();
        // Choosing the shop empties the address, which the window then copies from the shop.
        row->setValue(QStringLiteral("Id_esercizio"), m_shopIds.at(p.shop));
        row->setValue(QStringLiteral("Id_ms"), m_modelIds.at(p.model));
        row->setValue(QStringLiteral("Id_tecnico"), m_technicianIds[p.technician]);
        row->setValue(QStringLiteral("Matricola_ms"), serialNumber(p));
        row->setValue(QStringLiteral("Tipo_intervento"), QString(QLatin1Char(p.type)));
        if (p.malformation != Malformation::EmptyStart)
            row->setValue(QStringLiteral("Data_ini"), p.start);
        // The rule derives Trimestre and ANNO.
        row->setValue(QStringLiteral("Data_fine"), p.end);
        row->setValue(QStringLiteral("Esito"), p.negative ? QStringLiteral("1") : QStringLiteral("0"));
        // The rule fills PROVINCIA and CAP.
        row->setValue(QStringLiteral("COMUNE"), m_shopMunicipalities.at(p.shop));
        row->setValue(QStringLiteral("INDIRIZZO"), m_shopAddresses.at(p.shop));
        if (p.type != '2' && !p.negative)
            row->setValue(QStringLiteral("data_nuova_verifica"), p.end.addYears(2));
        const int base = p.type == '1' ? 90 : p.type == '2' ? 50 : 60;
        row->setValue(QStringLiteral("importo"), double(base + 5 * m_random.bounded(10)));
        row->setValue(QStringLiteral("ivato"), true);
        row->setValue(QStringLiteral("fatturato"), m_random.bounded(10) < 9);
        row->setValue(QStringLiteral("pagato"), m_random.bounded(10) < 8);
        // The rule takes the shop's company name and VAT number.
        row->post();
        m_summary.negative += p.negative;
        m_summary.malformed += p.malformation != Malformation::None;
        ++done;
        if (progress && (done % step == 0 || done == total))
            progress(done, total);
    }
    m_summary.interventions = total;
}

// Every municipality the demo names must be in the archive's list, or the rules would leave provinces,
// postal codes and fiscal codes empty: a list cut short by a failed write is refused here.
void requireMunicipalities(const Table &list)
{
    QStringList names{text(LaboratoryMunicipality)};
    for (const Technician &t : technicians)
        names << text(t.birthPlace);
    for (const char *name : municipalities)
        names << text(name);
    for (const QString &name : std::as_const(names)) {
        if (!list.lookup(QStringLiteral("COMUNE"), {name}, QStringLiteral("COMUNE")).isValid())
            fail(QStringLiteral("Il comune %1 manca dall'elenco dei comuni di %2: l'archivio non è completo.")
                     .arg(name, QDir::toNativeSeparators(list.filePath())));
    }
}

// Everything an archive is made of, relative to its base directory.
QStringList archiveEntries(int year)
{
    return {QStringLiteral("sigillo.INI"), QStringLiteral("dati"), QStringLiteral("vuoto"),
            QStringLiteral("vuoto_dati"), QStringLiteral("importdb"), QString::number(year)};
}

// What a fresh cursor reads from the files, so that a write the engine lost shows up here.
void checkWritten(const Summary &summary, const AppState &state)
{
    const struct {
        QString directory;
        const char *table;
        int rows;
    } expected[] = {
        {state.dataDir(), "soggetto_obbligato", 1},
        {state.dataDir(), "Lsoggetto_obbligato", summary.authorisations},
        {state.dataDir(), "tecnici", summary.technicians},
        {state.dataDir(), "MOD_TECNICI", summary.variations},
        {state.dataDir(), "esercizio", summary.shops},
        {state.dataDir(), "ms", summary.models},
        {state.yearDir(), "misurazioni2", summary.interventions},
    };
    for (const auto &table : expected) {
        Table cursor;
        cursor.setDirectory(table.directory);
        cursor.setTableName(text(table.table));
        cursor.open();
        if (cursor.recordCount() != table.rows)
            fail(QStringLiteral("La tabella %1 dell'archivio dimostrativo ha %2 righe invece di %3: l'archivio non è completo.")
                     .arg(QDir::toNativeSeparators(cursor.filePath()))
                     .arg(cursor.recordCount())
                     .arg(table.rows));
    }
}

} // namespace

namespace demo {

Summary build(const Request &request, const Progress &progress)
{
    const int year = request.year == 0 ? QDate::currentDate().year() : request.year;
    if (year < FirstAuthorisationYear || year > LastAuthorisationYear)
        fail(QStringLiteral("Anno %1 non valido: l'anno va dal %2 al %3.").arg(year).arg(FirstAuthorisationYear).arg(LastAuthorisationYear));
    if (request.interventions < MinimumInterventions || request.interventions > MaximumInterventions)
        fail(QStringLiteral("Numero di interventi %1 non valido: va da %2 a %3.")
                 .arg(request.interventions)
                 .arg(MinimumInterventions)
                 .arg(MaximumInterventions));
    if (request.shops < 0 || request.shops > MaximumInterventions)
        fail(QStringLiteral("Numero di esercizi %1 non valido.").arg(request.shops));
    if (request.folder.isEmpty())
        fail(QStringLiteral("Manca la cartella dell'archivio dimostrativo."));
    if (dm)
        fail(QStringLiteral("Gli archivi sono aperti: l'archivio dimostrativo si crea con i dati chiusi."));

    const QString folder = QFileInfo(request.folder).absoluteFilePath();
    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isDir())
        fail(QStringLiteral("%1 non è una cartella.").arg(QDir::toNativeSeparators(folder)));
    for (const QString &entry : archiveEntries(year)) {
        if (QFileInfo::exists(QDir(folder).filePath(entry)))
            fail(QStringLiteral("La cartella %1 contiene già %2: l'archivio dimostrativo si crea solo in una cartella "
                                "senza archivio, e nulla viene sovrascritto.")
                     .arg(QDir::toNativeSeparators(folder), entry));
    }
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Impossibile creare la cartella %1.").arg(QDir::toNativeSeparators(folder)));

    AppState &state = appState();
    state = AppState();
    state.DirBase = withTrailingSeparator(folder);
    // Both authorisations are listed for the year; the per-year restriction stays off.
    for (int slot = 1; slot <= int(std::size(authorisations)); ++slot)
        state.abilitazione(year, slot) = text(authorisations[slot - 1].seal);
    QString error;
    if (!config::writeFile(QDir(folder).filePath(QStringLiteral("sigillo.INI")), state, &error))
        fail(QStringLiteral("Impossibile scrivere il file di configurazione: %1").arg(error));

    catalogue::ensureTemplates(state);
    const QString yearText = QString::number(year);
    if (!years::CreaAnno(yearText))
        fail(QStringLiteral("Impossibile creare l'anno %1 dai modelli in %2.").arg(yearText, QDir::toNativeSeparators(folder)));
    state.AnnoLavoro = yearText;

    Summary summary;
    summary.folder = state.DirBase;
    summary.year = year;
    {
        Tdm data;
        if (!data.Tabmisurazioni->isOpen())
            fail(QStringLiteral("L'anno %1 non si apre in %2.").arg(yearText, QDir::toNativeSeparators(folder)));
        requireMunicipalities(*data.Tabcomuni);
        Builder builder(data, year, summary);
        engine::BulkScope bulk;
        builder.laboratory();
        builder.technicianHistory();
        builder.shops(request.shops > 0 ? request.shops : std::max(20, request.interventions / 5));
        builder.meterModels();
        builder.interventions(request.interventions, progress);
    }
    checkWritten(summary, state);
    return summary;
}

} // namespace demo
