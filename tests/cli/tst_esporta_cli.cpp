// sigillo-cli esporta run as a script runs it: wrong usage, the workbook of a selection, a year the
// archive lacks, and a full disk that keeps the file already there.

#include "clirun.h"
#include "extraarchive.h"
#include "ground/config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_EsportaCli : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExtraArchive> m_archive;
    std::unique_ptr<QTemporaryDir> m_out;

    QString configFile() const { return QDir(m_archive->path()).filePath(QStringLiteral("sigillo.INI")); }
    QString out(const QString &name) const { return QDir(m_out->path()).filePath(name); }
    QStringList args(const QStringList &more) const
    {
        return QStringList{QStringLiteral("esporta"), QStringLiteral("--config"), configFile(), QStringLiteral("--anno"),
                           QStringLiteral("2021"), QStringLiteral("--file"), out(QStringLiteral("x.xlsx"))}
             + more;
    }
    static QStringList serials(const QString &path)
    {
        QStringList found;
        for (const QStringList &row : readWorkbook(path).rows.mid(1))
            found << row.value(12);
        return found;
    }

private Q_SLOTS:
    void init()
    {
        m_archive = std::make_unique<ExtraArchive>(300);
        m_out = std::make_unique<QTemporaryDir>();
        QVERIFY(config::writeFile(configFile(), appState()));
    }

    void wrongUsageIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no year") << QStringList{"esporta", "--file", "x.xlsx"} << "anno non valido: «»";
        QTest::newRow("no file") << QStringList{"esporta", "--anno", "2021"} << "manca il file";
        QTest::newRow("a type of two characters") << QStringList{"esporta", "--anno", "2021", "--file", "x", "--tipo", "12"}
                                                  << "tipo di intervento non valido: «12»";
        QTest::newRow("an outcome that is none") << QStringList{"esporta", "--anno", "2021", "--file", "x", "--esito", "2"}
                                                 << "esito non valido: «2»";
        QTest::newRow("an unknown option") << QStringList{"esporta", "--anno", "2021", "--modello", "KUBE"}
                                           << "opzione sconosciuta: «--modello»";
    }
    void wrongUsageIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: ") + message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    void theSelectionIsExported_data()
    {
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("one type") << QStringList{"--tipo", "2"} << QStringList{"99MA00003", "99MA00002"};
        QTest::newRow("a municipality typed in lower case") << QStringList{"--comune", "l'aquila"} << QStringList{"99MA00002"};
        QTest::newRow("type and outcome") << QStringList{"--tipo", "2", "--esito", "1"} << QStringList{"99MA00002"};
        QTest::newRow("nothing") << QStringList{"--tipo", "9"} << QStringList{};
    }
    void theSelectionIsExported()
    {
        QFETCH(QStringList, choices);
        QFETCH(QStringList, serials);
        const Run run = runCli(args(choices));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("%1\n%2 interventi esportati\n").arg(QDir::toNativeSeparators(out("x.xlsx"))).arg(serials.size()));
        QCOMPARE(tst_EsportaCli::serials(out("x.xlsx")), serials);
    }

    void aYearTheArchiveLacksFails()
    {
        QStringList arguments = args({});
        arguments[4] = QStringLiteral("2020");
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: l'archivio non ha l'anno 2020")), qPrintable(run.err));
        QVERIFY(!QFile::exists(out("x.xlsx")));
    }

    void aFullDiskFailsAndKeepsTheFileThere()
    {
        QFile old(out("x.xlsx"));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const Run run = runCli(args({}), {}, 32 * 1024);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: Impossibile scrivere il file ")), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }
};

QTEST_GUILESS_MAIN(tst_EsportaCli)
#include "tst_esporta_cli.moc"
