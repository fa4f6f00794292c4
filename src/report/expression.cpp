#include "report/expression.h"

#include <utility>

namespace report {

namespace {

Piece nameOf(const QString &inside)
{
    const QString name = inside.trimmed();
    if (name.compare(QLatin1String("Page#"), Qt::CaseInsensitive) == 0)
        return {Piece::Kind::PageNumber, name, {}, {}};
    Piece piece{Piece::Kind::Name, name, {}, {}};
    // set."field": the field is the quoted tail, so that a set's name may hold full stops of its own.
    const qsizetype quote = name.lastIndexOf(QLatin1String(".\""));
    if (name.endsWith(QLatin1Char('"')) && quote > 0 && quote + 2 < name.size()) {
        piece.dataSet = name.left(quote);
        piece.field = name.mid(quote + 2, name.size() - quote - 3);
    }
    return piece;
}

} // namespace

QList<Piece> parseText(const QString &text)
{
    QList<Piece> pieces;
    QString fixed;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype first = text.indexOf(QLatin1Char('['), at);
        const qsizetype close = first < 0 ? -1 : text.indexOf(QLatin1Char(']'), first + 1);
        if (close < 0) {
            fixed += QStringView(text).mid(at);
            break;
        }
        // The name opens at the last "[" before its "]": an earlier one stays a character.
        const qsizetype open = text.lastIndexOf(QLatin1Char('['), close);
        const QString inside = text.mid(open + 1, close - open - 1);
        if (inside.trimmed().isEmpty()) {
            fixed += QStringView(text).mid(at, close + 1 - at);
            at = close + 1;
            continue;
        }
        fixed += QStringView(text).mid(at, open - at);
        if (!fixed.isEmpty())
            pieces << Piece{Piece::Kind::Fixed, std::exchange(fixed, {}), {}, {}};
        pieces << nameOf(inside);
        at = close + 1;
    }
    if (!fixed.isEmpty())
        pieces << Piece{Piece::Kind::Fixed, fixed, {}, {}};
    return pieces;
}

QString fieldExpression(const QString &dataSet, const QString &field)
{
    return QLatin1Char('[') + dataSet + QStringLiteral(".\"") + field + QStringLiteral("\"]");
}

} // namespace report
