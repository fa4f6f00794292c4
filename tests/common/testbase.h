#pragma once
// A temporary base directory built from the catalogue, as the year selection leaves it: dati/ and,
// when a year is given, that year's directory. Rows are written through a cursor of their own, so a
// test can set up tables before the data module opens them.

#include "ground/state.h"
#include "data/catalogue.h"
#include "data/engine/table.h"

#include <QTemporaryDir>
#include <QVariantMap>

class TestBase {
public:
    // Resets the run-time state to DirBase = this directory and AnnoLavoro = year.
    explicit TestBase(const QString &year = {})
    {
        AppState &state = appState();
        state = AppState();
        state.DirBase = withTrailingSeparator(m_dir.path());
        catalogue::createMissingTables(state.dataDir(), catalogue::baseTables());
        if (!year.isEmpty()) {
            state.AnnoLavoro = year;
            catalogue::createMissingTables(state.yearDir(), catalogue::yearTables());
        }
    }

    QString path() const { return m_dir.path(); }

    static void addRows(const QString &directory, const QString &table, const QList<QVariantMap> &rows)
    {
        engine::Table cursor;
        cursor.setDirectory(directory);
        cursor.setTableName(table);
        cursor.open();
        for (const QVariantMap &row : rows) {
            cursor.append();
            for (auto it = row.cbegin(); it != row.cend(); ++it)
                cursor.setValue(it.key(), it.value());
            cursor.post();
        }
    }

    static void addDataRows(const QString &table, const QList<QVariantMap> &rows)
    {
        addRows(appState().dataDir(), table, rows);
    }

    static void addYearRows(const QString &table, const QList<QVariantMap> &rows)
    {
        addRows(appState().yearDir(), table, rows);
    }

private:
    QTemporaryDir m_dir;
};
