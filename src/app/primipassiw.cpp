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
     "\u00abSoggetto Obbligato\u00bb, si apre la finestra del laboratorio. \u00abModifica\u00bb permette di "
     "inserire i dati: \u00abPiva\u00bb e \u00abCodice Fiscale\u00bb, poi in \u00abSeleziona\u00bb "
     "\u00abPersona Giuridica\u00bb o \u00abPersona Fisica\u00bb, che rende compilabili (in bianco) i campi di "
     "quel tipo: la denominazione e il comune fiscale, oppure cognome, nome, sesso, data e comune di nascita. La "
     "provincia viene dal comune; \u00abCerca il comune\u00bb lo sceglie dall'elenco. \u00abOK\u00bb registra "
     "quando tutti i campi del tipo scelto sono compilati.<p>Il codice fiscale \u00e8 indispensabile: senza di esso "
     "il file trimestrale per l'Agenzia delle Entrate non pu\u00f2 essere creato.<p>Con \u00abNuova "
     "abilitazione\u00bb si inserisce ogni abilitazione del laboratorio, con il suo tipo (1=Fabbricante abilitato, "
     "2=Laboratorio Autonomo) e l'\u00abId alfanumerico del sigillo\u00bb; un'abilitazione a cui sono legati dei "
     "tecnici non si pu\u00f2 eliminare. Se il laboratorio ha pi\u00f9 abilitazioni, con \u00abUtilit\u00e0\u00bb "
     "&gt; \u00abImposta anni e tecnici validi\u00bb si indicano quelle valide in ciascun anno: si sceglie l'anno, "
     "si seleziona l'abilitazione e si preme \u00abinserisci/ rimuovi\u00bb; con \u00ababilita la gestione "
     "automatica\u00bb e \u00abOK\u00bb il programma ne tiene conto."},
    {"I tecnici",
     "Con il pulsante \u00abTecnici /F3\u00bb, o con il tasto F3, si apre l'elenco dei tecnici. "
     "\u00abInserimento nuovo Tecnico\u00bb registra un tecnico che inizia a collaborare: cognome, nome, sesso, "
     "data e comune di nascita (\u00abCerca il comune\u00bb lo sceglie dall'elenco dei comuni), "
     "\u00abId numerico del sigillo\u00bb, l'abilitazione sotto cui opera (\u00abId alfanumerico del "
     "sigillo\u00bb), se \u00e8 il responsabile, il titolo di studio e la data di inizio della collaborazione. "
     "Provincia e codice fiscale si ricavano dai dati anagrafici; \u00abSblocca\u00bb permette di scrivere a mano "
     "un codice fiscale, che viene ricalcolato appena cambia un dato anagrafico.<p>\u00abModifica altri dati del "
     "tecnico\u00bb e \u00abFine collaborazione\u00bb registrano una modifica e la fine della collaborazione. "
     "Ogni volta si sceglie in \u00abSeleziona il trimestre\u00bb il trimestre in cui avviene: la variazione "
     "entra nel file trimestrale di quel trimestre dell'anno di lavoro, e si ritrova in \u00abElenco Variazioni "
     "per A.E.\u00bb.<p>Con \u00abMostra i bottoni normali\u00bb compaiono \u00abNuovo\u00bb, "
     "\u00abModifica\u00bb ed \u00abElimina\u00bb, che cambiano l'elenco senza registrare variazioni: servono "
     "solo a correggere dati errati o alla prima installazione. Un tecnico con verificazioni nell'anno di lavoro "
     "non si pu\u00f2 eliminare."},
    {"I modelli di misuratore",
     "Con il pulsante \u00abMisuratori /F5\u00bb, o con il tasto F5, si apre l'elenco dei misuratori: "
     "\u00abNuovo\u00bb inserisce un modello di misuratore fiscale con \u00abMarchio misuratore\u00bb, "
     "\u00abDenominazione misuratore\u00bb e \u00abLogotipo misuratore\u00bb, e \u00abOK\u00bb lo registra "
     "quando sono compilati tutti e tre e il logotipo \u00e8 di due caratteri.<p>Il logotipo \u00e8 fatto di "
     "lettere maiuscole e cifre: le righe con un logotipo diverso restano nell'elenco, in viola, finch\u00e9 non "
     "si correggono con \u00abModifica\u00bb.<p>Ogni modello si inserisce una sola volta e si sceglie poi "
     "dall'elenco durante la registrazione degli interventi.<p>\u00abStampa \u00bb mostra l'anteprima dell'elenco "
     "dei modelli, da cui si stampa, si cerca un testo o si salva in PDF."},
    {"Gli esercizi",
     "Con il pulsante \u00abEsercizio/cliente /F4\u00bb, o con il tasto F4, si apre l'elenco dei clienti in ordine di "
     "ragione sociale: un clic sul titolo di una colonna lo ordina per partita IVA, comune o provincia, e nel "
     "riquadro \u00abTrova\u00bb si cerca per ragione sociale o per partita IVA mentre si scrive.<p>"
     "\u00abNuovo/F8\u00bb inserisce un esercizio con \u00abRagione Sociale\u00bb, \u00abP.iva\u00bb, "
     "\u00abComune\u00bb e \u00abIndirizzo\u00bb; \u00abProvincia\u00bb e \u00abCap\u00bb vengono dall'elenco dei "
     "comuni, anche con \u00abCerca il comune\u00bb, che per le citt\u00e0 divise in zone d\u00e0 il CAP della zona "
     "scelta. \u00abOK\u00bb lo registra quando tutti i campi sono compilati e la partita IVA \u00e8 valida e non "
     "gi\u00e0 usata da un altro esercizio; \u00abModifica/F9\u00bb corregge quello selezionato. Un esercizio con "
     "interventi nell'anno di lavoro non si pu\u00f2 eliminare.<p>L'elenco dei comuni si consulta e si completa da "
     "\u00abTabelle\u00bb &gt; \u00abElenco comuni\u00bb: ogni comune ha provincia, codice catastale e CAP, e le "
     "citt\u00e0 divise in zone hanno un CAP per zona (\u00abAggiungi zona\u00bb).<p>\u00abStampa \u00bb mostra "
     "l'anteprima dell'elenco degli esercizi nell'ordine scelto, da cui si stampa, si cerca un testo o si salva in "
     "PDF."},
    {"Le verificazioni",
     "Con il pulsante \u00abElenco Interventi /F6\u00bb, o con il tasto F6, si apre l'elenco degli interventi "
     "dell'anno di lavoro. \u00abNuovo /F8\u00bb registra un intervento: l'esercizio (lasciandone l'elenco se ne "
     "copia l'indirizzo, se non \u00e8 gi\u00e0 scritto), il tecnico, il modello e la matricola del misuratore, il "
     "tipo di intervento, le date di inizio e di fine (lasciata vuota, la fine prende l'inizio) e l'esito; Invio "
     "passa da un campo al successivo fino a \u00abOK\u00bb, che registra l'intervento quando tutti i campi sono "
     "compilati e le due date cadono nell'anno di lavoro, la fine non prima dell'inizio. La data di fine decide "
     "il trimestre. Con la gestione delle abilitazioni per anno si sceglie solo fra i tecnici abilitati "
     "nell'anno. \u00abModifica /F9\u00bb corregge l'intervento selezionato, se non \u00e8 gi\u00e0 stato "
     "trasmesso; \u00abelimina\u00bb lo cancella dopo una conferma.<p>Nell'elenco sono in viola le righe con "
     "logotipo o matricola malformati, in rosso quelle incomplete o con esito negativo. \u00abTROVA\u00bb mostra "
     "le righe il cui campo scelto in \u00abRICERCA PER:\u00bb contiene il testo scritto (maiuscole e minuscole "
     "contano), \u00abFILTRA\u00bb quelle in cui \u00e8 uguale, \u00abtutti\u00bb di nuovo tutte. Il tasto "
     "destro sull'elenco mostra le informazioni aggiuntive e fissa la data della prossima verifica.<p>Le schede in basso stampano "
     "gli interventi per periodo, per esercizio, per esito, per tecnico o per tipo: l'anteprima mostra le sole "
     "righe scelte, e chiusa l'anteprima l'elenco torna a mostrarle tutte; \u00abdettaglio verifica\u00bb "
     "stampa la scheda dell'intervento selezionato, lasciando la ricerca com'\u00e8. Nelle informazioni "
     "aggiuntive si sceglie una stampa propria fra i file .frf della cartella frf dell'archivio: "
     "\u00abstampa\u00bb la usa per l'intervento selezionato, \u00abEdita report\u00bb la modifica.<p>I tipi di intervento sono nell'elenco del "
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
    {"Il nuovo anno e le importazioni",
     "Ogni anno ha il proprio archivio delle verifiche. Quando all'avvio si crea un anno nuovo si apre la "
     "finestra \u00abAnno\u00bb: con la casella spuntata \u00abInserisci\u00bb riporta nel nuovo anno, "
     "come verifiche periodiche da completare (senza data di fine n\u00e9 esito), i misuratori verificati o "
     "messi in servizio l'anno precedente, ciascuno dal suo intervento pi\u00f9 recente, tolti quelli "
     "defiscalizzati dopo; i misuratori gi\u00e0 presenti nel nuovo anno non si riportano di nuovo. Senza la "
     "spunta il pulsante diventa \u00abChiudi e non inserire\u00bb e non scrive nulla.<p>Con "
     "\u00abImporta\u00bb &gt; \u00abimporta da file per agenzia\u00bb si legge un file trimestrale: "
     "\u00abSeleziona il file\u00bb, il formato (\u00abformato del 2010\u00bb per i file creati da "
     "Sigillo), poi \u00abVisualizza\u00bb mostra testate, tecnici e interventi letti. Gli interventi si "
     "possono correggere nella griglia; \u00abImporta\u00bb li inserisce nell'anno di lavoro, che deve "
     "essere l'anno del file, creando esercizi, comuni, modelli e tecnici mancanti (i tecnici senza nome, da "
     "completare). Gli interventi gi\u00e0 presenti (stessa matricola e stesso tipo) non si inseriscono di "
     "nuovo; una data non valida ferma l'importazione sulla sua riga, che si corregge prima di ripetere "
     "\u00abImporta\u00bb.<p>Con \u00abimporta info aggiuntive\u00bb, \u00abInserisci\u00bb copia "
     "sugli interventi dell'anno di lavoro i dati commerciali (azzeramenti, importo, pagamento, referente, "
     "telefoni, note, promemoria) dell'intervento dell'anno precedente sullo stesso misuratore."},
    {"Le stampe e l'esportazione",
     "Con il pulsante \u00abstampa\u00bb si apre la finestra \u00abStampe\u00bb con gli interventi dell'anno di "
     "lavoro. Nel riquadro \u00abImposta filtro :\u00bb si sceglie il tipo di intervento, l'esito, il comune, il "
     "modello di misuratore (\u00abdenominazione_ms\u00bb) o il tecnico, anche insieme, e \u00abfiltra\u00bb "
     "mostra solo gli interventi che li hanno tutti; \u00abmostra tutti\u00bb li rimostra tutti. Se due modelli "
     "hanno la stessa denominazione compare l'elenco dei loro ID, da cui si sceglie quello voluto. Un clic su un "
     "titolo viola ordina l'elenco per quella colonna (per esercizio, tecnico e misuratore nell'ordine in cui "
     "sono stati inseriti).<p>\u00abesporta su XLS\u00bb salva gli interventi mostrati, nello stesso ordine, in "
     "una cartella di lavoro .xlsx (proposta come interventi_AAAA.xlsx nei Documenti), che si apre poi con il "
     "foglio di calcolo del computer; \u00abFatto\u00bb conferma che il file \u00e8 stato scritto per intero. "
     "\u00abstampa\u00bb nella finestra ne fa una tabella su A4 orizzontale, con il filtro nel titolo. "
     "Chiudendo la finestra il registro torna completo, in ordine di data di fine."},
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
