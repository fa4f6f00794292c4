#include "ground/instancelock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_InstanceLock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void secondCopyOnTheSameFolderIsRefused()
    {
        QTemporaryDir dir;
        const QString dirBase = dir.path() + QDir::separator();
        auto first = std::make_unique<InstanceLock>(dirBase);
        QVERIFY(first->tryLock());
        QVERIFY(first->isLocked());

        InstanceLock second(dirBase);
        QVERIFY(!second.tryLock());
        QCOMPARE(second.inUseMessage(),
                 QStringLiteral("Sigillo è già in uso sulla cartella dati %1. Chiudere l'altra copia del programma e riprovare.")
                     .arg(QDir::toNativeSeparators(dirBase)));

        QTemporaryDir otherDir;
        InstanceLock elsewhere(otherDir.path() + QDir::separator());
        QVERIFY(elsewhere.tryLock());

        first.reset();
        QVERIFY(second.tryLock());
        QVERIFY(second.isLocked());
    }

    void lockOfADeadProcessIsTakenOver()
    {
        QTemporaryDir dir;
        const QString path = InstanceLock::lockFilePath(dir.path());
        QByteArray contents;
        {
            QLockFile live(path);
            QVERIFY(live.tryLock(0));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents = file.readAll();
        }
        // The same holder, but with a process number no running process can have.
        QList<QByteArray> lines = contents.split('\n');
        lines[0] = QByteArray::number(std::numeric_limits<int>::max() - 1);
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(lines.join('\n'));
        stale.close();

        InstanceLock lock(dir.path());
        QVERIFY(lock.tryLock());
        QVERIFY(lock.isLocked());
    }

    void missingFolderDoesNotStopTheProgram()
    {
        QTemporaryDir dir;
        InstanceLock lock(QDir(dir.path()).filePath(QStringLiteral("assente")));
        QVERIFY(lock.tryLock());
        QVERIFY(!lock.isLocked());
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
