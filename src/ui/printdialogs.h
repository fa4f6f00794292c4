#pragma once
// PrintDialogs: every print dialog of the program goes through here. In test mode (ground/testmode.h)
// no dialog appears: each request takes the next answer the test queued, and a request with nothing
// queued is a fatal error. An answer names a PDF file that the printer then writes, as a user who
// chose "Print to file", and the pages to print (none: all of them); an empty name stands for "Annulla".

#include <QString>

class QPrinter;
class QWidget;

class PrintDialogs {
public:
    // The system's print dialog on the printer, offering pages 1 to pageCount; false for "Annulla".
    static bool exec(QPrinter &printer, int pageCount, QWidget *parent);

    // Test support.
    static void setNextAnswer(const QString &pdfFile, int fromPage = 0, int toPage = 0);
    static qsizetype pendingAnswers();
    static void clear();
};
