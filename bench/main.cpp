// sigillo_bench: times the table engine against the same work done with plain SQLite (Qt SQL, same
// pragmas) in the same run, on a register of the year of realistic size. Usage: sigillo_bench [rows]
// It is not part of the program: its baseline is plain SQL by design, the yardstick the engine is
// measured against, so it is the one place outside the engine that speaks SQL.

#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace engine;

namespace {

TableSchema registerSchema(const QString &name)
{
    TableSchema s;
    s.name = name;
    auto add = [&s](const char *field, FieldType type, int size = 0, bool required = false) {
        s.fields << FieldDef{QString::fromLatin1(field), type, size, required};
    };
    add("Id_misurazioni", FieldType::Integer, 0, true);
    add("Id_esercizio", FieldType::Integer, 0, true);
    add("Id_ms", FieldType::Integer, 0, true);
    add("Id_tecnico", FieldType::Integer, 0, true);
    add("Matricola_ms", FieldType::Text, 9);
    add("Tipo_intervento", FieldType::Text, 1);
    add("Data_ini", FieldType::Date);
    add("Data_fine", FieldType::Date);
    add("Esito", FieldType::Text, 1);
    add("Scarico_sn", FieldType::Boolean);
    add("Trimestre", FieldType::Text, 1);
    add("COMUNE", FieldType::Text, 40);
    add("PROVINCIA", FieldType::Text, 2);
    add("INDIRIZZO", FieldType::Text, 35);
    add("CAP", FieldType::Text, 5);
    add("ANNO", FieldType::Text, 4);
    add("r_ditta", FieldType::Text, 60);
    add("p_iva", FieldType::Text, 11);
    add("data_nuova_verifica", FieldType::Date);
    add("n_azzeramenti", FieldType::Text, 25);
    add("importo", FieldType::Number);
    add("ivato", FieldType::Boolean);
    add("pagato", FieldType::Boolean);
    add("fatturato", FieldType::Boolean);
    add("Referente", FieldType::Text, 100);
    add("Telefono", FieldType::Text, 25);
    add("cellulare", FieldType::Text, 25);
    add("note1", FieldType::Text, 200);
    add("note2", FieldType::Text, 200);
    add("note3", FieldType::Text, 200);
    add("Promemoria", FieldType::Date);
    s.primaryKey = QStringLiteral("Id_misurazioni");
    const char *indexes[][2] = {{"fineindex", "data_fine"}, {"comuneindex", "comune"}, {"id_tecnicoindex", "id_tecnico"},
                                {"id_esercizioindex", "id_esercizio"}, {"id_msindex", "id_ms"}, {"tipo_intindex", "tipo_intervento"},
                                {"esitoindex", "esito"}, {"r_dittaindex", "r_ditta"}, {"Matricola_msindex", "Matricola_ms"}};
    for (const auto &ix : indexes)
        s.indexes << IndexDef{QString::fromLatin1(ix[0]), QString::fromLatin1(ix[1]), true};
    return s;
}

// A plausible intervention; the same id always gives the same row.
QVariantList makeRow(int id)
{
    QRandomGenerator g(quint32(id) * 2654435761u);
    static const char *towns[] = {"ROMA", "MILANO", "NAPOLI", "TORINO", "PALERMO", "GENOVA", "BOLOGNA", "FIRENZE",
                                  "BARI", "CATANIA", "VENEZIA", "VERONA", "MESSINA", "PADOVA", "TRIESTE", "BRESCIA"};
    static const char *surnames[] = {"ROSSI", "RUSSO", "FERRARI", "ESPOSITO", "BIANCHI", "ROMANO", "COLOMBO", "RICCI",
                                     "MARINO", "GRECO", "BRUNO", "GALLO", "CONTI", "DE LUCA", "MANCINI", "COSTA"};
    static const char *kinds[] = {"BAR", "TABACCHI", "ALIMENTARI", "PANIFICIO", "FERRAMENTA", "PROFUMERIA", "L'ANGOLO"};
    const QDate end = QDate(2010, 1, 1).addDays(g.bounded(365));
    const QString company = QStringLiteral("%1 %2 DI %3 S.N.C.")
                                .arg(QLatin1String(kinds[g.bounded(7)]), QLatin1String(surnames[g.bounded(16)]),
                                     QLatin1String(surnames[g.bounded(16)]));
    auto digits = [&g](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + g.bounded(10));
        return s;
    };
    const bool note = g.bounded(10) < 3;
    return {id, 1 + g.bounded(20000), 1 + g.bounded(500), 1 + g.bounded(20),
            QStringLiteral("AB") + digits(7), QString::number(1 + g.bounded(3)), end.addDays(-g.bounded(3)), end,
            QString::number(g.bounded(2)), g.bounded(2) == 1, QString::number((end.month() - 1) / 3 + 1),
            QLatin1String(towns[g.bounded(16)]), QStringLiteral("RM"), QStringLiteral("VIA GARIBALDI %1").arg(g.bounded(200)),
            digits(5), QStringLiteral("2010"), company, digits(11), end.addYears(1), QString::number(g.bounded(40)),
            double(g.bounded(20000)) / 100.0, true, g.bounded(4) != 0, g.bounded(2) == 1,
            QStringLiteral("SIG. %1").arg(QLatin1String(surnames[g.bounded(16)])), QStringLiteral("06 ") + digits(7),
            QStringLiteral("333 ") + digits(7),
            note ? QStringLiteral("Verificazione eseguita presso il punto vendita; sigilli sostituiti e registrati nel libretto.") : QString(),
            QString(), QString(), QVariant()};
}

QVariant sqlValue(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    if (v.typeId() == QMetaType::QString && v.toString().isNull())
        return QStringLiteral("");
    return v;
}

QSqlDatabase baselineConnection(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("baseline"));
    db.setDatabaseName(path);
    db.open();
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return db;
}

const QString kOrder = QStringLiteral(" ORDER BY Data_fine COLLATE NOCASE, rowid");

int readAll(QSqlQuery &q, int columns)
{
    int rows = 0;
    while (q.next()) {
        for (int i = 0; i < columns; ++i)
            q.value(i);
        ++rows;
    }
    return rows;
}

int readAll(Table &t, const QStringList &names)
{
    int rows = 0;
    t.first();
    while (!t.eof()) {
        for (const QString &n : names)
            t.value(n);
        ++rows;
        t.next();
    }
    return rows;
}

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

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

struct Line {
    QString name;
    double engine;
    double baseline;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    QTemporaryDir dir;
    const TableSchema schema = registerSchema(QStringLiteral("misurazioni2"));
    QStringList names;
    for (const FieldDef &f : schema.fields)
        names << f.name;
    const int n = int(names.size());
    QList<Line> lines;

    // Appends in one transaction. The baseline's file then serves the reading lines, and a copy of it
    // is the engine's table.
    QDir(dir.path()).mkdir(QStringLiteral("base"));
    QDir(dir.path()).mkdir(QStringLiteral("eng"));
    QDir(dir.path()).mkdir(QStringLiteral("new"));
    const QString baseDir = dir.filePath(QStringLiteral("base")), engDir = dir.filePath(QStringLiteral("eng"));
    tablefiles::create(baseDir, schema);
    QSqlDatabase db = baselineConnection(tablefiles::filePath(baseDir, schema.name));
    const double baseAppend = timeMs([&] {
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO misurazioni2 VALUES (%1)").arg(QStringList(n, QStringLiteral("?")).join(QLatin1Char(','))));
        for (int id = 1; id <= rows; ++id) {
            const QVariantList row = makeRow(id);
            for (int i = 0; i < n; ++i)
                q.bindValue(i, sqlValue(row[i]));
            q.exec();
        }
        db.commit();
    });
    QFile::copy(tablefiles::filePath(baseDir, schema.name), tablefiles::filePath(engDir, schema.name));

    Table t;
    t.setDirectory(engDir);
    t.setTableName(schema.name);
    t.setIndexName(QStringLiteral("fineindex"));
    const double baseOpen = timeMs([&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT rowid, * FROM misurazioni2") + kOrder);
        readAll(q, n + 1);
    }, 3);
    const double engOpen = timeMs([&] {
        t.close();
        t.open();
    }, 3);
    const long rssKb = peakRssKb();
    lines << Line{QStringLiteral("open %1 rows in index order").arg(rows), engOpen, baseOpen};

    const QString where = QStringLiteral(" WHERE Trimestre='2' AND Tipo_intervento='3'");
    const double baseFilter = timeMs([&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM misurazioni2") + where + kOrder);
        readAll(q, n);
    }, 3);
    int matched = 0;
    const double engFilter = timeMs([&] {
        t.setFilterText(QStringLiteral("[trimestre]='2' and [tipo_intervento]='3'"));
        t.setFiltered(true);
        matched = readAll(t, names);
        t.setFiltered(false);
    }, 3);
    lines << Line{QStringLiteral("filter text, read %1 rows").arg(matched), engFilter, baseFilter};

    const double baseSearch = timeMs([&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT * FROM misurazioni2 WHERE instr(r_ditta, 'ROSSI') > 0") + kOrder);
        readAll(q, n);
    }, 3);
    const double engSearch = timeMs([&] {
        t.setFilterText(QString());
        t.setRecordFilter([](const Table &row) { return row.asString(QStringLiteral("r_ditta")).contains(QLatin1String("ROSSI")); });
        t.setFiltered(true);
        matched = readAll(t, names);
        t.setFiltered(false);
        t.setRecordFilter({});
    }, 3);
    lines << Line{QStringLiteral("substring callback, read %1 rows").arg(matched), engSearch, baseSearch};

    QVariantList wanted;
    for (int i = 0; i < 100; ++i)
        wanted << t.valueAt(int(QRandomGenerator::global()->bounded(t.recordCount())), QStringLiteral("r_ditta"));
    const double baseLocate = timeMs([&] {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT rowid FROM misurazioni2 WHERE r_ditta = ?") + kOrder + QStringLiteral(" LIMIT 1"));
        for (const QVariant &v : wanted) {
            q.bindValue(0, v);
            q.exec();
            q.next();
        }
    });
    const double engLocate = timeMs([&] {
        for (const QVariant &v : wanted)
            t.locate(QStringLiteral("r_ditta"), {v});
    });
    lines << Line{QStringLiteral("100 locates on r_ditta"), engLocate, baseLocate};

    const int posts = std::min(rows, 1000);
    QList<int> targets;
    for (int i = 0; i < posts; ++i)
        targets << 1 + int(QRandomGenerator::global()->bounded(rows));
    const double basePosts = timeMs([&] {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE misurazioni2 SET note3 = ? WHERE rowid = ?"));
        for (int i = 0; i < posts; ++i) {
            q.bindValue(0, QStringLiteral("nota %1").arg(i));
            q.bindValue(1, targets[i]);
            q.exec();
        }
    });
    const double engPosts = timeMs([&] {
        for (int i = 0; i < posts; ++i) {
            t.setRecNo(targets[i]);
            t.edit();
            t.setValue(QStringLiteral("note3"), QStringLiteral("nota %1").arg(i));
            t.post();
        }
    });
    lines << Line{QStringLiteral("%1 single posts, each committed").arg(posts), engPosts, basePosts};
    t.close();

    const QString newDir = dir.filePath(QStringLiteral("new"));
    tablefiles::create(newDir, schema);
    Table fresh;
    fresh.setDirectory(newDir);
    fresh.setTableName(schema.name);
    fresh.setIndexName(QStringLiteral("fineindex"));
    fresh.open();
    const double engAppend = timeMs([&] {
        BulkScope scope;
        for (int id = 1; id <= rows; ++id) {
            const QVariantList row = makeRow(id);
            fresh.append();
            for (int i = 0; i < n; ++i)
                fresh.setValue(names[i], row[i]);
            fresh.post();
        }
    });
    fresh.last(); // the appended rows take their places in the order
    lines << Line{QStringLiteral("%1 appends+posts in one bulk scope").arg(rows), engAppend, baseAppend};

    std::printf("| %-42s | %10s | %11s | %5s |\n", "operation", "engine ms", "baseline ms", "ratio");
    std::printf("|%s|%s|%s|%s|\n", QByteArray(44, '-').constData(), QByteArray(12, '-').constData(),
                QByteArray(13, '-').constData(), QByteArray(7, '-').constData());
    for (const Line &l : lines)
        std::printf("| %-42s | %10.1f | %11.1f | %5.2f |\n", qPrintable(l.name), l.engine, l.baseline, l.engine / l.baseline);
    std::printf("\nPeak RSS after opening %d rows: %.1f MB\n", rows, rssKb / 1024.0);
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("baseline"));
    return 0;
}
