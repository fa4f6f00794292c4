// The report engine's windows as the program opens them: the preview (find across pages, zoom and
// pages, the print dialog, a PDF) and the designer (a box moved with the mouse, saved and previewed).

#include "ground/messages.h"
#include "ground/savefile.h"
#include "guitest.h"
#include "pdftext.h"
#include "report/designcanvas.h"
#include "report/designerwindow.h"
#include "report/previewwindow.h"
#include "report/report.h"
#include "report/templatefile.h"
#include "reportfixture.h"
#include "ui/filedialogs.h"
#include "ui/printdialogs.h"
#include "ui/reportwindows.h"
#include "ui/tabledataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QWheelEvent>

using namespace report;

namespace {

QImage shown(PreviewWindow &preview)
{
    return preview.findChild<QWidget *>(QStringLiteral("pageView"))->grab().toImage();
}

void find(PreviewWindow &preview, const QString &text)
{
    QLineEdit *field = lineEdit(preview, "findText");
    if (field->text() != text)
        typeInto(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace

class tst_ReportWindows : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<fixture::ModelRows> m_rows;
    std::unique_ptr<TableDataSet> m_models;
    std::unique_ptr<Report> m_report;
    QTemporaryDir m_out;

    // 30 models: pages of 9, 10, 10 and 1 rows.
    void setUp() override
    {
        m_rows = std::make_unique<fixture::ModelRows>(30);
        m_models = std::make_unique<TableDataSet>(m_rows->models);
        m_report = std::make_unique<Report>(fixture::countedLayout());
        m_report->setDataSet(fixture::Models, m_models.get());
    }
    void tearDown() override
    {
        m_report.reset();
        m_models.reset();
        m_rows.reset();
    }

    void preview(const std::function<void(PreviewWindow &)> &handler)
    {
        ModalWindows::setNextHandler([handler](QDialog &window) {
            // Its shortcuts work in the active window.
            QVERIFY(QTest::qWaitForWindowActive(&window));
            handler(static_cast<PreviewWindow &>(window));
            window.reject();
        });
        ui::previewReport(*m_report, nullptr);
    }

private Q_SLOTS:
    void findGoesOnToLaterPagesAndStartsAgain()
    {
        preview([this](PreviewWindow &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Anteprima di stampa - Prova"));
            find(window, QStringLiteral("m025"));
            QCOMPARE(window.currentPage(), 2);
            QCOMPARE(window.lastMatch().page, 2);
            // Row 25 is the sixth of the third page, under the margin and the header: 10 + 10 + 5 x 25 mm.
            QCOMPARE(window.lastMatch().rect, QRectF(10, 145, 190, 20));
            shoot(window, QStringLiteral("preview-found"));

            // The same text again from the page shown, then after each box found, then from the start.
            window.showPage(1);
            const QList<int> pages{1, 2, 3, 0, 1};
            for (int page : pages) {
                find(window, QStringLiteral("INTESTAZIONE"));
                QCOMPARE(window.currentPage(), page);
            }

            Messages::clear();
            find(window, QStringLiteral("M999"));
            QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("Il testo \"M999\" non compare nella stampa.")});
            QCOMPARE(window.currentPage(), 1);
        });
    }

    void zoomAndPagesChangeWhatIsShown()
    {
        preview([](PreviewWindow &window) {
            window.resize(1000, 780);
            QCoreApplication::processEvents();
            const QImage first = shown(window);
            QTest::keyClick(&window, Qt::Key_PageDown);
            QCOMPARE(window.currentPage(), 1);
            QVERIFY(shown(window) != first);
            QTest::keyClick(&window, Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(window.currentPage(), 3);
            QTest::keyClick(&window, Qt::Key_PageDown);
            QCOMPARE(window.currentPage(), 3);
            button(window, "priorPage")->click();
            QCOMPARE(window.currentPage(), 2);
            button(window, "firstPage")->click();
            QCOMPARE(window.currentPage(), 0);
            QCOMPARE(shown(window), first);

            // Page width by default: the page takes the view's width.
            auto *scroll = window.findChild<QScrollArea *>(QStringLiteral("pageScroll"));
            const int room = scroll->viewport()->width();
            QVERIFY2(std::abs(shown(window).width() - room) < 40, qPrintable(QString::number(shown(window).width())));
            auto *zoom = window.findChild<QComboBox *>(QStringLiteral("zoom"));
            zoom->setCurrentText(QStringLiteral("200%"));
            const double full = window.logicalDpiX() / 25.4;
            QCOMPARE(std::lround(window.pixelsPerMm() * 100 / full), 200);
            QPoint centre = scroll->viewport()->rect().center();
            QWheelEvent out(centre, scroll->viewport()->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, Qt::ControlModifier,
                            Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(scroll->viewport(), &out);
            QCOMPARE(zoom->currentText(), QStringLiteral("150%"));
            QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
            QCOMPARE(zoom->currentText(), QStringLiteral("200%"));
            zoom->setCurrentText(QStringLiteral("Pagina intera"));
            QVERIFY(shown(window).height() <= scroll->viewport()->height());
            shoot(window, QStringLiteral("preview-whole-page"));
        });
    }

    void printingGoesThroughThePrintDialog_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("footers");
        QTest::newRow("every page") << 0 << 0 << QStringList{"Pagina 1", "Pagina 2", "Pagina 3", "Pagina 4"};
        QTest::newRow("pages 2 to 3") << 2 << 3 << QStringList{"Pagina 2", "Pagina 3"};
        QTest::newRow("a range past the end") << 4 << 9 << QStringList{"Pagina 4"};
    }
    void printingGoesThroughThePrintDialog()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, footers);
        const QString printed = m_out.filePath(QStringLiteral("stampante.pdf"));
        QFile::remove(printed);
        preview([&](PreviewWindow &window) {
            PrintDialogs::setNextAnswer(QString());
            QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
            QVERIFY(!QFile::exists(printed));
            PrintDialogs::setNextAnswer(printed, from, to);
            button(window, "printButton")->click();
        });
        QStringList lastLines;
        for (const QStringList &page : pdf::pages(printed))
            lastLines << page.last();
        QCOMPARE(lastLines, footers);
    }

    void savingAsPdf()
    {
        const QString missingFolder = QDir(m_out.filePath(QStringLiteral("manca"))).filePath(QStringLiteral("x.pdf"));
        const QString saved = m_out.filePath(QStringLiteral("elenco"));
        preview([&](PreviewWindow &window) {
            FileDialogs::setNextFileName(missingFolder);
            button(window, "pdfButton")->click();
            QCOMPARE(Messages::shown().size(), 1);
            QVERIFY2(Messages::shownTexts().value(0).startsWith(QStringLiteral("Il PDF %1 non è stato salvato: ")
                                                                     .arg(QDir::toNativeSeparators(missingFolder))),
                     qPrintable(Messages::shownTexts().value(0)));
            FileDialogs::setNextFileName(saved);
            button(window, "pdfButton")->click();
        });
        const QList<QStringList> pages = pdf::pages(saved + QStringLiteral(".pdf"));
        QCOMPARE(pages.size(), 4);
        QCOMPARE(pages[3], (QStringList{"INTESTAZIONE", "RIGA M030", "Pagina 4"}));
    }

    void aBoxMovedWithTheMouseIsSavedAndPreviewedThere()
    {
        const QString path = m_out.filePath(QStringLiteral("prova.frf"));
        QVERIFY(saveTemplate(m_report->layout(), path, nullptr));
        QRectF moved;
        ModalWindows::setNextHandler([&](QDialog &dialog) {
            auto &designer = static_cast<DesignerWindow &>(dialog);
            DesignCanvas *canvas = designer.canvas();
            const QRectF before = designer.layout().bands[1].elements[0].rect;
            const QPoint grip = canvas->elementArea(1, 0).center().toPoint();
            // 40 and 20 pixels are 10.6 and 5.3 mm at 96 dpi, taken in half-millimetre steps.
            const QPoint delta(int(std::lround(10.6 * canvas->pixelsPerMm())), int(std::lround(5.3 * canvas->pixelsPerMm())));
            QTest::mousePress(canvas, Qt::LeftButton, {}, grip);
            QTest::mouseMove(canvas, grip + delta / 2);
            QTest::mouseMove(canvas, grip + delta);
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, grip + delta);
            moved = designer.layout().bands[1].elements[0].rect;
            QCOMPARE(moved, before.translated(10.5, 5.5));
            QCOMPARE(designer.findChild<QDoubleSpinBox *>(QStringLiteral("elementX"))->value(), 10.5);
            QVERIFY(designer.windowTitle().endsWith(QStringLiteral("(modificato)")));
            shoot(designer, QStringLiteral("designer-moved"));

            // Closing before saving asks; No keeps the window.
            Messages::setNextAnswer(false);
            designer.reject();
            QVERIFY(designer.isVisible());

            button(designer, "saveButton")->click();
            QVERIFY(!designer.isModified());
            ModalWindows::setNextHandler([&](QDialog &window) {
                auto &preview = static_cast<PreviewWindow &>(window);
                find(preview, QStringLiteral("RIGA M001"));
                QCOMPARE(preview.lastMatch().rect, moved.translated(10, 40));
                window.reject();
            });
            button(designer, "previewButton")->click();
            designer.reject();
        });
        ui::designReport(*m_report, path, nullptr);
        const std::optional<Template> saved = loadTemplate(path, nullptr);
        QVERIFY(saved);
        QCOMPARE(saved->bands[1].elements[0].rect, moved);
        QCOMPARE(m_report->layout(), *saved);
    }

    void theDesignerEditsBoxesAndBandsFromThePanel()
    {
        ModalWindows::setNextHandler([&](QDialog &dialog) {
            auto &designer = static_cast<DesignerWindow &>(dialog);
            designer.canvas()->setSelection(1, 0);
            auto *text = designer.findChild<QPlainTextEdit *>(QStringLiteral("elementText"));
            QCOMPARE(text->toPlainText(), QStringLiteral("RIGA [dm.Tabms.\"Marchio_ms\"]"));
            text->setPlainText(QStringLiteral("Modello: [dm.Tabms.\"Marchio_ms\"]"));
            designer.findChild<QCheckBox *>(QStringLiteral("fontBold"))->setChecked(true);
            designer.findChild<QCheckBox *>(QStringLiteral("frameBottom"))->setChecked(true);
            designer.findChild<QComboBox *>(QStringLiteral("alignment"))->setCurrentIndex(2);
            const Element &box = designer.layout().bands[1].elements[0];
            QCOMPARE(box.text, QStringLiteral("Modello: [dm.Tabms.\"Marchio_ms\"]"));
            QVERIFY(box.font.bold && box.frame.bottom && !box.frame.top);
            QCOMPARE(box.align, HAlign::Right);
            QCOMPARE(box.rect, QRectF(0, 0, 190, 20));

            button(designer, "addTextButton")->click();
            QCOMPARE(designer.layout().bands[1].elements.size(), 2);
            QTest::keyClick(designer.canvas(), Qt::Key_Right);
            QCOMPARE(designer.layout().bands[1].elements[1].rect.x(), 0.5);
            QTest::keyClick(designer.canvas(), Qt::Key_Delete);
            QCOMPARE(designer.layout().bands[1].elements.size(), 1);

            designer.addBand(BandKind::ColumnHeader);
            QCOMPARE(designer.layout().bands[2].kind, BandKind::ColumnHeader);
            button(designer, "removeBandButton")->click();
            QCOMPARE(designer.layout().bands.size(), 4);
            // A band with boxes goes only on Yes.
            designer.canvas()->setSelection(1, -1);
            Messages::setNextAnswer(false);
            button(designer, "removeBandButton")->click();
            QCOMPARE(designer.layout().bands.size(), 4);

            // A broken file is refused and the template stays.
            const QString broken = m_out.filePath(QStringLiteral("rotto.frf"));
            QVERIFY(saveWholeFile(broken, "non un modello"));
            Messages::clear();
            Messages::setNextAnswer(true);
            FileDialogs::setNextFileName(broken);
            button(designer, "openButton")->click();
            QCOMPARE(Messages::shownTexts().last(),
                     QStringLiteral("Il modello di stampa %1 non è un modello di stampa del programma o è danneggiato.")
                         .arg(QDir::toNativeSeparators(broken)));
            QCOMPARE(designer.layout().bands[1].elements[0].text, QStringLiteral("Modello: [dm.Tabms.\"Marchio_ms\"]"));

            // Not saved: closing on Yes drops the changes.
            Messages::setNextAnswer(true);
            designer.reject();
        });
        ui::designReport(*m_report, QString(), nullptr);
        QCOMPARE(m_report->layout(), fixture::countedLayout());
    }
};

QTEST_MAIN(tst_ReportWindows)
#include "tst_reportwindows.moc"
