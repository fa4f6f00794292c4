#include "ground/instancelock.h"

#include <QDir>
#include <QFileInfo>

InstanceLock::InstanceLock(const QString &dirBase)
    : m_dirBase(dirBase)
    , m_lock(std::make_unique<QLockFile>(lockFilePath(dirBase)))
{
    // The lock lives as long as the program, so its age says nothing; only a dead holder makes it stale
    // (where the file system has no advisory locks, age would be all Qt goes by).
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::lockFilePath(const QString &dirBase)
{
    return QDir(dirBase).filePath(QStringLiteral("sigillo.lck"));
}

bool InstanceLock::tryLock()
{
    m_heldByAnother = false;
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() != QLockFile::LockFailedError)
        return false;
    const auto holderNamed = [this] {
        qint64 pid = 0;
        QString hostName;
        QString appName;
        return m_lock->getLockInfo(&pid, &hostName, &appName);
    };
    // A lock that names nobody is stale. Qt removes the file only while no process holds its advisory
    // lock, so a copy that is still writing its name keeps it.
    if (!holderNamed() && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return true;
    m_heldByAnother = holderNamed();
    return false;
}

bool InstanceLock::isLocked() const
{
    return m_lock->isLocked();
}

QString InstanceLock::errorMessage() const
{
    if (m_heldByAnother) {
        return QStringLiteral("Sigillo è già in uso sulla cartella dati %1. Chiudere l'altra copia del programma e riprovare.")
            .arg(QDir::toNativeSeparators(m_dirBase));
    }
    QString reason;
    if (!QFileInfo(m_dirBase).isDir())
        reason = QStringLiteral("la cartella non esiste");
    else if (m_lock->error() == QLockFile::LockFailedError)
        reason = QStringLiteral("il file esiste già e non può essere sostituito");
    else if (m_lock->error() == QLockFile::PermissionError)
        reason = QStringLiteral("scrittura non permessa nella cartella");
    else
        reason = QStringLiteral("errore di scrittura, forse il disco è pieno");
    return QStringLiteral("Impossibile creare il file di blocco %1: %2.\n"
                          "Senza di esso un'altra copia del programma potrebbe modificare gli stessi dati, "
                          "perciò l'archivio non viene aperto.")
        .arg(QDir::toNativeSeparators(lockFilePath(m_dirBase)), reason);
}
