#pragma once
// The text of a box, split into fixed words and the bracketed names between them:
//   [Page#]                        the page number
//   [data1]                        a named variable, or a name the value callback answers
//   [dm.Tabesercizio."Piva"]       a field of a data set: the set's name, a full stop, the field in quotes
// A "[" without its "]" is an ordinary character; blanks around a name are not part of it.

#include <QList>
#include <QString>

namespace report {

struct Piece {
    enum class Kind { Fixed, PageNumber, Name };
    Kind kind = Kind::Fixed;
    QString text;    // the fixed words, or the whole name between the brackets
    QString dataSet; // a field's data set and field; empty for any other name
    QString field;
    bool operator==(const Piece &) const = default;
};

QList<Piece> parseText(const QString &text);

// The bracketed name of a data set's field, for texts written in code: [set."Field"].
QString fieldExpression(const QString &dataSet, const QString &field);

} // namespace report
