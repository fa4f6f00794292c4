// sigillo_bench: times the table engine and the data module on a register of realistic size against
// the same work done, in the same run and on the same files, by two baselines: Qt SQL, as a program
// without the engine would use SQLite, and plain C on the sqlite3 API, the practical limit of this
// design. Usage: sigillo_bench [rows]
// It is not part of the program: its baselines are SQL by design, the yardsticks the engine is
// measured against, so it is the one place outside the engine that speaks SQL.

#include "app/demo.h"
#include "data/catalogue.h"
#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"
#include "data/tdm.h"
#include "ground/state.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

using engine::BulkScope;
using engine::Table;

namespace {

// --- Data.

// A value to bind, made before the timing in the form each baseline binds it.
struct Param {
    QVariant qt;
    enum Kind { Null, Int, Real, Text } kind = Null;
    qint64 i = 0;
    double r = 0;
    QByteArray text;

    static Param of(const QVariant &v)
    {
        Param p;
        switch (v.typeId()) {
        case QMetaType::QDate:
            p.kind = Text;
            p.text = v.toDate().toString(Qt::ISODate).toLatin1();
            break;
        case QMetaType::Bool:
            p.kind = Int;
            p.i = v.toBool() ? 1 : 0;
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
            p.kind = Int;
            p.i = v.toLongLong();
            break;
        case QMetaType::Double:
            p.kind = Real;
            p.r = v.toDouble();
            break;
        case QMetaType::QString:
            p.kind = Text;
            p.text = v.toString().toUtf8();
            break;
        default:
            break;
        }
        p.qt = p.kind == Null ? QVariant() : p.kind == Text ? QVariant(QString::fromUtf8(p.text)) : p.kind == Int ? QVariant(p.i) : QVariant(p.r);
        return p;
    }
};

using Params = std::vector<Param>;

Params paramsOf(const QVariantList &values)
{
    Params params;
    for (const QVariant &v : values)
        params.push_back(Param::of(v));
    return params;
}

// --- The baselines: one interface, the work written once for both.

class Baseline {
public:
    virtual ~Baseline() = default;
    virtual void exec(const QByteArray &sql) = 0;
    virtual int prepare(const QByteArray &sql) = 0;
    virtual void run(int statement, const Params &params) = 0;     // executes, rows discarded
    virtual int readAll(int statement, const Params &params) = 0;  // every column of every row; the row count
    virtual qint64 readInt(int statement, const Params &params) = 0; // the first column of the first row
};

class PlainC : public Baseline {
public:
    explicit PlainC(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        for (const char *pragma : {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL", "PRAGMA cache_size=-16384"})
            exec(pragma);
    }
    ~PlainC() override
    {
        for (sqlite3_stmt *s : m_statements)
            sqlite3_finalize(s);
        sqlite3_close(m_db);
    }
    void exec(const QByteArray &sql) override
    {
        char *error = nullptr;
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK)
            std::fprintf(stderr, "C: %s: %s\n", sql.constData(), error);
        sqlite3_free(error);
    }
    int prepare(const QByteArray &sql) override
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &s, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "C: %s: %s\n", sql.constData(), sqlite3_errmsg(m_db));
        m_statements.push_back(s);
        return int(m_statements.size()) - 1;
    }
    void run(int statement, const Params &params) override
    {
        sqlite3_stmt *s = bind(statement, params);
        while (sqlite3_step(s) == SQLITE_ROW) {
        }
        sqlite3_reset(s);
    }
    int readAll(int statement, const Params &params) override
    {
        sqlite3_stmt *s = bind(statement, params);
        int rows = 0;
        const int columns = sqlite3_column_count(s);
        volatile qint64 sink = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(s, c)) {
                case SQLITE_INTEGER:
                    sink = sink + sqlite3_column_int64(s, c);
                    break;
                case SQLITE_FLOAT:
                    sink = sink + qint64(sqlite3_column_double(s, c));
                    break;
                case SQLITE_TEXT:
                    sink = sink + sqlite3_column_bytes(s, c) + (sqlite3_column_text(s, c) != nullptr);
                    break;
                default:
                    break;
                }
            }
            ++rows;
        }
        sqlite3_reset(s);
        return rows;
    }
    qint64 readInt(int statement, const Params &params) override
    {
        sqlite3_stmt *s = bind(statement, params);
        const qint64 v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
        sqlite3_reset(s);
        return v;
    }

private:
    sqlite3_stmt *bind(int statement, const Params &params)
    {
        sqlite3_stmt *s = m_statements[size_t(statement)];
        for (int i = 0; i < int(params.size()); ++i) {
            const Param &p = params[size_t(i)];
            switch (p.kind) {
            case Param::Null:
                sqlite3_bind_null(s, i + 1);
                break;
            case Param::Int:
                sqlite3_bind_int64(s, i + 1, p.i);
                break;
            case Param::Real:
                sqlite3_bind_double(s, i + 1, p.r);
                break;
            case Param::Text:
                sqlite3_bind_text(s, i + 1, p.text.constData(), int(p.text.size()), SQLITE_STATIC);
                break;
            }
        }
        return s;
    }

    sqlite3 *m_db = nullptr;
    std::vector<sqlite3_stmt *> m_statements;
};

class QtSql : public Baseline {
public:
    explicit QtSql(const QString &path)
    {
        static int counter = 0;
        m_name = QStringLiteral("baseline_%1").arg(++counter);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(path);
        m_db.open();
        for (const char *pragma : {"PRAGMA journal_mode=DELETE", "PRAGMA synchronous=FULL", "PRAGMA cache_size=-16384"})
            exec(pragma);
    }
    ~QtSql() override
    {
        m_queries.clear();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    void exec(const QByteArray &sql) override
    {
        QSqlQuery q(m_db);
        if (!q.exec(QString::fromUtf8(sql)))
            std::fprintf(stderr, "Qt: %s: %s\n", sql.constData(), qPrintable(q.lastError().text()));
    }
    int prepare(const QByteArray &sql) override
    {
        auto q = std::make_unique<QSqlQuery>(m_db);
        q->setForwardOnly(true);
        if (!q->prepare(QString::fromUtf8(sql)))
            std::fprintf(stderr, "Qt: %s: %s\n", sql.constData(), qPrintable(q->lastError().text()));
        m_queries.push_back(std::move(q));
        return int(m_queries.size()) - 1;
    }
    void run(int statement, const Params &params) override
    {
        QSqlQuery &q = bind(statement, params);
        q.exec();
        q.finish();
    }
    int readAll(int statement, const Params &params) override
    {
        QSqlQuery &q = bind(statement, params);
        q.exec();
        int rows = 0;
        while (q.next()) {
            for (int c = 0, n = q.record().count(); c < n; ++c)
                q.value(c);
            ++rows;
        }
        q.finish();
        return rows;
    }
    qint64 readInt(int statement, const Params &params) override
    {
        QSqlQuery &q = bind(statement, params);
        q.exec();
        const qint64 v = q.next() ? q.value(0).toLongLong() : 0;
        q.finish();
        return v;
    }

private:
    QSqlQuery &bind(int statement, const Params &params)
    {
        QSqlQuery &q = *m_queries[size_t(statement)];
        for (int i = 0; i < int(params.size()); ++i)
            q.bindValue(i, params[size_t(i)].qt);
        return q;
    }

    QString m_name;
    QSqlDatabase m_db;
    std::vector<std::unique_ptr<QSqlQuery>> m_queries;
};

// --- Timing and reporting.

double timeMs(const std::function<void()> &work, int repeat = 1)
{
    double best = 1e300;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

struct Line {
    QString name;
    double engine, qt, c;
};

int readAll(Table &t, const QStringList &names)
{
    int rows = 0;
    for (t.first(); !t.eof(); t.next()) {
        for (const QString &n : names)
            t.value(n);
        ++rows;
    }
    return rows;
}

QString tablePath(const QString &dir, const char *table) { return engine::tablefiles::filePath(dir, QString::fromLatin1(table)); }

void copyTable(const QString &from, const QString &to, const char *table)
{
    engine::tablefiles::copy(from, QString::fromLatin1(table), to);
}

// Fills a table through the engine, outside the timings.
void fill(const QString &dir, const QString &table, int count, const std::function<QVariantList(int)> &row)
{
    Table t;
    t.setDirectory(dir);
    t.setTableName(table);
    t.open();
    const QList<engine::FieldDef> fields = t.fields();
    BulkScope scope;
    for (int id = 1; id <= count; ++id) {
        const QVariantList values = row(id);
        t.append();
        for (qsizetype f = 0; f < values.size(); ++f)
            t.setValue(fields[f].name, values[f]);
        t.post();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::clamp(atoi(argv[1]), demo::MinimumInterventions, demo::MaximumInterventions) : 100000;

    // The archive sigillo-cli demo builds: its register gives every line its rows.
    QTemporaryDir dir;
    demo::Request request;
    request.folder = dir.filePath(QStringLiteral("archive"));
    request.year = 2010;
    request.interventions = rows;
    demo::build(request);
    AppState &state = appState();
    const engine::TableSchema schema = catalogue::schema(QStringLiteral("misurazioni2"));
    QStringList names;
    for (const engine::FieldDef &f : schema.fields)
        names << f.name;
    QList<QVariantList> generated;
    std::vector<Params> params;
    {
        Table demoRegister;
        demoRegister.setDirectory(state.yearDir());
        demoRegister.setTableName(schema.name);
        demoRegister.open();
        for (demoRegister.first(); !demoRegister.eof(); demoRegister.next()) {
            QVariantList row;
            for (const QString &name : std::as_const(names))
                row << demoRegister.value(name);
            generated << row;
            params.push_back(paramsOf(row));
        }
    }
    QList<Line> lines;

    // --- Appends in one transaction, each side into a new file of its own; those files then serve
    // the reading lines.
    QMap<QString, QString> dirs;
    for (const char *side : {"engine", "qt", "c"}) {
        dirs[QString::fromLatin1(side)] = dir.filePath(QString::fromLatin1(side));
        QDir().mkpath(dirs[QString::fromLatin1(side)]);
        engine::tablefiles::create(dirs[QString::fromLatin1(side)], schema);
    }
    const QByteArray insert = "INSERT INTO misurazioni2 VALUES (" + QByteArrayList(schema.fields.size(), "?").join(',') + ')';
    const auto baselineAppends = [&](Baseline &b) {
        return timeMs([&] {
            b.exec("BEGIN");
            const int s = b.prepare(insert);
            for (const Params &p : params)
                b.run(s, p);
            b.exec("COMMIT");
        });
    };
    const QString cFile = tablePath(dirs["c"], "misurazioni2"), qtFile = tablePath(dirs["qt"], "misurazioni2");
    auto c = std::make_unique<PlainC>(cFile);
    auto qt = std::make_unique<QtSql>(qtFile);
    const double cAppend = baselineAppends(*c);
    const double qtAppend = baselineAppends(*qt);
    double engAppend = 0;
    {
        Table fresh;
        fresh.setDirectory(dirs["engine"]);
        fresh.setTableName(schema.name);
        fresh.setIndexName(QStringLiteral("fineindex"));
        fresh.open();
        engAppend = timeMs([&] {
            BulkScope scope;
            for (const QVariantList &row : std::as_const(generated)) {
                fresh.append();
                for (int i = 0; i < row.size(); ++i)
                    fresh.setValue(names[i], row[i]);
                fresh.post();
            }
        });
    }
    lines << Line{QStringLiteral("%1 appends+posts in one bulk scope").arg(rows), engAppend, qtAppend, cAppend};

    // --- Reading, best of three.
    Table t;
    t.setDirectory(dirs["engine"]);
    t.setTableName(schema.name);
    t.setIndexName(QStringLiteral("fineindex"));
    const QByteArray order = " ORDER BY Data_fine COLLATE NOCASE, rowid";
    const auto both = [&](const QByteArray &sql, const Params &p = {}, int repeat = 3) {
        const int cs = c->prepare(sql), qs = qt->prepare(sql);
        return std::pair{timeMs([&] { c->readAll(cs, p); }, repeat), timeMs([&] { qt->readAll(qs, p); }, repeat)};
    };
    long openKb = rssKb();
    t.open();
    openKb = rssKb() - openKb;
    {
        const auto [cOpen, qtOpen] = both("SELECT rowid, * FROM misurazioni2" + order);
        const double engOpen = timeMs([&] {
            t.close();
            t.open();
        }, 3);
        lines << Line{QStringLiteral("open %1 rows in index order").arg(rows), engOpen, qtOpen, cOpen};
    }
    {
        const auto [cFilter, qtFilter] = both("SELECT * FROM misurazioni2 WHERE Trimestre = '2' AND Tipo_intervento = '3'" + order);
        int matched = 0;
        const double engFilter = timeMs([&] {
            t.setFilterText(QStringLiteral("[trimestre]='2' and [tipo_intervento]='3'"));
            t.setFiltered(true);
            matched = readAll(t, names);
            t.setFiltered(false);
        }, 3);
        lines << Line{QStringLiteral("filter text, read %1 rows").arg(matched), engFilter, qtFilter, cFilter};
    }
    {
        const auto [cSearch, qtSearch] = both("SELECT * FROM misurazioni2 WHERE instr(r_ditta, 'ROSSI') > 0" + order);
        int matched = 0;
        const double engSearch = timeMs([&] {
            t.setFilterText(QString());
            t.setRecordFilter([](const Table &row) { return row.asString(QStringLiteral("r_ditta")).contains(QLatin1String("ROSSI")); });
            t.setFiltered(true);
            matched = readAll(t, names);
            t.setFiltered(false);
            t.setRecordFilter({});
        }, 3);
        lines << Line{QStringLiteral("substring callback, read %1 rows").arg(matched), engSearch, qtSearch, cSearch};
    }
    {
        // The first row in the date order holding the company, found through the case-insensitive index.
        std::vector<Params> wanted;
        QVariantList companies;
        for (int i = 0; i < 100; ++i) {
            companies << generated[QRandomGenerator::global()->bounded(rows)][16];
            wanted.push_back({Param::of(companies.last()), Param::of(companies.last())});
        }
        const QByteArray sql = "SELECT rowid FROM misurazioni2 WHERE r_ditta = ? COLLATE NOCASE AND r_ditta = ?" + order + " LIMIT 1";
        const int cs = c->prepare(sql), qs = qt->prepare(sql);
        const double cLocate = timeMs([&] { for (const Params &p : wanted) c->readInt(cs, p); }, 3);
        const double qtLocate = timeMs([&] { for (const Params &p : wanted) qt->readInt(qs, p); }, 3);
        // The first locate on a field builds its look-up index, which later posts keep up to date.
        t.close();
        t.open();
        std::printf("(the first locate after the open, which builds the index: %.3f ms)\n",
                    timeMs([&] { t.locate(QStringLiteral("r_ditta"), {companies.first()}); }));
        const double engLocate = timeMs([&] { for (const QVariant &v : std::as_const(companies)) t.locate(QStringLiteral("r_ditta"), {v}); }, 3);
        lines << Line{QStringLiteral("100 locates on r_ditta"), engLocate, qtLocate, cLocate};
    }
    {
        const int posts = std::min(rows, 1000);
        std::vector<Params> targets;
        QList<int> recNos;
        for (int i = 0; i < posts; ++i) {
            recNos << 1 + int(QRandomGenerator::global()->bounded(rows));
            targets.push_back({Param::of(QStringLiteral("nota %1").arg(i)), Param::of(recNos.last())});
        }
        const QByteArray sql = "UPDATE misurazioni2 SET note3 = ? WHERE rowid = ?";
        const int cs = c->prepare(sql), qs = qt->prepare(sql);
        const double cPosts = timeMs([&] { for (const Params &p : targets) c->run(cs, p); });
        const double qtPosts = timeMs([&] { for (const Params &p : targets) qt->run(qs, p); });
        const double engPosts = timeMs([&] {
            for (int i = 0; i < posts; ++i) {
                t.setRecNo(recNos[i]);
                t.edit();
                t.setValue(QStringLiteral("note3"), targets[size_t(i)][0].qt);
                t.post();
            }
        });
        lines << Line{QStringLiteral("%1 single posts, each committed").arg(posts), engPosts, qtPosts, cPosts};
    }
    t.close();

    // --- Appends through the data module with its rules, each committed as a window commits it, on the
    // demo archive's register; the baselines do what the rules do: the next id, the municipality's
    // province and postal code, the shop's name and VAT number, one insert.
    const int appends = 200;
    {
        const QString dataDir = state.dataDir();
        const auto byRules = [&](Baseline &b) {
            b.exec("ATTACH '" + tablePath(dataDir, "COMUNI_new").toUtf8() + "' AS comuni");
            b.exec("ATTACH '" + tablePath(dataDir, "esercizio").toUtf8() + "' AS shops");
            const int last = b.prepare("SELECT Id_misurazioni FROM misurazioni2 ORDER BY rowid DESC LIMIT 1");
            const int town = b.prepare("SELECT PROVINCIAI, CAP FROM comuni.COMUNI_new WHERE COMUNE = ? COLLATE NOCASE AND COMUNE = ? LIMIT 1");
            const int shop = b.prepare("SELECT Ragione_sociale, Piva FROM shops.esercizio WHERE Id_esercizio = ?");
            const int add = b.prepare(insert);
            const double ms = timeMs([&] {
                for (int i = 0; i < appends; ++i) {
                    Params p = params[size_t(i)];
                    p[0] = Param::of(int(b.readInt(last, {}) + 1));
                    b.readAll(town, {p[11], p[11]});
                    b.readAll(shop, {p[1]});
                    b.run(add, p);
                }
            });
            b.exec("DELETE FROM misurazioni2 WHERE rowid > " + QByteArray::number(rows));
            b.exec("DETACH comuni");
            b.exec("DETACH shops");
            return ms / appends;
        };
        const QString year = tablePath(state.yearDir(), "misurazioni2");
        double cRules = 0, qtRules = 0;
        {
            PlainC yearC(year);
            cRules = byRules(yearC);
        }
        {
            QtSql yearQt(year);
            qtRules = byRules(yearQt);
        }
        Tdm data;
        Table *m = data.Tabmisurazioni;
        // What the register's entry page fills in; the rules do the rest.
        const auto enter = [&](int from) {
            for (int i = from; i < from + appends; ++i) {
                const QVariantList &row = generated[i];
                m->append();
                for (int f : {1, 2, 3, 4, 5, 6, 7, 8, 11, 13})
                    m->setValue(names[f], row[f]);
                m->post();
            }
        };
        const double engRules = timeMs([&] { enter(0); }) / appends;
        lines << Line{QStringLiteral("1 append via the data module at %1 rows").arg(rows), engRules, qtRules, cRules};
        // The same appends in one bulk scope: what the engine and the rules cost without the disk.
        const double engInScope = timeMs([&] {
            BulkScope scope;
            enter(appends);
        }) / appends;
        std::printf("(one append via the data module in a bulk scope: %.3f ms)\n", engInScope);
    }

    // --- The conversion of an older-layout year: its register and extra data into the new register.
    {
        state.AnnoLavoro = QStringLiteral("2009");
        catalogue::createMissingTables(state.yearDir(), catalogue::yearTables());
        fill(state.yearDir(), QStringLiteral("misurazioni"), rows, [&](int id) { return generated[id - 1].mid(0, 16); });
        fill(state.yearDir(), QStringLiteral("dati_extra"), rows, [&](int id) {
            const QVariantList &r = generated[id - 1];
            return QVariantList{id, id, r[19], r[20], r[21], r[22], r[23], r[24], r[25], r[26], r[27], r[28], r[30]};
        });
        const QString year = state.yearDir();
        for (const char *side : {"c", "qt"})
            copyTable(year, QDir(year).filePath(QString::fromLatin1(side)), "misurazioni2");
        // One statement: what the conversion stores, numbered on from the register's last id.
        const auto convert = [&](Baseline &b) {
            b.exec("ATTACH '" + tablePath(year, "misurazioni").toUtf8() + "' AS old");
            b.exec("ATTACH '" + tablePath(year, "dati_extra").toUtf8() + "' AS extra");
            b.exec("ATTACH '" + tablePath(state.dataDir(), "esercizio").toUtf8() + "' AS shops");
            return timeMs([&] {
                b.exec("BEGIN");
                b.exec("INSERT INTO misurazioni2 (Id_misurazioni, Id_esercizio, Id_ms, Id_tecnico, Matricola_ms, Tipo_intervento, "
                       "Data_ini, Data_fine, Esito, Scarico_sn, Trimestre, COMUNE, PROVINCIA, INDIRIZZO, CAP, ANNO, r_ditta, p_iva, "
                       "n_azzeramenti, importo, ivato, pagato, fatturato, Referente, Telefono, cellulare, note1, note2, Promemoria) "
                       "SELECT (SELECT coalesce(max(Id_misurazioni), 0) FROM misurazioni2) + row_number() OVER (ORDER BY m.rowid), "
                       "m.ID_ESERCIZIO, m.ID_MS, m.ID_TECNICO, m.MATRICOLA_MS, m.TIPO_INTERVENTO, m.DATA_INI, m.DATA_FINE, m.ESITO, "
                       "m.SCARICO_SN, m.TRIMESTRE, m.COMUNE, m.PROVINCIA, m.INDIRIZZO, m.CAP, coalesce(substr(m.DATA_FINE, 1, 4), '1899'), "
                       "coalesce(s.Ragione_sociale, ''), coalesce(s.Piva, ''), coalesce(x.N_azzeramenti, ''), coalesce(x.Importo, 0), "
                       "coalesce(x.Ivato, 0), coalesce(x.Pagato_sn, 0), coalesce(x.Fatturato_sn, 0), coalesce(x.Referente, ''), "
                       "coalesce(x.Telefono, ''), coalesce(x.Cellulare, ''), coalesce(x.Note1, ''), coalesce(x.Note2, ''), x.Promemoria "
                       "FROM old.misurazioni m LEFT JOIN extra.dati_extra x ON x.Id = m.ID_MISURAZIONI "
                       "LEFT JOIN shops.esercizio s ON s.Id_esercizio = m.ID_ESERCIZIO ORDER BY m.rowid");
                b.exec("COMMIT");
            });
        };
        double cConvert = 0, qtConvert = 0;
        {
            PlainC yearC(tablePath(QDir(year).filePath(QStringLiteral("c")), "misurazioni2"));
            cConvert = convert(yearC);
        }
        {
            QtSql yearQt(tablePath(QDir(year).filePath(QStringLiteral("qt")), "misurazioni2"));
            qtConvert = convert(yearQt);
        }
        state.ConversioneDaFare = true;
        std::optional<Tdm> data;
        const double engConvert = timeMs([&] { data.emplace(); });

        if (data->Tabmisurazioni->recordCount() != rows)
            std::fprintf(stderr, "the conversion gave %d rows of %d\n", data->Tabmisurazioni->recordCount(), rows);
        lines << Line{QStringLiteral("convert %1 older-layout rows (with the opening)").arg(rows), engConvert, qtConvert, cConvert};
    }

    c.reset();
    qt.reset();
    std::printf("| %-46s | %10s | %10s | %10s | %8s |\n", "operation", "engine ms", "Qt SQL ms", "plain C ms", "engine/C");
    std::printf("|%s|%s|%s|%s|%s|\n", QByteArray(48, '-').constData(), QByteArray(12, '-').constData(),
                QByteArray(12, '-').constData(), QByteArray(12, '-').constData(), QByteArray(10, '-').constData());
    for (const Line &l : lines)
        std::printf("| %-46s | %10.3f | %10.3f | %10.3f | %8.2f |\n", qPrintable(l.name), l.engine, l.qt, l.c, l.engine / l.c);
    std::printf("\nMemory taken by the open of %d rows: %.1f MB\n", rows, openKb / 1024.0);
    return 0;
}
