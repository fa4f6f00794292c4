#include "ui/reportwindows.h"

#include "report/designerwindow.h"
#include "report/previewwindow.h"
#include "report/report.h"
#include "report/windowservices.h"
#include "ui/aprimodale.h"
#include "ui/filedialogs.h"
#include "ui/printdialogs.h"
#include "ui/tabledataset.h"

namespace ui {

namespace {

class ProgramServices : public report::WindowServices {
public:
    QString openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter) override
    {
        return FileDialogs::getOpenFileName(parent, caption, directory, filter);
    }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter) override
    {
        return FileDialogs::getSaveFileName(parent, caption, directory, filter);
    }
    bool choosePrinter(QPrinter &printer, int pageCount, QWidget *parent) override
    {
        return PrintDialogs::exec(printer, pageCount, parent);
    }
    int exec(QDialog &window) override { return ModalWindows::exec(window); }
};

} // namespace

report::WindowServices &reportServices()
{
    static ProgramServices services;
    return services;
}

void previewReport(const report::Report &report, QWidget *parent)
{
    report::PreviewWindow preview(report.prepare(), reportServices(), parent);
    ModalWindows::exec(preview);
}

void previewList(const report::ListLayout &list, const engine::Table &table, QWidget *parent)
{
    const TableDataSet rows(table);
    report::Report report(report::listTemplate(list));
    report.setDataSet(list.dataSet, &rows);
    previewReport(report, parent);
}

void designReport(report::Report &report, const QString &filePath, QWidget *parent)
{
    report::DesignerWindow designer(report, filePath, reportServices(), parent);
    ModalWindows::exec(designer);
}

} // namespace ui
