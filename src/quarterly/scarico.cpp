#include "quarterly/scarico.h"

#include "codfis/codfis.h"
#include "codfis/piva.h"
#include "data/engine/filtertext.h"
#include "data/engine/query.h"
#include "data/engine/table.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "ground/savefile.h"
#include "ground/windows1252.h"
#include "register/misurazioni.h"
#include "registries/misuratori.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <QSet>

#include <cmath>

namespace quarterly {

using engine::Table;

namespace {

// A builder message: the generation shows it, the check keeps quiet.
using Say = std::function<void(const QString &)>;

const QString Header = QStringLiteral("0MIS0026");
const QString Trailer = QStringLiteral("9MIS0026");

// Appends the fields of a record, each filled with spaces up to its width; a longer value is kept
// whole and moves the fields after it.
class RecordBuilder {
public:
    RecordBuilder()
    {
        m_record.yielded = true;
        m_record.text.reserve(RecordLength + 2);
    }

    RecordBuilder &field(const QString &name, const QString &value, int width)
    {
        const qsizetype start = m_record.text.size();
        m_record.text += value;
        if (value.size() < width)
            m_record.text.resize(start + width, QLatin1Char(' '));
        m_record.fields.append({name, start, m_record.text.size() - start});
        return *this;
    }

    // A field that says its message once for every character it lacks, filled with a space each time.
    RecordBuilder &saidField(const QString &name, const QString &value, int width, const QString &message, const Say &say)
    {
        for (qsizetype missing = width - value.size(); missing > 0; --missing)
            say(message);
        return field(name, value, width);
    }

    RecordBuilder &blank(int width)
    {
        m_record.text.resize(m_record.text.size() + width, QLatin1Char(' '));
        return *this;
    }

    Record done()
    {
        field(QStringLiteral("marcatore di fine record"), QStringLiteral("A"), 1);
        return std::move(m_record);
    }

private:
    Record m_record;
};

// A date as the file writes it, DDMMYYYY: the digits of its day/month/year rendering; empty when null.
QString digitsOf(const QDate &date)
{
    if (!date.isValid())
        return {};
    if (date.year() < 1000 || date.year() > 9999)
        return SoloCifre(date.toString(QStringLiteral("dd/MM/yyyy")));
    QString digits(8, Qt::Uninitialized);
    QChar *out = digits.data();
    const auto put = [&out](int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            out[i] = QLatin1Char(char('0' + value % 10));
        out += width;
    };
    put(date.day(), 2);
    put(date.month(), 2);
    put(date.year(), 4);
    return digits;
}

QString digitsOf(const Table &table, const QString &dateField)
{
    return digitsOf(table.value(dateField).toDate());
}

// A line as the file holds it: Windows-1252, with "?" for what the code page or a fixed-length line
// cannot hold (a character outside the page, a control character).
struct EncodingProblem {
    qsizetype position;
    QString description;
};

bool fitsAsIs(char16_t unit)
{
    return (unit >= 0x20 && unit < 0x7F) || (unit >= 0xA0 && unit <= 0xFF);
}

// Appends the line to out as the file holds it; gives back the number of bytes it took.
qsizetype encodeInto(QByteArray &out, const QString &line, QList<EncodingProblem> &problems)
{
    const char16_t *units = reinterpret_cast<const char16_t *>(line.constData());
    const qsizetype size = line.size();
    const qsizetype start = out.size();
    out.resize(start + size);
    char *bytes = out.data() + start;
    qsizetype written = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (fitsAsIs(unit)) {
            bytes[written++] = char(unit);
            continue;
        }
        bytes[written++] = '?';
        if (unit < 0x20 || (unit >= 0x7F && unit <= 0x9F)) {
            problems.append({i, QStringLiteral("un carattere di controllo (U+%1) viene scritto come ?")
                                    .arg(QStringLiteral("%1").arg(uint(unit), 4, 16, QLatin1Char('0')).toUpper())});
            continue;
        }
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]);
        const QString character = line.mid(i, pair ? 2 : 1);
        if (const std::optional<QByteArray> byte = windows1252::encode(character)) {
            bytes[written - 1] = byte->at(0);
            continue;
        }
        problems.append({i, QStringLiteral("il carattere %1 non può stare nel file e viene scritto come ?")
                                .arg(windows1252::describeCharacter(character))});
        if (pair)
            ++i;
    }
    out.truncate(start + written);
    return written;
}

// Writes the records of one file through a save file, in large blocks, and reports what the file
// cannot hold as it was built: a length other than 1798, characters written as "?".
class FileWriter {
public:
    FileWriter(const QString &path, const Scarico::Report &report) : m_file(path), m_report(report)
    {
        m_buffer.reserve(Block + 2 * (RecordLength + 2));
    }

    bool open() { return m_file.open(); }

    // prefix: "1" header, "2" variation, "3" intervention, "4" trailer; what names the record in a report.
    bool put(const Record &record, const char *prefix, const std::function<QString()> &what)
    {
        if (!record.yielded) {
            say(what() + QStringLiteral(": record non scritto"));
            return true;
        }
        QList<EncodingProblem> problems;
        const qsizetype length = encodeInto(m_buffer, record.text, problems);
        m_buffer += "\r\n";
        for (const EncodingProblem &problem : std::as_const(problems))
            say(QStringLiteral("%1, %2: %3").arg(what(), record.fieldAt(problem.position), problem.description));
        if (length != RecordLength)
            say(QString::fromLatin1(prefix) + QStringLiteral("--ERRORE") + QString::number(length));
        return m_buffer.size() < Block || flush();
    }

    bool commit() { return flush() && m_file.commit(); }
    QString errorString() const { return m_file.errorString(); }

private:
    static constexpr qsizetype Block = 1 << 20;

    bool flush()
    {
        const bool written = m_file.write(m_buffer);
        m_buffer.clear();
        return written;
    }
    void say(const QString &line) const
    {
        if (m_report)
            m_report(line);
    }

    SaveFile m_file;
    const Scarico::Report &m_report;
    QByteArray m_buffer;
};

// The progress bar's percent, given only when it changes.
class ProgressSteps {
public:
    ProgressSteps(const Scarico::Progress &progress, qsizetype total) : m_progress(progress), m_total(total) {}
    void step(qsizetype done)
    {
        const int percent = int(std::lround(double(done) * 100.0 / double(m_total)));
        if (percent != m_last && m_progress)
            m_progress(percent);
        m_last = percent;
    }
    // The bar goes back to 0 when the file is done, written or not.
    ~ProgressSteps()
    {
        if (m_last != 0 && m_progress)
            m_progress(0);
    }

private:
    const Scarico::Progress &m_progress;
    qsizetype m_total;
    int m_last = 0;
};

// The findings of one record: its name is made once, when the first problem is found.
class RecordFindings {
public:
    RecordFindings(QList<Finding> &found, std::function<QString()> name) : m_found(found), m_name(std::move(name)) {}

    void add(const QString &field, const QString &problem)
    {
        if (m_record.isNull())
            m_record = m_name();
        m_found.append({m_record, field, problem});
    }
    // False, with the finding, when the value is empty.
    bool required(const QString &field, const QString &value)
    {
        if (!value.trimmed().isEmpty())
            return true;
        add(field, QStringLiteral("mancante"));
        return false;
    }
    // What the file would hold of the record: characters written as "?", a length other than 1798.
    void asWritten(const Record &built)
    {
        if (!built.yielded)
            return;
        QList<EncodingProblem> problems;
        m_bytes.clear();
        const qsizetype length = encodeInto(m_bytes, built.text, problems);
        for (const EncodingProblem &problem : std::as_const(problems))
            add(built.fieldAt(problem.position), problem.description);
        if (length != RecordLength)
            add(QStringLiteral("lunghezza"), QStringLiteral("%1 caratteri invece di %2").arg(length).arg(RecordLength));
    }

private:
    QList<Finding> &m_found;
    std::function<QString()> m_name;
    QString m_record;
    QByteArray m_bytes;
};

} // namespace

QString SoloCifre(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

QString Record::fieldAt(qsizetype position) const
{
    for (const Field &f : fields) {
        if (position >= f.start && position < f.start + f.length)
            return f.name;
    }
    return QStringLiteral("riempimento");
}

QString Finding::text() const
{
    const QString where = field.isEmpty() ? record : record + QStringLiteral(", ") + field;
    return where + QStringLiteral(": ") + problem;
}

class Scarico::Private {
public:
    explicit Private(const AppState &state);

    void openRegistry(Table &table, const QString &name);
    void loadRegistries();
    bool enabledInYear(const QString &seal) const;

    // The registries an intervention refers to, by id, as they were at the selection.
    struct Technician {
        QString fiscalCode;
        QString seal; // Id_nu_sigillo
        int authorisation = 0;
    };
    struct Shop {
        QString vat;
        QString name;
    };
    struct Model {
        QString brand;
        QString name;
        QString logotype;
    };
    // One row of the selection, read once for the record and for the check.
    struct Intervention {
        int id = 0;
        int technician = 0;
        int shop = 0;
        int model = 0;
        QDate start;
        QDate end;
        QString outcome;
        QString municipality;
        QString province;
        QString address;
        QString postcode;
        QString type;
        QString serial;
    };
    Intervention read(const Table &row) const;
    // The seal identifier of the technician's authorisation; null when the technician or the
    // authorisation is missing.
    QVariant sealOf(const Technician *technician) const;

    Record header(const Table &line, const QString &kind, int quarter, const std::optional<Intermediary> &intermediary,
                  const Say &say);
    Record variation(const Table &row, const Say &say) const;
    Record intervention(const Intervention &row, const Say &say) const;

    QString describeLine(const Table &line) const;
    QString describeVariation(const Table &row) const;
    QString describeIntervention(const Intervention &row) const;

    QString dataDir;
    QString yearDir;
    QString year;
    bool restrictedYear = false; // only the authorisations listed for the working year get a file
    QStringList yearSeals;

    engine::Query Qmisurazioni;
    Table linee_sogg;
    Table Tabmod_tecnici;
    Table TTECNICI;
    Table TESERCIZIO;
    Table TMISURATORI;
    Table TSOBBL;

    QHash<int, Technician> technicians;
    QHash<int, QString> seals; // Id_Lsogg -> Id_al_sigillo
    QHash<int, Shop> shops;
    QHash<int, Model> models;
};

Scarico::Private::Private(const AppState &state)
    : dataDir(state.dataDir()), yearDir(state.yearDir()), year(state.AnnoLavoro)
{
    const int y = year.toInt();
    restrictedYear = config::gestioneAnniAttiva(state) && y >= FirstAuthorisationYear && y <= LastAuthorisationYear;
    if (restrictedYear) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            yearSeals << state.abilitazione(y, slot);
    }
    openRegistry(linee_sogg, QStringLiteral("Lsoggetto_obbligato"));
    openRegistry(Tabmod_tecnici, QStringLiteral("MOD_TECNICI"));
    openRegistry(TTECNICI, QStringLiteral("tecnici"));
    openRegistry(TESERCIZIO, QStringLiteral("esercizio"));
    openRegistry(TMISURATORI, QStringLiteral("ms"));
    openRegistry(TSOBBL, QStringLiteral("soggetto_obbligato"));
}

void Scarico::Private::openRegistry(Table &table, const QString &name)
{
    table.setDirectory(dataDir);
    table.setTableName(name);
    table.open();
}

bool Scarico::Private::enabledInYear(const QString &seal) const
{
    return !restrictedYear || yearSeals.contains(seal);
}

Record Scarico::Private::header(const Table &line, const QString &kind, int quarter,
                                const std::optional<Intermediary> &intermediary, const Say &say)
{
    // The laboratory is the table's first row.
    TSOBBL.first();
    const Table &lab = TSOBBL;
    RecordBuilder r;
    r.field(QStringLiteral("tipo record"), kind, 8)
        .field(QStringLiteral("codice fiscale del soggetto obbligato"), lab.asString(QStringLiteral("CF")), 16)
        .field(QStringLiteral("partita IVA del soggetto obbligato"), lab.asString(QStringLiteral("Piva")), 11);
    const QString type = line.asString(QStringLiteral("Tipo_abilitazione"));
    if (type != QLatin1String("1") && type != QLatin1String("2")) {
        say(QStringLiteral("Errore sulle abilitazioni (tipo abilitazione) verificate nella finestra soggetto obbligato in basso."));
        return {};
    }
    r.field(QStringLiteral("tipo abilitazione"), type, 1)
        .field(QStringLiteral("identificativo alfanumerico del sigillo"), line.asString(QStringLiteral("Id_al_sigillo")), 30);
    const QString person = lab.asString(QStringLiteral("PG_PF"));
    if (person == QLatin1String("0")) {
        r.field(QStringLiteral("denominazione"), lab.asString(QStringLiteral("PG_denominazione")), 60)
            .field(QStringLiteral("comune del domicilio fiscale"), lab.asString(QStringLiteral("PG_comune_fiscale")), 40)
            .field(QStringLiteral("provincia del domicilio fiscale"), lab.asString(QStringLiteral("PG_prov_fiscale")), 2)
            .blank(52)
            .field(QStringLiteral("data di nascita"), QStringLiteral("00000000"), 8)
            .blank(42);
    } else if (person == QLatin1String("1")) {
        r.blank(102)
            .field(QStringLiteral("cognome"), lab.asString(QStringLiteral("PF_cognome")), 26)
            .field(QStringLiteral("nome"), lab.asString(QStringLiteral("PF_nome")), 25)
            .field(QStringLiteral("sesso"), lab.asString(QStringLiteral("PF_sesso")).toUpper(), 1)
            .saidField(QStringLiteral("data di nascita"), digitsOf(lab, QStringLiteral("Pf_data_nascita")), 8,
                       QStringLiteral("errore data nascita sogg obbl"), say)
            .field(QStringLiteral("comune di nascita"), lab.asString(QStringLiteral("Pf_comune_nascita")), 40)
            .field(QStringLiteral("provincia di nascita"), lab.asString(QStringLiteral("Pf_prov_nascita")), 2);
    }
    r.field(QStringLiteral("anno di riferimento"), year, 0)
        .field(QStringLiteral("trimestre di riferimento"), QString::number(quarter), 1);
    if (!intermediary) {
        r.blank(16).field(QStringLiteral("intermediario"), QStringLiteral("00000000000000"), 14);
    } else {
        const QString caf = intermediary->caf.isEmpty() ? QStringLiteral("00000") : intermediary->caf.leftJustified(5, QLatin1Char('0'));
        const int by = intermediary->preparedBy;
        r.field(QStringLiteral("codice fiscale dell'intermediario"), intermediary->fiscalCode, 16)
            .field(QStringLiteral("numero di iscrizione all'albo dei CAF"), caf, 5)
            .field(QStringLiteral("predisposizione della comunicazione"), by == 1 || by == 2 ? QString::number(by) : QString(), 1)
            .saidField(QStringLiteral("data dell'impegno"), SoloCifre(intermediary->commitmentDate), 8,
                       QStringLiteral("errore data impegno"), say);
    }
    return r.blank(1492).done();
}

Record Scarico::Private::variation(const Table &row, const Say &say) const
{
    const QString kind = row.asString(QStringLiteral("FLAG_VARIAZIONE"));
    const QString code = row.asString(QStringLiteral("Cf"));
    // An ended collaboration reports only its end.
    const bool ended = kind == QLatin1String("F");
    RecordBuilder r;
    r.field(QStringLiteral("tipo record"), QStringLiteral("1"), 1)
        .field(QStringLiteral("tipo di variazione"), kind, 0)
        .saidField(QStringLiteral("codice fiscale del tecnico"), code, 16, QStringLiteral("errore cf tecnico") + code, say)
        .field(QStringLiteral("cognome"), row.asString(QStringLiteral("Cognome")), 26)
        .field(QStringLiteral("nome"), row.asString(QStringLiteral("Nome")), 25)
        .field(QStringLiteral("sesso"), row.asString(QStringLiteral("Sesso")), 1)
        .saidField(QStringLiteral("data di nascita"), digitsOf(row, QStringLiteral("Data_nascita")), 8,
                   QStringLiteral("errore data nascita tecnico"), say)
        .field(QStringLiteral("comune di nascita"), row.asString(QStringLiteral("Comune_nascita")), 40)
        .saidField(QStringLiteral("provincia di nascita"), row.asString(QStringLiteral("Prov_nascita")), 2,
                   QStringLiteral("errore provincia nascita tecnico"), say)
        .field(QStringLiteral("responsabile tecnico"), ended ? QString() : row.asString(QStringLiteral("Responsabile")), 1)
        .field(QStringLiteral("titolo di studio"), ended ? QString() : row.asString(QStringLiteral("Titolo_studio")), 1)
        .field(QStringLiteral("data di inizio attività"), ended ? QString() : digitsOf(row, QStringLiteral("Data_inizio")), 8)
        .field(QStringLiteral("data di fine attività"), digitsOf(row, QStringLiteral("Data_fine")), 8);
    return r.blank(1659).done();
}

void Scarico::Private::loadRegistries()
{
    technicians.clear();
    for (TTECNICI.first(); !TTECNICI.eof(); TTECNICI.next())
        technicians.insert(TTECNICI.asInteger(QStringLiteral("Id_tecnico")),
                           {TTECNICI.asString(QStringLiteral("Cf")), TTECNICI.asString(QStringLiteral("Id_nu_sigillo")),
                            TTECNICI.asInteger(QStringLiteral("Id_sogg"))});
    seals.clear();
    for (linee_sogg.first(); !linee_sogg.eof(); linee_sogg.next())
        seals.insert(linee_sogg.asInteger(QStringLiteral("Id_Lsogg")), linee_sogg.asString(QStringLiteral("Id_al_sigillo")));
    shops.clear();
    shops.reserve(TESERCIZIO.recordCount());
    for (TESERCIZIO.first(); !TESERCIZIO.eof(); TESERCIZIO.next())
        shops.insert(TESERCIZIO.asInteger(QStringLiteral("Id_esercizio")),
                     {TESERCIZIO.asString(QStringLiteral("Piva")), TESERCIZIO.asString(QStringLiteral("Ragione_sociale"))});
    models.clear();
    for (TMISURATORI.first(); !TMISURATORI.eof(); TMISURATORI.next())
        models.insert(TMISURATORI.asInteger(QStringLiteral("Id_ms")),
                      {TMISURATORI.asString(QStringLiteral("Marchio_ms")), TMISURATORI.asString(QStringLiteral("Denominazione_ms")),
                       TMISURATORI.asString(QStringLiteral("Logotipo_ms"))});
}

Scarico::Private::Intervention Scarico::Private::read(const Table &row) const
{
    Intervention r;
    r.id = row.asInteger(QStringLiteral("Id_misurazioni"));
    r.technician = row.asInteger(QStringLiteral("Id_tecnico"));
    r.shop = row.asInteger(QStringLiteral("Id_esercizio"));
    r.model = row.asInteger(QStringLiteral("Id_ms"));
    r.start = row.value(QStringLiteral("Data_ini")).toDate();
    r.end = row.value(QStringLiteral("Data_fine")).toDate();
    r.outcome = row.asString(QStringLiteral("Esito"));
    r.municipality = row.asString(QStringLiteral("COMUNE"));
    r.province = row.asString(QStringLiteral("PROVINCIA"));
    r.address = row.asString(QStringLiteral("INDIRIZZO"));
    r.postcode = row.asString(QStringLiteral("CAP"));
    r.type = row.asString(QStringLiteral("Tipo_intervento"));
    r.serial = row.asString(QStringLiteral("Matricola_ms"));
    return r;
}

QVariant Scarico::Private::sealOf(const Technician *technician) const
{
    if (!technician)
        return {};
    const auto seal = seals.constFind(technician->authorisation);
    return seal == seals.constEnd() ? QVariant() : QVariant(*seal);
}

Record Scarico::Private::intervention(const Intervention &row, const Say &say) const
{
    RecordBuilder r;
    r.field(QStringLiteral("tipo record"), QStringLiteral("2"), 1);
    // Technician (and through it the authorisation), shop, meter model: a missing one leaves out its fields.
    if (const auto technician = technicians.constFind(row.technician); technician != technicians.constEnd()) {
        const QVariant seal = sealOf(&*technician);
        r.field(QStringLiteral("codice fiscale del tecnico"), technician->fiscalCode, 16);
        if (!seal.isValid()) {
            say(QStringLiteral("errore id alfanumerico del tecnico. sistemare gli archivi"));
            return {};
        }
        r.field(QStringLiteral("identificativo alfanumerico del sigillo"), seal.toString(), 30)
            .field(QStringLiteral("identificativo numerico del sigillo del tecnico"), technician->seal, 4);
    } else {
        say(QStringLiteral("Errore su archivio tecnici"));
    }
    r.field(QStringLiteral("data di inizio intervento"), digitsOf(row.start), 8)
        .field(QStringLiteral("data di fine intervento"), digitsOf(row.end), 8)
        .field(QStringLiteral("esito"), row.outcome, 1);
    if (const auto shop = shops.constFind(row.shop); shop != shops.constEnd()) {
        r.field(QStringLiteral("partita IVA dell'esercizio"), shop->vat, 11)
            .field(QStringLiteral("ragione sociale dell'esercizio"), shop->name, 60);
    } else {
        say(QStringLiteral("errore tabella esercizi"));
    }
    r.field(QStringLiteral("comune"), row.municipality, 40)
        .field(QStringLiteral("provincia"), row.province, 2)
        .field(QStringLiteral("indirizzo"), row.address, 35)
        .field(QStringLiteral("CAP"), row.postcode, 5)
        .field(QStringLiteral("tipo intervento"), row.type, 1);
    if (const auto model = models.constFind(row.model); model != models.constEnd()) {
        r.field(QStringLiteral("marchio del misuratore"), model->brand, 40)
            .field(QStringLiteral("modello del misuratore"), model->name, 40)
            .field(QStringLiteral("logotipo del misuratore"), model->logotype, 2);
    } else {
        say(QStringLiteral("errore tabella misuratori"));
    }
    r.field(QStringLiteral("matricola"), row.serial, 9);
    return r.blank(1484).done();
}

QString Scarico::Private::describeLine(const Table &line) const
{
    const QString seal = line.asString(QStringLiteral("Id_al_sigillo"));
    return seal.isEmpty() ? QStringLiteral("abilitazione n. %1").arg(line.asInteger(QStringLiteral("Id_Lsogg")))
                          : QStringLiteral("abilitazione %1").arg(seal);
}

QString Scarico::Private::describeVariation(const Table &row) const
{
    return QStringLiteral("Variazione %1 del tecnico %2 %3")
        .arg(row.asString(QStringLiteral("FLAG_VARIAZIONE")), row.asString(QStringLiteral("Cognome")),
             row.asString(QStringLiteral("Nome")))
        .simplified();
}

QString Scarico::Private::describeIntervention(const Intervention &row) const
{
    const auto shop = shops.constFind(row.shop);
    return QStringLiteral("Intervento n. %1 (matricola %2, esercizio %3)")
        .arg(QString::number(row.id), row.serial,
             shop != shops.constEnd() ? shop->name : QStringLiteral("n. %1").arg(row.shop));
}

Scarico::Scarico(const AppState &state) : d(std::make_unique<Private>(state)) {}

Scarico::~Scarico() = default;

int Scarico::authorisationCount() const
{
    return d->linee_sogg.recordCount();
}

std::optional<QString> Scarico::cafOf(const QString &fiscalCode) const
{
    Table intermediaries;
    intermediaries.setDirectory(d->dataDir);
    intermediaries.setTableName(QStringLiteral("INTERMEDIARIO"));
    intermediaries.open();
    const QVariant caf = intermediaries.lookup(QStringLiteral("CF"), {fiscalCode}, QStringLiteral("NCAF"));
    return caf.isValid() ? std::optional<QString>(caf.toString()) : std::nullopt;
}

void Scarico::select(int quarter)
{
    const QString q = engine::quoted(QString::number(quarter));
    const QString y = engine::quoted(d->year);
    const QString one = engine::quoted(QStringLiteral("1")), two = engine::quoted(QStringLiteral("2")),
                  three = engine::quoted(QStringLiteral("3"));
    d->Qmisurazioni.close();
    d->Qmisurazioni.setDirectory(d->yearDir);
    d->Qmisurazioni.setSql(QStringLiteral("SELECT * from misurazioni2\n where (misurazioni2.trimestre=") + q
                           + QStringLiteral(")and(misurazioni2.anno=") + y + QStringLiteral(")and((misurazioni2.tipo_intervento=")
                           + one + QStringLiteral(")or(misurazioni2.tipo_intervento=") + two
                           + QStringLiteral(")or(misurazioni2.tipo_intervento=") + three + QStringLiteral("))"));
    d->Qmisurazioni.open();
    Table &variations = d->Tabmod_tecnici;
    variations.setFiltered(false);
    variations.setFilterText(QStringLiteral("[Anno_variazione]=") + y + QStringLiteral("and [TRI_variazione]=") + q);
    variations.setFiltered(true);
    d->loadRegistries();
    m_quarter = quarter;
}

Table &Scarico::Qmisurazioni() { return d->Qmisurazioni; }
Table &Scarico::linee_sogg() { return d->linee_sogg; }
Table &Scarico::Tabmod_tecnici() { return d->Tabmod_tecnici; }

Record Scarico::RigaTesta(const Table &authorisation)
{
    return d->header(authorisation, Header, m_quarter, m_intermediary, Messages::plain);
}

Record Scarico::RigaCoda(const Table &authorisation)
{
    return d->header(authorisation, Trailer, m_quarter, m_intermediary, Messages::plain);
}

Record Scarico::RigaTecnico(const Table &variation)
{
    return d->variation(variation, Messages::plain);
}

Record Scarico::RigaIntervento(const Table &intervention)
{
    return d->intervention(d->read(intervention), Messages::plain);
}

Scarico::Outcome Scarico::generate(const Choices &choices, const Report &report, const Progress &progress)
{
    Outcome outcome;
    Table &lines = d->linee_sogg;
    Table &variations = d->Tabmod_tecnici;
    Table &selection = d->Qmisurazioni;
    const auto say = [&report](const QString &line) {
        if (report)
            report(line);
    };

    // Creates the file, replacing one of that name, with what write() puts in it; false, with the
    // message, when the file cannot be written whole.
    const auto writeFile = [&](const QString &name, const std::function<bool(FileWriter &)> &write) {
        const QString path = QDir(choices.folder).filePath(name + QStringLiteral(".txt"));
        FileWriter file(path, report);
        QString reason;
        if (choices.folder.isEmpty())
            reason = QStringLiteral("cartella non indicata");
        else if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
            reason = QStringLiteral("il nome del file contiene / o \\");
        else if (outcome.files.contains(path))
            reason = QStringLiteral("già scritto per un'altra abilitazione con lo stesso identificativo");
        else if (!(file.open() && write(file) && file.commit()))
            reason = file.errorString();
        if (!reason.isEmpty()) {
            Messages::error(QStringLiteral("Impossibile scrivere il file"));
            say(QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
            return false;
        }
        outcome.files << path;
        return true;
    };
    const auto putHeader = [&](FileWriter &file) {
        return file.put(d->header(lines, Header, m_quarter, m_intermediary, Messages::plain), "1",
                        [&] { return QStringLiteral("Testata dell'") + d->describeLine(lines); });
    };
    const auto putTrailer = [&](FileWriter &file) {
        return file.put(d->header(lines, Trailer, m_quarter, m_intermediary, Messages::plain), "4",
                        [&] { return QStringLiteral("Coda dell'") + d->describeLine(lines); });
    };
    const auto putVariation = [&](FileWriter &file) {
        return file.put(d->variation(variations, Messages::plain), "2", [&] { return d->describeVariation(variations); });
    };
    const auto putIntervention = [&](FileWriter &file) {
        const Private::Intervention row = d->read(selection);
        return file.put(d->intervention(row, Messages::plain), "3", [&] { return d->describeIntervention(row); });
    };

    if (!choices.onePerAuthorisation) {
        outcome.written = writeFile(choices.prefix + QString::number(m_quarter) + d->year, [&](FileWriter &file) {
            for (lines.first(); !lines.eof(); lines.next()) {
                if (!putHeader(file))
                    return false;
            }
            for (variations.first(); !variations.eof(); variations.next()) {
                if (!putVariation(file))
                    return false;
            }
            ProgressSteps steps(progress, selection.recordCount());
            int done = 0;
            for (selection.first(); !selection.eof(); selection.next()) {
                if (!putIntervention(file))
                    return false;
                steps.step(++done);
            }
            for (lines.first(); !lines.eof(); lines.next()) {
                if (!putTrailer(file))
                    return false;
            }
            return true;
        });
        return outcome;
    }

    // Each intervention goes into the file of its technician's authorisation; one whose technician
    // or authorisation is missing goes into none.
    QHash<int, QList<int>> rowsOf;
    for (selection.first(); !selection.eof(); selection.next()) {
        const auto technician = d->technicians.constFind(selection.asInteger(QStringLiteral("Id_tecnico")));
        QString missing;
        if (technician == d->technicians.constEnd()) {
            Messages::plain(QStringLiteral("Errore su archivio tecnici"));
            missing = QStringLiteral("tecnico mancante");
        } else if (!d->sealOf(&*technician).isValid()) {
            Messages::plain(QStringLiteral("errore id alfanumerico del tecnico. sistemare gli archivi"));
            missing = QStringLiteral("abilitazione del tecnico mancante");
        } else {
            rowsOf[technician->authorisation] << selection.recNo();
            continue;
        }
        say(d->describeIntervention(d->read(selection)) + QStringLiteral(": non scritto in alcun file (") + missing
            + QLatin1Char(')'));
    }
    for (lines.first(); !lines.eof(); lines.next()) {
        const QString seal = lines.asString(QStringLiteral("Id_al_sigillo"));
        const int id = lines.asInteger(QStringLiteral("Id_Lsogg"));
        const QList<int> rows = rowsOf.value(id);
        if (!d->enabledInYear(seal)) {
            if (!rows.isEmpty())
                say(QStringLiteral("L'%1 non è valida nell'anno %2: nessun file, %3 interventi non scritti")
                        .arg(d->describeLine(lines), d->year)
                        .arg(rows.size()));
            continue;
        }
        const bool fileWritten = writeFile(choices.prefix + seal, [&](FileWriter &file) {
            if (!putHeader(file))
                return false;
            for (variations.first(); !variations.eof(); variations.next()) {
                if (variations.asInteger(QStringLiteral("Id_sogg")) == id && !putVariation(file))
                    return false;
            }
            ProgressSteps steps(progress, rows.size());
            int done = 0;
            for (const int recNo : rows) {
                selection.setRecNo(recNo);
                if (!putIntervention(file))
                    return false;
                steps.step(++done);
            }
            return putTrailer(file);
        });
        if (!fileWritten)
            return outcome;
    }
    outcome.written = true;
    return outcome;
}

QList<Finding> Scarico::Controllo(bool onePerAuthorisation)
{
    const Say quiet = [](const QString &) {};
    QList<Finding> found;
    QHash<QString, bool> validCodes;
    const auto fiscalCode = [&validCodes](RecordFindings &of, const QString &field, const QString &code) {
        if (!of.required(field, code))
            return;
        auto valid = validCodes.find(code);
        if (valid == validCodes.end()) {
            Tcodfis check;
            check.setCodfis(code);
            valid = validCodes.insert(code, check.Valido());
        }
        if (!*valid)
            of.add(field, QStringLiteral("non valido (%1)").arg(code));
    };
    const auto vatNumber = [](RecordFindings &of, const QString &field, const QString &vat) {
        if (of.required(field, vat) && !PivaValida(vat))
            of.add(field, QStringLiteral("non valida (%1)").arg(vat));
    };
    const auto dates = [](RecordFindings &of, const QString &field, const QDate &start, const QDate &end) {
        if (start.isValid() && end.isValid() && start > end)
            of.add(field, QStringLiteral("successiva alla data di fine (%1)").arg(start.toString(QStringLiteral("dd/MM/yyyy"))));
    };
    const QString inNoFile = QStringLiteral(": non entra in alcun file");
    // With one file per authorisation, a missing technician or authorisation also keeps the
    // intervention out of every file.
    const QString noFile = onePerAuthorisation ? inNoFile : QString();

    Table &lab = d->TSOBBL;
    RecordFindings laboratory(found, [] { return QStringLiteral("Soggetto obbligato"); });
    if (lab.isEmpty()) {
        laboratory.add({}, QStringLiteral("mancante: inserirlo nella finestra Soggetto obbligato"));
    } else {
        lab.first();
        const auto text = [&lab](const char *field) { return lab.asString(QString::fromLatin1(field)); };
        laboratory.required(QStringLiteral("codice fiscale"), text("CF"));
        vatNumber(laboratory, QStringLiteral("partita IVA"), text("Piva"));
        const QString person = text("PG_PF");
        if (person == QLatin1String("0")) {
            laboratory.required(QStringLiteral("denominazione"), text("PG_denominazione"));
            laboratory.required(QStringLiteral("comune del domicilio fiscale"), text("PG_comune_fiscale"));
            laboratory.required(QStringLiteral("provincia del domicilio fiscale"), text("PG_prov_fiscale"));
        } else if (person == QLatin1String("1")) {
            laboratory.required(QStringLiteral("cognome"), text("PF_cognome"));
            laboratory.required(QStringLiteral("nome"), text("PF_nome"));
            laboratory.required(QStringLiteral("sesso"), text("PF_sesso"));
            laboratory.required(QStringLiteral("data di nascita"), text("Pf_data_nascita"));
            laboratory.required(QStringLiteral("comune di nascita"), text("Pf_comune_nascita"));
            laboratory.required(QStringLiteral("provincia di nascita"), text("Pf_prov_nascita"));
        } else {
            laboratory.add(QStringLiteral("persona giuridica o persona fisica"), QStringLiteral("non indicato"));
        }
    }
    if (m_intermediary) {
        RecordFindings intermediary(found, [] { return QStringLiteral("Intermediario"); });
        intermediary.required(QStringLiteral("codice fiscale"), m_intermediary->fiscalCode);
        if (m_intermediary->preparedBy != 1 && m_intermediary->preparedBy != 2)
            intermediary.add(QStringLiteral("predisposizione della comunicazione"), QStringLiteral("non indicata"));
        if (!QDate::fromString(m_intermediary->commitmentDate, QStringLiteral("dd/MM/yyyy")).isValid())
            intermediary.add(QStringLiteral("data dell'impegno"),
                             QStringLiteral("non valida (%1)").arg(m_intermediary->commitmentDate.trimmed()));
    }

    Table &lines = d->linee_sogg;
    if (lines.isEmpty())
        RecordFindings(found, [] { return QStringLiteral("Abilitazioni"); })
            .add({}, QStringLiteral("nessuna: il file non avrà né testata né coda"));
    QSet<int> filed;
    QSet<QString> fileSeals;
    for (lines.first(); !lines.eof(); lines.next()) {
        RecordFindings of(found, [&] { return QStringLiteral("Testata dell'") + d->describeLine(lines); });
        const QString seal = lines.asString(QStringLiteral("Id_al_sigillo"));
        if (onePerAuthorisation) {
            if (!d->enabledInYear(seal)) {
                of.add({}, QStringLiteral("abilitazione non valida nell'anno %1: nessun file").arg(d->year));
                continue;
            }
            if (fileSeals.contains(seal))
                of.add(QStringLiteral("identificativo alfanumerico del sigillo"),
                       QStringLiteral("uguale a quello di un'altra abilitazione: i due file avrebbero lo stesso nome"));
            fileSeals.insert(seal);
            filed.insert(lines.asInteger(QStringLiteral("Id_Lsogg")));
        }
        const QString type = lines.asString(QStringLiteral("Tipo_abilitazione"));
        if (type != QLatin1String("1") && type != QLatin1String("2"))
            of.add(QStringLiteral("tipo abilitazione"), QStringLiteral("deve essere 1 o 2: testata e coda non saranno scritte"));
        of.required(QStringLiteral("identificativo alfanumerico del sigillo"), seal);
        of.asWritten(d->header(lines, Header, m_quarter, m_intermediary, quiet));
    }

    Table &variations = d->Tabmod_tecnici;
    for (variations.first(); !variations.eof(); variations.next()) {
        RecordFindings of(found, [&] { return d->describeVariation(variations); });
        const auto text = [&variations](const char *field) { return variations.asString(QString::fromLatin1(field)); };
        if (onePerAuthorisation && !filed.contains(variations.asInteger(QStringLiteral("Id_sogg"))))
            of.add(QStringLiteral("abilitazione del tecnico"), QStringLiteral("senza file") + inNoFile);
        const QString kind = text("FLAG_VARIAZIONE");
        if (of.required(QStringLiteral("tipo di variazione"), kind) && kind != QLatin1String("I") && kind != QLatin1String("M")
            && kind != QLatin1String("F"))
            of.add(QStringLiteral("tipo di variazione"), QStringLiteral("deve essere I, M o F"));
        fiscalCode(of, QStringLiteral("codice fiscale"), text("Cf"));
        of.required(QStringLiteral("cognome"), text("Cognome"));
        of.required(QStringLiteral("nome"), text("Nome"));
        of.required(QStringLiteral("data di nascita"), text("Data_nascita"));
        of.required(QStringLiteral("comune di nascita"), text("Comune_nascita"));
        of.required(QStringLiteral("provincia di nascita"), text("Prov_nascita"));
        if (kind == QLatin1String("I") || kind == QLatin1String("F"))
            of.required(QStringLiteral("data di inizio attività"), text("Data_inizio"));
        if (kind == QLatin1String("F"))
            of.required(QStringLiteral("data di fine attività"), text("Data_fine"));
        dates(of, QStringLiteral("data di inizio attività"), variations.value(QStringLiteral("Data_inizio")).toDate(),
              variations.value(QStringLiteral("Data_fine")).toDate());
        of.asWritten(d->variation(variations, quiet));
    }

    Table &selection = d->Qmisurazioni;
    for (selection.first(); !selection.eof(); selection.next()) {
        const Private::Intervention row = d->read(selection);
        RecordFindings of(found, [&] { return d->describeIntervention(row); });
        const auto technician = d->technicians.constFind(row.technician);
        if (technician == d->technicians.constEnd()) {
            of.add(QStringLiteral("tecnico"), QStringLiteral("mancante (n. %1)").arg(row.technician) + noFile);
        } else {
            fiscalCode(of, QStringLiteral("codice fiscale del tecnico"), technician->fiscalCode);
            of.required(QStringLiteral("identificativo numerico del sigillo del tecnico"), technician->seal);
            const QVariant seal = d->sealOf(&*technician);
            if (!seal.isValid())
                of.add(QStringLiteral("abilitazione del tecnico"),
                       QStringLiteral("mancante (n. %1)").arg(technician->authorisation) + noFile);
            else if (of.required(QStringLiteral("identificativo alfanumerico del sigillo"), seal.toString()) && onePerAuthorisation
                     && !filed.contains(technician->authorisation))
                of.add(QStringLiteral("abilitazione del tecnico"), QStringLiteral("%1 senza file").arg(seal.toString()) + inNoFile);
        }
        if (!row.start.isValid())
            of.add(QStringLiteral("data di inizio intervento"), QStringLiteral("mancante"));
        if (!row.end.isValid())
            of.add(QStringLiteral("data di fine intervento"), QStringLiteral("mancante"));
        else if (QString::number(row.end.year()) != d->year || (row.end.month() - 1) / 3 + 1 != m_quarter)
            of.add(QStringLiteral("data di fine intervento"),
                   QStringLiteral("fuori dal trimestre (%1)").arg(row.end.toString(QStringLiteral("dd/MM/yyyy"))));
        dates(of, QStringLiteral("data di inizio intervento"), row.start, row.end);
        if (of.required(QStringLiteral("esito"), row.outcome) && row.outcome != QLatin1String("0")
            && row.outcome != QLatin1String("1"))
            of.add(QStringLiteral("esito"), QStringLiteral("deve essere 0 o 1"));
        if (const auto shop = d->shops.constFind(row.shop); shop == d->shops.constEnd()) {
            of.add(QStringLiteral("esercizio"), QStringLiteral("mancante (n. %1)").arg(row.shop));
        } else {
            vatNumber(of, QStringLiteral("partita IVA dell'esercizio"), shop->vat);
            of.required(QStringLiteral("ragione sociale dell'esercizio"), shop->name);
        }
        of.required(QStringLiteral("comune"), row.municipality);
        of.required(QStringLiteral("provincia"), row.province);
        of.required(QStringLiteral("CAP"), row.postcode);
        if (const auto model = d->models.constFind(row.model); model == d->models.constEnd()) {
            of.add(QStringLiteral("misuratore"), QStringLiteral("mancante (n. %1)").arg(row.model));
        } else {
            of.required(QStringLiteral("marchio del misuratore"), model->brand);
            of.required(QStringLiteral("modello del misuratore"), model->name);
            if (of.required(QStringLiteral("logotipo del misuratore"), model->logotype) && !isWellFormedLogotype(model->logotype))
                of.add(QStringLiteral("logotipo del misuratore"), QStringLiteral("malformato (%1)").arg(model->logotype));
        }
        if (of.required(QStringLiteral("matricola"), row.serial) && !verifications::isWellFormedSerialNumber(row.serial))
            of.add(QStringLiteral("matricola"), QStringLiteral("malformata (%1)").arg(row.serial));
        of.asWritten(d->intervention(row, quiet));
    }
    return found;
}

} // namespace quarterly
