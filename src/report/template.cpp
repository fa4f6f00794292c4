#include "report/template.h"

namespace report {

QString bandCaption(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle:
        return QStringLiteral("Titolo del report");
    case BandKind::PageHeader:
        return QStringLiteral("Intestazione di pagina");
    case BandKind::ColumnHeader:
        return QStringLiteral("Intestazione di colonna");
    case BandKind::MasterData:
        return QStringLiteral("Dati");
    case BandKind::PageFooter:
        return QStringLiteral("Piè di pagina");
    }
    return {};
}

QSizeF PageSetup::paperSize() const
{
    return landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}

Element textBox(const QRectF &rect, const QString &text, double pointSize, bool bold, HAlign align)
{
    Element box;
    box.rect = rect;
    box.text = text;
    box.font.pointSize = pointSize;
    box.font.bold = bold;
    box.align = align;
    return box;
}

Element rule(double x, double y, double length, double lineWidth)
{
    Element line;
    line.kind = Element::Kind::Rule;
    line.rect = QRectF(x, y, length, 0);
    line.lineWidth = lineWidth;
    return line;
}

} // namespace report
