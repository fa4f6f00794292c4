#pragma once
// Table definitions: the fields, primary key and secondary indexes a table file is created with.
// A definition is plain data; the catalogue of the data module is built from these.

#include <QList>
#include <QString>
#include <QStringList>

namespace engine {

enum class FieldType {
    Integer,        // 32-bit signed
    Text,           // up to `size` characters; empty text is "" never null
    Date,           // calendar date, no time; empty is null
    Boolean,        // empty is null, reads false
    Number,         // 64-bit floating point; empty is null, reads 0
    AutoIncrement,  // 32-bit integer assigned by the engine when a row is first posted
    Picture,        // binary large object
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;          // characters, for Text only
    bool required = false; // a post with this field null is refused
};

struct IndexDef {
    QString name;
    QString fields;               // ";"-separated field names
    bool caseInsensitive = true;
};

struct TableSchema {
    QString name;                 // file base name: <name>.sqlite
    QList<FieldDef> fields;       // in stored order
    QString primaryKey;           // one field name, or empty: stored order is insertion order
    QList<IndexDef> indexes;      // secondary indexes created with the file
    int version = 1;              // raised with each change of the definition; files carry theirs

    const FieldDef *field(const QString &fieldName) const; // case-insensitive; nullptr when absent
};

// Splits "a;b; c" into its trimmed field names.
QStringList splitFieldList(const QString &fields);

} // namespace engine
