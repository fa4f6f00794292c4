#include "tablefiles.h"

#include "engineerror.h"
#include "ground/savefile.h"
#include "sqlitedialect.h"
#include "sqlitestorage.h"
#include "storage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace engine::tablefiles {

namespace {

using namespace detail;

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

bool sameFields(const QString &a, const QString &b)
{
    return splitFieldList(a).join(QLatin1Char(';')).compare(splitFieldList(b).join(QLatin1Char(';')), Qt::CaseInsensitive) == 0;
}

// One transaction on the file: all of it or nothing.
void inTransaction(sqlite3 *db, const std::function<void()> &work)
{
    sqlite::exec(db, "BEGIN IMMEDIATE");
    try {
        work();
        sqlite::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void createIndexes(sqlite3 *db, const TableSchema &schema, const QList<IndexDef> &indexes)
{
    for (const IndexDef &index : indexes)
        sqlite::exec(db, sqlite::createIndex(schema, index));
}

// Why the stored table cannot simply take the schema's definition; empty when it can.
QString refusedChange(const TableSchema &stored, const TableSchema &schema)
{
    for (const FieldDef &old : stored.fields) {
        const FieldDef *now = schema.field(old.name);
        if (!now)
            return QStringLiteral("il campo %1 non esiste più").arg(old.name);
        const bool sameType = now->type == old.type
            || (now->type == FieldType::AutoIncrement && old.type == FieldType::Integer)
            || (now->type == FieldType::Integer && old.type == FieldType::AutoIncrement);
        if (!sameType)
            return QStringLiteral("il campo %1 cambia tipo").arg(old.name);
        if (old.type == FieldType::Text && (old.size == 0 ? now->size != 0 : now->size != 0 && now->size < old.size))
            return QStringLiteral("il campo %1 si accorcia").arg(old.name);
    }
    return {};
}

bool sameDefinition(const TableSchema &stored, const TableSchema &schema)
{
    if (stored.fields.size() != schema.fields.size())
        return false;
    for (qsizetype i = 0; i < stored.fields.size(); ++i) {
        const FieldDef &a = stored.fields[i], &b = schema.fields[i];
        if (a.name.compare(b.name, Qt::CaseInsensitive) != 0 || a.type != b.type || a.size != b.size || a.required != b.required)
            return false;
    }
    return stored.primaryKey.compare(schema.primaryKey, Qt::CaseInsensitive) == 0;
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

void create(const QString &directory, const TableSchema &schema)
{
    const QString path = filePath(directory, schema.name);
    const auto failed = [&](const QString &reason) {
        return EngineError(QStringLiteral("Impossibile creare la tabella %1: %2").arg(schema.name, reason));
    };
    if (QFileInfo::exists(path))
        throw failed(QStringLiteral("il file %1 esiste già").arg(shown(path)));
    if (!QFileInfo(directory).isDir())
        throw failed(QStringLiteral("la cartella %1 non esiste").arg(shown(directory)));
    if (schema.fields.isEmpty())
        throw failed(QStringLiteral("nessun campo"));
    if (!schema.primaryKey.isEmpty() && !schema.field(schema.primaryKey))
        throw failed(QStringLiteral("la chiave %1 non è un campo").arg(schema.primaryKey));
    for (const FieldDef &f : schema.fields) {
        if (f.type == FieldType::AutoIncrement && f.name.compare(schema.primaryKey, Qt::CaseInsensitive) != 0
            && !schema.primaryKey.isEmpty())
            throw failed(QStringLiteral("il campo contatore %1 deve essere la chiave").arg(f.name));
    }

    // Built whole under a name no table has, then renamed: a table file either holds its table or is
    // not there.
    const QString building = path + QLatin1String(".new");
    QFile::remove(building);
    try {
        sqlite::withDatabase(building, [&](sqlite3 *db) {
            inTransaction(db, [&] {
                sqlite::exec(db, sqlite::createTable(schema));
                createIndexes(db, schema, schema.indexes);
                sqlite::setSchemaVersion(db, schema.version);
            });
        }, true);
        if (!QFile::rename(building, path))
            throw failed(QStringLiteral("impossibile scrivere il file %1").arg(shown(path)));
    } catch (const EngineError &e) {
        QFile::remove(building);
        if (e.message().startsWith(QLatin1String("Impossibile creare")))
            throw;
        throw failed(e.message());
    }
}

Condition check(const QString &directory, const TableSchema &schema, QString *reason)
{
    const QString path = filePath(directory, schema.name);
    if (!QFileInfo(path).isFile())
        return Condition::Missing;
    QString why;
    try {
        sqlite::withDatabase(path, [&](sqlite3 *db) {
            const TableSchema stored = sqlite::readSchema(db);
            if (stored.name.compare(schema.name, Qt::CaseInsensitive) != 0) {
                why = QStringLiteral("contiene la tabella %1").arg(stored.name);
                return;
            }
            // An earlier version may lack fields, which its upgrade adds.
            if (sqlite::schemaVersion(db) < schema.version)
                return;
            for (const FieldDef &f : schema.fields) {
                if (!stored.field(f.name))
                    why = QStringLiteral("manca il campo %1").arg(f.name);
            }
        });
    } catch (const EngineError &e) {
        why = e.message();
    }
    if (reason)
        *reason = why;
    return why.isEmpty() ? Condition::Sound : Condition::Damaged;
}

QString integrityProblem(const QString &path)
{
    QString answer;
    try {
        sqlite::withDatabase(path, [&](sqlite3 *db) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW)
                answer = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            else
                answer = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(statement);
        });
    } catch (const EngineError &e) {
        return e.message();
    }
    return answer == QLatin1String("ok") ? QString() : answer;
}

void upgrade(const QString &directory, const TableSchema &schema)
{
    const QString path = filePath(directory, schema.name);
    const auto failed = [&](const QString &reason) {
        return EngineError(QStringLiteral("Impossibile aggiornare la tabella %1 (%2): %3").arg(schema.name, shown(path), reason));
    };
    if (!QFileInfo(path).isFile())
        throw failed(QStringLiteral("il file non esiste"));
    if (pendingInScope(path))
        throw failed(QStringLiteral("la tabella ha modifiche non ancora salvate"));
    sqlite::withDatabase(path, [&](sqlite3 *db) {
        const int version = sqlite::schemaVersion(db);
        if (version == schema.version)
            return;
        if (version > schema.version)
            throw failed(QStringLiteral("il file è di una versione più recente del programma"));
        const TableSchema stored = sqlite::readSchema(db);
        if (const QString refused = refusedChange(stored, schema); !refused.isEmpty())
            throw failed(refused);
        inTransaction(db, [&] {
            if (!sameDefinition(stored, schema)) {
                // SQLite changes a column's declaration only by building the table anew.
                TableSchema building = schema;
                building.name = schema.name + QLatin1String("__nuova");
                sqlite::exec(db, sqlite::createTable(building));
                QStringList kept;
                for (const FieldDef &f : stored.fields)
                    kept << f.name;
                sqlite::exec(db, sqlite::copyRows(stored.name, building.name, kept));
                sqlite::exec(db, "DROP TABLE " + sqlite::quoteName(stored.name));
                sqlite::exec(db, "ALTER TABLE " + sqlite::quoteName(building.name) + " RENAME TO " + sqlite::quoteName(schema.name));
            }
            const TableSchema now = sqlite::readSchema(db);
            QList<IndexDef> missing;
            for (const IndexDef &index : schema.indexes) {
                const bool present = std::any_of(now.indexes.begin(), now.indexes.end(), [&](const IndexDef &i) {
                    return i.name.compare(index.name, Qt::CaseInsensitive) == 0;
                });
                if (!present)
                    missing << index;
            }
            createIndexes(db, schema, missing);
            sqlite::setSchemaVersion(db, schema.version);
        });
    });
}

void copy(const QString &sourceDirectory, const QString &tableName, const QString &targetDirectory)
{
    const QString source = filePath(sourceDirectory, tableName);
    const QString target = filePath(targetDirectory, tableName);
    const auto failed = [&](const QString &reason) {
        return EngineError(QStringLiteral("Impossibile copiare la tabella %1 in %2: %3").arg(tableName, shown(targetDirectory), reason));
    };
    if (!QFileInfo(source).isFile())
        throw failed(QStringLiteral("il file %1 non esiste").arg(shown(source)));
    if (pendingInScope(source))
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

void addIndex(const QString &directory, const QString &tableName, const IndexDef &index)
{
    const QString path = filePath(directory, tableName);
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile aggiungere l'indice %1: la tabella %2 non esiste").arg(index.name, shown(path)));
    sqlite::withDatabase(path, [&](sqlite3 *db) {
        const TableSchema schema = sqlite::readSchema(db);
        for (const IndexDef &existing : schema.indexes) {
            if (existing.name.compare(index.name, Qt::CaseInsensitive) != 0)
                continue;
            if (sameFields(existing.fields, index.fields))
                return;
            throw EngineError(QStringLiteral("L'indice %1 della tabella %2 esiste già su altri campi (%3)")
                                  .arg(index.name, tableName, existing.fields));
        }
        try {
            sqlite::exec(db, sqlite::createIndex(schema, index));
        } catch (const EngineError &e) {
            throw EngineError(QStringLiteral("Impossibile aggiungere l'indice %1 alla tabella %2: %3").arg(index.name, tableName, e.message()));
        }
    });
}

TableSchema readSchema(const QString &directory, const QString &tableName)
{
    const QString path = filePath(directory, tableName);
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: il file %2 non esiste").arg(tableName, shown(path)));
    TableSchema schema;
    sqlite::withDatabase(path, [&](sqlite3 *db) {
        schema = sqlite::readSchema(db);
        schema.version = sqlite::schemaVersion(db);
    });
    return schema;
}

} // namespace engine::tablefiles
