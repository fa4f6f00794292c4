#include "ground/messages.h"

#include "ground/testmode.h"

#include <QQueue>
#include <QDebug>

namespace {

struct Service {
    MessagePresenter *presenter = nullptr;
    QQueue<bool> answers;
    QList<ShownMessage> shown;
};

Service &service()
{
    static Service instance;
    return instance;
}

void present(MessageKind kind, const QString &text)
{
    Service &s = service();
    if (inTestMode())
        s.shown.append({kind, text});
    else if (s.presenter)
        s.presenter->show(kind, text);
    else
        qWarning().noquote() << text;
}

} // namespace

void Messages::plain(const QString &text) { present(MessageKind::Plain, text); }
void Messages::information(const QString &text) { present(MessageKind::Information, text); }
void Messages::warning(const QString &text) { present(MessageKind::Warning, text); }
void Messages::error(const QString &text) { present(MessageKind::Error, text); }

void Messages::error(const std::exception &failure)
{
    // Failures of the program carry their Italian text as UTF-8.
    error(QString::fromUtf8(failure.what()));
}

bool Messages::confirm(const QString &text)
{
    Service &s = service();
    if (inTestMode()) {
        s.shown.append({MessageKind::Confirmation, text});
        if (s.answers.isEmpty())
            qFatal("Messages::confirm without a queued answer: %s", qPrintable(text));
        return s.answers.dequeue();
    }
    if (s.presenter)
        return s.presenter->confirm(text);
    qWarning().noquote() << text << "-> No";
    return false;
}

void Messages::setPresenter(MessagePresenter *presenter)
{
    service().presenter = presenter;
}

void Messages::setNextAnswer(bool yes)
{
    service().answers.enqueue(yes);
}

qsizetype Messages::pendingAnswers()
{
    return service().answers.size();
}

QList<ShownMessage> Messages::shown()
{
    return service().shown;
}

QStringList Messages::shownTexts()
{
    QStringList texts;
    for (const ShownMessage &message : service().shown)
        texts.append(message.text);
    return texts;
}

void Messages::clear()
{
    service().shown.clear();
    service().answers.clear();
}
