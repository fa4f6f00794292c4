#pragma once
// What the report tests print: models M001..Mn on a cursor of their own, shown in brand order, and a
// template of round figures whose pages can be counted by hand.

#include "data/engine/table.h"
#include "report/template.h"
#include "testbase.h"

#include <memory>

namespace fixture {

inline const QString Models = QStringLiteral("dm.Tabms");

inline QString brand(int n)
{
    return QStringLiteral("M%1").arg(n, 3, 10, QLatin1Char('0'));
}

// The body ends 20 mm above the paper's foot (margin and footer); on the first page it starts under the
// title and the header, 40 mm down, and holds 9 rows of 25 mm; on the others under the header alone,
// 20 mm down, and holds 10.
inline report::Template countedLayout()
{
    using namespace report;
    Template t;
    t.name = QStringLiteral("Prova");
    t.bands << Band{BandKind::PageFooter, 10, {}, {textBox({0, 1, 190, 8}, QStringLiteral("Pagina [Page#]"))}}
            << Band{BandKind::MasterData, 25, Models, {textBox({0, 0, 190, 20}, QStringLiteral("RIGA [dm.Tabms.\"Marchio_ms\"]"))}}
            << Band{BandKind::PageHeader, 10, {}, {textBox({0, 0, 190, 8}, QStringLiteral("INTESTAZIONE"))}}
            << Band{BandKind::ReportTitle, 20, {}, {textBox({0, 0, 190, 10}, QStringLiteral("TITOLO DI PROVA"))}};
    return t;
}

// The models, stored in the reverse of the brand order that the cursor shows them in.
struct ModelRows {
    TestBase base;
    engine::Table models;

    explicit ModelRows(int count)
    {
        QList<QVariantMap> rows;
        for (int n = count; n >= 1; --n)
            rows << QVariantMap{{"Id_ms", count + 1 - n}, {"Marchio_ms", brand(n)}, {"Denominazione_ms", "X"}, {"Logotipo_ms", "AB"}};
        TestBase::addDataRows(QStringLiteral("ms"), rows);
        models.setDirectory(appState().dataDir());
        models.setTableName(QStringLiteral("ms"));
        models.setIndexName(QStringLiteral("indice1"));
        models.open();
    }
};

} // namespace fixture
