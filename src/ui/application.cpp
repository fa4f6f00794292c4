#include "ui/application.h"

#include "app/messages.h"

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
    return false;
}
