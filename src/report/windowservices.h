#pragma once
// WindowServices: what the engine's windows ask of the program around them: file names, the print
// dialog, and the showing of a window modally. The defaults are Qt's own dialogs and exec(); a program
// gives its own, through which a test answers them.

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace report {

class WindowServices {
public:
    virtual ~WindowServices() = default;
    // An empty name stands for "Annulla".
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
    // The print dialog on the printer, offering pages 1 to pageCount; false when the user gave up.
    virtual bool choosePrinter(QPrinter &printer, int pageCount, QWidget *parent);
    virtual int exec(QDialog &window);
};

} // namespace report
