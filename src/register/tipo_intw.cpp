#include "register/tipo_intw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "ui/closeguard.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

Ttipo_intForm *tipo_intForm = nullptr;

using engine::Table;

Ttipo_intForm::Ttipo_intForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("tipo_intForm"));
    setWindowTitle(QStringLiteral("Tipo di intervento:"));
    resize(700, 480);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addWidget(buildListPage());
    m_pages->addWidget(buildEditPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    new CloseGuard(this, m_pages, ListPage);
}

Ttipo_intForm::~Ttipo_intForm()
{
    FormClose();
}

QWidget *Ttipo_intForm::buildListPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet1"));

    auto *grid = new DBGrid(page);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSource(dm->dstipo_int);
    grid->setColumns({{QStringLiteral("tipo"), QStringLiteral("tipo"), 70},
                      {QStringLiteral("descrizione"), QStringLiteral("descrizione"), 380},
                      {QStringLiteral("locked"), QStringLiteral("locked"), 0}});

    auto *newButton = ui::commandButton("SpeedButton1", QStringLiteral("Nuovo"), page);
    auto *editButton = ui::commandButton("SpeedButton2", QStringLiteral("Modifica"), page);
    auto *deleteButton = ui::commandButton("SpeedButton3", QStringLiteral("Elimina"), page);
    auto *closeButton = ui::commandButton("SpeedButton4", QStringLiteral("chiudi"), page);
    connect(newButton, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton1Click);
    connect(editButton, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton2Click);
    connect(deleteButton, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton3Click);
    connect(closeButton, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton4Click);

    auto *commands = new QHBoxLayout;
    commands->addWidget(newButton);
    commands->addWidget(editButton);
    commands->addWidget(deleteButton);
    commands->addStretch();
    commands->addWidget(closeButton);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    layout->addLayout(commands);
    return page;
}

QWidget *Ttipo_intForm::buildEditPage()
{
    m_description = new DBEdit(this);
    m_description->setObjectName(QStringLiteral("DBEdit1"));
    m_description->bind(dm->dstipo_int, QStringLiteral("descrizione"));
    m_description->setUpperCase(true);
    m_code = new QSpinBox(this);
    m_code->setObjectName(QStringLiteral("SpinEdit1"));
    m_code->setRange(1, MaxTypes);

    auto *ok = ui::commandButton("SpeedButton5", QStringLiteral("OK"), this);
    auto *cancel = ui::commandButton("SpeedButton6", QStringLiteral("Annulla"), this);
    connect(ok, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton5Click);
    connect(cancel, &QPushButton::clicked, this, &Ttipo_intForm::SpeedButton6Click);
    QWidget *page = ui::entryPage(QStringLiteral("Tipo di intervento"),
                                  {{QStringLiteral("descrizione"), m_description}, {QStringLiteral("tipo"), m_code}},
                                  {ok, cancel}, this);
    page->setObjectName(QStringLiteral("TabSheet2"));
    ui::enterMovesToNextField(page);
    return page;
}

void Ttipo_intForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void Ttipo_intForm::FormShow()
{
    ignoringFailures([this] {
        m_codes.setDirectory(appState().dataDir());
        m_codes.setTableName(QStringLiteral("tipo_int"));
        m_codes.setIndexName(QStringLiteral("tipo_index"));
        m_codes.open();
    });
    showPage(ListPage);
}

void Ttipo_intForm::FormClose()
{
    ignoringFailures([this] { m_codes.close(); });
    // A type left half entered must not be posted by the next move of the shared cursor.
    dm->Tabtipo_int->cancel();
}

void Ttipo_intForm::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
    if (page == EditPage)
        m_description->setFocus();
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
    showPage(EditPage);
    dm->Tabtipo_int->append();
    m_code->setValue(m_code->minimum());
}

void Ttipo_intForm::SpeedButton2Click()
{
    if (currentLocked()) {
        Messages::plain(QStringLiteral("Record non modificabile"));
        return;
    }
    showPage(EditPage);
    dm->Tabtipo_int->edit();
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
    if (!commitEdits(m_pages->widget(EditPage)))
        return;
    try {
        types->setValue(QStringLiteral("tipo"), code);
        types->post();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    showPage(ListPage);
}

void Ttipo_intForm::SpeedButton6Click()
{
    dm->Tabtipo_int->cancel();
    showPage(ListPage);
}

void Ttipo_intForm::SpeedButton4Click()
{
    accept();
}
