// The login window: the list of users, the password check and its messages, and the only two ways out.

#include "app/ins_pwdw.h"
#include "app/passwords.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "guitest.h"
#include "testbase.h"

#include <QComboBox>

#include <memory>

namespace {

const QString Wrong = QStringLiteral("password errata");
const QString Refusal = QStringLiteral("Per andare avanti usare il bottone accedi");

QComboBox *users(QWidget &window)
{
    return window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
}

void choose(QWidget &window, const QString &name)
{
    users(window)->setCurrentIndex(users(window)->findText(name));
}

} // namespace

class tst_Ins_pwd : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("password_"),
                              {{{"Nome", "VESKSOFT"}, {"Password", passwords::hash(QStringLiteral("1"))}},
                               {{"Nome", "ROSSI"}, {"Password", passwords::hash(QStringLiteral("PIPPO"))}},
                               {{"Nome", "BIANCHI"}, {"Password", "CLARA"}}});
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void theListHoldsTheUsersAndThePasswordIsHidden()
    {
        openWindow<Tins_pwdForm>(ins_pwdForm, [](Tins_pwdForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Inserisci utente e password"));
            QStringList names;
            for (int i = 0; i < users(window)->count(); ++i)
                names << users(window)->itemText(i);
            QCOMPARE(names, (QStringList{"VESKSOFT", "ROSSI", "BIANCHI"}));
            QVERIFY(!users(window)->isEditable());
            QCOMPARE(users(window)->currentIndex(), -1);
            QCOMPARE(lineEdit(window, "Edit1")->echoMode(), QLineEdit::Password);
            choose(window, QStringLiteral("ROSSI"));
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("pip"));
            shoot(window, QStringLiteral("ins_pwd"));
            button(window, "BitBtn2")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void avantiChecksThePassword_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("lower case typed, capitals stored") << "ROSSI" << "pippo" << true;
        QTest::newRow("one letter off") << "ROSSI" << "PIPPA" << false;
        QTest::newRow("another user's password") << "VESKSOFT" << "PIPPO" << false;
        QTest::newRow("clear text of an older archive") << "BIANCHI" << "clara" << true;
    }
    void avantiChecksThePassword()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, loggedIn);
        bool closedByAvanti = false;
        openWindow<Tins_pwdForm>(ins_pwdForm, [&](Tins_pwdForm &window) {
            choose(window, name);
            typeInto(lineEdit(window, "Edit1"), typed);
            button(window, "BitBtn1")->click();
            closedByAvanti = !window.isVisible();
            if (!closedByAvanti)
                button(window, "BitBtn2")->click();
        });
        QCOMPARE(closedByAvanti, loggedIn);
        QCOMPARE(Messages::shownTexts(), loggedIn ? QStringList() : QStringList{Wrong});
    }

    void avantiWithoutAUserOrAPasswordDoesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::newRow("no user chosen") << QString() << "PIPPO";
        QTest::newRow("no password") << "ROSSI" << QString();
    }
    void avantiWithoutAUserOrAPasswordDoesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        openWindow<Tins_pwdForm>(ins_pwdForm, [&](Tins_pwdForm &window) {
            if (!name.isEmpty())
                choose(window, name);
            typeInto(lineEdit(window, "Edit1"), typed);
            button(window, "BitBtn1")->click();
            QVERIFY(window.isVisible());
            button(window, "BitBtn2")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void aUserDeletedMeanwhileIsNotFound()
    {
        openWindow<Tins_pwdForm>(ins_pwdForm, [](Tins_pwdForm &window) {
            choose(window, QStringLiteral("ROSSI"));
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("PIPPO"));
            engine::Table other;
            other.setDirectory(appState().dataDir());
            other.setTableName(QStringLiteral("password_"));
            other.open();
            QVERIFY(other.locate(QStringLiteral("Nome"), {QStringLiteral("ROSSI")}));
            other.remove();
            button(window, "BitBtn1")->click();
            QVERIFY(window.isVisible());
            button(window, "BitBtn2")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("nome utente non trovato")});
    }

    void onlyALoginOrTerminaProgrammaCloseIt()
    {
        ModalWindows::setNextHandler([](QDialog &window) {
            QVERIFY(!window.close());
            QTest::keyClick(&window, Qt::Key_Escape);
            QVERIFY(window.isVisible());
            button(window, "BitBtn2")->click();
        });
        QVERIFY(!Tins_pwdForm::Accesso(nullptr));
        QCOMPARE(Messages::shownTexts(), QStringList{Refusal});

        ModalWindows::setNextHandler([](QDialog &window) {
            choose(window, QStringLiteral("VESKSOFT"));
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("1"));
            QTest::keyClick(lineEdit(window, "Edit1"), Qt::Key_Return);
        });
        QVERIFY(Tins_pwdForm::Accesso(nullptr));
        QCOMPARE(ins_pwdForm, nullptr);
    }
};

QTEST_MAIN(tst_Ins_pwd)
#include "tst_ins_pwd.moc"
