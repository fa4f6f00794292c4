#include "registries/misuratoriw.h"

#include "ground/messages.h"
#include "data/tdm.h"
#include "registries/misuratori.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/reportwindows.h"

#include <QGroupBox>

TmisuratoriForm *misuratoriForm = nullptr;

using engine::Table;

namespace {

const QColor Purple(0x80, 0x00, 0x80);

} // namespace

TmisuratoriForm::TmisuratoriForm(QWidget *parent)
    : RegistryWindow("misuratoriForm", QStringLiteral("Elenco misuratori"), {900, 600}, parent)
{
    buildListPage();
    buildEntryPage();
}

void TmisuratoriForm::buildListPage()
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("RxDBGrid1"));
    grid->setDataSource(dm->dsms);
    grid->setColumns({{QStringLiteral("Marchio_ms"), QStringLiteral("Marchio misuratore"), 300},
                      {QStringLiteral("Denominazione_ms"), QStringLiteral("Denominazione misuratore"), 300},
                      {QStringLiteral("Logotipo_ms"), QStringLiteral("Logotipo misuratore"), 0}});
    grid->setRowColor([](const Table &table, int row) {
        return isWellFormedLogotype(table.valueAt(row, QStringLiteral("Logotipo_ms")).toString()) ? QColor() : Purple;
    });

    // Made in the order Tab walks them.
    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo"), this, &TmisuratoriForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica"), this, &TmisuratoriForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("Elimna"), this, &TmisuratoriForm::SpeedButton3Click);
    QPushButton *print = command("SpeedButton8", QStringLiteral("Stampa "), this, &TmisuratoriForm::SpeedButton8Click);
    QGroupBox *prints = ui::printsGroup(print, this);
    m_select = command("SpeedButton6", QStringLiteral("Seleziona"), this, &TmisuratoriForm::SpeedButton6Click);
    m_cancelPick = command("SpeedButton7", QStringLiteral("Annulla"), this, &TmisuratoriForm::SpeedButton7Click);
    m_close = command("SpeedButton4", QStringLiteral("chiudi"), this, &TmisuratoriForm::SpeedButton4Click);

    QWidget *page = ui::listPage(grid, {newButton, editButton, deleteButton, prints}, {m_select, m_cancelPick, m_close}, this);
    addPage("TabSheet1", page, PageKind::List, grid);
}

void TmisuratoriForm::buildEntryPage()
{
    m_brand = ui::upperCaseEdit("DBEdit1", dm->dsms, QStringLiteral("Marchio_ms"), this);
    m_model = ui::upperCaseEdit("DBEdit2", dm->dsms, QStringLiteral("Denominazione_ms"), this);
    m_logotype = ui::upperCaseEdit("DBEdit3", dm->dsms, QStringLiteral("Logotipo_ms"), this);
    addEntryPage("TabSheet2", QStringLiteral("Misuratore"),
                 {{QStringLiteral("Marchio misuratore"), m_brand},
                  {QStringLiteral("Denominazione misuratore"), m_model},
                  {QStringLiteral("Logotipo misuratore"), m_logotype}},
                 {command("Button1", QStringLiteral("OK"), this, &TmisuratoriForm::Button1Click),
                  command("Button2", QStringLiteral("Annulla"), this, &TmisuratoriForm::Button2Click)},
                 m_brand);
}

void TmisuratoriForm::FormShow()
{
    RegistryWindow::FormShow();
    offerChoice(m_close, m_select, m_cancelPick);
}

void TmisuratoriForm::SpeedButton1Click()
{
    startEntry(dm->Tabms, Entry::Append, EntryPage);
}

void TmisuratoriForm::SpeedButton2Click()
{
    startEntry(dm->Tabms, Entry::Edit, EntryPage);
}

void TmisuratoriForm::SpeedButton3Click()
{
    Table *models = dm->Tabms;
    if (models->isEmpty()) {
        Messages::plain(QStringLiteral("nulla da eliminare"));
        return;
    }
    Messages::warning(QStringLiteral("Attenzione. Eliminando un misuratore , rischiate di perdere dei dati nella finestra delle verifiche."));
    Messages::warning(QStringLiteral("Attenzione. Se non siete sicuri contattate la vesksoft."));
    if (!Messages::confirm(QStringLiteral("Attenzione. Continuare nella eliminazione?")))
        return;
    try {
        models->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
}

void TmisuratoriForm::Button1Click()
{
    if (m_brand->text().isEmpty() || m_model->text().isEmpty() || m_logotype->text().size() != 2) {
        Messages::plain(QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi"));
        return;
    }
    storeEntry(dm->Tabms);
}

void TmisuratoriForm::Button2Click()
{
    cancelEntry(dm->Tabms);
}

void TmisuratoriForm::SpeedButton8Click()
{
    ui::previewList({QStringLiteral("Elenco"), QStringLiteral("Stampa elenco misuratori"), {}, QStringLiteral("dm.Tabms"),
                     {QStringLiteral("[dm.Tabms.\"Marchio_ms\"]"), QStringLiteral("[dm.Tabms.\"Denominazione_ms\"]"),
                      QStringLiteral("[dm.Tabms.\"Logotipo_ms\"]")}},
                    *dm->Tabms, this);
}

void TmisuratoriForm::SpeedButton4Click()
{
    accept();
}

void TmisuratoriForm::SpeedButton6Click()
{
    closeWithChoice();
}

void TmisuratoriForm::SpeedButton7Click()
{
    reject();
}
