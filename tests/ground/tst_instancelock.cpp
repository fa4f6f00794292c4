#include "ground/instancelock.h"

#include "filesizelimit.h"

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
        QCOMPARE(second.errorMessage(),
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

    // A crash right after the lock file was made leaves it empty; nobody can be holding it.
    void aLockWhoseHolderCannotBeReadIsStale_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("damaged") << QByteArray("\xFF\xFE garbage\n\n");
    }
    void aLockWhoseHolderCannotBeReadIsStale()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        QFile stale(InstanceLock::lockFilePath(dir.path()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(contents);
        stale.close();

        InstanceLock lock(dir.path());
        QVERIFY(lock.tryLock());
        QVERIFY(lock.isLocked());
        InstanceLock second(dir.path());
        QVERIFY(!second.tryLock());
    }

    // Without a lock another copy could write the same tables: the program must not go on.
    void aLockThatCannotBeMadeIsRefused_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder missing") << "missing" << "la cartella non esiste";
        QTest::newRow("a folder in the lock's place") << "folder" << "il file esiste già e non può essere sostituito";
        QTest::newRow("disk full") << "full" << "errore di scrittura, forse il disco è pieno";
    }
    void aLockThatCannotBeMadeIsRefused()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString dirBase = dir.path() + QDir::separator();
        if (setup == QLatin1String("missing"))
            dirBase = QDir(dir.path()).filePath(QStringLiteral("assente")) + QDir::separator();
        else if (setup == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sigillo.lck")));
        const QString expected = QStringLiteral("Impossibile creare il file di blocco %1: %2")
                                     .arg(QDir::toNativeSeparators(InstanceLock::lockFilePath(dirBase)), reason);

        const auto attempt = [&] {
            InstanceLock lock(dirBase);
            if (lock.tryLock() || lock.isLocked())
                return 1;
            if (!lock.errorMessage().startsWith(expected)) {
                qWarning("%s", qPrintable(lock.errorMessage()));
                return 2;
            }
            return 0;
        };
        QCOMPARE(setup == QLatin1String("full") ? filesizelimit::run(0, attempt) : attempt(), 0);
        QVERIFY(!QFileInfo(InstanceLock::lockFilePath(dirBase)).isFile());
    }
};

QTEST_GUILESS_MAIN(tst_InstanceLock)
#include "tst_instancelock.moc"
