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

// Controls are named only where their window is part of the program; for the others, what the user
// will enter.
const Step Steps[] = {
    {"Il laboratorio e le abilitazioni",
     "Con \u00abSoggetto obbligato (concessionario)\u00bb dal menu \u00abTabelle\u00bb, o con il pulsante "
     "\u00abSoggetto Obbligato\u00bb, si inseriscono i dati del laboratorio: partita IVA, codice fiscale e, "
     "secondo che sia persona giuridica o persona fisica, la denominazione e il comune della sede fiscale oppure "
     "cognome, nome, sesso, data e comune di nascita.<p>Il codice fiscale \u00e8 indispensabile: senza di esso "
     "il file trimestrale per l'Agenzia delle Entrate non pu\u00f2 essere creato.<p>Poi si inseriscono le "
     "abilitazioni del laboratorio, ciascuna con il suo tipo (fabbricante abilitato o laboratorio autonomo) e il "
     "suo identificativo alfanumerico del sigillo. Se il laboratorio ha pi\u00f9 abilitazioni, con "
     "\u00abUtilit\u00e0\u00bb &gt; \u00abImposta anni e tecnici validi\u00bb si indicano quelle valide in "
     "ciascun anno."},
    {"I tecnici",
     "Con il pulsante \u00abTecnici /F3\u00bb, o con il tasto F3, si inseriscono i tecnici: cognome, nome, "
     "sesso, data e comune di nascita, il numero del sigillo, il titolo di studio, se \u00e8 il responsabile, "
     "la data di inizio della collaborazione e l'abilitazione sotto cui opera. Il codice fiscale si calcola dai "
     "dati anagrafici.<p>L'ingresso di un nuovo tecnico, la modifica dei suoi dati e la fine della "
     "collaborazione si registrano indicando il trimestre in cui avvengono, e sono comunicati nel file "
     "trimestrale di quel trimestre."},
    {"I modelli di misuratore",
     "Con il pulsante \u00abMisuratori /F5\u00bb, o con il tasto F5, si apre l'elenco dei misuratori: "
     "\u00abNuovo\u00bb inserisce un modello di misuratore fiscale con \u00abMarchio misuratore\u00bb, "
     "\u00abDenominazione misuratore\u00bb e \u00abLogotipo misuratore\u00bb, e \u00abOK\u00bb lo registra "
     "quando sono compilati tutti e tre e il logotipo \u00e8 di due caratteri.<p>Il logotipo \u00e8 fatto di "
     "lettere maiuscole e cifre: le righe con un logotipo diverso restano nell'elenco, in viola, finch\u00e9 non "
     "si correggono con \u00abModifica\u00bb.<p>Ogni modello si inserisce una sola volta e si sceglie poi "
     "dall'elenco durante la registrazione degli interventi."},
    {"Gli esercizi",
     "Con il pulsante \u00abEsercizio/cliente /F4\u00bb, o con il tasto F4, si inseriscono i clienti: ragione "
     "sociale, partita IVA, comune e indirizzo dell'esercizio. La partita IVA deve essere valida e non gi\u00e0 "
     "usata da un altro esercizio.<p>Provincia e CAP vengono presi dall'elenco dei comuni, che si consulta e si "
     "completa da \u00abTabelle\u00bb &gt; \u00abElenco comuni\u00bb: ogni comune ha provincia, codice "
     "catastale e CAP, e le citt\u00e0 divise in zone hanno un CAP per zona (\u00abAggiungi zona\u00bb)."},
    {"Le verificazioni",
     "Con il pulsante \u00abElenco Interventi /F6\u00bb, o con il tasto F6, si registra ogni intervento: "
     "l'esercizio, il modello e la matricola del misuratore, il tecnico, il tipo di intervento, l'esito e le date "
     "di inizio e di fine. La data di fine decide il trimestre.<p>I tipi di intervento sono nell'elenco del "
     "pulsante \u00abtipi intervento\u00bb: 1, 2 e 3 (messa in servizio, defiscalizzazione, verifica "
     "periodica) sono fissi, e se ne possono aggiungere altri fino a nove, che restano nel registro ma non "
     "entrano nel file trimestrale.<p>Al termine del trimestre si crea il file da trasmettere all'Agenzia delle "
     "Entrate, con il pulsante \u00abScarico per\u00bb o con \u00abGestione\u00bb &gt; \u00abCrea file per "
     "Agenzia delle Entrate\u00bb: si sceglie il trimestre e la cartella, poi se il file \u00e8 trasmesso da "
     "un intermediario. Prima di \u00abGenera scarico\u00bb la finestra elenca, record per record, i dati che "
     "l'Agenzia respingerebbe (codici fiscali, partite IVA, date, matricole, logotipi, dati mancanti), da "
     "correggere prima dell'invio. Vi entrano le variazioni dei tecnici del trimestre e gli interventi dei tipi "
     "1, 2 e 3 la cui data di fine cade nel trimestre; con pi\u00f9 abilitazioni si crea un file per "
     "ciascuna, con i soli tecnici e interventi di quell'abilitazione."},
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
