// The quarterly file's lines: the files of a quarter written and the check of the same quarter, on
// the demo archive's register. The baselines do the same selection, join the technicians, their
// authorisations, the shops and the meter models, and build the same fixed-length lines: the
// file's line is written out, the check's line only built and measured.

#include "benchkit.h"
#include "ground/state.h"
#include "quarterly/scarico.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

namespace bench {

namespace {

constexpr int Quarter = 2;

// One row of the join as text columns, in UTF-8, whichever baseline read it.
struct Cells {
    virtual ~Cells() = default;
    virtual std::string_view text(int column) const = 0;
};

// The columns of the join, in the order the intervention record wants them.
enum Column { Cf, Seal, TechnicianSeal, Start, End, Outcome, Vat, Company, Municipality, Province, Address, Postcode,
              Type, Brand, Model, Logotype, Serial, Columns };

// The registries the join reads, as attached to the year's register.
constexpr std::pair<const char *, const char *> Attachments[] = {
    {"tec", "tecnici"}, {"auth", "Lsoggetto_obbligato"}, {"shops", "esercizio"}, {"models", "ms"}};

const char *const JoinSql =
    "SELECT t.Cf, l.Id_al_sigillo, t.Id_nu_sigillo, m.Data_ini, m.Data_fine, m.Esito, e.Piva, e.Ragione_sociale, "
    "m.COMUNE, m.PROVINCIA, m.INDIRIZZO, m.CAP, m.Tipo_intervento, s.Marchio_ms, s.Denominazione_ms, s.Logotipo_ms, "
    "m.Matricola_ms "
    "FROM misurazioni2 m JOIN tec.tecnici t ON t.Id_tecnico = m.Id_tecnico "
    "JOIN auth.Lsoggetto_obbligato l ON l.Id_Lsogg = t.Id_sogg "
    "JOIN shops.esercizio e ON e.Id_esercizio = m.Id_esercizio JOIN models.ms s ON s.Id_ms = m.Id_ms "
    "WHERE m.Trimestre = ? AND m.ANNO = ? AND m.Tipo_intervento IN ('1', '2', '3') AND l.Id_Lsogg = ? "
    "ORDER BY m.Id_misurazioni";

// The UTF-8 text as Windows-1252 (the demo's letters are all Latin-1), filled with spaces.
void field(std::string &line, std::string_view utf8, size_t width)
{
    const size_t start = line.size();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            line += char(byte);
        } else if (i + 1 < utf8.size()) {
            line += char(((byte & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            ++i;
        }
    }
    if (line.size() - start < width)
        line.append(width - (line.size() - start), ' ');
}

// A stored date (yyyy-MM-dd) as DDMMYYYY, or spaces.
void date(std::string &line, std::string_view iso)
{
    if (iso.size() < 10) {
        line.append(8, ' ');
        return;
    }
    line.append(iso.substr(8, 2)).append(iso.substr(5, 2)).append(iso.substr(0, 4));
}

void intervention(std::string &line, const Cells &row)
{
    line.clear();
    line += '2';
    field(line, row.text(Cf), 16);
    field(line, row.text(Seal), 30);
    field(line, row.text(TechnicianSeal), 4);
    date(line, row.text(Start));
    date(line, row.text(End));
    const int widths[] = {1, 11, 60, 40, 2, 35, 5, 1, 40, 40, 2, 9};
    for (int c = Outcome; c <= Serial; ++c)
        field(line, row.text(c), size_t(widths[c - Outcome]));
    line.append(1484, ' ');
    line += "A\r\n";
}

// The rows of the join read with the sqlite3 API.
class CRows : public Cells {
public:
    CRows(const QString &yearDir, const QString &dataDir)
    {
        sqlite3_open_v2(bench::tablePath(yearDir, "misurazioni2").toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        for (const auto &[alias, table] : Attachments) {
            const QByteArray sql = "ATTACH '" + bench::tablePath(dataDir, table).toUtf8() + "' AS " + alias;
            sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_prepare_v2(m_db, JoinSql, -1, &m_join, nullptr);
    }
    ~CRows() override
    {
        sqlite3_finalize(m_join);
        sqlite3_close(m_db);
    }
    void select(const QByteArray &quarter, const QByteArray &year, int authorisation)
    {
        sqlite3_reset(m_join);
        sqlite3_bind_text(m_join, 1, quarter.constData(), int(quarter.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(m_join, 2, year.constData(), int(year.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(m_join, 3, authorisation);
    }
    bool next() { return sqlite3_step(m_join) == SQLITE_ROW; }
    std::string_view text(int column) const override
    {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(m_join, column));
        return t ? std::string_view(t, size_t(sqlite3_column_bytes(m_join, column))) : std::string_view();
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_join = nullptr;
};

// The same rows read through Qt SQL.
class QtRows : public Cells {
public:
    QtRows(const QString &yearDir, const QString &dataDir)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("quarterly"));
        m_db.setDatabaseName(bench::tablePath(yearDir, "misurazioni2"));
        m_db.open();
        for (const auto &[alias, table] : Attachments)
            QSqlQuery(m_db).exec(QStringLiteral("ATTACH '%1' AS %2").arg(bench::tablePath(dataDir, table), QString::fromLatin1(alias)));
        m_join = std::make_unique<QSqlQuery>(m_db);
        m_join->setForwardOnly(true);
        m_join->prepare(QString::fromLatin1(JoinSql));
    }
    ~QtRows() override
    {
        m_join.reset();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("quarterly"));
    }
    void select(const QByteArray &quarter, const QByteArray &year, int authorisation)
    {
        m_join->bindValue(0, QString::fromLatin1(quarter));
        m_join->bindValue(1, QString::fromLatin1(year));
        m_join->bindValue(2, authorisation);
        m_join->exec();
    }
    bool next()
    {
        if (!m_join->next())
            return false;
        for (int c = 0; c < Columns; ++c)
            m_values[c] = m_join->value(c).toString().toUtf8();
        return true;
    }
    std::string_view text(int column) const override
    {
        return std::string_view(m_values[column].constData(), size_t(m_values[column].size()));
    }

private:
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_join;
    QByteArray m_values[Columns];
};

// One file per authorisation of the interventions' lines, through a file that is synced to disk
// before it counts as written, as the program's save file is; `write` false only builds the lines.
template<class Rows>
void interventionLines(Rows &rows, const QString &folder, const QString &year, const QList<int> &authorisations, bool write)
{
    std::string line;
    for (const int authorisation : authorisations) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1.txt").arg(authorisation));
        std::FILE *file = write ? std::fopen(path.toLocal8Bit().constData(), "wb") : nullptr;
        rows.select(QByteArray::number(Quarter), year.toLatin1(), authorisation);
        while (rows.next()) {
            intervention(line, rows);
            if (file)
                std::fwrite(line.data(), 1, line.size(), file);
        }
        if (file) {
            std::fflush(file);
            fsync(fileno(file));
            std::fclose(file);
        }
    }
}

QList<int> authorisationIds(const QString &dataDir)
{
    Table lines;
    lines.setDirectory(dataDir);
    lines.setTableName(QStringLiteral("Lsoggetto_obbligato"));
    lines.open();
    QList<int> ids;
    for (lines.first(); !lines.eof(); lines.next())
        ids << lines.asInteger(QStringLiteral("Id_Lsogg"));
    return ids;
}

// The interventions' lines of the files the program wrote, to see that the baselines wrote the same.
QByteArray programInterventionLines(const QStringList &files)
{
    QByteArray lines;
    for (const QString &path : files) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith('2'))
                lines += line + '\n';
        }
    }
    return lines;
}

QByteArray baselineLines(const QString &folder, const QList<int> &authorisations)
{
    QByteArray lines;
    for (const int authorisation : authorisations) {
        QFile file(QDir(folder).filePath(QStringLiteral("%1.txt").arg(authorisation)));
        file.open(QIODevice::ReadOnly);
        lines += file.readAll();
    }
    return lines;
}

} // namespace

void quarterlyLines(QList<Line> &lines, const QString &workDir)
{
    const AppState &state = appState();
    QDir work(workDir);
    for (const char *side : {"engine", "qt", "c"})
        work.mkpath(QStringLiteral("quarterly/%1").arg(QString::fromLatin1(side)));
    const QString engineFolder = work.filePath(QStringLiteral("quarterly/engine"));
    const QString qtFolder = work.filePath(QStringLiteral("quarterly/qt"));
    const QString cFolder = work.filePath(QStringLiteral("quarterly/c"));
    const QList<int> authorisations = authorisationIds(state.dataDir());

    quarterly::Scarico scarico(state);
    const double engSelect = timeMs([&] {
        quarterly::Scarico opened(state);
        opened.select(Quarter);
    }, 3);
    scarico.select(Quarter);
    const int rows = scarico.Qmisurazioni().recordCount();
    QStringList files;
    const double engWrite = timeMs([&] { files = scarico.generate({engineFolder, QStringLiteral("nome_file"), true}).files; }, 3);
    int findings = 0;
    const double engCheck = timeMs([&] { findings = int(scarico.Controllo(true).size()); }, 3);

    CRows c(state.yearDir(), state.dataDir());
    QtRows qt(state.yearDir(), state.dataDir());
    const double cWrite = timeMs([&] { interventionLines(c, cFolder, state.AnnoLavoro, authorisations, true); }, 3);
    const double qtWrite = timeMs([&] { interventionLines(qt, qtFolder, state.AnnoLavoro, authorisations, true); }, 3);
    const double cCheck = timeMs([&] { interventionLines(c, cFolder, state.AnnoLavoro, authorisations, false); }, 3);
    const double qtCheck = timeMs([&] { interventionLines(qt, qtFolder, state.AnnoLavoro, authorisations, false); }, 3);
    const QByteArray written = programInterventionLines(files);
    if (written.isEmpty() || written != baselineLines(cFolder, authorisations) || written != baselineLines(qtFolder, authorisations))
        std::fprintf(stderr, "the baselines' intervention lines differ from the program's\n");

    // The selection alone: the query over the year's register, every column of the quarter's rows.
    const QByteArray selection = "SELECT * FROM misurazioni2 WHERE Trimestre = ? AND ANNO = ? AND Tipo_intervento IN ('1', '2', '3') "
                                 "ORDER BY Id_misurazioni";
    const Params theQuarter = paramsOf({QString::number(Quarter), state.AnnoLavoro});
    const auto selectWith = [&](Baseline &b) {
        const int statement = b.prepare(selection);
        return timeMs([&] { b.readAll(statement, theQuarter); }, 3);
    };
    PlainC cYear(tablePath(state.yearDir(), "misurazioni2"));
    QtSql qtYear(tablePath(state.yearDir(), "misurazioni2"));
    lines << Line{QStringLiteral("select a %1-row quarter (with registries)").arg(rows), engSelect, selectWith(qtYear), selectWith(cYear)};
    lines << Line{QStringLiteral("write the files of a %1-row quarter").arg(rows), engWrite, qtWrite, cWrite};
    lines << Line{QStringLiteral("check a %1-row quarter (%2 findings)").arg(rows).arg(findings), engCheck, qtCheck, cCheck};
}

} // namespace bench
