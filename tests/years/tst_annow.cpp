// The carry-forward window as the user meets it: opened once by the show sequence for a year just
// created, its check box and its two ways out.

#include "app/mainw.h"
#include "app/splashw.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "guitest.h"
#include "testbase.h"
#include "years/annow.h"
#include "years/sel_annow.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {

const QString Done = QStringLiteral("ESEGUITO");
const QString Failed = QStringLiteral("Impossibile eseguire");

QVariantMap verification(int id, const char *serial)
{
    return {{"Id_misurazioni", id}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"Matricola_ms", serial},
            {"Tipo_intervento", "3"}, {"Data_ini", QDate(2010, 5, id)}, {"Data_fine", QDate(2010, 5, id)}};
}

} // namespace

class tst_AnnoW : public GuiTest {
    Q_OBJECT

public:
    tst_AnnoW() { TSplashForm::setTimings(0, 0); }

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2011"));
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

    void withPreviousYear()
    {
        const QString previous = QDir(m_base->path()).filePath(QStringLiteral("2010"));
        catalogue::createMissingTables(previous, catalogue::yearTables());
        TestBase::addRows(previous, QStringLiteral("misurazioni2"), {verification(1, "A1"), verification(2, "A2")});
        TestBase::addDataRows(QStringLiteral("esercizio"), {{{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROSSI"}}});
    }

private Q_SLOTS:
    void theShowSequenceOpensItOnceForAYearJustCreated()
    {
        m_data.reset();
        catalogue::ensureTemplates(appState());
        config::setFilePath(QDir(m_base->path()).filePath(QStringLiteral("sigillo.INI")));
        TMainForm window;
        m_data = std::make_unique<Tdm>();
        ModalWindows::setNextHandler([](QDialog &form) {
            QCOMPARE(&form, Sel_annoForm);
            form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"))->setValue(2021);
            Messages::setNextAnswer(true);
            button(form, "AvantiButton")->click();
        });
        QString heading;
        ModalWindows::setNextHandler([&](QDialog &window) {
            QCOMPARE(&window, AnnoForm);
            QDialog &form = window;
            QCOMPARE(form.windowTitle(), QStringLiteral("Anno"));
            heading = form.findChild<QLabel *>(QStringLiteral("Label1"))->text();
            QVERIFY(form.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked());
            QCOMPARE(button(form, "SpeedButton1")->text(), QStringLiteral("Inserisci"));
            shoot(form, QStringLiteral("annoform"));
            button(form, "SpeedButton2")->click();
        });
        window.runShowSequence();
        QCOMPARE(heading, QStringLiteral("E' stato creato un nuovo anno :2021"));
        QVERIFY(!appState().NuovoAnnoCreato);
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 0);

        // The year exists now: choosing it again opens no carry-forward.
        ModalWindows::setNextHandler([](QDialog &form) {
            form.findChild<QSpinBox *>(QStringLiteral("AnnoSpin"))->setValue(2021);
            button(form, "AvantiButton")->click();
        });
        window.runShowSequence();
        QCOMPARE(appState().AnnoLavoro, QStringLiteral("2021"));
    }

    void theUncheckedBoxOnlyCloses()
    {
        withPreviousYear();
        openWindow<TAnnoForm>(AnnoForm, [](TAnnoForm &form) {
            auto *box = form.findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
            box->click();
            QCOMPARE(button(form, "SpeedButton1")->text(), QStringLiteral("Chiudi e non inserire"));
            box->click();
            QCOMPARE(button(form, "SpeedButton1")->text(), QStringLiteral("INSERISCI"));
            box->click();
            button(form, "SpeedButton1")->click();
            QVERIFY(!form.isVisible());
        });
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 0);
        QCOMPARE(Messages::shownTexts(), QStringList());
    }

    void inserisciCarriesAndCloses()
    {
        withPreviousYear();
        int bar = -1, barEnd = 0;
        openWindow<TAnnoForm>(AnnoForm, [&](TAnnoForm &form) {
            button(form, "SpeedButton1")->click();
            auto *progress = form.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
            bar = progress->value();
            barEnd = progress->maximum();
            QVERIFY(!form.isVisible());
        });
        QCOMPARE(Messages::shownTexts(), QStringList{Done});
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 2);
        QCOMPARE(bar, 2);
        QCOMPARE(barEnd, 2);
    }

    void withoutThePreviousYearItStaysOpen()
    {
        openWindow<TAnnoForm>(AnnoForm, [](TAnnoForm &form) {
            button(form, "SpeedButton1")->click();
            QVERIFY(form.isVisible());
            QCOMPARE(Messages::shownTexts(), QStringList{Failed});
            button(form, "SpeedButton2")->click();
        });
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 0);
    }
};

QTEST_MAIN(tst_AnnoW)
#include "tst_annow.moc"
