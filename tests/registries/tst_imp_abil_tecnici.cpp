// The authorisations valid per year: the toggle on the year shown, what "OK" and "annulla" leave in
// the run-time state and in the configuration file, the tab it opens on, and too many authorisations.

#include "ground/config.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "filesizelimit.h"
#include "guitest.h"
#include "registries/imp_abil_tecniciw.h"
#include "testbase.h"

#include <QCheckBox>
#include <QDir>
#include <QTabWidget>

#include <memory>

namespace {

const QStringList Seals{"AAA", "BBB", "CCC", "DDD", "EEE", "FFF", "GGG", "HHH", "III", "JJJ"};

// Ten slots: the given identifiers, then empty ones.
QStringList tenSlots(QStringList filled)
{
    while (filled.size() < AuthorisationSlots)
        filled << QString();
    return filled;
}

QStringList stateSlots(const AppState &state, int year)
{
    QStringList values;
    for (int slot = 1; slot <= AuthorisationSlots; ++slot)
        values << state.abilitazione(year, slot);
    return values;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_ImpAbilTecnici : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    QString configPath() const { return QDir(m_base->path()).filePath(QStringLiteral("Sigillo.INI")); }

    static QTabWidget *years(QWidget &window) { return window.findChild<QTabWidget *>(QStringLiteral("PageControl1")); }
    static QList<QLineEdit *> lines(QWidget &window, int year)
    {
        return window.findChild<QWidget *>(QStringLiteral("Anno%1").arg(year))->findChildren<QLineEdit *>();
    }
    static QStringList texts(QWidget &window, int year)
    {
        QStringList values;
        for (const QLineEdit *line : lines(window, year))
            values << line->text();
        return values;
    }
    static void toggle(QWidget &window, const QString &seal)
    {
        if (!dm->TabLsogg->locate(QStringLiteral("Id_al_sigillo"), {seal}))
            qFatal("no authorisation %s", qPrintable(seal));
        button(window, "SpeedButton1")->click();
    }
    static void openYears(std::function<void(Timp_abil_tecnici &)> handler) { openWindow(imp_abil_tecnici, std::move(handler)); }

    // The laboratory with the first `count` authorisations, the working year 2010, and a configuration
    // file written from the state.
    void prepare(int count)
    {
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 7}, {"PG_PF", "0"}}});
        QList<QVariantMap> authorisations;
        for (int index = 0; index < count; ++index)
            authorisations.append({{"Id_Lsogg", index + 1}, {"Id_sogg", 7}, {"Tipo_abilitazione", "2"}, {"Id_al_sigillo", Seals[index]}});
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), authorisations);
        m_data = std::make_unique<Tdm>();
        AppState &state = appState();
        state.AnnoLavoro = QStringLiteral("2010");
        state.abilitazione(2010, 1) = QStringLiteral("AAA");
        state.abilitazione(2011, 3) = QStringLiteral("BBB");
        QVERIFY(config::writeFile(configPath(), state));
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        config::setFilePath(configPath());
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void toggleInsertsIntoTheFirstEmptyLineOrRemoves_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("pressed");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("absent, twice: as it was") << tenSlots({"AAA", "", "CCC"}) << QStringList{"BBB", "BBB"} << tenSlots({"AAA", "", "CCC"});
        QTest::newRow("in slot 5 with slot 2 empty: ends in slot 2")
            << tenSlots({"AAA", "", "CCC", "DDD", "BBB"}) << QStringList{"BBB", "BBB"} << tenSlots({"AAA", "BBB", "CCC", "DDD"});
        QTest::newRow("slot 3 removed, the next one goes there")
            << tenSlots({"AAA", "BBB", "CCC", "DDD", "EEE"}) << QStringList{"CCC", "FFF"} << tenSlots({"AAA", "BBB", "FFF", "DDD", "EEE"});
        QTest::newRow("present twice: both lines emptied") << tenSlots({"AAA", "", "AAA"}) << QStringList{"AAA"} << tenSlots({});
        const QStringList full{"X1", "X2", "X3", "X4", "X5", "X6", "X7", "X8", "X9", "X10"};
        QTest::newRow("a full year takes no more, silently") << full << QStringList{"AAA"} << full;
    }
    void toggleInsertsIntoTheFirstEmptyLineOrRemoves()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, pressed);
        QFETCH(QStringList, after);
        prepare(6);
        AppState &state = appState();
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            state.abilitazione(2010, slot) = before[slot - 1];
        openYears([&](Timp_abil_tecnici &window) {
            QCOMPARE(years(window)->tabText(years(window)->currentIndex()), QStringLiteral("2010"));
            QCOMPARE(texts(window, 2010), before);
            for (const QString &seal : pressed)
                toggle(window, seal);
            QCOMPARE(texts(window, 2010), after);
            // Working copies: nothing is stored before "OK".
            QCOMPARE(stateSlots(appState(), 2010), before);
            button(window, "Button1")->click();
        });
        QCOMPARE(stateSlots(state, 2010), after);
        QCOMPARE(stateSlots(state, 2011), tenSlots({"", "", "BBB"}));
        QVERIFY(Messages::shown().isEmpty());
    }

    void okStoresAndWritesTheFileAnnullaLeavesBoth_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("OK") << "Button1";
        QTest::newRow("annulla") << "Button2";
    }
    void okStoresAndWritesTheFileAnnullaLeavesBoth()
    {
        QFETCH(QString, command);
        const bool ok = command == QLatin1String("Button1");
        prepare(6);
        const QByteArray written = contentOf(configPath());
        openYears([&](Timp_abil_tecnici &window) {
            auto *automatic = window.findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
            QCOMPARE(automatic->text(), QStringLiteral("abilita la gestione automatica"));
            QVERIFY(!automatic->isChecked());
            automatic->click();
            toggle(window, QStringLiteral("BBB"));
            // A line emptied by hand, as for an identifier no longer in the list.
            years(window)->setCurrentIndex(2011 - FirstAuthorisationYear);
            typeInto(lines(window, 2011)[2], QString());
            years(window)->setCurrentIndex(years(window)->count() - 1);
            toggle(window, QStringLiteral("CCC"));
            if (ok)
                shoot(window, QStringLiteral("imp_abil_tecnici"));
            button(window, qPrintable(command))->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        const AppState &state = appState();
        QCOMPARE(state.GestioneAnni, ok ? QStringLiteral("SI") : QStringLiteral("NO"));
        QCOMPARE(stateSlots(state, 2010), ok ? tenSlots({"AAA", "BBB"}) : tenSlots({"AAA"}));
        QCOMPARE(stateSlots(state, 2035), ok ? tenSlots({"CCC"}) : tenSlots({}));
        QCOMPARE(stateSlots(state, 2011), ok ? tenSlots({}) : tenSlots({"", "", "BBB"}));
        if (!ok) {
            QCOMPARE(contentOf(configPath()), written);
            return;
        }
        AppState reread;
        config::readFile(configPath(), reread);
        QCOMPARE(reread.GestioneAnni, QStringLiteral("SI"));
        QCOMPARE(reread.AbilitazioniAnno, state.AbilitazioniAnno);
        QVERIFY(contentOf(configPath()).contains("[2010]\r\n1=AAA\r\n2=BBB\r\n3=\r\n"));
    }

    void okOnAFullDiskSaysSoAndKeepsTheFileAndTheLists()
    {
        prepare(6);
        const QByteArray written = contentOf(configPath());
        const int outcome = filesizelimit::run(rlim_t(written.size() / 2), [] {
            openYears([](Timp_abil_tecnici &window) {
                toggle(window, QStringLiteral("BBB"));
                button(window, "Button1")->click();
            });
            const QList<ShownMessage> shown = Messages::shown();
            const bool told = shown.size() == 1 && shown[0].kind == MessageKind::Error;
            // Closing the program writes them again.
            const bool kept = appState().abilitazione(2010, 2) == QLatin1String("BBB");
            return told && kept ? 0 : 1;
        });
        QCOMPARE(outcome, 0);
        QCOMPARE(contentOf(configPath()), written);
    }

    void opensOnTheWorkingYearOrTheLast_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2010") << "2010" << "2010";
        QTest::newRow("the first") << "2004" << "2004";
        QTest::newRow("the last") << "2035" << "2035";
        QTest::newRow("after the last") << "2040" << "2035";
        QTest::newRow("before the first") << "2003" << "2035";
    }
    void opensOnTheWorkingYearOrTheLast()
    {
        QFETCH(QString, year);
        QFETCH(QString, shown);
        prepare(1);
        appState().AnnoLavoro = year;
        openYears([&](Timp_abil_tecnici &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Imposta le abilitazioni e il loro periodo di validità"));
            QTabWidget *tabs = years(window);
            QCOMPARE(tabs->count(), LastAuthorisationYear - FirstAuthorisationYear + 1);
            QCOMPARE(tabs->tabText(0), QStringLiteral("2004"));
            QCOMPARE(tabs->tabText(tabs->currentIndex()), shown);
            button(window, "Button2")->click();
        });
    }

    void tenAuthorisationsAreMoreThanTheListsHold_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("nine") << 9;
        QTest::newRow("ten") << 10;
    }
    void tenAuthorisationsAreMoreThanTheListsHold()
    {
        QFETCH(int, count);
        const bool refused = count >= AuthorisationSlots;
        prepare(count);
        appState().GestioneAnni = QStringLiteral("SI");
        openYears([&](Timp_abil_tecnici &window) {
            QCOMPARE(texts(window, 2010), refused ? tenSlots({}) : tenSlots({"AAA"}));
            for (QLineEdit *line : lines(window, 2010))
                QCOMPARE(line->isReadOnly(), refused);
            QCOMPARE(window.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked(), !refused);
            QCOMPARE(button(window, "Button1")->isEnabled(), !refused);
            QCOMPARE(button(window, "SpeedButton1")->isEnabled(), !refused);
            if (refused)
                shoot(window, QStringLiteral("imp_abil_tecnici_troppe"));
            button(window, "Button2")->click();
        });
        const QStringList capacity{QStringLiteral("Numero di abilitazioni presenti maggiori del previsto. contattare la vesksoft."),
                                   QStringLiteral("Eliminare le abilitazioni non più in uso nella finestra Soggetto Obbligato, "
                                                  "poi riaprire questa finestra.")};
        QCOMPARE(Messages::shownTexts(), refused ? capacity : QStringList());
        QCOMPARE(stateSlots(appState(), 2010), tenSlots({"AAA"}));
    }
};

QTEST_MAIN(tst_ImpAbilTecnici)
#include "tst_imp_abil_tecnici.moc"
