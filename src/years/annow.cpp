#include "years/annow.h"

#include "data/tdm.h"
#include "ground/state.h"
#include "ui/forms.h"
#include "ui/walk.h"
#include "years/riporto.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAnnoForm *AnnoForm = nullptr;

namespace {

QLabel *label(const char *objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setWordWrap(true);
    return label;
}

} // namespace

TAnnoForm::TAnnoForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("AnnoForm"));
    setWindowTitle(QStringLiteral("Anno"));
    setMinimumWidth(620);

    QLabel *heading = label("Label1", QStringLiteral("E' stato creato un nuovo anno :") + appState().AnnoLavoro, this);
    QFont big = heading->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    heading->setFont(big);

    m_insert = new QCheckBox(QStringLiteral("Inserire nel nuovo anno appena creato l'elenco"), this);
    m_insert->setObjectName(QStringLiteral("CheckBox1"));
    m_insert->setChecked(true);
    connect(m_insert, &QCheckBox::clicked, this, &TAnnoForm::CheckBox1Click);
    QLabel *what = label("Label2", QStringLiteral("delle verifiche periodiche dell'anno precedente "), this);
    what->setIndent(m_insert->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6);
    QLabel *kinds = label("Label3", QStringLiteral("Vengono inserite le verifiche annuali e le nuove installazioni"), this);
    QLabel *latest = label("Label4",
                           QStringLiteral("Se per una stessa matricola avete fatto piu verifiche durante l'anno sarà riportata "
                                          "quella con la data più recente."),
                           this);
    QLabel *archives = label("Label5",
                             QStringLiteral("Ogni anno ha un proprio archivio delle verifiche; il soggetto obbligato, i tecnici, "
                                            "gli esercizi e i misuratori sono invece comuni a tutti gli anni."),
                             this);
    archives->setStyleSheet(QStringLiteral("color: #1f3a68;"));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setValue(0);

    m_run = ui::commandButton("SpeedButton1", QStringLiteral("Inserisci"), this);
    connect(m_run, &QPushButton::clicked, this, &TAnnoForm::SpeedButton1Click);
    QPushButton *cancel = ui::commandButton("SpeedButton2", QStringLiteral("Annulla"), this);
    connect(cancel, &QPushButton::clicked, this, &TAnnoForm::SpeedButton2Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_run);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(8);
    layout->addWidget(heading);
    layout->addSpacing(10);
    auto *choice = new QVBoxLayout;
    choice->setSpacing(0);
    choice->addWidget(m_insert);
    choice->addWidget(what);
    layout->addLayout(choice);
    layout->addSpacing(6);
    layout->addWidget(kinds);
    layout->addWidget(latest);
    layout->addSpacing(6);
    layout->addWidget(archives);
    layout->addStretch();
    layout->addSpacing(10);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

void TAnnoForm::CheckBox1Click()
{
    m_run->setText(m_insert->isChecked() ? QStringLiteral("INSERISCI") : QStringLiteral("Chiudi e non inserire"));
}

void TAnnoForm::SpeedButton1Click()
{
    if (!m_insert->isChecked()) {
        reject();
        return;
    }
    if (ui::runWalk(m_progress, [](const Progress &progress) { years::RiportaVerifiche(*dm, progress); }))
        accept();
}

void TAnnoForm::SpeedButton2Click()
{
    reject();
}
