// sigillo-cli importa run as a script runs it: a quarter written by scarico comes back byte for byte
// through importa into a new archive, what it prints, and every refusal with its exit status.

#include "clirun.h"
#include "data/engine/tablefiles.h"
#include "ground/config.h"
#include "ground/instancelock.h"
#include "importfiles.h"
#include "quarterlyarchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The intervention records of the files, file by file (by name), in their order.
QMap<QString, QByteArrayList> interventionRecords(const QStringList &files)
{
    QMap<QString, QByteArrayList> records;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArrayList &lines = records[QFileInfo(path).fileName()];
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith('2'))
                lines << line;
        }
    }
    return records;
}

QStringList lines(const QString &text) { return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

} // namespace

class tst_ImportaCli : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString under(const QString &relative) const { return QDir(m_dir.path()).filePath(relative); }

private Q_SLOTS:
    // A quarter of the demo archive (two authorisations, so two files), imported into the same year of
    // an archive that holds only the laboratory, is written again with the same intervention records.
    void aQuarterComesBackByteForByte()
    {
        const QString source = under(QStringLiteral("source"));
        Run run = runCli({"demo", "--cartella", source, "--interventi", "400", "--anno", "2010"});
        QCOMPARE(run.exitCode, 0);
        const QString sourceConfig = QDir(source).filePath(QStringLiteral("sigillo.INI"));
        QVERIFY(QDir().mkpath(under(QStringLiteral("written"))) && QDir().mkpath(under(QStringLiteral("again"))));
        run = runCli({"scarico", "--config", sourceConfig, "--anno", "2010", "--trimestre", "2", "--cartella", under(QStringLiteral("written"))});
        QCOMPARE(run.exitCode, 0);
        const QStringList written = lines(run.out);
        QCOMPARE(written.size(), 2);

        AppState target;
        config::readFile(sourceConfig, target);
        target.DirBase = withTrailingSeparator(under(QStringLiteral("target")));
        target.AnnoLavoro = QStringLiteral("2010");
        catalogue::createMissingTables(target.dataDir(), catalogue::baseTables());
        catalogue::createMissingTables(target.yearDir(), catalogue::yearTables());
        AppState sourceState;
        config::readFile(sourceConfig, sourceState);
        for (const char *table : {"soggetto_obbligato", "Lsoggetto_obbligato"}) {
            QVERIFY(QFile::remove(engine::tablefiles::filePath(target.dataDir(), QString::fromLatin1(table))));
            engine::tablefiles::copy(sourceState.dataDir(), QString::fromLatin1(table), target.dataDir());
        }
        const QString targetConfig = under(QStringLiteral("target/sigillo.INI"));
        QVERIFY(config::writeFile(targetConfig, target));

        int imported = 0;
        for (const QString &file : written) {
            run = runCli({"importa", "--config", targetConfig, "--anno", "2010", "--file", file});
            QCOMPARE(run.exitCode, 0);
            const QStringList counts = lines(run.out);
            QCOMPARE(counts.size(), 9);
            QCOMPARE(counts[0], QStringLiteral("testate lette: 1"));
            QVERIFY2(counts[8] == QStringLiteral("interventi già presenti: 0"), qPrintable(run.out));
            imported += counts[7].section(QStringLiteral(": "), 1).toInt();
        }
        QVERIFY(imported > 50);

        run = runCli({"scarico", "--config", targetConfig, "--anno", "2010", "--trimestre", "2", "--cartella", under(QStringLiteral("again"))});
        QCOMPARE(run.exitCode, 0);
        const QMap<QString, QByteArrayList> before = interventionRecords(written);
        const QMap<QString, QByteArrayList> after = interventionRecords(lines(run.out));
        QCOMPARE(after.keys(), before.keys());
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(after.value(it.key()), it.value());
        QCOMPARE(before.first().size() + before.last().size(), imported);

        // Imported again: every intervention is present already.
        run = runCli({"importa", "--config", targetConfig, "--anno", "2010", "--file", written.first()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(lines(run.out).mid(3),
                 (QStringList{"esercizi creati: 0", "modelli di misuratore creati: 0", "tecnici creati: 0", "comuni creati: 0",
                              "interventi aggiunti: 0",
                              QStringLiteral("interventi già presenti: %1").arg(before.value(QFileInfo(written.first()).fileName()).size())}));
    }

    void everyRefusalHasItsStatus_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the configuration file; files 2009 and 2010 of those years
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("problem");       // how the error stream's first line continues
        QTest::newRow("no file") << QStringList{"--anno", "2010"} << 2 << "manca il file da importare";
        QTest::newRow("an unknown layout") << QStringList{"--anno", "2010", "--file", "f", "--formato", "2011"} << 2
                                           << "formato non valido: «2011»";
        QTest::newRow("no year") << QStringList{"--file", "f"} << 2 << "anno non valido: «»";
        QTest::newRow("an unknown option") << QStringList{"--anno", "2010", "--fle", "f"} << 2 << "opzione sconosciuta: «--fle»";
        QTest::newRow("a year the archive lacks") << QStringList{"--anno", "2011", "--file", "f"} << 1 << "l'archivio non ha l'anno 2011";
        QTest::newRow("a file that is not there") << QStringList{"--anno", "2010", "--file", "f"} << 1 << "Impossibile leggere il file";
        QTest::newRow("a file of another year") << QStringList{"--anno", "2010", "--file", "2009"} << 1
                                                << "Per acquisire i dati da un file è necessario che anno del programma (2010)";
        QTest::newRow("the initial layout") << QStringList{"--anno", "2010", "--file", "2010", "--formato", "iniziale"} << 1
                                            << "Per acquisire i dati da un file è necessario che anno del programma (2010)";
        QTest::newRow("the program open") << QStringList{"--anno", "2010", "--file", "2010"} << 1 << "";
    }
    void everyRefusalHasItsStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, problem);
        QuarterlyArchive archive;
        const QString configFile = QDir(archive.path()).filePath(QStringLiteral("sigillo.INI"));
        QVERIFY(config::writeFile(configFile, appState()));
        const int file = int(arguments.indexOf(QStringLiteral("--file"))) + 1;
        if (file > 0 && (arguments[file] == QLatin1String("2009") || arguments[file] == QLatin1String("2010"))) {
            const QString year = arguments[file];
            arguments[file] = QDir(m_dir.path()).filePath(QStringLiteral("trimestre%1.txt").arg(year));
            QVERIFY(importfiles::write(arguments[file], {importfiles::header2010(year, QStringLiteral("1")),
                                                         importfiles::intervention(QStringLiteral("AA0000001"), QStringLiteral("3"))}));
        }
        std::unique_ptr<InstanceLock> program;
        if (QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("the program open")) {
            program = std::make_unique<InstanceLock>(appState().DirBase);
            QVERIFY(program->tryLock());
        }

        const Run run = runCli(QStringList{"importa", "--config", configFile} + arguments);
        QCOMPARE(run.exitCode, status);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: ") + problem), qPrintable(run.err));
        if (status == 2)
            QVERIFY(run.err.contains(QStringLiteral("importa [--config FILE] --anno AAAA --file PERCORSO")));
        if (program) {
            QVERIFY(run.out.isEmpty());
            program.reset();
        }
        // Nothing of the refused file reached the register.
        engine::Table year;
        year.setDirectory(appState().yearDir());
        year.setTableName(QStringLiteral("misurazioni2"));
        year.open();
        QCOMPARE(year.recordCount(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_ImportaCli)
#include "tst_importa_cli.moc"
