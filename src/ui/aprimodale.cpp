#include "ui/aprimodale.h"

#include "ground/testmode.h"

#include <QQueue>

namespace {

QQueue<ModalWindows::Handler> &handlers()
{
    static QQueue<ModalWindows::Handler> queue;
    return queue;
}

} // namespace

int ModalWindows::exec(QDialog &window)
{
    if (inTestMode()) {
        if (handlers().isEmpty())
            qFatal("ApriModale: no handler queued for %s", window.metaObject()->className());
        // Queued calls run inside the window's own modal loop, after it has been shown. The check
        // comes after whatever the handler's actions queued in turn, such as a window closing itself.
        QMetaObject::invokeMethod(&window, [&window, handler = handlers().dequeue()] {
            handler(window);
            QMetaObject::invokeMethod(&window, [&window] {
                if (!window.isVisible())
                    return;
                qWarning("ApriModale: the test left %s open; closing it", window.metaObject()->className());
                window.reject();
            }, Qt::QueuedConnection);
        }, Qt::QueuedConnection);
    }
    return window.exec();
}

void ModalWindows::setNextHandler(Handler handler)
{
    handlers().enqueue(std::move(handler));
}

qsizetype ModalWindows::pendingHandlers()
{
    return handlers().size();
}

void ModalWindows::clear()
{
    handlers().clear();
}
