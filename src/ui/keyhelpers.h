#pragma once
// Keyboard habits of the program's windows, each a helper rather than code copied into every window:
// upper-case typing in a text field, Enter moving to the next field of an entry page, and a function
// key standing for a button.

#include <QKeySequence>
#include <QList>

#include <functional>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace ui {

// Letters typed or pasted into the field become capitals.
void setUpperCase(QLineEdit *edit);

// Enter in any field under page moves the focus on, like Tab, instead of pressing the window's
// default button. Fields added to the page later are not covered.
void enterMovesToNextField(QWidget *page);

// Enter in each widget of the chain moves the focus to the next one, whatever the tab order, so that
// a button beside a field can be reached by Tab and still be passed over by Enter; a button at the end
// of the chain is pressed by Enter. Takes over the Enter of enterMovesToNextField for these widgets
// when set after it.
void enterMovesAlong(const QList<QWidget *> &chain);

// The handler runs when the focus leaves the area (the widget, or a control inside it) for another
// control of the same window: not when it goes to the area's own popup list, to a message or to another
// window, from which it comes back.
void whenLeft(QWidget *area, std::function<void()> handler);

// The key clicks the button while the button can be seen and used (a button on a page not shown
// cannot), whichever control of the window has the focus.
void bindFunctionKey(QWidget *window, const QKeySequence &key, QAbstractButton *button);

} // namespace ui
