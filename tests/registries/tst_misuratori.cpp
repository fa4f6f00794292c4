// The meter models window: entry and its checks, purple rows, deletion, the picker and the list print.

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "guitest.h"
#include "registries/misuratoriw.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QApplication>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <memory>

using engine::Table;

namespace {

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString Warning1 = QStringLiteral("Attenzione. Eliminando un misuratore , rischiate di perdere dei dati nella finestra delle verifiche.");
const QString Warning2 = QStringLiteral("Attenzione. Se non siete sicuri contattate la vesksoft.");
const QString Question = QStringLiteral("Attenzione. Continuare nella eliminazione?");

const QList<QVariantMap> models{
    {{"Id_ms", 1}, {"Marchio_ms", "OLIVETTI"}, {"Denominazione_ms", "NETTUNA 300"}, {"Logotipo_ms", "AB"}},
    {{"Id_ms", 2}, {"Marchio_ms", "CUSTOM"}, {"Denominazione_ms", "KUBE"}, {"Logotipo_ms", "C1"}},
    {{"Id_ms", 3}, {"Marchio_ms", "RCH"}, {"Denominazione_ms", "GLOBE"}, {"Logotipo_ms", "r2"}},
    {{"Id_ms", 4}, {"Marchio_ms", "DITRON"}, {"Denominazione_ms", "ZIP"}, {"Logotipo_ms", ""}},
};

const PickerCommands Picker{"SpeedButton4", "SpeedButton6", "SpeedButton7"};

} // namespace

class tst_Misuratori : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static bool purple(QWidget &window, const QString &brand)
    {
        QAbstractItemModel *model = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data().toString() == brand)
                return model->index(row, 2).data(Qt::BackgroundRole).value<QColor>() == QColor(0x80, 0x00, 0x80)
                    && model->index(row, 0).data(Qt::BackgroundRole) == model->index(row, 2).data(Qt::BackgroundRole);
        }
        qFatal("no row %s", qPrintable(brand));
    }
    static QString brand() { return dm->Tabms->asString(QStringLiteral("Marchio_ms")); }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("ms"), models);
        m_data = std::make_unique<Tdm>();
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void okChecksTheFieldsAndMalformedLogotypesArePurple_data()
    {
        QTest::addColumn<QString>("logotype");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("drawnPurple");
        QTest::newRow("one character") << "A" << false << false;
        QTest::newRow("letter and digit") << "A1" << true << false;
        QTest::newRow("a sign") << "A-" << true << true;
    }
    void okChecksTheFieldsAndMalformedLogotypesArePurple()
    {
        QFETCH(QString, logotype);
        QFETCH(bool, stored);
        QFETCH(bool, drawnPurple);
        openWindow<TmisuratoriForm>(misuratoriForm, [&](TmisuratoriForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Elenco misuratori"));
            // The rows already stored: lower-case letters and an empty logotype are malformed.
            QVERIFY(!purple(window, QStringLiteral("OLIVETTI")));
            QVERIFY(purple(window, QStringLiteral("RCH")));
            QVERIFY(purple(window, QStringLiteral("DITRON")));
            if (!stored)
                shoot(window, QStringLiteral("misuratori"));

            button(window, "SpeedButton1")->click();
            QCOMPARE(page(window), int(TmisuratoriForm::EntryPage));
            QCOMPARE(window.focusWidget(), lineEdit(window, "DBEdit1"));
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("epson"));
            typeInto(lineEdit(window, "DBEdit3"), logotype);
            button(window, "Button1")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{Incomplete});
            typeInto(lineEdit(window, "DBEdit2"), QStringLiteral("fp-81"));
            if (!stored)
                shoot(window, QStringLiteral("misuratori_nuovo"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(stored ? TmisuratoriForm::ListPage : TmisuratoriForm::EntryPage));
            QCOMPARE(dm->Tabms->isEditing(), !stored);
            if (stored)
                QCOMPARE(purple(window, QStringLiteral("EPSON")), drawnPurple);
            else
                button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts().size(), stored ? 1 : 2);
        QCOMPARE(m_data->Tabms->locate(QStringLiteral("Marchio_ms"), {QStringLiteral("EPSON")}), stored);
        if (stored) {
            QCOMPARE(m_data->Tabms->asString(QStringLiteral("Denominazione_ms")), QStringLiteral("FP-81"));
            QCOMPARE(m_data->Tabms->asInteger(QStringLiteral("Id_ms")), 5);
        }
        QCOMPARE(m_data->Tabms->recordCount(), stored ? 5 : 4);
    }

    void aPostTheEngineRefusesKeepsTheModelBeingEntered()
    {
        openWindow<TmisuratoriForm>(misuratoriForm, [](TmisuratoriForm &window) {
            button(window, "SpeedButton1")->click();
            // Another cursor stores a row under the id the new model was given.
            TestBase::addDataRows(QStringLiteral("ms"), {{{"Id_ms", 5}, {"Marchio_ms", "ALTRO"}}});
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("EPSON"));
            typeInto(lineEdit(window, "DBEdit2"), QStringLiteral("FP-81"));
            typeInto(lineEdit(window, "DBEdit3"), QStringLiteral("EP"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TmisuratoriForm::EntryPage));
            QCOMPARE(dm->Tabms->state(), engine::TableState::Insert);
            QCOMPARE(lineEdit(window, "DBEdit1")->text(), QStringLiteral("EPSON"));
            button(window, "Button2")->click();
            QCOMPARE(page(window), int(TmisuratoriForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{
                                        {MessageKind::Error, QStringLiteral("Impossibile registrare il record nella tabella ms: chiave duplicata")}}));
        QVERIFY(!m_data->Tabms->locate(QStringLiteral("Marchio_ms"), {QStringLiteral("EPSON")}));
    }

    void tabWalksTheListPageInTheOrderShown()
    {
        QStringList walked;
        openWindow<TmisuratoriForm>(misuratoriForm, [&](TmisuratoriForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            for (int step = 0; step < 7; ++step) {
                walked << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            button(window, "SpeedButton4")->click();
        });
        // "Seleziona" and "Annulla" are the picker's.
        QCOMPARE(walked, (QStringList{"RxDBGrid1", "SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton8", "SpeedButton4",
                                      "RxDBGrid1"}));
    }

    void deletingWarnsTwiceThenAsks_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No keeps the model") << false;
        QTest::newRow("Yes deletes it") << true;
    }
    void deletingWarnsTwiceThenAsks()
    {
        QFETCH(bool, yes);
        Messages::setNextAnswer(yes);
        openWindow<TmisuratoriForm>(misuratoriForm, [](TmisuratoriForm &window) {
            dm->Tabms->locate(QStringLiteral("Marchio_ms"), {QStringLiteral("RCH")});
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        const QList<ShownMessage> expected{{MessageKind::Warning, Warning1}, {MessageKind::Warning, Warning2},
                                           {MessageKind::Confirmation, Question}};
        QCOMPARE(Messages::shown(), expected);
        QCOMPARE(m_data->Tabms->locate(QStringLiteral("Marchio_ms"), {QStringLiteral("RCH")}), !yes);
        QCOMPARE(m_data->Tabms->recordCount(), yes ? 3 : 4);
    }

    void emptyTableNothingToDeleteAndModificaStartsANewModel()
    {
        m_data->Tabms->emptyTable();
        openWindow<TmisuratoriForm>(misuratoriForm, [](TmisuratoriForm &window) {
            button(window, "SpeedButton3")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("nulla da eliminare")});
            button(window, "SpeedButton2")->click();
            QCOMPARE(dm->Tabms->state(), engine::TableState::Insert);
            // The frame cannot close the window, on either page.
            QVERIFY(!window.close());
            button(window, "Button2")->click();
            QVERIFY(!window.close());
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(), (QStringList{QStringLiteral("nulla da eliminare"),
                                                      QStringLiteral("Terminare la fase di inserimento con i tasti di conferma"),
                                                      QStringLiteral("Per uscire dalla finestra usare i tasti opportuni")}));
        QVERIFY(m_data->Tabms->isEmpty());
    }

    void theListPrintsEveryModelInIndexOrder_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QStringList>("lines");
        // An empty logotype leaves an empty line, which the text of the PDF does not show.
        QTest::newRow("four models") << false << QStringList{"Stampa elenco misuratori", "CUSTOM", "KUBE", "C1", "DITRON", "ZIP",
                                                             "OLIVETTI", "NETTUNA 300", "AB", "RCH", "GLOBE", "r2", "Pagina 1"};
        QTest::newRow("none") << true << QStringList{"Stampa elenco misuratori", "Pagina 1"};
    }
    void theListPrintsEveryModelInIndexOrder()
    {
        QFETCH(bool, empty);
        QFETCH(QStringList, lines);
        if (empty)
            m_data->Tabms->emptyTable();
        QTemporaryDir out;
        QList<QStringList> pages;
        openWindow<TmisuratoriForm>(misuratoriForm, [&](TmisuratoriForm &window) {
            QVERIFY(button(window, "SpeedButton8")->isEnabled());
            pages = printThroughPreview(button(window, "SpeedButton8"), out.filePath(QStringLiteral("misuratori.pdf")),
                                        QStringLiteral("misuratori"));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(pages, QList<QStringList>{lines});
    }

    void pickerAnswersThroughSceltaFatta_data() { addPickerAnswerRows(Picker); }
    void pickerAnswersThroughSceltaFatta()
    {
        QFETCH(bool, picking);
        QFETCH(QString, answer);
        QFETCH(bool, chosen);
        QCOMPARE(answerAsPicker(misuratoriForm, picking, Picker, "RxDBGrid1", 2, answer), chosen);
        // Index order: CUSTOM, DITRON, OLIVETTI, RCH.
        QCOMPARE(m_data->Tabms->asInteger(QStringLiteral("Id_ms")), 1);
        QCOMPARE(brand(), QStringLiteral("OLIVETTI"));
        QVERIFY(Messages::shown().isEmpty());
    }
};

QTEST_MAIN(tst_Misuratori)
#include "tst_misuratori.moc"
