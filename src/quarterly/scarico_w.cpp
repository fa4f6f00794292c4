#include "quarterly/scarico_w.h"

#include "data/engine/datasource.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "quarterly/intermediariw.h"
#include "quarterly/scarico.h"
#include "ui/aprimodale.h"
#include "ui/datefield.h"
#include "ui/dbgrid.h"
#include "ui/desktop.h"
#include "ui/filedialogs.h"
#include "ui/forms.h"
#include "ui/radiogroup.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

Tscarico_Form *scarico_Form = nullptr;

namespace {

const QStringList Quarters{QStringLiteral("Gennaio-Febbraio-Marzo (I° TRIM.)"), QStringLiteral("Aprile-Maggio-Giugno (II° TRIM.)"),
                           QStringLiteral("Luglio-Agosto-Settembre (III° TRIM.)"),
                           QStringLiteral("Ottobre-Novembre-Dicembre (IV° TRIM.)")};
constexpr int PrefixLength = 12;

// Columns titled by their fields; dates, codes and names as wide as their values, which the grid
// cannot measure before the quarter is chosen.
QList<GridColumn> columnsOf(const QStringList &fields, const QFontMetrics &metrics)
{
    QList<GridColumn> columns;
    for (const QString &field : fields) {
        const QString widest = field.startsWith(QLatin1String("Data"))                           ? QStringLiteral("00/00/0000")
                             : field == QLatin1String("Cf")                                     ? QStringLiteral("MMMMMM00M00M000M")
                             : field == QLatin1String("Cognome") || field == QLatin1String("Nome") ? QStringLiteral("MMMMMMMMMMMM")
                                                                                                : QString();
        columns.append({field, field, widest.isEmpty() ? 0 : metrics.horizontalAdvance(widest) + 16});
    }
    return columns;
}

// A page's fields in a column of readable width in the middle of the page, its commands at its foot.
QVBoxLayout *pageLayout(QWidget *page, const QList<QWidget *> &fields, QHBoxLayout *commands)
{
    auto *column = new QWidget(page);
    column->setMaximumWidth(860);
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 12, 0, 0);
    columnLayout->setSpacing(14);
    for (QWidget *field : fields)
        columnLayout->addWidget(field);
    auto *centre = new QHBoxLayout;
    centre->addStretch();
    centre->addWidget(column, 1);
    centre->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(centre);
    layout->addStretch();
    layout->addLayout(commands);
    return layout;
}

// The commands of a page on a row at its foot, those that go forward at the right.
QHBoxLayout *commandRow(const QList<QWidget *> &back, const QList<QWidget *> &forward)
{
    auto *row = new QHBoxLayout;
    for (QWidget *command : back)
        row->addWidget(command);
    row->addStretch();
    for (QWidget *command : forward)
        row->addWidget(command);
    return row;
}

} // namespace

Tscarico_Form::Tscarico_Form(QWidget *parent)
    : QDialog(parent), m_scarico(std::make_unique<quarterly::Scarico>(appState()))
{
    requireDataModule();
    setObjectName(QStringLiteral("scarico_Form"));
    setWindowTitle(QStringLiteral("Scarico trimestrale per l'agenzia delle entrate"));
    resize(1100, 760);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_recordCount = ui::caption(QStringLiteral("N° Record"), this);
    m_recordCount->setObjectName(QStringLiteral("RecordCount"));
    auto *note = new QLabel(QStringLiteral("Il controllo per l'appartenenza di una misurazione a un bel determinato trimestre è fatto "
                                           "sulla data di fine intervento"),
                            this);
    note->setObjectName(QStringLiteral("Note"));
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #1f3a68;"));

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addWidget(buildQuarterPage());
    m_pages->addWidget(buildIntermediaryPage());
    m_pages->addWidget(buildGenerationPage());

    auto *top = new QHBoxLayout;
    top->addWidget(m_recordCount);
    top->addSpacing(16);
    top->addWidget(m_progress, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note);
    layout->addWidget(m_pages, 1);
}

Tscarico_Form::~Tscarico_Form() = default;

QWidget *Tscarico_Form::buildQuarterPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet1"));

    m_fileMode = new RadioGroup(QStringLiteral("Crea file singolo o piu file tanti quante le abilitazioni"), page);
    m_fileMode->setObjectName(QStringLiteral("RadioGroup2"));
    m_fileMode->setItems({QStringLiteral("un solo file"), QStringLiteral("piu file (1 per ogni abilitazione)")});
    m_fileMode->setVisible(false);
    connect(m_fileMode, &RadioGroup::itemChosen, this, &Tscarico_Form::RadioGroup2Click);

    auto *where = new QGroupBox(page);
    where->setObjectName(QStringLiteral("GroupBox2"));
    m_folder = new QLineEdit(QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)), where);
    m_folder->setObjectName(QStringLiteral("Edit1"));
    QPushButton *browse = ui::commandButton("SpeedButton3", QStringLiteral("Sfoglia..."), where);
    connect(browse, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton3Click);
    m_prefix = new QLineEdit(QStringLiteral("nome_file"), where);
    m_prefix->setObjectName(QStringLiteral("Edit2"));
    m_prefix->setMaxLength(PrefixLength);
    m_prefix->setMaximumWidth(180);
    auto *yearHint = new QLabel(QStringLiteral("+tri_anno"), where);
    yearHint->setObjectName(QStringLiteral("Label3"));
    m_sealHint = new QLabel(QStringLiteral("+id alfanumerico sigillo"), where);
    m_sealHint->setObjectName(QStringLiteral("Label4"));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(12);
    nameRow->addWidget(m_prefix);
    nameRow->addWidget(yearHint);
    nameRow->addWidget(m_sealHint);
    nameRow->addStretch();
    auto *whereForm = new QFormLayout(where);
    whereForm->setContentsMargins(16, 16, 16, 16);
    whereForm->setVerticalSpacing(10);
    whereForm->addRow(ui::caption(QStringLiteral("Cartella dove verrà salvato il file:"), where));
    whereForm->addRow(folderRow);
    whereForm->addRow(QStringLiteral("Nome del file:"), nameRow);

    m_quarter = new RadioGroup(QStringLiteral("Seleziona il trimestre"), page);
    m_quarter->setObjectName(QStringLiteral("RadioGroup1"));
    m_quarter->setItems(Quarters);

    // Made in the order Tab walks them: forward first.
    QPushButton *forward = ui::commandButton("SpeedButton4", QStringLiteral("Avanti"), page);
    connect(forward, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton4Click);
    QPushButton *close = ui::commandButton("SpeedButton5", QStringLiteral("Chiudi"), page);
    connect(close, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton5Click);

    pageLayout(page, {m_fileMode, where, m_quarter}, commandRow({close}, {forward}));
    return page;
}

QWidget *Tscarico_Form::buildIntermediaryPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet2"));

    m_intermediary = new RadioGroup(QStringLiteral("I N T E R M E D I A R I O "), page);
    m_intermediary->setObjectName(QStringLiteral("RadioGroup4"));
    m_intermediary->setItems({QStringLiteral("NO"), QStringLiteral("SI")});
    connect(m_intermediary, &RadioGroup::itemChosen, this, &Tscarico_Form::RadioGroup4Click);

    m_intermediaryData = new QGroupBox(QStringLiteral("Dati Intermediario "), page);
    m_intermediaryData->setObjectName(QStringLiteral("GroupBox1"));
    m_fiscalCodes = new QComboBox(m_intermediaryData);
    m_fiscalCodes->setObjectName(QStringLiteral("ComboBox1"));
    m_fiscalCodes->setMinimumWidth(220);
    m_fiscalCodes->setMaximumWidth(300);
    connect(m_fiscalCodes, &QComboBox::activated, this, &Tscarico_Form::ComboBox1Change);
    m_caf = new QLineEdit(m_intermediaryData);
    m_caf->setObjectName(QStringLiteral("Edit3"));
    m_caf->setMaximumWidth(120);
    m_preparedBy = new RadioGroup(QString(), m_intermediaryData);
    m_preparedBy->setObjectName(QStringLiteral("RadioGroup3"));
    m_preparedBy->setItems({QStringLiteral("Comunicazione predisposta dal contribuente"),
                            QStringLiteral("Comunicazione predisposta da chi effettua l'invio")});
    m_commitment = new DateField(m_intermediaryData);
    m_commitment->setObjectName(QStringLiteral("DateEdit1"));
    m_commitment->setMaximumWidth(160);
    QPushButton *archive = ui::commandButton("SpeedButton2", QStringLiteral("Archivio intermediari"), m_intermediaryData);
    connect(archive, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton2Click);
    auto *form = new QFormLayout(m_intermediaryData);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(10);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("Codice fiscale dell'intermediario che effettua la trasmissione"), m_fiscalCodes);
    form->addRow(QStringLiteral("Numero iscriz. C.A.F."), m_caf);
    form->addRow(m_preparedBy);
    form->addRow(QStringLiteral("Data dell'impegno"), m_commitment);
    form->addRow(commandRow({}, {archive}));

    // Made in the order Tab walks them: forward first.
    QPushButton *forward = ui::commandButton("SpeedButton6", QStringLiteral("Avanti"), page);
    connect(forward, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton6Click);
    QPushButton *back = ui::commandButton("SpeedButton7", QStringLiteral("Indietro"), page);
    connect(back, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton7Click);

    pageLayout(page, {m_intermediary, m_intermediaryData}, commandRow({back}, {forward}));
    return page;
}

QWidget *Tscarico_Form::buildGenerationPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet3"));

    m_findings = new QListWidget(page);
    m_findings->setObjectName(QStringLiteral("CheckList"));
    m_errors = new QPlainTextEdit(page);
    m_errors->setObjectName(QStringLiteral("Memo1"));
    m_errors->setReadOnly(true);
    m_errors->setTabChangesFocus(true);
    m_errors->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));

    m_variations = new engine::DataSource(&m_scarico->Tabmod_tecnici(), this);
    m_variationsGrid = new DBGrid(page);
    m_variationsGrid->setObjectName(QStringLiteral("DBGrid1"));
    m_variationsGrid->setDataSource(m_variations);
    m_variationsGrid->setColumns(columnsOf({QStringLiteral("FLAG_VARIAZIONE"), QStringLiteral("TRI_variazione"),
                                            QStringLiteral("Anno_variazione"), QStringLiteral("Cf"), QStringLiteral("Cognome"),
                                            QStringLiteral("Nome"), QStringLiteral("Id_nu_sigillo"), QStringLiteral("Responsabile"),
                                            QStringLiteral("Titolo_studio"), QStringLiteral("Data_inizio"), QStringLiteral("Data_fine")},
                                           m_variationsGrid->fontMetrics()));
    m_interventions = new engine::DataSource(&m_scarico->Qmisurazioni(), this);
    m_interventionsGrid = new DBGrid(page);
    m_interventionsGrid->setObjectName(QStringLiteral("DBGrid2"));
    m_interventionsGrid->setDataSource(m_interventions);
    m_interventionsGrid->setColumns(columnsOf({QStringLiteral("Matricola_ms"), QStringLiteral("Tipo_intervento"),
                                               QStringLiteral("Data_ini"), QStringLiteral("Data_fine"), QStringLiteral("Esito"),
                                               QStringLiteral("Trimestre")},
                                              m_interventionsGrid->fontMetrics()));

    QPushButton *generate = ui::commandButton("SpeedButton1", QStringLiteral("Genera scarico"), page);
    connect(generate, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton1Click);
    QPushButton *back = ui::commandButton("SpeedButton11", QStringLiteral("indietro"), page);
    connect(back, &QPushButton::clicked, this, &Tscarico_Form::SpeedButton11Click);

    auto *lists = new QHBoxLayout;
    auto *variations = new QVBoxLayout;
    variations->addWidget(ui::caption(QStringLiteral("Elenco modifiche ai tecnici fatte durante il trimestre:"), page));
    variations->addWidget(m_variationsGrid);
    auto *interventions = new QVBoxLayout;
    interventions->addWidget(ui::caption(QStringLiteral("Elenco interventi fatti durante il trimestre:"), page));
    interventions->addWidget(m_interventionsGrid);
    lists->addLayout(variations, 3);
    lists->addLayout(interventions, 2);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ui::caption(QStringLiteral("Controllo dei dati prima dell'invio:"), page));
    layout->addWidget(m_findings, 2);
    layout->addWidget(ui::caption(QStringLiteral("Messaggi di errore nella creazione del file :"), page));
    layout->addWidget(m_errors, 1);
    layout->addLayout(lists, 3);
    layout->addLayout(commandRow({back}, {generate}));
    return page;
}

void Tscarico_Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void Tscarico_Form::FormShow()
{
    // More than one authorisation: one file for each; the user never chooses.
    m_fileMode->setItemIndex(m_scarico->defaultOnePerAuthorisation() ? 1 : 0);
    m_sealHint->setVisible(m_fileMode->itemIndex() == 1);
    showPage(QuarterPage);
    m_intermediaryData->setVisible(false);
    reloadIntermediaries();
}

void Tscarico_Form::reloadIntermediaries()
{
    m_caf->clear();
    m_fiscalCodes->clear();
    const engine::Table *intermediaries = dm->Tabintermediario;
    for (int row = 0; row < intermediaries->recordCount(); ++row)
        m_fiscalCodes->addItem(intermediaries->valueAt(row, QStringLiteral("CF")).toString());
    m_fiscalCodes->setCurrentIndex(-1);
}

void Tscarico_Form::SpeedButton2Click()
{
    ApriModale(IntermediariForm, this);
    reloadIntermediaries();
}

void Tscarico_Form::RadioGroup2Click()
{
    if (m_scarico->authorisationCount() <= 1) {
        Messages::plain(QStringLiteral("Avete inserito una sola abilitazione quindi dovete creare un solo file"));
        m_fileMode->setItemIndex(0);
    }
    m_sealHint->setVisible(m_fileMode->itemIndex() == 1);
}

void Tscarico_Form::SpeedButton3Click()
{
    const QString folder =
        FileDialogs::getExistingDirectory(this, QStringLiteral("Cartella dove verrà salvato il file:"), m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

void Tscarico_Form::SpeedButton4Click()
{
    const int quarter = m_quarter->itemIndex() + 1;
    if (quarter == 0) {
        Messages::plain(QStringLiteral("Selezionare il trimestre"));
        m_quarter->button(0)->setFocus();
        return;
    }
    if (m_folder->text().trimmed().isEmpty()) {
        Messages::plain(QStringLiteral("Indicare la cartella dove verrà salvato il file"));
        m_folder->setFocus();
        return;
    }
    if (m_prefix->text().contains(QLatin1Char('/')) || m_prefix->text().contains(QLatin1Char('\\'))) {
        Messages::plain(QStringLiteral("Il nome del file non può contenere i caratteri / e \\"));
        m_prefix->setFocus();
        return;
    }
    try {
        withoutGrids([&] { m_scarico->select(quarter); });
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    m_recordCount->setText(QStringLiteral("N° Record") + QString::number(m_scarico->Qmisurazioni().recordCount()));
    showPage(IntermediaryPage);
}

void Tscarico_Form::SpeedButton5Click()
{
    reject();
}

void Tscarico_Form::RadioGroup4Click()
{
    m_intermediaryData->setVisible(m_intermediary->itemIndex() == 1);
}

void Tscarico_Form::ComboBox1Change()
{
    const engine::Table *intermediaries = dm->Tabintermediario;
    if (!intermediaries->isOpen())
        return;
    const QVariant caf = intermediaries->lookup(QStringLiteral("CF"), {m_fiscalCodes->currentText()}, QStringLiteral("NCAF"));
    if (caf.isValid())
        m_caf->setText(caf.toString());
}

void Tscarico_Form::SpeedButton6Click()
{
    switch (m_intermediary->itemIndex()) {
    case -1:
        Messages::plain(QStringLiteral("Selezionare l'intermediario "));
        return;
    case 0:
        m_scarico->setIntermediary(std::nullopt);
        break;
    default:
        if (m_fiscalCodes->currentIndex() < 0) {
            m_fiscalCodes->setFocus();
            return;
        }
        if (m_preparedBy->itemIndex() < 0 || m_commitment->isBlank())
            return;
        m_scarico->setIntermediary(quarterly::Intermediary{m_fiscalCodes->currentText(), m_caf->text(),
                                                           m_preparedBy->itemIndex() + 1, m_commitment->text()});
    }
    showGenerationPage();
}

void Tscarico_Form::showGenerationPage()
{
    QList<quarterly::Finding> findings;
    withoutGrids([&] { findings = m_scarico->Controllo(m_fileMode->itemIndex() == 1); });
    m_findings->clear();
    for (const quarterly::Finding &finding : std::as_const(findings))
        m_findings->addItem(finding.text());
    if (findings.isEmpty())
        m_findings->addItem(QStringLiteral("Nessun problema trovato nei dati del trimestre."));
    showPage(GenerationPage);
}

void Tscarico_Form::SpeedButton7Click()
{
    showPage(QuarterPage);
}

void Tscarico_Form::SpeedButton11Click()
{
    showPage(IntermediaryPage);
}

void Tscarico_Form::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
    // The keyboard goes on from the page's first control.
    switch (page) {
    case QuarterPage:
        m_folder->setFocus();
        break;
    case IntermediaryPage:
        m_intermediary->button(std::max(m_intermediary->itemIndex(), 0))->setFocus();
        break;
    case GenerationPage:
        m_findings->setFocus();
        break;
    }
}

void Tscarico_Form::SpeedButton1Click()
{
    m_errors->clear();
    quarterly::Choices choices;
    choices.folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    choices.prefix = m_prefix->text();
    choices.onePerAuthorisation = m_fileMode->itemIndex() == 1;
    quarterly::Scarico::Outcome outcome;
    try {
        withoutGrids([&] {
            outcome = m_scarico->generate(
                choices, [this](const QString &line) { m_errors->appendPlainText(line); },
                [this](int percent) { m_progress->setValue(percent); });
        });
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    if (!outcome.written)
        return;
    Desktop::showFolder(choices.folder);
    Messages::plain(QStringLiteral("Eseguito"));
    accept();
}

void Tscarico_Form::withoutGrids(const std::function<void()> &work)
{
    m_variations->setTable(nullptr);
    m_interventions->setTable(nullptr);
    // Back on their first rows, as the lists are read from the top.
    const auto reattach = qScopeGuard([this] {
        const std::pair<engine::DataSource *, engine::Table *> grids[] = {{m_variations, &m_scarico->Tabmod_tecnici()},
                                                                          {m_interventions, &m_scarico->Qmisurazioni()}};
        for (const auto &[source, table] : grids) {
            if (table->isOpen())
                table->first();
            source->setTable(table);
        }
    });
    work();
}
