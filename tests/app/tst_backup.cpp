// The backup with a fixed clock: where it goes, what it saves, and what the user is told.

#include "app/backup.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "ground/testmode.h"
#include "data/tdm.h"
#include "filesizelimit.h"
#include "testbase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QString Saved = QStringLiteral("Salvataggio eseguito correttamente nella cartella :");
const QString NotSaved = QStringLiteral("Salvataggio NON Eseguito.ATTENZIONE!! ");
const QDateTime Moment(QDate(2026, 12, 8), QTime(20, 51));

QStringList filesIn(const QString &directory)
{
    return QDir(directory).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

QStringList entriesIn(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The menu's backup: the copy's own errors, the failure, then what was not saved.
bool toldNotSaved(const QStringList &texts, const QString &summary)
{
    return texts.size() >= 3 && texts[texts.size() - 2] == NotSaved && texts.last().startsWith(summary)
        && !texts.join(QString()).contains(Saved);
}

} // namespace

class tst_Backup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;

    QString under(const QString &relative) const { return QDir(m_base->path()).filePath(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        setTestMode(true);
        backup::setClock([] { return Moment; });
    }
    void init()
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        config::setFilePath(under(QStringLiteral("sigillo.INI")));
        QVERIFY(config::writeFile(config::filePath(), appState()));
        Messages::clear();
    }
    void cleanup()
    {
        QCOMPARE(Messages::pendingAnswers(), 0);
    }

    void folderIsNamedAfterTheMoment_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("name");
        QTest::newRow("evening") << Moment << "2026-12-08_2051";
        QTest::newRow("morning, leading zeros") << QDateTime(QDate(2026, 4, 3), QTime(9, 5)) << "2026-04-03_0905";
        QTest::newRow("1:15 and 11:05 differ") << QDateTime(QDate(2026, 4, 3), QTime(1, 15)) << "2026-04-03_0115";
        QTest::newRow("11:05") << QDateTime(QDate(2026, 4, 3), QTime(11, 5)) << "2026-04-03_1105";
    }
    void folderIsNamedAfterTheMoment()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, name);
        QCOMPARE(backup::folderName(when), name);
    }

    void menuCommandSavesDataYearAndConfiguration()
    {
        TestBase::addDataRows(QStringLiteral("esercizio"), {{{"Id_esercizio", 7}, {"Ragione_sociale", "BAR SPORT"}}});
        catalogue::createMissingTables(under(QStringLiteral("2022")), catalogue::yearTables());
        QVERIFY(QDir().mkpath(under(QStringLiteral("dati/sub"))));
        Tdm data;

        backup::CopiaDiSalvataggio();
        const QString folder = under(QStringLiteral("backup/2026-12-08_2051"));
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Information, Saved + QDir::toNativeSeparators(folder)}}));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{"2021", "dati", "sigillo.INI"}));
        QCOMPARE(filesIn(QDir(folder).filePath(QStringLiteral("dati"))), filesIn(under(QStringLiteral("dati"))));
        QCOMPARE(filesIn(QDir(folder).filePath(QStringLiteral("2021"))), filesIn(under(QStringLiteral("2021"))));
        QVERIFY(!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("dati/sub"))));

        engine::Table saved;
        saved.setDirectory(QDir(folder).filePath(QStringLiteral("dati")));
        saved.setTableName(QStringLiteral("esercizio"));
        saved.open();
        QCOMPARE(saved.recordCount(), 1);
        QCOMPARE(saved.asString(QStringLiteral("Ragione_sociale")), QStringLiteral("BAR SPORT"));

        // The data are open again for the same year.
        QVERIFY(data.Tabesercizio->isOpen());
        QVERIFY(data.Tabmisurazioni->isOpen());
        QCOMPARE(data.Tabmisurazioni->directory(), appState().yearDir());
    }

    void aBackupNeverWritesIntoAnEarlierOne()
    {
        const QString root = under(QStringLiteral("altrove"));
        const backup::Request request{appState().DirBase, {QStringLiteral("2021")}, config::filePath(), root, Moment};
        QStringList folders;
        for (int run = 0; run < 3; ++run) {
            const backup::Outcome outcome = backup::save(request, [](const QString &error) { QFAIL(qPrintable(error)); });
            QVERIFY(outcome.ok);
            folders << QFileInfo(outcome.folder).fileName();
        }
        QCOMPARE(folders, (QStringList{"2026-12-08_2051", "2026-12-08_2051-2", "2026-12-08_2051-3"}));
        for (const QString &folder : std::as_const(folders))
            QVERIFY(QFileInfo::exists(QDir(root).filePath(folder + QStringLiteral("/2021/misurazioni2.sqlite"))));
    }

    void theSettingsChooseTheRoot()
    {
        const QString root = under(QStringLiteral("copie"));
        TestBase::addDataRows(QStringLiteral("impostazioni"), {{{"Dir_backup", root}}});
        Tdm data;
        backup::CopiaDiSalvataggio();
        const QString folder = QDir(root).filePath(QStringLiteral("2026-12-08_2051"));
        QCOMPARE(Messages::shownTexts(), QStringList{Saved + QDir::toNativeSeparators(folder)});
        QVERIFY(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("dati/impostazioni.sqlite"))));
        QVERIFY(!QFileInfo::exists(under(QStringLiteral("backup"))));
    }

    void aFailedBackupIsNeverReportedAsDone_data()
    {
        QTest::addColumn<bool>("rootIsAFile");
        QTest::newRow("root cannot be made") << true;
        QTest::newRow("a file cannot be read") << false;
    }
    void aFailedBackupIsNeverReportedAsDone()
    {
        QFETCH(bool, rootIsAFile);
        QString firstError;
        QString notSaved;
        if (rootIsAFile) {
            QFile blocker(under(QStringLiteral("backup")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            firstError = QStringLiteral("Impossibile creare la cartella di salvataggio in ") + under(QStringLiteral("backup"));
            notSaved = QStringLiteral("Non è stato possibile salvare: dati, 2021, sigillo.INI.");
        } else {
            // A table whose file has gone: a link to nothing.
            const QString broken = under(QStringLiteral("dati/broken.sqlite"));
            QVERIFY(QFile::link(under(QStringLiteral("nowhere.sqlite")), broken));
            firstError = broken + QStringLiteral(" missing or corrupted or opened for exclusive use");
            notSaved = QStringLiteral("Non è stato possibile salvare: dati.");
        }
        Tdm data;
        backup::CopiaDiSalvataggio();
        const QList<ShownMessage> shown = Messages::shown();
        QCOMPARE(shown.first(), (ShownMessage{MessageKind::Plain, QStringLiteral("Errore contattare la VesK.") + firstError}));
        QVERIFY2(toldNotSaved(Messages::shownTexts(), notSaved), qPrintable(Messages::shownTexts().join(QLatin1Char('|'))));
        QCOMPARE(shown.last().kind, MessageKind::Error);
        QCOMPARE(entriesIn(under(QStringLiteral("backup"))), QStringList());
        QVERIFY(data.Tabesercizio->isOpen());
    }

    void aYearThatDoesNotExistMakesNoFolder()
    {
        const QString root = under(QStringLiteral("altrove"));
        const backup::Request request{appState().DirBase, {QStringLiteral("2021"), QStringLiteral("2030")}, config::filePath(),
                                      root, Moment};
        QStringList errors;
        const backup::Outcome outcome = backup::save(request, [&](const QString &error) { errors << error; });
        QVERIFY(!outcome.ok);
        QVERIFY(outcome.folder.isEmpty());
        QCOMPARE(outcome.notSaved, QStringList{QStringLiteral("2030")});
        QCOMPARE(errors,
                 QStringList{QStringLiteral("Cartella non trovata: ") + QDir::toNativeSeparators(under(QStringLiteral("2030")))});
        QCOMPARE(entriesIn(root), QStringList());
    }

    // Only a backup whose every file was copied whole carries a backup's name; one cut short by a full
    // disk is removed, one whose process was killed keeps a name that says it is incomplete.
    void aBackupCutShortNeverLooksLikeAGoodOne_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<QStringList>("leftOver");
        QTest::addColumn<QString>("next");
        QTest::newRow("full disk") << false << QStringList() << "2026-12-08_2051";
        QTest::newRow("killed part way") << true << QStringList{"2026-12-08_2051.incompleto"} << "2026-12-08_2051-2";
    }
    void aBackupCutShortNeverLooksLikeAGoodOne()
    {
        QFETCH(bool, killed);
        QFETCH(QStringList, leftOver);
        QFETCH(QString, next);
        const qint64 limit = QFileInfo(under(QStringLiteral("dati/esercizio.sqlite"))).size() - 1;

        const int told = filesizelimit::run(rlim_t(limit), [] {
            Tdm data;
            backup::CopiaDiSalvataggio();
            if (toldNotSaved(Messages::shownTexts(), QStringLiteral("Non è stato possibile salvare: dati")))
                return 0;
            qWarning("%s", qPrintable(Messages::shownTexts().join(QLatin1Char('|'))));
            return 1;
        }, killed ? filesizelimit::AtLimit::ProcessKilled : filesizelimit::AtLimit::WriteFails);
        QCOMPARE(told, killed ? -1 : 0);
        QCOMPARE(entriesIn(under(QStringLiteral("backup"))), leftOver);

        Tdm data;
        backup::CopiaDiSalvataggio();
        const QString folder = QDir::toNativeSeparators(under(QStringLiteral("backup/") + next));
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Information, Saved + folder}}));
        QCOMPARE(filesIn(QDir(folder).filePath(QStringLiteral("dati"))), filesIn(under(QStringLiteral("dati"))));
    }
};

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_backup.moc"
