#include "ground/windows1252.h"

#include <QList>

#include <array>

namespace {

// Code points of the bytes 0x80-0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> byteOf(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return char(unit);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == unit)
            return char(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

namespace windows1252 {

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(HighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::optional<QByteArray> encode(const QString &text, QString *offending)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<char> byte = byteOf(text[i].unicode());
        if (!byte) {
            if (offending) {
                const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
                *offending = text.mid(i, pair ? 2 : 1);
            }
            return std::nullopt;
        }
        bytes.append(*byte);
    }
    return bytes;
}

QString describeCharacter(const QString &character)
{
    const uint codePoint = character.isEmpty() ? 0 : character.toUcs4().value(0);
    const QString hex = QStringLiteral("%1").arg(codePoint, 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("\"%1\" (U+%2)").arg(character, hex);
}

} // namespace windows1252
