#include "quarterly/intermediariw.h"

#include "ground/messages.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"

TIntermediariForm *IntermediariForm = nullptr;

namespace {

const QString CodeTitle = QStringLiteral("Codice Fiscale o P.Iva:");
const QString CafTitle = QStringLiteral("Numero Iscrizione albo  CAF");
const QString NoteTitle = QStringLiteral("Nota (campo descrittivo non obbligatorio):");

} // namespace

TIntermediariForm::TIntermediariForm(QWidget *parent)
    : RegistryWindow("IntermediariForm", QStringLiteral("Intermediari:"), {900, 560}, parent)
{
    buildListPage();
    buildEditPage();
}

void TIntermediariForm::buildListPage()
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("RxDBGrid1"));
    grid->setDataSource(dm->DataSource2);
    grid->setColumns(
        {{QStringLiteral("CF"), CodeTitle, 220}, {QStringLiteral("NCAF"), CafTitle, 220}, {QStringLiteral("Nota"), NoteTitle, 0}});

    // Made in the order Tab walks them.
    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo"), this, &TIntermediariForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica"), this, &TIntermediariForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("elimina"), this, &TIntermediariForm::SpeedButton3Click);
    QPushButton *close = command("SpeedButton4", QStringLiteral("chiudi"), this, &TIntermediariForm::SpeedButton4Click);
    QWidget *page = ui::listPage(grid, {newButton, editButton, deleteButton}, {close}, this);
    addPage("TabSheet1", page, PageKind::List, grid);
}

void TIntermediariForm::buildEditPage()
{
    // Made in the order Tab walks them.
    m_code = ui::upperCaseEdit("DBEdit1", dm->DataSource2, QStringLiteral("CF"), this);
    DBEdit *caf = ui::upperCaseEdit("DBEdit2", dm->DataSource2, QStringLiteral("NCAF"), this);
    DBEdit *note = ui::upperCaseEdit("DBEdit3", dm->DataSource2, QStringLiteral("Nota"), this);
    QPushButton *ok = command("Button1", QStringLiteral("Ok"), this, &TIntermediariForm::Button1Click);
    QPushButton *cancel = command("Button2", QStringLiteral("Annulla"), this, &TIntermediariForm::Button2Click);
    addEntryPage("TabSheet2", QStringLiteral("Intermediario"), {{CodeTitle, m_code}, {CafTitle, caf}, {NoteTitle, note}},
                 {ok, cancel}, m_code);
}

void TIntermediariForm::SpeedButton1Click()
{
    startEntry(dm->Tabintermediario, Entry::Append, EditPage);
}

void TIntermediariForm::SpeedButton2Click()
{
    startEntry(dm->Tabintermediario, Entry::Edit, EditPage, Failure::Ignored);
}

void TIntermediariForm::SpeedButton3Click()
{
    // An empty list has nothing to delete, and says nothing.
    ignoringFailures([] { dm->Tabintermediario->remove(); });
}

void TIntermediariForm::SpeedButton4Click()
{
    accept();
}

void TIntermediariForm::Button1Click()
{
    if (m_code->text().trimmed().isEmpty()) {
        Messages::plain(QStringLiteral("il campo CF codice fiscale è obbligatorio. Ci va messo o il codice fiscale o la partita iva "
                                       "dell'intermediario"));
        m_code->setFocus();
        return;
    }
    storeEntry(dm->Tabintermediario);
}

void TIntermediariForm::Button2Click()
{
    cancelEntry(dm->Tabintermediario);
}
