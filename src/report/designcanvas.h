#pragma once
// DesignCanvas: a template's bands drawn to scale one under the other, each under a strip naming its
// kind, with their boxes drawn as they print (the bracketed names shown as written). A click selects a
// box (or, elsewhere in a band, the band); dragging a box moves it, dragging the square at its
// bottom-right corner resizes it, dragging a band's lower edge changes its height. Lengths go in steps
// of half a millimetre. From the keyboard the arrows move the box selected (with Shift they resize it)
// and Delete removes it.

#include "report/template.h"

#include <QWidget>

namespace report {

class DesignCanvas : public QWidget {
    Q_OBJECT

public:
    static constexpr double Step = 0.5; // mm

    DesignCanvas(Template &layout, QWidget *parent);

    int band() const { return m_band; }
    int element() const { return m_element; } // -1: the band itself
    void setSelection(int band, int element);

    double pixelsPerMm() const;
    // Where a band's area and an element stand on the canvas.
    QRectF bandArea(int band) const;
    QRectF elementArea(int band, int element) const;

    QSize sizeHint() const override;
    void layoutChanged(); // the template changed from outside: the canvas takes its new size

Q_SIGNALS:
    void selectionChanged();
    void edited();        // a box or a band moved or changed its size
    void removeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Move, Resize, BandHeight };

    QRectF handle(const QRectF &area) const;
    Element *selected();
    void nudge(double dx, double dy, bool resize);

    Template &m_layout;
    int m_band = -1;
    int m_element = -1;
    Drag m_drag = Drag::None;
    QPointF m_pressed;
    QRectF m_original; // the element's rectangle, or the band's height in its height, when the drag began
};

} // namespace report
