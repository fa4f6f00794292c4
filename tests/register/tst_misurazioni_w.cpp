// The register window driven as the user drives it: the entry page with its checks, the technicians
// offered, the address and end date it fills, its pickers and the keyboard; the list page with its
// colours, the search and the filter, deletion and the next verification date.

#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "guitest.h"
#include "register/misurazioniw.h"
#include "registerarchive.h"
#include "registries/eserciziow.h"
#include "registries/misuratoriw.h"
#include "registries/zoom_comuniw.h"
#include "data/catalogue.h"
#include "ui/dbgrid.h"
#include "ui/radiogroup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <functional>
#include <memory>

using engine::Table;
using engine::TableState;

namespace {

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString WrongDates = QStringLiteral("Valori delle date non validi ");
const QColor Purple(0x80, 0x00, 0x80);

using Change = std::function<void(QWidget &window, Table &row)>;

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int item = 0; item < combo->count(); ++item)
        texts << combo->itemText(item);
    return texts;
}

QStringList serials()
{
    QStringList shown;
    const Table *table = dm->Tabmisurazioni;
    for (int row = 0; row < table->recordCount(); ++row)
        shown << table->valueAt(row, QStringLiteral("Matricola_ms")).toString();
    return shown;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class tst_MisurazioniW : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<RegisterArchive> m_archive;
    std::unique_ptr<Tdm> m_data;

    // The items of "RICERCA PER:".
    enum SearchItemIndex { ByName, ByVat, BySerial, ByType, ByQuarter };

    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static QComboBox *combo(QWidget &window, const char *name)
    {
        auto *found = window.findChild<QComboBox *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no combo %s", name);
        return found;
    }
    static QString label(QWidget &window, const char *name)
    {
        return window.findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    // The user's choice of an item.
    static void choose(QComboBox *list, const QString &text)
    {
        const int item = list->findText(text);
        QVERIFY2(item >= 0, qPrintable(text));
        list->setCurrentIndex(item);
        Q_EMIT list->activated(item);
    }
    static void chooseSearch(QWidget &window, SearchItemIndex item)
    {
        window.findChild<RadioGroup *>(QStringLiteral("RadioGroup3"))->button(item)->click();
    }
    static QString field(const char *name) { return dm->Tabmisurazioni->asString(QString::fromLatin1(name)); }
    static void set(const char *name, const QVariant &value) { dm->Tabmisurazioni->setValue(QString::fromLatin1(name), value); }
    // What the row shown on the list page stands for.
    static bool locate(const QString &serial) { return dm->Tabmisurazioni->locate(QStringLiteral("Matricola_ms"), {serial}); }

    // A new intervention with every field filled but the dates: shop 1, its address, ROSSI MARIO, model 1.
    static void startComplete(QWidget &window)
    {
        button(window, "SpeedButton1")->click();
        set("Id_esercizio", 1);
        set("COMUNE", "L'AQUILA");
        set("INDIRIZZO", "VIA ROMA 1");
        choose(combo(window, "ComboBox1"), QStringLiteral("ROSSI MARIO<->AB0001<->0001"));
        set("Id_ms", 1);
        set("Matricola_ms", "OL999999");
        set("Tipo_intervento", "3");
        set("Esito", "0");
    }

    void openArchive(const QString &year = QStringLiteral("2010"))
    {
        m_data.reset();
        m_archive = std::make_unique<RegisterArchive>(year);
        m_data = std::make_unique<Tdm>();
    }

    void setUp() override { openArchive(); }
    void tearDown() override
    {
        m_data.reset();
        m_archive.reset();
    }

private Q_SLOTS:
    void showingFillsTheListsAndOpensOnTheSearch()
    {
        const QDir base(appState().DirBase);
        QVERIFY(base.mkdir(QStringLiteral("frf")));
        for (const char *name : {"a.frf", "b.frf"}) {
            QFile layout(base.filePath(QStringLiteral("frf/") + QLatin1String(name)));
            QVERIFY(layout.open(QIODevice::WriteOnly));
        }
        openWindow<TMisurazioniForm>(MisurazioniForm, [](TMisurazioniForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Elenco interventi:"));
            QCOMPARE(page(window), int(TMisurazioniForm::ListPage));
            QCOMPARE(label(window, "Label1"), QStringLiteral("N° di righe :5"));
            auto *area = window.findChild<QTabWidget *>(QStringLiteral("PageControl2"));
            QCOMPARE(area->tabText(area->currentIndex()), QStringLiteral("Ricerca NUOVA VERSIONE"));
            const QStringList types{"1=MESSA IN SERVIZIO", "2=DEFISCALIZZAZIONE", "3=VERIFICA PERIODICA", "4=RIPARAZIONE"};
            QCOMPARE(items(combo(window, "ComboBox3")), types);
            QCOMPARE(items(combo(window, "RxDBComboBox1")), types);
            QCOMPARE(items(combo(window, "ComboBox4")), (QStringList{"", "1", "2", "3", "4"}));
            QCOMPARE(items(combo(window, "ComboBox7")), (QStringList{"", "1", "2", "3", "4"}));
            QCOMPARE(items(combo(window, "ComboBox2")), (QStringList{"TUTTI", "FORLÌ", "L'AQUILA", "ROMA"}));
            QCOMPARE(combo(window, "ComboBox2")->currentText(), QStringLiteral("TUTTI"));
            QCOMPARE(combo(window, "ComboBox6")->count(), 2);
            QCOMPARE(combo(window, "ComboBox6")->currentIndex(), 1);

            // Each search item shows its own input; a type chosen puts its code in the text box.
            QVERIFY(lineEdit(window, "Edit1")->isVisible());
            QVERIFY(!combo(window, "ComboBox3")->isVisible());
            chooseSearch(window, ByType);
            QVERIFY(!lineEdit(window, "Edit1")->isVisible());
            QVERIFY(combo(window, "ComboBox3")->isVisible());
            choose(combo(window, "ComboBox3"), QStringLiteral("4=RIPARAZIONE"));
            QCOMPARE(lineEdit(window, "Edit1")->text(), QStringLiteral("4"));
            chooseSearch(window, ByQuarter);
            QVERIFY(combo(window, "ComboBox5")->isVisible());
            QVERIFY(lineEdit(window, "Edit1")->text().isEmpty());
            shoot(window, QStringLiteral("misurazioni"));

            // The side panel follows its check box and the grid's popup command.
            QWidget *side = window.findChild<QWidget *>(QStringLiteral("Panel2"));
            QVERIFY(!side->isVisible());
            window.findChild<QAction *>(QStringLiteral("Aggiungiinformazioniaggiuntive1"))->trigger();
            QVERIFY(side->isVisible());
            QVERIFY(window.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked());
            area->setCurrentIndex(4);
            shoot(window, QStringLiteral("misurazioni_informazioni"));
            window.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->click();
            QVERIFY(!side->isVisible());

            QVERIFY(!window.close());
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("Per uscire dalla finestra usare i tasti opportuni")});
    }

    void rowsAreColouredByWhatIsWrongWithThem_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("text");
        QTest::newRow("complete and positive") << "OL123456" << QColor() << QColor();
        QTest::newRow("negative") << "OL1234567" << QColor() << QColor(Qt::red);
        QTest::newRow("malformed logotype") << "CU000001" << Purple << QColor(Qt::white);
        QTest::newRow("serial of 7 characters") << "RC12345" << Purple << QColor(Qt::blue);
        QTest::newRow("no start date") << "RC7654321" << QColor() << QColor(Qt::red);
    }
    void rowsAreColouredByWhatIsWrongWithThem()
    {
        QFETCH(QString, serial);
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            const int row = int(serials().indexOf(serial));
            QAbstractItemModel *model = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->model();
            for (int column : {0, 15}) {
                QCOMPARE(model->index(row, column).data(Qt::BackgroundRole).value<QColor>(), background);
                QCOMPARE(model->index(row, column).data(Qt::ForegroundRole).value<QColor>(), text);
            }
            button(window, "SpeedButton4")->click();
        });
    }

    void okChecksTheDates_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("refusal"); // empty: stored
        QTest::addColumn<MessageKind>("kind");
        QTest::newRow("28/12 to 3/1") << "28122010" << "03012011" << WrongDates << MessageKind::Plain;
        QTest::newRow("the same day") << "10052010" << "10052010" << QString() << MessageKind::Plain;
        QTest::newRow("March to February") << "10032010" << "10022010" << WrongDates << MessageKind::Plain;
        QTest::newRow("10 May to 9 May") << "10052010" << "09052010" << WrongDates << MessageKind::Plain;
        QTest::newRow("a start in another year")
            << "10052009" << "10052010"
            << "Valori delle date non validi. Potresti essere nell'anno sbagliato. Anno corrente:2010" << MessageKind::Plain;
        QTest::newRow("a day that does not exist") << "31022010" << "10032010" << "Inserire le date corrette." << MessageKind::Warning;
        QTest::newRow("no end") << "10052010" << "" << "Inserire le date corrette." << MessageKind::Warning;
    }
    void okChecksTheDates()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, refusal);
        QFETCH(MessageKind, kind);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            startComplete(window);
            typeInto(lineEdit(window, "DBDateEdit1"), start);
            typeInto(lineEdit(window, "DBDateEdit2"), end);
            Messages::clear(); // a day that does not exist is already named when its field is left
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(refusal.isEmpty() ? TMisurazioniForm::ListPage : TMisurazioniForm::EntryPage));
            QCOMPARE(dm->Tabmisurazioni->isEditing(), !refusal.isEmpty());
            if (!refusal.isEmpty())
                button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        const QList<ShownMessage> refused{{kind, refusal}};
        QCOMPARE(Messages::shown(), refusal.isEmpty() ? QList<ShownMessage>{} : refused);
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), refusal.isEmpty() ? 6 : 5);
    }

    void okRefusesAnEntryWithAnEmptyField_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("stored");
        const auto clear = [](const char *name) { return Change([name](QWidget &, Table &) { set(name, QString()); }); };
        // An address is put back after the change that empties it, so that only the field named is missing.
        const auto withAddress = [](const char *name, const QVariant &value) {
            return Change([name, value](QWidget &, Table &) {
                set(name, value);
                set("COMUNE", "L'AQUILA");
                set("INDIRIZZO", "VIA ROMA 1");
            });
        };
        QTest::newRow("nothing") << Change([](QWidget &, Table &) {}) << true;
        QTest::newRow("Comune:") << Change([](QWidget &, Table &) {
            set("COMUNE", QString());
            set("PROVINCIA", "AQ");
            set("CAP", "67100");
        }) << false;
        QTest::newRow("Prov.:") << clear("PROVINCIA") << false;
        QTest::newRow("Indirizzo:") << clear("INDIRIZZO") << false;
        QTest::newRow("Cap:") << clear("CAP") << false;
        QTest::newRow("Matricola_ms") << clear("Matricola_ms") << false;
        QTest::newRow("Tipo intervento") << clear("Tipo_intervento") << false;
        QTest::newRow("Esito") << clear("Esito") << false;
        QTest::newRow("the shop") << withAddress("Id_esercizio", 99) << false;
        QTest::newRow("the technician's name") << Change([](QWidget &, Table &) { set("Id_tecnico", 99); }) << false;
        QTest::newRow("the meter model") << Change([](QWidget &, Table &) { set("Id_ms", 99); }) << false;
        QTest::newRow("the technician list") << Change([](QWidget &window, Table &) { combo(window, "ComboBox1")->setCurrentIndex(-1); })
                                             << false;
    }
    void okRefusesAnEntryWithAnEmptyField()
    {
        QFETCH(Change, change);
        QFETCH(bool, stored);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            startComplete(window);
            set("Data_ini", QDate(2010, 5, 10));
            set("Data_fine", QDate(2010, 5, 11));
            change(window, *dm->Tabmisurazioni);
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(stored ? TMisurazioniForm::ListPage : TMisurazioniForm::EntryPage));
            if (!stored)
                button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), stored ? QStringList{} : QStringList{Incomplete});
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), stored ? 6 : 5);
    }

    void theTechniciansOfferedFollowTheYearsAuthorisations_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("management");
        QTest::addColumn<bool>("authorisationsOpen");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("firstId"); // of the first technician offered
        QTest::addColumn<QStringList>("messages");
        // In name order; VERDI ANNA works under an authorisation that does not exist.
        const QStringList every{"BIANCHI LUCA<->CD0002<->0002", "ROSSI MARIO<->AB0001<->0001", "VERDI ANNA<-><->0003"};
        QTest::newRow("management off") << "2010" << "NO" << true << every << 2 << QStringList{};
        QTest::newRow("the year's list") << "2010" << "SI" << true << QStringList{"ROSSI MARIO<->AB0001<->0001"} << 1 << QStringList{};
        QTest::newRow("a year without a list") << "2036" << "SI" << true << QStringList{} << 0 << QStringList{};
        const QString contact = QStringLiteral("contattare la vesksoft");
        QTest::newRow("authorisations unreadable")
            << "2010" << "NO" << false << QStringList{"BIANCHI LUCA<-><->0002", "ROSSI MARIO<-><->0001", "VERDI ANNA<-><->0003"}
            << 2 << QStringList{contact, contact, contact};
    }
    void theTechniciansOfferedFollowTheYearsAuthorisations()
    {
        QFETCH(QString, year);
        QFETCH(QString, management);
        QFETCH(bool, authorisationsOpen);
        QFETCH(QStringList, offered);
        QFETCH(int, firstId);
        QFETCH(QStringList, messages);
        openArchive(year);
        AppState &state = appState();
        state.GestioneAnni = management;
        // The year's list has a gap before its one identifier.
        state.abilitazione(2010, 3) = QStringLiteral("AB0001");
        if (!authorisationsOpen)
            m_data->TabLsogg->close();
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            button(window, "SpeedButton1")->click();
            QComboBox *technicians = combo(window, "ComboBox1");
            QCOMPARE(items(technicians), offered);
            QCOMPARE(technicians->currentIndex(), -1);
            if (!offered.isEmpty()) {
                choose(technicians, offered.first());
                QCOMPARE(dm->Tabmisurazioni->asInteger(QStringLiteral("Id_tecnico")), firstId);
            }
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), messages);
    }

    void modificaPreselectsTheTechnicianOfARowNotDelivered_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("not delivered") << "OL1234567" << false;
        QTest::newRow("delivered") << "RC7654321" << true;
    }
    void modificaPreselectsTheTechnicianOfARowNotDelivered()
    {
        QFETCH(QString, serial);
        QFETCH(bool, delivered);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QVERIFY(locate(serial));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
            QCOMPARE(page(window), int(delivered ? TMisurazioniForm::ListPage : TMisurazioniForm::EntryPage));
            QCOMPARE(dm->Tabmisurazioni->state(), delivered ? TableState::Browse : TableState::Edit);
            if (!delivered) {
                QCOMPARE(combo(window, "ComboBox1")->currentText(), QStringLiteral("BIANCHI LUCA<->CD0002<->0002"));
                // On the entry page F8 and F9 would store the row without the checks: they do nothing.
                set("Esito", QString());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
                QCOMPARE(page(window), int(TMisurazioniForm::EntryPage));
                QCOMPARE(dm->Tabmisurazioni->state(), TableState::Edit);
                QVERIFY(!window.close());
                button(window, "Button2")->click();
            }
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(),
                 QStringList{delivered ? QStringLiteral("Attenzione la misurazione risulta effetturata, non è possibile modificare")
                                       : QStringLiteral("Terminare la fase di inserimento con i tasti di conferma")});
        QVERIFY(m_data->Tabmisurazioni->locate(QStringLiteral("Matricola_ms"), {serial}));
        QCOMPARE(m_data->Tabmisurazioni->asString(QStringLiteral("Esito")), delivered ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void leavingTheShopCopiesItsAddressIntoEmptyBoxes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty boxes") << QString();
        QTest::newRow("an address typed") << "VIA NUOVA 5";
    }
    void leavingTheShopCopiesItsAddressIntoEmptyBoxes()
    {
        QFETCH(QString, typed);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton1")->click();
            QComboBox *shop = combo(window, "DBLookupComboBox1");
            QCOMPARE(QApplication::focusWidget(), shop);
            QTest::keyClick(shop, Qt::Key_B);
            QCOMPARE(dm->Tabmisurazioni->asInteger(QStringLiteral("Id_esercizio")), 1);
            if (!typed.isEmpty())
                set("INDIRIZZO", typed);
            combo(window, "ComboBox1")->setFocus();
            if (typed.isEmpty()) {
                QCOMPARE(field("COMUNE"), QStringLiteral("L'AQUILA"));
                QCOMPARE(field("PROVINCIA"), QStringLiteral("AQ"));
                QCOMPARE(field("INDIRIZZO"), QStringLiteral("VIA ROMA 1"));
                QCOMPARE(field("CAP"), QStringLiteral("67100"));
                QCOMPARE(lineEdit(window, "DBEdit3")->text(), QStringLiteral("L'AQUILA"));
                QCOMPARE(label(window, "Label_piva"), QStringLiteral("12345678903"));
            } else {
                QCOMPARE(field("INDIRIZZO"), typed);
                QVERIFY(field("COMUNE").isEmpty() && field("CAP").isEmpty());
                QVERIFY(label(window, "Label_piva").isEmpty());
            }
            // Another shop forgets the address; leaving the list again copies the new one.
            shop->setFocus();
            QTest::keyClick(shop, Qt::Key_End); // PIZZERIA FORLÌ
            combo(window, "ComboBox1")->setFocus();
            QCOMPARE(field("COMUNE"), QStringLiteral("FORLÌ"));
            QCOMPARE(label(window, "Label_piva"), QStringLiteral("01234567897"));
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void leavingTheStartDateFillsAnEmptyEnd_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("endShown");
        QTest::newRow("no start") << "" << "" << "  /  /    ";
        QTest::newRow("a start, no end") << "10052010" << "" << "10/05/2010";
        QTest::newRow("an end typed") << "10052010" << "12052010" << "12/05/2010";
    }
    void leavingTheStartDateFillsAnEmptyEnd()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, endShown);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton1")->click();
            // Typing nothing into an empty date would store an empty one.
            if (!end.isEmpty())
                typeInto(lineEdit(window, "DBDateEdit2"), end);
            lineEdit(window, "DBDateEdit1")->setFocus();
            if (!start.isEmpty())
                typeInto(lineEdit(window, "DBDateEdit1"), start);
            combo(window, "RxDBComboBox2")->setFocus();
            QCOMPARE(lineEdit(window, "DBDateEdit2")->displayText(), endShown);
            // The quarter follows the end date.
            QCOMPARE(field("Trimestre"), end.isEmpty() && start.isEmpty() ? QString() : QStringLiteral("2"));
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
    }

    void cercaTakesTheRowChosenInThePicker_data()
    {
        QTest::addColumn<bool>("shop");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("expected");
        // In name order the first shop is 1, the first model 2 (CUSTOM); the row starts on shop 3 and model 3.
        QTest::newRow("a shop chosen") << true << "SpeedButton6" << 1;
        QTest::newRow("no shop chosen") << true << "SpeedButton7" << 3;
        QTest::newRow("a model chosen") << false << "SpeedButton6" << 2;
        QTest::newRow("no model chosen") << false << "SpeedButton7" << 3;
    }
    void cercaTakesTheRowChosenInThePicker()
    {
        QFETCH(bool, shop);
        QFETCH(QString, answer);
        QFETCH(int, expected);
        const QString id = shop ? QStringLiteral("Id_esercizio") : QStringLiteral("Id_ms");
        const auto answerWith = [&](QDialog &picker) {
            // The picker opens on the row's own choice.
            QCOMPARE((shop ? dm->Tabesercizio : dm->Tabms)->asInteger(id), 3);
            QVERIFY(button(picker, "SpeedButton6")->isVisible());
            picker.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->selectRow(0);
            button(picker, answer.toLatin1().constData())->click();
        };
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            ModalWindows::setNextHandler(answerWith);
            button(window, "SpeedButton1")->click();
            set("Id_esercizio", 3);
            set("Id_ms", 3);
            button(window, shop ? "SpeedButton6" : "SpeedButton10")->click();
            QVERIFY(!appState().SceltaFatta);
            QCOMPARE(dm->Tabmisurazioni->asInteger(id), expected);
            if (!shop)
                QCOMPARE(lineEdit(window, "DBText14")->text(), expected == 2 ? QStringLiteral("C-") : QStringLiteral("RC"));
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
    }

    void theKeyboardAloneEntersAnIntervention()
    {
        QStringList walked;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            const auto key = [&](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
            const auto enter = [&] {
                walked << QApplication::focusWidget()->objectName();
                key(Qt::Key_Return);
            };
            key(Qt::Key_F8);
            key(Qt::Key_B); // BAR L'AQUILA
            enter();
            key(Qt::Key_R); // ROSSI MARIO
            enter();
            key(Qt::Key_N); // NETTUNA of OLIVETTI
            enter();
            for (const char c : QByteArray("ol999999"))
                QTest::keyClick(QApplication::focusWidget(), c);
            enter();
            key(Qt::Key_3);
            enter();
            for (const char c : QByteArray("10052010"))
                QTest::keyClick(QApplication::focusWidget(), c);
            enter();
            QCOMPARE(lineEdit(window, "DBDateEdit2")->displayText(), QStringLiteral("10/05/2010"));
            enter();
            key(Qt::Key_0);
            shoot(window, QStringLiteral("misurazioni_nuovo"));
            enter();
            enter(); // "OK"
            QCOMPARE(page(window), int(TMisurazioniForm::ListPage));
            QCOMPARE(label(window, "Label1"), QStringLiteral("N° di righe :6"));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(walked, (QStringList{"DBLookupComboBox1", "ComboBox1", "DBLookupComboBox3", "DBEdit2", "RxDBComboBox1",
                                      "DBDateEdit1", "DBDateEdit2", "RxDBComboBox2", "Button1"}));
        QVERIFY(Messages::shown().isEmpty());
        // The rules filled what is not typed: quarter and year from the end date, the shop's name and VAT number.
        Table *stored = m_data->Tabmisurazioni;
        QVERIFY(stored->locate(QStringLiteral("Matricola_ms"), {QStringLiteral("OL999999")}));
        const QVariantMap expected{{"Id_misurazioni", 6}, {"Id_esercizio", 1}, {"Id_tecnico", 1}, {"Id_ms", 1},
                                   {"Tipo_intervento", "3"}, {"Esito", "0"}, {"Data_ini", "10/05/2010"}, {"Data_fine", "10/05/2010"},
                                   {"Trimestre", "2"}, {"ANNO", "2010"}, {"r_ditta", "BAR L'AQUILA"}, {"p_iva", "12345678903"},
                                   {"COMUNE", "L'AQUILA"}, {"PROVINCIA", "AQ"}, {"INDIRIZZO", "VIA ROMA 1"}, {"CAP", "67100"}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(stored->asString(it.key()), it.value().toString());
    }

    void cercaIlComuneOpensOnTheTypedNameAndPostalCode()
    {
        openWindow<TMisurazioniForm>(MisurazioniForm, [](TMisurazioniForm &window) {
            ModalWindows::setNextHandler([](QDialog &zoom) {
                QCOMPARE(appState().ChiamanteComuni, QStringLiteral("MISURAZIONI"));
                QCOMPARE(zoom.windowTitle(), QStringLiteral("ZOOM COMUNI E ZONE"));
                QCOMPARE(dm->Tabcomuni->asString(QStringLiteral("COMUNE")), QStringLiteral("ROMA"));
                QCOMPARE(dm->Tabzone->asString(QStringLiteral("CAP_zona")), QStringLiteral("00199"));
                button(zoom, "RxSpeedButton1")->click();
            });
            button(window, "SpeedButton1")->click();
            set("CAP", "00199");
            typeInto(lineEdit(window, "DBEdit3"), QStringLiteral("ro"));
            button(window, "SpeedButton16")->click();
            QCOMPARE(field("COMUNE"), QStringLiteral("ROMA"));
            QCOMPARE(field("PROVINCIA"), QStringLiteral("RM"));
            QCOMPARE(field("CAP"), QStringLiteral("00199"));
            QCOMPARE(lineEdit(window, "DBEdit3")->text(), QStringLiteral("ROMA"));
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
    }

    void trovaLooksForPartsAndFiltraForWholeFields_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("typed");  // into the text box, or the item chosen from the list shown
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("serial, TROVA") << int(BySerial) << "OL123456" << "LbSpeedButton1" << QStringList{"OL123456", "OL1234567"};
        QTest::newRow("serial, FILTRA") << int(BySerial) << "OL123456" << "LbSpeedButton3" << QStringList{"OL123456"};
        QTest::newRow("name in capitals, TROVA") << int(ByName) << "caff" << "LbSpeedButton1" << QStringList{};
        QTest::newRow("name, TROVA") << int(ByName) << "forl" << "LbSpeedButton1" << QStringList{"OL1234567", "RC7654321"};
        QTest::newRow("name with an apostrophe, FILTRA") << int(ByName) << "bar l'aquila" << "LbSpeedButton3"
                                                         << QStringList{"OL123456", "RC12345"};
        QTest::newRow("VAT number, TROVA") << int(ByVat) << "0123" << "LbSpeedButton1" << QStringList{"OL1234567", "RC7654321"};
        QTest::newRow("type, FILTRA") << int(ByType) << "4=RIPARAZIONE" << "LbSpeedButton3" << QStringList{"RC12345"};
        QTest::newRow("quarter, FILTRA") << int(ByQuarter) << "4" << "LbSpeedButton3" << QStringList{"RC12345", "RC7654321"};
        QTest::newRow("quarter, TROVA") << int(ByQuarter) << "2" << "LbSpeedButton1" << QStringList{"OL1234567"};
    }
    void trovaLooksForPartsAndFiltraForWholeFields()
    {
        QFETCH(int, item);
        QFETCH(QString, typed);
        QFETCH(QString, command);
        QFETCH(QStringList, shown);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            chooseSearch(window, SearchItemIndex(item));
            if (item == ByType)
                choose(combo(window, "ComboBox3"), typed);
            else if (item == ByQuarter)
                choose(combo(window, "ComboBox5"), typed);
            else
                typeInto(lineEdit(window, "Edit1"), typed);
            button(window, command.toLatin1().constData())->click();
            QCOMPARE(serials(), shown);
            QCOMPARE(label(window, "Label1"), QStringLiteral("N° di righe :%1").arg(shown.size()));
            // An empty text box leaves the selection; "tutti" ends it.
            lineEdit(window, "Edit1")->clear();
            button(window, "LbSpeedButton1")->click();
            button(window, "LbSpeedButton3")->click();
            QCOMPARE(serials(), shown);
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("X"));
            button(window, "LbSpeedButton2")->click();
            QVERIFY(lineEdit(window, "Edit1")->text().isEmpty());
            QCOMPARE(serials().size(), 5);
            QCOMPARE(label(window, "Label1"), QStringLiteral("N° di righe :5"));
            chooseSearch(window, BySerial);
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("OL"));
            button(window, "LbSpeedButton1")->click();
            QCOMPARE(serials().size(), 2);
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        // Closing ends the search in force: the other windows see every row.
        QVERIFY(!appState().RicercaInCorso);
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 5);
    }

    void eliminaAsksThenSays_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No keeps the row") << false;
        QTest::newRow("Yes deletes it") << true;
    }
    void eliminaAsksThenSays()
    {
        QFETCH(bool, yes);
        Messages::setNextAnswer(yes);
        openWindow<TMisurazioniForm>(MisurazioniForm, [](TMisurazioniForm &window) {
            // A delivered row can be deleted too.
            QVERIFY(locate(QStringLiteral("RC7654321")));
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        QList<ShownMessage> expected{
            {MessageKind::Confirmation, QStringLiteral("Sei sicuro di volere cancellare la verificazione selezionata?")}};
        if (yes)
            expected.append({MessageKind::Information, QStringLiteral("Verificazione eliminata correttamente.")});
        QCOMPARE(Messages::shown(), expected);
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), yes ? 4 : 5);
    }

    void eliminaWithNoRowShownHasNothingToDelete()
    {
        openWindow<TMisurazioniForm>(MisurazioniForm, [](TMisurazioniForm &window) {
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("NESSUNO"));
            button(window, "LbSpeedButton3")->click();
            QCOMPARE(label(window, "Label1"), QStringLiteral("N° di righe :0"));
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("Nulla da eliminare")});
    }

    void theNextVerificationDateIsStoredByItsOk_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("stored");
        QTest::newRow("OK") << "Button3" << true;
        QTest::newRow("annulla") << "Button4" << false;
    }
    void theNextVerificationDateIsStoredByItsOk()
    {
        QFETCH(QString, command);
        QFETCH(bool, stored);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(locate(QStringLiteral("OL1234567")));
            window.findChild<QAction *>(QStringLiteral("DataprossimaVerifica1"))->trigger();
            QWidget *panel = window.findChild<QWidget *>(QStringLiteral("Panel3"));
            QVERIFY(panel->isVisible());
            typeInto(lineEdit(window, "DBDateEdit5"), QStringLiteral("12052012"));
            QCOMPARE(dm->Tabmisurazioni->state(), TableState::Edit);
            button(window, command.toLatin1().constData())->click();
            QVERIFY(!panel->isVisible());
            QCOMPARE(dm->Tabmisurazioni->state(), TableState::Browse);
            button(window, "SpeedButton4")->click();
        });
        Table stored2010;
        stored2010.setDirectory(appState().yearDir());
        stored2010.setTableName(QStringLiteral("misurazioni2"));
        stored2010.open();
        QVERIFY(stored2010.locate(QStringLiteral("Id_misurazioni"), {2}));
        QCOMPARE(stored2010.value(QStringLiteral("data_nuova_verifica")), stored ? QVariant(QDate(2012, 5, 12)) : QVariant());
    }
};

QTEST_MAIN(tst_MisurazioniW)
#include "tst_misurazioni_w.moc"
