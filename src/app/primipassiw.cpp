#include "app/primipassiw.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TPrimiPassiForm *PrimiPassiForm = nullptr;

namespace {

struct Step {
    const char *title;
    const char *text;
};

const Step Steps[] = {
    {"Il laboratorio e le abilitazioni",
     "Aprire \u00abSoggetto obbligato (concessionario)\u00bb dal menu \u00abTabelle\u00bb, oppure il pulsante "
     "\u00abSoggetto Obbligato\u00bb, e inserire i dati del laboratorio: ragione sociale, codice fiscale, partita IVA "
     "e sede.<p>Il codice fiscale \u00e8 indispensabile: senza di esso il file trimestrale per l'Agenzia delle "
     "Entrate non pu\u00f2 essere creato.<p>Nella stessa finestra inserire le abilitazioni del laboratorio, "
     "ciascuna con il proprio identificativo al sigillo. Se il laboratorio ha pi\u00f9 abilitazioni, con "
     "\u00abUtilit\u00e0\u00bb &gt; \u00abImposta anni e tecnici validi\u00bb si indicano quelle valide in ciascun anno."},
    {"I tecnici",
     "Con il pulsante \u00abTecnici /F3\u00bb, o con il tasto F3, aprire l'elenco dei tecnici e inserire ciascun "
     "tecnico con i dati anagrafici, il codice fiscale, il numero di sigillo e l'abilitazione sotto cui opera."
     "<p>Ingressi, modifiche e cessazioni dei tecnici vengono registrati da soli e comunicati nel file "
     "trimestrale del periodo in cui avvengono."},
    {"I modelli di misuratore",
     "Con il pulsante \u00abMisuratori /F5\u00bb, o con il tasto F5, inserire i modelli di misuratore fiscale "
     "installati presso i clienti: marca, modello e gli estremi del provvedimento di approvazione."
     "<p>Ogni modello si inserisce una sola volta e si sceglie poi dall'elenco durante la registrazione degli "
     "interventi."},
    {"Gli esercizi",
     "Con il pulsante \u00abEsercizio/cliente /F4\u00bb, o con il tasto F4, inserire i clienti: ragione sociale, "
     "partita IVA o codice fiscale, indirizzo e comune dell'esercizio.<p>Provincia e codice di avviamento "
     "postale vengono presi dall'elenco dei comuni, che si consulta da \u00abTabelle\u00bb &gt; \u00abElenco comuni\u00bb."},
    {"Le verificazioni",
     "Con il pulsante \u00abElenco Interventi /F6\u00bb, o con il tasto F6, registrare ogni intervento: l'esercizio, "
     "il modello e la matricola del misuratore, il tecnico, il tipo di intervento, l'esito e le date di inizio "
     "e di fine. La data di fine decide il trimestre.<p>Al termine del trimestre il pulsante \u00abScarico per\u00bb, "
     "oppure \u00abGestione\u00bb &gt; \u00abCrea file per Agenzia delle Entrate\u00bb, crea il file da trasmettere."},
};

} // namespace

TPrimiPassiForm::TPrimiPassiForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PrimiPassiForm"));
    setWindowTitle(QStringLiteral("Primi passi"));
    resize(620, 400);

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    int number = 1;
    for (const Step &step : Steps) {
        auto *page = new QLabel(QStringLiteral("<h3>%1</h3>%2").arg(QString::fromUtf8(step.title), QString::fromUtf8(step.text)));
        page->setObjectName(QStringLiteral("TabSheet%1").arg(number));
        page->setWordWrap(true);
        page->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        page->setContentsMargins(16, 12, 16, 12);
        pages->addTab(page, QStringLiteral("Passo %1").arg(number++));
    }
    pages->setCurrentIndex(0);

    auto *close = new QPushButton(QStringLiteral("chiudi"), this);
    close->setObjectName(QStringLiteral("ChiudiButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
}
