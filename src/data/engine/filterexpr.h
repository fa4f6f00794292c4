#pragma once
// The filter language of the engine, parsed once and evaluated on rows in memory.
//
//   condition := term { or term } ;  term := factor { and factor } ;  factor := not factor | ( condition ) | comparison
//   comparison := operand ( = | <> | < | > | <= | >= ) operand
//   operand := [field] | field | table.field | 'text with '' inside' | number
//
// Keywords ignore case and tokens may touch ("'2010'and[x]='1'"). A literal compared with a field is
// read as that field's type: numerically for integer and number fields, as a day for date fields
// (dd/MM/yyyy or d/M/yyyy), as exact case-sensitive text for text fields. A null (blank) date, number
// or boolean only equals a blank literal; every other comparison with it is false, except <> which is
// true. Parentheses and "not" nest at most 100 deep; chains of "and" and "or" may be of any length.
// A filter text never reaches SQL.

#include "rowstore.h"

#include <QString>

#include <functional>
#include <memory>

namespace engine::detail {

class Filter {
public:
    struct FieldInfo {
        bool found = false;
        int index = -1;     // stored field number, or the owner's number for a field it computes
        bool stored = true;
        FieldType type = FieldType::Text;
    };
    using Resolver = std::function<FieldInfo(const QString &name)>;
    using VirtualValue = std::function<QVariant(int index)>;

    Filter();
    ~Filter();
    Filter(Filter &&) noexcept;
    Filter &operator=(Filter &&) noexcept;

    // Throws EngineError on a syntax error; an empty text accepts every row.
    static Filter parse(const QString &text);
    bool isEmpty() const;
    // Resolves field names and reads the literals as their fields' types; throws EngineError.
    void bind(const Resolver &resolve);
    bool accepts(const RowLayout &layout, const char *row, const VirtualValue &virtualValue) const;

    struct Node; // the parsed condition, private to the implementation

private:
    std::unique_ptr<Node> m_root;
};

} // namespace engine::detail
