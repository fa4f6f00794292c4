#include "registries/misuratoriw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "registries/misuratori.h"
#include "ui/closeguard.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TmisuratoriForm *misuratoriForm = nullptr;

using engine::Table;

namespace {

const QColor Purple(0x80, 0x00, 0x80);

} // namespace

TmisuratoriForm::TmisuratoriForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("misuratoriForm"));
    setWindowTitle(QStringLiteral("Elenco misuratori"));
    resize(900, 600);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addWidget(buildListPage());
    m_pages->addWidget(buildEntryPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    new CloseGuard(this, m_pages, ListPage);
}

QWidget *TmisuratoriForm::buildListPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet1"));

    auto *grid = new DBGrid(page);
    grid->setObjectName(QStringLiteral("RxDBGrid1"));
    grid->setDataSource(dm->dsms);
    grid->setColumns({{QStringLiteral("Marchio_ms"), QStringLiteral("Marchio misuratore"), 300},
                      {QStringLiteral("Denominazione_ms"), QStringLiteral("Denominazione misuratore"), 300},
                      {QStringLiteral("Logotipo_ms"), QStringLiteral("Logotipo misuratore"), 0}});
    grid->setRowColor([](const Table &table, int row) {
        return isWellFormedLogotype(table.valueAt(row, QStringLiteral("Logotipo_ms")).toString()) ? QColor() : Purple;
    });

    auto *newButton = ui::commandButton("SpeedButton1", QStringLiteral("Nuovo"), page);
    auto *editButton = ui::commandButton("SpeedButton2", QStringLiteral("Modifica"), page);
    auto *deleteButton = ui::commandButton("SpeedButton3", QStringLiteral("Elimna"), page);
    connect(newButton, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton1Click);
    connect(editButton, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton2Click);
    connect(deleteButton, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton3Click);

    auto *prints = new QGroupBox(QStringLiteral("stampe"), page);
    prints->setObjectName(QStringLiteral("GroupBox1"));
    // Printing waits for the report engine.
    auto *print = ui::commandButton("SpeedButton8", QStringLiteral("Stampa "), prints);
    print->setEnabled(false);
    auto *printsLayout = new QHBoxLayout(prints);
    printsLayout->addWidget(print);

    m_close = ui::commandButton("SpeedButton4", QStringLiteral("chiudi"), page);
    m_select = ui::commandButton("SpeedButton6", QStringLiteral("Seleziona"), page);
    m_cancelPick = ui::commandButton("SpeedButton7", QStringLiteral("Annulla"), page);
    connect(m_close, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton4Click);
    connect(m_select, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton6Click);
    connect(m_cancelPick, &QPushButton::clicked, this, &TmisuratoriForm::SpeedButton7Click);

    auto *commands = new QHBoxLayout;
    commands->addWidget(newButton);
    commands->addWidget(editButton);
    commands->addWidget(deleteButton);
    commands->addSpacing(16);
    commands->addWidget(prints);
    commands->addStretch();
    commands->addWidget(m_select);
    commands->addWidget(m_cancelPick);
    commands->addWidget(m_close);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    layout->addLayout(commands);
    return page;
}

QWidget *TmisuratoriForm::buildEntryPage()
{
    auto edit = [this](const char *name, const QString &field) {
        auto *e = new DBEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->bind(dm->dsms, field);
        e->setUpperCase(true);
        return e;
    };
    m_brand = edit("DBEdit1", QStringLiteral("Marchio_ms"));
    m_model = edit("DBEdit2", QStringLiteral("Denominazione_ms"));
    m_logotype = edit("DBEdit3", QStringLiteral("Logotipo_ms"));

    auto *ok = ui::commandButton("Button1", QStringLiteral("OK"), this);
    auto *cancel = ui::commandButton("Button2", QStringLiteral("Annulla"), this);
    connect(ok, &QPushButton::clicked, this, &TmisuratoriForm::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &TmisuratoriForm::Button2Click);
    QWidget *page = ui::entryPage(QStringLiteral("Misuratore"),
                                  {{QStringLiteral("Marchio misuratore"), m_brand},
                                   {QStringLiteral("Denominazione misuratore"), m_model},
                                   {QStringLiteral("Logotipo misuratore"), m_logotype}},
                                  {ok, cancel}, this);
    page->setObjectName(QStringLiteral("TabSheet2"));
    ui::enterMovesToNextField(page);
    return page;
}

void TmisuratoriForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TmisuratoriForm::FormShow()
{
    showPage(ListPage);
    AppState &state = appState();
    const bool picking = state.SceltaFatta;
    state.SceltaFatta = false;
    m_close->setVisible(!picking);
    m_select->setVisible(picking);
    m_cancelPick->setVisible(picking);
}

void TmisuratoriForm::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
    if (page == EntryPage)
        m_brand->setFocus();
}

void TmisuratoriForm::SpeedButton1Click()
{
    dm->Tabms->append();
    showPage(EntryPage);
}

void TmisuratoriForm::SpeedButton2Click()
{
    dm->Tabms->edit();
    showPage(EntryPage);
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
    if (!commitEdits(m_pages->widget(EntryPage)))
        return;
    try {
        dm->Tabms->post();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    showPage(ListPage);
}

void TmisuratoriForm::Button2Click()
{
    dm->Tabms->cancel();
    showPage(ListPage);
}

void TmisuratoriForm::SpeedButton4Click()
{
    accept();
}

void TmisuratoriForm::SpeedButton6Click()
{
    appState().SceltaFatta = true;
    accept();
}

void TmisuratoriForm::SpeedButton7Click()
{
    reject();
}
