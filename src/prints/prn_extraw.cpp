#include "prints/prn_extraw.h"

#include "report/expression.h"
#include "report/report.h"
#include "ui/reportwindows.h"
#include "ui/tabledataset.h"

using namespace report;

namespace Tprn_extra {

namespace {

// A4 landscape inside margins of 10 mm.
constexpr double Width = 277;
constexpr double RowHeight = 5.5;

QString field(const char *name)
{
    return fieldExpression(DataSet, QLatin1String(name));
}

QString pair(const char *first, const char *second)
{
    return field(first) + QLatin1Char(' ') + field(second);
}

Element cell(double x, double width, const QString &text)
{
    Element box = textBox({x, 0, width, RowHeight}, text, 8);
    box.wordWrap = false;
    box.valign = VAlign::Center;
    box.frame = Frame{true, true, true, true, 0.2};
    return box;
}

} // namespace

Template layout()
{
    Template table;
    table.name = QStringLiteral("Elenco Interventi");
    table.page.landscape = true;

    // The cells, left to right, and the captions over them: two share a cell twice.
    const struct {
        double width;
        QString value;
        QStringList captions;
    } columns[] = {
        {16, pair("Tipo_intervento", "Esito"), {QStringLiteral("tipo Esito")}},
        {49, field("ragione_sociale"), {QStringLiteral("Ragione Sociale")}},
        {32, field("COMUNE"), {QStringLiteral("comune")}},
        {10, field("PROVINCIA"), {QStringLiteral("prov")}},
        {46, field("INDIRIZZO"), {QStringLiteral("indirizzo")}},
        {12, field("CAP"), {QStringLiteral("cap")}},
        {58, pair("marchio_ms", "denominazione_ms"), {QStringLiteral("marchio"), QStringLiteral("denominazione")}},
        {34, pair("logotipo_ms", "Matricola_ms"), {QStringLiteral("logo"), QStringLiteral("matricola")}},
        {20, field("Data_fine"), {QStringLiteral("data fine:")}},
    };
    Band title{BandKind::ReportTitle, 19, {}, {textBox({0, 0, Width, 8}, QStringLiteral("Elenco Interventi: [filtro]"), 12, true)}};
    Band row{BandKind::MasterData, RowHeight, DataSet, {}};
    double x = 0;
    for (const auto &column : columns) {
        const double share = column.width / column.captions.size();
        for (qsizetype n = 0; n < column.captions.size(); ++n) {
            Element caption = textBox({x + n * share, 12, share, 6}, column.captions[n], 8, true);
            caption.wordWrap = false;
            title.elements << caption;
        }
        row.elements << cell(x, column.width, column.value);
        x += column.width;
    }
    title.elements << rule(0, 18.5, Width, 0.3);
    table.bands << title << row;
    return table;
}

void preview(const engine::Table &interventions, const QString &filterLine, QWidget *parent)
{
    const TableDataSet rows(interventions);
    Report report(layout());
    report.setDataSet(DataSet, &rows);
    report.setVariable(QStringLiteral("filtro"), filterLine);
    ui::previewReport(report, parent);
}

} // namespace Tprn_extra
