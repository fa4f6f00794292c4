#pragma once
// IniFile: a Windows profile file held as its lines, so that writing it back changes only the values
// set and keeps every other line (comments, unknown keys, foreign sections) as it was.
//
// Invariants:
// - Section and key names match ignoring case; the first section and the first key of a name win.
// - The file is Windows-1252 text, or UTF-8 behind a byte-order mark as some editors save it. It is
//   read with any line end (CR LF, LF, CR) and written as Windows-1252 with CR LF.
// - A value is the text after the first "=", without surrounding blanks or one pair of quotes.
// - save() writes all or nothing: every write is checked before a temporary file is renamed over the
//   old one, so a full disk leaves the old file whole.

#include <QString>
#include <QStringList>

#include <optional>

class IniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(const QString &filePath);

    QString filePath() const;
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Rewrites the key's line in place, or adds the key at the end of its section, or adds the
    // section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

    // False with an Italian message in `error` when the file cannot be written, or when a text holds a
    // character that Windows-1252 cannot represent (named in the message; nothing is written then).
    bool save(QString *error = nullptr) const;

private:
    struct Position {
        qsizetype sectionLine = -1; // the "[section]" line, -1 when the section is missing
        qsizetype keyLine = -1;     // the key's line, -1 when the key is missing
        qsizetype insertAt = -1;    // where a missing key goes: after the section's last non-blank line
    };
    Position find(const QString &section, const QString &key) const;

    QString m_filePath;
    QStringList m_lines;
};
