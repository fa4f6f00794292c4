#include "ground/config.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "ground/testmode.h"

#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_Config : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    QByteArray fileBytes() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void setFileBytes(const QByteArray &bytes) const
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    static QByteArray crlf(const QStringList &lines)
    {
        return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    }
    // The year sections as a complete write lays them down.
    static QStringList yearSections(int from, int to)
    {
        QStringList lines;
        for (int year = from; year <= to; ++year) {
            lines << QStringLiteral("[%1]").arg(year);
            for (int slot = 1; slot <= AuthorisationSlots; ++slot)
                lines << QStringLiteral("%1=").arg(slot);
        }
        return lines;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setTestMode(true);
    }
    void init()
    {
        m_path = QDir(m_dir.path()).filePath(QStringLiteral("Sigillo.INI"));
        QFile::remove(m_path);
        Messages::clear();
    }

    void missingFileIsCompletedWithEveryKey()
    {
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.DirBase, withTrailingSeparator(m_dir.path()));
        QCOMPARE(state.GestioneAnni, QStringLiteral("NO"));
        QVERIFY(!config::gestioneAnniAttiva(state));
        QVERIFY(state.abilitazione(FirstAuthorisationYear, 1).isEmpty());

        QVERIFY(config::writeFile(m_path, state));
        const QStringList expected = QStringList{QStringLiteral("[Directory]"), QStringLiteral("DirBase=") + state.DirBase,
                                                 QStringLiteral("[gestione anni]"), QStringLiteral("abilita=NO")}
            + yearSections(FirstAuthorisationYear, LastAuthorisationYear);
        QCOMPARE(fileBytes(), crlf(expected));
    }

    void dirBase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("names in other case") << QByteArray("[DIRECTORY]\r\ndirbase=/srv/sigillo/\r\n") << QStringLiteral("/srv/sigillo/");
        QTest::newRow("final separator added") << QByteArray("[Directory]\r\nDirBase=/srv/sigillo\r\n") << QStringLiteral("/srv/sigillo/");
        QTest::newRow("blanks and LF line ends") << QByteArray("[ Directory ]\n DirBase = /srv/sigillo/ \n") << QStringLiteral("/srv/sigillo/");
        QTest::newRow("key in another section") << QByteArray("[Altro]\r\nDirBase=/srv/altro/\r\n") << QString();
        QTest::newRow("empty value") << QByteArray("[Directory]\r\nDirBase=\r\n") << QString();
    }
    void dirBase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        setFileBytes(content);
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.DirBase, expected.isEmpty() ? withTrailingSeparator(m_dir.path()) : expected);
    }

    // Notepad saves with a byte-order mark and UTF-8 text; old Mac editors end lines with CR alone.
    void aFileFromAnotherEditorIsWrittenBackWithOneSection_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("dirBase");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("byte-order mark, UTF-8 text")
            << QByteArray("\xEF\xBB\xBF[Directory]\r\nDirBase=/srv/citt\xC3\xA0/\r\n") << QStringLiteral("/srv/città/")
            << QByteArray("[Directory]\r\nDirBase=/srv/citt\xE0/\r\n");
        QTest::newRow("CR line ends") << QByteArray("; nota\r[Directory]\rDirBase=/srv/citt\xE0/\r\r[Mio]\rchiave=1\r")
                                      << QStringLiteral("/srv/città/")
                                      << QByteArray("; nota\r\n[Directory]\r\nDirBase=/srv/citt\xE0/\r\n\r\n[Mio]\r\nchiave=1\r\n");
    }
    void aFileFromAnotherEditorIsWrittenBackWithOneSection()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, dirBase);
        QFETCH(QByteArray, written);
        setFileBytes(content);
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.DirBase, dirBase);

        QVERIFY(config::writeFile(m_path, state));
        const QByteArray bytes = fileBytes();
        QVERIFY2(bytes.startsWith(written), bytes.left(written.size() + 20).constData());
        QCOMPARE(bytes.count("[Directory]"), 1);
    }

    void aFullDiskLeavesTheFileAsItWas()
    {
        AppState state;
        config::readFile(m_path, state);
        state.abilitazione(2010, 1) = QStringLiteral("VECCHIO");
        QVERIFY(config::writeFile(m_path, state));
        const QByteArray before = fileBytes();

        state.abilitazione(2010, 1) = QStringLiteral("NUOVO");
        config::setFilePath(m_path);
        const int reported = filesizelimit::run(rlim_t(before.size() / 2), [&] {
            const bool written = config::write(state);
            const QList<ShownMessage> shown = Messages::shown();
            return !written && shown.size() == 1 && shown.first().kind == MessageKind::Error
                    && shown.first().text.contains(QDir::toNativeSeparators(m_path))
                ? 0
                : 1;
        });
        QCOMPARE(reported, 0);
        QCOMPARE(fileBytes(), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("Sigillo.INI*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Sigillo.INI")});
    }

    void gestioneAnni_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("active");
        QTest::newRow("SI") << QByteArray("[gestione anni]\r\nabilita=SI\r\n") << QStringLiteral("SI") << true;
        QTest::newRow("names in capitals") << QByteArray("[GESTIONE ANNI]\r\nABILITA=SI\r\n") << QStringLiteral("SI") << true;
        QTest::newRow("si in lower case") << QByteArray("[gestione anni]\r\nabilita=si\r\n") << QStringLiteral("si") << false;
        QTest::newRow("Si mixed") << QByteArray("[gestione anni]\r\nabilita=Si\r\n") << QStringLiteral("Si") << false;
        QTest::newRow("missing") << QByteArray("[Directory]\r\n") << QStringLiteral("NO") << false;
    }
    void gestioneAnni()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(bool, active);
        setFileBytes(content);
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.GestioneAnni, text);
        QCOMPARE(config::gestioneAnniAttiva(state), active);
        // The text is written back as it was read.
        QVERIFY(config::writeFile(m_path, state));
        QVERIFY(fileBytes().contains("\r\nabilita=" + text.toLatin1() + "\r\n")
                || fileBytes().contains("\r\nABILITA=" + text.toLatin1() + "\r\n"));
    }

    void writeUpdatesInPlaceAndKeepsOtherLines()
    {
        setFileBytes(crlf({QStringLiteral("; configurazione"), QStringLiteral("[directory]"), QStringLiteral("DirBase=/old/"),
                           QStringLiteral("Altro=valore"), QString(), QStringLiteral("[Mio]"), QStringLiteral("chiave=1"),
                           QStringLiteral("[2004]"), QStringLiteral("1=OLD"), QStringLiteral("11=EXTRA"), QString(),
                           QStringLiteral("[2035]"), QStringLiteral("10=ULTIMO")}));
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.abilitazione(2004, 1), QStringLiteral("OLD"));
        QCOMPARE(state.abilitazione(2035, 10), QStringLiteral("ULTIMO"));
        QVERIFY(state.abilitazione(2004, 10).isEmpty()); // "11" is no slot, nor a prefix of one
        state.abilitazione(2004, 1) = QStringLiteral("NEW");
        state.DirBase = QStringLiteral("/new/");

        QVERIFY(config::writeFile(m_path, state));
        QStringList year2004 = yearSections(2004, 2004);
        year2004.replace(1, QStringLiteral("1=NEW"));
        year2004.insert(2, QStringLiteral("11=EXTRA"));
        QStringList year2035 = yearSections(2035, 2035);
        year2035.removeLast();
        year2035.insert(1, QStringLiteral("10=ULTIMO"));
        const QStringList expected = QStringList{QStringLiteral("; configurazione"), QStringLiteral("[directory]"),
                                                 QStringLiteral("DirBase=/new/"), QStringLiteral("Altro=valore"), QString(),
                                                 QStringLiteral("[Mio]"), QStringLiteral("chiave=1")}
            + year2004 + QStringList{QString()} + year2035
            + QStringList{QStringLiteral("[gestione anni]"), QStringLiteral("abilita=NO")}
            + yearSections(2005, 2034);
        QCOMPARE(fileBytes(), crlf(expected));
    }

    void windows1252RoundTrip_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<QString>("character");
        QTest::newRow("a grave") << QByteArray("\xE0") << QStringLiteral("à");
        QTest::newRow("euro") << QByteArray("\x80") << QStringLiteral("€");
        QTest::newRow("OE ligature") << QByteArray("\x8C") << QStringLiteral("Œ");
        QTest::newRow("right quote") << QByteArray("\x92") << QStringLiteral("’");
        QTest::newRow("y diaeresis") << QByteArray("\xFF") << QStringLiteral("ÿ");
        QTest::newRow("undefined byte") << QByteArray("\x81") << QString(QChar(0x81));
    }
    void windows1252RoundTrip()
    {
        QFETCH(QByteArray, byte);
        QFETCH(QString, character);
        const QByteArray line = "1=A" + byte + "B\r\n";
        setFileBytes("[2010]\r\n" + line);
        AppState state;
        config::readFile(m_path, state);
        QCOMPARE(state.abilitazione(2010, 1), QStringLiteral("A") + character + QStringLiteral("B"));

        state.abilitazione(2011, 2) = character;
        QVERIFY(config::writeFile(m_path, state));
        const QByteArray written = fileBytes();
        QVERIFY(written.startsWith("[2010]\r\n" + line));
        QVERIFY(written.contains("[2011]\r\n1=\r\n2=" + byte + "\r\n"));
    }

    void characterOutsideWindows1252IsReported_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("named");
        QTest::newRow("arrow") << QStringLiteral("→") << QStringLiteral("\"→\" (U+2192)");
        QTest::newRow("outside the BMP") << QStringLiteral("😀") << QStringLiteral("\"😀\" (U+1F600)");
        QTest::newRow("C1 control Windows maps elsewhere") << QString(QChar(0x80)) << QStringLiteral("\"\u0080\" (U+0080)");
    }
    void characterOutsideWindows1252IsReported()
    {
        QFETCH(QString, character);
        QFETCH(QString, named);
        const QByteArray before("[Directory]\r\nDirBase=/srv/\r\n");
        setFileBytes(before);
        AppState state;
        config::readFile(m_path, state);
        state.abilitazione(2020, 5) = QStringLiteral("X") + character;

        QString error;
        QVERIFY(!config::writeFile(m_path, state, &error));
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(fileBytes(), before);
    }

    void unwritableFileIsReported_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("folder is a file") << QStringLiteral("occupato/Sigillo.INI");
        QTest::newRow("file is a folder") << QStringLiteral("cartella");
    }
    void unwritableFileIsReported()
    {
        QFETCH(QString, relativePath);
        const QDir dir(m_dir.path());
        QFile blocker(dir.filePath(QStringLiteral("occupato")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(dir.mkpath(QStringLiteral("cartella")));
        const QString path = dir.filePath(relativePath);

        AppState state;
        config::readFile(path, state);
        config::setFilePath(path);
        QVERIFY(!config::write(state));
        const QList<ShownMessage> shown = Messages::shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageKind::Error);
        QVERIFY2(shown.first().text.contains(QDir::toNativeSeparators(path)), qPrintable(shown.first().text));
        QCOMPARE(state.DirBase, withTrailingSeparator(QFileInfo(path).absolutePath()));
    }

    void location_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("writable folder") << QStringLiteral("bin/Sigillo.exe") << QStringLiteral("bin/Sigillo.INI");
        QTest::newRow("no extension") << QStringLiteral("bin/sigillo") << QStringLiteral("bin/sigillo.INI");
        QTest::newRow("folder missing") << QStringLiteral("assente/sigillo") << QStringLiteral("utente/sigillo.INI");
    }
    void location()
    {
        QFETCH(QString, executable);
        QFETCH(QString, expected);
        const QDir dir(m_dir.path());
        QVERIFY(dir.mkpath(QStringLiteral("bin")));
        QCOMPARE(config::locationFor(dir.filePath(executable), dir.filePath(QStringLiteral("utente"))), dir.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(tst_Config)
#include "tst_config.moc"
