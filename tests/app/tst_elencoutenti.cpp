// The users window: entries with their check, passwords stored as hashes, and the protected user.

#include "app/elencoutentiw.h"
#include "app/passwords.h"
#include "data/engine/tablefiles.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "guitest.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QStackedWidget>

#include <memory>

namespace {

const QString Incomplete = QStringLiteral("inserire tutti i valori");
const QColor Silver(0xC0, 0xC0, 0xC0);

int page(QWidget &window)
{
    return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex();
}

// What the grid shows in a cell, as its delegate paints it.
QString shownInGrid(QWidget &window, int row, int column)
{
    auto *grid = window.findChild<DBGrid *>(QStringLiteral("DBGrid1"));
    return grid->model()->index(row, column).data().toString();
}

void select(QWidget &window, const QString &name)
{
    QVERIFY(dm->Tabpwd->locate(QStringLiteral("Nome"), {name}));
    QCOMPARE(window.findChild<DBGrid *>(QStringLiteral("DBGrid1"))->currentIndex().row(), dm->Tabpwd->recNo() - 1);
}

} // namespace

class tst_Elencoutenti : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static QString password(const QString &name)
    {
        if (!dm->Tabpwd->locate(QStringLiteral("Nome"), {name}))
            qFatal("no user %s", qPrintable(name));
        return dm->Tabpwd->asString(QStringLiteral("Password"));
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("password_"),
                              {{{"Nome", "VESKSOFT"}, {"Password", passwords::hash(QStringLiteral("1"))}, {"Livello", "1"}},
                               {{"Nome", "ROSSI"}, {"Password", "PIPPO"}}});
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    // The typed password never reaches the file: it holds the hash, and the list shows stars for it.
    void aNewUserIsStoredWithTheHashOfHisPassword()
    {
        openWindow<TelencoutentiForm>(elencoutentiForm, [](TelencoutentiForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Elenco Utenti:"));
            QCOMPARE(page(window), int(TelencoutentiForm::ListPage));
            button(window, "SpeedButton1")->click();
            QCOMPARE(page(window), int(TelencoutentiForm::EntryPage));
            QCOMPARE(window.focusWidget(), lineEdit(window, "DBEdit1"));
            QVERIFY(!lineEdit(window, "DBEdit1")->isReadOnly());
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("verdi"));
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("segreto9"));
            shoot(window, QStringLiteral("elencoutenti_nuovo"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TelencoutentiForm::ListPage));
            QCOMPARE(shownInGrid(window, 0, 1), QStringLiteral("********"));
            QCOMPARE(shownInGrid(window, 1, 1), QStringLiteral("PIPPO"));
            QCOMPARE(shownInGrid(window, 2, 0), QStringLiteral("VERDI"));
            QCOMPARE(shownInGrid(window, 2, 1), QStringLiteral("********"));
            shoot(window, QStringLiteral("elencoutenti"));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        const QString stored = password(QStringLiteral("VERDI"));
        QVERIFY(passwords::matches(stored, QStringLiteral("SEGRETO9")));
        QFile file(engine::tablefiles::filePath(appState().dataDir(), QStringLiteral("password_")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains(stored.toLatin1()));
        QVERIFY(!bytes.contains("SEGRETO9"));
    }

    void okNeedsANameAndAPassword_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::newRow("no password") << "VERDI" << "";
        QTest::newRow("no name") << "" << "SEGRETO";
    }
    void okNeedsANameAndAPassword()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        openWindow<TelencoutentiForm>(elencoutentiForm, [&](TelencoutentiForm &window) {
            button(window, "SpeedButton1")->click();
            typeInto(lineEdit(window, "DBEdit1"), name);
            typeInto(lineEdit(window, "Edit1"), typed);
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TelencoutentiForm::EntryPage));
            QCOMPARE(dm->Tabpwd->state(), engine::TableState::Insert);
            button(window, "Button2")->click();
            QCOMPARE(page(window), int(TelencoutentiForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{Incomplete});
        QCOMPARE(m_data->Tabpwd->recordCount(), 2);
    }

    // The protected user keeps his name but changes his password; any other user may change both.
    void modificaKeepsTheProtectedUsersName_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("nameReadOnly");
        QTest::newRow("VESKSOFT") << "VESKSOFT" << true;
        QTest::newRow("another user") << "ROSSI" << false;
    }
    void modificaKeepsTheProtectedUsersName()
    {
        QFETCH(QString, user);
        QFETCH(bool, nameReadOnly);
        openWindow<TelencoutentiForm>(elencoutentiForm, [&](TelencoutentiForm &window) {
            select(window, user);
            button(window, "SpeedButton2")->click();
            QLineEdit *name = lineEdit(window, "DBEdit1");
            QCOMPARE(page(window), int(TelencoutentiForm::EntryPage));
            QCOMPARE(window.focusWidget(), name);
            QCOMPARE(name->text(), user);
            QCOMPARE(name->isReadOnly(), nameReadOnly);
            QCOMPARE(name->palette().color(QPalette::Base), nameReadOnly ? Silver : QColor(Qt::white));
            // The stored password is not shown: it is typed anew.
            QVERIFY(lineEdit(window, "Edit1")->text().isEmpty());
            if (nameReadOnly)
                shoot(window, QStringLiteral("elencoutenti_vesksoft"));
            QTest::keyClicks(name, QStringLiteral("X"));
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("nuova"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TelencoutentiForm::ListPage));

            // A new user after the protected one is named freely.
            button(window, "SpeedButton1")->click();
            QVERIFY(!name->isReadOnly());
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        const QString stored = password(nameReadOnly ? user : user + QStringLiteral("X"));
        QVERIFY(passwords::matches(stored, QStringLiteral("NUOVA")));
        QCOMPARE(m_data->Tabpwd->recordCount(), 2);
    }

    void eliminaSparesOnlyTheProtectedUser_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("VESKSOFT") << "VESKSOFT" << "Impossibile eliminare" << false;
        QTest::newRow("another user") << "ROSSI" << "Eliminazione eseguita" << true;
    }
    void eliminaSparesOnlyTheProtectedUser()
    {
        QFETCH(QString, user);
        QFETCH(QString, message);
        QFETCH(bool, deleted);
        openWindow<TelencoutentiForm>(elencoutentiForm, [&](TelencoutentiForm &window) {
            select(window, user);
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        // No question is asked: one would have found no answer queued.
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Plain, message}}));
        QCOMPARE(m_data->Tabpwd->locate(QStringLiteral("Nome"), {user}), !deleted);
        QCOMPARE(m_data->Tabpwd->recordCount(), deleted ? 1 : 2);
    }

    void onlyChiudiClosesTheWindow()
    {
        m_data->Tabpwd->emptyTable();
        openWindow<TelencoutentiForm>(elencoutentiForm, [](TelencoutentiForm &window) {
            button(window, "SpeedButton3")->click();
            QVERIFY(!window.close());
            button(window, "SpeedButton1")->click();
            QVERIFY(!window.close());
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        const QString refusal = QStringLiteral("Per uscire usare il tasto chiudi");
        QCOMPARE(Messages::shownTexts(), (QStringList{refusal, refusal}));
        QVERIFY(m_data->Tabpwd->isEmpty());
    }
};

QTEST_MAIN(tst_Elencoutenti)
#include "tst_elencoutenti.moc"
