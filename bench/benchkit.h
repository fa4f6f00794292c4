#pragma once
// What the benchmark's lines share: the two baselines (Qt SQL and plain C on the sqlite3 API) behind
// one interface, so that each baseline's work is written once, values made before the timings in the
// form each baseline binds, and the timing and the report. It is the one place outside the engine
// that speaks SQL: its baselines are SQL by design.

#include "data/engine/bulkscope.h"
#include "data/engine/table.h"
#include "data/engine/tablefiles.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

using engine::BulkScope;
using engine::Table;

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

inline Params paramsOf(const QVariantList &values)
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

inline double timeMs(const std::function<void()> &work, int repeat = 1)
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

inline long rssKb()
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

inline int readAll(Table &t, const QStringList &names)
{
    int rows = 0;
    for (t.first(); !t.eof(); t.next()) {
        for (const QString &n : names)
            t.value(n);
        ++rows;
    }
    return rows;
}

inline QString tablePath(const QString &dir, const char *table) { return engine::tablefiles::filePath(dir, QString::fromLatin1(table)); }

inline void copyTable(const QString &from, const QString &to, const char *table)
{
    engine::tablefiles::copy(from, QString::fromLatin1(table), to);
}

// Fills a table through the engine, outside the timings.
inline void fill(const QString &dir, const QString &table, int count, const std::function<QVariantList(int)> &row)
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

} // namespace bench
