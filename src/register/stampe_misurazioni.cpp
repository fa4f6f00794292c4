#include "register/stampe_misurazioni.h"

#include "data/engine/table.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "ground/state.h"
#include "report/expression.h"
#include "report/listtemplate.h"
#include "report/templatefile.h"
#include "ui/tabledataset.h"

#include <QDir>

#include <memory>
#include <vector>

using engine::Table;
using namespace report;

namespace verifications {

namespace {

// A4 portrait inside margins of 10 mm.
constexpr double Width = 190;
// The leading of a line of text, in millimetres; the lists are in 9 points, the compressed one in 8.
constexpr double leading(double pointSize)
{
    return pointSize * 0.47;
}
constexpr double Line = leading(9);
constexpr double SmallLine = leading(8);

QString field(const char *name)
{
    return fieldExpression(RegisterSet, QLatin1String(name));
}

QString fields(std::initializer_list<const char *> names, const QString &between = {})
{
    QStringList texts;
    for (const char *name : names)
        texts << field(name);
    return texts.join(between);
}

QString lines(const QStringList &texts)
{
    return texts.join(QLatin1Char('\n'));
}

// A block of lines that are cut, never wrapped, so that each stays on its own line.
Element block(double x, double y, double width, const QStringList &texts, double pointSize = 9, bool bold = false)
{
    Element box = textBox({x, y, width, texts.size() * leading(pointSize) + 1}, lines(texts), pointSize, bold);
    box.wordWrap = false;
    return box;
}

Template portrait(const QString &name)
{
    Template layout;
    layout.name = name;
    layout.page.margins = QMarginsF(10, 10, 10, 10);
    return layout;
}

Band heading(const QString &text)
{
    return Band{BandKind::ReportTitle, 14, {}, {textBox({0, 0, Width, 10}, text, 13, true, HAlign::Center)}};
}

// The shop's four lines: name, VAT number (the shop's own, looked up), address, postal code and town.
QStringList shopLines()
{
    return {field("ragione_sociale"), field("partita_iva"), field("INDIRIZZO"), fields({"CAP", "COMUNE", "PROVINCIA"}, QStringLiteral(" "))};
}

// The lists: three columns (the shop, the meter, the dates) and the technician under them.
struct Columns {
    QString heading;
    QString meterHeading;   // under "Misuratore:"
    QString meterThirdLine;
    QStringList dateHeadings;
    QString thirdDate;
};

Template listOf(const QString &name, const Columns &columns)
{
    constexpr double Meter = 92;
    constexpr double Dates = 154;
    Template layout = portrait(name);
    layout.bands << heading(columns.heading);
    layout.bands << Band{BandKind::PageHeader, 16, {},
                         {block(0, 1, 88, {QStringLiteral("Dati Esercizio")}, 9, true),
                          block(Meter, 1, 60, {QStringLiteral("Misuratore:"), columns.meterHeading}, 9, true),
                          block(Dates, 1, Width - Dates, columns.dateHeadings, 9, true), rule(0, 15.5, Width, 0.3)}};
    const double technician = 2 + 4 * Line + 1.5;
    const double height = technician + Line + 3;
    layout.bands << Band{BandKind::MasterData, height, RegisterSet,
                         {block(0, 2, 88, shopLines()),
                          block(Meter, 2, 60,
                                {fields({"marchio_ms", "denominazione_ms"}, QStringLiteral(" ")),
                                 fields({"logotipo_ms", "Matricola_ms"}, QStringLiteral(" ")), columns.meterThirdLine}),
                          block(Dates, 2, Width - Dates, {field("Data_ini"), field("Data_fine"), columns.thirdDate}),
                          block(0, technician, Width, {QStringLiteral("Tecnico incaricato : ") + field("cogn_nome")}),
                          rule(0, height - 0.5, Width, 0.3)}};
    layout.bands << pageNumberFooter(Width);
    return layout;
}

Template plainList(const QString &name, const QString &title)
{
    return listOf(name, {title, QStringLiteral("Tipo istallazione:"), field("tipo_int_str"),
                         {QStringLiteral("Data inizio"), QStringLiteral("Data fine"), QStringLiteral("Esito")}, field("esito_str")});
}

const QString PeriodHeading = QStringLiteral("Stampa elenco verifiche dal [data1] al [data2]");

Template compressedList()
{
    // Two lines a row: the shop beside the dates, then the meter beside technician, outcome and next date.
    constexpr double Right = 100;
    constexpr double Outcome = 138;
    constexpr double Next = 160;
    constexpr double Second = SmallLine + 0.5;
    Template layout = portrait(QStringLiteral("Elenco"));
    layout.bands << heading(PeriodHeading);
    const auto title = [](double x, double y, double width, const QString &text) { return block(x, y, width, {text}, 8, true); };
    Element nextHeading = textBox({Next, 1, Width - Next, 2 * SmallLine + 1}, QStringLiteral("Data prossima verifica"), 8, true);
    layout.bands << Band{BandKind::PageHeader, 2 * SmallLine + 4, {},
                         {title(0, 1, 98, QStringLiteral("Dati Esercizio")), title(Right, 1, 20, QStringLiteral("Data inizio")),
                          title(Right + 21, 1, 20, QStringLiteral("Data fine")),
                          title(0, 1 + Second, 98, QStringLiteral("Misuratore:")),
                          title(Right, 1 + Second, 37, QStringLiteral("Tecnico")), title(Outcome, 1 + Second, 22, QStringLiteral("Esito")),
                          nextHeading, rule(0, 2 * SmallLine + 3.5, Width, 0.3)}};
    const QString shop = field("ragione_sociale") + QStringLiteral("--") + field("INDIRIZZO") + field("CAP") + QLatin1Char(' ')
        + field("COMUNE") + QLatin1Char(' ');
    const QString meter = QLatin1Char(' ') + field("denominazione_ms") + QLatin1Char(' ') + field("Matricola_ms") + field("tipo_int_str");
    layout.bands << Band{BandKind::MasterData, 2 * SmallLine + 3.5, RegisterSet,
                         {block(0, 1, 98, {shop}, 8), block(Right, 1, Width - Right, {fields({"Data_ini", "Data_fine"}, QStringLiteral("---"))}, 8),
                          block(0, 1 + Second, 98, {meter}, 8), block(Right, 1 + Second, 37, {field("cogn_nome")}, 8),
                          block(Outcome, 1 + Second, 22, {field("esito_str")}, 8),
                          block(Next, 1 + Second, Width - Next, {field("data_nuova_verifica")}, 8),
                          rule(0, 2 * SmallLine + 3, Width, 0.1)}};
    layout.bands << pageNumberFooter(Width);
    return layout;
}

Template singleVerification()
{
    Template layout = portrait(QStringLiteral("Singola verifica"));
    Element title = block(0, 0, Width,
                          {QStringLiteral("Verifica periodica al misuratore con matricola:"),
                           field("Matricola_ms") + QStringLiteral(" - ") + field("marchio_ms") + field("denominazione_ms"), field("logotipo_ms")},
                          12, true);
    title.align = HAlign::Center;
    layout.bands << Band{BandKind::ReportTitle, 26, {}, {title, rule(0, 23, Width, 0.4)}};

    constexpr double Body = 8 + 4 * leading(10) + 4;
    const QStringList text{
        QStringLiteral("In data  ") + field("Data_ini") + QStringLiteral(" è iniziata la verifca periodica sul misuratore fiscale:"),
        fields({"marchio_ms", "denominazione_ms"}, QStringLiteral(" ")),
        fields({"logotipo_ms", "Matricola_ms"}, QStringLiteral(" ")),
        QString(),
        QStringLiteral("L'intervento sul misuratore riguarda : ") + field("tipo_int_str") + QStringLiteral("."),
        QStringLiteral("La verifica si è conclusa in data :") + field("Data_fine"),
        QString(),
        QStringLiteral("L'intervento ha dato ") + field("esito_str"),
        QString(),
        QStringLiteral("Il tecnico incaricato : ") + field("cogn_nome")};
    Element body = textBox({0, Body, Width, text.size() * leading(11) + 1}, lines(text), 11);
    layout.bands << Band{BandKind::MasterData, Body + text.size() * leading(11) + 4, RegisterSet,
                         {block(0, 2, Width, {QStringLiteral("DITTA:")}, 10, true), block(8, 8, Width - 8, shopLines(), 10), body}};
    return layout;
}

// The data sets of one preview: bound to the report while it lasts, taken away after, whatever happens.
class BoundSets {
public:
    explicit BoundSets(Report &report) : m_report(report) {}
    ~BoundSets()
    {
        for (const QString &name : std::as_const(m_names))
            m_report.setDataSet(name, nullptr);
    }
    BoundSets(const BoundSets &) = delete;
    BoundSets &operator=(const BoundSets &) = delete;

    void bind(const QString &name, const Table &table, TableDataSet::Rows rows)
    {
        m_sets.push_back(std::make_unique<TableDataSet>(table, rows));
        m_report.setDataSet(name, m_sets.back().get());
        m_names << name;
    }

private:
    Report &m_report;
    std::vector<std::unique_ptr<TableDataSet>> m_sets;
    QStringList m_names;
};

// Whatever the print did, the register shows every row again afterwards.
struct SelectionEnd {
    Table &table;
    ~SelectionEnd() { endSelection(table); }
};

} // namespace

Template builtInTemplate(BuiltInPrint print)
{
    switch (print) {
    case BuiltInPrint::Period:
        return listOf(QStringLiteral("Elenco"), {PeriodHeading, QStringLiteral("Tipo Int. - Esito:"), fields({"tipo_int_str", "esito_str"}),
                                                 {QStringLiteral("Data inizio"), QStringLiteral("Data fine"), QStringLiteral("prossima ")},
                                                 field("data_nuova_verifica")});
    case BuiltInPrint::Single:
        return singleVerification();
    case BuiltInPrint::ShopCard:
        return plainList(QStringLiteral("scheda ditta"), QStringLiteral("Stampa scheda verifiche del cliente: [rag_soc]"));
    case BuiltInPrint::Outcome:
        return plainList(QStringLiteral("stampa per esito"), QStringLiteral("Stampa elenco verifiche con esito : [esito]"));
    case BuiltInPrint::Technician:
        return plainList(QStringLiteral("stampa per tecnico"), QStringLiteral("Stampa elenco verifiche del tecnico: [tecnico]"));
    case BuiltInPrint::PeriodCompressed:
        return compressedList();
    case BuiltInPrint::Type:
        return plainList(QStringLiteral("stampa per tipo intervento"), QStringLiteral("Stampa elenco verifiche per tipo intervento "));
    }
    return {};
}

QStringList userTemplateNames()
{
    const QDir folder(QDir(appState().DirBase).filePath(QStringLiteral("frf")));
    return folder.entryList({QStringLiteral("*.frf")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
}

QString userTemplatePath(const QString &name)
{
    return QDir(QDir(appState().DirBase).filePath(QStringLiteral("frf"))).filePath(name);
}

RegisterPrints::RegisterPrints(Tdm &data) : m_data(data)
{
    for (int print = 0; print < 7; ++print)
        m_builtIn[print].setLayout(builtInTemplate(BuiltInPrint(print)));
    answerHeader(m_builtIn[int(BuiltInPrint::Period)]);
    answerHeader(m_builtIn[int(BuiltInPrint::PeriodCompressed)]);
    answerHeader(m_user);
}

void RegisterPrints::answerHeader(Report &report)
{
    report.setValueCallback([this](const QString &name) -> std::optional<QString> {
        if (name == QLatin1String("Header"))
            return m_header;
        return std::nullopt;
    });
}

Selection RegisterPrints::printList(BuiltInPrint print, const Selection &selection, const Preview &preview)
{
    if (!selection.applied)
        return selection;
    const SelectionEnd end{*m_data.Tabmisurazioni};
    Report &report = m_builtIn[int(print)];
    BoundSets sets(report);
    sets.bind(RegisterSet, *m_data.Tabmisurazioni, TableDataSet::Rows::All);
    preview(report);
    return selection;
}

Selection RegisterPrints::printPeriod(const Period &period, bool compressed, const Preview &preview)
{
    Table &table = *m_data.Tabmisurazioni;
    const Selection selection = selectPeriod(table, period);
    const BuiltInPrint print = compressed ? BuiltInPrint::PeriodCompressed : BuiltInPrint::Period;
    m_builtIn[int(print)].setVariable(QStringLiteral("data1"), period.from);
    m_builtIn[int(print)].setVariable(QStringLiteral("data2"), period.to);
    m_header = period.from;
    return printList(print, selection, preview);
}

Selection RegisterPrints::printShopCard(const QString &shopId, const QString &shopName, const Preview &preview)
{
    const Selection selection = selectShop(*m_data.Tabmisurazioni, shopId);
    m_builtIn[int(BuiltInPrint::ShopCard)].setVariable(QStringLiteral("rag_soc"), shopName);
    return printList(BuiltInPrint::ShopCard, selection, preview);
}

Selection RegisterPrints::printOutcome(int outcome, const Preview &preview)
{
    const Selection selection = selectOutcome(*m_data.Tabmisurazioni, outcome);
    m_builtIn[int(BuiltInPrint::Outcome)].setVariable(QStringLiteral("esito"),
                                                      outcome == 0 ? QStringLiteral("Positivo") : QStringLiteral("Negativo"));
    return printList(BuiltInPrint::Outcome, selection, preview);
}

Selection RegisterPrints::printTechnician(const QVariant &technicianId, const QString &name, const Preview &preview)
{
    const Selection selection = selectTechnician(*m_data.Tabmisurazioni, technicianId);
    m_builtIn[int(BuiltInPrint::Technician)].setVariable(QStringLiteral("tecnico"), name);
    return printList(BuiltInPrint::Technician, selection, preview);
}

Selection RegisterPrints::printType(const QString &type, const Preview &preview)
{
    return printList(BuiltInPrint::Type, selectType(*m_data.Tabmisurazioni, type), preview);
}

void RegisterPrints::printCurrent(const Preview &preview)
{
    Report &report = m_builtIn[int(BuiltInPrint::Single)];
    BoundSets sets(report);
    sets.bind(RegisterSet, *m_data.Tabmisurazioni, TableDataSet::Rows::Current);
    preview(report);
}

void RegisterPrints::loadUserTemplate(const QString &name)
{
    m_userPath.clear();
    m_user.setLayout({});
    QString ignored;
    const QString path = userTemplatePath(name);
    if (const std::optional<Template> layout = loadTemplate(path, &ignored)) {
        m_user.setLayout(*layout);
        m_userPath = path;
    }
}

Selection RegisterPrints::printWithUserTemplate(const QString &from, const Preview &preview)
{
    Table &table = *m_data.Tabmisurazioni;
    if (table.isEmpty())
        return {};
    const QVariant id = table.value(QStringLiteral("Id_misurazioni"));
    const QVariant shop = table.value(QStringLiteral("Id_esercizio"));
    const QVariant model = table.value(QStringLiteral("Id_ms"));
    const QVariant technician = table.value(QStringLiteral("Id_tecnico"));
    const Selection selection = selectRow(table, id);
    if (!selection.applied)
        return selection;
    // Every row again, the cursor back on the printed one.
    struct Back {
        Table &table;
        QVariant id;
        ~Back()
        {
            endSelection(table);
            ignoringFailures([this] { table.locate(QStringLiteral("Id_misurazioni"), {id}); });
        }
    } const back{table, id};

    // A registry without the row's own record takes no part: it would print another's fields.
    BoundSets sets(m_user);
    sets.bind(RegisterSet, table, TableDataSet::Rows::All);
    const auto stand = [&](const QString &set, Table *registry, const QString &key, const QVariant &value) {
        bool found = false;
        ignoringFailures([&] { found = !value.isNull() && registry->locate(key, {value}); });
        if (found)
            sets.bind(set, *registry, TableDataSet::Rows::Current);
        return found;
    };
    stand(ModelSet, m_data.Tabms, QStringLiteral("Id_ms"), model);
    stand(ShopSet, m_data.Tabesercizio, QStringLiteral("Id_esercizio"), shop);
    if (stand(TechnicianSet, m_data.Tabtecnico, QStringLiteral("Id_tecnico"), technician))
        stand(AuthorisationSet, m_data.TabLsogg, QStringLiteral("Id_Lsogg"), m_data.Tabtecnico->value(QStringLiteral("Id_sogg")));
    m_header = from;
    preview(m_user);
    return selection;
}

} // namespace verifications
