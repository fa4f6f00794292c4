#include "app/svuota_archiviw.h"

#include "app/aboutw.h"
#include "ground/messages.h"
#include "data/tdm.h"
#include "ui/aprimodale.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSVUOTA_ARCHIVIForm *SVUOTA_ARCHIVIForm = nullptr;

namespace {

void closeData()
{
    if (dm)
        dm->dmDestroy();
}

void openData()
{
    if (dm)
        dm->dmCreate();
}

} // namespace

TSVUOTA_ARCHIVIForm::TSVUOTA_ARCHIVIForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SVUOTA_ARCHIVIForm"));
    setWindowTitle(QStringLiteral("svuota archivi"));

    auto *layout = new QVBoxLayout(this);
    auto *attenzione = new QLabel(QStringLiteral("ATTENZIONE"), this);
    attenzione->setObjectName(QStringLiteral("AttenzioneLabel"));
    QFont bold = attenzione->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 6);
    attenzione->setFont(bold);
    attenzione->setStyleSheet(QStringLiteral("color: #b00000;"));
    auto *warning = new QLabel(QStringLiteral("Continuando si potranno perdere dati importanti. Annulla per uscire!"), this);
    warning->setObjectName(QStringLiteral("AvvisoLabel"));
    layout->addWidget(attenzione);
    layout->addWidget(warning);
    layout->addSpacing(8);

    layout->addWidget(addCheck("TecniciCheck", QStringLiteral("tecnici"), Archivio::Tecnici));
    layout->addWidget(addCheck("MisuratoriCheck", QStringLiteral("misuratori"), Archivio::Misuratori));
    layout->addWidget(addCheck("EserciziCheck", QStringLiteral("esercizi"), Archivio::Esercizi));
    // The working year's register: the caption says the box no longer works, and it empties nothing.
    auto *misurazioni = new QCheckBox(QStringLiteral(" nn funge piu ...."), this);
    misurazioni->setObjectName(QStringLiteral("MisurazioniCheck"));
    misurazioni->setEnabled(false);
    layout->addWidget(misurazioni);
    layout->addWidget(addCheck("ComuniCheck", QStringLiteral("COMUNI"), Archivio::Comuni));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    auto *annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("AnnullaButton"));
    auto *informazioni = new QPushButton(QStringLiteral("Per Informazioni"), this);
    informazioni->setObjectName(QStringLiteral("InformazioniButton"));
    ok->setAutoDefault(false);
    annulla->setAutoDefault(false);
    informazioni->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TSVUOTA_ARCHIVIForm::okClick);
    connect(annulla, &QPushButton::clicked, this, &TSVUOTA_ARCHIVIForm::annullaClick);
    connect(informazioni, &QPushButton::clicked, this, &TSVUOTA_ARCHIVIForm::informazioniClick);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(annulla);
    buttons->addStretch();
    buttons->addWidget(informazioni);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

QCheckBox *TSVUOTA_ARCHIVIForm::addCheck(const char *objectName, const QString &text, Archivio archivio)
{
    auto *check = new QCheckBox(text, this);
    check->setObjectName(QString::fromLatin1(objectName));
    m_checks.append({check, archivio});
    return check;
}

void TSVUOTA_ARCHIVIForm::okClick()
{
    openData();
    if (!Messages::confirm(QStringLiteral("SEI PROPRIO SICURO? NO PER ANNULLARE.")))
        return;
    QList<Archivio> scelti;
    for (const auto &[check, archivio] : std::as_const(m_checks)) {
        if (check->isChecked())
            scelti.append(archivio);
    }
    SvuotaArchivi(scelti);
    closeData();
    openData();
    accept();
}

void TSVUOTA_ARCHIVIForm::annullaClick()
{
    closeData();
    openData();
    reject();
}

void TSVUOTA_ARCHIVIForm::informazioniClick()
{
    ApriModale(AboutBox, this);
}

void SvuotaArchiviCommand(QWidget *parent)
{
    if (!Messages::confirm(QStringLiteral("ATTENZIONE : QUESTA PROCEDURA CANCELLERA I DATI DAGLI ARCHIVI.\n"
                                          "CONTINUANDO POTRESTE PERDERE DATI IMPORTANTI. \n"
                                          "YES PER Continuare, NO per Annullare?")))
        return;
    closeData();
    ApriModale(SVUOTA_ARCHIVIForm, parent);
    openData();
}
