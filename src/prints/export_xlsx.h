#pragma once
// The spreadsheet export: the visible rows of the register's cursor, in its order, as a real .xlsx
// workbook: a bold, frozen header row, then one row per intervention in 13 columns, values as they are
// stored, the end date as a date cell shown day/month/year (an empty date an empty cell).
//
// The workbook is written under a temporary name beside the target and renamed over it only when it
// is whole, so a failed export never leaves a half file under the chosen name and an existing file
// stays as it was. libxlsxwriter does not notice when its own temporary files fail to grow (it then
// packs what they hold and reports success), so the sheet is read back from the finished file before
// the rename: a sheet that does not end where a sheet ends fails the export.

#include "data/engine/table.h"

#include <QString>
#include <QStringList>

#include <functional>

struct AppState;

namespace extraprints {

// The header row, and the fields of the register the columns hold.
QStringList exportHeader();
QStringList exportFields();

struct ExportOutcome {
    bool written = false;
    int rows = 0;       // interventions written, header excluded
    QString problem;    // why the file was not written, for the user
};

// `progress` gets the share done, 0 to 100, after each row.
ExportOutcome exportWorkbook(const engine::Table &verifications, const QString &path,
                             const std::function<void(int percent)> &progress = {});

// The working year's interventions in end-date order, with the looked-up fields the export shows,
// through cursors of their own: only read, so the command line may export while the desktop program is
// open on the same archive. Throws engine::EngineError when a table cannot be opened.
class ExportSource {
public:
    explicit ExportSource(const AppState &state);
    engine::Table &verifications() { return m_verifications; }
    const engine::Table &models() const { return m_models; }
    const engine::Table &technicians() const { return m_technicians; }

private:
    engine::Table m_shops;
    engine::Table m_models;
    engine::Table m_technicians;
    engine::Table m_verifications;
};

// The default file name for a working year: "interventi_AAAA.xlsx".
QString defaultExportName(const QString &year);

} // namespace extraprints
