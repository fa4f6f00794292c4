#include "ground/messages.h"
#include "ground/testmode.h"

#include <QtTest>

#include <stdexcept>

namespace {

// Stands in for the message boxes outside test mode.
class RecordingPresenter : public MessagePresenter {
public:
    QList<ShownMessage> seen;
    bool answer = false;
    void show(MessageKind kind, const QString &text) override { seen.append({kind, text}); }
    bool confirm(const QString &text) override
    {
        seen.append({MessageKind::Confirmation, text});
        return answer;
    }
};

} // namespace

class tst_Messages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        setTestMode(true);
        Messages::clear();
        Messages::setPresenter(nullptr);
    }

    void everyKindReachesThePresenterOutsideTestMode_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void everyKindReachesThePresenterOutsideTestMode()
    {
        QFETCH(bool, answer);
        RecordingPresenter presenter;
        presenter.answer = answer;
        Messages::setPresenter(&presenter);
        setTestMode(false);
        Messages::setNextAnswer(!answer); // queued answers belong to test mode only

        Messages::plain(QStringLiteral("uno"));
        Messages::information(QStringLiteral("due"));
        Messages::warning(QStringLiteral("tre"));
        Messages::error(QStringLiteral("quattro"));
        Messages::error(std::runtime_error("Città già registrata"));
        const bool confirmed = Messages::confirm(QStringLiteral("procedere?"));
        setTestMode(true);

        QCOMPARE(confirmed, answer);
        const QList<ShownMessage> expected{{MessageKind::Plain, QStringLiteral("uno")},
                                           {MessageKind::Information, QStringLiteral("due")},
                                           {MessageKind::Warning, QStringLiteral("tre")},
                                           {MessageKind::Error, QStringLiteral("quattro")},
                                           {MessageKind::Error, QStringLiteral("Città già registrata")},
                                           {MessageKind::Confirmation, QStringLiteral("procedere?")}};
        QCOMPARE(presenter.seen, expected);
        QVERIFY(Messages::shown().isEmpty());
    }

    void questionWithoutPresenterReadsNo()
    {
        setTestMode(false);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("procedere\\?")));
        const bool confirmed = Messages::confirm(QStringLiteral("procedere?"));
        setTestMode(true);
        QVERIFY(!confirmed);
    }
};

QTEST_GUILESS_MAIN(tst_Messages)
#include "tst_messages.moc"
