#pragma once
// The archive of the extra prints tests: year 2021 with four interventions on two shops (one a
// company "S.r.l.", one whose name holds every character the old export replaced), three models two of
// which share the name KUBE, two technicians, and municipalities with an apostrophe and an accent.
// In end-date order the interventions are 4 (no end date), 1, 3, 2. Extra rows, when asked for, are
// long ones after those, for a sheet bigger than a small disk.
//
// readWorkbook() reads an .xlsx back with openpyxl (Debian's python3-openpyxl), a reader of its own: every row as texts, a date
// cell as "date:" + dd/MM/yyyy + ":" + its number format, an empty cell as "".

#include "testbase.h"

#include "data/engine/bulkscope.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

struct ExtraArchive : TestBase {
    explicit ExtraArchive(int extraRows = 0) : TestBase(QStringLiteral("2021"))
    {
        addDataRows(QStringLiteral("esercizio"),
                    {{{"Id_esercizio", 1}, {"Ragione_sociale", "ROSSI S.r.l."}, {"Piva", "01234567890"}, {"Comune", "ROMA"}},
                     {{"Id_esercizio", 2}, {"Ragione_sociale", "BAR L'AQUILA, \"DA GINO\" 100%"}, {"Comune", "L'AQUILA"}}});
        addDataRows(QStringLiteral("ms"),
                    {{{"Id_ms", 1}, {"Marchio_ms", "OLIVETTI"}, {"Denominazione_ms", "NETTUNA 300"}, {"Logotipo_ms", "AB"}},
                     {{"Id_ms", 2}, {"Marchio_ms", "CUSTOM"}, {"Denominazione_ms", "KUBE"}, {"Logotipo_ms", "C1"}},
                     {{"Id_ms", 3}, {"Marchio_ms", "RCH"}, {"Denominazione_ms", "KUBE"}, {"Logotipo_ms", "R2"}}});
        addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 1}, {"Cogn_nome", "VERDI ANNA"}},
                                                {{"Id_tecnico", 2}, {"Cogn_nome", "BIANCHI MARIO"}}});
        addDataRows(QStringLiteral("COMUNI_new"), {{{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CAP", "00100"}},
                                                   {{"COMUNE", "L'AQUILA"}, {"PROVINCIAI", "AQ"}, {"CAP", "67100"}},
                                                   {{"COMUNE", "FORLÌ"}, {"PROVINCIAI", "FC"}, {"CAP", "47121"}}});
        QList<QVariantMap> rows{
            intervention(1, 1, 1, 2, "1", QDate(2021, 1, 15), "0", "ROMA", "RM", "VIA ROMA, 1", "00100"),
            intervention(2, 2, 2, 1, "2", QDate(2021, 3, 10), "1", "L'AQUILA", "AQ", "CORSO \"VITTORIO\" 2", "67100"),
            intervention(3, 1, 3, 1, "2", QDate(2021, 2, 1), "0", "ROMA", "RM", "VIA ROMA, 1", "00100"),
            intervention(4, 2, 2, 2, "3", QDate(), "0", "FORLÌ", "FC", "PIAZZA SAFFI 8", "47121"),
        };
        for (int id = 5; id < 5 + extraRows; ++id)
            rows << intervention(id, 1, 1, 1, "3", QDate(2021, 12, 31), "0", "ROMA", "RM",
                                 QStringLiteral("VIA DEI MILLE MOLTO LUNGA %1").arg(id), "00100");
        engine::BulkScope scope;
        addYearRows(QStringLiteral("misurazioni2"), rows);
    }

    static QVariantMap intervention(int id, int shop, int model, int technician, const QString &type, const QDate &end,
                                    const QString &outcome, const QString &municipality, const QString &province,
                                    const QString &address, const QString &postCode)
    {
        return {{"Id_misurazioni", id}, {"Id_esercizio", shop}, {"Id_ms", model}, {"Id_tecnico", technician},
                {"Matricola_ms", QStringLiteral("99MA%1").arg(id, 5, 10, QLatin1Char('0'))}, {"Tipo_intervento", type},
                {"Data_fine", end}, {"Esito", outcome}, {"COMUNE", municipality}, {"PROVINCIA", province},
                {"INDIRIZZO", address}, {"CAP", postCode}};
    }
};

struct Workbook {
    QList<QStringList> rows;
    QString frozen; // the first cell that scrolls
    bool boldHeader = false;
    QString error;
};

inline Workbook readWorkbook(const QString &path)
{
    static const char *script = R"(
import datetime, json, sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
def text(cell):
    if isinstance(cell.value, datetime.datetime):
        return "date:" + cell.value.strftime("%d/%m/%Y") + ":" + cell.number_format
    return "" if cell.value is None else str(cell.value)
print(json.dumps({"rows": [[text(c) for c in row] for row in sheet.iter_rows()],
                  "frozen": sheet.freeze_panes, "bold": bool(sheet["A1"].font.b)}))
)";
    // Debian's python3 first: its modules hold openpyxl, whatever other python3 comes first on the path.
    QString interpreter = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (interpreter.isEmpty())
        interpreter = QStringLiteral("python3");
    QProcess python;
    python.start(interpreter, {QStringLiteral("-c"), QString::fromLatin1(script), path});
    Workbook workbook;
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        workbook.error = QString::fromUtf8(python.readAllStandardError()) + python.errorString();
        return workbook;
    }
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    for (const QJsonValue &row : read.value(QStringLiteral("rows")).toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << cell.toString();
        workbook.rows << cells;
    }
    workbook.frozen = read.value(QStringLiteral("frozen")).toString();
    workbook.boldHeader = read.value(QStringLiteral("bold")).toBool();
    return workbook;
}
