#include "ground/instancelock.h"

#include <QDir>

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
    return m_lock->tryLock(0) || m_lock->error() != QLockFile::LockFailedError;
}

bool InstanceLock::isLocked() const
{
    return m_lock->isLocked();
}

QString InstanceLock::inUseMessage() const
{
    return QStringLiteral("Sigillo è già in uso sulla cartella dati %1. Chiudere l'altra copia del programma e riprovare.")
        .arg(QDir::toNativeSeparators(m_dirBase));
}
