#include "register/tipo_intw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"

#include <QSpinBox>

Ttipo_intForm *tipo_intForm = nullptr;

using engine::Table;

Ttipo_intForm::Ttipo_intForm(QWidget *parent)
    : RegistryWindow("tipo_intForm", QStringLiteral("Tipo di intervento:"), {700, 480}, parent)
{
    buildListPage();
    buildEditPage();
}

Ttipo_intForm::~Ttipo_intForm()
{
    FormClose();
}

void Ttipo_intForm::buildListPage()
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSource(dm->dstipo_int);
    grid->setColumns({{QStringLiteral("tipo"), QStringLiteral("tipo"), 70},
                      {QStringLiteral("descrizione"), QStringLiteral("descrizione"), 380},
                      {QStringLiteral("locked"), QStringLiteral("locked"), 0}});
    // Made in the order Tab walks them.
    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo"), this, &Ttipo_intForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica"), this, &Ttipo_intForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("Elimina"), this, &Ttipo_intForm::SpeedButton3Click);
    QPushButton *closeButton = command("SpeedButton4", QStringLiteral("chiudi"), this, &Ttipo_intForm::SpeedButton4Click);
    QWidget *page = ui::listPage(grid, {newButton, editButton, deleteButton}, {closeButton}, this);
    addPage("TabSheet1", page, PageKind::List, grid);
}

void Ttipo_intForm::buildEditPage()
{
    m_description = ui::upperCaseEdit("DBEdit1", dm->dstipo_int, QStringLiteral("descrizione"), this);
    m_code = new QSpinBox(this);
    m_code->setObjectName(QStringLiteral("SpinEdit1"));
    m_code->setRange(1, MaxTypes);
    addEntryPage("TabSheet2", QStringLiteral("Tipo di intervento"),
                 {{QStringLiteral("descrizione"), m_description}, {QStringLiteral("tipo"), m_code}},
                 {command("SpeedButton5", QStringLiteral("OK"), this, &Ttipo_intForm::SpeedButton5Click),
                  command("SpeedButton6", QStringLiteral("Annulla"), this, &Ttipo_intForm::SpeedButton6Click)},
                 m_description);
}

void Ttipo_intForm::FormShow()
{
    ignoringFailures([this] {
        m_codes.setDirectory(appState().dataDir());
        m_codes.setTableName(QStringLiteral("tipo_int"));
        m_codes.setIndexName(QStringLiteral("tipo_index"));
        m_codes.open();
    });
    RegistryWindow::FormShow();
}

void Ttipo_intForm::FormClose()
{
    ignoringFailures([this] { m_codes.close(); });
}

bool Ttipo_intForm::currentLocked() const
{
    Table *types = dm->Tabtipo_int;
    return types->isOpen() && !types->isEmpty() && types->asBoolean(QStringLiteral("locked"));
}

void Ttipo_intForm::SpeedButton1Click()
{
    if (dm->Tabtipo_int->recordCount() >= MaxTypes) {
        Messages::plain(QStringLiteral("possono essere inseriti solo 9 tipi di intervento"));
        return;
    }
    if (startEntry(dm->Tabtipo_int, Entry::Append, EditPage))
        m_code->setValue(m_code->minimum());
}

void Ttipo_intForm::SpeedButton2Click()
{
    if (currentLocked()) {
        Messages::plain(QStringLiteral("Record non modificabile"));
        return;
    }
    if (startEntry(dm->Tabtipo_int, Entry::Edit, EditPage))
        m_code->setValue(dm->Tabtipo_int->asInteger(QStringLiteral("tipo")));
}

void Ttipo_intForm::SpeedButton3Click()
{
    if (currentLocked()) {
        Messages::plain(QStringLiteral("Record non eliminabile"));
        return;
    }
    ignoringFailures([] { dm->Tabtipo_int->remove(); });
}

void Ttipo_intForm::SpeedButton5Click()
{
    Table *types = dm->Tabtipo_int;
    const int code = m_code->value();
    bool used = false;
    ignoringFailures([&] {
        m_codes.refresh();
        used = m_codes.locate(QStringLiteral("tipo"), {code})
            && m_codes.asInteger(QStringLiteral("Id")) != types->asInteger(QStringLiteral("Id"));
    });
    if (used) {
        Messages::plain(QStringLiteral("codice TIPO già in uso. Cambialo."));
        return;
    }
    storeEntry(types, [&] { types->setValue(QStringLiteral("tipo"), code); });
}

void Ttipo_intForm::SpeedButton6Click()
{
    cancelEntry(dm->Tabtipo_int);
}

void Ttipo_intForm::SpeedButton4Click()
{
    accept();
}
