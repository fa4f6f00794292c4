// The shops window: the checks of "OK" in their order, the search and the orders, deletion against
// the working year's register, the keyboard, the municipality zoom, the picker and the list print.

#include "ground/messages.h"
#include "ground/state.h"
#include "data/catalogue.h"
#include "data/tdm.h"
#include "guitest.h"
#include "registries/eserciziow.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <memory>

using engine::Table;
using engine::TableState;

namespace {

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString BadPiva = QStringLiteral("Errore Partita Iva");
const QString TakenPiva = QStringLiteral("Errore Partita Iva esistente. Ditta caricata");
const QString Question = QStringLiteral("Sei sicuro di volere cancellare l'esercizio selezionato?");

// In name order: ALFA SNC, BAR ROMA, L'ARTE SRL, ZETA SPA. Every VAT number is valid.
const QList<QVariantMap> shops{
    {{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROMA"}, {"Piva", "01234567897"}, {"Comune", "ROMA"},
     {"Provincia", "RM"}, {"Indirizzo", "VIA APPIA 1"}, {"Cap", "00100"}},
    {{"Id_esercizio", 2}, {"Ragione_sociale", "L'ARTE SRL"}, {"Piva", "12345678903"}, {"Comune", "L'AQUILA"},
     {"Provincia", "AQ"}, {"Indirizzo", "CORSO VITTORIO 2"}, {"Cap", "67100"}},
    {{"Id_esercizio", 3}, {"Ragione_sociale", "ALFA SNC"}, {"Piva", "01299999993"}, {"Comune", "MILANO"},
     {"Provincia", "MI"}, {"Indirizzo", "VIA DANTE 3"}, {"Cap", "20100"}},
    {{"Id_esercizio", 4}, {"Ragione_sociale", "ZETA SPA"}, {"Piva", "01200000014"}, {"Comune", "FORLÌ"},
     {"Provincia", "FC"}, {"Indirizzo", "VIA EMILIA 4"}, {"Cap", "47121"}},
};
// ROMA has two zones.
const QList<QVariantMap> municipalities{
    {{"COMUNE", "MILANO"}, {"PROVINCIAI", "MI"}, {"CODICEFISC", "F205"}, {"CAP", "20100"}},
    {{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
    {{"COMUNE", "L'AQUILA"}, {"PROVINCIAI", "AQ"}, {"CODICEFISC", "A345"}, {"CAP", "67100"}},
    {{"COMUNE", "FORLÌ"}, {"PROVINCIAI", "FC"}, {"CODICEFISC", "D704"}, {"CAP", "47121"}},
};
const QList<QVariantMap> zones{
    {{"Id_comune", 2}, {"Descrizione", "EUR"}, {"CAP_zona", "00144"}},
    {{"Id_comune", 2}, {"Descrizione", "PRATI"}, {"CAP_zona", "00195"}},
};

} // namespace

class tst_Esercizi : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static DBGrid *grid(QWidget &window) { return window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1")); }
    static QComboBox *searchField(QWidget &window) { return window.findChild<QComboBox *>(QStringLiteral("ComboBox1")); }
    static QString name() { return dm->Tabesercizio->asString(QStringLiteral("Ragione_sociale")); }
    static void clickTitle(QWidget &window, const QString &title)
    {
        QAbstractItemModel *model = grid(window)->model();
        for (int column = 0; column < model->columnCount(); ++column) {
            if (model->headerData(column, Qt::Horizontal).toString() == title) {
                grid(window)->horizontalHeader()->sectionClicked(column);
                return;
            }
        }
        qFatal("no column %s", qPrintable(title));
    }
    bool locateShop(const QString &shop) const
    {
        return m_data->Tabesercizio->locate(QStringLiteral("Ragione_sociale"), {shop});
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        TestBase::addDataRows(QStringLiteral("zone"), zones);
        // L'ARTE SRL has a verification in the working year, BAR ROMA one in the year before only.
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {{{"Id_misurazioni", 1}, {"Id_esercizio", 2}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"COMUNE", "L'AQUILA"}}});
        const QString before = QDir(m_base->path()).filePath(QStringLiteral("2020"));
        catalogue::createMissingTables(before, catalogue::yearTables());
        TestBase::addRows(before, QStringLiteral("misurazioni2"),
                          {{{"Id_misurazioni", 1}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}}});
        m_data = std::make_unique<Tdm>();
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void okChecksInTheirOrder_data()
    {
        QTest::addColumn<QString>("changed"); // the shop put in Edit by "Modifica/F9"; empty: "Nuovo/F8"
        QTest::addColumn<QVariantMap>("typed"); // by edit name, typed in that order
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focus"); // where a refusal leaves the focus; empty: stored
        QTest::addColumn<QVariantMap>("stored");

        const QVariantMap complete{{"DBEdit2", "nuovo bar"}, {"DBEdit4", "milano"}, {"DBEdit6", "via po 1"}};
        auto with = [](QVariantMap typed, const char *edit, const char *text) {
            typed.insert(QString::fromLatin1(edit), QString::fromUtf8(text));
            return typed;
        };
        QTest::newRow("a second shop with a VAT number in use")
            << "" << with(complete, "DBEdit3", "12345678903") << QStringList{TakenPiva} << "DBEdit3" << QVariantMap{};
        QTest::newRow("an address changed, the VAT number kept")
            << "BAR ROMA" << QVariantMap{{"DBEdit6", "via nuova 9"}} << QStringList{} << ""
            << QVariantMap{{"Indirizzo", "VIA NUOVA 9"}, {"Piva", "01234567897"}};
        QTest::newRow("a VAT number changed to another shop's")
            << "BAR ROMA" << QVariantMap{{"DBEdit3", "12345678903"}} << QStringList{TakenPiva} << "DBEdit3" << QVariantMap{};
        QTest::newRow("a VAT number changed to an unused one")
            << "BAR ROMA" << QVariantMap{{"DBEdit3", "01222222224"}} << QStringList{} << "" << QVariantMap{{"Piva", "01222222224"}};
        QTest::newRow("ten digits, before any other test")
            << "" << QVariantMap{{"DBEdit3", "0123456789"}} << QStringList{QStringLiteral("Errore P. Iva"), BadPiva} << "DBEdit3"
            << QVariantMap{};
        QTest::newRow("a VAT number in use, before completeness")
            << "" << QVariantMap{{"DBEdit3", "12345678903"}} << QStringList{TakenPiva} << "DBEdit3" << QVariantMap{};
        QTest::newRow("Ragione Sociale first of the empty fields")
            << "" << QVariantMap{{"DBEdit3", "01222222224"}} << QStringList{Incomplete} << "DBEdit2" << QVariantMap{};
        QTest::newRow("Indirizzo the only empty field")
            << "" << with(with(complete, "DBEdit3", "01222222224"), "DBEdit6", "") << QStringList{Incomplete} << "DBEdit6"
            << QVariantMap{};
        QTest::newRow("an unknown municipality leaves Provincia empty")
            << "" << with(with(complete, "DBEdit3", "01222222224"), "DBEdit4", "romaa")
            << QStringList{QStringLiteral("Errore Sul Comune inserito: ROMAA"), Incomplete} << "DBEdit5" << QVariantMap{};
        QTest::newRow("apostrophes stored unchanged")
            << ""
            << QVariantMap{{"DBEdit2", "l'osteria"}, {"DBEdit3", "01288888884"}, {"DBEdit4", "l'aquila"}, {"DBEdit6", "via dell'arco"}}
            << QStringList{} << ""
            << QVariantMap{{"Id_esercizio", 5}, {"Ragione_sociale", "L'OSTERIA"}, {"Comune", "L'AQUILA"}, {"Provincia", "AQ"},
                           {"Cap", "67100"}, {"Indirizzo", "VIA DELL'ARCO"}};
    }
    void okChecksInTheirOrder()
    {
        QFETCH(QString, changed);
        QFETCH(QVariantMap, typed);
        QFETCH(QStringList, messages);
        QFETCH(QString, focus);
        QFETCH(QVariantMap, stored);
        const bool refused = !focus.isEmpty();
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            if (!changed.isEmpty())
                QVERIFY(locateShop(changed));
            button(window, changed.isEmpty() ? "SpeedButton1" : "SpeedButton2")->click();
            QCOMPARE(page(window), int(TesercizioForm::EntryPage));
            QCOMPARE(window.focusWidget(), lineEdit(window, "DBEdit2"));
            for (auto it = typed.cbegin(); it != typed.cend(); ++it)
                typeInto(lineEdit(window, it.key().toLatin1().constData()), it.value().toString());
            button(window, "Button1")->click();
            QCOMPARE(Messages::shownTexts(), messages);
            QCOMPARE(page(window), int(refused ? TesercizioForm::EntryPage : TesercizioForm::ListPage));
            QCOMPARE(dm->Tabesercizio->isEditing(), refused);
            if (refused) {
                QCOMPARE(window.focusWidget()->objectName(), focus);
                button(window, "Button2")->click();
                QCOMPARE(page(window), int(TesercizioForm::ListPage));
            }
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(m_data->Tabesercizio->recordCount(), shops.size() + (!refused && changed.isEmpty() ? 1 : 0));
        if (!refused) {
            QVERIFY(m_data->Tabesercizio->locate(QStringLiteral("Ragione_sociale"),
                                                 {stored.value(QStringLiteral("Ragione_sociale"), changed)}));
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                QCOMPARE(m_data->Tabesercizio->asString(it.key()), it.value().toString());
        }
    }

    void searchAndOrders_data()
    {
        QTest::addColumn<QString>("title");   // clicked first; empty: none
        QTest::addColumn<QString>("field");   // typed into the combo after the click; empty: as it is
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("trova");      // then back on the last row and "Trova"
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("reached"); // the grid starts on the last row: ZETA SPA in name order

        QTest::newRow("PIVA in name order") << "" << "PIVA" << "012" << false << "rs_index" << "ALFA SNC";
        QTest::newRow("the P.iva title") << "P.iva" << "" << "012" << false << "piva_index" << "ZETA SPA";
        QTest::newRow("the Cap title leaves the order") << "Cap" << "PIVA" << "012" << false << "rs_index" << "ALFA SNC";
        QTest::newRow("the Comune title keeps the combo") << "Comune" << "" << "A" << false << "comune_index" << "ALFA SNC";
        QTest::newRow("a name with an apostrophe") << "" << "" << "l'a" << false << "rs_index" << "L'ARTE SRL";
        QTest::newRow("no match") << "" << "" << "Q" << false << "rs_index" << "ZETA SPA";
        QTest::newRow("an unknown field") << "" << "NESSUNO" << "A" << false << "rs_index" << "ZETA SPA";
        QTest::newRow("Trova, the whole name") << "" << "" << "L'ARTE SRL" << true << "rs_index" << "L'ARTE SRL";
        QTest::newRow("Trova, part of the name") << "" << "" << "L'ARTE" << true << "rs_index" << "ZETA SPA";
    }
    void searchAndOrders()
    {
        QFETCH(QString, title);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, trova);
        QFETCH(QString, index);
        QFETCH(QString, reached);
        m_data->Tabesercizio->setIndexName(QStringLiteral("piva_index"));
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            // Every showing starts in name order, searching by name.
            QCOMPARE(dm->Tabesercizio->indexName(), QStringLiteral("rs_index"));
            QCOMPARE(searchField(window)->currentText(), QStringLiteral("Ragione_Sociale"));
            if (!title.isEmpty())
                clickTitle(window, title);
            if (title == QLatin1String("P.iva"))
                QCOMPARE(searchField(window)->currentText(), QStringLiteral("PIVA"));
            if (!field.isEmpty())
                searchField(window)->setCurrentText(field);
            dm->Tabesercizio->last();
            typeInto(lineEdit(window, "Edit1"), typed);
            if (trova) {
                dm->Tabesercizio->last();
                button(window, "SpeedButton5")->click();
            }
            QCOMPARE(dm->Tabesercizio->indexName(), index);
            QCOMPARE(name(), reached);
            QCOMPARE(grid(window)->currentIndex().row(), dm->Tabesercizio->recNo() - 1);
            if (QTest::currentDataTag() == QByteArray("a name with an apostrophe"))
                shoot(window, QStringLiteral("esercizi"));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void theListPrintsEveryShopInTheOrderShown_data()
    {
        QTest::addColumn<QString>("title"); // clicked before "Stampa "; empty: none
        QTest::addColumn<QList<int>>("order"); // the shops, by their place in the fixture
        QTest::newRow("name order") << "" << QList<int>{2, 0, 1, 3};
        QTest::newRow("VAT number order") << "P.iva" << QList<int>{3, 0, 2, 1};
    }
    void theListPrintsEveryShopInTheOrderShown()
    {
        QFETCH(QString, title);
        QFETCH(QList<int>, order);
        QTemporaryDir out;
        QList<QStringList> pages;
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            if (!title.isEmpty())
                clickTitle(window, title);
            QVERIFY(locateShop(QStringLiteral("BAR ROMA")));
            pages = printThroughPreview(button(window, "SpeedButton8"), out.filePath(QStringLiteral("esercizi.pdf")),
                                        QStringLiteral("esercizi-") + (title.isEmpty() ? QStringLiteral("nome") : QStringLiteral("piva")));
            QCOMPARE(name(), QStringLiteral("BAR ROMA"));
            button(window, "SpeedButton4")->click();
        });
        QStringList expected{QStringLiteral("Stampa elenco esercizi"), QStringLiteral("Dati Esercizio")};
        for (int shop : order) {
            const QVariantMap &row = shops[shop];
            expected << row["Ragione_sociale"].toString() << row["Piva"].toString()
                     << row["Comune"].toString() + row["Indirizzo"].toString();
        }
        expected << QStringLiteral("Pagina 1");
        QCOMPARE(pages, QList<QStringList>{expected});
    }

    void deletingLooksAtTheWorkingYearOnly_data()
    {
        QTest::addColumn<QString>("shop");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("filtered"); // the register left a filter hiding every verification
        QTest::addColumn<QList<ShownMessage>>("messages");
        const ShownMessage asked{MessageKind::Confirmation, Question};
        const ShownMessage impossible{MessageKind::Warning,
                                      QStringLiteral("Eliminazione impossibile. Eliminare prima le misurazioni per la ditta selezionata.")};
        const QList<ShownMessage> refused{asked, impossible};
        QTest::newRow("verifications in another year only")
            << "BAR ROMA" << true << false
            << QList<ShownMessage>{asked, {MessageKind::Plain, QStringLiteral("Esercizio eliminato correttamente.")}};
        QTest::newRow("a verification in the working year") << "L'ARTE SRL" << true << false << refused;
        QTest::newRow("one the register's filter hides") << "L'ARTE SRL" << true << true << refused;
        QTest::newRow("No") << "BAR ROMA" << false << false << QList<ShownMessage>{asked};
    }
    void deletingLooksAtTheWorkingYearOnly()
    {
        QFETCH(QString, shop);
        QFETCH(bool, yes);
        QFETCH(bool, filtered);
        QFETCH(QList<ShownMessage>, messages);
        if (filtered) {
            m_data->Tabmisurazioni->setFilterText(QStringLiteral("[Id_esercizio]=99"));
            m_data->Tabmisurazioni->setFiltered(true);
        }
        Messages::setNextAnswer(yes);
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            QVERIFY(locateShop(shop));
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shown(), messages);
        const bool deleted = messages.size() == 2 && messages.last().kind == MessageKind::Plain;
        QCOMPARE(locateShop(shop), !deleted);
        QCOMPARE(m_data->Tabesercizio->recordCount(), shops.size() - (deleted ? 1 : 0));
    }

    void anEmptyListAndTheCloseGuard()
    {
        m_data->Tabesercizio->emptyTable();
        openWindow<TesercizioForm>(esercizioForm, [](TesercizioForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton3")->click();
            // "Modifica/F9" on an empty list starts a new shop.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
            QCOMPARE(dm->Tabesercizio->state(), TableState::Insert);
            QVERIFY(!window.close());
            button(window, "Button2")->click();
            QVERIFY(!window.close());
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), (QStringList{QStringLiteral("Nulla da eliminare"),
                                                      QStringLiteral("Terminare la fase di inserimento con i tasti di conferma"),
                                                      QStringLiteral("Per uscire dalla finestra usare i tasti opportuni")}));
        QVERIFY(m_data->Tabesercizio->isEmpty());
    }

    void aNewShopFromTheKeyboard()
    {
        openWindow<TesercizioForm>(esercizioForm, [](TesercizioForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCOMPARE(QApplication::focusWidget(), grid(window));
            QTest::keyClick(grid(window), Qt::Key_F8);
            QCOMPARE(page(window), int(TesercizioForm::EntryPage));
            QCOMPARE(dm->Tabesercizio->state(), TableState::Insert);
            // On the entry page the keys stand for nothing.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
            QCOMPARE(dm->Tabesercizio->state(), TableState::Insert);

            // Enter walks the fields, past "Cerca il comune", to "OK", and presses it there.
            QStringList walked;
            for (const char *text : {"forno d'oro", "01288888884", "forlì", "", "via roma 1", ""}) {
                walked << QApplication::focusWidget()->objectName();
                for (const QChar c : QString::fromUtf8(text)) // Qt Test's key clicks take ASCII only
                    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            walked << QApplication::focusWidget()->objectName();
            QCOMPARE(walked, (QStringList{"DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "Button1"}));
            QCOMPARE(lineEdit(window, "DBEdit5")->text(), QStringLiteral("FC"));
            shoot(window, QStringLiteral("esercizi_nuovo"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(page(window), int(TesercizioForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(locateShop(QStringLiteral("FORNO D'ORO")));
        QCOMPARE(m_data->Tabesercizio->asString(QStringLiteral("Comune")), QStringLiteral("FORLÌ"));
        QCOMPARE(m_data->Tabesercizio->asString(QStringLiteral("Cap")), QStringLiteral("47121"));
    }

    void tabWalksBothPagesInTheOrderShown()
    {
        QStringList walked;
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            walked << walkWithTab(10);
            button(window, "SpeedButton2")->click();
            walked << walkWithTab(10);
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        // "Seleziona" and "Annulla" are the picker's.
        QCOMPARE(walked, (QStringList{"RxDBGrid1", "SpeedButton1", "SpeedButton2", "SpeedButton3", "ComboBox1", "Edit1",
                                      "SpeedButton5", "SpeedButton8", "SpeedButton4", "RxDBGrid1",
                                      "DBEdit2", "DBEdit3", "DBEdit4", "SpeedButton9", "DBEdit5", "DBEdit6", "DBEdit7",
                                      "Button1", "Button2", "DBEdit2"}));
    }

    void theMunicipalityZoomFillsTheAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("zone"); // chosen in the zone grid, -1 none
        QTest::addColumn<QStringList>("written"); // Comune, Provincia, Cap
        QTest::newRow("the second zone of ROMA") << "rom" << 1 << QStringList{"ROMA", "RM", "00195"};
        QTest::newRow("L'AQUILA, no zones") << "l'aq" << -1 << QStringList{"L'AQUILA", "AQ", "67100"};
        QTest::newRow("FORLÌ") << "forl" << -1 << QStringList{"FORLÌ", "FC", "47121"};
    }
    void theMunicipalityZoomFillsTheAddress()
    {
        QFETCH(QString, typed);
        QFETCH(int, zone);
        QFETCH(QStringList, written);
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton1")->click();
            // The partial name typed is the search key, never the field's value: no message for it.
            typeInto(lineEdit(window, "DBEdit4"), typed);
            ModalWindows::setNextHandler([&](QDialog &zoom) {
                // The zoom takes the activation, as it does on a desktop; the offscreen platform leaves it.
                QApplication::setActiveWindow(&zoom);
                QCOMPARE(QApplication::activeWindow(), &zoom);
                QCOMPARE(appState().ChiamanteComuni, QStringLiteral("ESERCIZIO"));
                QCOMPARE(dm->Tabcomuni->asString(QStringLiteral("COMUNE")), written[0]);
                if (zone >= 0)
                    zoom.findChild<DBGrid *>(QStringLiteral("RxDBGrid2"))->selectRow(zone);
                button(zoom, "RxSpeedButton1")->click();
            });
            button(window, "SpeedButton9")->click();
            QCOMPARE((QStringList{lineEdit(window, "DBEdit4")->text(), lineEdit(window, "DBEdit5")->text(),
                                  lineEdit(window, "DBEdit7")->text()}),
                     written);
            QCOMPARE(dm->Tabesercizio->asString(QStringLiteral("Cap")), written[2]);
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void pickerAnswersThroughSceltaFatta_data()
    {
        QTest::addColumn<bool>("picking");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("Seleziona") << true << "SpeedButton6" << true;
        QTest::newRow("Annulla") << true << "SpeedButton7" << false;
        QTest::newRow("not a picker") << false << "SpeedButton4" << false;
    }
    void pickerAnswersThroughSceltaFatta()
    {
        QFETCH(bool, picking);
        QFETCH(QString, command);
        QFETCH(bool, chosen);
        appState().SceltaFatta = picking;
        openWindow<TesercizioForm>(esercizioForm, [&](TesercizioForm &window) {
            QVERIFY(!appState().SceltaFatta);
            QCOMPARE(button(window, "SpeedButton4")->isVisible(), !picking);
            QCOMPARE(button(window, "SpeedButton6")->isVisible(), picking);
            QCOMPARE(button(window, "SpeedButton7")->isVisible(), picking);
            grid(window)->selectRow(2);
            button(window, command.toLatin1().constData())->click();
        });
        QCOMPARE(appState().SceltaFatta, chosen);
        QCOMPARE(m_data->Tabesercizio->asInteger(QStringLiteral("Id_esercizio")), 2);
        QVERIFY(Messages::shown().isEmpty());
    }
};

QTEST_MAIN(tst_Esercizi)
#include "tst_esercizi.moc"
