#pragma once
// Windows-1252, the single-byte code page of the configuration file and of the quarterly file.
// Qt's own converters stop at Latin-1, which differs from 1252 in the bytes 0x80-0x9F.
// Decoding never fails: the five bytes 1252 leaves undefined read as the C1 controls of the same
// number, as Windows reads them, and encode back to the same byte.

#include <QByteArray>
#include <QString>

#include <optional>

namespace windows1252 {

QString decode(const QByteArray &bytes);

// The bytes of `text`, or nothing when a character has no byte in the code page; `offending` then
// receives the first such character (both UTF-16 halves for a character outside the BMP).
std::optional<QByteArray> encode(const QString &text, QString *offending = nullptr);

// "\"X\" (U+XXXX)": how a message names a character that cannot be written.
QString describeCharacter(const QString &character);

} // namespace windows1252
