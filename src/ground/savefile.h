#pragma once
// SaveFile: a file written whole or not at all. The content goes to a temporary file beside the target,
// renamed over it by commit(); until then, and after any failure, the old file stays whole.
//
// QSaveFile alone is not enough: behind its write buffer, a flush that fails (a full disk) still lets
// commit() return true, and the target is left cut short. SaveFile opens it unbuffered, so every write
// reaches the file system at once, and a write that stores fewer bytes than given fails the file.

#include <QSaveFile>
#include <QString>

class SaveFile {
public:
    explicit SaveFile(const QString &path);

    bool open();                                  // false when the temporary file cannot be created
    bool write(const char *data, qint64 size);    // false when fewer bytes were stored
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    bool commit();                                // false when a write failed or the rename failed
    void cancel();                                // drops what was written; the old file stays
    QString errorString() const;                  // the system's reason for the last failure

private:
    QSaveFile m_file;
    bool m_failed = false;
    QString m_error;
};

// Writes `content` to `path` whole or not at all; false with the system's reason in `error`.
bool saveWholeFile(const QString &path, const QByteArray &content, QString *error = nullptr);
