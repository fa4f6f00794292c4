#include "app/mainw.h"

#include "app/aboutw.h"
#include "app/backup.h"
#include "app/ins_pwdw.h"
#include "app/passwords.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "app/primipassiw.h"
#include "app/splashw.h"
#include "ground/state.h"
#include "app/svuota_archiviw.h"
#include "app/version.h"
#include "data/engine/engineerror.h"
#include "data/tdm.h"
#include "import/imp_variew.h"
#include "import/imp_info_aggw.h"
#include "import/importw.h"
#include "prints/stampe_extra.h"
#include "quarterly/intermediariw.h"
#include "quarterly/scarico_w.h"
#include "register/misurazioniw.h"
#include "register/tipo_intw.h"
#include "registries/imp_abil_tecniciw.h"
#include "registries/eserciziow.h"
#include "registries/misuratoriw.h"
#include "registries/soggettow.h"
#include "registries/tecnicow.h"
#include "registries/zoom_comuniw.h"
#include "ui/aprimodale.h"
#include "years/annow.h"
#include "years/sel_annow.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The laboratory's fiscal code; a data module that is missing or has the table closed has none.
QString laboratoryFiscalCode()
{
    if (!dm || !dm->Tabsoggetto || !dm->Tabsoggetto->isOpen())
        return {};
    try {
        return dm->Tabsoggetto->asString(QStringLiteral("CF")).trimmed();
    } catch (const engine::EngineError &) {
        return {};
    }
}

// A submenu can be opened only while one of its items can be used; it follows the items it holds now.
void followItems(QMenu *submenu)
{
    const auto update = [submenu] {
        const QList<QAction *> items = submenu->actions();
        submenu->menuAction()->setEnabled(
            std::any_of(items.cbegin(), items.cend(), [](const QAction *item) { return !item->isSeparator() && item->isEnabled(); }));
    };
    for (QAction *item : submenu->actions())
        QObject::connect(item, &QAction::changed, submenu, update);
    update();
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Sigillo - gestione parco macchine"));
    resize(1100, 720);

    buildCommands();
    buildToolBar();
    buildMenu();
    buildCentralArea();
    buildStatusBar();

    AppState &state = appState();
    state.ConversioneDaFare = false;
    state.CorrezioneDaFare = false;
    state.NuovoAnnoCreato = false;
    state.showYearStatus = [this](const QString &text) { setStatusPanel(2, text); };
    // Written back at once, so that a missing or partial file is completed with every key.
    config::read(state);
    config::write(state);
}

TMainForm::~TMainForm()
{
    appState().showYearStatus = nullptr;
}

QAction *TMainForm::command(const char *objectName, const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    addAction(action);
    return action;
}

void TMainForm::buildCommands()
{
    // Text is the menu caption, with its mnemonic, unique within its menu; iconText, where set, the
    // tool-bar caption.
    command("actionSoggetto", QStringLiteral("&Soggetto obbligato (concessionario)"))->setIconText(QStringLiteral("Soggetto Obbligato"));
    command("actionTecnici", QStringLiteral("&Tecnici"), Qt::Key_F3)->setIconText(QStringLiteral("Tecnici /F3"));
    command("actionEsercizi", QStringLiteral("&Esercizi (clienti)"), Qt::Key_F4)->setIconText(QStringLiteral("Esercizio/cliente /F4"));
    command("actionMisuratori", QStringLiteral("&Misuratori (tipologia)"), Qt::Key_F5)->setIconText(QStringLiteral("Misuratori /F5"));
    command("actionInterventi", QStringLiteral("Elenco Interventi"), Qt::Key_F6)->setIconText(QStringLiteral("Elenco Interventi /F6"));
    command("actionStampa", QStringLiteral("stampa"));
    command("actionTipiIntervento", QStringLiteral("tipi intervento"));
    command("actionIntermediari", QStringLiteral("&Intermediari"));
    command("actionComuni", QStringLiteral("Elenco &comuni "));
    command("actionSvuota", QStringLiteral("&svuota archivi"));
    command("actionImportaAgenzia", QStringLiteral("importa da file per &agenzia"));
    command("actionImportaInfo", QStringLiteral("importa &info aggiuntive"));
    command("actionBackup", QStringLiteral("&copia di salvataggio..."));
    command("actionAbilitazioni", QStringLiteral("Imposta anni e &tecnici validi"));
    command("actionImpostazioni", QStringLiteral("Im&postazioni..."));
    command("actionCambiaAnno", QStringLiteral("C&ambia anno..."));
    // Their windows are not part of the program yet.
    for (QAction *action : actions())
        action->setEnabled(false);
    const auto wire = [this](const char *name, auto slot) {
        QAction *action = findChild<QAction *>(QString::fromLatin1(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, slot);
    };
    wire("actionBackup", [] { backup::CopiaDiSalvataggio(); });
    wire("actionSvuota", [this] { SvuotaArchiviCommand(this); });
    wire("actionCambiaAnno", [this] { runShowSequence(); });
    wire("actionComuni", [this] {
        appState().ChiamanteComuni = QStringLiteral("MAINFORM");
        ApriModale(ZOOM_comuniForm, this);
    });
    wire("actionEsercizi", [this] { ApriModale(esercizioForm, this); });
    wire("actionMisuratori", [this] { ApriModale(misuratoriForm, this); });
    wire("actionTecnici", [this] { ApriModale(tecnicoForm, this); });
    wire("actionInterventi", [this] { ApriModale(MisurazioniForm, this); });
    wire("actionIntermediari", [this] { ApriModale(IntermediariForm, this); });
    wire("actionTipiIntervento", [this] { ApriModale(tipo_intForm, this); });
    wire("actionSoggetto", [this] { ApriModale(soggettoform, this); });
    wire("actionAbilitazioni", [this] { ApriModale(imp_abil_tecnici, this); });
    wire("actionImpostazioni", [this] { ApriModale(imp_varieForm, this); });
    wire("actionImportaAgenzia", [this] { ApriModale(importform, this); });
    wire("actionImportaInfo", [this] { ApriModale(imp_info_aggForm, this); });
    wire("actionStampa", [this] { ApriModale(stampe_extraForm, this); });

    QAction *close = command("actionChiudi", QStringLiteral("&Uscita dal programma"), QKeySequence(Qt::ALT | Qt::Key_X));
    close->setIconText(QStringLiteral("Chiudi"));
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(command("actionScarico", QStringLiteral("&Crea file per Agenzia delle Entrate")), &QAction::triggered, this,
            &TMainForm::scaricoPer);
    connect(command("actionInformazioni", QStringLiteral("&Informazioni su...")), &QAction::triggered, this,
            &TMainForm::informazioniSu);
    connect(command("actionPrimiPassi", QStringLiteral("&Primi passi...")), &QAction::triggered, this,
            &TMainForm::primiPassi);
}

void TMainForm::buildToolBar()
{
    auto *toolBar = addToolBar(QStringLiteral("Comandi"));
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar->setStyleSheet(QStringLiteral("QToolButton { padding: 6px 10px; }"));
    const char *const buttons[] = {"actionTecnici", "actionEsercizi", "actionMisuratori", "actionInterventi",
                                   "actionChiudi", "actionStampa", "actionTipiIntervento", "actionSoggetto"};
    for (const char *name : buttons) {
        auto *action = findChild<QAction *>(QString::fromLatin1(name));
        toolBar->addAction(action);
        toolBar->widgetForAction(action)->setObjectName(QStringLiteral("ToolButton_") + QString::fromLatin1(name).mid(6));
        if (action->objectName() == QLatin1String("actionChiudi"))
            toolBar->addSeparator();
    }
}

void TMainForm::buildMenu()
{
    auto add = [this](QMenu *menu, const char *name) { menu->addAction(findChild<QAction *>(QString::fromLatin1(name))); };

    QMenu *tabelle = menuBar()->addMenu(QStringLiteral("&Tabelle"));
    tabelle->setObjectName(QStringLiteral("menuTabelle"));
    for (const char *name : {"actionSoggetto", "actionTecnici", "actionEsercizi", "actionMisuratori", "actionIntermediari", "actionComuni"})
        add(tabelle, name);
    tabelle->addSeparator();
    add(tabelle, "actionChiudi");

    QMenu *gestione = menuBar()->addMenu(QStringLiteral("&Gestione"));
    gestione->setObjectName(QStringLiteral("menuGestione"));
    add(gestione, "actionScarico");

    QMenu *utilita = menuBar()->addMenu(QStringLiteral("&Utilità"));
    utilita->setObjectName(QStringLiteral("menuUtilita"));
    add(utilita, "actionSvuota");
    QMenu *importa = utilita->addMenu(QStringLiteral("&Importa"));
    importa->setObjectName(QStringLiteral("menuImporta"));
    add(importa, "actionImportaAgenzia");
    add(importa, "actionImportaInfo");
    followItems(importa);
    for (const char *name : {"actionBackup", "actionAbilitazioni", "actionImpostazioni", "actionCambiaAnno"})
        add(utilita, name);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&?"));
    help->setObjectName(QStringLiteral("menuAiuto"));
    add(help, "actionInformazioni");
    add(help, "actionPrimiPassi");
}

void TMainForm::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));

    auto *scarico = new QPushButton(QStringLiteral("Scarico per"), central);
    scarico->setObjectName(QStringLiteral("ScaricoButton"));
    scarico->setMinimumHeight(56);
    QFont scaricoFont = scarico->font();
    scaricoFont.setPointSize(scaricoFont.pointSize() + 4);
    scaricoFont.setBold(true);
    scarico->setFont(scaricoFont);
    QAction *scaricoAction = findChild<QAction *>(QStringLiteral("actionScarico"));
    connect(scarico, &QPushButton::clicked, scaricoAction, &QAction::trigger);

    auto *title = new QLabel(QStringLiteral("SIGILLO"), central);
    title->setObjectName(QStringLiteral("TitleLabel"));
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 22);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: #1f3a68;"));

    auto *subtitle = new QLabel(QStringLiteral("gestione parco macchine"), central);
    subtitle->setObjectName(QStringLiteral("SubtitleLabel"));
    subtitle->setAlignment(Qt::AlignCenter);
    QFont subtitleFont = subtitle->font();
    subtitleFont.setPointSize(subtitleFont.pointSize() + 6);
    subtitleFont.setItalic(true);
    subtitle->setFont(subtitleFont);

    auto *notice = new QLabel(QStringLiteral("Le prossime versioni del programma porteranno nuove funzioni: "
                                             "consultare \"Primi passi...\" nel menu \"?\" per iniziare."),
                              central);
    notice->setObjectName(QStringLiteral("NoticeLabel"));
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    notice->setStyleSheet(QStringLiteral("color: #8a1c1c;"));

    // Left empty: the picture download is not part of the program.
    auto *image = new QLabel(central);
    image->setObjectName(QStringLiteral("Image1"));
    image->setFixedHeight(170);
    image->setAlignment(Qt::AlignCenter);
    image->setFrameShape(QFrame::StyledPanel);
    image->setStyleSheet(QStringLiteral("background: #eef2f8;"));

    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(scarico);
    layout->addStretch(2);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(18);
    layout->addWidget(notice);
    layout->addStretch(3);
    layout->addWidget(image);
    setCentralWidget(central);
}

void TMainForm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    const int widths[] = {120, 200, 0};
    for (int panel = 0; panel < 3; ++panel) {
        auto *label = new QLabel(statusBar());
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(6, 0, 6, 0);
        if (widths[panel])
            label->setMinimumWidth(widths[panel]);
        statusBar()->addWidget(label, widths[panel] ? 0 : 1);
        m_statusPanels.append(label);
    }
    setStatusPanel(1, versionText());
}

QString TMainForm::statusPanel(int panel) const
{
    return m_statusPanels.at(panel)->text();
}

void TMainForm::setStatusPanel(int panel, const QString &text)
{
    m_statusPanels.at(panel)->setText(text);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Queued, so that the splash appears over a main window already on screen.
    QTimer::singleShot(0, this, &TMainForm::runShowSequence);
}

void TMainForm::runShowSequence()
{
    AppState &state = appState();
    {
        TSplashForm splash(this);
        splash.exec();
    }
    state.RicercaInCorso = false;
    // It reopens the data for the chosen year and sets AnnoLavoro and status panel 2; only its
    // "Annulla" leaves it without a year, and that ends the program.
    ApriModale(Sel_annoForm, this);
    if (state.AnnoLavoro.isEmpty()) {
        close();
        return;
    }
    state.ChiamanteComuni.clear();
    setStatusPanel(0, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    setStatusPanel(1, versionText());
    state.SceltaFatta = false;
    if (state.NuovoAnnoCreato) {
        ApriModale(AnnoForm, this);
        state.NuovoAnnoCreato = false;
    }
    // Then the login when the settings ask for it; only "Termina programma" leaves it without a user,
    // and that ends the program.
    if (passwords::loginRequired() && !Tins_pwdForm::Accesso(this))
        close();
}

void TMainForm::scaricoPer()
{
    if (laboratoryFiscalCode().isEmpty()) {
        Messages::error(QStringLiteral("MANCA IL CODICE FISCALE NELLA FINESTRA SOGGETTO OBBLIGATO. INSERIRE IL C.F. E RIPROVARE ."));
        // For the code to be entered.
        ApriModale(soggettoform, this);
        return;
    }
    if (!Messages::confirm(QStringLiteral("Entrare nella fase di creazione del file trimestrale delle verificazioni?")))
        return;
    ApriModale(scarico_Form, this);
}

void TMainForm::informazioniSu()
{
    ApriModale(AboutBox, this);
}

void TMainForm::primiPassi()
{
    ApriModale(PrimiPassiForm, this);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    config::write(appState());
    event->accept();
}
