// The services every window relies on: ApriModale, the application's error boxes and the message
// boxes.

#include "ground/messages.h"
#include "ground/testmode.h"
#include "data/engine/engineerror.h"
#include "guitest.h"
#include "ui/application.h"
#include "ui/messageboxpresenter.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

namespace {

enum class Failure { None, InConstructor, WhenShown, InSlot };
Failure failure = Failure::None;

class ProbeForm : public QDialog {
    Q_OBJECT

public:
    explicit ProbeForm(QWidget *parent = nullptr)
        : QDialog(parent)
    {
        if (failure == Failure::InConstructor)
            throw engine::EngineError(QStringLiteral("Tabella non trovata"));
        auto *button = new QPushButton(QStringLiteral("Esegui"), this);
        button->setObjectName(QStringLiteral("Esegui"));
        connect(button, &QPushButton::clicked, this, [] { throw engine::EngineError(QStringLiteral("Registrazione non riuscita")); });
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        if (failure == Failure::WhenShown)
            throw std::runtime_error("Indice danneggiato");
    }
};

ProbeForm *ProbeRef = nullptr;

} // namespace

class tst_UiServices : public GuiTest {
    Q_OBJECT

    void setUp() override { failure = Failure::None; }

private Q_SLOTS:
    void apriModaleDestroysTheWindowAndClearsTheReference_data()
    {
        QTest::addColumn<int>("failureAt");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("closed by the user") << int(Failure::None) << QStringList();
        QTest::newRow("failure in constructor") << int(Failure::InConstructor) << QStringList{QStringLiteral("Tabella non trovata")};
        QTest::newRow("failure when shown") << int(Failure::WhenShown) << QStringList{QStringLiteral("Indice danneggiato")};
    }
    void apriModaleDestroysTheWindowAndClearsTheReference()
    {
        QFETCH(int, failureAt);
        QFETCH(QStringList, errors);
        failure = Failure(failureAt);
        QPointer<QDialog> opened;
        bool referenceWasSet = false;
        // A window that fails while it is shown closes by itself; one that fails while it is made is
        // never shown, or it would find no handler queued.
        if (failure != Failure::InConstructor) {
            ModalWindows::setNextHandler([&](QDialog &window) {
                opened = &window;
                referenceWasSet = ProbeRef == &window && window.isVisible();
                if (failure == Failure::None)
                    window.reject();
            });
        }

        QWidget parent;
        ApriModale(ProbeRef, &parent);

        QCOMPARE(ProbeRef, nullptr);
        QVERIFY(opened.isNull());
        QCOMPARE(referenceWasSet, failure != Failure::InConstructor);
        QCOMPARE(parent.findChildren<QDialog *>().size(), 0);
        QCOMPARE(Messages::shownTexts(), errors);
    }

    void failureInASlotIsShownAndTheWindowStaysOpen()
    {
        bool openAfterFailure = false;
        ModalWindows::setNextHandler([&](QDialog &window) {
            QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Esegui")), Qt::LeftButton);
            openAfterFailure = window.isVisible();
            window.accept();
        });
        ApriModale(ProbeRef);
        QVERIFY(openAfterFailure);
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Error, QStringLiteral("Registrazione non riuscita")}}));
    }

    void questionBoxAnswersWithItalianButtons_data()
    {
        QTest::addColumn<bool>("clickYes");
        QTest::newRow("Sì") << true;
        QTest::newRow("No") << false;
    }
    void questionBoxAnswersWithItalianButtons()
    {
        QFETCH(bool, clickYes);
        QTranslator translator;
        QVERIFY(translator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&translator);
        MessageBoxPresenter presenter;
        Messages::setPresenter(&presenter);
        setTestMode(false);

        QString title, text, yesText, noText;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            yesText = box->button(QMessageBox::Yes)->text();
            noText = box->button(QMessageBox::No)->text();
            box->button(clickYes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        const bool answer = Messages::confirm(QStringLiteral("Procedere?"));

        setTestMode(true);
        Messages::setPresenter(nullptr);
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(answer, clickYes);
        QCOMPARE(title, QStringLiteral("Conferma"));
        QCOMPARE(text, QStringLiteral("Procedere?"));
        QCOMPARE(yesText.remove(QLatin1Char('&')), QStringLiteral("Sì"));
        QCOMPARE(noText.remove(QLatin1Char('&')), QStringLiteral("No"));
    }
};

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    tst_UiServices test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_uiservices.moc"
