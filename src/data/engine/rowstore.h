#pragma once
// Compact in-memory rows of an open table, and the cells values travel in.
//
// A cell is a value in the engine's own terms: NULL, an integer (integers, booleans as 0/1, dates as
// Julian days), a real (numbers) or bytes (text as UTF-8, blobs). Storage backends hand cells over and
// take them in these terms, whatever their files hold.
//
// A row is one block in a RowArena: a null bitmap, one fixed slot per stored field (4 bytes for
// integers, dates and text/blob end offsets, 1 byte for booleans, 8 for numbers), then the variable
// area holding every text as UTF-8 and every blob, in field order. Text stays UTF-8 because SQLite
// compares text as UTF-8 bytes: byte order here is exactly SQLite's BINARY order and ASCII folding of
// the same bytes is its NOCASE order, so rows sorted here agree with ORDER BY.
// Text is never null: a NULL read from the file becomes empty text.

#include "schema.h"

#include <QByteArray>
#include <QDate>
#include <QVariant>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine::detail {

using RowId = qint64;

// A cell seen without owning its bytes.
struct CellRef {
    enum Kind : char { Null, Int, Real, Bytes };
    Kind kind = Null;
    qint64 i = 0;
    double r = 0;
    std::string_view s;
};

// An owned cell, for values kept beyond the row they came from (edit buffers, keys, literals).
struct CellValue {
    CellRef::Kind kind = CellRef::Null;
    qint64 i = 0;
    double r = 0;
    QByteArray bytes;

    CellRef ref() const;
};

// The cells of a whole row, owning their bytes: every text and blob in one block, so that a row of
// values becomes cells without one allocation per text.
class OwnedCells {
public:
    // From values normalized for their fields (normalizeValue), one per field.
    void assign(const QList<FieldDef> &fields, const QVariantList &values);
    // A copy of cells that live elsewhere.
    void assign(const CellRef *cells, int count);
    CellRef *data() { return m_cells.data(); }
    CellRef &operator[](int field) { return m_cells[size_t(field)]; }

private:
    void pointIntoBytes(const std::vector<std::pair<size_t, size_t>> &spans);

    std::string m_bytes;
    std::vector<CellRef> m_cells;
};

// SQLite's order: NULL, then numbers by value, then bytes (BINARY, or NOCASE folding ASCII only).
int compareCells(const CellRef &a, const CellRef &b, bool noCase);

struct SortKey {
    int field = 0;
    bool noCase = false;
};

// Memory for rows: large blocks handed out in order, released all at once, so that rows placed one
// after the other are read one after the other.
class RowArena {
public:
    char *allocate(size_t size);
    void clear();

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    size_t m_capacity = 0;
};

class RowLayout {
public:
    void setFields(const QList<FieldDef> &fields);
    int fieldCount() const { return int(m_types.size()); }
    FieldType type(int field) const { return m_types[size_t(field)]; }

    // One cell per stored field, in engine terms; the block is allocated from the arena.
    const char *encode(const CellRef *cells, RowArena &arena) const;
    size_t size(const char *data) const; // the block's length in bytes

    bool isNull(const char *data, int field) const;
    CellRef cell(const char *data, int field) const;
    QVariant value(const char *data, int field) const;

    // Orders by the keys only; callers break ties by row identity.
    int compare(const char *a, const char *b, const std::vector<SortKey> &keys) const;

private:
    std::vector<FieldType> m_types;
    std::vector<int> m_offset;
    std::vector<int> m_prevVar; // previous Text/Picture field, whose end is this one's start; -1 none
    int m_lastVar = -1;
    int m_nullBytes = 0;
    int m_fixedSize = 0;
    mutable std::string m_fixed;
    mutable std::string m_var;
};

// The value a field stores for an assigned value: text cut to size (by whole characters) and never
// null, empty dates/numbers/booleans null. Sets *ok false when the value cannot be read as the type.
QVariant normalizeValue(const FieldDef &field, const QVariant &value, bool *ok);
// A normalized value as a cell, and back.
CellValue cellValue(FieldType type, const QVariant &normalized);
QVariant cellToVariant(FieldType type, const CellRef &cell);

// dd/MM/yyyy, d/M/yyyy or yyyy-MM-dd; blank (also the "  /  /    " mask) is a valid null date.
QDate parseDate(const QString &text, bool *ok);
QDate nullDate(); // 30/12/1899, what a null date reads as

} // namespace engine::detail
