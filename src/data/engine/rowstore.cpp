#include "rowstore.h"

#include <algorithm>
#include <cstring>

namespace engine::detail {

namespace {

void appendUtf8(std::string &out, QStringView text)
{
    const qsizetype n = text.size();
    const char16_t *p = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (c < 0x80) {
            out.push_back(char(c));
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

int slotSize(FieldType type)
{
    switch (type) {
    case FieldType::Boolean:
        return 1;
    case FieldType::Number:
        return 8;
    default:
        return 4;
    }
}

bool isVar(FieldType type) { return type == FieldType::Text || type == FieldType::Picture; }

// Fast path for the ISO dates the file holds.
QDate isoDate(QStringView s)
{
    if (s.size() == 10 && s[4] == u'-' && s[7] == u'-') {
        auto digits = [&](int from, int count) {
            int v = 0;
            for (int i = from; i < from + count; ++i) {
                const char16_t ch = s[i].unicode();
                if (ch < u'0' || ch > u'9')
                    return -1;
                v = v * 10 + (ch - u'0');
            }
            return v;
        };
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(s.toString(), Qt::ISODate);
}

int foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// The length in UTF-16 units of the first `characters` characters of the text: a character outside
// the Basic Multilingual Plane is two units and is never split.
qsizetype wholeCharacters(const QString &text, int characters)
{
    qsizetype units = 0;
    for (int c = 0; c < characters && units < text.size(); ++c)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate() ? 2 : 1;
    return units;
}

} // namespace

void OwnedCells::assign(const QList<FieldDef> &fields, const QVariantList &values)
{
    m_bytes.clear();
    m_cells.assign(size_t(fields.size()), CellRef());
    std::vector<std::pair<size_t, size_t>> spans(m_cells.size(), {0, 0});
    for (int f = 0; f < fields.size(); ++f) {
        const QVariant &v = values[f];
        CellRef &c = m_cells[size_t(f)];
        switch (fields[f].type) {
        case FieldType::Text: {
            const size_t start = m_bytes.size();
            if (v.typeId() == QMetaType::QString)
                appendUtf8(m_bytes, *static_cast<const QString *>(v.constData()));
            else if (!v.isNull())
                appendUtf8(m_bytes, v.toString());
            c.kind = CellRef::Bytes;
            spans[size_t(f)] = {start, m_bytes.size() - start};
            break;
        }
        case FieldType::Picture:
            if (!v.isNull()) {
                const QByteArray blob = v.toByteArray();
                spans[size_t(f)] = {m_bytes.size(), size_t(blob.size())};
                m_bytes.append(blob.constData(), size_t(blob.size()));
                c.kind = CellRef::Bytes;
            }
            break;
        default: {
            const CellValue value = cellValue(fields[f].type, v);
            c.kind = value.kind;
            c.i = value.i;
            c.r = value.r;
            break;
        }
        }
    }
    pointIntoBytes(spans);
}

void OwnedCells::assign(const CellRef *cells, int count)
{
    m_bytes.clear();
    m_cells.assign(cells, cells + count);
    std::vector<std::pair<size_t, size_t>> spans(m_cells.size(), {0, 0});
    for (size_t f = 0; f < m_cells.size(); ++f) {
        if (m_cells[f].kind == CellRef::Bytes) {
            spans[f] = {m_bytes.size(), m_cells[f].s.size()};
            m_bytes.append(m_cells[f].s);
        }
    }
    pointIntoBytes(spans);
}

// Views into the block once it is whole, since growing it moves it.
void OwnedCells::pointIntoBytes(const std::vector<std::pair<size_t, size_t>> &spans)
{
    for (size_t f = 0; f < m_cells.size(); ++f) {
        if (m_cells[f].kind == CellRef::Bytes)
            m_cells[f].s = std::string_view(m_bytes.data() + spans[f].first, spans[f].second);
    }
}

CellRef CellValue::ref() const
{
    CellRef c;
    c.kind = kind;
    c.i = i;
    c.r = r;
    c.s = std::string_view(bytes.constData(), size_t(bytes.size()));
    return c;
}

int compareCells(const CellRef &a, const CellRef &b, bool noCase)
{
    auto rank = [](CellRef::Kind k) { return k == CellRef::Null ? 0 : k == CellRef::Bytes ? 2 : 1; };
    const int ra = rank(a.kind), rb = rank(b.kind);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        if (a.kind == CellRef::Int && b.kind == CellRef::Int)
            return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
        const double x = a.kind == CellRef::Int ? double(a.i) : a.r;
        const double y = b.kind == CellRef::Int ? double(b.i) : b.r;
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const size_t n = std::min(a.s.size(), b.s.size());
    if (noCase) {
        for (size_t k = 0; k < n; ++k) {
            const int x = foldAscii(uchar(a.s[k])), y = foldAscii(uchar(b.s[k]));
            if (x != y)
                return x < y ? -1 : 1;
        }
    } else if (n > 0) {
        const int c = std::memcmp(a.s.data(), b.s.data(), n);
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return a.s.size() < b.s.size() ? -1 : a.s.size() > b.s.size() ? 1 : 0;
}

void RowLayout::setFields(const QList<FieldDef> &fields)
{
    m_types.clear();
    m_offset.clear();
    m_prevVar.clear();
    m_nullBytes = int((fields.size() + 7) / 8);
    int offset = m_nullBytes;
    int lastVar = -1;
    for (const FieldDef &f : fields) {
        m_types.push_back(f.type);
        m_offset.push_back(offset);
        m_prevVar.push_back(isVar(f.type) ? lastVar : -1);
        if (isVar(f.type))
            lastVar = int(m_types.size()) - 1;
        offset += slotSize(f.type);
    }
    m_lastVar = lastVar;
    m_fixedSize = offset;
}

char *RowArena::allocate(size_t size)
{
    constexpr size_t blockSize = size_t(1) << 20;
    if (m_blocks.empty() || m_used + size > m_capacity) {
        m_capacity = std::max(blockSize, size);
        m_blocks.push_back(std::make_unique<char[]>(m_capacity));
        m_used = 0;
    }
    char *p = m_blocks.back().get() + m_used;
    m_used += size;
    return p;
}

void RowArena::clear()
{
    m_blocks.clear();
    m_used = m_capacity = 0;
}

const char *RowLayout::encode(const CellRef *cells, RowArena &arena) const
{
    m_fixed.assign(size_t(m_fixedSize), '\0');
    m_var.clear();
    char *fixed = m_fixed.data();
    for (int f = 0; f < fieldCount(); ++f) {
        const CellRef &cell = cells[f];
        const FieldType type = m_types[size_t(f)];
        char *slot = fixed + m_offset[size_t(f)];
        bool null = cell.kind == CellRef::Null;
        if (isVar(type)) {
            if (cell.kind == CellRef::Bytes)
                m_var.append(cell.s.data(), cell.s.size());
            else if (!null)
                m_var.append(cell.kind == CellRef::Int ? std::to_string(cell.i) : QByteArray::number(cell.r, 'g', 15).toStdString());
            null = null && type == FieldType::Picture; // text is never null
            const quint32 end = quint32(m_var.size());
            std::memcpy(slot, &end, 4);
        } else if (!null) {
            switch (type) {
            case FieldType::Boolean:
                *slot = (cell.kind == CellRef::Real ? cell.r != 0 : cell.i != 0) ? 1 : 0;
                break;
            case FieldType::Number: {
                const double x = cell.kind == CellRef::Real ? cell.r : double(cell.i);
                std::memcpy(slot, &x, 8);
                break;
            }
            default: {
                const qint32 x = qint32(cell.kind == CellRef::Real ? qint64(cell.r) : cell.i);
                std::memcpy(slot, &x, 4);
                break;
            }
            }
        }
        if (null)
            fixed[f / 8] = char(uchar(fixed[f / 8]) | (1u << (f % 8)));
    }
    char *data = arena.allocate(m_fixed.size() + m_var.size());
    std::memcpy(data, m_fixed.data(), m_fixed.size());
    if (!m_var.empty())
        std::memcpy(data + m_fixed.size(), m_var.data(), m_var.size());
    return data;
}

size_t RowLayout::size(const char *data) const
{
    quint32 varSize = 0;
    if (m_lastVar >= 0)
        std::memcpy(&varSize, data + m_offset[size_t(m_lastVar)], 4);
    return size_t(m_fixedSize) + varSize;
}

bool RowLayout::isNull(const char *data, int field) const
{
    return (uchar(data[field / 8]) >> (field % 8)) & 1u;
}

CellRef RowLayout::cell(const char *data, int field) const
{
    CellRef c;
    const FieldType type = m_types[size_t(field)];
    const char *slot = data + m_offset[size_t(field)];
    if (isVar(type)) {
        quint32 end = 0, start = 0;
        std::memcpy(&end, slot, 4);
        const int prev = m_prevVar[size_t(field)];
        if (prev >= 0)
            std::memcpy(&start, data + m_offset[size_t(prev)], 4);
        if (isNull(data, field))
            return c;
        c.kind = CellRef::Bytes;
        c.s = std::string_view(data + m_fixedSize + start, end - start);
        return c;
    }
    if (isNull(data, field))
        return c;
    switch (type) {
    case FieldType::Boolean:
        c.kind = CellRef::Int;
        c.i = *slot;
        break;
    case FieldType::Number:
        c.kind = CellRef::Real;
        std::memcpy(&c.r, slot, 8);
        break;
    default: {
        qint32 x = 0;
        std::memcpy(&x, slot, 4);
        c.kind = CellRef::Int;
        c.i = x;
        break;
    }
    }
    return c;
}

QVariant RowLayout::value(const char *data, int field) const
{
    return cellToVariant(m_types[size_t(field)], cell(data, field));
}

int RowLayout::compare(const char *a, const char *b, const std::vector<SortKey> &keys) const
{
    for (const SortKey &k : keys) {
        const int c = compareCells(cell(a, k.field), cell(b, k.field), k.noCase);
        if (c != 0)
            return c;
    }
    return 0;
}

QDate nullDate() { return QDate(1899, 12, 30); }

QDate parseDate(const QString &text, bool *ok)
{
    *ok = true;
    const QString t = text.trimmed();
    if (QString(t).remove(QLatin1Char('/')).trimmed().isEmpty())
        return {};
    QDate d = QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        d = isoDate(t);
    *ok = d.isValid();
    return d;
}

QVariant normalizeValue(const FieldDef &field, const QVariant &value, bool *ok)
{
    *ok = true;
    if (field.type == FieldType::Text) {
        if (value.typeId() == QMetaType::QString) {
            const QString &text = *static_cast<const QString *>(value.constData());
            if ((field.size == 0 || text.size() <= field.size) && !text.isNull())
                return value;
        }
        QString s = value.isNull() ? QString() : value.toString();
        if (field.size > 0 && s.size() > field.size)
            s.truncate(wholeCharacters(s, field.size));
        return s.isNull() ? QStringLiteral("") : s;
    }
    const bool blank = value.isNull()
        || (value.typeId() == QMetaType::QString && QStringView(*static_cast<const QString *>(value.constData())).trimmed().isEmpty());
    switch (field.type) {
    case FieldType::Text:
        break;
    case FieldType::Integer:
    case FieldType::AutoIncrement: {
        if (blank)
            return {};
        if (value.typeId() == QMetaType::Double)
            return int(value.toDouble());
        const int v = value.typeId() == QMetaType::QString ? value.toString().trimmed().toInt(ok)
                                                           : value.toInt(ok);
        return *ok ? QVariant(v) : QVariant();
    }
    case FieldType::Number: {
        if (blank)
            return {};
        double v = 0;
        if (value.typeId() == QMetaType::QString)
            v = value.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(ok);
        else
            v = value.toDouble(ok);
        return *ok ? QVariant(v) : QVariant();
    }
    case FieldType::Date: {
        if (blank)
            return {};
        QDate d;
        if (value.typeId() == QMetaType::QDate)
            d = value.toDate();
        else if (value.typeId() == QMetaType::QDateTime)
            d = value.toDateTime().date();
        else
            d = parseDate(value.toString(), ok);
        return (*ok && d.isValid()) ? QVariant(d) : QVariant();
    }
    case FieldType::Boolean: {
        if (blank)
            return {};
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("1") || s == QLatin1String("s")
                || s == QLatin1String("si") || s == QLatin1String("sì"))
                return true;
            if (s == QLatin1String("false") || s == QLatin1String("0") || s == QLatin1String("n")
                || s == QLatin1String("no"))
                return false;
            *ok = false;
            return {};
        }
        return value.toBool();
    }
    case FieldType::Picture:
        return value.isNull() ? QVariant() : QVariant(value.toByteArray());
    }
    return {};
}

QVariant cellToVariant(FieldType type, const CellRef &c)
{
    switch (type) {
    case FieldType::Text:
        return QString::fromUtf8(c.s.data(), qsizetype(c.s.size()));
    case FieldType::Picture:
        return c.kind == CellRef::Null ? QVariant() : QByteArray(c.s.data(), qsizetype(c.s.size()));
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        return c.kind == CellRef::Null ? QVariant() : QVariant(int(c.i));
    case FieldType::Boolean:
        return c.kind == CellRef::Null ? QVariant() : QVariant(c.i != 0);
    case FieldType::Number:
        return c.kind == CellRef::Null ? QVariant() : QVariant(c.r);
    case FieldType::Date:
        return c.kind == CellRef::Null ? QVariant() : QVariant(QDate::fromJulianDay(c.i));
    }
    return {};
}

CellValue cellValue(FieldType type, const QVariant &normalized)
{
    CellValue c;
    if (normalized.isNull() && type != FieldType::Text)
        return c;
    switch (type) {
    case FieldType::Text:
        c.kind = CellRef::Bytes;
        c.bytes = normalized.toString().toUtf8();
        break;
    case FieldType::Picture:
        c.kind = CellRef::Bytes;
        c.bytes = normalized.toByteArray();
        break;
    case FieldType::Number:
        c.kind = CellRef::Real;
        c.r = normalized.toDouble();
        break;
    case FieldType::Date:
        c.kind = CellRef::Int;
        c.i = normalized.toDate().toJulianDay();
        break;
    case FieldType::Boolean:
        c.kind = CellRef::Int;
        c.i = normalized.toBool() ? 1 : 0;
        break;
    case FieldType::Integer:
    case FieldType::AutoIncrement:
        c.kind = CellRef::Int;
        c.i = normalized.toLongLong();
        break;
    }
    return c;
}

} // namespace engine::detail
