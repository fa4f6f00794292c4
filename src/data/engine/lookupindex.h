#pragma once
// LookupIndex: the placed rows of a RowSet by the values of some of their fields, for look-ups, exact
// locates and the master/detail link. For each key it keeps the rows holding it in the set's order, so
// that "the first visible row with these values" is the first visible one of a short list.
//
// A key compares as the engine compares cells: numbers by value (5 and 5.0 are one key), text as its
// bytes, or folded to one case for a case-insensitive index. The index follows every row placed and
// unplaced after it is built; a new order of the set makes it stale, and it is built again when used.

#include "rowset.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace engine::detail {

class LookupIndex {
public:
    LookupIndex(std::vector<int> fields, bool caseInsensitive);

    // The key of the given cells, one per field of the index in its order.
    std::string keyOf(const CellRef *cells) const;

    bool isBuilt() const { return m_built; }
    void invalidate();
    void build(const RowSet &rows);
    void added(const RowSet &rows, int slot);   // after the slot was placed
    void removed(const RowSet &rows, int slot); // while its cells are still those it was indexed by

    // The rows holding the key in the set's order; nullptr when none.
    const std::vector<int> *rows(const std::string &key) const;
    // The first of them that is visible, or -1.
    int firstVisible(const RowSet &rows, const std::string &key) const;

private:
    std::string keyOfRow(const RowSet &rows, int slot) const;

    std::vector<int> m_fields;
    bool m_caseInsensitive;
    bool m_built = false;
    std::unordered_map<std::string, std::vector<int>> m_rows;
};

} // namespace engine::detail
