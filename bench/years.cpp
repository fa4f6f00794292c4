// The lines of the walks that write a year, on the demo archive:
// - the carry-forward of its 100,000-intervention year into the next year, just created;
// - the additional-information import of the same two years, right after it;
// - the import of the file of one of its quarters (about 25,000 interventions, one file) into the same
//   year of a new archive that holds only the laboratory, so that every shop, municipality, model and
//   technician is created.
// The baselines do the same work in SQL on copies of the same files: the new year's register, then the
// staging table and the registries of new archives of their own.

#include "years.h"

#include "data/catalogue.h"
#include "data/tdm.h"
#include "ground/state.h"
#include "ground/windows1252.h"
#include "import/importa.h"
#include "import/infoagg.h"
#include "quarterly/scarico.h"
#include "years/riporto.h"
#include "years/yearopening.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace bench {

namespace {

const char *const CarryForwardSql[] = {
    "INSERT INTO misurazioni2 (Id_misurazioni, Id_esercizio, Matricola_ms, Trimestre, Data_ini, Id_tecnico, Id_ms, COMUNE, PROVINCIA, "
    "INDIRIZZO, CAP, Tipo_intervento, ANNO, r_ditta, p_iva, n_azzeramenti, importo, ivato, pagato, fatturato, Referente, Telefono, "
    "cellulare, note1, note2, Promemoria) "
    "SELECT (SELECT coalesce(max(Id_misurazioni), 0) FROM misurazioni2) + row_number() OVER (ORDER BY p.Data_fine DESC, p.r DESC), "
    "p.Id_esercizio, p.Matricola_ms, p.Trimestre, p.Data_ini, p.Id_tecnico, p.Id_ms, p.COMUNE, p.PROVINCIA, p.INDIRIZZO, p.CAP, '3', "
    "'1899', coalesce(s.Ragione_sociale, ''), coalesce(s.Piva, ''), p.n_azzeramenti, p.importo, p.ivato, p.pagato, p.fatturato, "
    "p.Referente, p.Telefono, p.cellulare, p.note1, p.note2, p.Promemoria "
    "FROM (SELECT *, rowid AS r, row_number() OVER (PARTITION BY Matricola_ms, Id_ms ORDER BY Data_fine DESC, rowid DESC) AS latest "
    "FROM prev.misurazioni2 WHERE Tipo_intervento IN ('1', '3')) p LEFT JOIN shops.esercizio s ON s.Id_esercizio = p.Id_esercizio "
    "WHERE p.latest = 1 AND NOT EXISTS (SELECT 1 FROM misurazioni2 m WHERE m.Matricola_ms = p.Matricola_ms AND m.Id_ms = p.Id_ms) "
    "ORDER BY p.Data_fine DESC, p.r DESC",
    "DELETE FROM misurazioni2 WHERE Id_misurazioni IN (SELECT m.Id_misurazioni FROM misurazioni2 m JOIN prev.misurazioni2 d "
    "ON d.Tipo_intervento = '2' AND d.Matricola_ms = m.Matricola_ms AND d.Id_ms = m.Id_ms "
    "WHERE d.Data_ini > coalesce(m.Data_ini, '1899-12-30'))",
};

const char *const AdditionalInformationSql[] = {
    "UPDATE misurazioni2 SET n_azzeramenti = l.n_azzeramenti, importo = l.importo, ivato = l.ivato, pagato = l.pagato, "
    "fatturato = l.fatturato, Referente = l.Referente, Telefono = l.Telefono, cellulare = l.cellulare, note1 = l.note1, "
    "note2 = l.note2, Promemoria = l.Promemoria "
    "FROM (SELECT *, row_number() OVER (PARTITION BY Matricola_ms, Id_ms ORDER BY Data_fine DESC, rowid DESC) AS latest "
    "FROM prev.misurazioni2) l "
    "WHERE l.latest = 1 AND l.Matricola_ms = misurazioni2.Matricola_ms AND l.Id_ms = misurazioni2.Id_ms",
};

#define STAGED_DATE(field) \
    "CASE WHEN r." field " = '' THEN NULL ELSE substr(r." field ", 5, 4) || '-' || substr(r." field ", 3, 2) || '-' || " \
    "substr(r." field ", 1, 2) END"

// On the staging table riga3 (main) with the new archive's registries and register attached.
const char *const MergeSql[] = {
    "INSERT INTO comuni.COMUNI_new (COMUNE, PROVINCIAI, CAP) SELECT upper(r.Comune), r.Provincia, r.Cap FROM riga3 r "
    "WHERE r.Comune <> '' AND NOT EXISTS (SELECT 1 FROM comuni.COMUNI_new c WHERE c.COMUNE = upper(r.Comune)) "
    "GROUP BY upper(r.Comune)",
    "INSERT INTO shops.esercizio (Id_esercizio, Ragione_sociale, Piva, Comune, Provincia, Indirizzo, Cap) "
    "SELECT (SELECT coalesce(max(Id_esercizio), 0) FROM shops.esercizio) + row_number() OVER (ORDER BY min(r.Id)), "
    "upper(r.Ragione_sociale), upper(r.Piva), c.COMUNE, c.PROVINCIAI, upper(r.Indirizzo), c.CAP "
    "FROM riga3 r LEFT JOIN comuni.COMUNI_new c ON c.COMUNE = upper(r.Comune) "
    "WHERE NOT EXISTS (SELECT 1 FROM shops.esercizio e WHERE e.Piva = upper(r.Piva)) GROUP BY upper(r.Piva)",
    "INSERT INTO models.ms (Id_ms, Marchio_ms, Denominazione_ms, Logotipo_ms) "
    "SELECT (SELECT coalesce(max(Id_ms), 0) FROM models.ms) + row_number() OVER (ORDER BY min(r.Id)), upper(r.Marchio_ms), "
    "upper(r.Denominazione_ms), upper(r.Logotipo) FROM riga3 r "
    "WHERE NOT EXISTS (SELECT 1 FROM models.ms m WHERE m.Denominazione_ms = upper(r.Denominazione_ms)) "
    "GROUP BY upper(r.Denominazione_ms)",
    "INSERT INTO tec.tecnici (Id_tecnico, Cf, Id_nu_sigillo, Id_sogg) "
    "SELECT (SELECT coalesce(max(Id_tecnico), 0) FROM tec.tecnici) + row_number() OVER (ORDER BY min(r.Id)), upper(r.Cf), "
    "upper(r.Id_num_sigillo), (SELECT a.Id_Lsogg FROM auth.Lsoggetto_obbligato a WHERE a.Id_al_sigillo = r.Id_al_sigillo LIMIT 1) "
    "FROM riga3 r WHERE NOT EXISTS (SELECT 1 FROM tec.tecnici t WHERE t.Cf = upper(r.Cf) AND t.Id_nu_sigillo = upper(r.Id_num_sigillo)) "
    "GROUP BY upper(r.Cf), upper(r.Id_num_sigillo)",
    "INSERT INTO y.misurazioni2 (Id_misurazioni, Id_esercizio, Id_ms, Id_tecnico, INDIRIZZO, CAP, COMUNE, PROVINCIA, Matricola_ms, "
    "Data_ini, Data_fine, Trimestre, Tipo_intervento, Esito, ANNO) "
    "SELECT (SELECT coalesce(max(Id_misurazioni), 0) FROM y.misurazioni2) + row_number() OVER (ORDER BY r.Id), e.Id_esercizio, "
    "m.Id_ms, t.Id_tecnico, upper(r.Indirizzo), upper(r.Cap), upper(r.Comune), upper(r.Provincia), upper(trim(r.Matricola)), "
    STAGED_DATE("Data_inizio") ", " STAGED_DATE("Data_fine") ", r.Trimestre, r.Tipo_intervento, r.Esito, "
    "CASE WHEN r.Data_fine = '' THEN '1899' ELSE substr(r.Data_fine, 5, 4) END "
    "FROM riga3 r JOIN shops.esercizio e ON e.Piva = upper(r.Piva) JOIN models.ms m ON m.Denominazione_ms = upper(r.Denominazione_ms) "
    "JOIN tec.tecnici t ON t.Cf = upper(r.Cf) AND t.Id_nu_sigillo = upper(r.Id_num_sigillo) "
    "WHERE NOT EXISTS (SELECT 1 FROM y.misurazioni2 x WHERE x.Matricola_ms = upper(trim(r.Matricola)) "
    "AND x.Tipo_intervento = r.Tipo_intervento) ORDER BY r.Id",
};

// The intervention record's fields, as the staging table holds them (1-based position, width).
constexpr std::pair<int, int> InterventionFields[] = {{2, 16},   {18, 30},  {48, 4},   {52, 8},   {60, 8},   {68, 1},
                                                      {69, 11},  {80, 60},  {140, 40}, {180, 2},  {182, 35}, {217, 5},
                                                      {222, 1},  {223, 40}, {263, 40}, {303, 2},  {305, 9}};

void attach(Baseline &b, const QList<std::pair<QString, const char *>> &files)
{
    for (const auto &[path, alias] : files)
        b.exec("ATTACH '" + path.toUtf8() + "' AS " + alias);
}

template<size_t n>
double runStatements(Baseline &b, const char *const (&statements)[n])
{
    return timeMs([&] {
        b.exec("BEGIN");
        for (const char *statement : statements)
            b.exec(statement);
        b.exec("COMMIT");
    });
}

// Stages the file's interventions in riga3 and merges them, as one transaction.
double importWith(Baseline &b, const QString &file)
{
    const int insert = b.prepare("INSERT INTO riga3 (Id, Cf, Id_al_sigillo, Id_num_sigillo, Data_inizio, Data_fine, Esito, Piva, "
                                 "Ragione_sociale, Comune, Provincia, Indirizzo, Cap, Tipo_intervento, Marchio_ms, Denominazione_ms, "
                                 "Logotipo, Matricola, Trimestre) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return timeMs([&] {
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        const QByteArray content = in.readAll();
        b.exec("BEGIN");
        b.exec("DELETE FROM riga3");
        int id = 0;
        QString quarter;
        for (const QByteArray &raw : content.split('\n')) {
            const QString line = windows1252::decode(raw.left(313));
            if (raw.contains("0MIS00"))
                quarter = line.mid(274, 1).trimmed();
            if (!raw.startsWith('2'))
                continue;
            QVariantList values{++id};
            for (const auto &[start, width] : InterventionFields) {
                QString value = line.mid(start - 1, width);
                while (value.endsWith(QLatin1Char(' ')))
                    value.chop(1);
                values << value;
            }
            values << quarter;
            b.run(insert, paramsOf(values));
        }
        for (const char *statement : MergeSql)
            b.exec(statement);
        b.exec("COMMIT");
    });
}

// A new archive holding only the laboratory of the demo archive's, with the year of the file empty.
AppState freshArchive(const QString &folder, const AppState &demo)
{
    AppState fresh = demo;
    fresh.DirBase = withTrailingSeparator(folder);
    catalogue::createMissingTables(fresh.dataDir(), catalogue::baseTables());
    catalogue::createMissingTables(fresh.yearDir(), catalogue::yearTables());
    catalogue::createMissingTables(fresh.importDir(), catalogue::stagingTables());
    for (const char *table : {"soggetto_obbligato", "Lsoggetto_obbligato"}) {
        QFile::remove(tablePath(fresh.dataDir(), table));
        copyTable(demo.dataDir(), fresh.dataDir(), table);
    }
    return fresh;
}

int rowsOf(const QString &directory, const char *table)
{
    Table t;
    t.setDirectory(directory);
    t.setTableName(QString::fromLatin1(table));
    t.open();
    return t.recordCount();
}

} // namespace

void yearLines(QList<Line> &lines, const QString &workDir)
{
    AppState &state = appState();
    const AppState demo = state;
    const QString previous = demo.yearDir();
    const QString next = QString::number(demo.AnnoLavoro.toInt() + 1);
    years::CreaAnno(next);
    state.AnnoLavoro = next;
    const QString year = state.yearDir();
    for (const char *side : {"c", "qt"})
        copyTable(year, QDir(year).filePath(QString::fromLatin1(side)), "misurazioni2");
    const auto sideFile = [&year](const char *side) { return tablePath(QDir(year).filePath(QString::fromLatin1(side)), "misurazioni2"); };
    const QList<std::pair<QString, const char *>> previousAndShops{{tablePath(previous, "misurazioni2"), "prev"},
                                                                   {tablePath(demo.dataDir(), "esercizio"), "shops"}};

    double cCarry = 0, qtCarry = 0, cInfo = 0, qtInfo = 0;
    {
        PlainC c(sideFile("c"));
        attach(c, previousAndShops);
        cCarry = runStatements(c, CarryForwardSql);
        cInfo = runStatements(c, AdditionalInformationSql);
    }
    {
        QtSql qt(sideFile("qt"));
        attach(qt, previousAndShops);
        qtCarry = runStatements(qt, CarryForwardSql);
        qtInfo = runStatements(qt, AdditionalInformationSql);
    }
    const int previousRows = rowsOf(previous, "misurazioni2");
    int carried = 0, informed = 0;
    double engCarry = 0, engInfo = 0;
    {
        Tdm data;
        engCarry = timeMs([&] { carried = years::RiportaVerifiche(data).carried; });
        engInfo = timeMs([&] { informed = importer::ImportaInfoAggiuntive(data); });
    }
    if (carried != rowsOf(QDir(year).filePath(QStringLiteral("c")), "misurazioni2"))
        std::fprintf(stderr, "the carry-forward gave %d rows, the baseline %d\n", carried, rowsOf(QDir(year).filePath(QStringLiteral("c")), "misurazioni2"));
    lines << Line{QStringLiteral("carry forward %1 rows (%2 carried)").arg(previousRows).arg(carried), engCarry, qtCarry, cCarry};
    lines << Line{QStringLiteral("additional info on %1 rows (%2 written)").arg(previousRows).arg(informed), engInfo, qtInfo, cInfo};

    // The file of the second quarter, as one file.
    state = demo;
    QDir work(workDir);
    work.mkpath(QStringLiteral("import"));
    quarterly::Scarico scarico(state);
    scarico.select(2);
    const QString file = scarico.generate({work.filePath(QStringLiteral("import")), QStringLiteral("bench"), false}).files.value(0);
    const auto attachFresh = [](Baseline &b, const AppState &fresh) {
        attach(b, {{tablePath(fresh.dataDir(), "COMUNI_new"), "comuni"}, {tablePath(fresh.dataDir(), "esercizio"), "shops"},
                   {tablePath(fresh.dataDir(), "ms"), "models"}, {tablePath(fresh.dataDir(), "tecnici"), "tec"},
                   {tablePath(fresh.dataDir(), "Lsoggetto_obbligato"), "auth"}, {tablePath(fresh.yearDir(), "misurazioni2"), "y"}});
    };
    double cImport = 0, qtImport = 0;
    {
        const AppState fresh = freshArchive(work.filePath(QStringLiteral("import/c")), demo);
        PlainC c(tablePath(fresh.importDir(), "riga3"));
        attachFresh(c, fresh);
        cImport = importWith(c, file);
    }
    {
        const AppState fresh = freshArchive(work.filePath(QStringLiteral("import/qt")), demo);
        QtSql qt(tablePath(fresh.importDir(), "riga3"));
        attachFresh(qt, fresh);
        qtImport = importWith(qt, file);
    }
    const AppState fresh = freshArchive(work.filePath(QStringLiteral("import/engine")), demo);
    importer::Merged merged;
    const double engImport = timeMs([&] {
        importer::QuarterlyImport import(fresh);
        import.stage(file, importer::Layout::Y2010);
        merged = import.merge();
    });
    const QString cYear = QDir(work.filePath(QStringLiteral("import/c"))).filePath(demo.AnnoLavoro);
    if (!merged.done || merged.added != rowsOf(cYear, "misurazioni2"))
        std::fprintf(stderr, "the import added %d rows, the baseline %d\n", merged.added, rowsOf(cYear, "misurazioni2"));
    lines << Line{QStringLiteral("import a %1-intervention file (%2 shops)").arg(merged.added).arg(merged.shops), engImport, qtImport,
                  cImport};
}

} // namespace bench
