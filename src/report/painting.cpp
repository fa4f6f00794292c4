#include "report/painting.h"

#include <QPainter>

namespace report {

namespace {

// Between a box's edges and its text, so that a frame line never touches a letter.
constexpr double TextPadding = 0.5;

int textFlags(const Element &e)
{
    const int horizontal = e.align == HAlign::Center ? Qt::AlignHCenter : e.align == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft;
    const int vertical = e.valign == VAlign::Center ? Qt::AlignVCenter : e.valign == VAlign::Bottom ? Qt::AlignBottom : Qt::AlignTop;
    return horizontal | vertical | (e.wordWrap ? Qt::TextWordWrap : 0);
}

} // namespace

QFont fontOf(const FontSpec &wanted)
{
    QFont font(wanted.family);
    font.setPointSizeF(wanted.pointSize);
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    return font;
}

void paintElement(QPainter &painter, const Element &e, const QFont &font, const QString &text, QPointF origin, double k)
{
    const QRectF r(origin.x() + e.rect.x() * k, origin.y() + e.rect.y() * k, e.rect.width() * k, e.rect.height() * k);
    // Never thinner than a pixel, or a rule would vanish from the screen at a small zoom.
    const auto pen = [k](double width) { return QPen(Qt::black, std::max(width * k, 1.0), Qt::SolidLine, Qt::FlatCap); };
    if (e.kind == Element::Kind::Rule) {
        painter.setPen(pen(e.lineWidth));
        painter.drawLine(r.topLeft(), r.bottomRight());
        return;
    }
    if (!text.isEmpty()) {
        painter.setPen(Qt::black);
        painter.setFont(font);
        painter.setClipRect(r);
        painter.drawText(r.adjusted(TextPadding * k, 0, -TextPadding * k, 0), textFlags(e), text);
        painter.setClipping(false);
    }
    if (e.frame.any()) {
        painter.setPen(pen(e.frame.width));
        if (e.frame.left)
            painter.drawLine(r.topLeft(), r.bottomLeft());
        if (e.frame.top)
            painter.drawLine(r.topLeft(), r.topRight());
        if (e.frame.right)
            painter.drawLine(r.topRight(), r.bottomRight());
        if (e.frame.bottom)
            painter.drawLine(r.bottomLeft(), r.bottomRight());
    }
}

} // namespace report
