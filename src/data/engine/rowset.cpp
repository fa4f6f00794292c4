#include "rowset.h"

#include <algorithm>
#include <cstring>

namespace engine::detail {

void RowSet::clear()
{
    m_arena.clear();
    m_data.clear();
    m_rowids.clear();
    m_state.clear();
    m_free.clear();
    m_slotOf.clear();
    m_order.clear();
    m_visible.clear();
    m_pending.clear();
}

int RowSet::add(RowId rowid, const CellRef *cells, Placement placement)
{
    const char *data = m_layout.encode(cells, m_arena);
    int slot;
    if (!m_free.empty()) {
        slot = m_free.back();
        m_free.pop_back();
        m_data[size_t(slot)] = data;
        m_rowids[size_t(slot)] = rowid;
        m_state[size_t(slot)] = Pending;
    } else {
        slot = int(m_data.size());
        m_data.push_back(data);
        m_rowids.push_back(rowid);
        m_state.push_back(Pending);
    }
    if (placement != Placement::Loading)
        m_slotOf.insert(rowid, slot);
    if (placement != Placement::Now)
        m_pending.push_back(slot);
    return slot;
}

void RowSet::setCells(int slot, const CellRef *cells)
{
    m_data[size_t(slot)] = m_layout.encode(cells, m_arena);
}

void RowSet::setRowId(int slot, RowId rowid)
{
    if (m_rowids[size_t(slot)] == rowid)
        return;
    m_slotOf.remove(m_rowids[size_t(slot)]);
    m_rowids[size_t(slot)] = rowid;
    m_slotOf.insert(rowid, slot);
}

void RowSet::dropPending(int slot)
{
    const auto it = std::find(m_pending.begin(), m_pending.end(), slot);
    if (it != m_pending.end())
        m_pending.erase(it);
}

void RowSet::release(int slot)
{
    dropPending(slot);
    m_slotOf.remove(m_rowids[size_t(slot)]);
    m_state[size_t(slot)] = Free;
    m_data[size_t(slot)] = nullptr;
    m_free.push_back(slot);
}

int RowSet::compare(int a, int b) const
{
    const int c = m_layout.compare(m_data[size_t(a)], m_data[size_t(b)], m_keys);
    if (c != 0)
        return c;
    const RowId x = m_rowids[size_t(a)], y = m_rowids[size_t(b)];
    return x < y ? -1 : x > y ? 1 : 0;
}

namespace {

// Sorting compares the first key as a cell read once per row, not once per comparison.
struct SortEntry {
    CellRef first;
    RowId rowid;
    int slot;
};

} // namespace

void RowSet::sortLoaded()
{
    std::vector<SortEntry> entries;
    entries.reserve(m_pending.size());
    for (int slot : m_pending)
        entries.push_back({m_keys.empty() ? CellRef() : m_layout.cell(m_data[size_t(slot)], m_keys.front().field),
                           m_rowids[size_t(slot)], slot});
    const bool firstNoCase = !m_keys.empty() && m_keys.front().noCase;
    const std::vector<SortKey> rest(m_keys.begin() + (m_keys.empty() ? 0 : 1), m_keys.end());
    const auto less = [&](const SortEntry &a, const SortEntry &b) {
        int c = compareCells(a.first, b.first, firstNoCase);
        if (c == 0 && !rest.empty())
            c = m_layout.compare(m_data[size_t(a.slot)], m_data[size_t(b.slot)], rest);
        return c != 0 ? c < 0 : a.rowid < b.rowid;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), less))
        std::sort(entries.begin(), entries.end(), less);

    // Renumber the slots in the order and lay their blocks out in it.
    RowArena arena;
    std::vector<const char *> data;
    std::vector<RowId> rowids;
    data.reserve(entries.size());
    rowids.reserve(entries.size());
    for (const SortEntry &e : entries) {
        const char *old = m_data[size_t(e.slot)];
        const size_t size = m_layout.size(old);
        char *block = arena.allocate(size);
        std::memcpy(block, old, size);
        data.push_back(block);
        rowids.push_back(e.rowid);
    }
    m_arena = std::move(arena);
    m_data = std::move(data);
    m_rowids = std::move(rowids);
    m_state.assign(m_data.size(), Placed);
    m_free.clear();
    m_pending.clear();
    m_slotOf.clear();
    m_slotOf.reserve(qsizetype(m_rowids.size()));
    m_order.resize(m_data.size());
    for (int slot = 0; slot < int(m_data.size()); ++slot) {
        m_order[size_t(slot)] = slot;
        m_slotOf.insert(m_rowids[size_t(slot)], slot);
    }
    m_visible.clear();
}

void RowSet::setKeys(std::vector<SortKey> keys)
{
    m_keys = std::move(keys);
    placePending();
    std::sort(m_order.begin(), m_order.end(), [this](int a, int b) { return compare(a, b) < 0; });
    recomputeVisible();
}

void RowSet::setTest(Test test)
{
    m_test = std::move(test);
}

void RowSet::recomputeVisible()
{
    m_visible.clear();
    for (int slot : m_order) {
        const bool shown = passes(slot);
        markPlaced(slot, shown);
        if (shown && m_test)
            m_visible.push_back(slot);
    }
}

void RowSet::recomputeVisible(const std::vector<int> &candidates)
{
    Q_ASSERT(m_test);
    for (int slot : m_visible)
        markPlaced(slot, false);
    m_visible.clear();
    for (int slot : candidates) {
        if (!isPlaced(slot) || !passes(slot))
            continue;
        markPlaced(slot, true);
        m_visible.push_back(slot);
    }
}

std::vector<int>::iterator RowSet::lowerBound(std::vector<int> &list, int slot)
{
    return std::lower_bound(list.begin(), list.end(), slot, [this](int a, int b) { return compare(a, b) < 0; });
}

std::vector<int>::const_iterator RowSet::lowerBound(const std::vector<int> &list, int slot) const
{
    return std::lower_bound(list.begin(), list.end(), slot, [this](int a, int b) { return compare(a, b) < 0; });
}

int RowSet::position(int slot) const
{
    if (slot < 0 || !isVisible(slot))
        return -1;
    const std::vector<int> &list = visibleList();
    const auto it = lowerBound(list, slot);
    return it != list.end() && *it == slot ? int(it - list.begin()) : -1;
}

int RowSet::insertionPoint(int slot) const
{
    const std::vector<int> &list = visibleList();
    return int(lowerBound(list, slot) - list.begin());
}

std::vector<int> RowSet::placePending()
{
    if (m_pending.empty())
        return {};
    std::vector<int> added;
    added.swap(m_pending);
    const auto less = [this](int a, int b) { return compare(a, b) < 0; };
    const auto merge = [&](std::vector<int> &list, const std::vector<int> &rows) {
        if (rows.size() < 16) {
            for (int slot : rows)
                list.insert(lowerBound(list, slot), slot);
            return;
        }
        const auto middle = std::ptrdiff_t(list.size());
        list.insert(list.end(), rows.begin(), rows.end());
        std::inplace_merge(list.begin(), list.begin() + middle, list.end(), less);
    };
    if (!std::is_sorted(added.begin(), added.end(), less))
        std::sort(added.begin(), added.end(), less);
    std::vector<int> shown;
    for (int slot : added) {
        const bool passing = passes(slot);
        markPlaced(slot, passing);
        if (passing && m_test)
            shown.push_back(slot);
    }
    merge(m_order, added);
    if (m_test)
        merge(m_visible, shown);
    return added;
}

int RowSet::place(int slot)
{
    dropPending(slot);
    m_order.insert(lowerBound(m_order, slot), slot);
    const bool shown = passes(slot);
    markPlaced(slot, shown);
    if (!shown)
        return -1;
    if (!m_test)
        return position(slot);
    const auto at = lowerBound(m_visible, slot);
    const int p = int(at - m_visible.begin());
    m_visible.insert(at, slot);
    return p;
}

int RowSet::unplace(int slot)
{
    if (m_state[size_t(slot)] == Pending) {
        dropPending(slot);
        return -1;
    }
    const int p = position(slot);
    const auto erase = [&](std::vector<int> &list) {
        auto it = lowerBound(list, slot);
        if (it == list.end() || *it != slot)
            it = std::find(list.begin(), list.end(), slot);
        if (it != list.end())
            list.erase(it);
    };
    erase(m_order);
    if (p >= 0 && m_test)
        m_visible.erase(m_visible.begin() + p);
    m_state[size_t(slot)] = Pending;
    return p;
}

} // namespace engine::detail
