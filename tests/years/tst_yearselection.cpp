// The choice of the working year, driven through the main window as the user meets it: at the first
// start and with "Cambia anno...".

#include "ground/config.h"
#include "app/mainw.h"
#include "ground/messages.h"
#include "app/splashw.h"
#include "ground/state.h"
#include "data/catalogue.h"
#include "data/tdm.h"
#include "guitest.h"
#include "testbase.h"
#include "years/annow.h"
#include "years/sel_annow.h"
#include "years/yearopening.h"

#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString CreationQuestion = QStringLiteral("Anno non trovato. E'  consigliabile creare un anno appena si è terminato "
                                                "tutto il caricamento dell\"anno precedente. Crearlo adesso?");
const QString Created = QStringLiteral("creazione anno eseguito correttamente");
const QString CloseRefused = QStringLiteral("Per uscire dalla finestra usare i tasti opportuni");

void chooseYear(QDialog &form, int year)
{
    form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"))->setValue(year);
    QTest::mouseClick(button(form, "AvantiButton"), Qt::LeftButton);
}

bool fileIn(const QString &directory, const QString &name)
{
    return QFileInfo(QDir(directory).filePath(name)).isFile();
}

void touch(const QString &filePath)
{
    QFile file(filePath);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class tst_YearSelection : public GuiTest {
    Q_OBJECT

public:
    tst_YearSelection() { TSplashForm::setTimings(0, 0); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TMainForm> m_window;
    std::unique_ptr<Tdm> m_data;

    QString under(const QString &relative) const { return QDir(m_dir->path()).filePath(relative); }

    // The program as it starts: templates, main window, data module opened before any year.
    void start()
    {
        m_window = std::make_unique<TMainForm>();
        m_data = std::make_unique<Tdm>();
    }
    void makeTemplates() { catalogue::ensureTemplates(appState()); }
    // A year as this program makes it, with every file.
    void makeCompleteYear(const QString &year)
    {
        catalogue::createMissingTables(appState().dataDir(), catalogue::baseTables());
        catalogue::createMissingTables(under(year), catalogue::yearTables());
        touch(QDir(under(year)).filePath(QStringLiteral("fix1.txt")));
    }
    void changeYear() { m_window->findChild<QAction *>(QStringLiteral("actionCambiaAnno"))->trigger(); }

    void setUp() override
    {
        m_dir = std::make_unique<QTemporaryDir>();
        appState() = AppState();
        appState().DirBase = withTrailingSeparator(m_dir->path());
        config::setFilePath(under(QStringLiteral("sigillo.INI")));
    }
    void tearDown() override
    {
        m_window.reset();
        m_data.reset();
    }

private Q_SLOTS:
    void firstStartOnAnEmptyFolderCreatesTheYear()
    {
        makeTemplates();
        start();
        int minimum = 0, maximum = 0;
        ModalWindows::setNextHandler([&](QDialog &form) {
            QCOMPARE(&form, Sel_annoForm);
            QCOMPARE(form.windowTitle(), QStringLiteral("Seleziona l'anno su cui lavorare:"));
            QVERIFY(appState().AnnoLavoro.isEmpty());
            auto *spin = form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"));
            minimum = spin->minimum();
            maximum = spin->maximum();
            QCOMPARE(spin->value(), TSel_annoForm::defaultYear(QDate::currentDate().year()));
            Messages::setNextAnswer(true);
            chooseYear(form, 2021);
        });
        bool carryForwardOffered = false;
        ModalWindows::setNextHandler([&](QDialog &form) {
            carryForwardOffered = &form == AnnoForm;
            form.reject();
        });
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] { return !m_window->statusPanel(0).isEmpty(); }));

        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Confirmation, CreationQuestion},
                                                         {MessageKind::Information, Created}}));
        QCOMPARE(minimum, 2004);
        QCOMPARE(maximum, 2035);
        const AppState &state = appState();
        QCOMPARE(state.AnnoLavoro, QStringLiteral("2021"));
        QVERIFY(carryForwardOffered);
        QVERIFY(!state.NuovoAnnoCreato);
        QVERIFY(!state.ConversioneDaFare && !state.CorrezioneDaFare);
        QCOMPARE(m_window->statusPanel(2), QStringLiteral("Anno: 2021"));
        for (const char *file : {"misurazioni2.sqlite", "misurazioni.sqlite", "dati_extra.sqlite", "fix1.txt"})
            QVERIFY2(fileIn(under(QStringLiteral("2021")), QString::fromLatin1(file)), file);
        for (const char *file : {"impostazioni.sqlite", "password_.sqlite", "tipo_int.sqlite", "esercizio.sqlite"})
            QVERIFY2(fileIn(state.dataDir(), QString::fromLatin1(file)), file);
        for (engine::Table *table : {m_data->TabImpostazioni, m_data->Tabesercizio, m_data->Tabmisurazioni,
                                     m_data->c_esercizio, m_data->Tab_dati_extra})
            QVERIFY2(table->isOpen(), qPrintable(table->objectName()));
        QCOMPARE(m_data->Tabmisurazioni->directory(), state.yearDir());
        QVERIFY(m_window->isVisible());
    }

    void aCompleteYearOpensWithoutQuestions()
    {
        // No templates: any copy would be reported as an error.
        makeCompleteYear(QStringLiteral("2021"));
        makeCompleteYear(QStringLiteral("2034"));
        start();
        ModalWindows::setNextHandler([](QDialog &form) { chooseYear(form, 2021); });
        changeYear();
        QCOMPARE(m_window->statusPanel(2), QStringLiteral("Anno: 2021"));

        ModalWindows::setNextHandler([](QDialog &form) { chooseYear(form, 2034); });
        changeYear();
        QVERIFY(Messages::shown().isEmpty());
        const AppState &state = appState();
        QCOMPARE(state.AnnoLavoro, QStringLiteral("2034"));
        QVERIFY(!state.NuovoAnnoCreato && !state.ConversioneDaFare && !state.CorrezioneDaFare);
        QCOMPARE(m_window->statusPanel(2), QStringLiteral("Anno: 2034"));
        QVERIFY(m_data->Tabmisurazioni->isOpen());
        QCOMPARE(m_data->Tabmisurazioni->directory(), QDir::toNativeSeparators(under(QStringLiteral("2034"))));
    }

    void anOlderLayoutYearIsCompletedAndConverted()
    {
        makeTemplates();
        catalogue::createMissingTables(appState().dataDir(), catalogue::baseTables());
        const QString year = under(QStringLiteral("2019"));
        catalogue::createMissingTables(year, {catalogue::schema(QStringLiteral("misurazioni")),
                                              catalogue::schema(QStringLiteral("dati_extra"))});
        TestBase::addDataRows(QStringLiteral("esercizio"), {{{"Id_esercizio", 5}, {"Ragione_sociale", "BAR SPORT"}}});
        TestBase::addRows(year, QStringLiteral("misurazioni"),
                          {{{"ID_MISURAZIONI", 40}, {"ID_ESERCIZIO", 5}, {"ID_MS", 1}, {"ID_TECNICO", 1},
                            {"DATA_FINE", QDate(2019, 5, 2)}, {"INDIRIZZO", "VIA ROMA 1"}}});

        // The completion alone: the missing files are copied and both one-time steps armed.
        years::CompletaAnno(QStringLiteral("2019"));
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(fileIn(year, QStringLiteral("misurazioni2.sqlite")));
        QVERIFY(fileIn(year, QStringLiteral("fix1.txt")));
        QVERIFY(appState().ConversioneDaFare);
        QVERIFY(appState().CorrezioneDaFare);

        // Through the window, from the older files again: the opening takes both steps up.
        QVERIFY(QFile::remove(QDir(year).filePath(QStringLiteral("misurazioni2.sqlite"))));
        QVERIFY(QFile::remove(QDir(year).filePath(QStringLiteral("fix1.txt"))));
        appState().ConversioneDaFare = appState().CorrezioneDaFare = false;
        start();
        ModalWindows::setNextHandler([](QDialog &form) { chooseYear(form, 2019); });
        changeYear();
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(!appState().ConversioneDaFare && !appState().CorrezioneDaFare);
        QVERIFY(!appState().NuovoAnnoCreato);
        engine::Table *converted = m_data->Tabmisurazioni;
        QCOMPARE(converted->recordCount(), 1);
        QCOMPARE(converted->asString(QStringLiteral("r_ditta")), QStringLiteral("BAR SPORT"));
        QCOMPARE(converted->asDate(QStringLiteral("Data_fine")), QDate(2019, 5, 2));
        QCOMPARE(m_window->statusPanel(2), QStringLiteral("Anno: 2019"));
    }

    // A template table that has gone matches no file: that is a failed copy, not a completed year.
    void aMissingTemplateTableIsReported()
    {
        makeTemplates();
        QVERIFY(QFile::remove(QDir(appState().yearTemplateDir()).filePath(QStringLiteral("dati_extra.sqlite"))));
        makeCompleteYear(QStringLiteral("2019"));
        QVERIFY(QFile::remove(under(QStringLiteral("2019/dati_extra.sqlite"))));

        years::CompletaAnno(QStringLiteral("2019"));
        const QList<ShownMessage> shown = Messages::shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.first().kind, MessageKind::Plain);
        QVERIFY2(shown.first().text.startsWith(QStringLiteral("Errore contattare la VesK.")), qPrintable(shown.first().text));
        QCOMPARE(shown.last(), (ShownMessage{MessageKind::Error, QStringLiteral("Errore nei dati extra.ATTENZIONE!! ")}));
        QVERIFY(!fileIn(under(QStringLiteral("2019")), QStringLiteral("dati_extra.sqlite")));
    }

    void refusedOrFailedYearKeepsTheWindowOpen_data()
    {
        QTest::addColumn<bool>("yearFolderExists");
        QTest::addColumn<QList<ShownMessage>>("messages");
        QTest::newRow("creation refused") << false << QList<ShownMessage>{{MessageKind::Confirmation, CreationQuestion}};
        QTest::newRow("year check failed")
            << true
            << QList<ShownMessage>{
                   {MessageKind::Warning, QStringLiteral("Anno non trovato. contattare la vesksoft.\n"
                                                         "Per assistenza rivolgersi al fornitore del programma.")},
                   {MessageKind::Warning, QStringLiteral("Se usate WINDOWS 7-8-10  provate ad eseguire il software come "
                                                         "amministratori o contattare la vesksoft.\n"
                                                         "Per assistenza rivolgersi al fornitore del programma.")}};
    }
    void refusedOrFailedYearKeepsTheWindowOpen()
    {
        QFETCH(bool, yearFolderExists);
        QFETCH(QList<ShownMessage>, messages);
        makeCompleteYear(QStringLiteral("2021"));
        if (yearFolderExists)
            QVERIFY(QFile::remove(QDir(under(QStringLiteral("2021"))).filePath(QStringLiteral("misurazioni.sqlite"))));
        else
            QVERIFY(QDir(under(QStringLiteral("2021"))).removeRecursively());
        start();
        bool stayedOpen = false;
        bool dataClosed = false;
        ModalWindows::setNextHandler([&](QDialog &form) {
            if (!yearFolderExists)
                Messages::setNextAnswer(false);
            chooseYear(form, 2021);
            stayedOpen = form.isVisible();
            dataClosed = !m_data->TabImpostazioni->isOpen() && !m_data->Tabesercizio->isOpen();
            QCOMPARE(Messages::shown(), messages);
            QTest::mouseClick(button(form, "AnnullaButton"), Qt::LeftButton);
        });
        m_window->show();
        QVERIFY(QTest::qWaitFor([this] { return !m_window->isVisible(); }));
        QVERIFY(stayedOpen);
        QVERIFY(dataClosed);
        QVERIFY(appState().AnnoLavoro.isEmpty());
        QVERIFY(!QFileInfo::exists(under(QStringLiteral("2021/misurazioni2.sqlite"))) || yearFolderExists);
        // The program ended the ordinary way: the configuration file was written.
        QVERIFY(QFileInfo::exists(config::filePath()));
    }

    void theCloseBoxAndEscapeAreRefused()
    {
        makeCompleteYear(QStringLiteral("2021"));
        start();
        bool stillOpen = false;
        ModalWindows::setNextHandler([&](QDialog &form) {
            form.close();
            QTest::keyClick(&form, Qt::Key_Escape);
            stillOpen = form.isVisible();
            chooseYear(form, 2021);
        });
        changeYear();
        QVERIFY(stillOpen);
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Plain, CloseRefused}, {MessageKind::Plain, CloseRefused}}));
        QCOMPARE(appState().AnnoLavoro, QStringLiteral("2021"));
    }

    void yearsOutsideTheRangeAreBroughtIntoIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("year");
        QTest::newRow("1999") << "1999" << 2004;
        QTest::newRow("2034") << "2034" << 2034;
        QTest::newRow("2099") << "2099" << 2035;
    }
    void yearsOutsideTheRangeAreBroughtIntoIt()
    {
        QFETCH(QString, typed);
        QFETCH(int, year);
        TSel_annoForm form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *spin = form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"));
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        button(form, "AnnullaButton")->setFocus();
        QCOMPARE(spin->value(), year);
    }

    void theDefaultYear_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("shown");
        QTest::newRow("2003") << 2003 << 2020;
        QTest::newRow("2004") << 2004 << 2004;
        QTest::newRow("2030") << 2030 << 2030;
        QTest::newRow("2031") << 2031 << 2020;
    }
    void theDefaultYear()
    {
        QFETCH(int, current);
        QFETCH(int, shown);
        QCOMPARE(TSel_annoForm::defaultYear(current), shown);
    }
};

QTEST_MAIN(tst_YearSelection)
#include "tst_yearselection.moc"
