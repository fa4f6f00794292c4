// The intermediaries window: upper-case entry, the required fiscal code, and the commands that say
// nothing when the table fails them.

#include "ground/messages.h"
#include "data/tdm.h"
#include "guitest.h"
#include "quarterly/intermediariw.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QStackedWidget>

#include <memory>

using engine::TableState;

namespace {

const QString Required = QStringLiteral("il campo CF codice fiscale è obbligatorio. Ci va messo o il codice fiscale o la partita iva "
                                        "dell'intermediario");

const QList<QVariantMap> intermediaries{
    {{"Id", 1}, {"CF", "CAFNORD0123456AB"}, {"NCAF", "123"}, {"Nota", "CAF NORD"}},
    {{"Id", 2}, {"CF", "01234567897"}, {"NCAF", "00045"}},
};

} // namespace

class tst_Intermediari : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("INTERMEDIARIO"), intermediaries);
        m_data = std::make_unique<Tdm>();
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void aNewIntermediaryIsStoredInCapitals()
    {
        openWindow<TIntermediariForm>(IntermediariForm, [](TIntermediariForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Intermediari:"));
            QAbstractItemModel *grid = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->model();
            QCOMPARE((QStringList{grid->headerData(0, Qt::Horizontal).toString(), grid->headerData(1, Qt::Horizontal).toString(),
                                  grid->headerData(2, Qt::Horizontal).toString()}),
                     (QStringList{"Codice Fiscale o P.Iva:", "Numero Iscrizione albo  CAF",
                                  "Nota (campo descrittivo non obbligatorio):"}));
            shoot(window, QStringLiteral("intermediari"));

            button(window, "SpeedButton1")->click();
            QCOMPARE(page(window), int(TIntermediariForm::EditPage));
            QCOMPARE(window.focusWidget(), lineEdit(window, "DBEdit1"));
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("rssmra80a01h501u"));
            typeInto(lineEdit(window, "DBEdit2"), QStringLiteral("12a"));
            typeInto(lineEdit(window, "DBEdit3"), QStringLiteral("caf sud, sede di l'aquila"));
            shoot(window, QStringLiteral("intermediari_nuovo"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TIntermediariForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(m_data->Tabintermediario->locate(QStringLiteral("CF"), {QStringLiteral("RSSMRA80A01H501U")}));
        QCOMPARE(m_data->Tabintermediario->asInteger(QStringLiteral("Id")), 3);
        QCOMPARE(m_data->Tabintermediario->asString(QStringLiteral("NCAF")), QStringLiteral("12A"));
        QCOMPARE(m_data->Tabintermediario->asString(QStringLiteral("Nota")), QStringLiteral("CAF SUD, SEDE DI L'AQUILA"));
    }

    void tabWalksBothPagesInTheOrderShown()
    {
        QStringList walked;
        openWindow<TIntermediariForm>(IntermediariForm, [&](TIntermediariForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            walked << walkWithTab(5);
            button(window, "SpeedButton2")->click();
            walked << walkWithTab(6);
            button(window, "Button2")->click();
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(walked, (QStringList{"RxDBGrid1", "SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4",
                                      "DBEdit1", "DBEdit2", "DBEdit3", "Button1", "Button2", "DBEdit1"}));
    }

    void okWithoutAFiscalCodeStays_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<TableState>("state");
        QTest::newRow("Nuovo") << "SpeedButton1" << TableState::Insert;
        QTest::newRow("Modifica") << "SpeedButton2" << TableState::Edit;
    }
    void okWithoutAFiscalCodeStays()
    {
        QFETCH(QString, command);
        QFETCH(TableState, state);
        openWindow<TIntermediariForm>(IntermediariForm, [&](TIntermediariForm &window) {
            button(window, command.toLatin1().constData())->click();
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("   "));
            typeInto(lineEdit(window, "DBEdit2"), QStringLiteral("777"));
            button(window, "Button1")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{Required});
            QCOMPARE(page(window), int(TIntermediariForm::EditPage));
            QCOMPARE(dm->Tabintermediario->state(), state);
            QCOMPARE(window.focusWidget(), lineEdit(window, "DBEdit1"));
            // Nothing but "Ok" and "Annulla" leads out of the edit page.
            QVERIFY(!window.close());
            button(window, "Button2")->click();
            QCOMPARE(page(window), int(TIntermediariForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(Messages::shownTexts(),
                 (QStringList{Required, QStringLiteral("Terminare la fase di inserimento con i tasti di conferma")}));
        QCOMPARE(m_data->Tabintermediario->recordCount(), intermediaries.size());
        QVERIFY(!m_data->Tabintermediario->locate(QStringLiteral("NCAF"), {QStringLiteral("777")}));
    }

    void eliminaDeletesAtOnceAndAnEmptyListSaysNothing_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("two rows") << false;
        QTest::newRow("an empty list") << true;
    }
    void eliminaDeletesAtOnceAndAnEmptyListSaysNothing()
    {
        QFETCH(bool, empty);
        if (empty)
            m_data->Tabintermediario->emptyTable();
        openWindow<TIntermediariForm>(IntermediariForm, [](TIntermediariForm &window) {
            dm->Tabintermediario->last();
            button(window, "SpeedButton3")->click();
            QCOMPARE(page(window), int(TIntermediariForm::ListPage));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(m_data->Tabintermediario->recordCount(), empty ? 0 : 1);
        if (!empty)
            QVERIFY(!m_data->Tabintermediario->locate(QStringLiteral("Id"), {2}));
    }

    void modificaAndEliminaSwallowTheTablesErrors()
    {
        m_data->Tabintermediario->close();
        openWindow<TIntermediariForm>(IntermediariForm, [](TIntermediariForm &window) {
            button(window, "SpeedButton2")->click();
            QCOMPARE(page(window), int(TIntermediariForm::ListPage));
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }
};

QTEST_MAIN(tst_Intermediari)
#include "tst_intermediari.moc"
