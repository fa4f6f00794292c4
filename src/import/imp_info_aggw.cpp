#include "import/imp_info_aggw.h"

#include "data/tdm.h"
#include "ground/state.h"
#include "import/infoagg.h"
#include "ui/forms.h"
#include "ui/walk.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

Timp_info_aggForm *imp_info_aggForm = nullptr;

Timp_info_aggForm::Timp_info_aggForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("imp_info_aggForm"));
    setWindowTitle(QStringLiteral("imp_info_aggForm"));
    setMinimumWidth(560);

    const int previous = appState().AnnoLavoro.toInt() - 1;
    auto *what = new QLabel(QStringLiteral("Copia dagli interventi del %1 su quelli del %2 per lo stesso misuratore (stessa "
                                           "matricola e stesso modello) le informazioni aggiuntive: numero di azzeramenti, "
                                           "importo, ivato, pagato, fatturato, referente, telefono, cellulare, note e promemoria. "
                                           "I dati già presenti nel %2 vengono sostituiti.")
                                .arg(previous)
                                .arg(appState().AnnoLavoro),
                            this);
    what->setObjectName(QStringLiteral("Label1"));
    what->setWordWrap(true);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setValue(0);

    QPushButton *run = ui::commandButton("SpeedButton1", QStringLiteral("Inserisci"), this);
    connect(run, &QPushButton::clicked, this, &Timp_info_aggForm::SpeedButton1Click);
    QPushButton *cancel = ui::commandButton("SpeedButton2", QStringLiteral("Annulla"), this);
    connect(cancel, &QPushButton::clicked, this, &Timp_info_aggForm::SpeedButton2Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(what);
    layout->addStretch();
    layout->addSpacing(12);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

void Timp_info_aggForm::SpeedButton1Click()
{
    if (ui::runWalk(m_progress, [](const Progress &progress) { importer::ImportaInfoAggiuntive(*dm, progress); }))
        accept();
}

void Timp_info_aggForm::SpeedButton2Click()
{
    reject();
}
