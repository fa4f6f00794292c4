// The extra prints window: the filter texts its controls build and the rows they leave, the models
// sharing a name, the order by title and what closing leaves, and the export from the window: the
// file dialog, "Fatto", the workbook opened, and a file that cannot be written.

#include "data/tdm.h"
#include "extraarchive.h"
#include "ground/messages.h"
#include "guitest.h"
#include "prints/stampe_extra.h"
#include "ui/dbgrid.h"
#include "ui/desktop.h"
#include "ui/filedialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

#include <memory>

namespace {

QComboBox *list(QWidget &window, const char *name)
{
    return window.findChild<QComboBox *>(QString::fromLatin1(name));
}

void choose(QWidget &window, const char *name, const QString &text)
{
    QComboBox *combo = list(window, name);
    combo->setEditText(text);
}

QStringList shownSerials()
{
    QStringList serials;
    for (int row = 0; row < dm->Tabmisurazioni->recordCount(); ++row)
        serials << dm->Tabmisurazioni->valueAt(row, QStringLiteral("Matricola_ms")).toString();
    return serials;
}

const QStringList InEndDateOrder{"99MA00004", "99MA00001", "99MA00003", "99MA00002"};

} // namespace

class tst_StampeExtra : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<ExtraArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    std::unique_ptr<QTemporaryDir> m_out;

    void setUp() override
    {
        m_archive = std::make_unique<ExtraArchive>();
        m_data = std::make_unique<Tdm>();
        m_out = std::make_unique<QTemporaryDir>();
        Desktop::clear();
        FileDialogs::clear();
    }
    void tearDown() override
    {
        m_data.reset();
        m_archive.reset();
    }
    QString out(const QString &name) const { return QDir(m_out->path()).filePath(name); }

private Q_SLOTS:
    void theControlsBuildTheFilter_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("municipality");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("technician");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("the type alone") << "2=Defiscalizzazione" << "" << "" << "" << "" << "[tipo_intervento]='2'"
                                        << QStringList{"99MA00003", "99MA00002"};
        QTest::newRow("type, outcome and municipality")
            << "2=Defiscalizzazione" << "0=Esito Positivo" << "ROMA" << "" << ""
            << "[tipo_intervento]='2' and [esito]='0' and [comune]='ROMA'" << QStringList{"99MA00003"};
        QTest::newRow("a municipality with an apostrophe") << "" << "" << "L'AQUILA" << "" << "" << "[comune]='L''AQUILA'"
                                                           << QStringList{"99MA00002"};
        QTest::newRow("an accented municipality") << "" << "" << "FORLÌ" << "" << "" << "[comune]='FORLÌ'" << QStringList{"99MA00004"};
        QTest::newRow("model and technician") << "" << "" << "" << "NETTUNA 300" << "BIANCHI MARIO"
                                              << "[Id_ms]=1 and [Id_tecnico]=2" << QStringList{"99MA00001"};
        QTest::newRow("nothing chosen") << "" << "" << "" << "" << "" << "" << InEndDateOrder;
    }
    void theControlsBuildTheFilter()
    {
        QFETCH(QString, type);
        QFETCH(QString, outcome);
        QFETCH(QString, municipality);
        QFETCH(QString, model);
        QFETCH(QString, technician);
        QFETCH(QString, filter);
        QFETCH(QStringList, serials);
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            QCOMPARE(list(window, "ComboBox3")->count(), 3);
            QCOMPARE(list(window, "ComboBox6")->itemText(0), QStringLiteral("BIANCHI MARIO"));
            choose(window, "ComboBox1", type);
            choose(window, "ComboBox2", outcome);
            choose(window, "ComboBox3", municipality);
            choose(window, "ComboBox4", model);
            choose(window, "ComboBox6", technician);
            button(window, "SpeedButton3")->click();
            QCOMPARE(dm->Tabmisurazioni->filterText(), filter);
            QCOMPARE(window.activeFilterText(), filter);
            QCOMPARE(shownSerials(), serials);
            QCOMPARE(window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->model()->rowCount(), serials.size());

            button(window, "SpeedButton4")->click();
            QCOMPARE(window.activeFilterText(), QString());
            QCOMPARE(shownSerials(), InEndDateOrder);
            button(window, "LbSpeedButton11")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void twoModelsWithOneNameAskForTheId()
    {
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            QComboBox *ids = list(window, "ComboBox5");
            QVERIFY(ids->isHidden());
            choose(window, "ComboBox4", QStringLiteral("KUBE"));
            QFocusEvent leave(QEvent::FocusOut);
            QApplication::sendEvent(list(window, "ComboBox4"), &leave);
            QVERIFY(!ids->isHidden());
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label6"))->text(),
                     QStringLiteral("AVETE CARICATO PIU VOLTE LO STESSO LOGO TIPO."));
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label7"))->text(), QStringLiteral("Selezionate l'ID:"));
            QCOMPARE(ids->count(), 2);
            shoot(window, QStringLiteral("stampe_extra"));
            ids->setCurrentIndex(1);
            button(window, "SpeedButton3")->click();
            QCOMPARE(window.activeFilterText(), QStringLiteral("[Id_ms]=3"));
            QCOMPARE(shownSerials(), QStringList{"99MA00003"});

            // Another name hides the list and its warning.
            choose(window, "ComboBox4", QStringLiteral("NETTUNA 300"));
            QVERIFY(ids->isHidden());
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label6"))->text(), QString());
            button(window, "LbSpeedButton11")->click();
        });
    }

    void aNameNotInTheListIsSaidAndFiltersNothing()
    {
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            choose(window, "ComboBox1", QStringLiteral("1=Messa in servizio"));
            button(window, "SpeedButton3")->click();
            choose(window, "ComboBox6", QStringLiteral("NERI"));
            button(window, "SpeedButton3")->click();
            QCOMPARE(window.activeFilterText(), QStringLiteral("[tipo_intervento]='1'"));
            button(window, "LbSpeedButton11")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Warning, QStringLiteral("Tecnico non trovato: «NERI»")}}));
    }

    void closingLeavesTheRegisterUnfilteredByEndDate_data()
    {
        QTest::addColumn<bool>("byChiudi");
        QTest::newRow("Chiudi") << true;
        QTest::newRow("the frame") << false;
    }
    void closingLeavesTheRegisterUnfilteredByEndDate()
    {
        QFETCH(bool, byChiudi);
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            auto *grid = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"));
            QCOMPARE(grid->model()->headerData(10, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0x80, 0x00, 0x80));
            QVERIFY(!grid->model()->headerData(11, Qt::Horizontal, Qt::ForegroundRole).isValid());
            Q_EMIT grid->horizontalHeader()->sectionClicked(10); // cogn_nome
            QCOMPARE(shownSerials(), (QStringList{"99MA00002", "99MA00003", "99MA00001", "99MA00004"}));
            Q_EMIT grid->horizontalHeader()->sectionClicked(11); // Data_fine keeps the order
            QCOMPARE(shownSerials(), (QStringList{"99MA00002", "99MA00003", "99MA00001", "99MA00004"}));
            choose(window, "ComboBox2", QStringLiteral("0=Esito Positivo"));
            button(window, "SpeedButton3")->click();
            QCOMPARE(shownSerials().size(), 3);
            if (byChiudi)
                button(window, "LbSpeedButton11")->click();
            else
                window.close();
        });
        QVERIFY(!dm->Tabmisurazioni->isFiltered());
        QCOMPARE(shownSerials(), InEndDateOrder);
    }

    // "stampa" prints the rows the grid shows, in its order, under the filter that chose them.
    void stampaPrintsTheShownRowsUnderTheirFilter()
    {
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            choose(window, "ComboBox1", QStringLiteral("2=Defiscalizzazione"));
            button(window, "SpeedButton3")->click();
            const QList<QStringList> pages = printThroughPreview(button(window, "SpeedButton1"), out("tabella.pdf"),
                                                                 QStringLiteral("stampe_extra-tabella"));
            QCOMPARE(pages.size(), 1);
            QCOMPARE(pages.first().first().simplified(), QStringLiteral("Elenco Interventi: [tipo_intervento]='2'"));
            QStringList printed;
            for (const QString &line : pages.first()) {
                for (const QString &serial : InEndDateOrder) {
                    if (line.contains(serial))
                        printed << serial;
                }
            }
            QCOMPARE(printed, (QStringList{"99MA00003", "99MA00002"}));
            QVERIFY(dm->Tabmisurazioni->isFiltered());
            button(window, "LbSpeedButton11")->click();
        });
    }

    void theExportSaysFattoAndOpensTheWorkbook()
    {
        FileDialogs::setNextFileName(out("vuoto"));
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            choose(window, "ComboBox1", QStringLiteral("1=Messa in servizio"));
            choose(window, "ComboBox2", QStringLiteral("1=Esito Negativo"));
            button(window, "SpeedButton3")->click();
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 0);
            button(window, "SpeedButton2")->click();
            QCOMPARE(window.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"))->value(), 0);
            button(window, "LbSpeedButton11")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Plain, QStringLiteral("Fatto")}}));
        QCOMPARE(Desktop::openedFiles(), QStringList{out("vuoto.xlsx")});
        const Workbook workbook = readWorkbook(out("vuoto.xlsx"));
        QCOMPARE(workbook.rows.size(), 1);
        QCOMPARE(workbook.rows[0].value(0), QStringLiteral("Tipo Intervento"));
    }

    void anExportThatCannotWriteSaysSo()
    {
        FileDialogs::setNextFileName(out("manca/interventi_2021.xlsx"));
        FileDialogs::setNextFileName({}); // Annulla
        openWindow<Tstampe_extraForm>(stampe_extraForm, [&](Tstampe_extraForm &window) {
            button(window, "SpeedButton2")->click();
            button(window, "SpeedButton2")->click();
            button(window, "LbSpeedButton11")->click();
        });
        const QList<ShownMessage> shown = Messages::shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageKind::Error);
        QVERIFY2(shown[0].text.startsWith(QStringLiteral("Impossibile scrivere il file ")), qPrintable(shown[0].text));
        QVERIFY(Desktop::openedFiles().isEmpty());
        QVERIFY(!QFileInfo::exists(out("manca")));
    }
};

QTEST_MAIN(tst_StampeExtra)
#include "tst_stampe_extra.moc"
