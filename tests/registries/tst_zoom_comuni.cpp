// The municipality zoom window under each caller tag, its zones, search and order, and the choice
// between two municipalities of the same name.

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "guitest.h"
#include "registries/scegli_comunew.h"
#include "registries/zoom_comuniw.h"
#include "testbase.h"
#include "ui/dbgrid.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QStackedWidget>

#include <memory>

using engine::Table;

namespace {

// Stored in this order, so their ids are 1 to 5; ROMA (2) has two zones, MILANO (1) one.
const QList<QVariantMap> municipalities{
    {{"COMUNE", "MILANO"}, {"PROVINCIAI", "MI"}, {"CODICEFISC", "F205"}, {"CAP", "20100"}},
    {{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
    {{"COMUNE", "ROMANO CANAVESE"}, {"PROVINCIAI", "TO"}, {"CODICEFISC", "H511"}, {"CAP", "10090"}},
    {{"COMUNE", "NAPOLI"}, {"PROVINCIAI", "NA"}, {"CODICEFISC", "F839"}, {"CAP", "80100"}},
    {{"COMUNE", "AOSTA"}, {"PROVINCIAI", "AO"}, {"CODICEFISC", "A326"}, {"CAP", "11100"}},
};
const QList<QVariantMap> zones{
    {{"Id_comune", 2}, {"Descrizione", "EUR"}, {"CAP_zona", "00144"}},
    {{"Id_comune", 2}, {"Descrizione", "PRATI"}, {"CAP_zona", "00195"}},
    {{"Id_comune", 1}, {"Descrizione", "CENTRO"}, {"CAP_zona", "20121"}},
};

} // namespace

class tst_ZoomComuni : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static DBGrid *grid(QWidget &window, const char *name) { return window.findChild<DBGrid *>(QString::fromLatin1(name)); }
    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static QString current() { return dm->Tabcomuni->asString(QStringLiteral("COMUNE")); }

    Table *record(const QString &name) const
    {
        if (name == QLatin1String("tecnici"))
            return m_data->Tabtecnico;
        if (name == QLatin1String("soggetto"))
            return m_data->Tabsoggetto;
        if (name == QLatin1String("esercizio"))
            return m_data->Tabesercizio;
        return m_data->Tabmisurazioni;
    }

    static void openZoom(const QString &tag, std::function<void(TZOOM_comuniForm &)> handler)
    {
        appState().ChiamanteComuni = tag;
        openWindow(ZOOM_comuniForm, std::move(handler));
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        TestBase::addDataRows(QStringLiteral("zone"), zones);
        m_data = std::make_unique<Tdm>();
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void callerTagDecidesCaptionCommandsAndWhatIsWritten_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("municipality");
        QTest::addColumn<int>("zone"); // row chosen in the zone grid, -1 none
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown"); // S Seleziona, Z zones and "Aggiungi zona", E the deletions
        QTest::addColumn<QString>("table");
        QTest::addColumn<QVariantMap>("written");

        const QVariantMap birth{{"Comune_nascita", "NAPOLI"}, {"Prov_nascita", "NA"}};
        for (const char *tag : {"TECNICO1", "TECNICO2", "TECNICO3"})
            QTest::newRow(tag) << tag << "NAPOLI" << -1 << "ZOOM COMUNI " << "S" << "tecnici" << birth;
        QTest::newRow("SOGGETTO1") << "SOGGETTO1" << "MILANO" << -1 << "ZOOM COMUNI " << "S" << "soggetto"
                                   << QVariantMap{{"PG_comune_fiscale", "MILANO"}, {"PG_prov_fiscale", "MI"}};
        QTest::newRow("SOGGETTO2") << "SOGGETTO2" << "AOSTA" << -1 << "ZOOM COMUNI " << "S" << "soggetto"
                                   << QVariantMap{{"Pf_comune_nascita", "AOSTA"}, {"Pf_prov_nascita", "AO"}};
        QTest::newRow("ESERCIZIO, second zone") << "ESERCIZIO" << "ROMA" << 1 << "ZOOM COMUNI e ZONE" << "SZ" << "esercizio"
                                                << QVariantMap{{"Comune", "ROMA"}, {"Provincia", "RM"}, {"Cap", "00195"}};
        QTest::newRow("ESERCIZIO, no zones") << "ESERCIZIO" << "NAPOLI" << -1 << "ZOOM COMUNI e ZONE" << "SZ" << "esercizio"
                                             << QVariantMap{{"Comune", "NAPOLI"}, {"Provincia", "NA"}, {"Cap", "80100"}};
        QTest::newRow("MISURAZIONI, second zone") << "MISURAZIONI" << "ROMA" << 1 << "ZOOM COMUNI E ZONE" << "SZ" << "misurazioni"
                                                  << QVariantMap{{"COMUNE", "ROMA"}, {"PROVINCIA", "RM"}, {"CAP", "00195"}};
        QTest::newRow("MISURAZIONI, no zones") << "MISURAZIONI" << "AOSTA" << -1 << "ZOOM COMUNI E ZONE" << "SZ" << "misurazioni"
                                               << QVariantMap{{"COMUNE", "AOSTA"}, {"PROVINCIA", "AO"}, {"CAP", "11100"}};
        QTest::newRow("MAINFORM, double click") << "MAINFORM" << "ROMA" << -1 << "ELENCO COMUNI e ZONE" << "ZE" << "misurazioni"
                                                << QVariantMap{{"COMUNE", ""}, {"CAP", ""}};
        QTest::newRow("unknown tag") << "ALTRO" << "ROMA" << -1 << "ZOOM comuni:" << "SZE" << "misurazioni"
                                     << QVariantMap{{"COMUNE", ""}, {"CAP", ""}};
    }
    void callerTagDecidesCaptionCommandsAndWhatIsWritten()
    {
        QFETCH(QString, tag);
        QFETCH(QString, municipality);
        QFETCH(int, zone);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        QFETCH(QString, table);
        QFETCH(QVariantMap, written);

        // The caller's record is being entered, and the opener positioned the list on what was typed.
        Table *target = record(table);
        target->append();
        QVERIFY(m_data->Tabcomuni->locate(QStringLiteral("COMUNE"), {municipality.left(3)}, engine::LocateOption::PartialKey));
        Messages::clear();

        openZoom(tag, [&](TZOOM_comuniForm &window) {
            QCOMPARE(window.windowTitle(), caption);
            QCOMPARE(page(window), int(TZOOM_comuniForm::MainPage));
            QCOMPARE(button(window, "RxSpeedButton1")->isVisible(), shown.contains(QLatin1Char('S')));
            QCOMPARE(grid(window, "RxDBGrid2")->isVisible(), shown.contains(QLatin1Char('Z')));
            QCOMPARE(button(window, "SpeedButton4")->isVisible(), shown.contains(QLatin1Char('Z')));
            QCOMPARE(button(window, "SpeedButton5")->isVisible(), shown.contains(QLatin1Char('E')));
            QCOMPARE(button(window, "SpeedButton6")->isVisible(), shown.contains(QLatin1Char('E')));
            for (const char *always : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "RxSpeedButton2"})
                QVERIFY(button(window, always)->isVisible());
            QVERIFY(lineEdit(window, "Edit1")->isVisible());
            QCOMPARE(current(), municipality);
            if (tag == QLatin1String("ESERCIZIO"))
                shoot(window, QStringLiteral("zoom_comuni"));

            if (zone >= 0)
                grid(window, "RxDBGrid2")->selectRow(zone);
            if (shown.contains(QLatin1Char('S'))) {
                button(window, "RxSpeedButton1")->click();
            } else {
                DBGrid *list = grid(window, "RxDBGrid1");
                // A double click begins with a click, as the user's does.
                const QPoint cell = list->visualRect(list->currentIndex()).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
            }
        });
        QVERIFY(!ZOOM_comuniForm);
        for (auto it = written.cbegin(); it != written.cend(); ++it)
            QCOMPARE(target->asString(it.key()), it.value().toString());
        QCOMPARE(appState().ChiamanteComuni, tag);
        QVERIFY(Messages::shown().isEmpty());
    }

    void chiudiFromTheVerificationEmptiesAnUnknownMunicipality_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("kept");
        QTest::newRow("known") << "ROMA" << true;
        QTest::newRow("unknown") << "ROMX" << false;
        QTest::newRow("other capitals") << "Roma" << false;
    }
    void chiudiFromTheVerificationEmptiesAnUnknownMunicipality()
    {
        QFETCH(QString, typed);
        QFETCH(bool, kept);
        Table *verification = m_data->Tabmisurazioni;
        verification->append();
        verification->setValue(QStringLiteral("COMUNE"), typed);
        verification->setValue(QStringLiteral("CAP"), QStringLiteral("00100"));
        verification->setValue(QStringLiteral("PROVINCIA"), QStringLiteral("RM"));
        Messages::clear();

        openZoom(QStringLiteral("MISURAZIONI"), [](TZOOM_comuniForm &window) { button(window, "RxSpeedButton2")->click(); });
        QCOMPARE(verification->asString(QStringLiteral("COMUNE")), kept ? typed : QString());
        QCOMPARE(verification->asString(QStringLiteral("CAP")), kept ? QStringLiteral("00100") : QString());
        QCOMPARE(verification->asString(QStringLiteral("PROVINCIA")), kept ? QStringLiteral("RM") : QString());

        // Under another tag "Chiudi" only closes.
        verification->setValue(QStringLiteral("COMUNE"), QStringLiteral("ROMX"));
        openZoom(QStringLiteral("ESERCIZIO"), [](TZOOM_comuniForm &window) { button(window, "RxSpeedButton2")->click(); });
        QCOMPARE(verification->asString(QStringLiteral("COMUNE")), QStringLiteral("ROMX"));
    }

    void searchAndTitlesChooseTheOrder()
    {
        openZoom(QStringLiteral("MAINFORM"), [](TZOOM_comuniForm &window) {
            DBGrid *list = grid(window, "RxDBGrid1");
            QCOMPARE(window.findChild<QRadioButton *>(QString(), Qt::FindChildrenRecursively)->text(), QStringLiteral("Comune"));
            QVERIFY(window.findChild<QRadioButton *>()->isChecked());

            list->horizontalHeader()->sectionClicked(1); // PROVINCIAI
            QCOMPARE(dm->Tabcomuni->indexName(), QStringLiteral("provincia_Index"));
            QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("AOSTA"));
            QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("MILANO"));

            // Typing ROM orders by name and stands on the first name that begins so.
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("rom"));
            QCOMPARE(lineEdit(window, "Edit1")->text(), QStringLiteral("ROM"));
            QCOMPARE(dm->Tabcomuni->indexName(), QStringLiteral("comune_index"));
            QCOMPARE(list->model()->index(3, 0).data().toString(), QStringLiteral("ROMA"));
            QCOMPARE(current(), QStringLiteral("ROMA"));
            QCOMPARE(list->currentIndex().row(), 3);
            QCOMPARE(grid(window, "RxDBGrid2")->model()->rowCount(), 2);

            // No match leaves the position; a search by province.
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("ROMZ"));
            QCOMPARE(current(), QStringLiteral("ROMA"));
            window.findChildren<QRadioButton *>().at(1)->click();
            typeInto(lineEdit(window, "Edit1"), QStringLiteral("TO"));
            QCOMPARE(dm->Tabcomuni->indexName(), QStringLiteral("provincia_Index"));
            QCOMPARE(current(), QStringLiteral("ROMANO CANAVESE"));

            list->horizontalHeader()->sectionClicked(2); // CAP
            button(window, "RxSpeedButton2")->click();
        });
        // The order chosen stays for the windows that come next.
        QCOMPARE(m_data->Tabcomuni->indexName(), QStringLiteral("cap_Index"));
        m_data->Tabcomuni->first();
        QCOMPARE(current(), QStringLiteral("ROMA"));
    }

    void municipalitiesAndZonesAreEntered()
    {
        openZoom(QStringLiteral("MAINFORM"), [this](TZOOM_comuniForm &window) {
            // A new municipality needs its name.
            button(window, "SpeedButton1")->click();
            QCOMPARE(page(window), int(TZOOM_comuniForm::MunicipalityPage));
            typeInto(lineEdit(window, "DBEdit2"), QStringLiteral("bs"));
            button(window, "Button1")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("NULLA DA CONFERMARE")});
            QCOMPARE(page(window), int(TZOOM_comuniForm::MunicipalityPage));
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("brescia"));
            typeInto(lineEdit(window, "DBEdit4"), QStringLiteral("25100"));
            shoot(window, QStringLiteral("zoom_comuni_comune"));
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TZOOM_comuniForm::MainPage));
            QCOMPARE(current(), QStringLiteral("BRESCIA"));
            QCOMPARE(m_data->Tabcomuni->asString(QStringLiteral("PROVINCIAI")), QStringLiteral("BS"));

            // A zone without its postal code is refused; with it, it belongs to the municipality shown.
            Messages::clear();
            button(window, "SpeedButton4")->click();
            QCOMPARE(page(window), int(TZOOM_comuniForm::ZonePage));
            QCOMPARE(lineEdit(window, "DBEdit6")->text(), QStringLiteral("BRESCIA"));
            typeInto(lineEdit(window, "Edit3"), QStringLiteral("centro storico"));
            button(window, "Button3")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("INSERIRE IL CAP ZONALE")});
            QCOMPARE(page(window), int(TZOOM_comuniForm::ZonePage));
            QCOMPARE(m_data->Tabzone->recordCount(), 0);
            typeInto(lineEdit(window, "Edit2"), QStringLiteral("25121"));
            button(window, "Button3")->click();
            QCOMPARE(page(window), int(TZOOM_comuniForm::MainPage));
            QVERIFY(lineEdit(window, "Edit2")->text().isEmpty());
            QCOMPARE(m_data->Tabzone->recordCount(), 1);
            QCOMPARE(m_data->Tabzone->asString(QStringLiteral("CAP_zona")), QStringLiteral("25121"));
            QCOMPARE(m_data->Tabzone->asString(QStringLiteral("Descrizione")), QStringLiteral("CENTRO STO"));
            QCOMPARE(m_data->Tabzone->value(QStringLiteral("Id_comune")), m_data->Tabcomuni->value(QStringLiteral("Id")));

            // The zone "Elimina" deletes at once.
            button(window, "SpeedButton5")->click();
            QCOMPARE(m_data->Tabzone->recordCount(), 0);

            // A municipality left half entered by a frame close is not stored.
            button(window, "SpeedButton1")->click();
            typeInto(lineEdit(window, "DBEdit1"), QStringLiteral("CREMONA"));
            QVERIFY(window.close());
        });
        QVERIFY(!m_data->Tabcomuni->isEditing());
        QVERIFY(!m_data->Tabcomuni->locate(QStringLiteral("COMUNE"), {QStringLiteral("CREMONA")}));
        QVERIFY(m_data->Tabcomuni->locate(QStringLiteral("COMUNE"), {QStringLiteral("BRESCIA")}));
        QCOMPARE(Messages::shown().size(), 1);
    }

    void eliminaComuneTakesItsZonesAlong()
    {
        auto zonesOf = [](int id) {
            Table all;
            all.setDirectory(appState().dataDir());
            all.setTableName(QStringLiteral("zone"));
            all.open();
            int count = 0;
            for (all.first(); !all.eof(); all.next())
                count += all.asInteger(QStringLiteral("Id_comune")) == id;
            return count;
        };
        m_data->Tabcomuni->locate(QStringLiteral("COMUNE"), {QStringLiteral("ROMA")});
        Messages::setNextAnswer(false);
        Messages::setNextAnswer(true);
        openZoom(QStringLiteral("MAINFORM"), [](TZOOM_comuniForm &window) {
            button(window, "SpeedButton6")->click();
            QCOMPARE(current(), QStringLiteral("ROMA"));
            button(window, "SpeedButton6")->click();
            QVERIFY(current() != QLatin1String("ROMA"));
            button(window, "RxSpeedButton2")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList(2, QStringLiteral("Sicuri di volere eliminare il comune selezionato?")));
        QVERIFY(!m_data->Tabcomuni->locate(QStringLiteral("COMUNE"), {QStringLiteral("ROMA")}));
        QCOMPARE(m_data->Tabcomuni->recordCount(), 4);
        QCOMPARE(zonesOf(2), 0);
        QCOMPARE(zonesOf(1), 1);
    }

    void aNameTwiceInTheOlderListIsTheUsersChoice_data()
    {
        QTest::addColumn<QString>("answer"); // the button pressed, or "frame"
        QTest::addColumn<QString>("code");
        QTest::newRow("keep the copied one") << "Button1" << "H501";
        QTest::newRow("keep the older one") << "Button2" << "H999";
        QTest::newRow("frame close") << "frame" << "H501";
    }
    void aNameTwiceInTheOlderListIsTheUsersChoice()
    {
        QFETCH(QString, answer);
        QFETCH(QString, code);
        m_data.reset();
        TestBase base;
        TestBase::addDataRows(QStringLiteral("COMUNI"),
                              {{{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
                               {{"COMUNE", "MILANO"}, {"PROVINCIAI", "MI"}, {"CODICEFISC", "F205"}, {"CAP", "20100"}},
                               {{"COMUNE", "ROMA"}, {"PROVINCIAI", "RX"}, {"CODICEFISC", "H999"}, {"CAP", "00199"}}});
        MunicipalityChoice choice;
        Tdm::municipalityChooser = &choice;
        ModalWindows::setNextHandler([&](QDialog &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("SCEGLI IL COMUNE DA CONSERVARE:"));
            QCOMPARE(lineEdit(window, "CODICEFISC_1")->text(), QStringLiteral("H501"));
            QCOMPARE(lineEdit(window, "CODICEFISC_2")->text(), QStringLiteral("H999"));
            QCOMPARE(lineEdit(window, "COMUNE_2")->text(), QStringLiteral("ROMA"));
            QCOMPARE(button(window, "Button1")->text(), QStringLiteral("TIENI QUESTO"));
            QCOMPARE(button(window, "Button2")->text(), QStringLiteral("TIENI QUESTO"));
            shoot(window, QStringLiteral("scegli_comune"));
            if (answer == QLatin1String("frame"))
                window.close();
            else
                button(window, answer.toLatin1().constData())->click();
        });
        m_data = std::make_unique<Tdm>();
        Tdm::municipalityChooser = nullptr;

        Table *list = m_data->Tabcomuni;
        QCOMPARE(list->recordCount(), 2);
        QVERIFY(list->locate(QStringLiteral("COMUNE"), {QStringLiteral("ROMA")}));
        QCOMPARE(list->asString(QStringLiteral("CODICEFISC")), code);
        m_data.reset();
    }
};

QTEST_MAIN(tst_ZoomComuni)
#include "tst_zoom_comuni.moc"
