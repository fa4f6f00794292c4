#include "import/importw.h"

#include "data/catalogue.h"
#include "data/engine/datasource.h"
#include "data/engine/table.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "import/importa.h"
#include "ui/dbgrid.h"
#include "ui/filedialogs.h"
#include "ui/forms.h"
#include "ui/radiogroup.h"
#include "ui/walk.h"

#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

Timportform *importform = nullptr;

namespace {

const QString NoFile = QStringLiteral("...............................................");

} // namespace

Timportform::Timportform(QWidget *parent)
    : QDialog(parent), m_import(std::make_unique<importer::QuarterlyImport>(appState()))
{
    requireDataModule();
    setObjectName(QStringLiteral("importform"));
    setWindowTitle(QStringLiteral("importform"));
    resize(1200, 800);

    // Made in the order Tab walks them.
    auto *top = new QFrame(this);
    top->setObjectName(QStringLiteral("Panel1"));
    top->setFrameShape(QFrame::StyledPanel);
    QPushButton *show = ui::commandButton("SpeedButton1", QStringLiteral("Visualizza"), top);
    connect(show, &QPushButton::clicked, this, &Timportform::SpeedButton1Click);
    QPushButton *choose = ui::commandButton("SpeedButton4", QStringLiteral("Seleziona il file"), top);
    connect(choose, &QPushButton::clicked, this, &Timportform::SpeedButton4Click);
    m_fileName = new QLabel(NoFile, top);
    m_fileName->setObjectName(QStringLiteral("Label1"));
    m_fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_layout = new RadioGroup(QStringLiteral("formato del file"), top);
    m_layout->setObjectName(QStringLiteral("RadioGroup1"));
    m_layout->setItems({QStringLiteral("formato iniziale"), QStringLiteral("formato del 2010")});
    m_layout->setItemIndex(1);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->addWidget(show);
    topLayout->addWidget(choose);
    topLayout->addWidget(m_fileName, 1);
    topLayout->addWidget(m_layout);

    auto *headers = new engine::DataSource(&m_import->riga1(), this);
    auto *technicians = new engine::DataSource(&m_import->riga2(), this);
    auto *interventions = new engine::DataSource(&m_import->riga3(), this);
    DBGrid *headersGrid = grid("DBGrid1", headers,
                               {"Piva", "Tipo_abilitazione", "Id_al_sigillo", "Denominazione", "Comune_df", "Prov_df", "Cognome",
                                "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Anno_rif", "Tri_rif"});
    DBGrid *techniciansGrid = grid("DBGrid2", technicians,
                                   {"Cf", "Cognome", "Nome", "Sesso", "Data_nasc", "Comune_nasc", "Prov_nasc", "Id_al_sigillo",
                                    "Id_num_sigillo", "Responsabile", "Titolo_studio", "Data_ini", "Data_fine"});
    DBGrid *interventionsGrid = grid("DBGrid3", interventions,
                                     {"Cf", "Id_al_sigillo", "Id_num_sigillo", "Data_inizio", "Data_fine", "Esito", "Piva",
                                      "Ragione_sociale", "Comune", "Provincia", "Indirizzo", "Cap", "Tipo_intervento", "Marchio_ms",
                                      "Denominazione_ms", "Logotipo", "Matricola"});
    interventionsGrid->setEditable(true);

    m_importBar = new QFrame(this);
    m_importBar->setObjectName(QStringLiteral("Panel2"));
    QPushButton *merge = ui::commandButton("SpeedButton3", QStringLiteral("Importa"), m_importBar);
    connect(merge, &QPushButton::clicked, this, &Timportform::SpeedButton3Click);
    auto *note = new QLabel(QStringLiteral("I dati verranno inseriti negli archivi"), m_importBar);
    note->setObjectName(QStringLiteral("Label2"));
    m_progress = new QProgressBar(m_importBar);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setValue(0);
    auto *barLayout = new QHBoxLayout(m_importBar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->addWidget(merge);
    barLayout->addWidget(note);
    barLayout->addWidget(m_progress, 1);

    QPushButton *close = ui::commandButton("SpeedButton2", QStringLiteral("Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &Timportform::SpeedButton2Click);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_importBar, 1);
    bottom->addSpacing(24);
    bottom->addWidget(close, 0, Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(ui::caption(QStringLiteral("Testate lette dal file:"), this));
    layout->addWidget(headersGrid, 2);
    layout->addWidget(ui::caption(QStringLiteral("Tecnici letti dal file:"), this));
    layout->addWidget(techniciansGrid, 3);
    layout->addWidget(ui::caption(QStringLiteral("Interventi letti dal file (si possono correggere prima di importarli):"), this));
    layout->addWidget(interventionsGrid, 5);
    layout->addLayout(bottom);
}

Timportform::~Timportform() = default;

// Columns titled by their fields, each as wide as its title or its values, which the grid cannot
// measure before a file is staged; the longest ones are cut to a readable width.
DBGrid *Timportform::grid(const char *objectName, engine::DataSource *source, const QStringList &fields)
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QString::fromLatin1(objectName));
    grid->setDataSource(source);
    const engine::TableSchema &schema = catalogue::schema(source->table()->tableName());
    const QFontMetrics metrics = grid->fontMetrics();
    QList<GridColumn> columns;
    for (const QString &field : fields) {
        const int characters = std::min(schema.field(field)->size, 18);
        columns.append({field, field,
                        std::max(metrics.horizontalAdvance(field), metrics.horizontalAdvance(QString(characters, QLatin1Char('0')))) + 16});
    }
    grid->setColumns(columns);
    return grid;
}

void Timportform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void Timportform::FormShow()
{
    m_importBar->setVisible(false);
}

void Timportform::SpeedButton4Click()
{
    const QString file = FileDialogs::getOpenFileName(this, QStringLiteral("Seleziona il file"), QDir::homePath());
    if (!file.isEmpty())
        m_fileName->setText(QDir::toNativeSeparators(file));
}

void Timportform::SpeedButton1Click()
{
    const importer::Layout layout = m_layout->itemIndex() == 0 ? importer::Layout::Initial : importer::Layout::Y2010;
    if (m_import->stage(m_fileName->text() == NoFile ? QString() : m_fileName->text(), layout))
        m_importBar->setVisible(true);
}

void Timportform::SpeedButton3Click()
{
    if (!m_import->merge(ui::progressOn(m_progress)).done)
        return;
    Messages::plain(QStringLiteral("File importato correttamente"));
    // What was staged is merged and its tables closed.
    m_importBar->setVisible(false);
    m_progress->setValue(0);
    reopenData();
}

void Timportform::SpeedButton2Click()
{
    reject();
}

void Timportform::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Timportform::FormClose()
{
    m_import->close();
    reopenData();
}

void Timportform::reopenData()
{
    if (!dm)
        return;
    dm->dmDestroy();
    dm->dmCreate();
}
