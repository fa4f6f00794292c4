#include "filterexpr.h"

#include "engineerror.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace engine::detail {

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

struct Token {
    enum Kind { End, LParen, RParen, Compare, Field, Text, Number, And, Or, Not } kind = End;
    QString text;
    Op op = Op::Eq;
    int at = 0;
};

[[noreturn]] void bad(const QString &why)
{
    throw EngineError(QStringLiteral("Filtro non valido: %1").arg(why));
}

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'); }

QList<Token> tokenize(const QString &s)
{
    QList<Token> tokens;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.at = i;
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            t.kind = c == QLatin1Char('(') ? Token::LParen : Token::RParen;
            ++i;
        } else if (c == QLatin1Char('[')) {
            const int close = int(s.indexOf(QLatin1Char(']'), i + 1));
            if (close < 0)
                bad(QStringLiteral("manca ']' dopo la posizione %1").arg(i + 1));
            t.kind = Token::Field;
            t.text = s.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
        } else if (c == QLatin1Char('\'')) {
            t.kind = Token::Text;
            ++i;
            for (;;) {
                if (i >= n)
                    bad(QStringLiteral("testo non chiuso dalla posizione %1").arg(t.at + 1));
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        t.text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i++];
            }
        } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
            t.kind = Token::Compare;
            const QChar next = i + 1 < n ? s[i + 1] : QChar();
            if (c == QLatin1Char('<') && next == QLatin1Char('>')) {
                t.op = Op::Ne;
                i += 2;
            } else if (c != QLatin1Char('=') && next == QLatin1Char('=')) {
                t.op = c == QLatin1Char('<') ? Op::Le : Op::Ge;
                i += 2;
            } else {
                t.op = c == QLatin1Char('=') ? Op::Eq : c == QLatin1Char('<') ? Op::Lt : Op::Gt;
                ++i;
            }
        } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && i + 1 < n && s[i + 1].isDigit())) {
            t.kind = Token::Number;
            const int start = i++;
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            t.text = s.mid(start, i - start);
        } else if (isNameChar(c)) {
            const int start = i;
            while (i < n && isNameChar(s[i]))
                ++i;
            t.text = s.mid(start, i - start);
            const QString lower = t.text.toLower();
            t.kind = lower == QLatin1String("and") ? Token::And
                : lower == QLatin1String("or")     ? Token::Or
                : lower == QLatin1String("not")    ? Token::Not
                                                   : Token::Field;
        } else {
            bad(QStringLiteral("carattere '%1' inatteso alla posizione %2").arg(c).arg(i + 1));
        }
        tokens << t;
    }
    Token end;
    end.at = n;
    tokens << end;
    return tokens;
}

} // namespace

struct Filter::Node {
    enum Kind { And, Or, Not, Compare } kind = Compare;
    std::vector<std::unique_ptr<Node>> children; // the terms of And and Or, the one operand of Not
    struct Operand {
        bool isField = false;
        QString text; // field name, or the literal as written
        bool number = false;
        FieldInfo field;
        CellValue value;
    };
    Op op = Op::Eq;
    Operand left, right;
};

namespace {

class Parser {
public:
    explicit Parser(QList<Token> tokens) : m_tokens(std::move(tokens)) {}

    std::unique_ptr<Filter::Node> parse()
    {
        auto node = condition();
        if (peek().kind != Token::End)
            bad(QStringLiteral("testo inatteso alla posizione %1").arg(peek().at + 1));
        return node;
    }

private:
    using Node = Filter::Node;

    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }

    // A chain of "and" or "or" is one node with many terms, so its length costs no depth.
    std::unique_ptr<Node> chain(Node::Kind kind, Token::Kind joiner, std::unique_ptr<Node> (Parser::*next)())
    {
        auto first = (this->*next)();
        if (peek().kind != joiner)
            return first;
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->children.push_back(std::move(first));
        while (peek().kind == joiner) {
            take();
            n->children.push_back((this->*next)());
        }
        return n;
    }

    std::unique_ptr<Node> condition() { return chain(Node::Or, Token::Or, &Parser::term); }
    std::unique_ptr<Node> term() { return chain(Node::And, Token::And, &Parser::factor); }

    // Parentheses and "not" nest; beyond a depth no hand-written filter reaches, the text is refused
    // before the parser runs out of stack.
    struct Nesting {
        explicit Nesting(int &depth) : m_depth(depth)
        {
            if (++m_depth > MaxDepth)
                bad(QStringLiteral("troppi livelli di parentesi o di \"not\" (al massimo %1)").arg(MaxDepth));
        }
        ~Nesting() { --m_depth; }
        int &m_depth;
    };
    static constexpr int MaxDepth = 100;

    std::unique_ptr<Node> factor()
    {
        if (peek().kind == Token::Not) {
            const Nesting nesting(m_depth);
            take();
            auto n = std::make_unique<Node>();
            n->kind = Node::Not;
            n->children.push_back(factor());
            return n;
        }
        if (peek().kind == Token::LParen) {
            const Nesting nesting(m_depth);
            take();
            auto node = condition();
            if (take().kind != Token::RParen)
                bad(QStringLiteral("manca ')'"));
            return node;
        }
        auto n = std::make_unique<Node>();
        n->left = operand();
        const Token op = take();
        if (op.kind != Token::Compare)
            bad(QStringLiteral("manca l'operatore di confronto alla posizione %1").arg(op.at + 1));
        n->op = op.op;
        n->right = operand();
        return n;
    }

    Node::Operand operand()
    {
        const Token t = take();
        Node::Operand o;
        switch (t.kind) {
        case Token::Field:
            o.isField = true;
            // A qualified name "table.field" names a field of the one table filtered.
            o.text = t.text.mid(t.text.lastIndexOf(QLatin1Char('.')) + 1);
            if (o.text.isEmpty())
                bad(QStringLiteral("nome di campo mancante alla posizione %1").arg(t.at + 1));
            break;
        case Token::Text:
            o.text = t.text;
            break;
        case Token::Number:
            o.text = t.text;
            o.number = true;
            break;
        default:
            bad(t.kind == Token::End ? QStringLiteral("condizione incompleta")
                                     : QStringLiteral("atteso un campo o un valore alla posizione %1").arg(t.at + 1));
        }
        return o;
    }

    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    int m_depth = 0;
};

CellValue literalFor(const Filter::FieldInfo &field, const QString &fieldName, const QString &literal)
{
    CellValue v;
    const QString text = literal.trimmed();
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Picture:
        v.kind = CellRef::Bytes;
        v.bytes = literal.toUtf8();
        return v;
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Number: {
        if (text.isEmpty())
            return v;
        bool ok = false;
        const double d = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            bad(QStringLiteral("'%1' non è un numero per il campo %2").arg(literal, fieldName));
        v.kind = CellRef::Real;
        v.r = d;
        return v;
    }
    case FieldType::Date: {
        bool ok = false;
        const QDate d = parseDate(text, &ok);
        if (!ok)
            bad(QStringLiteral("'%1' non è una data valida per il campo %2").arg(literal, fieldName));
        if (d.isValid()) {
            v.kind = CellRef::Int;
            v.i = d.toJulianDay();
        }
        return v;
    }
    case FieldType::Boolean: {
        if (text.isEmpty())
            return v;
        FieldDef def;
        def.type = FieldType::Boolean;
        bool ok = false;
        const QVariant b = normalizeValue(def, text, &ok);
        if (!ok)
            bad(QStringLiteral("'%1' non è un valore logico per il campo %2").arg(literal, fieldName));
        v.kind = CellRef::Int;
        v.i = b.toBool() ? 1 : 0;
        return v;
    }
    }
    return v;
}

CellValue plainLiteral(const Filter::Node::Operand &o)
{
    CellValue v;
    if (o.number) {
        v.kind = CellRef::Real;
        v.r = o.text.toDouble();
    } else {
        v.kind = CellRef::Bytes;
        v.bytes = o.text.toUtf8();
    }
    return v;
}

void bindNode(Filter::Node &n, const Filter::Resolver &resolve)
{
    if (n.kind != Filter::Node::Compare) {
        for (const auto &child : n.children)
            bindNode(*child, resolve);
        return;
    }
    for (auto *o : {&n.left, &n.right}) {
        if (!o->isField)
            continue;
        o->field = resolve(o->text);
        if (!o->field.found)
            bad(QStringLiteral("il campo %1 non esiste").arg(o->text));
    }
    for (auto [self, other] : {std::pair{&n.left, &n.right}, std::pair{&n.right, &n.left}}) {
        if (self->isField)
            continue;
        self->value = other->isField ? literalFor(other->field, other->text, self->text) : plainLiteral(*self);
    }
}

bool test(Op op, int c)
{
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Gt: return c > 0;
    case Op::Le: return c <= 0;
    case Op::Ge: return c >= 0;
    }
    return false;
}

} // namespace

Filter::Filter() = default;
Filter::~Filter() = default;
Filter::Filter(Filter &&) noexcept = default;
Filter &Filter::operator=(Filter &&) noexcept = default;

Filter Filter::parse(const QString &text)
{
    Filter f;
    if (!text.trimmed().isEmpty())
        f.m_root = Parser(tokenize(text)).parse();
    return f;
}

bool Filter::isEmpty() const { return !m_root; }

void Filter::bind(const Resolver &resolve)
{
    if (m_root)
        bindNode(*m_root, resolve);
}

namespace {

bool evaluate(const Filter::Node &n, const RowLayout &layout, const char *row, const Filter::VirtualValue &virtualValue)
{
    using Node = Filter::Node;
    switch (n.kind) {
    case Node::And:
        return std::all_of(n.children.begin(), n.children.end(),
                           [&](const auto &child) { return evaluate(*child, layout, row, virtualValue); });
    case Node::Or:
        return std::any_of(n.children.begin(), n.children.end(),
                           [&](const auto &child) { return evaluate(*child, layout, row, virtualValue); });
    case Node::Not:
        return !evaluate(*n.children.front(), layout, row, virtualValue);
    case Node::Compare:
        break;
    }
    CellValue owned[2];
    CellRef cells[2];
    int k = 0;
    for (const Node::Operand *o : {&n.left, &n.right}) {
        if (!o->isField) {
            cells[k] = o->value.ref();
        } else if (o->field.stored) {
            cells[k] = layout.cell(row, o->field.index);
        } else {
            owned[k] = cellValue(o->field.type, virtualValue(o->field.index));
            cells[k] = owned[k].ref();
        }
        ++k;
    }
    const bool nullLeft = cells[0].kind == CellRef::Null, nullRight = cells[1].kind == CellRef::Null;
    if (nullLeft || nullRight) {
        if (nullLeft && nullRight)
            return n.op == Op::Eq || n.op == Op::Le || n.op == Op::Ge;
        return n.op == Op::Ne;
    }
    return test(n.op, compareCells(cells[0], cells[1], false));
}

} // namespace

bool Filter::accepts(const RowLayout &layout, const char *row, const VirtualValue &virtualValue) const
{
    return !m_root || evaluate(*m_root, layout, row, virtualValue);
}

} // namespace engine::detail
