#include "lookupindex.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace engine::detail {

namespace {

void appendKeyPart(std::string &key, const CellRef &cell, bool caseInsensitive)
{
    key.push_back(char(cell.kind == CellRef::Int ? CellRef::Real : cell.kind));
    switch (cell.kind) {
    case CellRef::Null:
        break;
    case CellRef::Int:
    case CellRef::Real: {
        const double value = cell.kind == CellRef::Int ? double(cell.i) : cell.r;
        char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        key.append(bytes, sizeof value);
        break;
    }
    case CellRef::Bytes: {
        const auto size = quint32(cell.s.size());
        char length[sizeof size];
        std::memcpy(length, &size, sizeof size);
        const bool ascii = std::all_of(cell.s.begin(), cell.s.end(), [](char c) { return uchar(c) < 0x80; });
        if (!caseInsensitive) {
            key.append(length, sizeof size);
            key.append(cell.s);
        } else if (ascii) {
            key.append(length, sizeof size);
            for (char c : cell.s)
                key.push_back(c >= 'A' && c <= 'Z' ? char(c + 32) : c);
        } else {
            const QByteArray folded = QString::fromUtf8(cell.s.data(), qsizetype(cell.s.size())).toCaseFolded().toUtf8();
            const auto foldedSize = quint32(folded.size());
            std::memcpy(length, &foldedSize, sizeof foldedSize);
            key.append(length, sizeof foldedSize);
            key.append(folded.constData(), size_t(folded.size()));
        }
        break;
    }
    }
}

} // namespace

LookupIndex::LookupIndex(std::vector<int> fields, bool caseInsensitive)
    : m_fields(std::move(fields)), m_caseInsensitive(caseInsensitive)
{
}

std::string LookupIndex::keyOf(const CellRef *cells) const
{
    std::string key;
    for (size_t i = 0; i < m_fields.size(); ++i)
        appendKeyPart(key, cells[i], m_caseInsensitive);
    return key;
}

std::string LookupIndex::keyOfRow(const RowSet &rows, int slot) const
{
    std::string key;
    const char *row = rows.data(slot);
    for (int field : m_fields)
        appendKeyPart(key, rows.layout().cell(row, field), m_caseInsensitive);
    return key;
}

void LookupIndex::invalidate()
{
    m_built = false;
    m_rows.clear();
}

void LookupIndex::build(const RowSet &rows)
{
    m_rows.clear();
    m_rows.reserve(rows.order().size());
    for (int slot : rows.order())
        m_rows[keyOfRow(rows, slot)].push_back(slot);
    m_built = true;
}

void LookupIndex::added(const RowSet &rows, int slot)
{
    if (!m_built)
        return;
    std::vector<int> &list = m_rows[keyOfRow(rows, slot)];
    list.insert(std::lower_bound(list.begin(), list.end(), slot, [&](int a, int b) { return rows.compare(a, b) < 0; }), slot);
}

void LookupIndex::removed(const RowSet &rows, int slot)
{
    if (!m_built)
        return;
    const auto it = m_rows.find(keyOfRow(rows, slot));
    if (it == m_rows.end())
        return;
    std::vector<int> &list = it->second;
    list.erase(std::remove(list.begin(), list.end(), slot), list.end());
    if (list.empty())
        m_rows.erase(it);
}

const std::vector<int> *LookupIndex::rows(const std::string &key) const
{
    const auto it = m_rows.find(key);
    return it == m_rows.end() ? nullptr : &it->second;
}

int LookupIndex::firstVisible(const RowSet &rows, const std::string &key) const
{
    if (const std::vector<int> *candidates = this->rows(key)) {
        for (int slot : *candidates) {
            if (rows.isVisible(slot))
                return slot;
        }
    }
    return -1;
}

} // namespace engine::detail
