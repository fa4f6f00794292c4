#pragma once
// RowSet: the rows of an open cursor, in its active order.
//
// Invariants:
// - Every row has a slot: its identity (the storage's row id) and its block in the arena. A slot is
//   free, pending, or placed.
// - `order` holds every placed row, sorted by the keys and then by row identity, as SQLite's
//   "ORDER BY keys..., rowid" gives them. Rows appended inside a bulk scope wait as pending and are
//   placed all together, with one sort and one merge, the next time the order is needed.
// - `visible` holds the placed rows that pass the cursor's test, in the same order; while there is no
//   test, every placed row is visible and `order` serves for both.
// - Right after a load, slots are numbered in the order and their blocks lie in the arena in the same
//   order, so that a walk in the active order reads memory front to back.

#include "rowstore.h"

#include <QHash>

#include <functional>
#include <vector>

namespace engine::detail {

class RowSet {
public:
    using Test = std::function<bool(int slot)>;

    explicit RowSet(const RowLayout &layout) : m_layout(layout) {}
    const RowLayout &layout() const { return m_layout; }

    // --- Slots.
    void clear();
    // A new slot, placed by the caller (Now), with the other pending rows (Later), or by sortLoaded()
    // (Loading: the row is known by its identity once that has run).
    enum class Placement { Now, Later, Loading };
    int add(RowId rowid, const CellRef *cells, Placement placement);
    // New cells; a placed slot's new cells must keep its place in the order and its visibility.
    void setCells(int slot, const CellRef *cells);
    void setRowId(int slot, RowId rowid);
    void release(int slot); // the slot must not be placed
    RowId rowid(int slot) const { return m_rowids[size_t(slot)]; }
    const char *data(int slot) const { return m_data[size_t(slot)]; }
    int slotOf(RowId rowid) const { return m_slotOf.value(rowid, -1); }
    bool isPlaced(int slot) const { return m_state[size_t(slot)] >= Placed; }
    bool isVisible(int slot) const { return m_state[size_t(slot)] == Visible; }

    // Places every pending row and sorts: right after a load, the slots are renumbered in the order.
    // Visibility is the caller's next step (recomputeVisible).
    void sortLoaded();
    // A new order: every row is sorted again; slots keep their numbers.
    void setKeys(std::vector<SortKey> keys);
    const std::vector<SortKey> &keys() const { return m_keys; }
    // By the keys, then by row identity.
    int compare(int a, int b) const;

    // --- Visibility. A null test makes every placed row visible.
    void setTest(Test test);
    bool hasTest() const { return bool(m_test); }
    // Tests every placed row again, or (with a test) only the given ones, sorted in the order, which
    // are then all that can be visible.
    void recomputeVisible();
    void recomputeVisible(const std::vector<int> &candidates);
    int visibleCount() const { return int(visibleList().size()); }
    int visibleAt(int position) const { return visibleList()[size_t(position)]; }
    const std::vector<int> &order() const { return m_order; }
    // The slot's place among the visible rows: -1 when it is not visible.
    int position(int slot) const;
    // Where a row of the slot's cells would stand among the visible rows.
    int insertionPoint(int slot) const;

    // --- Changes.
    bool hasPending() const { return !m_pending.empty(); }
    std::vector<int> placePending(); // every pending row, with one sort and one merge; returns them
    int place(int slot); // one row; its visible position, or -1 when it does not pass the test
    int unplace(int slot); // its former visible position, or -1

private:
    enum State : char { Free, Pending, Placed, Visible };
    const std::vector<int> &visibleList() const { return m_test ? m_visible : m_order; }
    std::vector<int>::iterator lowerBound(std::vector<int> &list, int slot);
    std::vector<int>::const_iterator lowerBound(const std::vector<int> &list, int slot) const;
    bool passes(int slot) const { return !m_test || m_test(slot); }
    void dropPending(int slot);
    void markPlaced(int slot, bool visible) { m_state[size_t(slot)] = visible ? Visible : Placed; }

    const RowLayout &m_layout;
    RowArena m_arena;
    std::vector<const char *> m_data;
    std::vector<RowId> m_rowids;
    std::vector<State> m_state;
    std::vector<int> m_free;
    QHash<RowId, int> m_slotOf;
    std::vector<SortKey> m_keys;
    std::vector<int> m_order;
    std::vector<int> m_visible;
    std::vector<int> m_pending;
    Test m_test;
};

} // namespace engine::detail
