#pragma once
// Building blocks shared by the registry windows, so that every window looks and behaves alike.

#include <QList>
#include <QPair>
#include <QString>

class DBEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace engine {
class DataSource;
}

namespace ui {

// A bold caption over a list or a group of fields.
QLabel *caption(const QString &text, QWidget *parent);

// A bold line of guidance across the top of a window, wrapped to its width.
QLabel *banner(const char *objectName, const QString &text, QWidget *parent);

// A command button carrying the name the program gives the control.
QPushButton *commandButton(const char *objectName, const QString &text, QWidget *parent);

// A text field bound to a field of the source, converting typing to upper case as the registries do.
DBEdit *upperCaseEdit(const char *objectName, engine::DataSource *source, const QString &field, QWidget *parent);

// A field the user may not change shows a silver background (RGB C0C0C0), one he may change a white
// one. A line edit stays selectable, so its text can still be copied; any other control is disabled,
// with its text kept dark enough to read on silver.
void setFieldReadOnly(QWidget *control, bool readOnly);

// The group "stampe" of a list page, holding the window's print command ("Stampa ", SpeedButton8).
QGroupBox *printsGroup(QPushButton *print, QWidget *parent);

// A list page: the grid over the page, the commands on a row below it, those that leave the window
// at the right-hand end.
QWidget *listPage(QWidget *grid, const QList<QWidget *> &commands, const QList<QWidget *> &leaving, QWidget *parent);

// An entry page: the labelled fields in a framed box with the given title, its buttons on a row below
// the fields, all centred on the page so that a large window keeps the form compact.
QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, QWidget *parent);
// The same with a column of further boxes beside the fields' box, top-aligned: a legend, a choice that
// is not a field of the row.
QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, const QList<QWidget *> &beside, QWidget *parent);

// A field with a command of its own at its right ("Cerca il comune"), to stand as one field of a form.
QWidget *fieldWithButton(QWidget *field, QPushButton *button, QWidget *parent);

} // namespace ui
