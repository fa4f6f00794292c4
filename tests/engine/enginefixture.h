#pragma once
// What the engine tests share: a small register and a shop table built through the engine itself in
// a fresh temporary directory, rows given as lists in the order of the fixture's fields, and an
// independent look at a table file through SQLite's own API, as a second program would have it.

#include "data/engine/table.h"

#include <QDate>
#include <QList>
#include <QVariant>

#include <sqlite3.h>

using namespace engine;

// A small register: id, shop, intervention type, end date, company, amount, paid; two indexes.
inline TableSchema registerSchema(const QString &name = QStringLiteral("misure"))
{
    TableSchema s;
    s.name = name;
    s.fields = {
        {QStringLiteral("Id_misurazioni"), FieldType::Integer, 0, true},
        {QStringLiteral("Id_esercizio"), FieldType::Integer, 0, true},
        {QStringLiteral("Tipo_intervento"), FieldType::Text, 1, false},
        {QStringLiteral("Data_fine"), FieldType::Date, 0, false},
        {QStringLiteral("r_ditta"), FieldType::Text, 10, false},
        {QStringLiteral("importo"), FieldType::Number, 0, false},
        {QStringLiteral("pagato"), FieldType::Boolean, 0, false},
    };
    s.primaryKey = QStringLiteral("Id_misurazioni");
    s.indexes = {{QStringLiteral("fineindex"), QStringLiteral("data_fine"), true},
                 {QStringLiteral("r_dittaindex"), QStringLiteral("r_ditta"), true}};
    return s;
}

inline TableSchema shopSchema()
{
    TableSchema s;
    s.name = QStringLiteral("esercizio");
    s.fields = {{QStringLiteral("Id_esercizio"), FieldType::Integer, 0, true},
                {QStringLiteral("Ragione_sociale"), FieldType::Text, 60, false}};
    s.primaryKey = QStringLiteral("Id_esercizio");
    return s;
}

inline QDate day(int d, int m = 3) { return QDate(2010, m, d); }

// Id, shop, type, end date, company, amount, paid.
inline const QList<QVariantList> registerRows = {
    {1, 10, "3", day(5), "rossi", 10.5, true},
    {2, 20, "1", day(2), "Bianchi", 0, false},
    {3, 10, "3", QVariant(), "L'ARTE", QVariant(), QVariant()},
    {4, 30, "2", day(9), "ROSSI", 7, true},
    {5, 20, "3", day(2), "verdi", 100, false},
};

inline void insertRows(Table &t, const QList<QVariantList> &rows)
{
    const QList<FieldDef> fields = t.fields();
    for (const QVariantList &row : rows) {
        t.append();
        for (qsizetype i = 0; i < row.size(); ++i)
            t.setValue(fields[i].name, row[i]);
        t.post();
    }
}

inline QList<int> walk(Table &t, const QString &field = QStringLiteral("Id_misurazioni"))
{
    QList<int> seen;
    t.first();
    while (!t.eof()) {
        seen << t.asInteger(field);
        t.next();
    }
    return seen;
}


// The row ids of a raw query on the file, through a connection of its own.
inline QList<qint64> rawIds(const QString &path, const char *sql)
{
    QList<qint64> ids;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                ids << sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return ids;
}

// Runs a statement on the file through a connection of its own, as another program would.
inline bool rawExec(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool done = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
        && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

