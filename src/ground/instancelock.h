#pragma once
// InstanceLock: one copy of the program per base directory. Two copies writing the same tables would
// each keep rows in memory that the other overwrites, so a second copy says so and ends.
// The lock is a file in DirBase that names the process holding it; a lock left behind by a process
// that no longer runs is taken over. It is released when the object is destroyed.

#include <QLockFile>
#include <QString>

#include <memory>

class InstanceLock {
public:
    explicit InstanceLock(const QString &dirBase);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // False only when another running copy holds the base directory. A lock that cannot be made for
    // any other reason (a missing or read-only folder) is no reason to stop: the data cannot be
    // opened there either, and the year selection says so.
    bool tryLock();
    bool isLocked() const;
    // The Italian message for a base directory in use.
    QString inUseMessage() const;

    static QString lockFilePath(const QString &dirBase);

private:
    QString m_dirBase;
    std::unique_ptr<QLockFile> m_lock;
};
