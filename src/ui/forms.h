#pragma once
// Building blocks shared by the registry windows, so that every window looks and behaves alike.

#include <QList>
#include <QPair>
#include <QString>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace ui {

// A command button carrying the name the program gives the control.
QPushButton *commandButton(const char *objectName, const QString &text, QWidget *parent);

// An entry page: the labelled fields in a framed box with the given title, its buttons on a row below
// the fields, all centred on the page so that a large window keeps the form compact.
QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, QWidget *parent);

} // namespace ui
