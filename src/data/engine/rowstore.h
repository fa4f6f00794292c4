#pragma once
// Compact in-memory rows of an open table.
//
// A row is one heap block: a null bitmap, one fixed slot per stored field (4 bytes for integers,
// dates as Julian days and text/blob end offsets, 1 byte for booleans, 8 for numbers), then the
// variable area holding every text as UTF-8 and every blob, in field order. Text stays UTF-8 because
// SQLite compares text as UTF-8 bytes: byte order here is exactly SQLite's BINARY order and ASCII
// folding of the same bytes is its NOCASE order, so rows sorted here agree with ORDER BY.
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

// A cell seen as SQLite sees it: NULL, a number, or bytes (text or blob).
struct CellRef {
    enum Kind : char { Null, Int, Real, Bytes };
    Kind kind = Null;
    qint64 i = 0;
    double r = 0;
    std::string_view s;
};

// An owned cell, for values compared against rows (filter literals, keys, locate values).
struct CellValue {
    CellRef::Kind kind = CellRef::Null;
    qint64 i = 0;
    double r = 0;
    QByteArray bytes;

    CellRef ref() const;
};

// SQLite's order: NULL, then numbers by value, then bytes (BINARY, or NOCASE folding ASCII only).
int compareCells(const CellRef &a, const CellRef &b, bool noCase);

struct Row {
    qint64 rowid = 0;
    std::unique_ptr<char[]> data;
};

struct SortKey {
    int field = 0;
    bool noCase = false;
};

class RowLayout {
public:
    void setFields(const QList<FieldDef> &fields);
    int fieldCount() const { return int(m_types.size()); }
    FieldType type(int field) const { return m_types[size_t(field)]; }

    // Values must already be normalized for their field (see normalizeValue), or be what the
    // SQLite driver returns for the column (dates as ISO text, booleans as 0/1).
    std::unique_ptr<char[]> encode(const QVariant *values) const;
    // Cells as the file holds them: dates as ISO text, booleans as 0/1, text as UTF-8 bytes.
    std::unique_ptr<char[]> encodeStored(const CellRef *cells) const;

    bool isNull(const char *data, int field) const;
    CellRef cell(const char *data, int field) const;
    QVariant value(const char *data, int field) const;

    // Orders by the keys, then by rowid, as "ORDER BY keys..., rowid" does.
    int compare(const Row &a, const Row &b, const std::vector<SortKey> &keys) const;

private:
    void startRow() const;
    bool putFixed(char *slot, FieldType type, const CellRef &cell) const;
    void endVar(char *slot) const;
    void setNull(int field) const;
    std::unique_ptr<char[]> packRow() const;

    std::vector<FieldType> m_types;
    std::vector<int> m_offset;
    std::vector<int> m_prevVar; // previous Text/Picture field, whose end is this one's start; -1 none
    int m_nullBytes = 0;
    int m_fixedSize = 0;
    mutable std::string m_fixed;
    mutable std::string m_var;
};

// The value a field stores for an assigned value: text cut to size and never null, empty
// dates/numbers/booleans null. Sets *ok false when the value cannot be read as the field's type.
QVariant normalizeValue(const FieldDef &field, const QVariant &value, bool *ok);
CellValue cellValue(FieldType type, const QVariant &normalized);

// dd/MM/yyyy, d/M/yyyy or yyyy-MM-dd; blank (also the "  /  /    " mask) is a valid null date.
QDate parseDate(const QString &text, bool *ok);
QDate nullDate(); // 30/12/1899, what a null date reads as

QString sqlDate(const QDate &date); // yyyy-MM-dd

} // namespace engine::detail
