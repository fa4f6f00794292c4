// sigillo-cli as a script sees it: what it prints, on which stream, and its exit status.

#include "clirun.h"

#include <QDir>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An archive as the desktop program leaves it: its configuration file, dati/ and two years.
struct Archive {
    QTemporaryDir dir;
    QString path(const QString &relative) const { return QDir(dir.path()).filePath(relative); }
    QString config() const { return path(QStringLiteral("sigillo.INI")); }

    Archive()
    {
        for (const char *file : {"dati/esercizio.sqlite", "dati/impostazioni.sqlite", "2021/misurazioni2.sqlite",
                                 "2022/misurazioni2.sqlite", "2022/fix1.txt"})
            write(QString::fromLatin1(file), file);
        write(QStringLiteral("sigillo.INI"), "[Directory]\r\nDirBase=" + dir.path().toUtf8() + "/\r\n");
    }
    void write(const QString &relative, const QByteArray &content) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");

        const auto args = [](const char *line) { return QString::fromUtf8(line).split(QLatin1Char('|')); };

        QTest::newRow("compute") << args("codice-fiscale|ROSSI|MARIO|M|01/01/1980|H501") << QByteArray() << 0
                                 << "RSSMRA80A01H501U\n";
        QTest::newRow("compute, lower case and short date")
            << args("codice-fiscale|bianchi|giovanna|f|5/3/1975|f205") << QByteArray() << 0 << "BNCGNN75C45F205U\n";
        QTest::newRow("compute, blank in the name") << args("codice-fiscale|DE LUCA|GIAN MARCO|M|20/06/1971|D612")
                                                    << QByteArray() << 0 << "DLCGMR71H20D612W\n";
        QTest::newRow("surname without vowels") << args("codice-fiscale|BRT|MARIO|M|01/01/1980|H501") << QByteArray()
                                                << 1 << "errore 4: il cognome non contiene vocali\n";
        QTest::newRow("refused character")
            << args("codice-fiscale|CANTÙ|MARIO|M|01/01/1980|H501") << QByteArray() << 1
            << "errore 1Ù: il cognome contiene il carattere non ammesso «Ù»\n";
        QTest::newRow("short municipality") << args("codice-fiscale|ROSSI|MARIO|M|01/01/1980|H50") << QByteArray() << 1
                                            << "errore 7: il codice catastale non è di quattro lettere o cifre\n";
        QTest::newRow("check valid") << args("codice-fiscale|RSSMRA80A01H501U") << QByteArray() << 0
                                     << "RSSMRA80A01H501U: valido\n";
        QTest::newRow("check omocodic") << args("codice-fiscale|MRTMTT25D09FNLRU") << QByteArray() << 0
                                        << "MRTMTT25D09FNLRU: valido\n";
        QTest::newRow("check wrong letter") << args("codice-fiscale|RSSMRA80A01H501V") << QByteArray() << 1
                                            << "RSSMRA80A01H501V: non valido\n";
        QTest::newRow("VAT numbers, all valid") << args("partita-iva|12345678903|00000000000") << QByteArray() << 0
                                                << "12345678903: valida\n00000000000: valida\n";
        QTest::newRow("VAT numbers, one wrong") << args("partita-iva|12345678901|12345678903") << QByteArray() << 1
                                                << "12345678901: non valida\n12345678903: valida\n";
        QTest::newRow("VAT numbers from input") << QStringList(QStringLiteral("partita-iva"))
                                                << QByteArray("12345678903\r\n\n98765432103\n") << 0
                                                << "12345678903: valida\n98765432103: valida\n";
        QTest::newRow("VAT numbers from input, one wrong")
            << QStringList(QStringLiteral("partita-iva")) << QByteArray("12345678903\n1234567890") << 1
            << "12345678903: valida\n1234567890: non valida\n";
        QTest::newRow("VAT numbers, empty input") << QStringList(QStringLiteral("partita-iva")) << QByteArray("\n")
                                                  << 1 << "";
    }

    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, out);

        const Run run = runCli(args, input);
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");

        QTest::newRow("no command") << QStringList() << "manca il comando";
        QTest::newRow("unknown command") << QStringList{QStringLiteral("backupp")} << "comando sconosciuto: «backupp»";
        QTest::newRow("no code") << QStringList{QStringLiteral("codice-fiscale")} << "codice-fiscale vuole";
        QTest::newRow("three arguments")
            << QStringList{QStringLiteral("codice-fiscale"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                           QStringLiteral("M")}
            << "codice-fiscale vuole";
        QTest::newRow("sex") << QStringList{QStringLiteral("codice-fiscale"), QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                                            QStringLiteral("X"), QStringLiteral("01/01/1980"), QStringLiteral("H501")}
                             << "sesso non valido: «X»";
        QTest::newRow("backup, year") << QStringList{QStringLiteral("backup"), QStringLiteral("--anno"), QStringLiteral("21")}
                                      << "anno non valido: «21»";
        QTest::newRow("backup, option") << QStringList{QStringLiteral("backup"), QStringLiteral("--cartella=x")}
                                        << "opzione sconosciuta: «--cartella»";
        QTest::newRow("backup, no value") << QStringList{QStringLiteral("backup"), QStringLiteral("--config")}
                                          << "manca il valore di --config";
        QTest::newRow("date") << QStringList{QStringLiteral("codice-fiscale"), QStringLiteral("ROSSI"),
                                             QStringLiteral("MARIO"), QStringLiteral("M"), QStringLiteral("31/02/1980"),
                                             QStringLiteral("H501")}
                              << "data di nascita non valida: «31/02/1980»";
    }

    void wrongUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);

        const Run run = runCli(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("Uso: sigillo-cli COMANDO")));
    }

    void help_data()
    {
        QTest::addColumn<QStringList>("args");

        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")};
        QTest::newRow("command --help") << QStringList{QStringLiteral("partita-iva"), QStringLiteral("--help")};
    }

    void help()
    {
        QFETCH(QStringList, args);

        const Run run = runCli(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.startsWith(QStringLiteral("Uso: sigillo-cli COMANDO")));
        QVERIFY(run.out.contains(QStringLiteral("codice-fiscale COGNOME NOME SESSO GG/MM/AAAA CODICE_CATASTALE")));
        QVERIFY(run.out.contains(QStringLiteral("partita-iva [NUMERO...]")));
    }

    void backupSavesTheArchive_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("one year") << QStringList{QStringLiteral("--anno"), QStringLiteral("2021")}
                                  << QStringList{"2021", "dati", "sigillo.INI"};
        QTest::newRow("every year") << QStringList() << QStringList{"2021", "2022", "dati", "sigillo.INI"};
    }
    void backupSavesTheArchive()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, saved);
        const Archive archive;

        const Run run = runCli(QStringList{QStringLiteral("backup"), QStringLiteral("--config=") + archive.config()} + options);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.endsWith(QLatin1Char('\n')));
        const QString folder = run.out.chopped(1);
        QCOMPARE(QFileInfo(folder).path(), archive.path(QStringLiteral("backup")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{4}$")).match(QFileInfo(folder).fileName()).hasMatch());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), saved);
        QFile table(QDir(folder).filePath(QStringLiteral("dati/esercizio.sqlite")));
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(table.readAll(), QByteArray("dati/esercizio.sqlite"));

        // A second run in the same minute writes a folder of its own.
        const Run again = runCli(QStringList{QStringLiteral("backup"), QStringLiteral("--config"), archive.config()} + options);
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.out.chopped(1) != folder);
    }

    void backupFailuresEndWithStatusOne_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing year") << "year 2030" << "Cartella non trovata: ";
        QTest::newRow("root cannot be made") << "backup file" << "Impossibile creare la cartella di salvataggio";
        QTest::newRow("desktop program running") << "lock" << "è già in uso sulla cartella dati";
        QTest::newRow("no configuration file") << "no config" << "file di configurazione non trovato";
        QTest::newRow("full disk") << "full disk" << "Non è stato possibile salvare: dati";
    }
    void backupFailuresEndWithStatusOne()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        const Archive archive;
        QStringList args{QStringLiteral("backup"), QStringLiteral("--config"), archive.config()};
        QLockFile lock(archive.path(QStringLiteral("sigillo.lck")));
        if (setup == QLatin1String("year 2030"))
            args << QStringLiteral("--anno") << QStringLiteral("2030");
        else if (setup == QLatin1String("backup file"))
            archive.write(QStringLiteral("backup"), "not a folder");
        else if (setup == QLatin1String("lock"))
            QVERIFY(lock.tryLock());
        else if (setup == QLatin1String("no config"))
            QVERIFY(QFile::remove(archive.config()));
        else
            archive.write(QStringLiteral("dati/esercizio.sqlite"), QByteArray(4096, 'x'));

        const Run run = runCli(args, {}, setup == QLatin1String("full disk") ? 1024 : RLIM_INFINITY);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Nothing that a restore could mistake for a good backup.
        static const QRegularExpression backupName(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{4}(-\\d+)?$"));
        const QStringList left = QDir(archive.path(QStringLiteral("backup"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY2(left.filter(backupName).isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
