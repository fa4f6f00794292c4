#include "ground/savefile.h"

SaveFile::SaveFile(const QString &path) : m_file(path) {}

bool SaveFile::open()
{
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    m_error = m_file.errorString();
    return false;
}

bool SaveFile::write(const char *data, qint64 size)
{
    if (m_failed)
        return false;
    if (m_file.write(data, size) == size)
        return true;
    m_failed = true;
    m_error = m_file.errorString();
    // QSaveFile notices a failed write, but not a short one: it would still commit the cut file.
    m_file.cancelWriting();
    return false;
}

bool SaveFile::commit()
{
    if (m_failed) {
        m_file.commit(); // only removes the temporary file after cancelWriting()
        return false;
    }
    if (m_file.commit())
        return true;
    m_failed = true;
    m_error = m_file.errorString();
    return false;
}

void SaveFile::cancel()
{
    m_failed = true;
    m_file.cancelWriting();
    m_file.commit();
}

QString SaveFile::errorString() const { return m_error; }

bool saveWholeFile(const QString &path, const QByteArray &content, QString *error)
{
    SaveFile file(path);
    const bool saved = file.open() && file.write(content) && file.commit();
    if (!saved && error)
        *error = file.errorString();
    return saved;
}
