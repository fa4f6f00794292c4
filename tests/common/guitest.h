#pragma once
// What the GUI tests share.
//
// GuiTest is the base of a GUI test class. Nothing is put in front of a user (test mode); every test
// starts with no message, answer or window handler queued; after every test it checks, in this one
// place, that each answer and window handler the test queued was used and that no handler left its
// window open, and then forgets them. A test class puts its own preparation and tidying in setUp() and
// tearDown() (tearDown runs before the check), not in init() and cleanup() slots of its own.
//
// The helpers open a window through ApriModale with the test's handler, reach its controls by name,
// type as the user does, and take pictures for a look by eye: with SIGILLO_SHOTS set to a folder,
// shoot() saves the window at 1280x800 there as <name>.png; without it nothing is saved.

#include "ui/aprimodale.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QObject>
#include <QTest>

#include <functional>

class GuiTest : public QObject {
    Q_OBJECT

public:
    GuiTest();

protected:
    virtual void setUp() {}
    virtual void tearDown() {}

private Q_SLOTS:
    void init();
    void cleanup();
};

template<class W>
void openWindow(W *&ref, std::function<void(W &)> handler)
{
    ModalWindows::setNextHandler([handler](QDialog &window) { handler(static_cast<W &>(window)); });
    ApriModale(ref);
}

QAbstractButton *button(QWidget &window, const char *name);
QLineEdit *lineEdit(QWidget &window, const char *name);

// Replaces a field's text by typing, as the user does.
void typeInto(QLineEdit *edit, const QString &text);

// The names of the controls that have the focus, one after the other, as Tab is pressed steps times
// from the one that has it now.
QStringList walkWithTab(int steps);

void shoot(QWidget &window, const QString &name);
