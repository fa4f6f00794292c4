#include "registries/eserciziow.h"

#include "ground/messages.h"
#include "codfis/piva.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "registries/esercizi.h"
#include "registries/zoom_comuniw.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/reportwindows.h"
#include "ui/keyhelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TesercizioForm *esercizioForm = nullptr;

using engine::LocateOption;
using engine::Table;

namespace {

const QString SearchByName = QStringLiteral("Ragione_Sociale");
const QString SearchByPiva = QStringLiteral("PIVA");

// A field the user does not type: the data store fills it from the municipality.
void greyOut(DBEdit *edit)
{
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    edit->setPalette(palette);
}

} // namespace

TesercizioForm::TesercizioForm(QWidget *parent)
    : RegistryWindow("esercizioForm", QStringLiteral("esercizi/clienti"), {1000, 640}, parent)
{
    buildListPage();
    buildEntryPage();
    Tdm::shopWindow = this;
}

TesercizioForm::~TesercizioForm()
{
    if (Tdm::shopWindow == this)
        Tdm::shopWindow = nullptr;
}

void TesercizioForm::buildListPage()
{
    auto *top = new QWidget(this);
    auto *hint = new QLabel(QStringLiteral("cliccate sul titolo delle colonne per cambiare ordinamento"), top);
    hint->setObjectName(QStringLiteral("Label1"));
    auto *grid = new DBGrid(top);
    grid->setObjectName(QStringLiteral("RxDBGrid1"));
    grid->setDataSource(dm->dsesercizio);
    grid->setColumns({{QStringLiteral("Ragione_sociale"), QStringLiteral("Ragione Sociale"), 320},
                      {QStringLiteral("Piva"), QStringLiteral("P.iva"), 110},
                      {QStringLiteral("Comune"), QStringLiteral("Comune"), 200},
                      {QStringLiteral("Provincia"), QStringLiteral("Provincia"), 80},
                      {QStringLiteral("Indirizzo"), QStringLiteral("Indirizzo"), 260},
                      {QStringLiteral("Cap"), QStringLiteral("Cap"), 60}});
    connect(grid, &DBGrid::titleClicked, this, &TesercizioForm::RxDBGrid1TitleClick);
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(hint);
    topLayout->addWidget(grid, 1);

    // Made in the order Tab walks them.
    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo/F8"), this, &TesercizioForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica/F9"), this, &TesercizioForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("elimina"), this, &TesercizioForm::SpeedButton3Click);

    auto *find = new QGroupBox(QStringLiteral("Trova"), this);
    find->setObjectName(QStringLiteral("GroupBox2"));
    m_searchField = new QComboBox(find);
    m_searchField->setObjectName(QStringLiteral("ComboBox1"));
    m_searchField->setEditable(true);
    m_searchField->addItems({SearchByName, SearchByPiva});
    m_search = new QLineEdit(find);
    m_search->setObjectName(QStringLiteral("Edit1"));
    m_search->setMinimumWidth(200);
    ui::setUpperCase(m_search);
    connect(m_search, &QLineEdit::textChanged, this, &TesercizioForm::Edit1Change);
    QPushButton *findButton = command("SpeedButton5", QStringLiteral("Trova"), find, &TesercizioForm::SpeedButton5Click);
    auto *findLayout = new QHBoxLayout(find);
    findLayout->addWidget(m_searchField);
    findLayout->addWidget(m_search);
    findLayout->addWidget(findButton);

    QPushButton *print = command("SpeedButton8", QStringLiteral("Stampa "), this, &TesercizioForm::SpeedButton8Click);
    QGroupBox *prints = ui::printsGroup(print, this);

    m_select = command("SpeedButton6", QStringLiteral("Seleziona"), this, &TesercizioForm::SpeedButton6Click);
    m_cancelPick = command("SpeedButton7", QStringLiteral("Annulla"), this, &TesercizioForm::SpeedButton7Click);
    m_close = command("SpeedButton4", QStringLiteral("chiudi"), this, &TesercizioForm::SpeedButton4Click);

    QWidget *page = ui::listPage(top, {newButton, editButton, deleteButton, find, prints}, {m_select, m_cancelPick, m_close}, this);
    addPage("TabSheet1", page, PageKind::List, grid);
    // The window sees the keys before its controls; on the entry page the buttons are not shown.
    ui::bindFunctionKey(this, Qt::Key_F8, newButton);
    ui::bindFunctionKey(this, Qt::Key_F9, editButton);
}

void TesercizioForm::buildEntryPage()
{
    // Made in the order Tab walks them.
    m_name = ui::upperCaseEdit("DBEdit2", dm->dsesercizio, QStringLiteral("Ragione_sociale"), this);
    m_piva = ui::upperCaseEdit("DBEdit3", dm->dsesercizio, QStringLiteral("Piva"), this);
    auto *municipalityRow = new QWidget(this);
    m_municipality = ui::upperCaseEdit("DBEdit4", dm->dsesercizio, QStringLiteral("Comune"), municipalityRow);
    QPushButton *findMunicipality = command("SpeedButton9", QStringLiteral("Cerca il comune"), municipalityRow,
                                            &TesercizioForm::SpeedButton9Click);
    // A click leaves the focus in "Comune", so that a partial name is a search key, not yet the field's value.
    findMunicipality->setFocusPolicy(Qt::TabFocus);
    auto *rowLayout = new QHBoxLayout(municipalityRow);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(m_municipality, 1);
    rowLayout->addWidget(findMunicipality);
    m_province = ui::upperCaseEdit("DBEdit5", dm->dsesercizio, QStringLiteral("Provincia"), this);
    greyOut(m_province);
    m_address = ui::upperCaseEdit("DBEdit6", dm->dsesercizio, QStringLiteral("Indirizzo"), this);
    m_cap = new DBEdit(this);
    m_cap->setObjectName(QStringLiteral("DBEdit7"));
    m_cap->bind(dm->dsesercizio, QStringLiteral("Cap"));
    greyOut(m_cap);

    QPushButton *ok = command("Button1", QStringLiteral("OK"), this, &TesercizioForm::Button1Click);
    QPushButton *cancel = command("Button2", QStringLiteral("Annulla"), this, &TesercizioForm::Button2Click);
    addEntryPage("TabSheet2", QStringLiteral("Esercizio"),
                 {{QStringLiteral("Ragione Sociale"), m_name},
                  {QStringLiteral("P.iva"), m_piva},
                  {QStringLiteral("Comune"), municipalityRow},
                  {QStringLiteral("Provincia"), m_province},
                  {QStringLiteral("Indirizzo"), m_address},
                  {QStringLiteral("Cap"), m_cap}},
                 {ok, cancel}, m_name);
    ui::enterMovesAlong({m_name, m_piva, m_municipality, m_province, m_address, m_cap, ok});
}

void TesercizioForm::FormShow()
{
    forgetEntry();
    RegistryWindow::FormShow();
    ignoringFailures([] { dm->Tabesercizio->setIndexName(QStringLiteral("rs_index")); });
    m_searchField->setCurrentText(SearchByName);
    offerChoice(m_close, m_select, m_cancelPick);
}

void TesercizioForm::focusPiva()
{
    m_piva->setFocus();
}

void TesercizioForm::forgetEntry()
{
    m_newRow = false;
    m_rememberedPiva.clear();
}

void TesercizioForm::SpeedButton1Click()
{
    if (startEntry(dm->Tabesercizio, Entry::Append, EntryPage))
        m_newRow = true;
}

void TesercizioForm::SpeedButton2Click()
{
    // The row in Edit still holds the VAT number it was stored with.
    if (startEntry(dm->Tabesercizio, Entry::Edit, EntryPage))
        m_rememberedPiva = dm->Tabesercizio->asString(QStringLiteral("Piva"));
}

void TesercizioForm::SpeedButton3Click()
{
    Table *shops = dm->Tabesercizio;
    if (shops->isEmpty()) {
        Messages::plain(QStringLiteral("Nulla da eliminare"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Sei sicuro di volere cancellare l'esercizio selezionato?")))
        return;
    try {
        if (hasVerificationsInWorkingYear(shops->value(QStringLiteral("Id_esercizio")))) {
            Messages::warning(QStringLiteral("Eliminazione impossibile. Eliminare prima le misurazioni per la ditta selezionata."));
            return;
        }
        shops->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    Messages::plain(QStringLiteral("Esercizio eliminato correttamente."));
}

void TesercizioForm::SpeedButton8Click()
{
    ui::previewList({QStringLiteral("Elenco"), QStringLiteral("Stampa elenco esercizi"), QStringLiteral("Dati Esercizio"),
                     QStringLiteral("dm.Tabesercizio"),
                     {QStringLiteral("[dm.Tabesercizio.\"Ragione_sociale\"]"), QStringLiteral("[dm.Tabesercizio.\"Piva\"]"),
                      QStringLiteral("[dm.Tabesercizio.\"Comune\"][dm.Tabesercizio.\"Indirizzo\"]")}},
                    *dm->Tabesercizio, this);
}

void TesercizioForm::SpeedButton4Click()
{
    accept();
}

void TesercizioForm::SpeedButton5Click()
{
    search({});
}

void TesercizioForm::SpeedButton6Click()
{
    closeWithChoice();
}

void TesercizioForm::SpeedButton7Click()
{
    reject();
}

void TesercizioForm::SpeedButton9Click()
{
    searchMunicipality(QStringLiteral("ESERCIZIO"), m_municipality->text(), this);
}

void TesercizioForm::Edit1Change()
{
    search(LocateOption::PartialKey);
}

// The combo's text names the field; an unknown name, like no match, leaves the grid where it is.
void TesercizioForm::search(engine::LocateOptions options)
{
    ignoringFailures([&] { dm->Tabesercizio->locate(m_searchField->currentText(), {m_search->text()}, options); });
}

void TesercizioForm::RxDBGrid1TitleClick(const QString &field)
{
    static const struct {
        const char *field;
        const char *index;
        const QString *searchBy; // the search combo follows the name and VAT orders only
    } orders[] = {{"Ragione_sociale", "rs_index", &SearchByName},
                  {"Piva", "piva_index", &SearchByPiva},
                  {"Comune", "comune_index", nullptr},
                  {"Provincia", "prov_index", nullptr}};
    for (const auto &order : orders) {
        if (field.compare(QLatin1String(order.field), Qt::CaseInsensitive) != 0)
            continue;
        ignoringFailures([&] { dm->Tabesercizio->setIndexName(QString::fromLatin1(order.index)); });
        if (order.searchBy)
            m_searchField->setCurrentText(*order.searchBy);
        return;
    }
}

void TesercizioForm::Button1Click()
{
    Table *shops = dm->Tabesercizio;
    if (!commitEdits(this))
        return;
    const QString piva = shops->asString(QStringLiteral("Piva"));
    if (!PivaValida(piva)) {
        Messages::plain(QStringLiteral("Errore Partita Iva"));
        focusPiva();
        return;
    }
    try {
        // A shop being changed may keep its own number, held by itself.
        if (shopsWithPiva(piva) > 0 && (m_newRow || piva != m_rememberedPiva)) {
            Messages::plain(QStringLiteral("Errore Partita Iva esistente. Ditta caricata"));
            focusPiva();
            return;
        }
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    for (DBEdit *field : {m_name, m_piva, m_municipality, m_province, m_address, m_cap}) {
        if (field->text().trimmed().isEmpty()) {
            Messages::plain(QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi"));
            field->setFocus();
            return;
        }
    }
    if (storeEntry(shops))
        forgetEntry();
}

void TesercizioForm::Button2Click()
{
    forgetEntry();
    cancelEntry(dm->Tabesercizio);
}
