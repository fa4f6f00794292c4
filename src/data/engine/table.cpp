// Table is the cursor: its settings, its state and edit buffer, its events and field access. The rows
// it shows live in a RowSet (rowset.h), found by value through LookupIndexes (lookupindex.h), read
// from and written to a Storage (storage.h). The current record is a slot of the row set (`cur`); its
// place among the visible rows (`pos`) is recomputed when marked invalid.

#include "table.h"

#include "bulkscope.h"
#include "engineerror.h"
#include "filterexpr.h"
#include "lookupindex.h"
#include "rowset.h"
#include "storage.h"
#include "tablefiles.h"

#include <QHash>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <map>

namespace engine {

using namespace detail;

namespace {

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

bool textStartsWith(std::string_view cell, const QByteArray &target, bool caseInsensitive)
{
    const std::string_view t(target.constData(), size_t(target.size()));
    if (!caseInsensitive)
        return cell.substr(0, t.size()) == t;
    if (isAscii(cell) && isAscii(t)) {
        CellRef a, b;
        a.kind = b.kind = CellRef::Bytes;
        a.s = cell.substr(0, t.size());
        b.s = t;
        return compareCells(a, b, true) == 0;
    }
    return QString::fromUtf8(cell.data(), qsizetype(cell.size())).startsWith(QString::fromUtf8(target), Qt::CaseInsensitive);
}

// A slot read by a callback for the length of a scope.
class Evaluating {
public:
    Evaluating(int &evalSlot, int slot) : m_evalSlot(evalSlot), m_saved(evalSlot) { evalSlot = slot; }
    ~Evaluating() { m_evalSlot = m_saved; }

private:
    int &m_evalSlot;
    int m_saved;
};

// Above this many rows changed by another cursor, reading the whole table is cheaper than each row.
constexpr size_t RowsReadOneByOne = 256;

} // namespace

class Table::Private : public StorageObserver {
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
    QList<QPointer<Table>> details;
    QList<LookupFieldDef> lookups;
    // The own fields each look-up field reads its key from, resolved at its first use after an open.
    mutable std::vector<std::vector<FieldRef>> lookupKeyRefs;
    QList<FieldDef> calcs;
    Handler afterOpen, afterInsert, beforePost, afterPost, onCalc;
    QHash<QString, FieldHandler> fieldHandlers; // by lower-case name
    QString filterText;
    bool filtered = false;
    RecordFilter recordFilter;
    Filter filter;

    // --- Open state.
    bool isOpen = false;
    std::shared_ptr<Storage> storage;
    TableSchema schema;
    RowLayout layout;
    std::unique_ptr<RowSet> rows;
    QList<FieldDef> allFields;
    QHash<QString, FieldRef> fieldMap; // by lower-case name
    QHash<QString, FieldRef> exactMap; // by the name as declared: most callers spell it so, sparing a toLower()
    std::vector<FieldHandler> handlerOf; // by field number
    int pkField = -1;
    bool rowidIsPk = false; // an integer primary key is the storage's row id
    std::map<std::pair<std::vector<int>, bool>, LookupIndex> indexes; // by fields and case-insensitivity

    // --- Master/detail.
    std::vector<int> detailIndex;
    std::unique_ptr<LookupIndex> linkIndex;
    bool linkActive = false;
    std::string linkKey;
    RowId linkMasterRow = -1;

    // --- The cursor.
    int cur = -1;
    int pos = -1;
    bool posValid = true;
    bool bof = true;
    bool eof = true;
    bool skipAdvance = false; // the posted row left the view: the cursor already stands on its follower
    TableState state = TableState::Inactive;
    QVariantList buffer;
    QVariantList emptyRow;   // the buffer of a new row, made once per open
    std::vector<bool> dirty; // fields assigned since edit(): an update writes only these
    bool modified = false;
    RowId editRow = -1;      // the row an edit writes to

    // --- What other cursors changed, applied the next time this one is used.
    std::vector<RowId> changedRows;
    bool reloadDue = false;
    bool viewsToldQueued = false;
    bool placedUnannounced = false; // rows a bulk scope appended, placed while the views looked away
    bool posting = false;           // the posted values are in the rows: the edit buffer no longer shows

    mutable int evalSlot = -1;
    mutable bool inCalc = false;
    mutable QVariantList calcBuffer;

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

    // Names are looked up on every field access. Callers mostly pass the same literal each time, so a
    // small cache, chosen by where the name's characters live and checked on the characters
    // themselves, answers before the hash.
    struct NameCache {
        const QChar *where = nullptr;
        QString name;
        FieldRef ref;
    };
    mutable std::array<NameCache, 256> nameCache;

    FieldRef resolve(const QString &name) const
    {
        NameCache &slot = nameCache[(quintptr(name.constData()) * 0x9E3779B97F4A7C15ull >> 56) % nameCache.size()];
        if (slot.where == name.constData() && slot.name == name)
            return slot.ref;
        auto it = exactMap.constFind(name);
        if (it == exactMap.constEnd()) {
            it = fieldMap.constFind(name.toLower());
            if (it == fieldMap.constEnd()) {
                requireOpen();
                throw EngineError(QStringLiteral("Il campo %1 non esiste nella tabella %2").arg(name, tableName));
            }
        }
        slot = {name.constData(), name, *it};
        return *it;
    }

    int storedField(const QString &name) const
    {
        const FieldRef r = resolve(name);
        if (r.kind != FieldKind::Stored)
            throw EngineError(QStringLiteral("Il campo %1 della tabella %2 non è memorizzato").arg(name, tableName));
        return r.index;
    }

    // --- Visibility: the master link, then the filter text and the record filter while filtering.
    bool passesLink(int slot) const
    {
        if (!master)
            return true;
        return linkActive && linkIndex->keyOf(linkCells(slot).data()) == linkKey;
    }

    std::vector<CellRef> linkCells(int slot) const
    {
        std::vector<CellRef> cells;
        for (int f : detailIndex)
            cells.push_back(layout.cell(rows->data(slot), f));
        return cells;
    }

    bool passes(int slot) const
    {
        if (!passesLink(slot))
            return false;
        if (!filtered)
            return true;
        const Evaluating reading(evalSlot, slot);
        if (!filter.accepts(layout, rows->data(slot), [this](int number) { return valueByNumber(number); }))
            return false;
        return !recordFilter || recordFilter(*q);
    }

    void installTest()
    {
        if (master || filtered)
            rows->setTest([this](int slot) { return passes(slot); });
        else
            rows->setTest(nullptr);
    }

    void computeVisible()
    {
        placePendingRows();
        installTest();
        if (master) {
            static const std::vector<int> none;
            const std::vector<int> *candidates = linkActive ? linkIndex->rows(linkKey) : nullptr;
            rows->recomputeVisible(candidates ? *candidates : none);
        } else {
            rows->recomputeVisible();
        }
        posValid = false;
    }

    // --- Rows placed and unplaced, with the indexes following them.
    int placeRow(int slot)
    {
        const int p = rows->place(slot);
        forEachIndex([&](LookupIndex &index) { index.added(*rows, slot); });
        return p;
    }

    int unplaceRow(int slot)
    {
        forEachIndex([&](LookupIndex &index) { index.removed(*rows, slot); });
        return rows->unplace(slot);
    }

    template<class F>
    void forEachIndex(F f)
    {
        for (auto &[key, index] : indexes)
            f(index);
        if (linkIndex)
            f(*linkIndex);
    }

    void placePendingRows()
    {
        const std::vector<int> added = rows->placePending();
        if (added.empty())
            return;
        posValid = false;
        placedUnannounced = true;
        // A few rows go into the indexes one by one; many make them cheaper to build again.
        const bool rebuild = added.size() > std::max<size_t>(64, rows->order().size() / 8);
        forEachIndex([&](LookupIndex &index) {
            if (rebuild) {
                index.invalidate();
            } else {
                for (int slot : added)
                    index.added(*rows, slot);
            }
        });
        if (linkIndex && !linkIndex->isBuilt())
            linkIndex->build(*rows);
    }

    // A ";"-separated list of stored fields, resolved once per spelling, with its exact index.
    struct FieldList {
        std::vector<int> fields;
        LookupIndex *exactIndex = nullptr;
    };
    QHash<QString, FieldList> fieldLists;

    FieldList &fieldList(const QString &names)
    {
        auto it = fieldLists.find(names);
        if (it == fieldLists.end()) {
            FieldList list;
            for (const QString &name : splitFieldList(names))
                list.fields.push_back(storedField(name));
            it = fieldLists.insert(names, list);
        }
        return *it;
    }

    LookupIndex &indexOn(const std::vector<int> &fields, bool caseInsensitive)
    {
        auto it = indexes.find({fields, caseInsensitive});
        if (it == indexes.end())
            it = indexes.emplace(std::make_pair(fields, caseInsensitive), LookupIndex(fields, caseInsensitive)).first;
        if (!it->second.isBuilt())
            it->second.build(*rows);
        return it->second;
    }

    // --- Bringing the rows up to date.
    // Applies what other cursors wrote, places the rows appended in a bulk scope, and finds the current
    // record's place. Does nothing while a callback is reading a given row, whose slot must stay valid.
    void sync()
    {
        if (!isOpen || evalSlot >= 0 || inCalc)
            return;
        applyNotices();
        placePendingRows();
        findPosition();
    }

    void findPosition()
    {
        if (posValid)
            return;
        const int p = rows->position(cur);
        if (p >= 0) {
            pos = p;
            posValid = true;
            return;
        }
        const int n = rows->visibleCount();
        setPos(n == 0 ? -1 : std::clamp(pos, 0, n - 1));
        if (n == 0)
            bof = eof = true;
    }

    void setPos(int p)
    {
        pos = p;
        cur = p >= 0 ? rows->visibleAt(p) : -1;
        posValid = true;
    }

    void rowChanged(RowId rowid) override
    {
        changedRows.push_back(rowid);
        tellViewsLater();
    }

    void allRowsChanged() override
    {
        reloadDue = true;
        tellViewsLater();
    }

    // The rows a bulk scope appended take their places, and the views show them.
    void scopeEnded() override
    {
        if (!isOpen || (!rows->hasPending() && !placedUnannounced))
            return;
        sync();
        placedUnannounced = false;
        announceRows();
    }

    // Views learn of another cursor's write once control returns to the event loop.
    void tellViewsLater()
    {
        if (viewsToldQueued)
            return;
        viewsToldQueued = true;
        QMetaObject::invokeMethod(q, [this] {
            viewsToldQueued = false;
            if (!isOpen)
                return;
            sync();
            announceRows();
            announceCurrent();
        }, Qt::QueuedConnection);
    }

    void applyNotices()
    {
        if (!reloadDue && changedRows.empty())
            return;
        if (reloadDue || changedRows.size() > RowsReadOneByOne) {
            reload();
            return;
        }
        std::vector<RowId> changed;
        changed.swap(changedRows);
        std::sort(changed.begin(), changed.end());
        changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
        for (RowId rowid : changed)
            rereadRow(rowid);
        posValid = false;
    }

    void rereadRow(RowId rowid)
    {
        int slot = rows->slotOf(rowid);
        const bool stored = storage->loadRow(rowid, [&](const CellRef *cells) {
            if (slot >= 0) {
                unplaceRow(slot);
                rows->setCells(slot, cells);
            } else {
                slot = rows->add(rowid, cells, RowSet::Placement::Now);
            }
            placeRow(slot);
        });
        if (!stored && slot >= 0) {
            unplaceRow(slot);
            rows->release(slot);
            if (cur == slot)
                cur = -1;
        }
    }

    // Throws the storage's reason; opening and reloading say what failed.
    void loadRows()
    {
        rows->clear();
        forEachIndex([](LookupIndex &index) { index.invalidate(); });
        storage->loadAll([this](RowId rowid, const CellRef *cells) { rows->add(rowid, cells, RowSet::Placement::Loading); });
        rows->sortLoaded();
        if (linkIndex)
            linkIndex->build(*rows);
        reloadDue = false;
        changedRows.clear();
    }

    // Reads the file again keeping the current record when it is still visible.
    void reload()
    {
        const RowId rowid = cur >= 0 ? rows->rowid(cur) : -1;
        const int oldPos = pos;
        try {
            loadRows();
        } catch (const EngineError &e) {
            throw EngineError(QStringLiteral("Impossibile leggere la tabella %1: %2").arg(tableName, e.message()));
        }
        applyLink();
        computeVisible();
        cur = rowid >= 0 ? rows->slotOf(rowid) : -1;
        pos = oldPos;
        findPosition();
        if (rows->visibleCount() == 0)
            bof = eof = true;
        skipAdvance = false;
    }

    // After the row at position p left the view: stand on its follower, or on the new last row at eof.
    // When a post made it leave, the next next() stays on the follower, so that a walk whose body
    // posts rows out of the filter still visits every row; after remove() next() moves as usual.
    void standAfterVanished(int p, bool byPost)
    {
        skipAdvance = false;
        const int n = rows->visibleCount();
        if (n == 0) {
            setPos(-1);
            bof = eof = true;
        } else if (p < n) {
            setPos(p);
            bof = eof = false;
            skipAdvance = byPost;
        } else {
            setPos(n - 1);
            bof = false;
            eof = true;
        }
    }

    // --- Master/detail.
    // Reads the master's current key; returns whether the link changed since it was last applied.
    bool applyLink()
    {
        if (!master)
            return false;
        const bool wasActive = linkActive;
        const std::string oldKey = linkKey;
        const RowId oldRow = linkMasterRow;
        linkActive = false;
        linkKey.clear();
        linkMasterRow = -1;
        Private *m = master->d.get();
        if (m->isOpen && (m->cur >= 0 || m->editing())) {
            std::vector<CellValue> values;
            for (qsizetype i = 0; i < masterFields.size(); ++i) {
                const FieldDef &def = schema.fields[detailIndex[size_t(i)]];
                bool ok = false;
                values.push_back(cellValue(def.type, normalizeValue(def, master->value(masterFields[i]), &ok)));
            }
            // A null key links to no row.
            linkActive = std::none_of(values.begin(), values.end(), [](const CellValue &v) { return v.kind == CellRef::Null; });
            std::vector<CellRef> cells;
            for (const CellValue &v : values)
                cells.push_back(v.ref());
            linkKey = linkIndex->keyOf(cells.data());
            linkMasterRow = m->state == TableState::Insert ? -2 : m->rows->rowid(m->cur);
        }
        return wasActive != linkActive || oldKey != linkKey || oldRow != linkMasterRow;
    }

    void buildLinkIndex()
    {
        detailIndex.clear();
        linkIndex.reset();
        if (!master)
            return;
        if (detailFields.size() != masterFields.size() || detailFields.isEmpty())
            throw EngineError(QStringLiteral("Collegamento non valido per la tabella %1: i campi non corrispondono").arg(tableName));
        for (const QString &f : detailFields)
            detailIndex.push_back(storedField(f));
        linkIndex = std::make_unique<LookupIndex>(detailIndex, false);
    }

    // The master moved, or its key changed: the detail shows the rows of the new key.
    void masterMoved()
    {
        if (!isOpen || !applyLink())
            return;
        computeVisible();
        setPos(rows->visibleCount() ? 0 : -1);
        bof = true;
        eof = rows->visibleCount() == 0;
        skipAdvance = false;
        announceRows();
        announceCurrent();
    }

    // Before this cursor leaves its current record, its details end their edits.
    void endDetailEdits()
    {
        for (const QPointer<Table> &detail : std::as_const(details)) {
            if (detail && detail->d->isOpen)
                detail->d->leaveEditing();
        }
    }

    // Leaves Edit/Insert before a move, as a data-aware program expects: a changed record is posted,
    // an untouched one is dropped; the details first.
    void leaveEditing()
    {
        endDetailEdits();
        if (!editing())
            return;
        if (modified)
            q->post();
        else
            q->cancel();
    }

    void announceCurrent()
    {
        Q_EMIT q->currentChanged();
        for (const QPointer<Table> &detail : std::as_const(details)) {
            if (detail)
                detail->d->masterMoved();
        }
    }

    void announceRows() { Q_EMIT q->rowsChanged(); }

    // Another selection of rows: the edit ends first, then the rows are tested again and the cursor
    // goes to the first of them.
    void reselect(const std::function<void()> &change)
    {
        leaveEditing();
        sync();
        change();
        computeVisible();
        setPos(-1);
        q->first();
        announceRows();
        announceCurrent();
    }

    void announceMoveFrom(int oldCur)
    {
        if (cur != oldCur)
            announceCurrent();
    }

    // --- Values.
    QVariant storedValue(int f) const
    {
        if (evalSlot >= 0)
            return layout.value(rows->data(evalSlot), f);
        if (editing())
            return buffer[f];
        const_cast<Private *>(this)->applyNotices();
        if (cur < 0)
            return emptyValue(layout.type(f));
        return layout.value(rows->data(cur), f);
    }

    QVariant lookupValue(int i) const
    {
        const LookupFieldDef &def = lookups[i];
        if (!def.lookupTable)
            return emptyValue(def.type);
        std::vector<FieldRef> &keyRefs = lookupKeyRefs[size_t(i)];
        if (keyRefs.empty()) {
            for (const QString &f : splitFieldList(def.keyFields))
                keyRefs.push_back(resolve(f));
        }
        QVariantList key;
        for (const FieldRef &ref : keyRefs)
            key << valueOf(ref);
        const QVariant v = def.lookupTable->lookup(def.lookupKeyFields, key, def.resultField);
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

    QVariant valueAtSlot(int slot, const FieldRef &r) const
    {
        const Evaluating reading(evalSlot, slot);
        return valueOf(r);
    }

    // --- Opening.
    void buildFields()
    {
        allFields = schema.fields;
        emptyRow.clear();
        for (const FieldDef &f : schema.fields)
            emptyRow << emptyValue(f.type);
        fieldMap.clear();
        pkField = -1;
        for (int i = 0; i < schema.fields.size(); ++i) {
            const FieldDef &f = schema.fields[i];
            fieldMap.insert(f.name.toLower(), {FieldKind::Stored, i, i});
            if (f.name.compare(schema.primaryKey, Qt::CaseInsensitive) == 0)
                pkField = i;
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
        lookupKeyRefs.assign(size_t(lookups.size()), {});
        nameCache.fill({});
        fieldLists.clear();
        exactMap.clear();
        handlerOf.assign(size_t(allFields.size()), FieldHandler());
        for (auto it = fieldMap.cbegin(); it != fieldMap.cend(); ++it) {
            exactMap.insert(allFields[it->number].name, *it);
            handlerOf[size_t(it->number)] = fieldHandlers.value(it.key());
        }
    }

    std::vector<SortKey> orderKeys() const
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
        std::vector<SortKey> keys;
        for (const QString &name : names)
            keys.push_back({storedField(name), noCase});
        return keys;
    }

    Filter boundFilter(const QString &text) const
    {
        Filter f = Filter::parse(text);
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
        return f;
    }

    // --- Writing.
    OwnedCells cells; // the edit buffer being written

    static std::vector<CellRef> refs(const std::vector<CellValue> &cells)
    {
        std::vector<CellRef> result;
        result.reserve(cells.size());
        for (const CellValue &c : cells)
            result.push_back(c.ref());
        return result;
    }

    void checkRequired() const
    {
        for (int f = 0; f < schema.fields.size(); ++f) {
            const FieldDef &def = schema.fields[f];
            if (!def.required || def.type == FieldType::AutoIncrement)
                continue;
            const QVariant &v = buffer[f];
            if (v.isNull() || (def.type == FieldType::Text && v.toString().isEmpty()))
                throw EngineError(QStringLiteral("Il campo %1 deve avere un valore").arg(def.name));
        }
    }

    void writeInsert()
    {
        cells.assign(schema.fields, buffer);
        const RowId rowid = storage->insert(cells.data(), this);
        // An empty integer key gets the row id the file gave the row: memory and file agree.
        if (rowidIsPk && buffer[pkField].isNull()) {
            buffer[pkField] = int(rowid);
            cells[pkField].kind = CellRef::Int;
            cells[pkField].i = rowid;
        }
        // Inside a bulk scope the appended rows take their places together when the order is next
        // needed; rows that a filter or a link may hide are placed at once.
        const bool later = BulkScope::active() && !rows->hasTest();
        const int slot = rows->add(rowid, cells.data(), later ? RowSet::Placement::Later : RowSet::Placement::Now);
        skipAdvance = false;
        cur = slot;
        bof = eof = false;
        if (later) {
            posValid = false;
            return;
        }
        if (!passes(slot)) {
            placeRow(slot);
            standAfterVanished(rows->insertionPoint(slot), true);
            return;
        }
        const int p = rows->insertionPoint(slot);
        Q_EMIT q->aboutToInsertRow(p);
        placeRow(slot);
        setPos(p);
        Q_EMIT q->rowInserted(p);
    }

    void writeUpdate()
    {
        std::vector<int> written;
        for (int f = 0; f < schema.fields.size(); ++f) {
            if (dirty[size_t(f)])
                written.push_back(f);
        }
        cells.assign(schema.fields, buffer);
        if (!storage->update(editRow, written, cells.data(), this))
            throw EngineError(QStringLiteral("Il record è stato eliminato da un'altra finestra"));
        posting = true;
        const auto done = qScopeGuard([this] { posting = false; });
        const RowId rowid = rowidIsPk && !buffer[pkField].isNull() ? buffer[pkField].toLongLong() : editRow;
        // What another cursor wrote meanwhile into fields left untouched here is what the file holds.
        const bool othersWrote = reloadDue || !changedRows.empty();
        int slot = rows->slotOf(editRow);
        if (othersWrote)
            storage->loadRow(rowid, [&](const CellRef *stored) { cells.assign(stored, int(schema.fields.size())); });
        if (slot < 0) { // another cursor's notice took it away, yet the file still holds it
            slot = rows->add(rowid, cells.data(), RowSet::Placement::Now);
            placeRow(slot);
            cur = slot;
            posValid = false;
            findPosition();
            return;
        }
        const bool keyTouched = std::any_of(rows->keys().begin(), rows->keys().end(), [&](const SortKey &k) { return dirty[size_t(k.field)]; })
            || rowid != editRow;
        if (!keyTouched && !rows->hasTest() && rows->isPlaced(slot)) {
            forEachIndex([&](LookupIndex &index) { index.removed(*rows, slot); });
            rows->setCells(slot, cells.data());
            forEachIndex([&](LookupIndex &index) { index.added(*rows, slot); });
            cur = slot;
            posValid = false;
            findPosition();
            bof = eof = skipAdvance = false;
            Q_EMIT q->rowUpdated(pos);
            return;
        }
        const int oldPos = rows->position(slot);
        if (oldPos >= 0)
            Q_EMIT q->aboutToRemoveRow(oldPos);
        unplaceRow(slot);
        if (oldPos >= 0)
            Q_EMIT q->rowRemoved(oldPos);
        rows->setCells(slot, cells.data());
        rows->setRowId(slot, rowid);
        cur = slot;
        if (!passes(slot)) {
            placeRow(slot);
            standAfterVanished(oldPos >= 0 ? oldPos : rows->insertionPoint(slot), true);
            return;
        }
        // The cursor follows the row to its new place; a walk goes on from there.
        const int p = rows->insertionPoint(slot);
        Q_EMIT q->aboutToInsertRow(p);
        placeRow(slot);
        setPos(p);
        bof = eof = skipAdvance = false;
        Q_EMIT q->rowInserted(p);
    }

    void setState(TableState s)
    {
        if (state == s)
            return;
        state = s;
        Q_EMIT q->stateChanged(s);
    }

    void closeStorage()
    {
        detail::closeStorage(storage, this);
    }
};

Table::Table(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this)) {}

Table::~Table()
{
    if (d->master)
        d->master->d->details.removeAll(this);
    if (d->isOpen)
        d->closeStorage();
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
    d->leaveEditing();
    d->sync();
    const QString oldName = d->indexName, oldFields = d->indexFields;
    d->indexName = indexName;
    d->indexFields = indexFields;
    std::vector<SortKey> keys;
    try {
        keys = d->orderKeys();
    } catch (...) {
        d->indexName = oldName;
        d->indexFields = oldFields;
        throw;
    }
    d->rows->setKeys(std::move(keys));
    d->forEachIndex([](LookupIndex &index) { index.invalidate(); });
    if (d->linkIndex)
        d->linkIndex->build(*d->rows);
    d->computeVisible();
    d->findPosition();
    d->announceRows();
    d->announceCurrent();
}

void Table::setIndexName(const QString &indexName) { setOrder(indexName, {}); }

QString Table::indexName() const { return d->indexName; }

void Table::setIndexFieldNames(const QString &fields) { setOrder({}, fields); }

void Table::addIndex(const QString &indexName, const QString &fields, bool caseInsensitive)
{
    d->requireClosed(QStringLiteral("aggiungere un indice"));
    tablefiles::addIndex(d->directory, d->tableName, IndexDef{indexName, fields, caseInsensitive});
}

void Table::setMasterLink(Table *master, const QString &detailFields, const QString &masterFields)
{
    if (d->master)
        d->master->d->details.removeAll(this);
    d->master = master;
    d->detailFields = master ? splitFieldList(detailFields) : QStringList();
    d->masterFields = master ? splitFieldList(masterFields) : QStringList();
    d->linkActive = false;
    d->linkKey.clear();
    d->linkMasterRow = -1;
    if (master)
        master->d->details.append(this);
    if (d->isOpen) {
        d->buildLinkIndex();
        if (d->linkIndex)
            d->linkIndex->build(*d->rows);
        d->applyLink();
        d->computeVisible();
        d->setPos(d->rows->visibleCount() ? 0 : -1);
        d->bof = true;
        d->eof = d->rows->visibleCount() == 0;
        d->announceRows();
        d->announceCurrent();
    }
}

Table *Table::master() const { return d->master; }

void Table::addLookupField(const LookupFieldDef &definition)
{
    d->requireClosed(QStringLiteral("aggiungere un campo"));
    d->lookups << definition;
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
    try {
        d->storage = openStorage(filePath(), d->exclusive, d.get());
        d->schema = d->storage->schema();
        d->buildFields();
        d->rows = std::make_unique<RowSet>(d->layout);
        d->rows->setKeys(d->orderKeys());
        // Only a filter in force must name fields of this table.
        d->filter = d->filtered ? d->boundFilter(d->filterText) : Filter();
        d->indexes.clear();
        d->buildLinkIndex();
        d->loadRows();
        d->isOpen = true;
        d->applyLink();
        d->computeVisible();
    } catch (const EngineError &e) {
        d->isOpen = false;
        d->rows.reset();
        d->closeStorage();
        throw EngineError(QStringLiteral("Impossibile aprire la tabella %1: %2").arg(d->tableName, e.message()));
    }
    d->setPos(d->rows->visibleCount() ? 0 : -1);
    d->bof = true;
    d->eof = d->rows->visibleCount() == 0;
    d->skipAdvance = false;
    d->modified = false;
    d->setState(TableState::Browse);
    Q_EMIT opened();
    d->announceRows();
    d->announceCurrent();
    if (d->afterOpen)
        d->afterOpen(*this);
}

void Table::close()
{
    if (!d->isOpen)
        return;
    d->closeStorage();
    d->isOpen = false;
    d->buffer.clear();
    d->rows.reset();
    d->indexes.clear();
    d->fieldLists.clear();
    d->linkIndex.reset();
    d->changedRows.clear();
    d->reloadDue = false;
    d->cur = d->pos = -1;
    d->bof = d->eof = true;
    d->linkActive = false;
    d->setState(TableState::Inactive);
    Q_EMIT closed();
    d->announceRows();
    d->announceCurrent();
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
    for (const QPointer<Table> &detail : std::as_const(d->details)) {
        if (detail)
            detail->d->masterMoved();
    }
}

QVariant Table::valueAt(int row, const QString &field) const
{
    const FieldRef r = d->resolve(field);
    d->sync();
    if (!d->isOpen || row < 0 || row >= d->rows->visibleCount())
        return emptyValue(d->allFields[r.number].type);
    if (d->state == TableState::Edit && row == d->pos && !d->posting)
        return d->valueOf(r);
    return d->valueAtSlot(d->rows->visibleAt(row), r);
}

void Table::first()
{
    d->requireOpen();
    d->leaveEditing();
    d->sync();
    const int old = d->cur;
    d->setPos(d->rows->visibleCount() ? 0 : -1);
    d->bof = true;
    d->eof = d->rows->visibleCount() == 0;
    d->skipAdvance = false;
    d->announceMoveFrom(old);
}

void Table::last()
{
    d->requireOpen();
    d->leaveEditing();
    d->sync();
    const int old = d->cur;
    d->setPos(d->rows->visibleCount() - 1);
    d->eof = true;
    d->bof = d->rows->visibleCount() == 0;
    d->skipAdvance = false;
    d->announceMoveFrom(old);
}

void Table::next()
{
    d->requireOpen();
    d->leaveEditing();
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
    d->leaveEditing();
    d->sync();
    d->skipAdvance = false;
    moveBy(-1);
}

void Table::moveBy(int distance)
{
    d->requireOpen();
    d->leaveEditing();
    d->sync();
    d->skipAdvance = false;
    const int n = d->rows->visibleCount();
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
    d->announceMoveFrom(old);
}

bool Table::bof() const { return d->bof; }

bool Table::eof() const { return d->eof; }

bool Table::isEmpty() const { return recordCount() == 0; }

int Table::recordCount() const
{
    if (!d->isOpen)
        return 0;
    d->sync();
    return d->rows->visibleCount();
}

int Table::recNo() const
{
    if (!d->isOpen)
        return 0;
    d->sync();
    return d->cur < 0 ? 0 : d->pos + 1;
}

void Table::setRecNo(int recNo)
{
    d->requireOpen();
    d->leaveEditing();
    d->sync();
    const int n = d->rows->visibleCount();
    if (n == 0)
        return;
    const int old = d->cur;
    d->setPos(std::clamp(recNo, 1, n) - 1);
    d->bof = d->eof = d->skipAdvance = false;
    d->announceMoveFrom(old);
}

bool Table::locate(const QString &fields, const QVariantList &values, LocateOptions options)
{
    d->requireOpen();
    d->leaveEditing();
    d->sync();
    const QStringList names = splitFieldList(fields);
    if (names.isEmpty() || names.size() != values.size())
        throw EngineError(QStringLiteral("Ricerca non valida nella tabella %1: %2 campi e %3 valori")
                              .arg(d->tableName).arg(names.size()).arg(values.size()));
    std::vector<int> keyFields;
    std::vector<CellValue> keys;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int f = d->storedField(names[i]);
        const FieldDef &def = d->schema.fields[f];
        CellValue k;
        if (def.type == FieldType::Text) {
            // Compared as given, not cut to the field's size: a longer text matches no row.
            k.kind = CellRef::Bytes;
            k.bytes = values[i].isNull() ? QByteArray("") : values[i].toString().toUtf8();
        } else {
            bool ok = false;
            const QVariant v = normalizeValue(def, values[i], &ok);
            if (!ok)
                return false;
            k = cellValue(def.type, v);
        }
        keyFields.push_back(f);
        keys.push_back(std::move(k));
    }
    int found = -1;
    const bool caseInsensitive = options.testFlag(LocateOption::CaseInsensitive);
    if (!options.testFlag(LocateOption::PartialKey)) {
        const std::vector<CellRef> cells = Private::refs(keys);
        LookupIndex &index = d->indexOn(keyFields, caseInsensitive);
        found = index.firstVisible(*d->rows, index.keyOf(cells.data()));
    } else {
        for (int p = 0; p < d->rows->visibleCount() && found < 0; ++p) {
            const char *row = d->rows->data(d->rows->visibleAt(p));
            bool match = true;
            for (size_t k = 0; k < keys.size() && match; ++k) {
                const CellRef c = d->layout.cell(row, keyFields[k]);
                match = c.kind == CellRef::Bytes && keys[k].kind == CellRef::Bytes
                    ? textStartsWith(c.s, keys[k].bytes, caseInsensitive)
                    : compareCells(c, keys[k].ref(), false) == 0;
            }
            if (match)
                found = d->rows->visibleAt(p);
        }
    }
    if (found < 0)
        return false;
    const int old = d->cur;
    d->cur = found;
    d->posValid = false;
    d->findPosition();
    d->bof = d->eof = d->skipAdvance = false;
    d->announceMoveFrom(old);
    return true;
}

QVariant Table::lookup(const QString &keyFields, const QVariantList &keyValues, const QString &resultField) const
{
    d->requireOpen();
    d->sync();
    Private::FieldList &list = d->fieldList(keyFields);
    const std::vector<int> &fields = list.fields;
    if (fields.empty() || fields.size() != size_t(keyValues.size()))
        throw EngineError(QStringLiteral("Ricerca non valida nella tabella %1: %2 campi e %3 valori")
                              .arg(d->tableName).arg(fields.size()).arg(keyValues.size()));
    std::vector<CellValue> keys;
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDef &def = d->schema.fields[fields[i]];
        bool ok = false;
        const QVariant v = normalizeValue(def, keyValues[qsizetype(i)], &ok);
        if (!ok || v.isNull() || (def.type == FieldType::Text && def.size > 0 && keyValues[qsizetype(i)].toString().size() > def.size))
            return {};
        keys.push_back(cellValue(def.type, v));
    }
    const FieldRef result = d->resolve(resultField);
    const std::vector<CellRef> cells = Private::refs(keys);
    if (!list.exactIndex)
        list.exactIndex = &d->indexOn(fields, false);
    LookupIndex &index = *list.exactIndex;
    if (!index.isBuilt())
        index.build(*d->rows);
    const int slot = index.firstVisible(*d->rows, index.keyOf(cells.data()));
    return slot < 0 ? QVariant() : d->valueAtSlot(slot, result);
}

QVariant Table::lastInStoredOrder(const QString &field) const
{
    if (d->isOpen) {
        const int f = d->storedField(field);
        return cellToVariant(d->schema.fields[f].type, d->storage->lastInStoredOrder(f).ref());
    }
    struct Nobody : StorageObserver {
        void rowChanged(RowId) override {}
        void allRowsChanged() override {}
    } reader;
    std::shared_ptr<Storage> storage = openStorage(filePath(), false, &reader);
    try {
        const FieldDef *def = storage->schema().field(field);
        if (!def)
            throw EngineError(QStringLiteral("Il campo %1 non esiste nella tabella %2").arg(field, d->tableName));
        const int f = int(def - storage->schema().fields.constData());
        const QVariant v = cellToVariant(def->type, storage->lastInStoredOrder(f).ref());
        closeStorage(storage, &reader);
        return v;
    } catch (...) {
        closeStorage(storage, &reader);
        throw;
    }
}

void Table::setFilterText(const QString &filterText)
{
    Filter parsed = Filter::parse(filterText); // a syntax error throws before anything changes
    if (!d->isOpen || !d->filtered) {
        d->filterText = filterText;
        return;
    }
    Filter bound = d->boundFilter(filterText); // an unknown field too
    d->reselect([&] {
        d->filterText = filterText;
        d->filter = std::move(bound);
    });
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
    Filter bound = filtered ? d->boundFilter(d->filterText) : Filter();
    d->reselect([&] {
        d->filtered = filtered;
        d->filter = std::move(bound);
    });
}

bool Table::isFiltered() const { return d->filtered; }

void Table::setRecordFilter(RecordFilter filter)
{
    if (d->isOpen && d->filtered)
        d->reselect([&] { d->recordFilter = std::move(filter); });
    else
        d->recordFilter = std::move(filter);
}

void Table::refresh()
{
    d->requireOpen();
    d->leaveEditing();
    d->reload();
    d->announceRows();
    d->announceCurrent();
}

void Table::append()
{
    d->requireOpen();
    d->leaveEditing();
    d->applyNotices();
    d->buffer = d->emptyRow;
    // A detail's new row belongs to the master's current row.
    if (d->master && d->linkActive) {
        for (size_t i = 0; i < d->detailIndex.size(); ++i) {
            bool ok = false;
            const int f = d->detailIndex[i];
            d->buffer[f] = normalizeValue(d->schema.fields[f], d->master->value(d->masterFields[qsizetype(i)]), &ok);
        }
    }
    d->dirty.assign(size_t(d->buffer.size()), true);
    d->modified = false;
    d->editRow = -1;
    d->setState(TableState::Insert);
    d->announceCurrent();
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
        d->buffer << d->layout.value(d->rows->data(d->cur), f);
    d->dirty.assign(size_t(d->buffer.size()), false);
    d->modified = false;
    d->editRow = d->rows->rowid(d->cur);
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
    d->checkRequired();
    if (d->state == TableState::Insert)
        d->writeInsert();
    else
        d->writeUpdate();
    d->modified = false;
    d->editRow = -1;
    d->setState(TableState::Browse);
    d->announceCurrent();
    if (d->afterPost)
        d->afterPost(*this);
}

void Table::cancel()
{
    if (!d->editing())
        return;
    d->buffer.clear();
    d->modified = false;
    d->editRow = -1;
    d->setState(TableState::Browse);
    d->announceCurrent();
}

void Table::remove()
{
    d->requireOpen();
    d->endDetailEdits();
    if (d->state == TableState::Insert) {
        cancel();
        return;
    }
    cancel();
    d->sync();
    if (d->cur < 0)
        throw EngineError(QStringLiteral("Impossibile cancellare: la tabella %1 è vuota").arg(d->tableName));
    const int slot = d->cur, p = d->pos;
    // A row another cursor deleted already is gone as asked.
    d->storage->remove(d->rows->rowid(slot), d.get());
    Q_EMIT aboutToRemoveRow(p);
    d->unplaceRow(slot);
    d->rows->release(slot);
    Q_EMIT rowRemoved(p);
    d->standAfterVanished(p, false);
    d->announceCurrent();
}

void Table::emptyTable()
{
    if (!d->isOpen) {
        if (!tablefiles::exists(d->directory, d->tableName))
            throw EngineError(QStringLiteral("Impossibile svuotare la tabella %1: il file %2 non esiste").arg(d->tableName, filePath()));
        struct Nobody : StorageObserver {
            void rowChanged(RowId) override {}
            void allRowsChanged() override {}
        } emptier;
        std::shared_ptr<Storage> storage = openStorage(filePath(), false, &emptier);
        try {
            storage->removeAll(&emptier);
        } catch (...) {
            closeStorage(storage, &emptier);
            throw;
        }
        closeStorage(storage, &emptier);
        return;
    }
    d->endDetailEdits();
    cancel();
    d->storage->removeAll(d.get());
    d->rows->clear();
    d->forEachIndex([&](LookupIndex &index) { index.build(*d->rows); });
    d->changedRows.clear();
    d->reloadDue = false;
    d->computeVisible();
    d->setPos(-1);
    d->bof = d->eof = true;
    d->skipAdvance = false;
    d->announceRows();
    d->announceCurrent();
}

void Table::flush() {}

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
