// sigillo-cli scarico run as a script runs it: the files and their paths, what goes to the error
// stream, the check alone, the exit status of every outcome, and a full disk.

#include "clirun.h"
#include "ground/config.h"
#include "ground/instancelock.h"
#include "quarterlyarchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_ScaricoCli : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QuarterlyArchive> m_archive;
    std::unique_ptr<QTemporaryDir> m_out;

    QString configFile() const { return QDir(m_archive->path()).filePath(QStringLiteral("sigillo.INI")); }
    QString out(const QString &name = {}) const { return name.isEmpty() ? m_out->path() : QDir(m_out->path()).filePath(name); }

    void makeArchive(const QuarterlyArchive::Changes &changes = {})
    {
        m_archive = std::make_unique<QuarterlyArchive>(changes);
        m_out = std::make_unique<QTemporaryDir>();
        QVERIFY(config::writeFile(configFile(), appState()));
    }
    QStringList args(const QStringList &more = {}) const
    {
        return QStringList{QStringLiteral("scarico"), QStringLiteral("--config"), configFile(), QStringLiteral("--anno"),
                           QStringLiteral("2010"), QStringLiteral("--trimestre"), QStringLiteral("1")}
             + more;
    }

private Q_SLOTS:
    void init() { makeArchive(); }

    void wrongUsageIsRefusedBeforeAnythingIsRead_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no year") << QStringList{"scarico", "--trimestre", "1", "--cartella", "x"} << "anno non valido: «»";
        QTest::newRow("fifth quarter") << QStringList{"scarico", "--anno", "2010", "--trimestre", "5", "--cartella", "x"}
                                       << "trimestre non valido: «5»";
        QTest::newRow("no folder") << QStringList{"scarico", "--anno", "2010", "--trimestre", "1"} << "manca la cartella";
        QTest::newRow("a prefix of 13 characters")
            << QStringList{"scarico", "--anno", "2010", "--trimestre", "1", "--cartella", "x", "--prefisso", "tredicilettere"}
            << "prefisso non valido: «tredicilettere»";
        QTest::newRow("a prefix that leaves the folder")
            << QStringList{"scarico", "--anno", "2010", "--trimestre", "1", "--cartella", "x", "--prefisso", "../f"}
            << "prefisso non valido: «../f»";
        QTest::newRow("an intermediary without date")
            << QStringList{"scarico", "--anno", "2010", "--trimestre", "1", "--cartella", "x", "--intermediario", "CF", "--predisposta", "1"}
            << "data dell'impegno non valida: «»";
        QTest::newRow("a date that does not exist")
            << QStringList{"scarico", "--anno", "2010", "--trimestre", "1", "--cartella", "x", "--intermediario", "CF",
                           "--predisposta", "2", "--data-impegno", "31/02/2010"}
            << "data dell'impegno non valida: «31/02/2010»";
        QTest::newRow("prepared by nobody")
            << QStringList{"scarico", "--anno", "2010", "--trimestre", "1", "--cartella", "x", "--ncaf", "12"}
            << "manca il codice fiscale dell'intermediario";
        QTest::newRow("an unknown option") << QStringList{"scarico", "--anno", "2010", "--trimestere", "1"} << "opzione sconosciuta: «--trimestere»";
    }
    void wrongUsageIsRefusedBeforeAnythingIsRead()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: ") + message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }

    void helpIsItalian()
    {
        const Run run = runCli({QStringLiteral("scarico"), QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("scrive nella cartella il file trimestrale per l'Agenzia delle Entrate")));
    }

    void writesTheFilesAndPrintsTheirPaths()
    {
        makeArchive({{"MOD_TECNICI.Cf", "RSSMRA75C12G482"}, {"misurazioni2.Matricola_ms", "OL12345"}});
        // The program open on the same archive does not keep the command out: it only reads.
        InstanceLock program(appState().DirBase);
        QVERIFY(program.tryLock());
        const Run run = runCli(args({QStringLiteral("--cartella"), out()}));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QDir::toNativeSeparators(out(QStringLiteral("nome_file12010.txt"))) + QLatin1Char('\n'));
        QCOMPARE(run.err, QStringLiteral("sigillo-cli: Variazione I del tecnico ROSSI MARIO, codice fiscale: non valido (RSSMRA75C12G482)\n"
                                         "sigillo-cli: Intervento n. 1 (matricola OL12345, esercizio BAR ROSSI), matricola: malformata (OL12345)\n"
                                         "sigillo-cli: errore cf tecnicoRSSMRA75C12G482\n"));
        const QByteArray written = contentOf(out(QStringLiteral("nome_file12010.txt")));
        QCOMPARE(written.size(), 4 * 1800);
        QVERIFY(written.startsWith("0MIS0026VRDLGU80A01H501Q12345678903"));
    }

    void theCheckAloneWritesNothing_data()
    {
        QTest::addColumn<QVariantMap>("changes");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("clean") << QVariantMap{} << 0 << "nessun problema trovato\n" << "";
        QTest::newRow("a shop's VAT number")
            << QVariantMap{{"esercizio.Piva", "07654321005"}} << 1 << "problemi trovati: 1\n"
            << "sigillo-cli: Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), partita IVA dell'esercizio: non valida (07654321005)\n";
    }
    void theCheckAloneWritesNothing()
    {
        QFETCH(QVariantMap, changes);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        makeArchive(changes);
        const Run run = runCli(args({QStringLiteral("--cartella"), this->out(), QStringLiteral("--verifica")}));
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(QDir(this->out()).entryList(QDir::Files), QStringList{});
    }

    void theIntermediaryComesFromTheOptionsAndTheArchive_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("block"); // header positions 276-305
        QTest::newRow("CAF of the archive")
            << QStringList{"--intermediario", "CNTFNC60A01H501X", "--predisposta", "2", "--data-impegno", "5/3/2010"}
            << "CNTFNC60A01H501X12300205032010";
        QTest::newRow("CAF given") << QStringList{"--intermediario", "CNTFNC60A01H501X", "--ncaf", "", "--predisposta", "1",
                                                  "--data-impegno", "15/03/2010"}
                                   << "CNTFNC60A01H501X00000115032010";
    }
    void theIntermediaryComesFromTheOptionsAndTheArchive()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, block);
        TestBase::addDataRows(QStringLiteral("INTERMEDIARIO"), {{{"Id", 1}, {"CF", "CNTFNC60A01H501X"}, {"NCAF", "123"}}});
        const Run run = runCli(args(QStringList{QStringLiteral("--cartella"), out()} + options));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(contentOf(out(QStringLiteral("nome_file12010.txt"))).mid(275, 30), block.toLatin1());
    }

    void anArchiveThatCannotBeReadFails_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QString>("message");
        QTest::newRow("no configuration file") << "config" << "file di configurazione non trovato";
        QTest::newRow("no year folder") << "year" << "l'archivio non ha l'anno 2010";
        QTest::newRow("a damaged register") << "register" << "";
    }
    void anArchiveThatCannotBeReadFails()
    {
        QFETCH(QString, broken);
        QFETCH(QString, message);
        const QString year = appState().yearDir();
        if (broken == QLatin1String("config"))
            QVERIFY(QFile::remove(configFile()));
        else if (broken == QLatin1String("year"))
            QVERIFY(QDir(year).removeRecursively());
        else {
            QFile damaged(engine::tablefiles::filePath(year, QStringLiteral("misurazioni2")));
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("not a table");
        }
        const Run run = runCli(args({QStringLiteral("--cartella"), out()}));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: ") + message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(QDir(out()).entryList(QDir::Files), QStringList{});
    }

    void aFullDiskFailsAndKeepsTheEarlierFile()
    {
        const QString path = out(QStringLiteral("nome_file12010.txt"));
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier\r\n");
        earlier.close();
        const Run run = runCli(args({QStringLiteral("--cartella"), out()}), {}, 3000);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("sigillo-cli: Impossibile scrivere il file\nsigillo-cli: ")
                                    + QDir::toNativeSeparators(path) + QStringLiteral(": ")),
                 qPrintable(run.err));
        QCOMPARE(contentOf(path), QByteArray("earlier\r\n"));
        QCOMPARE(QDir(out()).entryList(QDir::Files), QStringList{QStringLiteral("nome_file12010.txt")});
    }
};

QTEST_GUILESS_MAIN(tst_ScaricoCli)
#include "tst_scarico_cli.moc"
