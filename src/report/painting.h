#pragma once
// How an element is drawn, the same on a page and in the designer: lengths in millimetres turned
// into the painter's device units at `pixelsPerMm`, so that a point-sized font and the boxes agree at
// any resolution.

#include "report/template.h"

#include <QFont>
#include <QPointF>

class QPainter;

namespace report {

constexpr double MmPerInch = 25.4;

QFont fontOf(const FontSpec &wanted);

// origin: the band's top-left corner in device units.
void paintElement(QPainter &painter, const Element &element, const QFont &font, const QString &text, QPointF origin,
                  double pixelsPerMm);

} // namespace report
