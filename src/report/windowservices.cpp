#include "report/windowservices.h"

#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace report {

QString WindowServices::openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString WindowServices::saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

bool WindowServices::choosePrinter(QPrinter &printer, int pageCount, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    return dialog.exec() == QDialog::Accepted;
}

int WindowServices::exec(QDialog &window)
{
    return window.exec();
}

} // namespace report
