#include "register/misurazioniw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "registries/eserciziow.h"
#include "registries/misuratoriw.h"
#include "registries/zoom_comuniw.h"
#include "ui/datefield.h"
#include "ui/dbcheckbox.h"
#include "ui/dbcombobox.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/dblookupcombobox.h"
#include "ui/keyhelpers.h"
#include "ui/radiogroup.h"
#include "ui/reportwindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

TMisurazioniForm *MisurazioniForm = nullptr;

using engine::Table;
using verifications::RowMark;
using verifications::SearchItem;

namespace {

const QColor Purple(0x80, 0x00, 0x80);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Red(0xFF, 0x00, 0x00);

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString NoUserTemplate = QStringLiteral("Nessuna stampa caricata: scegliere la stampa desiderata");

void showMessage(const ShownMessage &message)
{
    if (message.kind == MessageKind::Warning)
        Messages::warning(message.text);
    else
        Messages::plain(message.text);
}

QLabel *fieldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QComboBox *comboBox(const char *objectName, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(objectName));
    return combo;
}

DBEdit *boundEdit(const char *objectName, const QString &field, QWidget *parent)
{
    auto *edit = new DBEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->bind(dm->dsmisurazioni, field);
    return edit;
}

DBDateEdit *boundDate(const char *objectName, const QString &field, QWidget *parent)
{
    auto *edit = new DBDateEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->bind(dm->dsmisurazioni, field);
    edit->setMaximumWidth(120);
    return edit;
}

DBCheckBox *boundCheck(const char *objectName, const QString &text, const QString &field, QWidget *parent)
{
    auto *check = new DBCheckBox(text, parent);
    check->setObjectName(QString::fromLatin1(objectName));
    check->bind(dm->dsmisurazioni, field);
    return check;
}

void openCopy(Table &table, const QString &name, const QString &index)
{
    table.setDirectory(appState().dataDir());
    table.setTableName(name);
    table.setIndexName(index);
    ignoringFailures([&] { table.open(); });
}

} // namespace

TMisurazioniForm::TMisurazioniForm(QWidget *parent)
    : RegistryWindow("MisurazioniForm", QStringLiteral("Elenco interventi:"), {1200, 760}, parent),
      m_shopSource(&m_shops), m_modelSource(&m_models), m_technicianSource(&m_technicianList),
      m_prints(*dm)
{
    buildListPage();
    buildEntryPage();

    Table *table = dm->Tabmisurazioni;
    for (auto signal : {&Table::rowInserted, &Table::rowRemoved})
        connect(table, signal, this, &TMisurazioniForm::showRowCount);
    for (auto signal : {&Table::rowsChanged, &Table::opened, &Table::closed})
        connect(table, signal, this, &TMisurazioniForm::showRowCount);
    connect(table, &Table::fieldChanged, this, [this](const QString &field) {
        if (field.compare(QLatin1String("Id_ms"), Qt::CaseInsensitive) == 0)
            showModel();
    });
    connect(table, &Table::currentChanged, this, &TMisurazioniForm::showModel);
    connect(table, &Table::stateChanged, this, &TMisurazioniForm::showModel);
}

// --- The list page.

void TMisurazioniForm::buildListPage()
{
    auto *page = new QWidget(this);

    m_grid = new DBGrid(page);
    m_grid->setObjectName(QStringLiteral("RxDBGrid1"));
    m_grid->setDataSource(dm->dsmisurazioni);
    m_grid->setColumns({{QStringLiteral("Matricola_ms"), QStringLiteral("Matricola_ms"), 100},
                        {QStringLiteral("Tipo_intervento"), QStringLiteral("Tipo_intervento"), 100},
                        {QStringLiteral("ragione_sociale"), QStringLiteral("Ragione Sociale"), 240},
                        {QStringLiteral("partita_iva"), QStringLiteral("partita_iva"), 100},
                        {QStringLiteral("cogn_nome"), QStringLiteral("cogn_nome"), 160},
                        {QStringLiteral("Data_ini"), QStringLiteral("Data_ini"), 84},
                        {QStringLiteral("Data_fine"), QStringLiteral("Data_fine"), 84},
                        {QStringLiteral("data_nuova_verifica"), QStringLiteral("Data prossima Verifica"), 150},
                        {QStringLiteral("Esito"), QStringLiteral("Esito"), 50},
                        {QStringLiteral("marchio_ms"), QStringLiteral("marchio_ms"), 120},
                        {QStringLiteral("denominazione_ms"), QStringLiteral("denominazione_ms"), 130},
                        {QStringLiteral("logotipo_ms"), QStringLiteral("logotipo_ms"), 80},
                        {QStringLiteral("CAP"), QStringLiteral("CAP"), 56},
                        {QStringLiteral("COMUNE"), QStringLiteral("COMUNE"), 160},
                        {QStringLiteral("INDIRIZZO"), QStringLiteral("INDIRIZZO"), 220},
                        {QStringLiteral("PROVINCIA"), QStringLiteral("PROVINCIA"), 0}});
    // Purple: the meter is not identified as it should be; red text: the row is incomplete or negative.
    m_grid->setRowColor([](const Table &table, int row) {
        const RowMark mark = verifications::rowMark(table, row);
        return mark == RowMark::MalformedLogotype || mark == RowMark::MalformedSerial ? Purple : QColor();
    });
    m_grid->setRowTextColor([](const Table &table, int row) {
        switch (verifications::rowMark(table, row)) {
        case RowMark::MalformedSerial:
            return Blue;
        case RowMark::Incomplete:
        case RowMark::Negative:
            return Red;
        default:
            return QColor();
        }
    });

    auto *popup = new QMenu(m_grid);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *toggleExtra = popup->addAction(QStringLiteral("Mostra informazioni aggiuntive"));
    toggleExtra->setObjectName(QStringLiteral("Aggiungiinformazioniaggiuntive1"));
    popup->addSeparator();
    QAction *nextVerification = popup->addAction(QStringLiteral("Data prossima Verifica..."));
    nextVerification->setObjectName(QStringLiteral("DataprossimaVerifica1"));
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, popup,
            [this, popup](const QPoint &at) { popup->popup(m_grid->viewport()->mapToGlobal(at)); });

    QWidget *side = buildSidePanel();

    // Made in the order Tab walks them.
    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo /F8"), page, &TMisurazioniForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica /F9"), page, &TMisurazioniForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("elimina"), page, &TMisurazioniForm::SpeedButton3Click);
    QPushButton *detail = command("SpeedButton5", QStringLiteral("dettaglio verifica"), page, &TMisurazioniForm::SpeedButton5Click);
    m_rowCount = new QLabel(page);
    m_rowCount->setObjectName(QStringLiteral("Label1"));
    m_showExtra = new QCheckBox(QStringLiteral("Mostra informazioni aggiuntive"), page);
    m_showExtra->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_showExtra, &QCheckBox::toggled, this, &TMisurazioniForm::CheckBox1Click);
    connect(toggleExtra, &QAction::triggered, m_showExtra, &QCheckBox::toggle);
    QPushButton *close = command("SpeedButton4", QStringLiteral("chiudi"), page, &TMisurazioniForm::SpeedButton4Click);
    m_printArea = buildPrintArea();
    m_printArea->setParent(page);

    auto *top = new QHBoxLayout;
    top->addWidget(m_grid, 1);
    top->addWidget(side);
    auto *commands = new QHBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *>{newButton, editButton, deleteButton, detail})
        commands->addWidget(widget);
    commands->addSpacing(24);
    commands->addWidget(m_rowCount);
    commands->addStretch();
    commands->addWidget(m_showExtra);
    commands->addSpacing(24);
    commands->addWidget(close);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top, 1);
    layout->addLayout(commands);
    layout->addWidget(m_printArea);

    buildNextVerificationPanel(page);
    connect(nextVerification, &QAction::triggered, this, &TMisurazioniForm::DataprossimaVerifica1Click);

    addPage("TabSheet1", page, PageKind::List, m_grid);
    // The window sees the keys first; on the entry page the two buttons are not shown, so the keys
    // cannot store the row being entered without the checks of "OK".
    ui::bindFunctionKey(this, Qt::Key_F8, newButton);
    ui::bindFunctionKey(this, Qt::Key_F9, editButton);
}

QWidget *TMisurazioniForm::buildSidePanel()
{
    m_sidePanel = new QGroupBox(QStringLiteral("Informazioni aggiuntive:"), this);
    m_sidePanel->setObjectName(QStringLiteral("Panel2"));
    m_sidePanel->setFixedWidth(300);
    auto *form = new QFormLayout(m_sidePanel);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const struct {
        const char *caption;
        const char *field;
    } texts[] = {{"N_azzeramenti", "n_azzeramenti"}, {"Importo", "importo"}, {"Referente", "Referente"},
                 {"Telefono", "Telefono"}, {"Cellulare", "cellulare"}, {"Note1", "note1"}, {"Note2", "note2"},
                 {"note3", "note3"}};
    int number = 1;
    const auto add = [&](QWidget *field, const QString &label) {
        ui::setFieldReadOnly(field, true);
        form->addRow(label, field);
    };
    for (const auto &text : texts) {
        const QByteArray name = "DBText" + QByteArray::number(number++);
        add(boundEdit(name.constData(), QString::fromLatin1(text.field), m_sidePanel), QString::fromLatin1(text.caption));
    }
    const struct {
        const char *caption;
        const char *field;
    } checks[] = {{"Ivato", "ivato"}, {"Pagato_sn", "pagato"}, {"Fatturato_sn", "fatturato"}};
    for (const auto &check : checks) {
        const QByteArray name = "DBText" + QByteArray::number(number++);
        add(boundCheck(name.constData(), {}, QString::fromLatin1(check.field), m_sidePanel), QString::fromLatin1(check.caption));
    }
    add(boundDate("DBText12", QStringLiteral("Promemoria"), m_sidePanel), QStringLiteral("Promemoria"));

    m_templates = comboBox("ComboBox6", m_sidePanel);
    connect(m_templates, &QComboBox::activated, this, &TMisurazioniForm::ComboBox6Change);
    form->addRow(new QLabel(QStringLiteral("Seleziona la stampa desiderata:"), m_sidePanel));
    form->addRow(m_templates);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(command("SpeedButton27", QStringLiteral("stampa"), m_sidePanel, &TMisurazioniForm::SpeedButton27Click));
    buttons->addWidget(command("SpeedButton28", QStringLiteral("Edita report"), m_sidePanel, &TMisurazioniForm::SpeedButton28Click));
    form->addRow(buttons);
    return m_sidePanel;
}

QTabWidget *TMisurazioniForm::buildPrintArea()
{
    auto *area = new QTabWidget(this);
    area->setObjectName(QStringLiteral("PageControl2"));
    area->setFixedHeight(196);
    m_searchTab = buildSearchTab();
    area->addTab(m_searchTab, QStringLiteral("Ricerca NUOVA VERSIONE"));
    area->addTab(buildPeriodTab(), QStringLiteral("Stampe per periodo"));
    area->addTab(buildShopTab(), QStringLiteral("Stampe scheda ditta"));
    area->addTab(buildOutcomeTab(), QStringLiteral("Stampa per esito  o tipo intervento"));
    area->addTab(buildTechnicianTab(), QStringLiteral("Stampa per tecnico"));
    return area;
}

QWidget *TMisurazioniForm::buildSearchTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("TabSheet3"));
    m_searchBy = new RadioGroup(QStringLiteral("RICERCA PER:"), tab);
    m_searchBy->setObjectName(QStringLiteral("RadioGroup3"));
    m_searchBy->setItems({QStringLiteral("Ragione Sociale"), QStringLiteral("Partita IVA"), QStringLiteral("Matricola"),
                          QStringLiteral("Tipo intervento"), QStringLiteral("Trimestre")});
    m_searchBy->setItemIndex(0);
    connect(m_searchBy, &RadioGroup::itemChosen, this, &TMisurazioniForm::RadioGroup3Click);
    m_searchText = new QLineEdit(tab);
    m_searchText->setObjectName(QStringLiteral("Edit1"));
    ui::setUpperCase(m_searchText);
    m_searchTypes = comboBox("ComboBox3", tab);
    connect(m_searchTypes, &QComboBox::activated, this, &TMisurazioniForm::ComboBox3Change);
    m_quarters = comboBox("ComboBox5", tab);
    m_quarters->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    connect(m_quarters, &QComboBox::activated, this, &TMisurazioniForm::ComboBox5Change);
    QPushButton *find = command("LbSpeedButton1", QStringLiteral("TROVA"), tab, &TMisurazioniForm::LbSpeedButton1Click);
    QPushButton *filter = command("LbSpeedButton3", QStringLiteral("FILTRA"), tab, &TMisurazioniForm::LbSpeedButton3Click);
    QPushButton *all = command("LbSpeedButton2", QStringLiteral("tutti"), tab, &TMisurazioniForm::LbSpeedButton2Click);

    auto *inputs = new QVBoxLayout;
    for (QWidget *input : std::initializer_list<QWidget *>{m_searchText, m_searchTypes, m_quarters}) {
        input->setFixedWidth(320);
        inputs->addWidget(input);
    }
    inputs->addStretch();
    auto *buttons = new QVBoxLayout;
    for (QWidget *button : std::initializer_list<QWidget *>{find, filter, all})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(tab);
    layout->addWidget(m_searchBy);
    layout->addSpacing(12);
    layout->addLayout(inputs);
    layout->addLayout(buttons);
    layout->addStretch();
    return tab;
}

QWidget *TMisurazioniForm::buildPeriodTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("TabSheet4"));
    m_from = new DateField(tab);
    m_from->setObjectName(QStringLiteral("DateEdit1"));
    m_to = new DateField(tab);
    m_to->setObjectName(QStringLiteral("DateEdit2"));
    m_periodBy = new RadioGroup({}, tab);
    m_periodBy->setObjectName(QStringLiteral("RadioGroup1"));
    m_periodBy->setItems({QStringLiteral("Data inizio"), QStringLiteral("data fine")});
    m_periodBy->setItemIndex(1);
    m_cities = comboBox("ComboBox2", tab);
    m_cities->setMinimumWidth(240);
    m_periodTypes = comboBox("ComboBox4", tab);

    auto *form = new QGridLayout;
    form->addWidget(fieldLabel(QStringLiteral("dal:"), tab), 0, 0);
    form->addWidget(m_from, 0, 1);
    form->addWidget(fieldLabel(QStringLiteral("al:"), tab), 1, 0);
    form->addWidget(m_to, 1, 1);
    form->addWidget(fieldLabel(QStringLiteral("citta:"), tab), 0, 2);
    form->addWidget(m_cities, 0, 3);
    form->addWidget(fieldLabel(QStringLiteral("Tipo intervento"), tab), 1, 2);
    form->addWidget(m_periodTypes, 1, 3, Qt::AlignLeft);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(command("SpeedButton7", QStringLiteral("elenco dal..al.."), tab, &TMisurazioniForm::SpeedButton7Click));
    buttons->addWidget(command("SpeedButton14", QStringLiteral("elenco dal..al..(compresso)"), tab, &TMisurazioniForm::SpeedButton14Click));
    buttons->addStretch();
    auto *layout = new QHBoxLayout(tab);
    layout->addLayout(form);
    layout->addWidget(m_periodBy, 0, Qt::AlignTop);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->addStretch();
    return tab;
}

QWidget *TMisurazioniForm::buildShopTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("TabSheet5"));
    m_shopId = new QLineEdit(tab);
    m_shopId->setObjectName(QStringLiteral("Edit3"));
    m_shopId->setFixedWidth(80);
    ui::setFieldReadOnly(m_shopId, true);
    m_shopName = new QLineEdit(tab);
    m_shopName->setObjectName(QStringLiteral("Edit2"));
    m_shopName->setMinimumWidth(360);
    ui::setUpperCase(m_shopName);
    connect(m_shopName, &QLineEdit::textChanged, this, &TMisurazioniForm::Edit2Change);
    QPushButton *choose = command("SpeedButton9", QStringLiteral("Sel. Esercizio"), tab, &TMisurazioniForm::SpeedButton9Click);
    auto *row = new QHBoxLayout;
    row->addWidget(m_shopId);
    row->addWidget(m_shopName);
    row->addWidget(choose);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(row);
    layout->addWidget(command("SpeedButton11", QStringLiteral("stampa scheda ditta"), tab, &TMisurazioniForm::SpeedButton11Click), 0, Qt::AlignLeft);
    layout->addStretch();
    return tab;
}

QWidget *TMisurazioniForm::buildOutcomeTab()
{
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl3"));
    auto *outcome = new QWidget(tabs);
    m_outcome = new RadioGroup({}, outcome);
    m_outcome->setObjectName(QStringLiteral("RadioGroup2"));
    m_outcome->setItems({QStringLiteral("0=Esito Positivo"), QStringLiteral("1=Esito Negativo")});
    m_outcome->setItemIndex(0);
    auto *outcomeLayout = new QHBoxLayout(outcome);
    outcomeLayout->addWidget(m_outcome, 0, Qt::AlignTop);
    outcomeLayout->addWidget(command("SpeedButton13", QStringLiteral("Stampa in base all'esito della verifica"), outcome,
                                     &TMisurazioniForm::SpeedButton13Click),
                             0, Qt::AlignTop);
    outcomeLayout->addStretch();
    tabs->addTab(outcome, QStringLiteral("Esito"));

    auto *type = new QWidget(tabs);
    m_printTypes = comboBox("ComboBox7", type);
    auto *typeLayout = new QHBoxLayout(type);
    typeLayout->addWidget(m_printTypes, 0, Qt::AlignTop);
    typeLayout->addWidget(command("SpeedButton29", QStringLiteral("stampa x tipo intervento"), type, &TMisurazioniForm::SpeedButton29Click), 0, Qt::AlignTop);
    typeLayout->addStretch();
    tabs->addTab(type, QStringLiteral("Tipo intervento"));
    return tabs;
}

QWidget *TMisurazioniForm::buildTechnicianTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("TabSheet7"));
    m_technicianGrid = new DBGrid(tab);
    m_technicianGrid->setObjectName(QStringLiteral("RxDBGrid2"));
    m_technicianGrid->setDataSource(&m_technicianSource);
    m_technicianGrid->setColumns({{QStringLiteral("Cf"), QStringLiteral("Cf"), 150},
                                  {QStringLiteral("Cogn_nome"), QStringLiteral("Cogn_nome"), 240},
                                  {QStringLiteral("Id_nu_sigillo"), QStringLiteral("Id_nu_sigillo"), 100},
                                  {QStringLiteral("Responsabile"), QStringLiteral("Responsabile"), 100},
                                  {QStringLiteral("Titolo_studio"), QStringLiteral("Titolo_studio"), 100},
                                  {QStringLiteral("Data_inizio"), QStringLiteral("Data_inizio"), 90},
                                  {QStringLiteral("Data_fine"), QStringLiteral("Data_fine"), 0}});
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(m_technicianGrid, 1);
    layout->addWidget(command("SpeedButton12", QStringLiteral("Stampa verifiche tecnico selezionato"), tab, &TMisurazioniForm::SpeedButton12Click), 0, Qt::AlignLeft);
    return tab;
}

void TMisurazioniForm::buildNextVerificationPanel(QWidget *page)
{
    m_nextPanel = new QFrame(page);
    m_nextPanel->setObjectName(QStringLiteral("Panel3"));
    m_nextPanel->setFrameShape(QFrame::Panel);
    m_nextPanel->setFrameShadow(QFrame::Raised);
    m_nextPanel->setAutoFillBackground(true);
    auto *title = new QLabel(QStringLiteral("DATA PROSSIMA VERIFICA"), m_nextPanel);
    m_nextDate = boundDate("DBDateEdit5", QStringLiteral("data_nuova_verifica"), m_nextPanel);
    QPushButton *ok = command("Button3", QStringLiteral("OK"), m_nextPanel, &TMisurazioniForm::Button3Click);
    QPushButton *cancel = command("Button4", QStringLiteral("annulla"), m_nextPanel, &TMisurazioniForm::Button4Click);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(m_nextPanel);
    layout->addWidget(title);
    layout->addWidget(m_nextDate);
    layout->addLayout(buttons);
    m_nextPanel->adjustSize();
    m_nextPanel->hide();
    ui::enterMovesAlong({m_nextDate, ok});
    // Leaving the panel is giving up the date.
    ui::whenLeft(m_nextPanel, [this] { Button4Click(); });
}

// --- The entry page.

void TMisurazioniForm::buildEntryPage()
{
    m_entryPage = new QWidget(this);
    QWidget *page = m_entryPage;

    // Made in the order Tab walks them; the buttons beside a field leave the focus in it when clicked.
    auto *shopGroup = new QGroupBox(QStringLiteral("Esercizio"), page);
    m_shop = new DBLookupComboBox(shopGroup);
    m_shop->setObjectName(QStringLiteral("DBLookupComboBox1"));
    m_shop->bind(dm->dsmisurazioni, QStringLiteral("Id_esercizio"));
    m_shop->setListSource(&m_shops, QStringLiteral("Id_esercizio"), QStringLiteral("Ragione_sociale"));
    QPushButton *findShop = command("SpeedButton6", QStringLiteral("cerca"), shopGroup, &TMisurazioniForm::SpeedButton6Click);
    findShop->setFocusPolicy(Qt::TabFocus);
    m_municipality = ui::upperCaseEdit("DBEdit3", dm->dsmisurazioni, QStringLiteral("COMUNE"), shopGroup);
    QPushButton *findMunicipality = command("SpeedButton16", QStringLiteral("Cerca il comune"), shopGroup,
                                            &TMisurazioniForm::SpeedButton16Click);
    findMunicipality->setToolTip(QStringLiteral("Cerca il comune"));
    findMunicipality->setFocusPolicy(Qt::TabFocus);
    m_province = boundEdit("DBEdit4", QStringLiteral("PROVINCIA"), shopGroup);
    ui::setFieldReadOnly(m_province, true);
    m_address = ui::upperCaseEdit("DBEdit5", dm->dsmisurazioni, QStringLiteral("INDIRIZZO"), shopGroup);
    m_cap = boundEdit("DBEdit6", QStringLiteral("CAP"), shopGroup);
    ui::setFieldReadOnly(m_cap, true);
    m_piva = new QLabel(shopGroup);
    m_piva->setObjectName(QStringLiteral("Label_piva"));
    auto *shopForm = new QFormLayout(shopGroup);
    shopForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shopForm->addRow(ui::fieldWithButton(m_shop, findShop, shopGroup));
    shopForm->addRow(QStringLiteral("Comune:"), ui::fieldWithButton(m_municipality, findMunicipality, shopGroup));
    shopForm->addRow(QStringLiteral("Prov.:"), m_province);
    shopForm->addRow(QStringLiteral("Indirizzo:"), m_address);
    shopForm->addRow(QStringLiteral("Cap:"), m_cap);
    shopForm->addRow(QStringLiteral("Partita Iva:"), m_piva);
    m_province->setMaximumWidth(60);
    m_cap->setMaximumWidth(80);

    auto *technicianGroup = new QGroupBox(QStringLiteral("Tecnico"), page);
    m_technician = comboBox("ComboBox1", technicianGroup);
    connect(m_technician, &QComboBox::activated, this, &TMisurazioniForm::ComboBox1Change);
    (new QVBoxLayout(technicianGroup))->addWidget(m_technician);

    auto *modelGroup = new QGroupBox(QStringLiteral("Misuratore Fiscale"), page);
    m_model = new DBLookupComboBox(modelGroup);
    m_model->setObjectName(QStringLiteral("DBLookupComboBox3"));
    m_model->bind(dm->dsmisurazioni, QStringLiteral("Id_ms"));
    m_model->setListSource(&m_models, QStringLiteral("Id_ms"), QStringLiteral("Denominazione_ms"));
    QPushButton *findModel = command("SpeedButton10", QStringLiteral("cerca"), modelGroup, &TMisurazioniForm::SpeedButton10Click);
    findModel->setFocusPolicy(Qt::TabFocus);
    m_brand = new QLineEdit(modelGroup);
    m_brand->setObjectName(QStringLiteral("DBText13"));
    m_logotype = new QLineEdit(modelGroup);
    m_logotype->setObjectName(QStringLiteral("DBText14"));
    m_logotype->setMaximumWidth(60);
    for (QLineEdit *shown : {m_brand, m_logotype}) {
        ui::setFieldReadOnly(shown, true);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    auto *modelForm = new QFormLayout(modelGroup);
    modelForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    modelForm->addRow(ui::fieldWithButton(m_model, findModel, modelGroup));
    auto *identity = new QHBoxLayout;
    identity->addWidget(m_brand, 1);
    identity->addWidget(new QLabel(QStringLiteral("Logotipo:"), modelGroup));
    identity->addWidget(m_logotype);
    modelForm->addRow(QStringLiteral("Marchio:"), identity);

    auto *general = new QGroupBox(QStringLiteral("Generale"), page);
    m_serial = ui::upperCaseEdit("DBEdit2", dm->dsmisurazioni, QStringLiteral("Matricola_ms"), general);
    m_serial->setMaximumWidth(160);
    m_type = new DBComboBox(general);
    m_type->setObjectName(QStringLiteral("RxDBComboBox1"));
    m_type->bind(dm->dsmisurazioni, QStringLiteral("Tipo_intervento"));
    m_start = boundDate("DBDateEdit1", QStringLiteral("Data_ini"), general);
    m_end = boundDate("DBDateEdit2", QStringLiteral("Data_fine"), general);
    m_outcomeEntry = new DBComboBox(general);
    m_outcomeEntry->setObjectName(QStringLiteral("RxDBComboBox2"));
    m_outcomeEntry->bind(dm->dsmisurazioni, QStringLiteral("Esito"));
    m_outcomeEntry->setItems({QStringLiteral("0=Esito Positivo"), QStringLiteral("1=Esito Negativo")});
    auto *note = new QLabel(QStringLiteral("L'esito è positivo quando il misuratore ha superato la verifica periodica, "
                                           "negativo quando non l'ha superata."),
                            general);
    note->setWordWrap(true);
    auto *generalForm = new QFormLayout(general);
    generalForm->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    generalForm->addRow(QStringLiteral("Matricola_ms"), m_serial);
    generalForm->addRow(QStringLiteral("Tipo intervento"), m_type);
    generalForm->addRow(QStringLiteral("Data inizio"), m_start);
    generalForm->addRow(QStringLiteral("Data fine"), m_end);
    generalForm->addRow(QStringLiteral("Esito"), m_outcomeEntry);
    generalForm->addRow(note);

    auto *nextGroup = new QGroupBox(QStringLiteral("DATA PROSSIMA VERIFICA:"), page);
    auto *nextForm = new QFormLayout(nextGroup);
    nextForm->addRow(QStringLiteral("Data prossima verifica:"), boundDate("DBDateEdit3", QStringLiteral("data_nuova_verifica"), nextGroup));

    auto *extra = new QGroupBox(QStringLiteral("Nuovi Campi ( Non Necessari per AGENZIA ENTRATE)"), page);
    auto *extraGrid = new QGridLayout(extra);
    extraGrid->setHorizontalSpacing(12);
    const auto place = [&](int row, int column, const QString &label, QWidget *field) {
        extraGrid->addWidget(fieldLabel(label, extra), row, column * 2);
        extraGrid->addWidget(field, row, column * 2 + 1);
    };
    place(0, 0, QStringLiteral("n_azzeramenti"), boundEdit("DBEdit7", QStringLiteral("n_azzeramenti"), extra));
    place(1, 0, QStringLiteral("importo"), boundEdit("DBEdit8", QStringLiteral("importo"), extra));
    auto *checks = new QHBoxLayout;
    checks->addWidget(boundCheck("DBCheckBox1", QStringLiteral("ivato"), QStringLiteral("ivato"), extra));
    checks->addWidget(boundCheck("DBCheckBox2", QStringLiteral("pagato"), QStringLiteral("pagato"), extra));
    checks->addWidget(boundCheck("DBCheckBox3", QStringLiteral("fatturato"), QStringLiteral("fatturato"), extra));
    checks->addStretch();
    extraGrid->addLayout(checks, 2, 1);
    place(3, 0, QStringLiteral("Promemoria"), boundDate("DBDateEdit4", QStringLiteral("Promemoria"), extra));
    place(0, 1, QStringLiteral("Referente"), boundEdit("DBEdit9", QStringLiteral("Referente"), extra));
    place(1, 1, QStringLiteral("Telefono"), boundEdit("DBEdit10", QStringLiteral("Telefono"), extra));
    place(2, 1, QStringLiteral("cellulare"), boundEdit("DBEdit11", QStringLiteral("cellulare"), extra));
    place(0, 2, QStringLiteral("note1"), boundEdit("DBEdit12", QStringLiteral("note1"), extra));
    place(1, 2, QStringLiteral("note2"), boundEdit("DBEdit13", QStringLiteral("note2"), extra));
    place(2, 2, QStringLiteral("note3"), boundEdit("DBEdit14", QStringLiteral("note3"), extra));
    for (int column : {1, 3, 5})
        extraGrid->setColumnStretch(column, column == 5 ? 2 : 1);

    QPushButton *ok = command("Button1", QStringLiteral("OK"), page, &TMisurazioniForm::Button1Click);
    QPushButton *cancel = command("Button2", QStringLiteral("Annulla"), page, &TMisurazioniForm::Button2Click);

    auto *left = new QVBoxLayout;
    left->addWidget(shopGroup);
    left->addWidget(technicianGroup);
    left->addWidget(modelGroup);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(general);
    right->addWidget(nextGroup);
    right->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addWidget(extra);
    layout->addLayout(buttons);
    layout->addStretch();

    addPage("TabSheet2", page, PageKind::Entry, m_shop);
    ui::enterMovesAlong({m_shop, m_technician, m_model, m_serial, m_type, m_start, m_end, m_outcomeEntry, ok});
    ui::whenLeft(m_shop, [this] { DBLookupComboBox1Exit(); });
    ui::whenLeft(m_start, [this] { DBDateEdit1Exit(); });
}

// --- Showing the window.

void TMisurazioniForm::FormShow()
{
    showRowCount();
    fillTemplates();
    CheckBox1Click();
    RadioGroup3Click();
    RegistryWindow::FormShow();
    openCopies();
    m_printArea->setCurrentWidget(m_searchTab);

    QStringList cities{QStringLiteral("TUTTI")};
    const Table *municipalities = dm->Tabcomuni;
    for (int row = 0, rows = municipalities->recordCount(); row < rows; ++row)
        cities << municipalities->valueAt(row, QStringLiteral("COMUNE")).toString();
    m_cities->addItems(cities);
    m_cities->setCurrentIndex(0);

    fillTypeLists();
}

void TMisurazioniForm::fillTemplates()
{
    // The user's own print layouts, in the order the folder gives them; the second is the current one.
    m_templates->addItems(verifications::userTemplateNames());
    m_templates->setCurrentIndex(m_templates->count() >= 2 ? 1 : -1);
    if (m_templates->currentIndex() >= 0)
        ComboBox6Change();
}

void TMisurazioniForm::fillTypeLists()
{
    QStringList items;
    QStringList codes{QString()}; // a print list may be left empty
    const Table *types = dm->Tabtipo_int;
    for (int row = 0, rows = types->recordCount(); row < rows; ++row) {
        const QString code = types->valueAt(row, QStringLiteral("tipo")).toString();
        items << code + QLatin1Char('=') + types->valueAt(row, QStringLiteral("descrizione")).toString();
        codes << code;
    }
    m_searchTypes->addItems(items);
    m_searchTypes->setCurrentIndex(-1);
    m_type->setItems(items);
    m_periodTypes->addItems(codes);
    m_printTypes->addItems(codes);
}

void TMisurazioniForm::openCopies()
{
    openCopy(m_shops, QStringLiteral("esercizio"), QStringLiteral("rs_index"));
    openCopy(m_models, QStringLiteral("ms"), QStringLiteral("indice1"));
    openCopy(m_technicianList, QStringLiteral("tecnici"), QStringLiteral("indice1"));
    openCopy(m_technicianEntries, QStringLiteral("tecnici"), QStringLiteral("indice1"));
}

void TMisurazioniForm::showRowCount()
{
    m_rowCount->setText(QStringLiteral("N° di righe :") + QString::number(dm->Tabmisurazioni->recordCount()));
}

void TMisurazioniForm::showModel()
{
    const Table *table = dm->Tabmisurazioni;
    m_brand->setText(table->asString(QStringLiteral("marchio_ms")));
    m_logotype->setText(table->asString(QStringLiteral("logotipo_ms")));
}

void TMisurazioniForm::done(int result)
{
    RegistryWindow::done(result);
    verifications::endSearch(*dm->Tabmisurazioni);
}

// --- Commands that change rows.

void TMisurazioniForm::SpeedButton1Click()
{
    if (!startEntry(dm->Tabmisurazioni, Entry::Append, EntryPage))
        return;
    m_piva->clear();
    SpeedButton15Click();
}

void TMisurazioniForm::SpeedButton2Click()
{
    Table *table = dm->Tabmisurazioni;
    if (table->asBoolean(QStringLiteral("Scarico_sn"))) {
        Messages::plain(QStringLiteral("Attenzione la misurazione risulta effetturata, non è possibile modificare"));
        return;
    }
    if (!startEntry(table, Entry::Edit, EntryPage))
        return;
    m_piva->clear();
    SpeedButton15Click();
    // The row's technician, as the list offers him: the last of equal entries.
    const QVariant technician = table->value(QStringLiteral("Id_tecnico"));
    for (const verifications::TechnicianEntry &entry : std::as_const(m_entries)) {
        if (technician.isNull() || entry.id != technician)
            continue;
        for (int item = m_technician->count() - 1; item >= 0; --item) {
            if (m_technician->itemText(item) == entry.text) {
                m_technician->setCurrentIndex(item);
                break;
            }
        }
        break;
    }
}

void TMisurazioniForm::SpeedButton15Click()
{
    m_entries = verifications::technicianEntries(m_technicianEntries, *dm->TabLsogg);
    m_technician->clear();
    for (const verifications::TechnicianEntry &entry : std::as_const(m_entries)) {
        if (entry.offered)
            m_technician->addItem(entry.text);
    }
    m_technician->setCurrentIndex(-1);
}

void TMisurazioniForm::ComboBox1Change()
{
    const QVariant technician = verifications::technicianOf(m_entries, m_technician->currentText());
    if (!technician.isNull())
        ignoringFailures([&] { dm->Tabmisurazioni->setValue(QStringLiteral("Id_tecnico"), technician); });
}

void TMisurazioniForm::DBLookupComboBox1Exit()
{
    Table *table = dm->Tabmisurazioni;
    if (!table->isEditing())
        return;
    try {
        if (const std::optional<QString> piva = verifications::copyShopAddress(*table, m_shops))
            m_piva->setText(*piva);
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
}

void TMisurazioniForm::DBDateEdit1Exit()
{
    Table *table = dm->Tabmisurazioni;
    const QDate start = QDate::fromString(m_start->displayText(), QStringLiteral("dd/MM/yyyy"));
    if (table->isEditing() && m_end->isBlank() && start.isValid())
        table->setValue(QStringLiteral("Data_fine"), start);
}

void TMisurazioniForm::Button1Click()
{
    if (const std::optional<ShownMessage> problem =
            verifications::dateProblem(m_start->displayText(), m_end->displayText(), appState().AnnoLavoro)) {
        showMessage(*problem);
        return;
    }
    if (!commitEdits(m_entryPage))
        return;
    // The dates passed above; the technician must also be one the register knows by name.
    const QString texts[] = {m_municipality->text(),       m_province->text(),
                             m_address->text(),            m_cap->text(),
                             m_serial->text(),             m_type->currentText(),
                             m_outcomeEntry->currentText(), m_shop->currentText(),
                             dm->Tabmisurazioni->asString(QStringLiteral("cogn_nome")),
                             m_model->currentText(),       m_technician->currentText()};
    for (const QString &text : texts) {
        if (text.trimmed().isEmpty()) {
            Messages::plain(Incomplete);
            return;
        }
    }
    storeEntry(dm->Tabmisurazioni);
}

void TMisurazioniForm::Button2Click()
{
    cancelEntry(dm->Tabmisurazioni);
}

void TMisurazioniForm::SpeedButton3Click()
{
    Table *table = dm->Tabmisurazioni;
    if (table->isEmpty()) {
        Messages::plain(QStringLiteral("Nulla da eliminare"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Sei sicuro di volere cancellare la verificazione selezionata?")))
        return;
    try {
        table->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    Messages::information(QStringLiteral("Verificazione eliminata correttamente."));
}

template<class W>
void TMisurazioniForm::pickInto(W *&window, Table *registry, const QString &field, QWidget *list)
{
    Table *row = dm->Tabmisurazioni;
    const QVariant current = row->value(field);
    if (!current.isNull())
        ignoringFailures([&] { registry->locate(field, {current}); });
    if (pick(window)) {
        try {
            row->setValue(field, registry->value(field));
        } catch (const std::exception &failure) {
            Messages::error(failure);
        }
    }
    // Leaving the list from here on is what copies a new shop's address.
    list->setFocus();
}

void TMisurazioniForm::SpeedButton6Click()
{
    pickInto(esercizioForm, dm->Tabesercizio, QStringLiteral("Id_esercizio"), m_shop);
}

void TMisurazioniForm::SpeedButton10Click()
{
    pickInto(misuratoriForm, dm->Tabms, QStringLiteral("Id_ms"), m_model);
}

void TMisurazioniForm::SpeedButton16Click()
{
    searchMunicipality(QStringLiteral("MISURAZIONI"), m_municipality->text(), this, m_cap->text());
}

void TMisurazioniForm::DataprossimaVerifica1Click()
{
    const QRect grid = m_grid->geometry();
    m_nextPanel->move(grid.center() - m_nextPanel->rect().center());
    m_nextPanel->raise();
    m_nextPanel->show();
    m_nextDate->setFocus();
}

void TMisurazioniForm::Button3Click()
{
    ignoringFailures([this] {
        if (m_nextDate->commit())
            dm->Tabmisurazioni->post();
    });
    m_nextPanel->hide();
}

void TMisurazioniForm::Button4Click()
{
    ignoringFailures([] { dm->Tabmisurazioni->cancel(); });
    m_nextPanel->hide();
}

void TMisurazioniForm::SpeedButton4Click()
{
    accept();
}

// --- The list page.

void TMisurazioniForm::runOnList(const std::function<void()> &selection)
{
    try {
        selection();
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
    m_grid->setFocus();
}

void TMisurazioniForm::LbSpeedButton1Click()
{
    if (m_searchText->text().isEmpty())
        return;
    runOnList([this] { verifications::search(*dm, SearchItem(m_searchBy->itemIndex()), m_searchText->text()); });
}

void TMisurazioniForm::LbSpeedButton3Click()
{
    if (m_searchText->text().isEmpty())
        return;
    runOnList([this] { verifications::filter(*dm->Tabmisurazioni, SearchItem(m_searchBy->itemIndex()), m_searchText->text()); });
}

void TMisurazioniForm::LbSpeedButton2Click()
{
    m_searchText->clear();
    verifications::showAll(*dm->Tabmisurazioni);
}

void TMisurazioniForm::RadioGroup3Click()
{
    const auto item = SearchItem(m_searchBy->itemIndex());
    m_searchText->setVisible(item != SearchItem::TipoIntervento && item != SearchItem::Trimestre);
    m_searchTypes->setVisible(item == SearchItem::TipoIntervento);
    m_quarters->setVisible(item == SearchItem::Trimestre);
    // What was typed for one item is no key for another.
    m_searchText->clear();
    m_searchTypes->setCurrentIndex(-1);
    m_quarters->setCurrentIndex(-1);
}

void TMisurazioniForm::ComboBox3Change()
{
    m_searchText->setText(m_searchTypes->currentText().left(1));
}

void TMisurazioniForm::ComboBox5Change()
{
    m_searchText->setText(m_quarters->currentText());
}

void TMisurazioniForm::CheckBox1Click()
{
    m_sidePanel->setVisible(m_showExtra->isChecked());
}

void TMisurazioniForm::Edit2Change()
{
    m_shopId->clear();
    QVariant shop;
    ignoringFailures([&] {
        shop = m_shops.lookup(QStringLiteral("Ragione_sociale"), {m_shopName->text()}, QStringLiteral("Id_esercizio"));
    });
    if (!shop.isNull())
        m_shopId->setText(shop.toString());
}

void TMisurazioniForm::SpeedButton9Click()
{
    Table *shops = dm->Tabesercizio;
    ignoringFailures([&] { shops->locate(QStringLiteral("Ragione_sociale"), {m_shopName->text()}); });
    if (!pick(esercizioForm))
        return;
    m_shopName->setText(shops->asString(QStringLiteral("Ragione_sociale")));
    m_shopId->setText(shops->asString(QStringLiteral("Id_esercizio")));
}

// --- The prints.

verifications::Preview TMisurazioniForm::preview()
{
    return [this](const report::Report &report) { ui::previewReport(report, this); };
}

void TMisurazioniForm::refused(const verifications::Selection &selection)
{
    if (selection.applied || selection.message.isEmpty())
        return;
    Messages::plain(selection.message);
    using Input = verifications::Selection::Input;
    QWidget *input = nullptr;
    if (selection.missing == Input::From)
        input = m_from;
    else if (selection.missing == Input::To)
        input = m_to;
    else if (selection.missing == Input::Shop)
        input = m_shopName;
    if (input)
        input->setFocus();
}

verifications::Period TMisurazioniForm::period() const
{
    return {m_from->text(), m_to->text(), m_periodBy->itemIndex() == 0, m_cities->currentText(), m_periodTypes->currentText()};
}

void TMisurazioniForm::SpeedButton7Click()
{
    refused(m_prints.printPeriod(period(), false, preview()));
}

void TMisurazioniForm::SpeedButton14Click()
{
    refused(m_prints.printPeriod(period(), true, preview()));
}

void TMisurazioniForm::SpeedButton5Click()
{
    m_prints.printCurrent(preview());
}

void TMisurazioniForm::SpeedButton11Click()
{
    refused(m_prints.printShopCard(m_shopId->text(), m_shopName->text(), preview()));
}

void TMisurazioniForm::SpeedButton13Click()
{
    refused(m_prints.printOutcome(m_outcome->itemIndex(), preview()));
}

void TMisurazioniForm::SpeedButton12Click()
{
    refused(m_prints.printTechnician(m_technicianList.value(QStringLiteral("Id_tecnico")),
                                      m_technicianList.asString(QStringLiteral("Cogn_nome")), preview()));
}

void TMisurazioniForm::SpeedButton29Click()
{
    refused(m_prints.printType(m_printTypes->currentText(), preview()));
}

void TMisurazioniForm::ComboBox6Change()
{
    m_prints.loadUserTemplate(m_templates->currentText());
}

void TMisurazioniForm::SpeedButton27Click()
{
    if (!m_prints.hasUserTemplate()) {
        Messages::plain(NoUserTemplate);
        return;
    }
    refused(m_prints.printWithUserTemplate(m_from->text(), preview()));
}

void TMisurazioniForm::SpeedButton28Click()
{
    ui::designReport(m_prints.userReport(), m_prints.userTemplateFile(), this);
}
