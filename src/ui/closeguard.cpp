#include "ui/closeguard.h"

#include "ground/messages.h"

#include <QDialog>
#include <QKeyEvent>

CloseGuard::CloseGuard(QDialog *window, Refusal refusal)
    : QObject(window), m_refusal(std::move(refusal))
{
    window->installEventFilter(this);
}

bool CloseGuard::eventFilter(QObject *, QEvent *event)
{
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    if (!escape && event->type() != QEvent::Close)
        return false;
    const QString refusal = m_refusal();
    if (refusal.isEmpty())
        return false;
    if (escape)
        return true;
    event->ignore();
    Messages::plain(refusal);
    return true;
}
