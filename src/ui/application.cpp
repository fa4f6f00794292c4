#include "ui/application.h"

#include "ground/messages.h"

#include <QDialog>

namespace {

void closeIfShowing(QObject *receiver, const QEvent *event)
{
    auto *dialog = qobject_cast<QDialog *>(receiver);
    if (!dialog || event->type() != QEvent::Show)
        return;
    // Queued: the dialog is still inside its own show, with its modal loop not yet running.
    QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
}

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        Messages::error(error);
    } catch (...) {
        Messages::error(QStringLiteral("Errore imprevisto."));
    }
    closeIfShowing(receiver, event);
    // Handled: by the error box.
    return true;
}
