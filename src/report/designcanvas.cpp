#include "report/designcanvas.h"

#include "report/painting.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace report {

namespace {

constexpr int Gutter = 16;    // px around the bands
constexpr int Caption = 20;   // px of the strip above each band
constexpr int Gap = 8;        // px between a band and the next strip
constexpr int HandleSize = 8; // px
constexpr double Grab = 4;    // px either side of a line or an edge that still grabs it

double snapped(double mm)
{
    return std::round(mm / DesignCanvas::Step) * DesignCanvas::Step;
}

} // namespace

DesignCanvas::DesignCanvas(Template &layout, QWidget *parent) : QWidget(parent), m_layout(layout)
{
    setObjectName(QStringLiteral("designCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    layoutChanged();
}

double DesignCanvas::pixelsPerMm() const
{
    return logicalDpiX() / MmPerInch;
}

QRectF DesignCanvas::bandArea(int band) const
{
    const double k = pixelsPerMm();
    double top = Gutter;
    for (int b = 0; b < band; ++b)
        top += Caption + m_layout.bands[b].height * k + Gap;
    return QRectF(Gutter, top + Caption, m_layout.page.contentWidth() * k, m_layout.bands[band].height * k);
}

QRectF DesignCanvas::elementArea(int band, int element) const
{
    const double k = pixelsPerMm();
    const QRectF r = m_layout.bands[band].elements[element].rect;
    return QRectF(bandArea(band).topLeft() + r.topLeft() * k, r.size() * k);
}

QRectF DesignCanvas::handle(const QRectF &area) const
{
    return QRectF(area.bottomRight() - QPointF(HandleSize / 2.0, HandleSize / 2.0), QSizeF(HandleSize, HandleSize));
}

QSize DesignCanvas::sizeHint() const
{
    const int bands = int(m_layout.bands.size());
    const double bottom = bands ? bandArea(bands - 1).bottom() : Gutter;
    return QSize(int(m_layout.page.contentWidth() * pixelsPerMm()) + 2 * Gutter, int(bottom) + Gutter);
}

void DesignCanvas::layoutChanged()
{
    if (m_band >= m_layout.bands.size() || (m_band >= 0 && m_element >= m_layout.bands[m_band].elements.size()))
        setSelection(m_layout.bands.isEmpty() ? -1 : 0, -1);
    setMinimumSize(sizeHint());
    resize(sizeHint());
    update();
}

void DesignCanvas::setSelection(int band, int element)
{
    if (band == m_band && element == m_element)
        return;
    m_band = band;
    m_element = element;
    update();
    Q_EMIT selectionChanged();
}

Element *DesignCanvas::selected()
{
    return m_band >= 0 && m_element >= 0 ? &m_layout.bands[m_band].elements[m_element] : nullptr;
}

void DesignCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd8, 0xd8, 0xd8));
    const double k = pixelsPerMm();
    if (m_layout.bands.isEmpty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Il modello non ha bande: aggiungerne una con \"Nuova banda\"."));
        return;
    }
    for (int b = 0; b < m_layout.bands.size(); ++b) {
        const Band &band = m_layout.bands[b];
        const QRectF area = bandArea(b);
        const QRectF strip(area.left(), area.top() - Caption, area.width(), Caption);
        painter.fillRect(strip, b == m_band && m_element < 0 ? QColor(0x9c, 0xc3, 0xe6) : QColor(0xc4, 0xd4, 0xe4));
        QString caption = bandCaption(band.kind);
        if (band.kind == BandKind::MasterData && !band.dataSet.isEmpty())
            caption += QStringLiteral(": ") + band.dataSet;
        painter.setPen(Qt::black);
        painter.setFont(font());
        painter.drawText(strip.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         caption + QStringLiteral(" (%1 mm)").arg(QLocale().toString(band.height)));
        painter.fillRect(area, Qt::white);
        for (int e = 0; e < band.elements.size(); ++e) {
            const Element &element = band.elements[e];
            paintElement(painter, element, fontOf(element.font), element.text, area.topLeft(), k);
            if (element.kind == Element::Kind::Text && !element.frame.any()) {
                painter.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(elementArea(b, e));
            }
        }
    }
    if (m_band >= 0 && m_element >= 0) {
        const QRectF area = elementArea(m_band, m_element);
        painter.setPen(QPen(QColor(0x10, 0x60, 0xd0), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(-1, -1, 1, 1));
        painter.fillRect(handle(area), QColor(0x10, 0x60, 0xd0));
    }
}

void DesignCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    const QPointF at = event->position();
    m_pressed = at;
    m_drag = Drag::None;
    if (m_band >= 0 && m_element >= 0 && handle(elementArea(m_band, m_element)).contains(at)) {
        m_drag = Drag::Resize;
        m_original = selected()->rect;
        return;
    }
    for (int b = 0; b < m_layout.bands.size(); ++b) {
        const QRectF area = bandArea(b);
        if (std::abs(at.y() - area.bottom()) <= Grab && at.x() >= area.left() && at.x() <= area.right()) {
            setSelection(b, -1);
            m_drag = Drag::BandHeight;
            m_original = QRectF(0, 0, 0, m_layout.bands[b].height);
            return;
        }
        if (!area.adjusted(0, -Caption, 0, 0).contains(at))
            continue;
        // The last drawn is on top.
        for (int e = int(m_layout.bands[b].elements.size()) - 1; e >= 0; --e) {
            if (elementArea(b, e).adjusted(-Grab, -Grab, Grab, Grab).contains(at)) {
                setSelection(b, e);
                m_drag = Drag::Move;
                m_original = selected()->rect;
                return;
            }
        }
        setSelection(b, -1);
        return;
    }
}

void DesignCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (m_drag == Drag::None) {
        bool onEdge = false;
        for (int b = 0; b < m_layout.bands.size() && !onEdge; ++b)
            onEdge = std::abs(at.y() - bandArea(b).bottom()) <= Grab;
        const bool onHandle = m_band >= 0 && m_element >= 0 && handle(elementArea(m_band, m_element)).contains(at);
        setCursor(onHandle ? Qt::SizeFDiagCursor : onEdge ? Qt::SizeVerCursor : Qt::ArrowCursor);
        return;
    }
    const QPointF delta = (at - m_pressed) / pixelsPerMm();
    if (m_drag == Drag::BandHeight) {
        m_layout.bands[m_band].height = std::max(Step, snapped(m_original.height() + delta.y()));
        layoutChanged();
    } else if (Element *element = selected(); element && m_drag == Drag::Move) {
        element->rect.moveTopLeft(QPointF(snapped(m_original.x() + delta.x()), snapped(m_original.y() + delta.y())));
    } else if (element && m_drag == Drag::Resize) {
        // A rule keeps its direction: a horizontal one changes its length only.
        const bool rule = element->kind == Element::Kind::Rule;
        const double width = rule && m_original.width() == 0 ? 0 : std::max(0.0, snapped(m_original.width() + delta.x()));
        const double height = rule && m_original.height() == 0 ? 0 : std::max(0.0, snapped(m_original.height() + delta.y()));
        element->rect.setSize(QSizeF(width, height));
    }
    update();
    Q_EMIT edited();
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent *)
{
    m_drag = Drag::None;
}

void DesignCanvas::nudge(double dx, double dy, bool resize)
{
    Element *element = selected();
    if (!element)
        return;
    if (resize)
        element->rect.setSize(QSizeF(std::max(0.0, element->rect.width() + dx), std::max(0.0, element->rect.height() + dy)));
    else
        element->rect.translate(dx, dy);
    update();
    Q_EMIT edited();
}

void DesignCanvas::keyPressEvent(QKeyEvent *event)
{
    const bool resize = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        return nudge(-Step, 0, resize);
    case Qt::Key_Right:
        return nudge(Step, 0, resize);
    case Qt::Key_Up:
        return nudge(0, -Step, resize);
    case Qt::Key_Down:
        return nudge(0, Step, resize);
    case Qt::Key_Delete:
        if (selected())
            Q_EMIT removeRequested();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace report
