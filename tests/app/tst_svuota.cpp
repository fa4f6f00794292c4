// "svuota archivi" driven as the user drives it: the two questions, the boxes, and the tables after.

#include "ground/messages.h"
#include "app/svuota_archiviw.h"
#include "data/tdm.h"
#include "guitest.h"
#include "testbase.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

namespace {

const QString FirstQuestion = QStringLiteral("ATTENZIONE : QUESTA PROCEDURA CANCELLERA I DATI DAGLI ARCHIVI.\n"
                                             "CONTINUANDO POTRESTE PERDERE DATI IMPORTANTI. \n"
                                             "YES PER Continuare, NO per Annullare?");
const QString SecondQuestion = QStringLiteral("SEI PROPRIO SICURO? NO PER ANNULLARE.");

struct Archive {
    bool yearTable;
    const char *table;
};
// Every table a box empties, and one no box touches.
const Archive Archives[] = {{false, "tecnici"}, {false, "ms"}, {false, "esercizio"}, {true, "misurazioni2"},
                            {false, "COMUNI_new"}, {false, "soggetto_obbligato"}};

QString directoryOf(const Archive &archive)
{
    return archive.yearTable ? appState().yearDir() : appState().dataDir();
}

QStringList municipalities()
{
    engine::Table table;
    table.setDirectory(appState().dataDir());
    table.setTableName(QStringLiteral("COMUNI_new"));
    table.setIndexName(QStringLiteral("comune_index"));
    table.open();
    QStringList names;
    for (table.first(); !table.eof(); table.next())
        names << table.asString(QStringLiteral("COMUNE"));
    return names;
}

} // namespace

class tst_Svuota : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;

    // Every archive's record count, by table name.
    static QMap<QString, int> counts()
    {
        QMap<QString, int> result;
        for (const Archive &archive : Archives) {
            engine::Table table;
            table.setDirectory(directoryOf(archive));
            table.setTableName(QString::fromLatin1(archive.table));
            table.open();
            result.insert(QString::fromLatin1(archive.table), table.recordCount());
        }
        return result;
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 1}}, {{"Id_tecnico", 2}}});
        TestBase::addDataRows(QStringLiteral("ms"), {{{"Id_ms", 1}}});
        TestBase::addDataRows(QStringLiteral("esercizio"), {{{"Id_esercizio", 1}}, {{"Id_esercizio", 2}}});
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {{{"Id_misurazioni", 1}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"COMUNE", "ROMA"}}});
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), {{{"COMUNE", "AGGIUNTO"}}});
        TestBase::addDataRows(QStringLiteral("COMUNI"), {{{"COMUNE", "ROMA"}}, {{"COMUNE", "MILANO"}}});
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}}});
    }

private Q_SLOTS:
    void eachBoxEmptiesItsTable_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("table");
        QTest::newRow("tecnici") << "TecniciCheck" << "tecnici";
        QTest::newRow("misuratori") << "MisuratoriCheck" << "ms";
        QTest::newRow("esercizi") << "EserciziCheck" << "esercizio";
        QTest::newRow("COMUNI") << "ComuniCheck" << "COMUNI_new";
    }
    void eachBoxEmptiesItsTable()
    {
        QFETCH(QString, box);
        QFETCH(QString, table);
        Tdm data;
        QMap<QString, int> expected = counts();
        expected[table] = 0;

        bool closedWhileShown = false;
        Messages::setNextAnswer(true);
        Messages::setNextAnswer(true);
        ModalWindows::setNextHandler([&](QDialog &form) {
            closedWhileShown = !data.Tabesercizio->isOpen();
            form.findChild<QCheckBox *>(box)->setChecked(true);
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
            QVERIFY(!form.isVisible());
        });
        SvuotaArchiviCommand(nullptr);

        QVERIFY(closedWhileShown);
        QCOMPARE(Messages::shownTexts(), (QStringList{FirstQuestion, SecondQuestion}));
        QVERIFY(data.Tabesercizio->isOpen());
        QVERIFY(data.Tabmisurazioni->isOpen());
        if (table == QLatin1String("COMUNI_new")) {
            // Emptied, then filled again from the older list when the data reopened.
            QCOMPARE(municipalities(), (QStringList{"MILANO", "ROMA"}));
            expected[table] = 2;
        }
        QCOMPARE(counts(), expected);
    }

    // The box's own caption says that it no longer works: it is shown, and it empties nothing.
    void theRegisterBoxIsShownButEmptiesNothing()
    {
        Tdm data;
        const QMap<QString, int> before = counts();
        Messages::setNextAnswer(true);
        Messages::setNextAnswer(true);
        ModalWindows::setNextHandler([&](QDialog &form) {
            auto *box = form.findChild<QCheckBox *>(QStringLiteral("MisurazioniCheck"));
            QCOMPARE(box->text(), QStringLiteral(" nn funge piu ...."));
            QVERIFY(!box->isEnabled());
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY(!box->isChecked());
            box->setChecked(true);
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
        SvuotaArchiviCommand(nullptr);
        QCOMPARE(Messages::shownTexts(), (QStringList{FirstQuestion, SecondQuestion}));
        QCOMPARE(counts(), before);
        QCOMPARE(counts().value(QStringLiteral("misurazioni2")), 1);
    }

    void noToTheSecondQuestionChangesNothing()
    {
        Tdm data;
        const QMap<QString, int> before = counts();
        Messages::setNextAnswer(true);
        Messages::setNextAnswer(false);
        ModalWindows::setNextHandler([&](QDialog &form) {
            for (QCheckBox *check : form.findChildren<QCheckBox *>()) {
                QVERIFY(!check->isChecked());
                check->setChecked(true);
            }
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
            QVERIFY(form.isVisible());
            QVERIFY(data.Tabesercizio->isOpen());
            QCOMPARE(counts(), before);
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("AnnullaButton")), Qt::LeftButton);
        });
        SvuotaArchiviCommand(nullptr);
        QCOMPARE(Messages::shownTexts(), (QStringList{FirstQuestion, SecondQuestion}));
        QCOMPARE(counts(), before);
        QCOMPARE(municipalities(), QStringList{"AGGIUNTO"});
        QVERIFY(data.Tabesercizio->isOpen());
    }

    void noToTheFirstQuestionOpensNothing()
    {
        Tdm data;
        const QMap<QString, int> before = counts();
        Messages::setNextAnswer(false);
        SvuotaArchiviCommand(nullptr);
        QCOMPARE(Messages::shownTexts(), QStringList{FirstQuestion});
        QCOMPARE(counts(), before);
        QVERIFY(data.Tabesercizio->isOpen());
    }
};

QTEST_MAIN(tst_Svuota)
#include "tst_svuota.moc"
