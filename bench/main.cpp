// sigillo_bench: times the table engine, the data module and the windows on an archive of realistic
// size against the same work done, in the same run and on the same files, by two baselines: Qt SQL, as
// a program without the engine would use SQLite, and plain C on the sqlite3 API, the practical limit of
// this design. Usage: sigillo_bench [rows], 1,000 to 1,000,000 of them.
// It is not part of the program; benchkit.h holds the baselines, windows.cpp and register.cpp the windows'
// lines, years.cpp the walks that write a year, report.cpp the report engine's.

#include "app/demo.h"
#include "benchkit.h"
#include "data/catalogue.h"
#include "data/tdm.h"
#include "ground/state.h"
#include "prints.h"
#include "quarterly.h"
#include "register.h"
#include "report.h"
#include "windows.h"
#include "years.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <optional>

using namespace bench;

int main(int argc, char **argv)
{
    // The windows' lines need widgets, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Fewer rows than a thousand leave some lines without their screens and samples.
    constexpr int FewestRows = 1000;
    bool counted = argc == 1;
    const int rows = argc == 2 ? QByteArray(argv[1]).toInt(&counted) : 100000;
    if (!counted || argc > 2 || rows < FewestRows || rows > demo::MaximumInterventions) {
        std::fprintf(stderr, "usage: sigillo_bench [rows]   (%d to %d interventions, 100000 when not given)\n", FewestRows,
                     demo::MaximumInterventions);
        return 2;
    }

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
    windowLines(lines);
    registerLines(lines);
    quarterlyLines(lines, dir.path());
    yearLines(lines, dir.path());
    reportLines(lines, dir.path());
    printLines(lines, dir.path());

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
