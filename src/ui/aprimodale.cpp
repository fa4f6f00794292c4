#include "ui/aprimodale.h"

#include "app/testmode.h"

#include <QQueue>
#include <QTimer>

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
        // A zero timer fires inside the window's own modal loop, after it has been shown.
        QTimer::singleShot(0, &window, [&window, handler = handlers().dequeue()] {
            handler(window);
            if (window.isVisible()) {
                qWarning("ApriModale: the handler left %s open; closing it", window.metaObject()->className());
                window.reject();
            }
        });
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
