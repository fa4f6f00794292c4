#pragma once
// What the GUI tests share.
//
// GuiTest is the base of a GUI test class. Nothing is put in front of a user (test mode); every test
// starts with no message, answer or window handler queued (print dialogs' answers too); after every
// test it checks, in this one place, that each answer and window handler the test queued was used and
// that no handler left its window open, and then forgets them. A test class puts its own preparation
// and tidying in setUp() and tearDown() (tearDown runs before the check), not in init() and cleanup()
// slots of its own.
//
// The helpers open a window through ApriModale with the test's handler, reach its controls by name,
// type as the user does, and take pictures for a look by eye: with SIGILLO_SHOTS set to a folder,
// shoot() saves the window at 1280x800 there as <name>.png; without it nothing is saved.

#include "ground/state.h"
#include "ui/aprimodale.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QObject>
#include <QTableView>
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

// A list window opened by a caller that sets SceltaFatta to `picking`: it clears the flag as it shows and
// offers `select` and `cancel` in place of `close` exactly while picking. The user chooses the grid's row
// and answers with one of the three; the result is the flag as the caller then finds it.
struct PickerCommands {
    const char *close;
    const char *select;
    const char *cancel;
};
// The cases of answerAsPicker as rows of a data table: picking (bool), answer (QString), chosen (bool,
// the flag the caller finds): "Seleziona" and "Annulla" of a picker, and the close command of a list.
void addPickerAnswerRows(const PickerCommands &commands);

template<class W>
bool answerAsPicker(W *&ref, bool picking, const PickerCommands &commands, const char *grid, int row, const QString &answer)
{
    appState().SceltaFatta = picking;
    openWindow<W>(ref, [&](W &window) {
        QVERIFY(!appState().SceltaFatta);
        QCOMPARE(button(window, commands.close)->isVisible(), !picking);
        QCOMPARE(button(window, commands.select)->isVisible(), picking);
        QCOMPARE(button(window, commands.cancel)->isVisible(), picking);
        window.template findChild<QTableView *>(QString::fromLatin1(grid))->selectRow(row);
        button(window, answer.toLatin1().constData())->click();
    });
    return appState().SceltaFatta;
}
QLineEdit *lineEdit(QWidget &window, const char *name);

// Replaces a field's text by typing, as the user does; accented letters too.
void typeInto(QLineEdit *edit, const QString &text);

// The names of the controls that have the focus, one after the other, as Tab is pressed steps times
// from the one that has it now.
QStringList walkWithTab(int steps);

void shoot(QWidget &window, const QString &name);

// Presses a print command, saves the report's preview as the PDF `path` and closes it; the PDF's pages
// as pdftotext reads them (pdftext.h). With SIGILLO_SHOTS set the preview and the first page are saved
// as pictures named after `name`.
QList<QStringList> printThroughPreview(QAbstractButton *print, const QString &path, const QString &name);
// The same for a print started by a call rather than a command.
QList<QStringList> printThroughPreview(const std::function<void()> &print, const QString &path, const QString &name);
