#pragma once
// Application: the desktop program's QApplication. A failure thrown by an event handler or a slot is
// caught where the event was delivered and shown as an error box; the window it came from stays open
// and the program goes on, as it would after any other message.

#include <QApplication>

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
