#include "ui/printdialogs.h"

#include "ground/testmode.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

namespace {

struct Answer {
    QString pdfFile;
    int fromPage;
    int toPage;
};

QQueue<Answer> &answers()
{
    static QQueue<Answer> queue;
    return queue;
}

} // namespace

bool PrintDialogs::exec(QPrinter &printer, int pageCount, QWidget *parent)
{
    if (!inTestMode()) {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, pageCount);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
        return dialog.exec() == QDialog::Accepted;
    }
    if (answers().isEmpty())
        qFatal("PrintDialogs: no answer queued for \"%s\"", qPrintable(printer.docName()));
    const Answer answer = answers().dequeue();
    if (answer.pdfFile.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.pdfFile);
    if (answer.fromPage > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(answer.fromPage, answer.toPage);
    }
    return true;
}

void PrintDialogs::setNextAnswer(const QString &pdfFile, int fromPage, int toPage)
{
    answers().enqueue({pdfFile, fromPage, toPage});
}

qsizetype PrintDialogs::pendingAnswers()
{
    return answers().size();
}

void PrintDialogs::clear()
{
    answers().clear();
}
