#include "prints/stampe_extra.h"


#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "prints/export_xlsx.h"
#include "prints/extrafilter.h"
#include "prints/prn_extraw.h"
#include "ui/dbgrid.h"
#include "ui/desktop.h"
#include "ui/filedialogs.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStandardPaths>
#include <QVBoxLayout>

Tstampe_extraForm *stampe_extraForm = nullptr;

using engine::Table;

namespace {

const QColor Violet(0x80, 0x00, 0x80);

QComboBox *filterList(const char *objectName, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(objectName));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMinimumContentsLength(14);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

// A list of a registry's field, starting empty; a table that is not open gives an empty list.
void fill(QComboBox *list, const Table *table, const QString &field)
{
    list->clear();
    if (table && table->isOpen())
        list->addItems(extraprints::columnValues(*table, field));
    list->setCurrentIndex(-1);
    list->setEditText({});
}

} // namespace

Tstampe_extraForm::Tstampe_extraForm(QWidget *parent)
    : RegistryWindow("stampe_extraForm", QStringLiteral("Stampe"), {1180, 720}, parent)
{
    QLabel *banner = ui::banner("Label1",
                                QStringLiteral("Clicca sulle scritte viola per cambiare l'ordine - Scegli il tipo di filtro e "
                                               "clicca su Filtra oppure mostra tutti per annullare il filtro - infine stampa o "
                                               "esporta su Excel"),
                                this);
    banner->setStyleSheet(QStringLiteral("QLabel { color: #800080; padding: 4px; }"));

    m_grid = new DBGrid(this);
    m_grid->setObjectName(QStringLiteral("RxDBGrid1"));
    m_grid->setDataSource(dm->dsmisurazioni);
    QList<GridColumn> columns;
    for (const QString &field : extraprints::exportFields()) {
        GridColumn column{field, field};
        column.highlighted = extraprints::orderFieldFor(field).has_value();
        column.titleColor = Violet;
        columns << column;
    }
    m_grid->setColumns(columns);
    connect(m_grid, &DBGrid::titleClicked, this, &Tstampe_extraForm::RxDBGrid1TitleClick);

    QWidget *filters = buildFilterGroup();
    QPushButton *print = command("SpeedButton1", QStringLiteral("stampa"), this, &Tstampe_extraForm::SpeedButton1Click);
    QPushButton *exportButton = command("SpeedButton2", QStringLiteral("esporta su XLS"), this, &Tstampe_extraForm::SpeedButton2Click);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    QPushButton *close = command("LbSpeedButton11", QStringLiteral("Chiudi"), this, &Tstampe_extraForm::LbSpeedButton11Click);

    auto *outputs = new QVBoxLayout;
    outputs->addWidget(print);
    outputs->addWidget(exportButton);
    outputs->addWidget(m_progress);
    outputs->addStretch();
    outputs->addWidget(close);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(filters, 1);
    bottom->addLayout(outputs);

    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(banner);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);
    addPage("TabSheet1", page, PageKind::List, m_grid);
}

QWidget *Tstampe_extraForm::buildFilterGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Imposta filtro :"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_type = filterList("ComboBox1", group);
    m_type->addItems({QStringLiteral("1=Messa in servizio"), QStringLiteral("2=Defiscalizzazione"), QStringLiteral("3=Verifica periodica")});
    m_outcome = filterList("ComboBox2", group);
    m_outcome->addItems({QStringLiteral("0=Esito Positivo"), QStringLiteral("1=Esito Negativo")});
    m_municipality = filterList("ComboBox3", group);
    ui::setUpperCase(m_municipality->lineEdit());
    m_model = filterList("ComboBox4", group);
    m_model->installEventFilter(this);
    connect(m_model, &QComboBox::editTextChanged, this, &Tstampe_extraForm::ComboBox4Change);
    m_modelIds = new QComboBox(group);
    m_modelIds->setObjectName(QStringLiteral("ComboBox5"));
    m_modelIds->setMinimumContentsLength(6);
    m_technician = filterList("ComboBox6", group);
    m_ambiguous = new QLabel(group);
    m_ambiguous->setObjectName(QStringLiteral("Label6"));
    m_ambiguous->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    m_chooseId = new QLabel(group);
    m_chooseId->setObjectName(QStringLiteral("Label7"));
    QPushButton *filter = command("SpeedButton3", QStringLiteral("filtra"), group, &Tstampe_extraForm::SpeedButton3Click);
    QPushButton *all = command("SpeedButton4", QStringLiteral("mostra tutti"), group, &Tstampe_extraForm::SpeedButton4Click);

    auto *grid = new QGridLayout(group);
    const QList<QPair<QString, QComboBox *>> lists{{QStringLiteral("tipo_intevento"), m_type},
                                                   {QStringLiteral("esito"), m_outcome},
                                                   {QStringLiteral("comune"), m_municipality},
                                                   {QStringLiteral("denominazione_ms"), m_model},
                                                   {QStringLiteral("tecnico"), m_technician}};
    int column = 0;
    for (const auto &[caption, list] : lists) {
        auto *label = new QLabel(caption, group);
        label->setBuddy(list);
        grid->addWidget(label, 0, column);
        grid->addWidget(list, 1, column);
        grid->setColumnStretch(column, 1);
        ++column;
    }
    // The id list and the warning stand under the model list they belong to.
    auto *ids = new QHBoxLayout;
    ids->addWidget(m_chooseId);
    ids->addWidget(m_modelIds);
    ids->addStretch();
    grid->addWidget(m_ambiguous, 2, 3, 1, 2);
    grid->addLayout(ids, 3, 3, 1, 2);
    auto *commands = new QHBoxLayout;
    commands->addWidget(filter);
    commands->addWidget(all);
    commands->addStretch();
    grid->addLayout(commands, 2, 0, 2, 3, Qt::AlignBottom);
    grid->setRowMinimumHeight(2, fontMetrics().height() + 4);
    return group;
}

void Tstampe_extraForm::FormShow()
{
    RegistryWindow::FormShow();
    dm->Tabmisurazioni->setFiltered(false);
    for (QComboBox *list : {m_type, m_outcome}) {
        list->setCurrentIndex(-1);
        list->setEditText({});
    }
    fill(m_municipality, dm->Tabcomuni, QStringLiteral("COMUNE"));
    fill(m_model, dm->Tabms, QStringLiteral("Denominazione_ms"));
    fill(m_technician, dm->Tabtecnico, QStringLiteral("Cogn_nome"));
    ComboBox4Change();
}

QString Tstampe_extraForm::closeRefusal() const
{
    return {};
}

bool Tstampe_extraForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_model && event->type() == QEvent::FocusOut && !!m_modelIds->isHidden())
        ComboBox4Exit();
    return RegistryWindow::eventFilter(watched, event);
}

QString Tstampe_extraForm::activeFilterText() const
{
    const Table *verifications = dm->Tabmisurazioni;
    return verifications->isFiltered() ? verifications->filterText() : QString();
}

void Tstampe_extraForm::SpeedButton1Click()
{
    Tprn_extra::preview(*dm->Tabmisurazioni, activeFilterText(), this);
}

void Tstampe_extraForm::SpeedButton3Click()
{
    // A model typed and never left has not been checked yet: its ids are offered first.
    if (!!m_modelIds->isHidden() && ComboBox4Exit())
        return;
    extraprints::Choices choices;
    choices.type = m_type->currentText();
    choices.outcome = m_outcome->currentText();
    choices.municipality = m_municipality->currentText();
    choices.model = m_model->currentText();
    if (!m_modelIds->isHidden())
        choices.modelId = m_modelIds->currentText();
    choices.technician = m_technician->currentText();
    QString problem;
    const std::optional<QString> text = extraprints::filterText(choices, *dm->Tabms, *dm->Tabtecnico, &problem);
    if (!text) {
        Messages::warning(problem);
        return;
    }
    try {
        extraprints::applyFilter(*dm->Tabmisurazioni, *text);
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
}

void Tstampe_extraForm::SpeedButton4Click()
{
    dm->Tabmisurazioni->setFiltered(false);
    dm->Tabms->setFiltered(false);
}

void Tstampe_extraForm::SpeedButton2Click()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = FileDialogs::getSaveFileName(this, QStringLiteral("esporta su XLS"),
                                                QDir(documents).filePath(extraprints::defaultExportName(appState().AnnoLavoro)),
                                                QStringLiteral("Cartella di lavoro Excel (*.xlsx)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const extraprints::ExportOutcome outcome = extraprints::exportWorkbook(*dm->Tabmisurazioni, path, [this](int percent) {
        m_progress->setValue(percent);
        m_progress->repaint();
    });
    QApplication::restoreOverrideCursor();
    m_progress->setValue(0);
    if (!outcome.written) {
        Messages::error(outcome.problem);
        return;
    }
    Messages::plain(QStringLiteral("Fatto"));
    Desktop::openFile(path);
}

void Tstampe_extraForm::LbSpeedButton11Click()
{
    accept();
}

bool Tstampe_extraForm::ComboBox4Exit()
{
    const QStringList ids = extraprints::modelIdsNamed(*dm->Tabms, m_model->currentText());
    if (ids.size() < 2)
        return false;
    m_ambiguous->setText(QStringLiteral("AVETE CARICATO PIU VOLTE LO STESSO LOGO TIPO."));
    m_chooseId->setText(QStringLiteral("Selezionate l'ID:"));
    m_modelIds->clear();
    m_modelIds->addItems(ids);
    m_modelIds->show();
    return true;
}

void Tstampe_extraForm::ComboBox4Change()
{
    m_modelIds->hide();
    m_ambiguous->clear();
    m_chooseId->clear();
}

void Tstampe_extraForm::RxDBGrid1TitleClick(const QString &field)
{
    const std::optional<QString> order = extraprints::orderFieldFor(field);
    if (!order)
        return;
    try {
        dm->Tabmisurazioni->setIndexFieldNames(*order);
    } catch (const std::exception &) {
    }
}

void Tstampe_extraForm::done(int result)
{
    extraprints::restoreRegister(*dm->Tabmisurazioni);
    RegistryWindow::done(result);
}
