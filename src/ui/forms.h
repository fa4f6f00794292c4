#pragma once
// Building blocks shared by the registry windows, so that every window looks and behaves alike.

#include <QList>
#include <QPair>
#include <QString>

class DBEdit;
class QGroupBox;
class QPushButton;
class QWidget;

namespace engine {
class DataSource;
}

namespace ui {

// A command button carrying the name the program gives the control.
QPushButton *commandButton(const char *objectName, const QString &text, QWidget *parent);

// A text field bound to a field of the source, converting typing to upper case as the registries do.
DBEdit *upperCaseEdit(const char *objectName, engine::DataSource *source, const QString &field, QWidget *parent);

// The group "stampe" of a list page, holding "Stampa " (SpeedButton8); the button stays disabled until
// the report engine is part of the program.
QGroupBox *printsGroup(QWidget *parent);

// A list page: the grid over the page, the commands on a row below it, those that leave the window
// at the right-hand end.
QWidget *listPage(QWidget *grid, const QList<QWidget *> &commands, const QList<QWidget *> &leaving, QWidget *parent);

// An entry page: the labelled fields in a framed box with the given title, its buttons on a row below
// the fields, all centred on the page so that a large window keeps the form compact.
QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, QWidget *parent);

} // namespace ui
