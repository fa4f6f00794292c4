#pragma once
// PreparedReport: a report laid out into pages. It keeps its template, where each band stands on which
// page and the texts its boxes took from the data when it was prepared, never a page's drawing: a page
// is drawn when it is shown, printed or written, so a list of many thousand pages takes the memory of
// its texts alone. What was prepared prints the same whatever the data do afterwards.

#include "report/template.h"

#include <QFont>
#include <QPageLayout>

#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace report {

// A box of a page whose text holds what was looked for. rect is in millimetres from the paper's top-left
// corner.
struct Match {
    int page = -1;
    qsizetype band = -1; // the band's place among those of its page
    int element = -1;
    QRectF rect;
    bool found() const { return page >= 0 && band >= 0; }
};

class PreparedReport {
public:
    QString name() const { return m_layout.name; }
    const PageSetup &page() const { return m_layout.page; }
    int pageCount() const { return int(m_pageStart.size()); }
    // A4 in the template's orientation, without margins of its own: the template places everything.
    QPageLayout pageLayout() const;

    // Draws a page (0-based) with the paper's top-left corner at the painter's origin, at the
    // resolution of the painter's device.
    void paintPage(QPainter &painter, int page) const;
    // Pages first to last (0-based) onto a paged device set up with pageLayout(), one sheet each;
    // false when the device refuses to be painted on or to give a new sheet.
    bool paintPages(QPagedPaintDevice &device, int first, int last) const;
    // The whole report as a PDF, written whole or not at all; false with an Italian reason.
    bool writePdf(const QString &path, QString *error) const;

    // The next box after `after` whose text holds `text` (ignoring case), page by page. An `after` that
    // names only a page starts at that page's first box; a default one at the first page.
    Match find(const QString &text, const Match &after = {}) const;
    // The texts of a page's boxes, in the order find() walks them.
    QStringList pageTexts(int page) const;

private:
    friend class Report;

    struct Placed {
        int band;
        double top;          // mm from the paper's top edge
        qsizetype firstText; // where its boxes' prepared texts start in m_texts
    };

    QString textOf(const Placed &placed, int element) const;
    qsizetype pageEnd(int page) const;

    Template m_layout;
    std::vector<std::vector<int>> m_slots; // per band and element: its text's offset, or -1 for a fixed text
    std::vector<std::vector<QFont>> m_fonts;
    std::vector<Placed> m_placed;
    std::vector<qsizetype> m_pageStart; // the first of each page's placed bands
    std::vector<QString> m_texts;
};

} // namespace report
