// The report engine's lines: a list of the whole register (a three-line block per intervention, as the
// shop list prints a shop) prepared, its first page shown in the preview, and written as a PDF. The
// baselines read the same rows in the same order from SQLite and build the same block texts; for the
// PDF they draw those texts with QPainter into a QPdfWriter at the engine's resolution, in the
// engine's places: title, page header, blocks with their rules, the page number at the foot.

#include "report.h"

#include "ground/state.h"
#include "report/listtemplate.h"
#include "report/previewwindow.h"
#include "report/report.h"
#include "ui/reportwindows.h"
#include "ui/tabledataset.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>

#include <malloc.h>

#include <cstdio>

namespace bench {

namespace {

const QString Register = QStringLiteral("dm.Tabmisurazioni");

report::ListLayout registerList()
{
    const auto field = [](const char *name) { return QStringLiteral("[%1.\"%2\"]").arg(Register, QLatin1String(name)); };
    return {QStringLiteral("Elenco"), QStringLiteral("Stampa elenco interventi"), QStringLiteral("Dati Intervento"), Register,
            {field("r_ditta"), field("p_iva"), field("COMUNE") + field("INDIRIZZO")}};
}

const QByteArray RowsSql = "SELECT r_ditta, p_iva, COMUNE, INDIRIZZO FROM misurazioni2 ORDER BY Data_fine COLLATE NOCASE, rowid";

// Each row's block text, in the register's date order, from plain C.
template <class Each>
void cBlocks(const QString &file, Each each)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, RowsSql.constData(), int(RowsSql.size()), &s, nullptr);
    const auto text = [&](int column) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)), sqlite3_column_bytes(s, column));
    };
    while (sqlite3_step(s) == SQLITE_ROW)
        each(text(0) + QLatin1Char('\n') + text(1) + QLatin1Char('\n') + text(2) + text(3));
    sqlite3_finalize(s);
    sqlite3_close(db);
}

// The same through Qt SQL.
template <class Each>
void qtBlocks(const QString &file, Each each)
{
    const QString connection = QStringLiteral("report-bench");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        db.open();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec(QString::fromLatin1(RowsSql));
        while (query.next()) {
            each(query.value(0).toString() + QLatin1Char('\n') + query.value(1).toString() + QLatin1Char('\n') +
                 query.value(2).toString() + query.value(3).toString());
        }
    }
    QSqlDatabase::removeDatabase(connection);
}

// The list template's pages drawn by hand, block by block as the rows come.
class HandDrawnList {
public:
    explicit HandDrawnList(const QString &path) : m_writer(path)
    {
        m_writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}, QPageLayout::Millimeter));
        m_writer.setResolution(600);
        m_painter.begin(&m_writer);
        m_body.setPointSizeF(10);
        m_bold = m_body;
        m_bold.setBold(true);
        m_title = m_bold;
        m_title.setPointSizeF(14);
        m_footer.setPointSizeF(9);
        m_painter.setFont(m_title);
        m_painter.drawText(mm(Left, m_y, Width, 10), Qt::AlignHCenter | Qt::AlignTop, m_name);
        m_y += 14;
        header();
    }

    void block(const QString &text)
    {
        if (m_y + Block > Bottom) {
            footer();
            m_writer.newPage();
            m_y = Top;
            header();
        }
        m_painter.setFont(m_body);
        m_painter.drawText(mm(Left, m_y + 1, Width, Block - 3), Qt::AlignLeft | Qt::AlignTop, text);
        rule(m_y + Block - 1, 0.1);
        m_y += Block;
    }

    void finish()
    {
        footer();
        m_painter.end();
    }

private:
    static constexpr double Left = 15, Top = 12, Width = 180, Bottom = 297 - 12 - 8, Block = 3 * 4.6 + 4;
    static constexpr double Dots = 600 / 25.4;

    static QRectF mm(double x, double y, double w, double h) { return {x * Dots, y * Dots, w * Dots, h * Dots}; }
    void rule(double y, double width)
    {
        m_painter.setPen(QPen(Qt::black, width * Dots));
        m_painter.drawLine(QPointF(Left * Dots, y * Dots), QPointF((Left + Width) * Dots, y * Dots));
    }
    void header()
    {
        m_painter.setFont(m_bold);
        m_painter.drawText(mm(Left, m_y + 1, Width, 6), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Dati Intervento"));
        rule(m_y + 8, 0.4);
        m_y += 9;
    }
    void footer()
    {
        rule(Bottom + 1, 0.2);
        m_painter.setFont(m_footer);
        m_painter.drawText(mm(Left, Bottom + 2, Width, 5), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Pagina %1").arg(++m_page));
    }

    const QString m_name = QStringLiteral("Stampa elenco interventi");
    QPdfWriter m_writer;
    QPainter m_painter;
    QFont m_body{QStringLiteral("DejaVu Sans")}, m_bold, m_title, m_footer;
    double m_y = Top;
    int m_page = 0;
};

} // namespace

void reportLines(QList<Line> &lines, const QString &workDir)
{
    const QString file = tablePath(appState().yearDir(), "misurazioni2");
    Table entries;
    entries.setDirectory(appState().yearDir());
    entries.setTableName(QStringLiteral("misurazioni2"));
    entries.setIndexName(QStringLiteral("fineindex"));
    entries.open();
    const int rows = entries.recordCount();
    const TableDataSet dataSet(entries);
    report::Report list(report::listTemplate(registerList()));
    list.setDataSet(Register, &dataSet);

    {
        const auto collect = [](auto read) {
            return timeMs([&] {
                std::vector<QString> texts;
                read([&](QString text) { texts.push_back(std::move(text)); });
            }, 3);
        };
        const double c = collect([&](auto each) { cBlocks(file, each); });
        const double qt = collect([&](auto each) { qtBlocks(file, each); });
        const double engine = timeMs([&] { list.prepare(); }, 3);
        lines << Line{QStringLiteral("prepare a %1-row list").arg(rows), engine, qt, c};
    }

    // What the timed prepares freed goes back to the system first, so that the growth is the list's own.
    malloc_trim(0);
    const long before = rssKb();
    std::optional<report::PreparedReport> prepared(list.prepare());
    std::printf("(the prepared %d-row list, %d pages, takes %.1f MB)\n", rows, prepared->pageCount(), (rssKb() - before) / 1024.0);
    const double shown = timeMs([&] {
        report::PreviewWindow preview(std::move(*prepared), ui::reportServices());
        preview.resize(1280, 800);
        preview.show();
        preview.findChild<QWidget *>(QStringLiteral("pageView"))->grab();
    });
    prepared.reset();
    std::printf("(the preview made and its first page shown: %.1f ms)\n", shown);

    {
        const auto draw = [&](const char *side, auto read) {
            const QString path = QDir(workDir).filePath(QStringLiteral("elenco-%1.pdf").arg(QLatin1String(side)));
            return timeMs([&] {
                HandDrawnList pages(path);
                read([&](const QString &text) { pages.block(text); });
                pages.finish();
            });
        };
        const double c = draw("c", [&](auto each) { cBlocks(file, each); });
        const double qt = draw("qt", [&](auto each) { qtBlocks(file, each); });
        const QString path = QDir(workDir).filePath(QStringLiteral("elenco-engine.pdf"));
        QString error;
        bool written = false;
        const double engine = timeMs([&] { written = list.prepare().writePdf(path, &error); });
        if (!written)
            std::fprintf(stderr, "%s\n", qPrintable(error));
        lines << Line{QStringLiteral("a %1-row list to PDF (with the prepare)").arg(rows), engine, qt, c};
    }
}

} // namespace bench
