#include "ground/inifile.h"

#include "ground/savefile.h"
#include "ground/windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The section named by a "[name]" line, or nothing for any other line.
std::optional<QString> sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

bool isComment(const QString &line)
{
    return line.trimmed().startsWith(QLatin1Char(';'));
}

QString keyOf(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 || isComment(line) ? QString() : line.left(equals).trimmed();
}

QString valueOf(const QString &line)
{
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString cannotWrite(const QString &filePath, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(filePath), reason);
}

} // namespace

IniFile::IniFile(const QString &filePath)
    : m_filePath(filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // Notepad saves UTF-8 behind a byte-order mark; without the mark the file is the program's own.
    static const QByteArray Utf8Mark("\xEF\xBB\xBF");
    const QByteArray bytes = file.readAll();
    const QString text = bytes.startsWith(Utf8Mark) ? QString::fromUtf8(bytes.mid(Utf8Mark.size())) : windows1252::decode(bytes);
    // Lines end with CR LF, LF or, from old Mac editors, CR alone.
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    m_lines = text.split(lineEnd);
    // The line end of the last line leaves an empty piece behind it, which is no line.
    if (m_lines.constLast().isEmpty())
        m_lines.removeLast();
}

QString IniFile::filePath() const
{
    return m_filePath;
}

IniFile::Position IniFile::find(const QString &section, const QString &key) const
{
    Position position;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines[i];
        if (const std::optional<QString> name = sectionName(line)) {
            if (position.sectionLine >= 0)
                break;
            if (sameName(*name, section)) {
                position.sectionLine = i;
                position.insertAt = i + 1;
            }
            continue;
        }
        if (position.sectionLine < 0)
            continue;
        if (!line.trimmed().isEmpty())
            position.insertAt = i + 1;
        if (position.keyLine < 0 && sameName(keyOf(line), key)) {
            position.keyLine = i;
            break;
        }
    }
    return position;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const Position position = find(section, key);
    if (position.keyLine < 0)
        return std::nullopt;
    return valueOf(m_lines[position.keyLine]);
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const Position position = find(section, key);
    if (position.keyLine >= 0) {
        m_lines[position.keyLine] = keyOf(m_lines[position.keyLine]) + QLatin1Char('=') + value;
    } else if (position.sectionLine >= 0) {
        m_lines.insert(position.insertAt, key + QLatin1Char('=') + value);
    } else {
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(key + QLatin1Char('=') + value);
    }
}

bool IniFile::save(QString *error) const
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };

    QByteArray bytes;
    for (const QString &line : m_lines) {
        QString offending;
        const std::optional<QByteArray> encoded = windows1252::encode(line, &offending);
        if (!encoded) {
            return fail(cannotWrite(m_filePath, QStringLiteral("il carattere %1 non è ammesso nella codifica Windows-1252 del file.")
                                                    .arg(windows1252::describeCharacter(offending))));
        }
        bytes += *encoded;
        bytes += "\r\n";
    }

    // A rename would replace a file marked read-only; honour the mark as Windows does.
    const QFileInfo info(m_filePath);
    if (info.exists() && info.isFile() && !info.isWritable())
        return fail(cannotWrite(m_filePath, QStringLiteral("il file è in sola lettura.")));

    QString reason;
    if (!saveWholeFile(m_filePath, bytes, &reason))
        return fail(cannotWrite(m_filePath, reason));
    return true;
}
