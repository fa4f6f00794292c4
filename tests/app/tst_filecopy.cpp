// TFileCopyNew on real folders: what is copied, what is refused, and the error texts it reports.

#include "app/filecopy.h"

#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_FileCopy : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_errors;
    QStringList m_log;
    QList<QPair<int, int>> m_progress;

    QString path(const QString &relative) const { return QDir(m_dir->path()).filePath(relative); }

    void write(const QString &relative, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    static QByteArray read(const QString &filePath)
    {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // A copy with the program's answers: overwrite allowed, every error and log line recorded.
    TFileCopyNew copier(const QString &source, const QString &target, bool overwrite = true)
    {
        TFileCopyNew copy;
        copy.SourceFile = source;
        copy.TargetFile = target;
        copy.OnError = [this](TFileCopyNew &, const QString &message) { m_errors << message; };
        copy.Memo = [this](const QString &line) { m_log << line; };
        copy.OnCopyProgress = [this](TFileCopyNew &, int readPercent, int writtenPercent) {
            m_progress << qMakePair(readPercent, writtenPercent);
        };
        copy.OnOverriding = [overwrite](TFileCopyNew &, bool &canOverride) { canOverride = overwrite; };
        return copy;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_errors.clear();
        m_log.clear();
        m_progress.clear();
    }

    void oneFileIsCopiedWholeWithItsProgress_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("shorter than a block") << 100;
        QTest::newRow("three blocks and a bit") << int(3 * TFileCopyNew::BlockSize + 7);
    }
    void oneFileIsCopiedWholeWithItsProgress()
    {
        QFETCH(int, size);
        QByteArray content(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            content[i] = char(i * 7);
        write(QStringLiteral("src/a.bin"), content);

        TFileCopyNew copy = copier(path(QStringLiteral("src/a.bin")), path(QStringLiteral("src/b.bin")));
        QVERIFY(copy.Execute());
        QCOMPARE(read(path(QStringLiteral("src/b.bin"))), content);
        QVERIFY(m_errors.isEmpty());
        QCOMPARE(m_log, QStringList{QStringLiteral("Ok - ") + path(QStringLiteral("src/a.bin"))});
        QVERIFY(!m_progress.isEmpty());
        QCOMPARE(m_progress.last(), qMakePair(100, 100));
        for (const auto &[readPercent, writtenPercent] : std::as_const(m_progress)) {
            QVERIFY(readPercent >= 0 && readPercent <= 100);
            QVERIFY(writtenPercent >= 0 && writtenPercent <= readPercent);
        }
    }

    void patternCopiesTheMatchingFilesIntoANewFolder()
    {
        write(QStringLiteral("src/misurazioni2.sqlite"), "m2");
        write(QStringLiteral("src/misurazioni2.sqlite-journal"), "j");
        write(QStringLiteral("src/misurazioni.sqlite"), "m");
        write(QStringLiteral("src/sub/inner.txt"), "inner");

        TFileCopyNew some = copier(path(QStringLiteral("src/misurazioni2.*")), path(QStringLiteral("new/deeper/")));
        QVERIFY(some.Execute());
        QCOMPARE(QDir(path(QStringLiteral("new/deeper"))).entryList(QDir::Files),
                 (QStringList{"misurazioni2.sqlite", "misurazioni2.sqlite-journal"}));

        // "*.*" also takes names without a dot; sub-folders only when asked for.
        write(QStringLiteral("src/fix1"), "fix");
        TFileCopyNew all = copier(path(QStringLiteral("src/*.*")), path(QStringLiteral("all/")));
        QVERIFY(all.Execute());
        QCOMPARE(QDir(path(QStringLiteral("all"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"fix1", "misurazioni.sqlite", "misurazioni2.sqlite", "misurazioni2.sqlite-journal"}));
        QCOMPARE(m_log.size(), 6);
        QVERIFY(m_errors.isEmpty());

        TFileCopyNew deep = copier(path(QStringLiteral("src/*.*")), path(QStringLiteral("deep/")));
        deep.IncludeSubFolders = true;
        QVERIFY(deep.Execute());
        QCOMPARE(read(path(QStringLiteral("deep/sub/inner.txt"))), QByteArray("inner"));

        TFileCopyNew nothing = copier(path(QStringLiteral("src/*.xyz")), path(QStringLiteral("none/")));
        QVERIFY(nothing.Execute());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("none"))));
    }

    void anExistingTargetIsOverwrittenOnlyWhenAllowed()
    {
        write(QStringLiteral("src/a.txt"), "new");
        write(QStringLiteral("dst/a.txt"), "old and longer");

        TFileCopyNew refused = copier(path(QStringLiteral("src/a.txt")), path(QStringLiteral("dst/a.txt")), false);
        QVERIFY(!refused.Execute());
        QCOMPARE(read(path(QStringLiteral("dst/a.txt"))), QByteArray("old and longer"));
        QCOMPARE(m_errors, QStringList{QStringLiteral("Execution failed :\n\n") + path(QStringLiteral("src/a.txt")) + " -> "
                                       + path(QStringLiteral("dst/a.txt"))});

        TFileCopyNew allowed = copier(path(QStringLiteral("src/a.txt")), path(QStringLiteral("dst/a.txt")));
        QVERIFY(allowed.Execute());
        QCOMPARE(read(path(QStringLiteral("dst/a.txt"))), QByteArray("new"));
    }

    void aFailingFileStopsThePattern()
    {
        write(QStringLiteral("src/a.txt"), "a");
        write(QStringLiteral("src/b.txt"), "b");
        write(QStringLiteral("src/c.txt"), "c");
        write(QStringLiteral("dst/b.txt"), "kept");

        TFileCopyNew copy = copier(path(QStringLiteral("src/*.*")), path(QStringLiteral("dst/")), false);
        QVERIFY(!copy.Execute());
        QCOMPARE(m_log, (QStringList{QStringLiteral("Ok - ") + path(QStringLiteral("src/a.txt")),
                                     QStringLiteral("failed - ") + path(QStringLiteral("src/b.txt"))}));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("dst/c.txt"))));
        QCOMPARE(read(path(QStringLiteral("dst/b.txt"))), QByteArray("kept"));
    }

    void refusedCopiesSayWhy_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("subFolders");
        QTest::addColumn<QStringList>("errors");

        QTest::newRow("no source") << QString() << QStringLiteral("dst/") << false
                                   << QStringList{"I can't copy\nSource File name missing"};
        QTest::newRow("no target") << QStringLiteral("src/a.txt") << QString() << false
                                   << QStringList{"I can't copy\nTarget File name missing"};
        QTest::newRow("missing source")
            << QStringLiteral("src/none.txt") << QStringLiteral("dst/none.txt") << false
            << QStringList{"@src/none.txt missing or corrupted or opened for exclusive use",
                           "Execution failed :\n\n@src/none.txt -> @dst/none.txt"};
        QTest::newRow("a folder as the source")
            << QStringLiteral("src/sub") << QStringLiteral("dst/sub") << false
            << QStringList{"@src/sub missing or corrupted or opened for exclusive use",
                           "Execution failed :\n\n@src/sub -> @dst/sub"};
        QTest::newRow("onto itself, spelled otherwise")
            << QStringLiteral("src/a.txt") << QStringLiteral("src/sub/../a.txt") << false
            << QStringList{"Error !!!\nI can't copy @src/a.txt on itself",
                           "Execution failed :\n\n@src/a.txt -> @src/sub/../a.txt"};
        QTest::newRow("folder recursion")
            << QStringLiteral("src/*.*") << QStringLiteral("src/sub/copy/") << true
            << QStringList{"ERROR : folder recursion\n\nCan't copy !", "Execution failed :\n\n@src/*.* -> @src/sub/copy/"};
        QTest::newRow("target folder cannot be made")
            << QStringLiteral("src/*.*") << QStringLiteral("blocker/dst/") << false
            << QStringList{"Error on creating @blocker/dst/a.txt", "Execution failed :\n\n@src/*.* -> @blocker/dst/"};
    }
    void refusedCopiesSayWhy()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, subFolders);
        QFETCH(QStringList, errors);
        write(QStringLiteral("src/a.txt"), "a");
        write(QStringLiteral("src/sub/b.txt"), "b");
        write(QStringLiteral("blocker"), "a file where a folder should be");
        const QString prefix = m_dir->path() + QLatin1Char('/');
        const auto full = [this](const QString &relative) { return relative.isEmpty() ? relative : path(relative); };

        TFileCopyNew copy = copier(full(source), full(target));
        copy.IncludeSubFolders = subFolders;
        QVERIFY(!copy.Execute());
        QCOMPARE(m_errors, errors.replaceInStrings(QStringLiteral("@"), prefix));
        QCOMPARE(read(path(QStringLiteral("src/a.txt"))), QByteArray("a"));
    }

    // A disk that fills up while the copy is written: the copy fails and leaves no cut target.
    void aFullDiskFailsTheCopy_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("cut short") << 10 << false;
        QTest::newRow("nothing fits") << 0 << false;
        QTest::newRow("an older target") << 10 << true;
        QTest::newRow("the last block") << int(2 * TFileCopyNew::BlockSize + 100) << false;
    }
    void aFullDiskFailsTheCopy()
    {
        QFETCH(int, limit);
        QFETCH(bool, targetExists);
        const QString source = path(QStringLiteral("src/a.txt"));
        const QString target = path(QStringLiteral("dst/a.txt"));
        write(QStringLiteral("src/a.txt"), QByteArray(int(2 * TFileCopyNew::BlockSize + 200), 'x'));
        QVERIFY(QDir().mkpath(path(QStringLiteral("dst"))));
        if (targetExists)
            write(QStringLiteral("dst/a.txt"), "old");

        const int outcome = filesizelimit::run(rlim_t(limit), [&] {
            TFileCopyNew copy = copier(source, target);
            if (copy.Execute())
                return 1;
            const QStringList expected{QStringLiteral("Write error on \n") + target + QStringLiteral("\nCopy failed."),
                                       QStringLiteral("Execution failed :\n\n") + source + " -> " + target};
            if (m_errors != expected || m_log != QStringList{QStringLiteral("failed - ") + source}) {
                qWarning("%s", qPrintable((m_errors + m_log).join(QLatin1Char('|'))));
                return 2;
            }
            return 0;
        });
        QCOMPARE(outcome, 0);
        QCOMPARE(read(target), targetExists ? QByteArray("old") : QByteArray("<missing>"));
        QCOMPARE(QDir(path(QStringLiteral("dst"))).entryList(QDir::Files | QDir::Hidden),
                 targetExists ? QStringList{QStringLiteral("a.txt")} : QStringList());
    }

    void logWithoutMemoIsAnError()
    {
        write(QStringLiteral("src/a.txt"), "a");
        TFileCopyNew copy = copier(path(QStringLiteral("src/*.*")), path(QStringLiteral("dst/")));
        copy.Memo = nullptr;
        QVERIFY(copy.Execute());
        QCOMPARE(m_errors, QStringList{"Error : you must assign an exsisting TMemo to memo property,\n"
                                       "before setting ShowProgressOnMemo = True"});
        copy.ShowProgressOnMemo = false;
        m_errors.clear();
        QVERIFY(copy.Execute());
        QVERIFY(m_errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_FileCopy)
#include "tst_filecopy.moc"
