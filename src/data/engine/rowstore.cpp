#include "rowstore.h"

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

} // namespace

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
    m_fixedSize = offset;
}

namespace {

// Julian day of an ISO yyyy-MM-dd date held as bytes; 0 when it is not one.
qint64 isoJulianDay(std::string_view s)
{
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
        auto digits = [&](size_t from, size_t count) {
            int v = 0;
            for (size_t i = from; i < from + count; ++i) {
                if (s[i] < '0' || s[i] > '9')
                    return -1;
                v = v * 10 + (s[i] - '0');
            }
            return v;
        };
        const QDate date(digits(0, 4), digits(5, 2), digits(8, 2));
        if (date.isValid())
            return date.toJulianDay();
    }
    const QDate date = QDate::fromString(QString::fromUtf8(s.data(), qsizetype(s.size())), Qt::ISODate);
    return date.isValid() ? date.toJulianDay() : 0;
}

} // namespace

// Fixed slots take a cell already in the row's own terms: integers, booleans and Julian days as Int,
// numbers as Real. Returns false when the cell is null.
bool RowLayout::putFixed(char *slot, FieldType type, const CellRef &cell) const
{
    if (cell.kind == CellRef::Null)
        return false;
    switch (type) {
    case FieldType::Boolean:
        *slot = cell.i != 0 ? 1 : 0;
        break;
    case FieldType::Number: {
        const double x = cell.kind == CellRef::Real ? cell.r : double(cell.i);
        std::memcpy(slot, &x, 8);
        break;
    }
    default: {
        const qint32 x = qint32(cell.i);
        std::memcpy(slot, &x, 4);
        break;
    }
    }
    return true;
}

void RowLayout::setNull(int field) const
{
    m_fixed[size_t(field / 8)] = char(uchar(m_fixed[size_t(field / 8)]) | (1u << (field % 8)));
}

std::unique_ptr<char[]> RowLayout::packRow() const
{
    std::unique_ptr<char[]> data(new char[m_fixed.size() + m_var.size()]);
    std::memcpy(data.get(), m_fixed.data(), m_fixed.size());
    if (!m_var.empty())
        std::memcpy(data.get() + m_fixed.size(), m_var.data(), m_var.size());
    return data;
}

void RowLayout::startRow() const
{
    m_fixed.assign(size_t(m_fixedSize), '\0');
    m_var.clear();
}

void RowLayout::endVar(char *slot) const
{
    const quint32 end = quint32(m_var.size());
    std::memcpy(slot, &end, 4);
}

std::unique_ptr<char[]> RowLayout::encode(const QVariant *values) const
{
    startRow();
    char *fixed = m_fixed.data();
    for (int f = 0; f < fieldCount(); ++f) {
        const QVariant &v = values[f];
        const FieldType type = m_types[size_t(f)];
        char *slot = fixed + m_offset[size_t(f)];
        bool null = v.isNull();
        if (type == FieldType::Text) {
            null = false;
            if (v.typeId() == QMetaType::QString)
                appendUtf8(m_var, *static_cast<const QString *>(v.constData()));
            else if (!v.isNull())
                appendUtf8(m_var, v.toString());
            endVar(slot);
        } else if (type == FieldType::Picture) {
            if (!null) {
                const QByteArray b = v.toByteArray();
                m_var.append(b.constData(), size_t(b.size()));
            }
            endVar(slot);
        } else if (!null) {
            CellRef cell;
            cell.kind = type == FieldType::Number ? CellRef::Real : CellRef::Int;
            if (type == FieldType::Number) {
                cell.r = v.toDouble();
            } else if (type == FieldType::Boolean) {
                cell.i = v.toBool() ? 1 : 0;
            } else if (type == FieldType::Date) {
                const QDate date = v.typeId() == QMetaType::QDate ? v.toDate() : isoDate(v.toString());
                cell.i = date.isValid() ? date.toJulianDay() : 0;
                if (!date.isValid())
                    cell.kind = CellRef::Null;
            } else {
                cell.i = v.toLongLong();
            }
            null = !putFixed(slot, type, cell);
        }
        if (null)
            setNull(f);
    }
    return packRow();
}

std::unique_ptr<char[]> RowLayout::encodeStored(const CellRef *cells) const
{
    startRow();
    char *fixed = m_fixed.data();
    for (int f = 0; f < fieldCount(); ++f) {
        CellRef cell = cells[f];
        const FieldType type = m_types[size_t(f)];
        char *slot = fixed + m_offset[size_t(f)];
        bool null = cell.kind == CellRef::Null;
        if (type == FieldType::Text || type == FieldType::Picture) {
            if (cell.kind == CellRef::Bytes)
                m_var.append(cell.s.data(), cell.s.size());
            else if (!null)
                appendUtf8(m_var, cell.kind == CellRef::Int ? QString::number(cell.i) : QString::number(cell.r));
            null = null && type == FieldType::Picture;
            endVar(slot);
        } else {
            if (type == FieldType::Date && cell.kind == CellRef::Bytes) {
                cell.i = isoJulianDay(cell.s);
                cell.kind = cell.i != 0 ? CellRef::Int : CellRef::Null;
            } else if (cell.kind == CellRef::Bytes) {
                cell.kind = CellRef::Null;
            }
            null = !putFixed(slot, type, cell);
        }
        if (null)
            setNull(f);
    }
    return packRow();
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
    const CellRef c = cell(data, field);
    switch (m_types[size_t(field)]) {
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

int RowLayout::compare(const Row &a, const Row &b, const std::vector<SortKey> &keys) const
{
    for (const SortKey &k : keys) {
        const int c = compareCells(cell(a.data.get(), k.field), cell(b.data.get(), k.field), k.noCase);
        if (c != 0)
            return c;
    }
    return a.rowid < b.rowid ? -1 : a.rowid > b.rowid ? 1 : 0;
}

QDate nullDate() { return QDate(1899, 12, 30); }

QString sqlDate(const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

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
    const bool blank = value.isNull()
        || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
    switch (field.type) {
    case FieldType::Text: {
        QString s = value.isNull() ? QString() : value.toString();
        if (field.size > 0 && s.size() > field.size)
            s.truncate(field.size);
        return s.isNull() ? QStringLiteral("") : s;
    }
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
