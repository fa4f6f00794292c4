#pragma once
// InstanceLock: one copy of the program per base directory. Two copies writing the same tables would
// each keep rows in memory that the other overwrites, so a copy that cannot hold the lock does not
// open the data.
// The lock is a file in DirBase that names the process holding it. A lock left behind by a process
// that no longer runs, or whose holder cannot be read (a crash right after the file was made leaves it
// empty), is stale and taken over. It is released when the object is destroyed.

#include <QLockFile>
#include <QString>

#include <memory>

class InstanceLock {
public:
    explicit InstanceLock(const QString &dirBase);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // False when another running copy holds the base directory, and also when the lock cannot be made
    // (a missing folder, no room on the disk): without it nothing would keep a second copy out.
    bool tryLock();
    bool isLocked() const;
    // The Italian message for a lock that tryLock() could not take: the folder in use, or why the lock
    // file could not be made.
    QString errorMessage() const;

    static QString lockFilePath(const QString &dirBase);

private:
    QString m_dirBase;
    std::unique_ptr<QLockFile> m_lock;
    bool m_heldByAnother = false;
};
