#include "tablefiles.h"

#include "connection.h"
#include "engineerror.h"
#include "ground/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace engine::tablefiles {

namespace {

using detail::quoteName;

// Declared column types carry the field type and size, so that the file describes itself.
QString columnType(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        return QStringLiteral("INTEGER");
    case FieldType::Text:
        return f.size > 0 ? QStringLiteral("VARCHAR(%1)").arg(f.size) : QStringLiteral("TEXT");
    case FieldType::Date:
        return QStringLiteral("DATE");
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    case FieldType::Number:
        return QStringLiteral("REAL");
    case FieldType::Picture:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
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

void run(QSqlQuery &q, const QString &sql, const QString &what)
{
    if (!q.exec(sql))
        throw EngineError(QStringLiteral("%1: %2").arg(what, q.lastError().text()));
}

QString createIndexSql(const QString &table, const IndexDef &index, const TableSchema &schema)
{
    QStringList columns;
    for (const QString &name : splitFieldList(index.fields)) {
        const FieldDef *f = schema.field(name);
        if (!f)
            throw EngineError(QStringLiteral("Impossibile creare l'indice %1: il campo %2 non esiste nella tabella %3")
                                  .arg(index.name, name, schema.name));
        columns << quoteName(f->name) + (index.caseInsensitive ? QStringLiteral(" COLLATE NOCASE") : QString());
    }
    if (columns.isEmpty())
        throw EngineError(QStringLiteral("Impossibile creare l'indice %1: nessun campo indicato").arg(index.name));
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(quoteName(index.name), quoteName(table), columns.join(QLatin1String(", ")));
}

TableSchema schemaOf(QSqlDatabase &db)
{
    TableSchema schema;
    schema.name = detail::storedTableName(db);
    QSqlQuery q(db);
    run(q, QStringLiteral("SELECT sql FROM sqlite_master WHERE type='table' AND name=%1")
               .arg(QLatin1Char('\'') + QString(schema.name).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'')),
        QStringLiteral("Impossibile leggere la tabella %1").arg(schema.name));
    const bool autoIncrement = q.next() && q.value(0).toString().contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    run(q, QStringLiteral("PRAGMA table_info(%1)").arg(quoteName(schema.name)),
        QStringLiteral("Impossibile leggere la tabella %1").arg(schema.name));
    while (q.next()) {
        FieldDef f = fieldFromColumn(q.value(1).toString(), q.value(2).toString(), q.value(3).toInt() != 0);
        if (q.value(5).toInt() == 1) {
            schema.primaryKey = f.name;
            if (autoIncrement && f.type == FieldType::Integer)
                f.type = FieldType::AutoIncrement;
        }
        schema.fields << f;
    }
    // Creation order; automatic indexes (no SQL text) are SQLite's own.
    run(q, QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL ORDER BY rowid"),
        QStringLiteral("Impossibile leggere gli indici di %1").arg(schema.name));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    for (const QString &name : names) {
        IndexDef index;
        index.name = name;
        QStringList fields;
        bool noCase = false;
        run(q, QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoteName(name)),
            QStringLiteral("Impossibile leggere l'indice %1").arg(name));
        while (q.next()) {
            if (q.value(5).toInt() == 0 || q.value(1).toInt() < 0)
                continue;
            fields << q.value(2).toString();
            if (fields.size() == 1)
                noCase = q.value(4).toString().compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
        }
        index.fields = fields.join(QLatin1Char(';'));
        index.caseInsensitive = noCase;
        schema.indexes << index;
    }
    return schema;
}

bool sameFields(const QString &a, const QString &b)
{
    const QStringList x = splitFieldList(a), y = splitFieldList(b);
    if (x.size() != y.size())
        return false;
    for (qsizetype i = 0; i < x.size(); ++i) {
        if (x[i].compare(y[i], Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

} // namespace

QString filePath(const QString &directory, const QString &tableName)
{
    return QDir(directory).filePath(tableName + QLatin1String(".sqlite"));
}

bool exists(const QString &directory, const QString &tableName)
{
    return QFileInfo(filePath(directory, tableName)).isFile();
}

void copy(const QString &sourceDirectory, const QString &tableName, const QString &targetDirectory)
{
    const QString source = filePath(sourceDirectory, tableName);
    const QString target = filePath(targetDirectory, tableName);
    const auto failed = [&](const QString &reason) {
        return EngineError(QStringLiteral("Impossibile copiare la tabella %1 in %2: %3")
                               .arg(tableName, QDir::toNativeSeparators(targetDirectory), reason));
    };
    if (!QFileInfo(source).isFile())
        throw failed(QStringLiteral("il file %1 non esiste").arg(QDir::toNativeSeparators(source)));
    if (detail::inTransaction(source))
        throw failed(QStringLiteral("la tabella ha modifiche non ancora salvate"));
    if (!QDir().mkpath(targetDirectory))
        throw failed(QStringLiteral("impossibile creare la cartella"));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw failed(in.errorString());
    SaveFile out(target);
    if (!out.open())
        throw failed(out.errorString());
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 count = in.read(block.data(), block.size());
        if (count < 0) {
            out.cancel();
            throw failed(in.errorString());
        }
        if (count == 0)
            break;
        if (!out.write(block.constData(), count))
            throw failed(out.errorString());
    }
    if (!out.commit())
        throw failed(out.errorString());
}

void create(const QString &directory, const TableSchema &schema)
{
    const QString path = filePath(directory, schema.name);
    if (QFileInfo::exists(path))
        throw EngineError(QStringLiteral("Impossibile creare la tabella %1: il file %2 esiste già").arg(schema.name, path));
    if (!QFileInfo(directory).isDir())
        throw EngineError(QStringLiteral("Impossibile creare la tabella %1: la cartella %2 non esiste").arg(schema.name, directory));
    if (schema.fields.isEmpty())
        throw EngineError(QStringLiteral("Impossibile creare la tabella %1: nessun campo").arg(schema.name));

    QStringList columns;
    for (const FieldDef &f : schema.fields) {
        QString column = quoteName(f.name) + QLatin1Char(' ') + columnType(f);
        const bool isKey = f.name.compare(schema.primaryKey, Qt::CaseInsensitive) == 0;
        if (f.type == FieldType::AutoIncrement) {
            if (!schema.primaryKey.isEmpty() && !isKey)
                throw EngineError(QStringLiteral("Impossibile creare la tabella %1: il campo contatore %2 deve essere la chiave")
                                      .arg(schema.name, f.name));
            column += QLatin1String(" PRIMARY KEY AUTOINCREMENT");
        } else if (isKey) {
            column += QLatin1String(" PRIMARY KEY");
        }
        if (f.required)
            column += QLatin1String(" NOT NULL");
        columns << column;
    }
    if (!schema.primaryKey.isEmpty() && !schema.field(schema.primaryKey))
        throw EngineError(QStringLiteral("Impossibile creare la tabella %1: la chiave %2 non è un campo")
                              .arg(schema.name, schema.primaryKey));

    try {
        detail::withConnection(path, [&](QSqlDatabase &db) {
            QSqlQuery q(db);
            const QString what = QStringLiteral("Impossibile creare la tabella %1").arg(schema.name);
            run(q, QStringLiteral("BEGIN"), what);
            run(q, QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteName(schema.name), columns.join(QLatin1String(", "))), what);
            for (const IndexDef &index : schema.indexes)
                run(q, createIndexSql(schema.name, index, schema), what);
            run(q, QStringLiteral("COMMIT"), what);
        });
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile creare la tabella %1 in %2").arg(schema.name, directory));
}

void addIndex(const QString &directory, const QString &tableName, const IndexDef &index)
{
    const QString path = filePath(directory, tableName);
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile aggiungere l'indice %1: la tabella %2 non esiste").arg(index.name, path));
    detail::withConnection(path, [&](QSqlDatabase &db) {
        const TableSchema schema = schemaOf(db);
        for (const IndexDef &existing : schema.indexes) {
            if (existing.name.compare(index.name, Qt::CaseInsensitive) != 0)
                continue;
            if (sameFields(existing.fields, index.fields))
                return;
            throw EngineError(QStringLiteral("L'indice %1 della tabella %2 esiste già su altri campi (%3)")
                                  .arg(index.name, tableName, existing.fields));
        }
        detail::beginWrite(path);
        QSqlQuery q(db);
        run(q, createIndexSql(schema.name, index, schema),
            QStringLiteral("Impossibile aggiungere l'indice %1 alla tabella %2").arg(index.name, tableName));
    });
}

TableSchema readSchema(const QString &directory, const QString &tableName)
{
    const QString path = filePath(directory, tableName);
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: il file %2 non esiste").arg(tableName, path));
    TableSchema schema;
    detail::withConnection(path, [&](QSqlDatabase &db) { schema = schemaOf(db); });
    return schema;
}

} // namespace engine::tablefiles
