#include "report/listtemplate.h"

namespace report {

namespace {

// A line of 10-point text, with its leading.
constexpr double LineHeight = 4.6;

} // namespace

Template listTemplate(const ListLayout &list)
{
    Template layout;
    layout.name = list.name;
    layout.page.margins = QMarginsF(15, 12, 15, 12);
    const double width = layout.page.contentWidth();

    layout.bands << Band{BandKind::ReportTitle, 14, {}, {textBox({0, 0, width, 10}, list.title, 14, true, HAlign::Center)}};
    if (!list.pageHeader.isEmpty())
        layout.bands << Band{BandKind::PageHeader, 9, {}, {textBox({0, 1, width, 6}, list.pageHeader, 10, true), rule(0, 8, width, 0.4)}};

    const double blockHeight = list.block.size() * LineHeight + 1;
    Element block = textBox({0, 1, width, blockHeight}, list.block.join(QLatin1Char('\n')));
    block.wordWrap = false;
    layout.bands << Band{BandKind::MasterData, blockHeight + 3, list.dataSet, {block, rule(0, blockHeight + 2, width, 0.1)}};

    layout.bands << pageNumberFooter(width);
    return layout;
}

Band pageNumberFooter(double width)
{
    Element footer = textBox({0, 2, width, 5}, QStringLiteral("Pagina [Page#]"), 9, false, HAlign::Center);
    return Band{BandKind::PageFooter, 8, {}, {rule(0, 1, width, 0.2), footer}};
}

} // namespace report
