// The shops window against what its grid needs from SQLite. Opening: the window made, shown and
// painted over the data module's cursor, against reading the rows of the grid's query. A keystroke of
// the search: the key typed into the search field, the grid moved and painted, against the indexed
// search for the first shop at or after the typed prefix in the name order.

#include "windows.h"

#include "ground/state.h"
#include "data/tdm.h"
#include "registries/eserciziow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>

#include <optional>

namespace bench {

namespace {

constexpr int PrefixLength = 4;
constexpr int Searches = 20;

void type(QWidget *field, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
    QApplication::processEvents();
}

} // namespace

void windowLines(QList<Line> &lines)
{
    Tdm data;
    Table *shops = data.Tabesercizio;
    const int count = shops->recordCount();
    QStringList prefixes;
    for (int i = 0; i < Searches; ++i) {
        shops->setRecNo(1 + int(QRandomGenerator::global()->bounded(count)));
        prefixes << shops->asString(QStringLiteral("Ragione_sociale")).left(PrefixLength);
    }
    shops->first();

    const QString file = tablePath(appState().dataDir(), "esercizio");
    PlainC c(file);
    QtSql qt(file);
    const QByteArray order = " ORDER BY Ragione_sociale COLLATE NOCASE, rowid";
    {
        const QByteArray grid = "SELECT Ragione_sociale, Piva, Comune, Provincia, Indirizzo, Cap FROM esercizio" + order;
        const int cs = c.prepare(grid), qs = qt.prepare(grid);
        const double cOpen = timeMs([&] { c.readAll(cs, {}); }, 3);
        const double qtOpen = timeMs([&] { qt.readAll(qs, {}); }, 3);
        double engOpen = 1e300;
        for (int i = 0; i < 3; ++i) {
            std::optional<TesercizioForm> window;
            engOpen = std::min(engOpen, timeMs([&] {
                window.emplace();
                window->show();
                QApplication::processEvents();
            }));
        }
        lines << Line{QStringLiteral("shops window open on %1 shops").arg(count), engOpen, qtOpen, cOpen};
    }
    {
        // Every prefix of every name typed, one key at a time, as the search sees them; each name begins
        // with the search field emptied, a key too.
        std::vector<Params> typed;
        for (const QString &prefix : std::as_const(prefixes)) {
            for (int n = 0; n <= prefix.size(); ++n)
                typed.push_back({Param::of(prefix.left(n))});
        }
        const int keys = int(typed.size());
        const QByteArray sql = "SELECT rowid FROM esercizio WHERE Ragione_sociale >= ? COLLATE NOCASE" + order + " LIMIT 1";
        const int cs = c.prepare(sql), qs = qt.prepare(sql);
        const double cKey = timeMs([&] { for (const Params &p : typed) c.readInt(cs, p); }, 3) / keys;
        const double qtKey = timeMs([&] { for (const Params &p : typed) qt.readInt(qs, p); }, 3) / keys;
        TesercizioForm window;
        window.show();
        QApplication::processEvents();
        QLineEdit *search = window.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        search->setFocus();
        const double engKey = timeMs([&] {
            for (const QString &prefix : std::as_const(prefixes)) {
                search->clear();
                for (const QChar ch : prefix)
                    type(search, ch);
            }
        }, 3) / keys;
        if (shops->asString(QStringLiteral("Ragione_sociale")).left(PrefixLength) != prefixes.last())
            std::fprintf(stderr, "the search stands on %s, not on %s\n",
                         qPrintable(shops->asString(QStringLiteral("Ragione_sociale"))), qPrintable(prefixes.last()));
        lines << Line{QStringLiteral("shops window, a search keystroke"), engKey, qtKey, cKey};
        // What of the keystroke is the engine's: the partial-key locate in the name order.
        const double locate = timeMs([&] {
            for (const Params &p : typed)
                shops->locate(QStringLiteral("Ragione_sociale"), {p[0].qt}, engine::LocateOption::PartialKey);
        }, 3) / keys;
        std::printf("(the search keystroke's locate alone: %.3f ms)\n", locate);
    }
}

} // namespace bench
