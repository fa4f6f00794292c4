#include "report/prepared.h"

#include "ground/savefile.h"
#include "report/painting.h"

#include <QDir>
#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace report {

namespace {

// The PDF writer's output, handed on to a save file that checks every write.
class SaveFileDevice : public QIODevice {
public:
    explicit SaveFileDevice(SaveFile &file) : m_file(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override { return m_file.write(data, size) ? size : -1; }

private:
    SaveFile &m_file;
};

} // namespace

QPageLayout PreparedReport::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), page().landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

qsizetype PreparedReport::pageEnd(int page) const
{
    return page + 1 < pageCount() ? m_pageStart[size_t(page) + 1] : qsizetype(m_placed.size());
}

QString PreparedReport::textOf(const Placed &placed, int element) const
{
    const int slot = m_slots[size_t(placed.band)][size_t(element)];
    return slot < 0 ? m_layout.bands[placed.band].elements[element].text : m_texts[size_t(placed.firstText + slot)];
}

void PreparedReport::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    const double k = painter.device()->logicalDpiX() / MmPerInch;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (qsizetype p = m_pageStart[size_t(page)], end = pageEnd(page); p < end; ++p) {
        const Placed &placed = m_placed[size_t(p)];
        const QList<Element> &elements = m_layout.bands[placed.band].elements;
        const QPointF origin(m_layout.page.margins.left() * k, placed.top * k);
        for (int e = 0; e < int(elements.size()); ++e)
            paintElement(painter, elements[e], m_fonts[size_t(placed.band)][size_t(e)], textOf(placed, e), origin, k);
    }
    painter.restore();
}

bool PreparedReport::paintPages(QPagedPaintDevice &device, int first, int last) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int p = first; p <= last; ++p) {
        if (p > first && !device.newPage())
            return false;
        paintPage(painter, p);
    }
    return painter.end();
}

bool PreparedReport::writePdf(const QString &path, QString *error) const
{
    const auto refuse = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Il PDF %1 non è stato salvato: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    SaveFile file(path);
    if (!file.open())
        return refuse(file.errorString());
    bool painted = false;
    {
        SaveFileDevice device(file);
        QPdfWriter writer(&device);
        writer.setPageLayout(pageLayout());
        writer.setResolution(600);
        writer.setTitle(name());
        writer.setCreator(QStringLiteral("Sigillo"));
        painted = paintPages(writer, 0, pageCount() - 1);
    }
    if (!painted) {
        file.cancel();
        return refuse(QStringLiteral("la pagina non si può disegnare"));
    }
    if (!file.commit())
        return refuse(file.errorString());
    return true;
}

Match PreparedReport::find(const QString &text, const Match &after) const
{
    if (text.isEmpty())
        return {};
    int page = std::max(after.page, 0);
    qsizetype band = after.band;
    int element = after.band < 0 ? -1 : after.element;
    for (; page < pageCount(); ++page, band = -1, element = -1) {
        const qsizetype start = m_pageStart[size_t(page)];
        for (qsizetype b = std::max<qsizetype>(band, 0); start + b < pageEnd(page); ++b, element = -1) {
            const Placed &placed = m_placed[size_t(start + b)];
            const QList<Element> &elements = m_layout.bands[placed.band].elements;
            for (int e = element + 1; e < int(elements.size()); ++e) {
                if (elements[e].kind == Element::Kind::Text && textOf(placed, e).contains(text, Qt::CaseInsensitive))
                    return {page, b, e, elements[e].rect.translated(m_layout.page.margins.left(), placed.top)};
            }
        }
    }
    return {};
}

QStringList PreparedReport::pageTexts(int page) const
{
    QStringList texts;
    if (page < 0 || page >= pageCount())
        return texts;
    for (qsizetype p = m_pageStart[size_t(page)], end = pageEnd(page); p < end; ++p) {
        const QList<Element> &elements = m_layout.bands[m_placed[size_t(p)].band].elements;
        for (int e = 0; e < int(elements.size()); ++e) {
            if (elements[e].kind == Element::Kind::Text)
                texts << textOf(m_placed[size_t(p)], e);
        }
    }
    return texts;
}

} // namespace report
