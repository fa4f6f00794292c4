// The spreadsheet export against the same workbook made from SQL: the year's register in end-date
// order with the shop, model and technician joined, every row written with libxlsxwriter in constant
// memory, the end date as a date cell. The program's export also reads its sheet back before renaming
// it into place; the baselines only write.

#include "prints.h"

#include "data/tdm.h"
#include "ground/state.h"
#include "prints/export_xlsx.h"

#include <QDir>

#include <xlsxwriter.h>

namespace bench {

namespace {

const QByteArray Join =
    "SELECT m.Tipo_intervento, m.Esito, s.Ragione_sociale, m.COMUNE, m.PROVINCIA, m.INDIRIZZO, m.CAP, "
    "ms.Marchio_ms, ms.Denominazione_ms, ms.Logotipo_ms, t.Cogn_nome, m.Data_fine, m.Matricola_ms "
    "FROM misurazioni2 m LEFT JOIN shops.esercizio s ON s.Id_esercizio = m.Id_esercizio "
    "LEFT JOIN models.ms ms ON ms.Id_ms = m.Id_ms LEFT JOIN technicians.tecnici t ON t.Id_tecnico = m.Id_tecnico "
    "ORDER BY m.Data_fine COLLATE NOCASE, m.rowid";

// One workbook; row(values) gives the 13 values of the next row as UTF-8 texts, false at the end.
void writeWorkbook(const QString &path, const std::function<bool(QByteArray *values)> &row)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format(date, "dd/mm/yyyy");
    const QStringList header = extraprints::exportHeader();
    for (int column = 0; column < header.size(); ++column)
        worksheet_write_string(sheet, 0, lxw_col_t(column), header[column].toUtf8().constData(), nullptr);
    QByteArray values[13];
    for (lxw_row_t r = 1; row(values); ++r) {
        for (lxw_col_t column = 0; column < 13; ++column) {
            const QByteArray &v = values[column];
            if (column == 11 && v.size() >= 10) {
                lxw_datetime when{v.left(4).toInt(), v.mid(5, 2).toInt(), v.mid(8, 2).toInt(), 0, 0, 0};
                worksheet_write_datetime(sheet, r, column, &when, date);
            } else if (!v.isEmpty()) {
                worksheet_write_string(sheet, r, column, v.constData(), nullptr);
            }
        }
    }
    workbook_close(workbook);
}

} // namespace

void printLines(QList<Line> &lines, const QString &workDir)
{
    const AppState &state = appState();
    const QDir out(workDir);
    double engine = 0;
    int rows = 0;
    {
        Tdm data;
        engine = timeMs([&] {
            const extraprints::ExportOutcome outcome = extraprints::exportWorkbook(*data.Tabmisurazioni, out.filePath("engine.xlsx"));
            if (!outcome.written)
                std::fprintf(stderr, "export: %s\n", qPrintable(outcome.problem));
            rows = outcome.rows;
        });
    }
    const QByteArray attach = "ATTACH '" + tablePath(state.dataDir(), "esercizio").toUtf8() + "' AS shops; ATTACH '"
                            + tablePath(state.dataDir(), "ms").toUtf8() + "' AS models; ATTACH '"
                            + tablePath(state.dataDir(), "tecnici").toUtf8() + "' AS technicians";

    double c = 0;
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(tablePath(state.yearDir(), "misurazioni2").toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, Join.constData(), int(Join.size()), &s, nullptr);
        c = timeMs([&] {
            sqlite3_reset(s);
            writeWorkbook(out.filePath("c.xlsx"), [&](QByteArray *values) {
                if (sqlite3_step(s) != SQLITE_ROW)
                    return false;
                for (int column = 0; column < 13; ++column)
                    values[column] = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                                                sqlite3_column_bytes(s, column));
                return true;
            });
        });
        sqlite3_finalize(s);
        sqlite3_close(db);
    }

    double qt = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prints"));
        db.setDatabaseName(tablePath(state.yearDir(), "misurazioni2"));
        db.open();
        {
            QSqlQuery query(db);
            for (const QByteArray &statement : attach.split(';'))
                query.exec(QString::fromUtf8(statement));
            query.setForwardOnly(true);
            qt = timeMs([&] {
                query.exec(QString::fromUtf8(Join));
                writeWorkbook(out.filePath("qt.xlsx"), [&](QByteArray *values) {
                    if (!query.next())
                        return false;
                    for (int column = 0; column < 13; ++column)
                        values[column] = query.value(column).toString().toUtf8();
                    return true;
                });
            });
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prints"));
    lines << Line{QStringLiteral("export %1 rows to .xlsx").arg(rows), engine, qt, c};
}

} // namespace bench
