// The main window driven as the user drives it: captions, keys, commands and the messages they show.

#include "app/aboutw.h"
#include "app/ins_pwdw.h"
#include "app/passwords.h"
#include "ground/config.h"
#include "app/mainw.h"
#include "ground/messages.h"
#include "app/primipassiw.h"
#include "app/splashw.h"
#include "ground/state.h"
#include "data/catalogue.h"
#include "data/tdm.h"
#include "guitest.h"
#include "quarterly/scarico_w.h"
#include "registries/imp_abil_tecniciw.h"
#include "registries/eserciziow.h"
#include "registries/misuratoriw.h"
#include "registries/soggettow.h"
#include "registries/tecnicow.h"
#include "testbase.h"
#include "years/sel_annow.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

const QString MissingCode = QStringLiteral("MANCA IL CODICE FISCALE NELLA FINESTRA SOGGETTO OBBLIGATO. INSERIRE IL C.F. E RIPROVARE .");
const QString QuarterlyQuestion = QStringLiteral("Entrare nella fase di creazione del file trimestrale delle verificazioni?");

QStringList captions(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

} // namespace

class tst_MainWindow : public GuiTest {
    Q_OBJECT

public:
    tst_MainWindow() { TSplashForm::setTimings(0, 0); }

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<TMainForm> m_window;

    QString configPath() const { return QDir(m_base->path()).filePath(QStringLiteral("Sigillo.INI")); }

    TMainForm &window()
    {
        if (!m_window)
            m_window = std::make_unique<TMainForm>();
        return *m_window;
    }
    // The show sequence's year selection, answered with a complete year.
    void queueYearSelection()
    {
        const QString year = QDir(m_base->path()).filePath(QStringLiteral("2021"));
        catalogue::createMissingTables(year, catalogue::yearTables());
        QFile fix1(QDir(year).filePath(QStringLiteral("fix1.txt")));
        QVERIFY(fix1.open(QIODevice::WriteOnly));
        ModalWindows::setNextHandler([](QDialog &form) {
            form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"))->setValue(2021);
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("AvantiButton")), Qt::LeftButton);
        });
    }
    // On screen and active, with its first show sequence over.
    bool showWindow()
    {
        queueYearSelection();
        window().show();
        if (!QTest::qWaitFor([this] { return !window().statusPanel(0).isEmpty(); }))
            return false;
        // The splash took the activation while it was up.
        window().activateWindow();
        return QTest::qWaitForWindowActive(&window());
    }
    QAction *action(const char *name) { return window().findChild<QAction *>(QString::fromLatin1(name)); }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        config::setFilePath(configPath());
    }
    void tearDown() override { m_window.reset(); }

private Q_SLOTS:
    void toolBarAndMenuCaptions()
    {
        QStringList toolBar;
        for (QAction *action : window().findChild<QToolBar *>(QStringLiteral("ToolBar1"))->actions()) {
            if (auto *button = qobject_cast<QToolButton *>(window().findChild<QToolBar *>()->widgetForAction(action)))
                toolBar << button->text();
        }
        QCOMPARE(toolBar, (QStringList{"Tecnici /F3", "Esercizio/cliente /F4", "Misuratori /F5", "Elenco Interventi /F6",
                                       "Chiudi", "stampa", "tipi intervento", "Soggetto Obbligato"}));
        QCOMPARE(window().findChild<QPushButton *>(QStringLiteral("ScaricoButton"))->text(), QStringLiteral("Scarico per"));

        QMenuBar *menuBar = window().menuBar();
        QCOMPARE(captions(menuBar->actions()), (QStringList{"&Tabelle", "&Gestione", "&Utilità", "&?"}));
        const QList<QAction *> menus = menuBar->actions();
        QCOMPARE(captions(menus[0]->menu()->actions()),
                 (QStringList{"&Soggetto obbligato (concessionario)", "&Tecnici", "&Esercizi (clienti)", "&Misuratori (tipologia)",
                              "&Intermediari", "Elenco &comuni ", "&Uscita dal programma"}));
        QCOMPARE(captions(menus[1]->menu()->actions()), QStringList{"&Crea file per Agenzia delle Entrate"});
        QCOMPARE(captions(menus[2]->menu()->actions()),
                 (QStringList{"&svuota archivi", "&Importa", "&copia di salvataggio...", "Imposta anni e &tecnici validi",
                              "Im&postazioni...", "C&ambia anno..."}));
        QCOMPARE(captions(menus[2]->menu()->actions()[1]->menu()->actions()),
                 (QStringList{"importa da file per &agenzia", "importa &info aggiuntive"}));
        QCOMPARE(captions(menus[3]->menu()->actions()), (QStringList{"&Informazioni su...", "&Primi passi..."}));

        // Only the commands whose windows exist can be given.
        QStringList enabled;
        for (const QAction *action : window().actions()) {
            if (action->isEnabled())
                enabled << action->objectName();
        }
        QCOMPARE(enabled, (QStringList{"actionSoggetto", "actionTecnici", "actionEsercizi", "actionMisuratori", "actionInterventi", "actionStampa", "actionTipiIntervento",
                                       "actionIntermediari", "actionComuni", "actionSvuota", "actionImportaAgenzia", "actionImportaInfo",
                                       "actionBackup", "actionAbilitazioni",
                                       "actionImpostazioni", "actionCambiaAnno", "actionChiudi", "actionScarico", "actionInformazioni", "actionPrimiPassi"}));
    }

    void everyMenuItemHasItsOwnMnemonic()
    {
        QList<QList<QAction *>> levels{window().menuBar()->actions()};
        while (!levels.isEmpty()) {
            QSet<QKeySequence> keys;
            for (QAction *action : levels.takeFirst()) {
                if (action->isSeparator())
                    continue;
                const QKeySequence key = QKeySequence::mnemonic(action->text());
                QVERIFY2(!key.isEmpty(), qPrintable(action->text()));
                QVERIFY2(!keys.contains(key), qPrintable(action->text()));
                keys.insert(key);
                if (action->menu())
                    levels.append(action->menu()->actions());
            }
        }
    }

    void altAndTheMnemonicOpenTheMenu_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+T") << int(Qt::Key_T) << QStringLiteral("menuTabelle");
        QTest::newRow("Alt+G") << int(Qt::Key_G) << QStringLiteral("menuGestione");
        QTest::newRow("Alt+U") << int(Qt::Key_U) << QStringLiteral("menuUtilita");
        QTest::newRow("Alt+?") << int(Qt::Key_Question) << QStringLiteral("menuAiuto");
    }
    void altAndTheMnemonicOpenTheMenu()
    {
        QFETCH(int, key);
        QFETCH(QString, menu);
        QVERIFY(showWindow());
        QTest::keyClick(&window(), Qt::Key(key), Qt::AltModifier);
        QVERIFY(QTest::qWaitFor([] { return QApplication::activePopupWidget(); }));
        QCOMPARE(QApplication::activePopupWidget()->objectName(), menu);
        QApplication::activePopupWidget()->close();
    }

    void aSubmenuCanBeOpenedOnlyWhileOneOfItsItemsCanBeUsed()
    {
        auto *importa = window().findChild<QMenu *>(QStringLiteral("menuImporta"));
        QVERIFY(importa->menuAction()->isEnabled());
        action("actionImportaAgenzia")->setEnabled(false);
        QVERIFY(importa->menuAction()->isEnabled());
        action("actionImportaInfo")->setEnabled(false);
        QVERIFY(!importa->menuAction()->isEnabled());
        action("actionImportaAgenzia")->setEnabled(true);
        QVERIFY(importa->menuAction()->isEnabled());
    }

    void theYearSelectionHasNoMinimiseOrMaximiseButton()
    {
        const Qt::WindowFlags flags = TSel_annoForm().windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }

    void creationCompletesTheConfigurationAndClosingWritesIt()
    {
        AppState &state = appState();
        state.ConversioneDaFare = state.CorrezioneDaFare = state.NuovoAnnoCreato = true;
        QVERIFY(!QFile::exists(configPath()));

        window();
        QVERIFY(!state.ConversioneDaFare && !state.CorrezioneDaFare && !state.NuovoAnnoCreato);
        QCOMPARE(state.DirBase, withTrailingSeparator(m_base->path()));
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[gestione anni]\r\nabilita=NO\r\n"));
        file.close();

        state.GestioneAnni = QStringLiteral("SI");
        QVERIFY(window().close());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[gestione anni]\r\nabilita=SI\r\n"));
        QVERIFY(Messages::shown().isEmpty());
    }

    void functionKeysGiveTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("command");
        QTest::newRow("F3") << int(Qt::Key_F3) << QStringLiteral("actionTecnici");
        QTest::newRow("F4") << int(Qt::Key_F4) << QStringLiteral("actionEsercizi");
        QTest::newRow("F5") << int(Qt::Key_F5) << QStringLiteral("actionMisuratori");
        QTest::newRow("F6") << int(Qt::Key_F6) << QStringLiteral("actionInterventi");
    }
    void functionKeysGiveTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(QString, command);
        QVERIFY(showWindow());
        QStringList triggered;
        for (QAction *action : window().actions()) {
            action->setEnabled(true); // as once their windows are wired
            connect(action, &QAction::triggered, this, [&triggered, action] { triggered << action->objectName(); });
        }
        // The focus on a control: the window still sees the key first.
        auto *scarico = window().findChild<QPushButton *>(QStringLiteral("ScaricoButton"));
        scarico->setFocus();
        QTest::keyClick(scarico, Qt::Key(key));
        QCOMPARE(triggered, QStringList{command});
    }

    void commandsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("opened");
        QTest::newRow("Esercizio/cliente /F4") << "actionEsercizi" << "TesercizioForm";
        QTest::newRow("Intermediari") << "actionIntermediari" << "TIntermediariForm";
        QTest::newRow("Impostazioni...") << "actionImpostazioni" << "Timp_varieForm";
        QTest::newRow("Elenco Interventi /F6") << "actionInterventi" << "TMisurazioniForm";
        QTest::newRow("importa da file per agenzia") << "actionImportaAgenzia" << "Timportform";
        QTest::newRow("importa info aggiuntive") << "actionImportaInfo" << "Timp_info_aggForm";
    }
    void commandsOpenTheirWindows()
    {
        QFETCH(QString, command);
        QFETCH(QString, opened);
        window();
        Tdm data;
        QString shown;
        ModalWindows::setNextHandler([&shown](QDialog &form) {
            shown = QString::fromLatin1(form.metaObject()->className());
            form.reject();
        });
        action(command.toLatin1().constData())->trigger();
        QCOMPARE(shown, opened);
        QVERIFY(Messages::shown().isEmpty());
    }

    void altXClosesAndXAloneDoesNothing()
    {
        QVERIFY(showWindow());
        auto *scarico = window().findChild<QPushButton *>(QStringLiteral("ScaricoButton"));
        QTest::keyClick(scarico, Qt::Key_X);
        QVERIFY(window().isVisible());
        QTest::keyClick(scarico, Qt::Key_X, Qt::AltModifier);
        QVERIFY(!window().isVisible());
    }

    void theTechniciansCommandOpensTheirWindow_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("tool button") << false;
        QTest::newRow("menu Tabelle") << true;
    }
    void theTechniciansCommandOpensTheirWindow()
    {
        QFETCH(bool, fromMenu);
        window();
        Tdm data;
        QString caption;
        ModalWindows::setNextHandler([&caption](QDialog &form) {
            caption = form.windowTitle();
            QVERIFY(&form == tecnicoForm);
            button(form, "SpeedButton3")->click();
        });
        if (fromMenu) {
            const QList<QAction *> items = window().findChild<QMenu *>(QStringLiteral("menuTabelle"))->actions();
            const auto item = std::find_if(items.cbegin(), items.cend(), [](const QAction *a) { return a->text() == QLatin1String("&Tecnici"); });
            QVERIFY(item != items.cend());
            (*item)->trigger();
        } else {
            window().findChild<QToolButton *>(QStringLiteral("ToolButton_Tecnici"))->click();
        }
        QCOMPARE(caption, QStringLiteral("Elenco tecnici:"));
        QCOMPARE(tecnicoForm, nullptr);
    }

    void scaricoWithoutLaboratoryCodeOpensTheLaboratory_data()
    {
        QTest::addColumn<bool>("withDataModule");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("no data module, button") << false << QString() << false;
        QTest::newRow("no laboratory row, menu") << true << QString() << true;
        QTest::newRow("blank code, button") << true << QStringLiteral("   ") << false;
    }
    void scaricoWithoutLaboratoryCodeOpensTheLaboratory()
    {
        QFETCH(bool, withDataModule);
        QFETCH(QString, code);
        QFETCH(bool, fromMenu);
        if (!code.isNull())
            TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}, {"CF", code}}});
        window();
        std::unique_ptr<Tdm> data(withDataModule ? new Tdm : nullptr);
        QCOMPARE(dm, data.get());
        if (withDataModule)
            ModalWindows::setNextHandler([](QDialog &form) {
                QCOMPARE(&form, soggettoform);
                QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("SpeedButton1")), Qt::LeftButton);
            });

        if (fromMenu)
            action("actionScarico")->trigger();
        else
            QTest::mouseClick(window().findChild<QPushButton *>(QStringLiteral("ScaricoButton")), Qt::LeftButton);
        // A question would have found no answer queued and stopped the test; without the data the
        // laboratory window cannot be made, and says so.
        QList<ShownMessage> expected{{MessageKind::Error, MissingCode}};
        if (!withDataModule)
            expected.append({MessageKind::Error, QStringLiteral("Archivi non aperti: impossibile aprire la finestra.")});
        QCOMPARE(Messages::shown(), expected);
    }

    void laboratoryAndYearCommandsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("toolButton");
        QTest::addColumn<QString>("caption");
        const QString laboratory = QStringLiteral("Dati sul Soggetto Obbligato e relative abilitazioni");
        QTest::newRow("Soggetto Obbligato") << "actionSoggetto" << true << laboratory;
        QTest::newRow("Soggetto obbligato (concessionario)") << "actionSoggetto" << false << laboratory;
        QTest::newRow("Imposta anni e tecnici validi") << "actionAbilitazioni" << false
                                                       << QStringLiteral("Imposta le abilitazioni e il loro periodo di validità");
    }
    void laboratoryAndYearCommandsOpenTheirWindows()
    {
        QFETCH(QString, command);
        QFETCH(bool, toolButton);
        QFETCH(QString, caption);
        Tdm data;
        QString shown;
        ModalWindows::setNextHandler([&shown](QDialog &form) {
            shown = form.windowTitle();
            form.accept();
        });
        if (toolButton)
            QTest::mouseClick(window().findChild<QToolButton *>(QStringLiteral("ToolButton_") + command.mid(6)), Qt::LeftButton);
        else
            action(qPrintable(command))->trigger();
        QCOMPARE(shown, caption);
        QCOMPARE(soggettoform, nullptr);
        QCOMPARE(imp_abil_tecnici, nullptr);
    }

    void scaricoWithLaboratoryCodeAsksToGoOn_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Sì") << true;
        QTest::newRow("No") << false;
    }
    void scaricoWithLaboratoryCodeAsksToGoOn()
    {
        QFETCH(bool, answer);
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}, {"CF", "01234567890"}}});
        window();
        Tdm data;
        Messages::setNextAnswer(answer);
        bool opened = false;
        if (answer)
            ModalWindows::setNextHandler([&opened](QDialog &quarterly) {
                opened = &quarterly == scarico_Form;
                quarterly.reject();
            });
        QTest::mouseClick(window().findChild<QPushButton *>(QStringLiteral("ScaricoButton")), Qt::LeftButton);
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Confirmation, QuarterlyQuestion}}));
        QCOMPARE(opened, answer);
    }

    void showSequenceAfterTheAboutBox()
    {
        bool aboutShowsVersion = false;
        ModalWindows::setNextHandler([&](QDialog &about) {
            QCOMPARE(&about, AboutBox);
            aboutShowsVersion = about.findChild<QLabel *>(QStringLiteral("Version"))->text() == QStringLiteral("Versione 4.02.2021");
            QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
        window().setStatusPanel(0, QString());
        window().setStatusPanel(1, QStringLiteral("Anno: 2020"));
        action("actionInformazioni")->trigger();
        QVERIFY(aboutShowsVersion);
        QCOMPARE(AboutBox, nullptr);

        AppState &state = appState();
        state.RicercaInCorso = state.SceltaFatta = true;
        state.ChiamanteComuni = QStringLiteral("TECNICO1");
        queueYearSelection();
        window().runShowSequence();
        QCOMPARE(window().statusPanel(0), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QCOMPARE(window().statusPanel(1), QStringLiteral("Versione 4.02.2021"));
        QVERIFY(!state.RicercaInCorso);
        QVERIFY(!state.SceltaFatta);
        QVERIFY(state.ChiamanteComuni.isEmpty());
    }

    // After the year selection, at start and at each change of year, while the settings ask for it.
    void theLoginFollowsTheYearSelection_data()
    {
        QTest::addColumn<bool>("usaPwd");
        QTest::newRow("Usa_pwd false: no login") << false;
        QTest::newRow("Usa_pwd true") << true;
    }
    void theLoginFollowsTheYearSelection()
    {
        QFETCH(bool, usaPwd);
        TestBase::addDataRows(QStringLiteral("impostazioni"), {{{"Usa_pwd", usaPwd}}});
        TestBase::addDataRows(QStringLiteral("password_"), {{{"Nome", "ROSSI"}, {"Password", passwords::hash(QStringLiteral("PIPPO"))}}});
        Tdm data;
        int logins = 0;
        // A login with no handler queued would stop the test.
        const auto yearThenLogin = [&] {
            queueYearSelection();
            if (!usaPwd)
                return;
            ModalWindows::setNextHandler([&logins](QDialog &login) {
                QCOMPARE(&login, ins_pwdForm);
                auto *users = login.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
                users->setCurrentIndex(users->findText(QStringLiteral("ROSSI")));
                typeInto(lineEdit(login, "Edit1"), QStringLiteral("pippo"));
                button(login, "BitBtn1")->click();
                ++logins;
            });
        };
        yearThenLogin();
        window().runShowSequence();
        yearThenLogin();
        action("actionCambiaAnno")->trigger();
        QCOMPARE(logins, usaPwd ? 2 : 0);
        QCOMPARE(appState().AnnoLavoro, QStringLiteral("2021"));
        QVERIFY(Messages::shown().isEmpty());
    }

    void terminaProgrammaEndsTheProgram()
    {
        TestBase::addDataRows(QStringLiteral("impostazioni"), {{{"Usa_pwd", true}}});
        Tdm data;
        queueYearSelection();
        ModalWindows::setNextHandler([](QDialog &login) {
            QCOMPARE(&login, ins_pwdForm);
            button(login, "BitBtn2")->click();
        });
        window().show();
        QVERIFY(QTest::qWaitFor([this] { return !window().isVisible(); }));
        QVERIFY(Messages::shown().isEmpty());
    }

    void splashRewritesItsLineAndClosesItself()
    {
        TSplashForm splash;
        QCOMPARE(splash.exec(), int(QDialog::Accepted));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("VersionLabel"))->text(), QStringLiteral("Versione 4.02.2021"));
        QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("LoadingLabel"))->text(),
                 QStringLiteral("Caricamento in corso di Misuratori Fiscali....... attendere........."));
    }

    void primiPassiOpensOnTheFirstStep()
    {
        QStringList tabs;
        int page = -1;
        ModalWindows::setNextHandler([&](QDialog &form) {
            auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
            page = pages->currentIndex();
            for (int i = 0; i < pages->count(); ++i)
                tabs << pages->tabText(i);
            pages->setCurrentIndex(2);
            shoot(form, QStringLiteral("primi_passi"));
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("ChiudiButton")), Qt::LeftButton);
        });
        action("actionPrimiPassi")->trigger();
        QCOMPARE(page, 0);
        QCOMPARE(tabs, (QStringList{"Passo 1", "Passo 2", "Passo 3", "Passo 4", "Passo 5", "Passo 6", "Passo 7"}));
        QCOMPARE(PrimiPassiForm, nullptr);
    }

    void eachStepNamesTheFieldsOfItsWindow_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("fields");
        QTest::newRow("meter models") << "TabSheet3" << 3;
        QTest::newRow("shops") << "TabSheet4" << 6;
    }
    void eachStepNamesTheFieldsOfItsWindow()
    {
        QFETCH(QString, step);
        QFETCH(int, fields);
        Tdm data;
        std::unique_ptr<QDialog> form;
        if (step == QLatin1String("TabSheet3"))
            form = std::make_unique<TmisuratoriForm>();
        else
            form = std::make_unique<TesercizioForm>();
        QStringList labels;
        for (const QLabel *label : form->findChild<QWidget *>(QStringLiteral("TabSheet2"))->findChildren<QLabel *>())
            labels << label->text();
        QCOMPARE(labels.size(), fields);
        const QString text = TPrimiPassiForm().findChild<QLabel *>(step)->text();
        for (const QString &label : labels)
            QVERIFY2(text.contains(QStringLiteral("\u00ab%1\u00bb").arg(label)), qPrintable(label));
    }

    void theTechniciansStepNamesTheCommandsOfTheirList()
    {
        Tdm data;
        TtecnicoForm technicians;
        const QString step = TPrimiPassiForm().findChild<QLabel *>(QStringLiteral("TabSheet2"))->text();
        for (const char *name : {"SpeedButton11", "SpeedButton13", "SpeedButton12", "SpeedButton9", "CheckBox1", "SpeedButton14",
                                 "SpeedButton15", "SpeedButton4"}) {
            const QString caption = button(technicians, name)->text();
            QVERIFY2(step.contains(QStringLiteral("\u00ab%1\u00bb").arg(caption)), qPrintable(caption));
        }
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
