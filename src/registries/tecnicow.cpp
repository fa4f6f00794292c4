#include "registries/tecnicow.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "registries/tecnici.h"
#include "registries/zoom_comuniw.h"
#include "ui/dbcombobox.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/dblookupcombobox.h"
#include "ui/radiogroup.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

TtecnicoForm *tecnicoForm = nullptr;

using engine::Table;

namespace {

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");

const QStringList SexItems{QStringLiteral("M=Maschio"), QStringLiteral("F=Femmina")};
const QStringList ResponsibleItems{QStringLiteral("0=NO"), QStringLiteral("1=SI")};
const QStringList EducationItems{QStringLiteral("0=Nessun Titolo;"), QStringLiteral("1=Licenza Elementare;"),
                                 QStringLiteral("2=Licenza Media Inferiore;"), QStringLiteral("3=Licenza Media Superiore;"),
                                 QStringLiteral("4=Laurea;")};
const QStringList QuarterItems{QStringLiteral("Gennaio-Febbraio-Marzo (I° TRIM.)"), QStringLiteral("Aprile-Maggio-Giugno (II° TRIM.)"),
                               QStringLiteral("Luglio-Agosto-Settembre (III° TRIM.)"),
                               QStringLiteral("Ottobre-Novembre-Dicembre (IV° TRIM.)")};

// A locked text field is read-only, drawn on the window's colour and left out of the Enter walk; a
// locked list cannot be opened.
void setLocked(QWidget *field, bool locked)
{
    auto *edit = qobject_cast<QLineEdit *>(field);
    if (!edit) {
        field->setEnabled(!locked);
        return;
    }
    edit->setReadOnly(locked);
    edit->setFocusPolicy(locked ? Qt::NoFocus : Qt::StrongFocus);
    QPalette palette;
    if (locked)
        palette.setColor(QPalette::Base, edit->palette().color(QPalette::Window));
    edit->setPalette(palette);
}

// A framed legend: each section a heading (none for a bare list) over its lines.
QGroupBox *legend(const QString &title, const QList<QPair<QString, QStringList>> &sections, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    for (const auto &[heading, lines] : sections) {
        if (!heading.isEmpty()) {
            auto *label = new QLabel(heading, box);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            layout->addWidget(label);
        }
        auto *items = new QLabel(lines.join(QLatin1Char('\n')), box);
        items->setContentsMargins(heading.isEmpty() ? 0 : 12, 0, 0, 6);
        layout->addWidget(items);
    }
    return box;
}

// "Elimina" on a list: nothing to do on an empty one; otherwise, on Yes to the question and unless `keep`
// finds a reason (and says it), the current row goes and `done` tells so.
void deleteAfterQuestion(Table *table, const QString &question, const QString &done, const std::function<bool()> &keep = {})
{
    if (table->isEmpty()) {
        Messages::plain(QStringLiteral("Nulla da eliminare"));
        return;
    }
    if (!Messages::confirm(question))
        return;
    try {
        if (keep && keep())
            return;
        table->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    Messages::plain(done);
}

} // namespace

// How one technician page differs from the others.
struct TtecnicoForm::PageLayout {
    Page page;
    const char *sheet;
    QString title;
    QStringList editable; // fields the user may change here; the province and the code never
    bool reported;        // year and quarter shown, a variation stored with the row
    QPushButton *ok;
    QPushButton *cancel;
    QPushButton *unlock = nullptr; // "Sblocca"
    QPushButton *search = nullptr; // "Cerca il comune"
};

TtecnicoForm::TtecnicoForm(QWidget *parent)
    : RegistryWindow("tecnicoForm", QStringLiteral("Elenco tecnici:"), {1200, 760}, parent)
{
    buildListPage();

    const QStringList personal{QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Sesso"),
                               QStringLiteral("Data_nascita"), QStringLiteral("Comune_nascita"),
                               QStringLiteral("Id_nu_sigillo"), QStringLiteral("Id_sogg"), QStringLiteral("Responsabile"),
                               QStringLiteral("Titolo_studio")};
    buildTechnicianPage({NewPage, "TabSheet2", QStringLiteral("Inserimento nuovo tecnico"),
                         personal + QStringList{QStringLiteral("Data_inizio")}, true,
                         command("Button1", QStringLiteral("OK"), this, &TtecnicoForm::Button1Click),
                         command("Button2", QStringLiteral("Annulla"), this, &TtecnicoForm::Button2Click),
                         command("SpeedButton5", QStringLiteral("Sblocca"), this, &TtecnicoForm::SpeedButton5Click),
                         command("SpeedButton17", QStringLiteral("Cerca il comune"), this, &TtecnicoForm::SpeedButton17Click)});
    buildVariationsPage();
    buildTechnicianPage({ChangePage, "TabSheet4", QStringLiteral("Modifica altri dati del tecnico"), personal, true,
                         command("Button3", QStringLiteral("Ok"), this, &TtecnicoForm::Button3Click),
                         command("Button4", QStringLiteral("Annulla"), this, &TtecnicoForm::Button4Click),
                         command("SpeedButton1", QStringLiteral("Sblocca"), this, &TtecnicoForm::SpeedButton1Click),
                         command("SpeedButton18", QStringLiteral("Cerca il comune"), this, &TtecnicoForm::SpeedButton18Click)});
    buildTechnicianPage({EndPage, "TabSheet5", QStringLiteral("Fine collaborazione"), {QStringLiteral("Data_fine")}, true,
                         command("Button5", QStringLiteral("Ok"), this, &TtecnicoForm::Button5Click),
                         command("Button6", QStringLiteral("Annulla"), this, &TtecnicoForm::Button6Click)});
    buildTechnicianPage({PlainPage, "TabSheet6", QStringLiteral("Rettifica dati del tecnico"),
                         personal + QStringList{QStringLiteral("Data_inizio")}, false,
                         command("Button7", QStringLiteral("Ok"), this, &TtecnicoForm::Button7Click),
                         command("Button8", QStringLiteral("Annulla"), this, &TtecnicoForm::Button8Click),
                         command("SpeedButton16", QStringLiteral("Sblocca"), this, &TtecnicoForm::SpeedButton16Click),
                         command("SpeedButton19", QStringLiteral("Cerca il comune"), this, &TtecnicoForm::SpeedButton19Click)});

    Tdm::technicianWindow = this;
}

TtecnicoForm::~TtecnicoForm()
{
    if (Tdm::technicianWindow == this)
        Tdm::technicianWindow = nullptr;
}

void TtecnicoForm::buildListPage()
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("RxDBGrid1"));
    grid->setDataSource(dm->dstecnico);
    grid->setColumns({{QStringLiteral("Cogn_nome"), QStringLiteral("Cognome e nome"), 220},
                      {QStringLiteral("Cf"), QStringLiteral("Codice Fiscale"), 150},
                      {QStringLiteral("al_sigillo"), QStringLiteral("Id alfanumerico del sigillo"), 0},
                      {QStringLiteral("Id_nu_sigillo"), QStringLiteral("Id numerico del sigillo"), 0},
                      {QStringLiteral("Sesso"), QStringLiteral("Sesso"), 0},
                      {QStringLiteral("Data_nascita"), QStringLiteral("Data_nascita"), 0},
                      {QStringLiteral("Comune_nascita"), QStringLiteral("Comune_nascita"), 160},
                      {QStringLiteral("Prov_nascita"), QStringLiteral("Prov_nascita"), 0},
                      {QStringLiteral("Responsabile"), QStringLiteral("Responsabile"), 0},
                      {QStringLiteral("Titolo_studio"), QStringLiteral("Titolo_studio"), 0},
                      {QStringLiteral("Data_inizio"), QStringLiteral("Data_inizio"), 0},
                      {QStringLiteral("Data_fine"), QStringLiteral("Data_fine"), 0}});

    // Made in the order Tab walks them.
    QPushButton *newTechnician = command("SpeedButton11", QStringLiteral("Inserimento nuovo Tecnico"), this,
                                         &TtecnicoForm::SpeedButton11Click);
    QPushButton *otherData = command("SpeedButton13", QStringLiteral("Modifica altri dati del tecnico"), this,
                                     &TtecnicoForm::SpeedButton13Click);
    QPushButton *end = command("SpeedButton12", QStringLiteral("Fine collaborazione"), this, &TtecnicoForm::SpeedButton12Click);
    QPushButton *variations = command("SpeedButton9", QStringLiteral("Elenco Variazioni per A.E."), this,
                                      &TtecnicoForm::SpeedButton9Click);
    m_select = command("SpeedButton6", QStringLiteral("Seleziona"), this, &TtecnicoForm::SpeedButton6Click);
    m_cancelPick = command("SpeedButton7", QStringLiteral("Annulla"), this, &TtecnicoForm::SpeedButton7Click);
    m_close = command("SpeedButton3", QStringLiteral("chiudi"), this, &TtecnicoForm::SpeedButton3Click);
    QWidget *page = ui::listPage(grid, {newTechnician, otherData, end, variations}, {m_select, m_cancelPick, m_close}, this);

    m_showPlain = new QCheckBox(QStringLiteral("Mostra i bottoni normali"), page);
    m_showPlain->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_showPlain, &QCheckBox::clicked, this, &TtecnicoForm::CheckBox1Click);
    m_plainPanel = new QWidget(page);
    m_plainPanel->setObjectName(QStringLiteral("Panel1"));
    auto *warning = new QLabel(QStringLiteral("ATTENZIONE: \nUSARE QUESTI BOTTONI SOLO PER RETTIFICARE DATI ERRATI OPPURE "
                                              "PER LA PRIMA INSTALLAZIONE"),
                               m_plainPanel);
    warning->setObjectName(QStringLiteral("Label1"));
    warning->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    auto *panel = new QHBoxLayout(m_plainPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    for (QPushButton *button : {command("SpeedButton14", QStringLiteral("Nuovo"), m_plainPanel, &TtecnicoForm::SpeedButton14Click),
                                command("SpeedButton15", QStringLiteral("Modifica"), m_plainPanel, &TtecnicoForm::SpeedButton15Click),
                                command("SpeedButton4", QStringLiteral("Elimina"), m_plainPanel, &TtecnicoForm::SpeedButton4Click)})
        panel->addWidget(button);
    panel->addSpacing(12);
    panel->addWidget(warning);
    panel->addStretch();
    m_plainPanel->hide();

    auto *plainRow = new QHBoxLayout;
    plainRow->addWidget(m_showPlain);
    plainRow->addSpacing(24);
    plainRow->addWidget(m_plainPanel, 1);
    static_cast<QVBoxLayout *>(page->layout())->addLayout(plainRow);
    addPage("TabSheet1", page, PageKind::List, grid);
}

void TtecnicoForm::buildVariationsPage()
{
    m_variations = new DBGrid(this);
    m_variations->setObjectName(QStringLiteral("RxDBGrid2"));
    m_variations->setDataSource(dm->DataSource1);
    QList<GridColumn> columns;
    for (const char *field : {"Anno_variazione", "TRI_variazione", "FLAG_VARIAZIONE", "Cf", "Cognome", "Nome", "Sesso",
                              "Data_nascita", "Comune_nascita", "Prov_nascita", "Id_nu_sigillo", "Responsabile",
                              "Titolo_studio", "Data_inizio", "Data_fine", "Id_sogg", "ID_MOD", "Id_tecnico"})
        columns.append({QString::fromLatin1(field), QString::fromLatin1(field)});
    m_variations->setColumns(columns);

    QWidget *page = ui::listPage(m_variations,
                                 {command("SpeedButton8", QStringLiteral("indietro"), this, &TtecnicoForm::SpeedButton8Click),
                                  command("SpeedButton2", QStringLiteral("Elimina"), this, &TtecnicoForm::SpeedButton2Click),
                                  command("SpeedButton20", QStringLiteral("mod griglia"), this, &TtecnicoForm::SpeedButton20Click)},
                                 {command("SpeedButton10", QStringLiteral("Chiudi"), this, &TtecnicoForm::SpeedButton10Click)},
                                 this);
    QGroupBox *flags = legend(QStringLiteral("Leggenda Flag Variazione"),
                              {{QString(), {QStringLiteral("I=Inserimento nuovo tecnico"), QStringLiteral("F=Fine collaborazione"),
                                            QStringLiteral("M=Modifica altri dati tecnico")}}},
                              page);
    flags->setObjectName(QStringLiteral("GroupBox2"));
    static_cast<QVBoxLayout *>(page->layout())->insertWidget(0, flags, 0, Qt::AlignLeft);
    addPage("TabSheet3", page, PageKind::List, m_variations);
}

void TtecnicoForm::buildTechnicianPage(const PageLayout &layout)
{
    const QString number = QString::number(layout.page + 1);
    const auto named = [&](QWidget *control, const QString &field) {
        control->setObjectName(field + number);
        setLocked(control, !layout.editable.contains(field));
    };
    const auto edit = [&](const QString &field) {
        DBEdit *control = ui::upperCaseEdit("", dm->dstecnico, field, this);
        named(control, field);
        return control;
    };
    const auto combo = [&](const QString &field, const QStringList &items) {
        auto *control = new DBComboBox(this);
        control->bind(dm->dstecnico, field);
        control->setItems(items);
        named(control, field);
        return control;
    };
    const auto date = [&](const QString &field) {
        auto *control = new DBDateEdit(this);
        control->bind(dm->dstecnico, field);
        named(control, field);
        return control;
    };

    TechnicianPage p;
    p.surname = edit(QStringLiteral("Cognome"));
    p.name = edit(QStringLiteral("Nome"));
    p.sex = combo(QStringLiteral("Sesso"), SexItems);
    p.birthDate = date(QStringLiteral("Data_nascita"));
    p.birthPlace = edit(QStringLiteral("Comune_nascita"));
    p.province = edit(QStringLiteral("Prov_nascita"));
    p.code = edit(QStringLiteral("Cf"));
    p.seal = edit(QStringLiteral("Id_nu_sigillo"));
    p.authorisation = new DBLookupComboBox(this);
    p.authorisation->bind(dm->dstecnico, QStringLiteral("Id_sogg"));
    p.authorisation->setListSource(dm->TabLsogg, QStringLiteral("Id_Lsogg"), QStringLiteral("Id_al_sigillo"));
    named(p.authorisation, QStringLiteral("Id_sogg"));
    p.responsible = combo(QStringLiteral("Responsabile"), ResponsibleItems);
    p.education = combo(QStringLiteral("Titolo_studio"), EducationItems);
    p.start = date(QStringLiteral("Data_inizio"));
    p.end = date(QStringLiteral("Data_fine"));

    // The two fields with a command beside them keep the width of the others.
    if (layout.search && layout.unlock) {
        const int width = std::max(layout.search->sizeHint().width(), layout.unlock->sizeHint().width());
        layout.search->setFixedWidth(width);
        layout.unlock->setFixedWidth(width);
    }
    const auto withButton = [this](QWidget *field, QPushButton *button) {
        return button ? ui::fieldWithButton(field, button, this) : field;
    };
    const QList<QWidget *> controls{p.surname, p.name, p.sex, p.birthDate, p.birthPlace, p.province, p.code,
                                    p.seal, p.authorisation, p.responsible, p.education, p.start, p.end};
    const QStringList labels{QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Sesso"),
                             QStringLiteral("Data nascita"), QStringLiteral("Comune nascita"), QStringLiteral("Prov. nascita"),
                             QStringLiteral("Codice Fiscale"), QStringLiteral("Id numerico del sigillo"),
                             QStringLiteral("Id alfanumerico del sigillo"), QStringLiteral("Responsabile"),
                             QStringLiteral("Titolo di studio"), QStringLiteral("Data inizio collaborazione"),
                             QStringLiteral("Data fine collaborazione")};
    QList<QPair<QString, QWidget *>> fields;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        QWidget *control = controls[i];
        fields.append({labels[i], control == p.birthPlace ? withButton(control, layout.search)
                                  : control == p.code     ? withButton(control, layout.unlock)
                                                          : control});
    }

    QList<QWidget *> beside;
    if (layout.reported) {
        auto *yearBox = new QWidget(this);
        auto *yearRow = new QFormLayout(yearBox);
        yearRow->setContentsMargins(0, 0, 0, 0);
        p.year = new QLineEdit(yearBox);
        p.year->setObjectName(QStringLiteral("Anno") + number);
        p.year->setMaximumWidth(80);
        setLocked(p.year, true);
        yearRow->addRow(QStringLiteral("anno variazione"), p.year);
        p.quarter = new RadioGroup(QStringLiteral("Seleziona il trimestre"), this);
        p.quarter->setObjectName(QStringLiteral("Trimestre") + number);
        p.quarter->setItems(QuarterItems);
        beside << yearBox << p.quarter;
    }
    beside << legend(QStringLiteral("Leggenda"),
                     {{QStringLiteral("Titolo di Studio:"), EducationItems},
                      {QStringLiteral("Sesso:"), SexItems},
                      {QStringLiteral("Responsabile:"), ResponsibleItems}},
                     this);

    p.sheet = ui::entryPage(layout.title, fields, {layout.ok, layout.cancel}, beside, this);

    // Enter walks the fields, then the quarter and the page's buttons; the commands beside two fields
    // come last, so that the walk never stops on them.
    QList<QWidget *> order = controls;
    if (p.quarter) {
        for (int item = 0; item < QuarterItems.size(); ++item)
            order << p.quarter->button(item);
    }
    order << layout.ok << layout.cancel;
    for (QPushButton *button : {layout.search, layout.unlock}) {
        if (button)
            order << button;
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    QWidget *focus = layout.editable.contains(QStringLiteral("Cognome")) ? static_cast<QWidget *>(p.surname) : p.end;
    addPage(layout.sheet, p.sheet, PageKind::Entry, focus);
    m_entry.insert(layout.page, p);
}

void TtecnicoForm::FormShow()
{
    RegistryWindow::FormShow();
    for (const TechnicianPage &page : std::as_const(m_entry)) {
        if (page.year)
            page.year->setText(appState().AnnoLavoro);
    }
    offerChoice(m_close, m_select, m_cancelPick);
}

QString TtecnicoForm::closeRefusal() const
{
    return currentPage() == NewPage ? QStringLiteral("Terminare la fase di inserimento con i tasti di conferma")
                                    : QStringLiteral("Per uscire dalla finestra usare i tasti opportuni");
}

void TtecnicoForm::focusCf()
{
    const auto page = m_entry.constFind(currentPage());
    // A locked code cannot be corrected there: the focus stays where the user is typing.
    if (page != m_entry.cend() && !page->code->isReadOnly())
        page->code->setFocus();
}

void TtecnicoForm::startTechnicianEntry(Entry entry, Page page)
{
    for (const TechnicianPage &p : std::as_const(m_entry)) {
        setLocked(p.code, true);
        if (p.quarter)
            p.quarter->setItemIndex(-1);
    }
    startEntry(dm->Tabtecnico, entry, page);
}

bool TtecnicoForm::isComplete(const TechnicianPage &page) const
{
    for (const QLineEdit *text : {page.surname, page.name, page.birthPlace, page.province, page.code, page.seal}) {
        if (text->text().trimmed().isEmpty())
            return false;
    }
    for (const QComboBox *list : std::initializer_list<const QComboBox *>{page.authorisation, page.sex, page.responsible, page.education}) {
        if (list->currentIndex() < 0)
            return false;
    }
    return !page.start->isBlank() && !page.birthDate->isBlank();
}

void TtecnicoForm::report(Page page, Variation variation)
{
    const TechnicianPage &p = m_entry[page];
    // What was typed last reaches the row first, so the test sees what the rules made of it.
    if (!commitEdits(p.sheet))
        return;
    const bool complete = variation == Variation::EndOfCollaboration ? !p.end->isBlank() : isComplete(p);
    if (!complete || p.quarter->itemIndex() < 0) {
        Messages::plain(Incomplete);
        return;
    }
    const QString year = p.year->text();
    const int quarter = p.quarter->itemIndex() + 1;
    if (!storeEntry(dm->Tabtecnico))
        return;
    try {
        recordVariation(*dm, variation, year, quarter);
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
}

void TtecnicoForm::unlockCode(Page page)
{
    DBEdit *code = m_entry[page].code;
    setLocked(code, false);
    code->setFocus();
}

void TtecnicoForm::searchMunicipality(Page page, const char *callerTag)
{
    ::searchMunicipality(QString::fromLatin1(callerTag), m_entry[page].birthPlace->text(), this);
}

void TtecnicoForm::SpeedButton11Click()
{
    startTechnicianEntry(Entry::Append, NewPage);
}

void TtecnicoForm::SpeedButton13Click()
{
    startTechnicianEntry(Entry::Edit, ChangePage);
}

void TtecnicoForm::SpeedButton12Click()
{
    // Editing an empty table would start a new row: a technician made of an end date alone.
    if (dm->Tabtecnico->isEmpty()) {
        Messages::plain(QStringLiteral("Nessun tecnico nell'elenco."));
        return;
    }
    startTechnicianEntry(Entry::Edit, EndPage);
}

void TtecnicoForm::SpeedButton9Click()
{
    showPage(VariationsPage);
}

void TtecnicoForm::CheckBox1Click()
{
    m_plainPanel->setVisible(m_showPlain->isChecked());
}

void TtecnicoForm::SpeedButton14Click()
{
    startTechnicianEntry(Entry::Append, PlainPage);
}

void TtecnicoForm::SpeedButton15Click()
{
    startTechnicianEntry(Entry::Edit, PlainPage);
}

void TtecnicoForm::SpeedButton4Click()
{
    Table *technicians = dm->Tabtecnico;
    deleteAfterQuestion(technicians, QStringLiteral("Sei sicuro di volere cancellare il tecnico selezionato?"),
                        QStringLiteral("Tecnico eliminato correttamente."), [technicians] {
                            if (!hasVerifications(*dm->Tabmisurazioni, technicians->value(QStringLiteral("Id_tecnico"))))
                                return false;
                            Messages::warning(QStringLiteral("Eliminazione impossibile. Eliminare prima le verificazioni fatte da "
                                                             "questo tecnico."));
                            return true;
                        });
}

void TtecnicoForm::SpeedButton3Click()
{
    accept();
}

void TtecnicoForm::SpeedButton6Click()
{
    closeWithChoice();
}

void TtecnicoForm::SpeedButton7Click()
{
    reject();
}

void TtecnicoForm::Button1Click()
{
    report(NewPage, Variation::NewTechnician);
}

void TtecnicoForm::Button2Click()
{
    cancelEntry(dm->Tabtecnico);
}

void TtecnicoForm::Button3Click()
{
    report(ChangePage, Variation::OtherData);
}

void TtecnicoForm::Button4Click()
{
    cancelEntry(dm->Tabtecnico);
}

void TtecnicoForm::Button5Click()
{
    report(EndPage, Variation::EndOfCollaboration);
}

void TtecnicoForm::Button6Click()
{
    cancelEntry(dm->Tabtecnico);
}

void TtecnicoForm::Button7Click()
{
    const TechnicianPage &p = m_entry[PlainPage];
    if (!commitEdits(p.sheet))
        return;
    if (!isComplete(p)) {
        Messages::plain(Incomplete);
        return;
    }
    storeEntry(dm->Tabtecnico);
}

void TtecnicoForm::Button8Click()
{
    cancelEntry(dm->Tabtecnico);
}

void TtecnicoForm::SpeedButton5Click()
{
    unlockCode(NewPage);
}

void TtecnicoForm::SpeedButton1Click()
{
    unlockCode(ChangePage);
}

void TtecnicoForm::SpeedButton16Click()
{
    unlockCode(PlainPage);
}

void TtecnicoForm::SpeedButton17Click()
{
    searchMunicipality(NewPage, "TECNICO1");
}

void TtecnicoForm::SpeedButton18Click()
{
    searchMunicipality(ChangePage, "TECNICO2");
}

void TtecnicoForm::SpeedButton19Click()
{
    searchMunicipality(PlainPage, "TECNICO3");
}

void TtecnicoForm::SpeedButton8Click()
{
    showPage(ListPage);
}

void TtecnicoForm::SpeedButton2Click()
{
    deleteAfterQuestion(dm->TabMod_tecnici, QStringLiteral("Sicuro di volere eliminare la riga selezionata?"),
                        QStringLiteral("Eliminato."));
}

void TtecnicoForm::SpeedButton20Click()
{
    m_variations->setEditable(true);
}

void TtecnicoForm::SpeedButton10Click()
{
    accept();
}
