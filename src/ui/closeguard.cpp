#include "ui/closeguard.h"

#include "ground/messages.h"

#include <QDialog>
#include <QKeyEvent>
#include <QStackedWidget>

CloseGuard::CloseGuard(QDialog *window, QStackedWidget *pages, int listPage)
    : QObject(window), m_pages(pages), m_listPage(listPage)
{
    window->installEventFilter(this);
}

bool CloseGuard::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        return true;
    if (event->type() != QEvent::Close)
        return false;
    event->ignore();
    Messages::plain(m_pages->currentIndex() == m_listPage
                        ? QStringLiteral("Per uscire dalla finestra usare i tasti opportuni")
                        : QStringLiteral("Terminare la fase di inserimento con i tasti di conferma"));
    return true;
}
