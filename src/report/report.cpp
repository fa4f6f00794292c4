#include "report/report.h"

#include "report/dataset.h"
#include "report/expression.h"
#include "report/painting.h"

namespace report {

namespace {

// A piece of a box's text as the prepare meets it: names are looked up once, before the first band.
struct Binding {
    enum class Kind { Fixed, PageNumber, Field, Callback };
    Kind kind;
    QString text; // fixed text, or the name for the callback
    const DataSet *dataSet = nullptr;
    int field = -1;
};

using Bindings = std::vector<Binding>;

// Allows for the rounding of band heights added up page by page.
constexpr double Tolerance = 1e-6;

} // namespace

void Report::setDataSet(const QString &name, const DataSet *dataSet)
{
    if (dataSet)
        m_dataSets.insert(name, dataSet);
    else
        m_dataSets.remove(name);
}

void Report::setVariable(const QString &name, const QString &value)
{
    m_variables.insert(name, value);
}

PreparedReport Report::prepare() const
{
    PreparedReport out;
    out.m_layout = m_layout;
    const QList<Band> &bands = m_layout.bands;

    // Each box's text compiled once; a box whose text is all fixed takes no room per band printed.
    std::vector<std::vector<Bindings>> compiled(size_t(bands.size()));
    for (qsizetype b = 0; b < bands.size(); ++b) {
        std::vector<int> &slots = out.m_slots.emplace_back();
        std::vector<QFont> &fonts = out.m_fonts.emplace_back();
        int dynamic = 0;
        for (const Element &element : bands[b].elements) {
            fonts.push_back(fontOf(element.font));
            Bindings bindings;
            const QList<Piece> pieces = parseText(element.kind == Element::Kind::Text ? element.text : QString());
            for (const Piece &piece : pieces) {
                if (piece.kind == Piece::Kind::Fixed) {
                    bindings.push_back({Binding::Kind::Fixed, piece.text});
                } else if (piece.kind == Piece::Kind::PageNumber) {
                    bindings.push_back({Binding::Kind::PageNumber, {}});
                } else if (auto v = m_variables.constFind(piece.text); v != m_variables.constEnd()) {
                    bindings.push_back({Binding::Kind::Fixed, *v});
                } else if (const DataSet *set = m_dataSets.value(piece.dataSet); set && set->fieldIndex(piece.field) >= 0) {
                    bindings.push_back({Binding::Kind::Field, {}, set, set->fieldIndex(piece.field)});
                } else {
                    bindings.push_back({Binding::Kind::Callback, piece.text});
                }
            }
            const bool fixed = std::all_of(pieces.begin(), pieces.end(), [](const Piece &p) { return p.kind == Piece::Kind::Fixed; });
            slots.push_back(fixed ? -1 : dynamic++);
            compiled[size_t(b)].push_back(std::move(bindings));
        }
    }

    const auto evaluate = [&](const Bindings &bindings, int page, const DataSet *walked, int row) {
        QString text;
        for (const Binding &piece : bindings) {
            switch (piece.kind) {
            case Binding::Kind::Fixed:
                text += piece.text;
                break;
            case Binding::Kind::PageNumber:
                text += QString::number(page);
                break;
            case Binding::Kind::Field: {
                const int at = piece.dataSet == walked ? row : piece.dataSet->currentRow();
                if (at >= 0 && at < piece.dataSet->rowCount())
                    text += piece.dataSet->text(at, piece.field);
                break;
            }
            case Binding::Kind::Callback:
                if (m_callback)
                    text += m_callback(piece.text).value_or(QString());
                break;
            }
        }
        return text;
    };

    const QSizeF paper = m_layout.page.paperSize();
    const QMarginsF &margins = m_layout.page.margins;
    double footerHeight = 0;
    for (const Band &band : bands) {
        if (band.kind == BandKind::PageFooter)
            footerHeight += band.height;
    }
    const double bottom = paper.height() - margins.bottom() - footerHeight;
    double y = margins.top();
    double pageBodyTop = y;

    const auto place = [&](int b, double top, const DataSet *walked, int row) {
        out.m_placed.push_back({b, top, qsizetype(out.m_texts.size())});
        const std::vector<int> &slots = out.m_slots[size_t(b)];
        for (size_t e = 0; e < slots.size(); ++e) {
            if (slots[e] >= 0)
                out.m_texts.push_back(evaluate(compiled[size_t(b)][e], out.pageCount(), walked, row));
        }
    };
    const auto placeEvery = [&](BandKind kind) {
        for (int b = 0; b < int(bands.size()); ++b) {
            if (bands[b].kind == kind) {
                place(b, y, nullptr, -1);
                y += bands[b].height;
            }
        }
    };
    // The report title opens the first page, above the page header.
    const auto startPage = [&](bool first) {
        out.m_pageStart.push_back(qsizetype(out.m_placed.size()));
        y = margins.top();
        if (first)
            placeEvery(BandKind::ReportTitle);
        placeEvery(BandKind::PageHeader);
        placeEvery(BandKind::ColumnHeader);
        pageBodyTop = y;
    };
    const auto endPage = [&] {
        y = bottom;
        placeEvery(BandKind::PageFooter);
    };

    startPage(true);
    for (int b = 0; b < int(bands.size()); ++b) {
        if (bands[b].kind != BandKind::MasterData)
            continue;
        const DataSet *set = m_dataSets.value(bands[b].dataSet);
        const int rows = set ? set->rowCount() : 1;
        for (int row = 0; row < rows; ++row) {
            // A band that does not fit goes to a new page, unless the page holds nothing else yet: a
            // band taller than the page is printed cut rather than never.
            if (y + bands[b].height > bottom + Tolerance && y > pageBodyTop + Tolerance) {
                endPage();
                startPage(false);
            }
            place(b, y, set, row);
            y += bands[b].height;
        }
    }
    endPage();
    return out;
}

} // namespace report
