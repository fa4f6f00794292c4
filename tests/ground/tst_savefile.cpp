// SaveFile on a disk that fills up: a file is replaced whole or left as it was.

#include "ground/savefile.h"

#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray Old("the old content, whole\r\n");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_SaveFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    QStringList folderEntries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = QDir(m_dir->path()).filePath(QStringLiteral("sigillo.INI"));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(Old), Old.size());
    }

    void aFullDiskLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<int>>("writes"); // sizes of the successive writes
        QTest::newRow("nothing fits") << 0 << QList<int>{100};
        QTest::newRow("cut inside one write") << 10 << QList<int>{100};
        QTest::newRow("the second write crosses") << 60 << QList<int>{50, 50};
        QTest::newRow("a later write after the failure") << 60 << QList<int>{50, 50, 5};
    }
    void aFullDiskLeavesTheOldFileWhole()
    {
        QFETCH(int, limit);
        QFETCH(QList<int>, writes);
        // 1: every write claimed success, 2: commit claimed success.
        const int claimed = filesizelimit::run(rlim_t(limit), [&] {
            SaveFile file(m_path);
            if (!file.open())
                return 4;
            bool allWritten = true;
            for (int size : writes)
                allWritten = file.write(QByteArray(size, 'n')) && allWritten;
            const bool committed = file.commit();
            return (allWritten ? 1 : 0) | (committed ? 2 : 0);
        });
        QCOMPARE(claimed, 0);
        QCOMPARE(contentOf(m_path), Old);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("sigillo.INI")});
    }

    void aFullDiskIsReportedWithItsReason()
    {
        const int reported = filesizelimit::run(10, [&] {
            QString error;
            const bool saved = saveWholeFile(m_path, QByteArray(100, 'n'), &error);
            return !saved && !error.isEmpty() ? 0 : 1;
        });
        QCOMPARE(reported, 0);
        QCOMPARE(contentOf(m_path), Old);
    }

    void aFileThatFitsReplacesTheOldOne()
    {
        const QByteArray content(4000, 'n');
        QCOMPARE(filesizelimit::run(4000, [&] { return saveWholeFile(m_path, content) ? 0 : 1; }), 0);
        QCOMPARE(contentOf(m_path), content);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("sigillo.INI")});
    }

    void cancelKeepsTheOldFile()
    {
        SaveFile file(m_path);
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray("new")));
        file.cancel();
        QVERIFY(!file.commit());
        QCOMPARE(contentOf(m_path), Old);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("sigillo.INI")});
    }
};

QTEST_GUILESS_MAIN(tst_SaveFile)
#include "tst_savefile.moc"
