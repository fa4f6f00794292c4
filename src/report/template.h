#pragma once
// A report template: a page and the bands laid out on it, each band holding text boxes and rules.
//
// Every length is in millimetres; an element's position is taken from its band's top-left corner,
// which stands on the page's left margin. A band has a fixed height: what a box cannot hold is cut at
// its edges. Bands print in their kind's place (report title once, page header and column header at the
// top of every page, master data once per row of its data set, page footer at the foot of every page);
// master data bands print one after the other in their order here.
//
// A box's text mixes fixed words with bracketed expressions (report/expression.h).

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QString>

namespace report {

enum class BandKind { ReportTitle, PageHeader, ColumnHeader, MasterData, PageFooter };

// The name the designer shows for a kind.
QString bandCaption(BandKind kind);

struct PageSetup {
    // A4 is the one paper size; landscape turns it.
    bool landscape = false;
    QMarginsF margins{10, 10, 10, 10};

    QSizeF paperSize() const; // with the orientation
    double contentWidth() const { return paperSize().width() - margins.left() - margins.right(); }
    bool operator==(const PageSetup &) const = default;
};

struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec &) const = default;
};

// The sides of a box that carry a line.
struct Frame {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    double width = 0.2;

    bool any() const { return left || top || right || bottom; }
    bool operator==(const Frame &) const = default;
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

// A text box, or a rule: a straight line along the top edge of its rectangle (a rule of height 0 is
// horizontal, one of width 0 vertical, along the left edge).
struct Element {
    enum class Kind { Text, Rule };
    Kind kind = Kind::Text;
    QRectF rect; // mm, from the band's top-left corner
    QString text;
    FontSpec font;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Top;
    bool wordWrap = true;
    Frame frame;
    double lineWidth = 0.3; // of a rule

    bool operator==(const Element &) const = default;
};

struct Band {
    BandKind kind = BandKind::MasterData;
    double height = 10;
    QString dataSet; // master data: the name of the data set it walks; none prints the band once
    QList<Element> elements;
    bool operator==(const Band &) const = default;
};

struct Template {
    QString name; // the report's title: the preview's caption and the print job's name
    PageSetup page;
    QList<Band> bands;
    bool operator==(const Template &) const = default;
};

// Helpers for templates written in code.
Element textBox(const QRectF &rect, const QString &text, double pointSize = 10, bool bold = false,
                HAlign align = HAlign::Left);
Element rule(double x, double y, double length, double lineWidth = 0.3);

} // namespace report
