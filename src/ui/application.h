#pragma once
// Application: the desktop program's QApplication. A failure thrown by an event handler or a slot is
// caught where the event was delivered and shown as an error box; the window it came from stays open
// and the program goes on, as after any other message. A dialog that fails while it is being shown
// is closed as well, so that ApriModale destroys it as it does a window whose constructor failed.

#include <QApplication>

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
