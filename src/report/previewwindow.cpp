#include "report/previewwindow.h"

#include "ground/messages.h"
#include "report/commandbutton.h"
#include "report/painting.h"
#include "report/windowservices.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace report {

namespace {

constexpr int PageWidth = -1; // zoom items that fit the page to the view
constexpr int WholePage = -2;
const int Percentages[] = {25, 50, 75, 100, 150, 200, 300, 400};

} // namespace

// The page on a grey desk, drawn once for each page and zoom; the box found is outlined over it.
class PageView : public QWidget {
public:
    static constexpr int Desk = 12;

    PageView(const PreparedReport &report, QWidget *parent) : QWidget(parent), m_report(report)
    {
        setObjectName(QStringLiteral("pageView"));
        setAutoFillBackground(true);
        QPalette desk = palette();
        desk.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(desk);
    }

    int page() const { return m_page; }
    double pixelsPerMm() const { return m_dpi / MmPerInch; }

    // The resolution is kept to whole dots per inch, as a painting device counts them.
    void showPage(int page, double pixelsPerMm)
    {
        const int dpi = std::max(1, int(std::lround(pixelsPerMm * MmPerInch)));
        if (page == m_page && dpi == m_dpi)
            return;
        m_page = page;
        m_dpi = dpi;
        m_image = QImage();
        const QSizeF paper = m_report.page().paperSize() * this->pixelsPerMm();
        setFixedSize(int(std::ceil(paper.width())) + 2 * Desk, int(std::ceil(paper.height())) + 2 * Desk);
        update();
    }

    void setHighlight(const QRectF &mm)
    {
        m_highlight = mm;
        update();
    }
    QRect highlightOnScreen() const
    {
        const double k = pixelsPerMm();
        return QRectF(m_highlight.topLeft() * k, m_highlight.size() * k).translated(Desk, Desk).toAlignedRect();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull() && m_page >= 0) {
            const QSizeF paper = m_report.page().paperSize() * pixelsPerMm();
            m_image = QImage(int(std::ceil(paper.width())), int(std::ceil(paper.height())), QImage::Format_RGB32);
            const int dotsPerMeter = int(std::lround(m_dpi / 0.0254));
            m_image.setDotsPerMeterX(dotsPerMeter);
            m_image.setDotsPerMeterY(dotsPerMeter);
            m_image.fill(Qt::white);
            QPainter painter(&m_image);
            m_report.paintPage(painter, m_page);
        }
        QPainter painter(this);
        painter.fillRect(m_image.rect().translated(Desk + 3, Desk + 3), QColor(0x50, 0x50, 0x50));
        painter.drawImage(Desk, Desk, m_image);
        if (!m_highlight.isNull()) {
            painter.setPen(QPen(QColor(0xd0, 0x10, 0x10), 2));
            painter.setBrush(QColor(0xff, 0xe0, 0x00, 0x60));
            painter.drawRect(highlightOnScreen().adjusted(-2, -2, 2, 2));
        }
    }

private:
    const PreparedReport &m_report;
    int m_page = -1;
    int m_dpi = 96;
    QImage m_image;
    QRectF m_highlight;
};

PreviewWindow::PreviewWindow(PreparedReport report, WindowServices &services, QWidget *parent)
    : QDialog(parent), m_report(std::move(report)), m_services(services)
{
    setObjectName(QStringLiteral("previewWindow"));
    setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(m_report.name()));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1000, 780);

    // Made in the order Tab walks them.
    QPushButton *first = commandButton(this, "firstPage", QStringLiteral("Prima"), [this] { showPage(0); });
    QPushButton *prior = commandButton(this, "priorPage", QStringLiteral("Precedente"), [this] { showPage(currentPage() - 1); });
    m_pageNumber = new QSpinBox(this);
    m_pageNumber->setObjectName(QStringLiteral("pageNumber"));
    m_pageNumber->setRange(1, std::max(1, m_report.pageCount()));
    m_pageNumber->setKeyboardTracking(false);
    connect(m_pageNumber, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    m_pageTotal = new QLabel(QStringLiteral("di %1").arg(m_report.pageCount()), this);
    QPushButton *next = commandButton(this, "nextPage", QStringLiteral("Successiva"), [this] { showPage(currentPage() + 1); });
    QPushButton *last = commandButton(this, "lastPage", QStringLiteral("Ultima"), [this] { showPage(m_report.pageCount() - 1); });

    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("zoom"));
    m_zoom->addItem(QStringLiteral("Larghezza pagina"), PageWidth);
    m_zoom->addItem(QStringLiteral("Pagina intera"), WholePage);
    for (int percent : Percentages)
        m_zoom->addItem(QStringLiteral("%1%").arg(percent), percent);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &PreviewWindow::applyZoom);

    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findText"));
    m_find->setPlaceholderText(QStringLiteral("testo da cercare"));
    m_find->setMinimumWidth(160);
    connect(m_find, &QLineEdit::returnPressed, this, &PreviewWindow::findNext);
    QPushButton *find = commandButton(this, "findButton", QStringLiteral("Trova"), &PreviewWindow::findNext);
    QPushButton *printButton = commandButton(this, "printButton", QStringLiteral("Stampa..."), &PreviewWindow::print);
    QPushButton *pdf = commandButton(this, "pdfButton", QStringLiteral("Salva PDF..."), &PreviewWindow::saveAsPdf);
    QPushButton *close = commandButton(this, "closeButton", QStringLiteral("Chiudi"), &PreviewWindow::reject);

    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{first, prior, m_pageNumber, m_pageTotal, next, last})
        bar->addWidget(w);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    bar->addWidget(m_zoom);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("Trova:"), this));
    bar->addWidget(m_find);
    bar->addWidget(find);
    bar->addStretch();
    bar->addWidget(printButton);
    bar->addWidget(pdf);
    bar->addWidget(close);

    m_view = new PageView(m_report, this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pageScroll"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    const auto shortcut = [this](const QKeySequence &keys, auto handler) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
    };
    shortcut(Qt::CTRL | Qt::Key_P, &PreviewWindow::print);
    shortcut(Qt::CTRL | Qt::Key_F, [this] {
        m_find->setFocus();
        m_find->selectAll();
    });
    shortcut(Qt::Key_F3, &PreviewWindow::findNext);
    shortcut(Qt::Key_PageDown, [this] { showPage(currentPage() + 1); });
    shortcut(Qt::Key_PageUp, [this] { showPage(currentPage() - 1); });
    shortcut(Qt::CTRL | Qt::Key_Home, [this] { showPage(0); });
    shortcut(Qt::CTRL | Qt::Key_End, [this] { showPage(m_report.pageCount() - 1); });
    for (QKeyCombination in : {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal})
        shortcut(in, [this] { stepZoom(1); });
    shortcut(Qt::CTRL | Qt::Key_Minus, [this] { stepZoom(-1); });

    m_zoom->setCurrentIndex(0);
    m_view->showPage(0, pixelsPerMm());
    applyZoom();
    updatePageControls();
}

PreviewWindow::~PreviewWindow() = default;

int PreviewWindow::currentPage() const
{
    return std::max(m_view->page(), 0);
}

double PreviewWindow::pixelsPerMm() const
{
    return m_view->pixelsPerMm();
}

void PreviewWindow::showPage(int page)
{
    page = std::clamp(page, 0, std::max(m_report.pageCount() - 1, 0));
    if (page != currentPage()) {
        m_view->showPage(page, pixelsPerMm());
        m_view->setHighlight(m_match.page == page ? m_match.rect : QRectF());
        m_scroll->verticalScrollBar()->setValue(0);
    }
    updatePageControls();
}

void PreviewWindow::updatePageControls()
{
    const QSignalBlocker blocker(m_pageNumber);
    m_pageNumber->setValue(currentPage() + 1);
}

void PreviewWindow::applyZoom()
{
    const int choice = m_zoom->currentData().toInt();
    const QSizeF paper = m_report.page().paperSize();
    const QSize room = m_scroll->viewport()->size() - QSize(2 * PageView::Desk, 2 * PageView::Desk);
    double k = logicalDpiX() / MmPerInch * choice / 100.0;
    if (choice == PageWidth)
        k = (room.width() - m_scroll->verticalScrollBar()->sizeHint().width()) / paper.width();
    else if (choice == WholePage)
        k = std::min(room.width() / paper.width(), room.height() / paper.height());
    m_view->showPage(currentPage(), std::max(k, 0.5));
}

void PreviewWindow::stepZoom(int steps)
{
    const double percent = pixelsPerMm() * MmPerInch * 100.0 / logicalDpiX();
    int target = steps > 0 ? Percentages[std::size(Percentages) - 1] : Percentages[0];
    for (int p : Percentages) {
        if (steps > 0 && p > percent + 1) {
            target = p;
            break;
        }
        if (steps < 0 && p < percent - 1)
            target = p;
    }
    m_zoom->setCurrentIndex(m_zoom->findData(target));
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A zoom that fits the page follows the view's size.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_zoom->currentData().toInt() < 0)
        applyZoom();
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() != 0)
                stepZoom(wheel->angleDelta().y() > 0 ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PreviewWindow::findNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return;
    // A new text is looked for from the page shown; the same one again after the box last found.
    Match from;
    from.page = currentPage();
    if (text == m_searched && m_match.found())
        from = m_match;
    m_searched = text;
    m_match = m_report.find(text, from);
    if (!m_match.found() && (from.page > 0 || from.band >= 0))
        m_match = m_report.find(text);
    if (!m_match.found()) {
        m_view->setHighlight({});
        Messages::information(QStringLiteral("Il testo \"%1\" non compare nella stampa.").arg(text));
        return;
    }
    showPage(m_match.page);
    m_view->setHighlight(m_match.rect);
    const QRect box = m_view->highlightOnScreen();
    m_scroll->ensureVisible(box.center().x(), box.center().y(), box.width() / 2 + 40, box.height() / 2 + 40);
}

void PreviewWindow::print()
{
    if (m_report.pageCount() == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    printer.setFullPage(true);
    printer.setDocName(m_report.name());
    if (!m_services.choosePrinter(printer, m_report.pageCount(), this))
        return;
    int first = 0;
    int last = m_report.pageCount() - 1;
    if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = currentPage();
    } else if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage(), 1, m_report.pageCount()) - 1;
        last = std::clamp(printer.toPage(), first + 1, m_report.pageCount()) - 1;
    }
    if (!m_report.paintPages(printer, first, last))
        Messages::error(QStringLiteral("La stampa non è riuscita: la stampante non ha accettato il documento."));
}

void PreviewWindow::saveAsPdf()
{
    QString path = m_services.saveFileName(this, QStringLiteral("Salva come PDF"), {}, QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    QString error;
    if (!m_report.writePdf(path, &error))
        Messages::error(error);
}

} // namespace report
