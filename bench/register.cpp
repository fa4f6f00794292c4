// The register window against what its grid needs from SQLite. Opening: the window made, shown and
// painted over the data module's year, against the grid's query with its three joins. TROVA and
// FILTRA on the company name, clicked as the user clicks them, against the same WHERE. A screen of the
// grid drawn at random places, against reading its rows with their joins by rowid.

#include "register.h"

#include "data/tdm.h"
#include "ground/state.h"
#include "register/misurazioniw.h"
#include "ui/dbgrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>

#include <optional>

namespace bench {

namespace {

constexpr int ScreenRows = 40;
constexpr int Screens = 20;

// What the grid shows of a row, its looked-up columns joined as the engine looks them up.
const QByteArray GridQuery =
    "SELECT m.Matricola_ms, m.Tipo_intervento, e.Ragione_sociale, e.Piva, t.Cogn_nome, m.Data_ini, m.Data_fine, "
    "m.data_nuova_verifica, m.Esito, s.Marchio_ms, s.Denominazione_ms, s.Logotipo_ms, m.CAP, m.COMUNE, m.INDIRIZZO, "
    "m.PROVINCIA, m.Id_esercizio, m.Trimestre FROM misurazioni2 m LEFT JOIN shops.esercizio e ON e.Id_esercizio = m.Id_esercizio "
    "LEFT JOIN technicians.tecnici t ON t.Id_tecnico = m.Id_tecnico LEFT JOIN models.ms s ON s.Id_ms = m.Id_ms";
const QByteArray Order = " ORDER BY m.Data_fine COLLATE NOCASE, m.rowid";

void attachRegistries(Baseline &b)
{
    const QString data = appState().dataDir();
    b.exec("ATTACH '" + tablePath(data, "esercizio").toUtf8() + "' AS shops");
    b.exec("ATTACH '" + tablePath(data, "tecnici").toUtf8() + "' AS technicians");
    b.exec("ATTACH '" + tablePath(data, "ms").toUtf8() + "' AS models");
}

void click(QWidget &window, const char *name)
{
    window.findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
    QApplication::processEvents();
}

} // namespace

void registerLines(QList<Line> &lines)
{
    const long before = rssKb();
    Tdm data;
    Table *table = data.Tabmisurazioni;
    const int count = table->recordCount();
    table->setRecNo(1 + int(QRandomGenerator::global()->bounded(count)));
    const QString company = table->asString(QStringLiteral("r_ditta"));
    table->first();

    const QString file = tablePath(appState().yearDir(), "misurazioni2");
    PlainC c(file);
    QtSql qt(file);
    attachRegistries(c);
    attachRegistries(qt);

    std::optional<TMisurazioniForm> window;
    {
        const int cs = c.prepare(GridQuery + Order), qs = qt.prepare(GridQuery + Order);
        const double cOpen = timeMs([&] { c.readAll(cs, {}); }, 3);
        const double qtOpen = timeMs([&] { qt.readAll(qs, {}); }, 3);
        double engOpen = 1e300;
        for (int i = 0; i < 3; ++i) {
            window.reset();
            engOpen = std::min(engOpen, timeMs([&] {
                window.emplace();
                window->show();
                QApplication::processEvents();
            }));
        }
        lines << Line{QStringLiteral("register window open on %1 interventions").arg(count), engOpen, qtOpen, cOpen};
        std::printf("(the process with the data module and the register window open: %.1f MB, %.1f MB of it since before the data module)\n",
                    rssKb() / 1024.0, (rssKb() - before) / 1024.0);
    }

    QLineEdit *text = window->findChild<QLineEdit *>(QStringLiteral("Edit1"));
    const auto selection = [&](const char *command, const QString &typed) {
        return [&, command, typed] {
            text->setText(typed);
            click(*window, command);
        };
    };
    {
        // TROVA on the company name, the substring a user types.
        const QString part = company.left(5);
        const QByteArray sql = "SELECT m.rowid FROM misurazioni2 m WHERE instr(m.r_ditta, ?) > 0" + Order;
        const int cs = c.prepare(sql), qs = qt.prepare(sql);
        const Params p{Param::of(part)};
        const double cFind = timeMs([&] { c.readAll(cs, p); }, 3);
        const double qtFind = timeMs([&] { qt.readAll(qs, p); }, 3);
        const double engFind = timeMs(selection("LbSpeedButton1", part), 3);
        lines << Line{QStringLiteral("register TROVA, %1 rows").arg(table->recordCount()), engFind, qtFind, cFind};
    }
    {
        const QByteArray sql = "SELECT m.rowid FROM misurazioni2 m WHERE m.r_ditta = ? COLLATE NOCASE AND m.r_ditta = ?" + Order;
        const int cs = c.prepare(sql), qs = qt.prepare(sql);
        const Params p{Param::of(company), Param::of(company)};
        const double cFilter = timeMs([&] { c.readAll(cs, p); }, 3);
        const double qtFilter = timeMs([&] { qt.readAll(qs, p); }, 3);
        const double engFilter = timeMs(selection("LbSpeedButton3", company), 3);
        lines << Line{QStringLiteral("register FILTRA, %1 rows").arg(table->recordCount()), engFilter, qtFilter, cFilter};
    }
    click(*window, "LbSpeedButton2");

    {
        // The window made as tall as a screen of rows, drawn at screens chosen at random.
        auto *grid = window->findChild<DBGrid *>(QStringLiteral("RxDBGrid1"));
        window->resize(1280, window->height() + ScreenRows * grid->verticalHeader()->defaultSectionSize() - grid->viewport()->height());
        QApplication::processEvents();
        const int shown = grid->rowAt(grid->viewport()->height() - 1) - grid->rowAt(0) + 1;
        QList<int> tops;
        std::vector<Params> rowids;
        for (int i = 0; i < Screens; ++i) {
            tops << int(QRandomGenerator::global()->bounded(count - ScreenRows));
            for (int row = 0; row < ScreenRows; ++row)
                rowids.push_back({Param::of(tops.last() + row + 1)});
        }
        const QByteArray sql = GridQuery + " WHERE m.rowid = ?";
        const int cs = c.prepare(sql), qs = qt.prepare(sql);
        const double cDraw = timeMs([&] { for (const Params &p : rowids) c.readAll(cs, p); }, 3) / Screens;
        const double qtDraw = timeMs([&] { for (const Params &p : rowids) qt.readAll(qs, p); }, 3) / Screens;
        QScrollBar *scroll = grid->verticalScrollBar();
        double engDraw = 0;
        double engRedraw = 0;
        for (int top : std::as_const(tops)) {
            scroll->setValue(top);
            // The first paint of a screen is a scroll's; the grid keeps what it measured for the next ones.
            engDraw += timeMs([&] { grid->viewport()->repaint(); });
            engRedraw += timeMs([&] { grid->viewport()->repaint(); }, 3);
        }
        lines << Line{QStringLiteral("register grid, a screen of %1 rows drawn").arg(shown), engDraw / Screens, qtDraw, cDraw};
        std::printf("(the same screens drawn again: %.3f ms)\n", engRedraw / Screens);
        // The program's share of the drawing: what the grid asks the model for each cell.
        QAbstractItemModel *model = grid->model();
        const double modelDraw = timeMs([&] {
            for (int top : std::as_const(tops))
                for (int r = top; r < top + ScreenRows; ++r)
                    for (int col = 0; col < model->columnCount(); ++col)
                        for (int role : {int(Qt::DisplayRole), int(Qt::BackgroundRole), int(Qt::ForegroundRole)})
                            model->index(r, col).data(role);
        }, 3) / Screens;
        std::printf("(of a screen drawn, its texts, looked-up columns and colours from the model: %.3f ms)\n", modelDraw);
    }
}

} // namespace bench
