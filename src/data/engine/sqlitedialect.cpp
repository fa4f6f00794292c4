#include "sqlitedialect.h"

#include "engineerror.h"

#include <QDir>
#include <QRegularExpression>

#include <cstdio>
#include <limits>

namespace engine::detail::sqlite {

namespace {

QByteArray columnType(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        return "INTEGER";
    case FieldType::Text:
        return f.size > 0 ? "VARCHAR(" + QByteArray::number(f.size) + ')' : QByteArray("TEXT");
    case FieldType::Date:
        return "DATE";
    case FieldType::Boolean:
        return "BOOLEAN";
    case FieldType::Number:
        return "REAL";
    case FieldType::Picture:
        return "BLOB";
    }
    return "TEXT";
}

FieldDef fieldFromColumn(const QString &name, const QString &declared, bool notNull)
{
    FieldDef f;
    f.name = name;
    f.required = notNull;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression sized(QStringLiteral("^(?:VAR)?CHAR\\s*\\(\\s*(\\d+)\\s*\\)$"));
    const auto m = sized.match(t);
    if (m.hasMatch()) {
        f.type = FieldType::Text;
        f.size = m.captured(1).toInt();
    } else if (t.startsWith(QLatin1String("INT"))) {
        f.type = FieldType::Integer;
    } else if (t == QLatin1String("DATE")) {
        f.type = FieldType::Date;
    } else if (t == QLatin1String("BOOLEAN")) {
        f.type = FieldType::Boolean;
    } else if (t == QLatin1String("REAL") || t == QLatin1String("DOUBLE") || t == QLatin1String("FLOAT")
               || t == QLatin1String("NUMERIC")) {
        f.type = FieldType::Number;
    } else if (t == QLatin1String("BLOB")) {
        f.type = FieldType::Picture;
    } else {
        f.type = FieldType::Text;
    }
    return f;
}

QByteArray columnList(const TableSchema &schema)
{
    QByteArrayList columns;
    for (const FieldDef &f : schema.fields)
        columns << quoteName(f.name);
    return columns.join(", ");
}

QByteArray placeholders(qsizetype count)
{
    QByteArrayList marks(count, "?");
    return marks.join(", ");
}

QString text(sqlite3_stmt *statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

// yyyy-MM-dd as a Julian day; 0 when the text is no such date.
qint64 isoJulianDay(std::string_view s)
{
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
        auto digits = [&](size_t from, size_t count) {
            int v = 0;
            for (size_t i = from; i < from + count; ++i) {
                if (s[i] < '0' || s[i] > '9')
                    return -1;
                v = v * 10 + (s[i] - '0');
            }
            return v;
        };
        const QDate date(digits(0, 4), digits(5, 2), digits(8, 2));
        if (date.isValid())
            return date.toJulianDay();
    }
    bool ok = false;
    const QDate date = parseDate(QString::fromUtf8(s.data(), qsizetype(s.size())), &ok);
    return date.isValid() ? date.toJulianDay() : 0;
}

bool fitsInteger(qint64 v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

} // namespace

QByteArray quoteName(const QString &name)
{
    QByteArray n = name.toUtf8();
    n.replace('"', "\"\"");
    return '"' + n + '"';
}

QByteArray createTable(const TableSchema &schema)
{
    QByteArrayList columns;
    for (const FieldDef &f : schema.fields) {
        QByteArray column = quoteName(f.name) + ' ' + columnType(f);
        const bool isKey = f.name.compare(schema.primaryKey, Qt::CaseInsensitive) == 0;
        if (f.type == FieldType::AutoIncrement)
            column += " PRIMARY KEY AUTOINCREMENT";
        else if (isKey)
            column += " PRIMARY KEY";
        if (f.required)
            column += " NOT NULL";
        columns << column;
    }
    return "CREATE TABLE " + quoteName(schema.name) + " (" + columns.join(", ") + ')';
}

QByteArray createIndex(const TableSchema &schema, const IndexDef &index)
{
    QByteArrayList columns;
    for (const QString &name : splitFieldList(index.fields)) {
        const FieldDef *f = schema.field(name);
        if (!f)
            throw EngineError(QStringLiteral("Impossibile creare l'indice %1: il campo %2 non esiste nella tabella %3")
                                  .arg(index.name, name, schema.name));
        columns << quoteName(f->name) + (index.caseInsensitive ? " COLLATE NOCASE" : "");
    }
    if (columns.isEmpty())
        throw EngineError(QStringLiteral("Impossibile creare l'indice %1: nessun campo indicato").arg(index.name));
    return "CREATE INDEX " + quoteName(index.name) + " ON " + quoteName(schema.name) + " (" + columns.join(", ") + ')';
}

QByteArray selectAll(const TableSchema &schema)
{
    return "SELECT rowid, " + columnList(schema) + " FROM " + quoteName(schema.name);
}

QByteArray selectRow(const TableSchema &schema)
{
    return "SELECT " + columnList(schema) + " FROM " + quoteName(schema.name) + " WHERE rowid = ?";
}

QByteArray insert(const TableSchema &schema)
{
    return "INSERT INTO " + quoteName(schema.name) + " (" + columnList(schema) + ") VALUES ("
        + placeholders(schema.fields.size()) + ')';
}

QByteArray update(const TableSchema &schema, const std::vector<int> &fields)
{
    QByteArrayList assigned;
    for (int f : fields)
        assigned << quoteName(schema.fields[f].name) + " = ?";
    return "UPDATE " + quoteName(schema.name) + " SET " + assigned.join(", ") + " WHERE rowid = ?";
}

QByteArray deleteRow(const TableSchema &schema)
{
    return "DELETE FROM " + quoteName(schema.name) + " WHERE rowid = ?";
}

QByteArray deleteAll(const TableSchema &schema)
{
    return "DELETE FROM " + quoteName(schema.name);
}

QByteArray lastInStoredOrder(const TableSchema &schema, int field)
{
    // The stored order is the primary key's; an integer key is the rowid itself.
    const FieldDef *key = schema.primaryKey.isEmpty() ? nullptr : schema.field(schema.primaryKey);
    const bool keyIsRowId = !key || key->type == FieldType::Integer || key->type == FieldType::AutoIncrement;
    const QByteArray order = keyIsRowId ? QByteArray("rowid DESC") : quoteName(key->name) + " DESC, rowid DESC";
    return "SELECT " + quoteName(schema.fields[field].name) + " FROM " + quoteName(schema.name) + " ORDER BY " + order
        + " LIMIT 1";
}

QByteArray copyRows(const QString &from, const QString &to, const QStringList &fields)
{
    QByteArrayList columns;
    for (const QString &f : fields)
        columns << quoteName(f);
    const QByteArray list = columns.join(", ");
    return "INSERT INTO " + quoteName(to) + " (rowid, " + list + ") SELECT rowid, " + list + " FROM " + quoteName(from);
}

TableSchema readSchema(sqlite3 *db)
{
    TableSchema schema;
    {
        Statement tables(db, "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'");
        const int found = tables.step();
        if (found != SQLITE_ROW)
            throw EngineError(found == SQLITE_DONE ? QStringLiteral("il file %1 non contiene una tabella").arg(fileName(db))
                                                   : QStringLiteral("il file %1 non è leggibile (%2)").arg(fileName(db), lastError(db)));
        schema.name = text(tables.get(), 0);
        const bool autoIncrement = text(tables.get(), 1).contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
        Statement columns(db, "PRAGMA table_info(" + quoteName(schema.name) + ')');
        int step;
        while ((step = columns.step()) == SQLITE_ROW) {
            FieldDef f = fieldFromColumn(text(columns.get(), 1), text(columns.get(), 2), sqlite3_column_int(columns.get(), 3) != 0);
            if (sqlite3_column_int(columns.get(), 5) == 1) {
                schema.primaryKey = f.name;
                if (autoIncrement && f.type == FieldType::Integer)
                    f.type = FieldType::AutoIncrement;
            }
            schema.fields << f;
        }
        if (step != SQLITE_DONE || schema.fields.isEmpty())
            throw EngineError(QStringLiteral("il file %1 non è leggibile (%2)").arg(fileName(db), lastError(db)));
    }
    // Creation order; automatic indexes (no SQL text) are SQLite's own.
    QStringList names;
    {
        Statement indexes(db, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY rowid");
        while (indexes.step() == SQLITE_ROW)
            names << text(indexes.get(), 0);
    }
    for (const QString &name : std::as_const(names)) {
        IndexDef index;
        index.name = name;
        QStringList fields;
        bool noCase = false;
        Statement info(db, "PRAGMA index_xinfo(" + quoteName(name) + ')');
        while (info.step() == SQLITE_ROW) {
            if (sqlite3_column_int(info.get(), 5) == 0 || sqlite3_column_int(info.get(), 1) < 0)
                continue;
            fields << text(info.get(), 2);
            if (fields.size() == 1)
                noCase = text(info.get(), 4).compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
        }
        index.fields = fields.join(QLatin1Char(';'));
        index.caseInsensitive = noCase;
        schema.indexes << index;
    }
    return schema;
}

int schemaVersion(sqlite3 *db)
{
    Statement version(db, "PRAGMA user_version");
    return version.step() == SQLITE_ROW ? sqlite3_column_int(version.get(), 0) : 0;
}

void setSchemaVersion(sqlite3 *db, int version)
{
    exec(db, "PRAGMA user_version = " + QByteArray::number(version));
}

Statement::Statement(sqlite3 *db, const QByteArray &sql)
{
    if (sqlite3_prepare_v3(db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr) != SQLITE_OK) {
        m_statement = nullptr;
        throw EngineError(QStringLiteral("il file %1 non è leggibile (%2)").arg(fileName(db), lastError(db)));
    }
}

Statement::Statement(Statement &&other) noexcept : m_statement(std::exchange(other.m_statement, nullptr)) {}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

Statement::~Statement() { sqlite3_finalize(m_statement); }

void Statement::bind(int position, FieldType type, const CellRef &cell)
{
    switch (cell.kind) {
    case CellRef::Null:
        if (type == FieldType::Text)
            sqlite3_bind_text(m_statement, position, "", 0, SQLITE_STATIC);
        else
            sqlite3_bind_null(m_statement, position);
        return;
    case CellRef::Int:
        if (type == FieldType::Date) {
            const QDate date = QDate::fromJulianDay(cell.i);
            char iso[16];
            const int n = std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.year(), date.month(), date.day());
            sqlite3_bind_text(m_statement, position, iso, n, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(m_statement, position, cell.i);
        }
        return;
    case CellRef::Real:
        sqlite3_bind_double(m_statement, position, cell.r);
        return;
    case CellRef::Bytes:
        if (type == FieldType::Picture)
            sqlite3_bind_blob64(m_statement, position, cell.s.data(), cell.s.size(), SQLITE_STATIC);
        else
            sqlite3_bind_text64(m_statement, position, cell.s.data(), cell.s.size(), SQLITE_STATIC, SQLITE_UTF8);
        return;
    }
}

void Statement::bindRowId(int position, RowId rowid) { sqlite3_bind_int64(m_statement, position, rowid); }

int Statement::step() { return sqlite3_step(m_statement); }

void Statement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

CellRef columnCell(sqlite3_stmt *statement, int column, FieldType type, bool *valid)
{
    *valid = true;
    CellRef cell;
    const int stored = sqlite3_column_type(statement, column);
    if (stored == SQLITE_NULL)
        return cell;
    switch (type) {
    case FieldType::Text:
    case FieldType::Picture:
        cell.kind = CellRef::Bytes;
        if (stored == SQLITE_BLOB) {
            cell.s = std::string_view(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                                      size_t(sqlite3_column_bytes(statement, column)));
        } else {
            cell.s = std::string_view(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                      size_t(sqlite3_column_bytes(statement, column)));
        }
        return cell;
    case FieldType::Integer:
    case FieldType::AutoIncrement: {
        const double real = sqlite3_column_double(statement, column);
        const qint64 integer = sqlite3_column_int64(statement, column);
        // Read wrapped, such a value would be written back over another record's.
        *valid = (stored == SQLITE_INTEGER || (stored == SQLITE_FLOAT && real == double(integer))) && fitsInteger(integer);
        cell.kind = CellRef::Int;
        cell.i = integer;
        return cell;
    }
    case FieldType::Boolean:
        cell.kind = CellRef::Int;
        cell.i = stored == SQLITE_TEXT
            ? (QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(statement, column))).toLower() == "true" ? 1 : 0)
            : (sqlite3_column_double(statement, column) != 0 ? 1 : 0);
        return cell;
    case FieldType::Number:
        if (stored == SQLITE_INTEGER || stored == SQLITE_FLOAT) {
            cell.kind = CellRef::Real;
            cell.r = sqlite3_column_double(statement, column);
        }
        return cell;
    case FieldType::Date:
        if (stored == SQLITE_TEXT) {
            cell.i = isoJulianDay(std::string_view(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                                   size_t(sqlite3_column_bytes(statement, column))));
        } else if (stored == SQLITE_INTEGER) {
            cell.i = sqlite3_column_int64(statement, column);
        }
        cell.kind = cell.i != 0 ? CellRef::Int : CellRef::Null;
        return cell;
    }
    return cell;
}

void exec(sqlite3 *db, const QByteArray &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return;
    const QString reason = message ? QString::fromUtf8(message) : lastError(db);
    sqlite3_free(message);
    throw EngineError(QStringLiteral("errore sul file %1 (%2)").arg(fileName(db), reason));
}

QString lastError(sqlite3 *db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

QString fileName(sqlite3 *db) { return QDir::toNativeSeparators(QString::fromUtf8(sqlite3_db_filename(db, "main"))); }

} // namespace engine::detail::sqlite
