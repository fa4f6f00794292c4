// Table keeps the rows of its active order in a pool of compact rows (rowstore.h) and three lists of
// pool slots: `order` (every row, sorted by the active order's keys then rowid, as SQLite would),
// `visible` (the rows passing link and filters, same order) and `pending` (rows appended since the
// lists were last merged). Appends only push to `pending`, so a bulk of appends costs one sort when
// the cursor next moves; any other change keeps the lists sorted by binary search, never by reloading.
// The current record is a slot (`cur`); its position in `visible` is recomputed when marked invalid.

#include "table.h"

#include "bulkscope.h"
#include "connection.h"
#include "engineerror.h"
#include "filterexpr.h"
#include "rowstore.h"
#include "tablefiles.h"

#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>

namespace engine {

using namespace detail;

namespace {

// The QSQLITE driver's own connection; Qt's plugin and this program share the system's SQLite.
sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw EngineError(QStringLiteral("Il driver SQLite non espone la sua connessione"));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

CellRef storedCell(sqlite3_stmt *statement, int column)
{
    CellRef cell;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        cell.kind = CellRef::Int;
        cell.i = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        cell.kind = CellRef::Real;
        cell.r = sqlite3_column_double(statement, column);
        break;
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        cell.kind = CellRef::Bytes;
        cell.s = std::string_view(text, size_t(sqlite3_column_bytes(statement, column)));
        break;
    }
    case SQLITE_BLOB: {
        const auto *blob = static_cast<const char *>(sqlite3_column_blob(statement, column));
        cell.kind = CellRef::Bytes;
        cell.s = std::string_view(blob, size_t(sqlite3_column_bytes(statement, column)));
        break;
    }
    default:
        break;
    }
    return cell;
}

enum class FieldKind { Stored, Lookup, Calculated };

struct FieldRef {
    FieldKind kind = FieldKind::Stored;
    int index = -1;  // within its kind
    int number = -1; // within fields(): stored, then lookup, then calculated
};

QVariant emptyValue(FieldType type)
{
    return type == FieldType::Text ? QVariant(QStringLiteral("")) : QVariant();
}

bool isAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return uchar(c) < 0x80; });
}

bool textMatches(std::string_view cell, const QByteArray &target, bool caseInsensitive, bool partial)
{
    const std::string_view t(target.constData(), size_t(target.size()));
    if (partial && cell.size() > t.size())
        cell = cell.substr(0, t.size());
    if (!caseInsensitive)
        return cell == t;
    if (isAscii(cell) && isAscii(t)) {
        CellRef a, b;
        a.kind = b.kind = CellRef::Bytes;
        a.s = cell;
        b.s = t;
        return compareCells(a, b, true) == 0;
    }
    const QString c = QString::fromUtf8(cell.data(), qsizetype(cell.size()));
    const QString v = QString::fromUtf8(target);
    return partial ? c.startsWith(v, Qt::CaseInsensitive) : c.compare(v, Qt::CaseInsensitive) == 0;
}

} // namespace

class Table::Private : public FileObserver {
public:
    explicit Private(Table *owner) : q(owner) {}

    Table *q;

    // --- Settings, kept across open/close.
    QString directory;
    QString tableName;
    bool exclusive = false;
    QString indexName;
    QString indexFields;
    QPointer<Table> master;
    QStringList detailFields;
    QStringList masterFields;
    QList<QMetaObject::Connection> masterConnections;
    QList<LookupFieldDef> lookups;
    QList<QPointer<Table>> lookupTables;
    QList<FieldDef> calcs;
    Handler afterOpen, afterInsert, beforePost, afterPost, onCalc;
    QHash<QString, FieldHandler> fieldHandlers; // by lower-case name
    QString filterText;
    bool filtered = false;
    RecordFilter recordFilter;
    Filter filter;

    // --- Open state.
    bool isOpen = false;
    QString path;
    QSqlDatabase db;
    TableSchema schema;
    RowLayout layout;
    QList<FieldDef> allFields;
    QHash<QString, FieldRef> fieldMap; // by lower-case name
    QHash<QString, FieldRef> exactMap; // by the name as declared: most callers spell it so, sparing a toLower()
    std::vector<FieldHandler> handlerOf; // by field number
    int pkField = -1;
    int autoField = -1;
    bool rowidIsPk = false; // an INTEGER PRIMARY KEY is SQLite's rowid
    std::vector<SortKey> keys;
    QString orderSql;
    std::vector<Row> pool;
    std::vector<int> freeSlots;
    std::vector<int> order;
    std::vector<int> visible;
    std::vector<int> pending;
    std::vector<int> pendingVisible;
    int cur = -1;
    int pos = -1;
    bool posValid = true;
    bool bof = true;
    bool eof = true;
    bool skipAdvance = false; // the posted row left the view: the cursor already stands on its follower
    TableState state = TableState::Inactive;
    QVariantList buffer;
    std::vector<bool> dirty; // fields assigned since edit(): an update writes only these
    bool modified = false;
    bool stale = false;
    bool notifyPending = false;
    quint64 version = 0; // bumped whenever visible rows or their values change

    std::vector<int> detailIndex;
    bool linkActive = false;
    std::vector<CellValue> linkKey;
    qint64 linkRowid = -1;

    mutable int evalSlot = -1;
    mutable bool inCalc = false;
    mutable QVariantList calcBuffer;

    struct LookupCache {
        quint64 version = 0;
        QHash<QByteArray, int> slots;
    };
    mutable QHash<QString, LookupCache> lookupCaches;

    std::unique_ptr<QSqlQuery> insertQuery, deleteQuery;
    QHash<QByteArray, std::shared_ptr<QSqlQuery>> updateQueries; // by the mask of assigned fields

    // --- Helpers.
    bool editing() const { return state == TableState::Edit || state == TableState::Insert; }

    void requireOpen() const
    {
        if (!isOpen)
            throw EngineError(QStringLiteral("La tabella %1 non è aperta").arg(tableName));
    }

    void requireClosed(const QString &what) const
    {
        if (isOpen)
            throw EngineError(QStringLiteral("La tabella %1 deve essere chiusa per %2").arg(tableName, what));
    }

    FieldRef resolve(const QString &name) const
    {
        const auto exact = exactMap.constFind(name);
        if (exact != exactMap.constEnd())
            return *exact;
        const auto it = fieldMap.constFind(name.toLower());
        if (it == fieldMap.constEnd()) {
            if (!isOpen)
                throw EngineError(QStringLiteral("La tabella %1 non è aperta").arg(tableName));
            throw EngineError(QStringLiteral("Il campo %1 non esiste nella tabella %2").arg(name, tableName));
        }
        return *it;
    }

    int storedField(const QString &name) const
    {
        const FieldRef r = resolve(name);
        if (r.kind != FieldKind::Stored)
            throw EngineError(QStringLiteral("Il campo %1 della tabella %2 non è memorizzato").arg(name, tableName));
        return r.index;
    }

    const char *rowData(int slot) const { return pool[size_t(slot)].data.get(); }

    int compareSlots(int a, int b) const { return layout.compare(pool[size_t(a)], pool[size_t(b)], keys); }

    std::vector<int>::iterator lowerBound(std::vector<int> &list, const Row &row)
    {
        return std::lower_bound(list.begin(), list.end(), 0, [&](int slot, int) {
            return layout.compare(pool[size_t(slot)], row, keys) < 0;
        });
    }

    void eraseSlot(std::vector<int> &list, int slot)
    {
        auto it = lowerBound(list, pool[size_t(slot)]);
        if (it == list.end() || *it != slot)
            it = std::find(list.begin(), list.end(), slot);
        if (it != list.end())
            list.erase(it);
    }

    void mergeInto(std::vector<int> &list, std::vector<int> &added)
    {
        if (added.empty())
            return;
        auto less = [this](int a, int b) { return compareSlots(a, b) < 0; };
        if (added.size() < 16) {
            for (int slot : added)
                list.insert(lowerBound(list, pool[size_t(slot)]), slot);
        } else {
            std::sort(added.begin(), added.end(), less);
            const auto middle = std::ptrdiff_t(list.size());
            list.insert(list.end(), added.begin(), added.end());
            std::inplace_merge(list.begin(), list.begin() + middle, list.end(), less);
        }
        added.clear();
    }

    // Brings rows up to date: re-reads them when another cursor wrote the file, merges appended rows.
    // Does nothing while a callback is reading a given row, whose slot must stay valid.
    void sync()
    {
        if (!isOpen || evalSlot >= 0 || inCalc)
            return;
        if (stale)
            reload();
        if (!pending.empty()) {
            mergeInto(order, pending);
            mergeInto(visible, pendingVisible);
            posValid = false;
        }
        if (!posValid) {
            pos = -1;
            if (cur >= 0) {
                const auto it = lowerBound(visible, pool[size_t(cur)]);
                if (it != visible.end() && *it == cur)
                    pos = int(it - visible.begin());
            }
            if (pos < 0)
                setPos(visible.empty() ? -1 : 0);
            posValid = true;
        }
    }

    void setPos(int p)
    {
        pos = p;
        cur = p >= 0 ? visible[size_t(p)] : -1;
        posValid = true;
    }

    // After the row at position p left the view: stand on its follower, or on the new last row at eof.
    // When a post made it leave, the next next() stays on the follower, so that a walk whose body
    // posts rows out of the filter still visits every row; after remove() next() moves as usual.
    void standAfterVanished(int p, bool byPost)
    {
        skipAdvance = false;
        if (visible.empty()) {
            setPos(-1);
            bof = eof = true;
        } else if (p < int(visible.size())) {
            setPos(p);
            bof = eof = false;
            skipAdvance = byPost;
        } else {
            setPos(int(visible.size()) - 1);
            bof = false;
            eof = true;
        }
    }

    bool passesLink(int slot) const
    {
        if (!master)
            return true;
        if (!linkActive)
            return false;
        for (size_t i = 0; i < detailIndex.size(); ++i) {
            const CellRef c = layout.cell(rowData(slot), detailIndex[i]);
            if (c.kind == CellRef::Null || compareCells(c, linkKey[i].ref(), false) != 0)
                return false;
        }
        return true;
    }

    bool passes(int slot) const
    {
        if (!passesLink(slot))
            return false;
        if (!filtered)
            return true;
        struct Guard {
            int &ref;
            int saved;
            ~Guard() { ref = saved; }
        } guard{evalSlot, evalSlot};
        evalSlot = slot;
        if (!filter.accepts(layout, rowData(slot), [this](int number) { return valueByNumber(number); }))
            return false;
        return !recordFilter || recordFilter(*q);
    }

    void computeVisible()
    {
        mergeInto(order, pending);
        pendingVisible.clear();
        visible.clear();
        visible.reserve(order.size());
        for (int slot : order) {
            if (passes(slot))
                visible.push_back(slot);
        }
        ++version;
    }

    int allocSlot(Row row)
    {
        if (!freeSlots.empty()) {
            const int slot = freeSlots.back();
            freeSlots.pop_back();
            pool[size_t(slot)] = std::move(row);
            return slot;
        }
        pool.push_back(std::move(row));
        return int(pool.size()) - 1;
    }

    void buildFields()
    {
        allFields = schema.fields;
        fieldMap.clear();
        pkField = autoField = -1;
        for (int i = 0; i < schema.fields.size(); ++i) {
            const FieldDef &f = schema.fields[i];
            fieldMap.insert(f.name.toLower(), {FieldKind::Stored, i, i});
            if (f.name.compare(schema.primaryKey, Qt::CaseInsensitive) == 0)
                pkField = i;
            if (f.type == FieldType::AutoIncrement)
                autoField = i;
        }
        rowidIsPk = pkField >= 0
            && (schema.fields[pkField].type == FieldType::Integer || schema.fields[pkField].type == FieldType::AutoIncrement);
        for (int i = 0; i < lookups.size(); ++i) {
            const LookupFieldDef &l = lookups[i];
            allFields << FieldDef{l.name, l.type, l.size, false};
            fieldMap.insert(l.name.toLower(), {FieldKind::Lookup, i, int(allFields.size()) - 1});
        }
        for (int i = 0; i < calcs.size(); ++i) {
            allFields << calcs[i];
            fieldMap.insert(calcs[i].name.toLower(), {FieldKind::Calculated, i, int(allFields.size()) - 1});
        }
        layout.setFields(schema.fields);
        exactMap.clear();
        handlerOf.assign(size_t(allFields.size()), FieldHandler());
        for (auto it = fieldMap.cbegin(); it != fieldMap.cend(); ++it) {
            exactMap.insert(allFields[it->number].name, *it);
            handlerOf[size_t(it->number)] = fieldHandlers.value(it.key());
        }
    }

    void resolveOrder()
    {
        QStringList names;
        bool noCase = false;
        if (!indexName.isEmpty()) {
            const IndexDef *found = nullptr;
            for (const IndexDef &index : schema.indexes) {
                if (index.name.compare(indexName, Qt::CaseInsensitive) == 0)
                    found = &index;
            }
            if (!found)
                throw EngineError(QStringLiteral("L'indice %1 non esiste nella tabella %2").arg(indexName, tableName));
            names = splitFieldList(found->fields);
            noCase = found->caseInsensitive;
        } else if (!indexFields.isEmpty()) {
            names = splitFieldList(indexFields);
            for (const IndexDef &index : schema.indexes) {
                if (splitFieldList(index.fields).join(QLatin1Char(';')).compare(names.join(QLatin1Char(';')), Qt::CaseInsensitive) == 0)
                    noCase = index.caseInsensitive;
            }
        } else if (pkField >= 0) {
            names << schema.fields[pkField].name;
        }
        std::vector<SortKey> newKeys;
        QStringList sql;
        for (const QString &name : names) {
            const int f = storedField(name);
            newKeys.push_back({f, noCase});
            sql << quoteName(schema.fields[f].name) + (noCase ? QStringLiteral(" COLLATE NOCASE") : QString());
        }
        sql << QStringLiteral("rowid");
        keys = std::move(newKeys);
        orderSql = sql.join(QLatin1String(", "));
    }

    void bindFilter()
    {
        Filter f = Filter::parse(filterText);
        f.bind([this](const QString &name) {
            Filter::FieldInfo info;
            const auto it = fieldMap.constFind(name.toLower());
            if (it == fieldMap.constEnd())
                return info;
            info.found = true;
            info.stored = it->kind == FieldKind::Stored;
            info.index = info.stored ? it->index : it->number;
            info.type = allFields[it->number].type;
            return info;
        });
        filter = std::move(f);
    }

    void loadRows()
    {
        QStringList columns;
        for (const FieldDef &f : schema.fields)
            columns << quoteName(f.name);
        // Read in stored order and sort here: the comparator is SQLite's own order, and a sequential
        // scan avoids the random page reads of walking a secondary index.
        const QByteArray sql = QStringLiteral("SELECT rowid, %1 FROM %2")
                                   .arg(columns.join(QLatin1String(", ")), quoteName(schema.name))
                                   .toUtf8();
        auto readFailed = [this](sqlite3 *handle) {
            return EngineError(QStringLiteral("Impossibile leggere la tabella %1: %2")
                                   .arg(tableName, QString::fromUtf8(sqlite3_errmsg(handle))));
        };
        // Rows are read through SQLite's own API on the driver's connection: every cell goes straight
        // from the file's bytes into the row, without a QVariant per cell.
        sqlite3 *handle = sqliteHandle(db);
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
            throw readFailed(handle);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> finalizer(statement, sqlite3_finalize);

        pool.clear();
        freeSlots.clear();
        order.clear();
        pending.clear();
        pendingVisible.clear();
        const int n = int(schema.fields.size());
        QVarLengthArray<CellRef, 64> cells(n);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int i = 0; i < n; ++i)
                cells[i] = storedCell(statement, i + 1);
            Row row;
            row.rowid = sqlite3_column_int64(statement, 0);
            row.data = layout.encodeStored(cells.data());
            order.push_back(int(pool.size()));
            pool.push_back(std::move(row));
        }
        if (step != SQLITE_DONE)
            throw readFailed(handle);
        auto less = [this](int a, int b) { return compareSlots(a, b) < 0; };
        if (!std::is_sorted(order.begin(), order.end(), less))
            std::sort(order.begin(), order.end(), less);
        stale = false;
    }

    // Re-reads the file keeping the current record when it is still visible.
    void reload()
    {
        const qint64 rowid = cur >= 0 ? pool[size_t(cur)].rowid : -1;
        const int oldPos = pos;
        loadRows();
        applyLink();
        computeVisible();
        int found = -1;
        for (size_t i = 0; rowid >= 0 && i < visible.size(); ++i) {
            if (pool[size_t(visible[i])].rowid == rowid)
                found = int(i);
        }
        if (found < 0 && !visible.empty())
            found = std::clamp(oldPos, 0, int(visible.size()) - 1);
        setPos(found);
        if (visible.empty())
            bof = eof = true;
        skipAdvance = false;
    }

    // Reads the master's current key. Returns whether the link changed since it was last applied.
    bool applyLink()
    {
        if (!master)
            return false;
        const bool wasActive = linkActive;
        const std::vector<CellValue> oldKey = linkKey;
        const qint64 oldRowid = linkRowid;
        linkActive = false;
        linkKey.clear();
        linkRowid = -1;
        Table::Private *m = master->d.get();
        if (m->isOpen && (m->cur >= 0 || m->editing())) {
            linkActive = true;
            linkRowid = m->state == TableState::Insert ? -2 : m->pool[size_t(m->cur)].rowid;
            for (qsizetype i = 0; i < masterFields.size() && i < qsizetype(detailIndex.size()); ++i) {
                const FieldDef &def = schema.fields[detailIndex[size_t(i)]];
                bool ok = false;
                const QVariant v = normalizeValue(def, master->value(masterFields[i]), &ok);
                linkKey.push_back(cellValue(def.type, v));
            }
        }
        if (wasActive != linkActive || oldRowid != linkRowid || oldKey.size() != linkKey.size())
            return true;
        for (size_t i = 0; i < linkKey.size(); ++i) {
            if (compareCells(oldKey[i].ref(), linkKey[i].ref(), false) != 0)
                return true;
        }
        return false;
    }

    void buildLinkIndex()
    {
        detailIndex.clear();
        if (!master)
            return;
        if (detailFields.size() != masterFields.size() || detailFields.isEmpty())
            throw EngineError(QStringLiteral("Collegamento non valido per la tabella %1: i campi non corrispondono").arg(tableName));
        for (const QString &f : detailFields)
            detailIndex.push_back(storedField(f));
    }

    void masterChanged(bool rowsChanged)
    {
        if (!isOpen)
            return;
        if (!applyLink() && !rowsChanged)
            return;
        computeVisible();
        setPos(visible.empty() ? -1 : 0);
        bof = true;
        eof = visible.empty();
        skipAdvance = false;
        Q_EMIT q->rowsChanged();
        Q_EMIT q->currentChanged();
    }

    void markStale() override
    {
        stale = true;
        ++version;
        if (notifyPending)
            return;
        notifyPending = true;
        // Views learn of the other cursor's write once control returns to the event loop.
        QMetaObject::invokeMethod(q, [this] {
            notifyPending = false;
            if (!isOpen)
                return;
            sync();
            Q_EMIT q->rowsChanged();
            Q_EMIT q->currentChanged();
        }, Qt::QueuedConnection);
    }

    QVariant storedValue(int f) const
    {
        if (evalSlot >= 0)
            return layout.value(rowData(evalSlot), f);
        if (editing())
            return buffer[f];
        const_cast<Private *>(this)->sync();
        if (cur < 0)
            return emptyValue(layout.type(f));
        return layout.value(rowData(cur), f);
    }

    QVariant lookupValue(int i) const
    {
        const LookupFieldDef &def = lookups[i];
        Table *other = lookupTables[i];
        if (!other)
            return emptyValue(def.type);
        QVariantList key;
        for (const QString &f : splitFieldList(def.keyFields))
            key << q->value(f);
        const QVariant v = other->lookup(def.lookupKeyFields, key, def.resultField);
        return v.isNull() ? emptyValue(def.type) : v;
    }

    QVariant calculatedValue(int i) const
    {
        if (inCalc)
            return calcBuffer.value(i);
        if (!onCalc)
            return emptyValue(calcs[i].type);
        struct Guard {
            const Private *d;
            QVariantList saved;
            ~Guard()
            {
                d->inCalc = false;
                d->calcBuffer = saved;
            }
        } guard{this, calcBuffer};
        calcBuffer.clear();
        for (const FieldDef &f : calcs)
            calcBuffer << emptyValue(f.type);
        inCalc = true;
        onCalc(*q);
        return calcBuffer.value(i);
    }

    QVariant valueOf(const FieldRef &r) const
    {
        switch (r.kind) {
        case FieldKind::Stored:
            return storedValue(r.index);
        case FieldKind::Lookup:
            return lookupValue(r.index);
        case FieldKind::Calculated:
            return calculatedValue(r.index);
        }
        return {};
    }

    QVariant valueByNumber(int number) const
    {
        return valueOf(fieldMap.value(allFields[number].name.toLower()));
    }

    QVariant bindable(int f) const
    {
        const QVariant &v = buffer[f];
        switch (schema.fields[f].type) {
        case FieldType::Text: {
            const QString s = v.toString();
            return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
        }
        case FieldType::Date:
            return v.isNull() ? QVariant() : QVariant(sqlDate(v.toDate()));
        case FieldType::Boolean:
            return v.isNull() ? QVariant() : QVariant(v.toBool() ? 1 : 0);
        default:
            return v;
        }
    }

    QSqlQuery &prepared(std::unique_ptr<QSqlQuery> &query, const QString &sql)
    {
        if (!query) {
            query = std::make_unique<QSqlQuery>(db);
            if (!query->prepare(sql)) {
                const QString reason = query->lastError().text();
                query.reset();
                throw EngineError(QStringLiteral("Errore sulla tabella %1: %2").arg(tableName, reason));
            }
        }
        return *query;
    }

    [[noreturn]] void writeFailed(const QSqlQuery &query) const
    {
        const QString reason = query.lastError().text();
        if (reason.contains(QLatin1String("UNIQUE"), Qt::CaseInsensitive))
            throw EngineError(QStringLiteral("Impossibile registrare il record nella tabella %1: chiave duplicata").arg(tableName));
        throw EngineError(QStringLiteral("Impossibile registrare il record nella tabella %1: %2").arg(tableName, reason));
    }

    // Writes the edit buffer with one statement and places the row in the lists.
    void write()
    {
        const bool inserting = state == TableState::Insert;
        QStringList columns;
        for (const FieldDef &f : schema.fields)
            columns << quoteName(f.name);
        beginWrite(path);
        const int n = int(schema.fields.size());
        qint64 rowid = 0;
        if (inserting) {
            QSqlQuery &query = prepared(insertQuery, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                         .arg(quoteName(schema.name), columns.join(QLatin1String(", ")),
                                                              QStringList(columns.size(), QStringLiteral("?")).join(QLatin1String(", "))));
            for (int f = 0; f < n; ++f)
                query.bindValue(f, bindable(f));
            if (!query.exec())
                writeFailed(query);
            rowid = query.lastInsertId().toLongLong();
            if (autoField >= 0 && buffer[autoField].isNull())
                buffer[autoField] = int(rowid);
            query.finish();
        } else {
            // Only assigned columns, so that indexes on untouched fields are not rewritten.
            QByteArray mask(n, '0');
            QStringList assigned;
            for (int f = 0; f < n; ++f) {
                if (dirty[size_t(f)]) {
                    mask[f] = '1';
                    assigned << quoteName(schema.fields[f].name) + QStringLiteral(" = ?");
                }
            }
            if (!assigned.isEmpty()) {
                std::shared_ptr<QSqlQuery> &slot = updateQueries[mask];
                std::unique_ptr<QSqlQuery> fresh;
                if (!slot) {
                    prepared(fresh, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                        .arg(quoteName(schema.name), assigned.join(QLatin1String(", "))));
                    slot = std::move(fresh);
                }
                QSqlQuery &query = *slot;
                int k = 0;
                for (int f = 0; f < n; ++f) {
                    if (dirty[size_t(f)])
                        query.bindValue(k++, bindable(f));
                }
                query.bindValue(k, pool[size_t(cur)].rowid);
                if (!query.exec())
                    writeFailed(query);
                query.finish();
            }
            rowid = rowidIsPk ? buffer[pkField].toLongLong() : pool[size_t(cur)].rowid;
        }
        wrote(path, this);

        Row row;
        row.rowid = rowid;
        row.data = layout.encode(buffer.constData());
        ++version;
        if (inserting) {
            const int slot = allocSlot(std::move(row));
            pending.push_back(slot);
            cur = slot;
            skipAdvance = false;
            if (passes(slot)) {
                pendingVisible.push_back(slot);
                posValid = false;
                bof = eof = false;
            } else {
                sync();
                standAfterVanished(int(lowerBound(visible, pool[size_t(slot)]) - visible.begin()), true);
            }
            return;
        }
        const int slot = cur;
        const bool samePlace = layout.compare(pool[size_t(slot)], row, keys) == 0;
        if (!samePlace) {
            eraseSlot(order, slot);
            visible.erase(visible.begin() + pos);
        }
        pool[size_t(slot)] = std::move(row);
        const bool shown = passes(slot);
        if (samePlace) {
            if (shown) {
                bof = eof = skipAdvance = false;
            } else {
                visible.erase(visible.begin() + pos);
                standAfterVanished(pos, true);
            }
            return;
        }
        order.insert(lowerBound(order, pool[size_t(slot)]), slot);
        const auto at = lowerBound(visible, pool[size_t(slot)]);
        const int p = int(at - visible.begin());
        if (shown) {
            // The cursor follows the row to its new place; a walk goes on from there.
            visible.insert(at, slot);
            setPos(p);
            bof = eof = skipAdvance = false;
        } else {
            standAfterVanished(p, true);
        }
    }

    void setState(TableState s)
    {
        if (state == s)
            return;
        state = s;
        Q_EMIT q->stateChanged(s);
    }

    // Leaves Edit/Insert before a move, as a data-aware program expects: a changed record is posted,
    // an untouched one is dropped.
    void checkBrowse()
    {
        if (!editing())
            return;
        if (modified)
            q->post();
        else
            q->cancel();
    }

    void emitMovedIf(int oldCur)
    {
        if (cur != oldCur)
            Q_EMIT q->currentChanged();
    }

    void resetStatements()
    {
        insertQuery.reset();
        updateQueries.clear();
        deleteQuery.reset();
    }
};

Table::Table(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this)) {}

Table::~Table()
{
    if (d->isOpen) {
        d->resetStatements();
        d->db = QSqlDatabase();
        release(d->path, d.get());
    }
}

void Table::setDirectory(const QString &directory)
{
    d->requireClosed(QStringLiteral("cambiarne la cartella"));
    d->directory = directory;
}

QString Table::directory() const { return d->directory; }

void Table::setTableName(const QString &tableName)
{
    d->requireClosed(QStringLiteral("cambiarne il nome"));
    d->tableName = tableName;
}

QString Table::tableName() const { return d->tableName; }

QString Table::filePath() const { return tablefiles::filePath(d->directory, d->tableName); }

void Table::setExclusive(bool exclusive)
{
    d->requireClosed(QStringLiteral("aprirla in modo esclusivo"));
    d->exclusive = exclusive;
}

bool Table::exclusive() const { return d->exclusive; }

// The active order is named by an index name or by its fields, never both.
void Table::setOrder(const QString &indexName, const QString &indexFields)
{
    if (!d->isOpen) {
        d->indexName = indexName;
        d->indexFields = indexFields;
        return;
    }
    d->checkBrowse();
    d->sync();
    const QString oldName = d->indexName, oldFields = d->indexFields;
    d->indexName = indexName;
    d->indexFields = indexFields;
    try {
        d->resolveOrder();
    } catch (...) {
        d->indexName = oldName;
        d->indexFields = oldFields;
        throw;
    }
    const int keep = d->cur;
    std::sort(d->order.begin(), d->order.end(), [this](int a, int b) { return d->compareSlots(a, b) < 0; });
    d->computeVisible();
    d->cur = keep;
    d->posValid = false;
    d->sync();
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

void Table::setIndexName(const QString &indexName)
{
    setOrder(indexName, {});
}

QString Table::indexName() const { return d->indexName; }

void Table::setIndexFieldNames(const QString &fields)
{
    setOrder({}, fields);
}

void Table::addIndex(const QString &indexName, const QString &fields, bool caseInsensitive)
{
    d->requireClosed(QStringLiteral("aggiungere un indice"));
    tablefiles::addIndex(d->directory, d->tableName, IndexDef{indexName, fields, caseInsensitive});
}

void Table::setMasterLink(Table *master, const QString &detailFields, const QString &masterFields)
{
    for (const auto &c : std::as_const(d->masterConnections))
        disconnect(c);
    d->masterConnections.clear();
    d->master = master;
    d->detailFields = master ? splitFieldList(detailFields) : QStringList();
    d->masterFields = master ? splitFieldList(masterFields) : QStringList();
    d->linkActive = false;
    d->linkKey.clear();
    d->linkRowid = -1;
    if (master) {
        auto moved = [this] { d->masterChanged(false); };
        auto replaced = [this] { d->masterChanged(true); };
        d->masterConnections << connect(master, &Table::currentChanged, this, moved)
                             << connect(master, &Table::fieldChanged, this, moved)
                             << connect(master, &Table::rowsChanged, this, replaced)
                             << connect(master, &Table::opened, this, replaced)
                             << connect(master, &Table::closed, this, replaced);
    }
    if (d->isOpen) {
        d->buildLinkIndex();
        d->applyLink();
        d->masterChanged(true);
    }
}

Table *Table::master() const { return d->master; }

void Table::addLookupField(const LookupFieldDef &definition)
{
    d->requireClosed(QStringLiteral("aggiungere un campo"));
    d->lookups << definition;
    d->lookupTables << definition.lookupTable;
}

void Table::addCalculatedField(const FieldDef &definition)
{
    d->requireClosed(QStringLiteral("aggiungere un campo"));
    d->calcs << definition;
}

void Table::open()
{
    if (d->isOpen)
        return;
    if (d->tableName.isEmpty())
        throw EngineError(QStringLiteral("Impossibile aprire la tabella: nome mancante"));
    d->path = filePath();
    d->db = acquire(d->path, d->tableName, d->exclusive, d.get());
    try {
        d->schema = tablefiles::readSchema(d->directory, d->tableName);
        d->buildFields();
        d->resolveOrder();
        d->bindFilter();
        d->buildLinkIndex();
        d->loadRows();
        d->isOpen = true;
        d->applyLink();
        d->computeVisible();
    } catch (...) {
        d->isOpen = false;
        d->pool.clear();
        d->order.clear();
        d->visible.clear();
        d->db = QSqlDatabase();
        release(d->path, d.get());
        throw;
    }
    d->setPos(d->visible.empty() ? -1 : 0);
    d->bof = true;
    d->eof = d->visible.empty();
    d->skipAdvance = false;
    d->modified = false;
    d->setState(TableState::Browse);
    Q_EMIT opened();
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
    if (d->afterOpen)
        d->afterOpen(*this);
}

void Table::close()
{
    if (!d->isOpen)
        return;
    d->resetStatements();
    d->db = QSqlDatabase();
    release(d->path, d.get());
    d->isOpen = false;
    d->stale = false;
    d->buffer.clear();
    d->pool.clear();
    d->freeSlots.clear();
    d->order.clear();
    d->visible.clear();
    d->pending.clear();
    d->pendingVisible.clear();
    d->lookupCaches.clear();
    d->cur = d->pos = -1;
    d->bof = d->eof = true;
    d->linkActive = false;
    ++d->version;
    d->setState(TableState::Inactive);
    Q_EMIT closed();
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

bool Table::isOpen() const { return d->isOpen; }

TableState Table::state() const { return d->state; }

bool Table::isEditing() const { return d->editing(); }

QList<FieldDef> Table::fields() const
{
    if (d->isOpen)
        return d->allFields;
    QList<FieldDef> result;
    for (const LookupFieldDef &l : d->lookups)
        result << FieldDef{l.name, l.type, l.size, false};
    return result << d->calcs;
}

bool Table::hasField(const QString &field) const { return d->fieldMap.contains(field.toLower()); }

QVariant Table::value(const QString &field) const { return d->valueOf(d->resolve(field)); }

bool Table::isNull(const QString &field) const
{
    const QVariant v = value(field);
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

QString Table::asString(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    default:
        return v.toString();
    }
}

int Table::asInteger(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toInt();
    return v.isNull() ? 0 : v.toInt();
}

double Table::asNumber(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    return v.isNull() ? 0.0 : v.toDouble();
}

QDate Table::asDate(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const QDate date = parseDate(v.toString(), &ok);
        if (date.isValid())
            return date;
    }
    return nullDate();
}

bool Table::asBoolean(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QString) {
        FieldDef def;
        def.type = FieldType::Boolean;
        bool ok = false;
        return normalizeValue(def, v, &ok).toBool();
    }
    return !v.isNull() && v.toBool();
}

void Table::setValue(const QString &field, const QVariant &value)
{
    const FieldRef r = d->resolve(field);
    const FieldDef &def = d->allFields[r.number];
    bool ok = false;
    const QVariant normalized = normalizeValue(def, value, &ok);
    if (!ok)
        throw EngineError(QStringLiteral("Valore non valido per il campo %1: %2").arg(def.name, value.toString()));
    if (r.kind == FieldKind::Calculated) {
        if (!d->inCalc)
            throw EngineError(QStringLiteral("Il campo %1 è calcolato e non si può modificare").arg(def.name));
        d->calcBuffer[r.index] = normalized;
        return;
    }
    if (r.kind == FieldKind::Lookup)
        throw EngineError(QStringLiteral("Il campo %1 è di consultazione e non si può modificare").arg(def.name));
    if (!d->editing())
        throw EngineError(QStringLiteral("La tabella %1 non è in modifica").arg(d->tableName));
    d->buffer[r.index] = normalized;
    d->dirty[size_t(r.index)] = true;
    d->modified = true;
    if (const FieldHandler &handler = d->handlerOf[size_t(r.number)])
        handler(*this, def.name);
    Q_EMIT fieldChanged(def.name);
}

void Table::clearValue(const QString &field) { setValue(field, QVariant()); }

QVariant Table::valueAt(int row, const QString &field) const
{
    const FieldRef r = d->resolve(field);
    d->sync();
    if (row < 0 || row >= int(d->visible.size()))
        return emptyValue(d->allFields[r.number].type);
    if (d->state == TableState::Edit && row == d->pos)
        return d->valueOf(r);
    const int saved = d->evalSlot;
    d->evalSlot = d->visible[size_t(row)];
    try {
        const QVariant v = d->valueOf(r);
        d->evalSlot = saved;
        return v;
    } catch (...) {
        d->evalSlot = saved;
        throw;
    }
}

void Table::first()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    const int old = d->cur;
    d->setPos(d->visible.empty() ? -1 : 0);
    d->bof = true;
    d->eof = d->visible.empty();
    d->skipAdvance = false;
    d->emitMovedIf(old);
}

void Table::last()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    const int old = d->cur;
    d->setPos(int(d->visible.size()) - 1);
    d->eof = true;
    d->bof = d->visible.empty();
    d->skipAdvance = false;
    d->emitMovedIf(old);
}

void Table::next()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    if (d->skipAdvance) {
        d->skipAdvance = false;
        return;
    }
    moveBy(1);
}

void Table::prior()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    d->skipAdvance = false;
    moveBy(-1);
}

void Table::moveBy(int distance)
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    d->skipAdvance = false;
    const int n = int(d->visible.size());
    if (n == 0) {
        d->bof = d->eof = true;
        return;
    }
    const int old = d->cur;
    const int target = d->pos + distance;
    d->bof = d->eof = false;
    if (target >= n) {
        d->setPos(n - 1);
        d->eof = distance > 0;
    } else if (target < 0) {
        d->setPos(0);
        d->bof = distance < 0;
    } else {
        d->setPos(target);
    }
    d->emitMovedIf(old);
}

bool Table::bof() const { return d->bof; }

bool Table::eof() const { return d->eof; }

bool Table::isEmpty() const
{
    d->sync();
    return d->visible.empty();
}

int Table::recordCount() const
{
    d->sync();
    return int(d->visible.size());
}

int Table::recNo() const
{
    d->sync();
    return d->cur < 0 ? 0 : d->pos + 1;
}

void Table::setRecNo(int recNo)
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    const int n = int(d->visible.size());
    if (n == 0)
        return;
    const int old = d->cur;
    d->setPos(std::clamp(recNo, 1, n) - 1);
    d->bof = d->eof = d->skipAdvance = false;
    d->emitMovedIf(old);
}

namespace {

struct LocateKey {
    int field = -1;
    CellValue value;
};

} // namespace

bool Table::locate(const QString &fields, const QVariantList &values, LocateOptions options)
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    const QStringList names = splitFieldList(fields);
    if (names.isEmpty() || names.size() != values.size())
        throw EngineError(QStringLiteral("Ricerca non valida nella tabella %1: %2 campi e %3 valori")
                              .arg(d->tableName).arg(names.size()).arg(values.size()));
    std::vector<LocateKey> keys;
    for (qsizetype i = 0; i < names.size(); ++i) {
        LocateKey k;
        k.field = d->storedField(names[i]);
        const FieldDef &def = d->schema.fields[k.field];
        if (def.type == FieldType::Text) {
            k.value.kind = CellRef::Bytes;
            k.value.bytes = values[i].isNull() ? QByteArray("") : values[i].toString().toUtf8();
        } else {
            bool ok = false;
            const QVariant v = normalizeValue(def, values[i], &ok);
            if (!ok)
                return false;
            k.value = cellValue(def.type, v);
        }
        keys.push_back(std::move(k));
    }
    const bool ci = options.testFlag(LocateOption::CaseInsensitive);
    const bool partial = options.testFlag(LocateOption::PartialKey);
    for (size_t p = 0; p < d->visible.size(); ++p) {
        const char *row = d->rowData(d->visible[p]);
        bool match = true;
        for (const LocateKey &k : keys) {
            const CellRef c = d->layout.cell(row, k.field);
            match = c.kind == CellRef::Bytes && k.value.kind == CellRef::Bytes
                ? textMatches(c.s, k.value.bytes, ci, partial)
                : compareCells(c, k.value.ref(), false) == 0;
            if (!match)
                break;
        }
        if (match) {
            const int old = d->cur;
            d->setPos(int(p));
            d->bof = d->eof = d->skipAdvance = false;
            d->emitMovedIf(old);
            return true;
        }
    }
    return false;
}

QVariant Table::lookup(const QString &keyFields, const QVariantList &keyValues, const QString &resultField) const
{
    if (!d->isOpen)
        return {};
    d->sync();
    const QStringList names = splitFieldList(keyFields);
    if (names.isEmpty() || names.size() != keyValues.size())
        return {};
    std::vector<int> fields;
    QByteArray wanted;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int f = d->storedField(names[i]);
        const FieldDef &def = d->schema.fields[f];
        bool ok = false;
        const QVariant v = normalizeValue(def, keyValues[i], &ok);
        if (!ok || v.isNull() || (def.type == FieldType::Text && def.size > 0 && keyValues[i].toString().size() > def.size))
            return {};
        const CellValue c = cellValue(def.type, v);
        wanted += char(c.kind);
        wanted += c.kind == CellRef::Bytes ? c.bytes : QByteArray::number(c.kind == CellRef::Int ? double(c.i) : c.r, 'g', 17);
        wanted += '\x1f';
        fields.push_back(f);
    }
    // One map per key field list from key to the first visible row holding it, rebuilt when rows change.
    Private::LookupCache &cache = d->lookupCaches[names.join(QLatin1Char(';')).toLower()];
    if (cache.version != d->version || cache.slots.isEmpty()) {
        cache.slots.clear();
        cache.version = d->version;
        for (int slot : d->visible) {
            QByteArray key;
            bool null = false;
            for (int f : fields) {
                const CellRef c = d->layout.cell(d->rowData(slot), f);
                null = null || c.kind == CellRef::Null;
                key += char(c.kind);
                key += c.kind == CellRef::Bytes ? QByteArray(c.s.data(), qsizetype(c.s.size()))
                                                : QByteArray::number(c.kind == CellRef::Int ? double(c.i) : c.r, 'g', 17);
                key += '\x1f';
            }
            if (!null && !cache.slots.contains(key))
                cache.slots.insert(key, slot);
        }
    }
    const auto it = cache.slots.constFind(wanted);
    if (it == cache.slots.constEnd())
        return {};
    const FieldRef r = d->resolve(resultField);
    const int saved = d->evalSlot;
    d->evalSlot = *it;
    try {
        const QVariant v = d->valueOf(r);
        d->evalSlot = saved;
        return v;
    } catch (...) {
        d->evalSlot = saved;
        throw;
    }
}

void Table::setFilterText(const QString &filterText)
{
    Filter parsed = Filter::parse(filterText); // a syntax error throws before anything changes
    if (!d->isOpen) {
        d->filterText = filterText;
        d->filter = std::move(parsed);
        return;
    }
    const QString old = d->filterText;
    d->filterText = filterText;
    try {
        d->bindFilter();
    } catch (...) {
        d->filterText = old;
        d->bindFilter();
        throw;
    }
    if (d->filtered) {
        d->checkBrowse();
        d->computeVisible();
        first();
        Q_EMIT rowsChanged();
        Q_EMIT currentChanged();
    }
}

QString Table::filterText() const { return d->filterText; }

void Table::setFiltered(bool filtered)
{
    if (d->filtered == filtered)
        return;
    if (!d->isOpen) {
        d->filtered = filtered;
        return;
    }
    if (filtered)
        d->bindFilter();
    d->checkBrowse();
    d->sync();
    d->filtered = filtered;
    d->computeVisible();
    d->setPos(-1);
    first();
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

bool Table::isFiltered() const { return d->filtered; }

void Table::setRecordFilter(RecordFilter filter)
{
    d->recordFilter = std::move(filter);
    if (d->isOpen && d->filtered) {
        d->checkBrowse();
        d->sync();
        d->computeVisible();
        d->setPos(-1);
        first();
        Q_EMIT rowsChanged();
        Q_EMIT currentChanged();
    }
}

void Table::refresh()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    d->reload();
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

void Table::append()
{
    d->requireOpen();
    d->checkBrowse();
    d->sync();
    d->buffer.clear();
    for (const FieldDef &f : d->schema.fields)
        d->buffer << emptyValue(f.type);
    // A detail's new row belongs to the master's current row.
    if (d->master && d->linkActive) {
        for (size_t i = 0; i < d->detailIndex.size(); ++i) {
            bool ok = false;
            const int f = d->detailIndex[i];
            d->buffer[f] = normalizeValue(d->schema.fields[f], d->master->value(d->masterFields[qsizetype(i)]), &ok);
        }
    }
    d->dirty.assign(d->buffer.size(), true);
    d->modified = false;
    d->setState(TableState::Insert);
    Q_EMIT currentChanged();
    if (d->afterInsert)
        d->afterInsert(*this);
}

void Table::edit()
{
    d->requireOpen();
    if (d->editing())
        return;
    d->sync();
    if (d->cur < 0) {
        append();
        return;
    }
    d->buffer.clear();
    for (int f = 0; f < d->layout.fieldCount(); ++f)
        d->buffer << d->layout.value(d->rowData(d->cur), f);
    d->dirty.assign(d->buffer.size(), false);
    d->modified = false;
    d->setState(TableState::Edit);
}

void Table::post()
{
    if (!d->editing())
        return;
    if (d->beforePost)
        d->beforePost(*this);
    if (!d->editing())
        return;
    d->sync();
    for (int f = 0; f < d->schema.fields.size(); ++f) {
        const FieldDef &def = d->schema.fields[f];
        if (!def.required || def.type == FieldType::AutoIncrement)
            continue;
        const QVariant &v = d->buffer[f];
        if (v.isNull() || (def.type == FieldType::Text && v.toString().isEmpty()))
            throw EngineError(QStringLiteral("Il campo %1 deve avere un valore").arg(def.name));
    }
    d->write();
    d->modified = false;
    d->setState(TableState::Browse);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
    if (d->afterPost)
        d->afterPost(*this);
}

void Table::cancel()
{
    if (!d->editing())
        return;
    d->buffer.clear();
    d->modified = false;
    d->setState(TableState::Browse);
    Q_EMIT currentChanged();
}

void Table::remove()
{
    d->requireOpen();
    if (d->state == TableState::Insert) {
        cancel();
        return;
    }
    cancel();
    d->sync();
    if (d->cur < 0)
        throw EngineError(QStringLiteral("Impossibile cancellare: la tabella %1 è vuota").arg(d->tableName));
    beginWrite(d->path);
    QSqlQuery &query = d->prepared(d->deleteQuery, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteName(d->schema.name)));
    query.bindValue(0, d->pool[size_t(d->cur)].rowid);
    if (!query.exec())
        throw EngineError(QStringLiteral("Impossibile cancellare il record dalla tabella %1: %2").arg(d->tableName, query.lastError().text()));
    query.finish();
    wrote(d->path, d.get());
    const int slot = d->cur, p = d->pos;
    d->eraseSlot(d->order, slot);
    d->visible.erase(d->visible.begin() + p);
    d->pool[size_t(slot)].data.reset();
    d->freeSlots.push_back(slot);
    ++d->version;
    d->standAfterVanished(p, false);
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

void Table::emptyTable()
{
    const QString path = filePath();
    if (!d->isOpen) {
        if (!QFileInfo(path).isFile())
            throw EngineError(QStringLiteral("Impossibile svuotare la tabella %1: il file %2 non esiste").arg(d->tableName, path));
        withConnection(path, [&](QSqlDatabase &db) {
            beginWrite(path);
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("DELETE FROM %1").arg(quoteName(storedTableName(db)))))
                throw EngineError(QStringLiteral("Impossibile svuotare la tabella %1: %2").arg(d->tableName, query.lastError().text()));
        });
        wrote(path, nullptr);
        return;
    }
    cancel();
    beginWrite(path);
    {
        QSqlQuery query(d->db);
        if (!query.exec(QStringLiteral("DELETE FROM %1").arg(quoteName(d->schema.name))))
            throw EngineError(QStringLiteral("Impossibile svuotare la tabella %1: %2").arg(d->tableName, query.lastError().text()));
    }
    wrote(path, d.get());
    d->pool.clear();
    d->freeSlots.clear();
    d->order.clear();
    d->visible.clear();
    d->pending.clear();
    d->pendingVisible.clear();
    d->setPos(-1);
    d->bof = d->eof = true;
    d->skipAdvance = false;
    ++d->version;
    Q_EMIT rowsChanged();
    Q_EMIT currentChanged();
}

void Table::flush()
{
    if (d->isOpen && BulkScope::active())
        commitPending(d->path);
}

void Table::setAfterOpen(Handler handler) { d->afterOpen = std::move(handler); }
void Table::setAfterInsert(Handler handler) { d->afterInsert = std::move(handler); }
void Table::setBeforePost(Handler handler) { d->beforePost = std::move(handler); }
void Table::setAfterPost(Handler handler) { d->afterPost = std::move(handler); }
void Table::setOnCalcFields(Handler handler) { d->onCalc = std::move(handler); }

void Table::setFieldChangeHandler(const QString &field, FieldHandler handler)
{
    d->fieldHandlers.insert(field.toLower(), handler);
    if (d->isOpen) {
        const auto it = d->fieldMap.constFind(field.toLower());
        if (it != d->fieldMap.constEnd())
            d->handlerOf[size_t(it->number)] = std::move(handler);
    }
}

} // namespace engine
