// The register's prints, read back from the PDFs the preview writes: each built-in list with its
// heading and one block per selected row, the single verification under a search, the messages that
// stop a print, and the user's own templates in DirBase/frf with the registries standing on the row.

#include "data/tdm.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "guitest.h"
#include "register/misurazioniw.h"
#include "registerarchive.h"
#include "report/designerwindow.h"
#include "report/templatefile.h"
#include "ui/datefield.h"
#include "ui/radiogroup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

using Inputs = std::function<void(QWidget &window)>;

const QString NoUserTemplate = QStringLiteral("Nessuna stampa caricata: scegliere la stampa desiderata");

QComboBox *combo(QWidget &window, const char *name)
{
    return window.findChild<QComboBox *>(QString::fromLatin1(name));
}

void choose(QComboBox *list, const QString &text)
{
    const int item = list->findText(text);
    QVERIFY2(item >= 0, qPrintable(text));
    list->setCurrentIndex(item);
    Q_EMIT list->activated(item);
}

void typeDate(QWidget &window, const char *name, const QString &date)
{
    typeInto(window.findChild<DateField *>(QString::fromLatin1(name))->edit(), date);
}

// The user reaches a command on its tab: the tabs holding it are brought forward.
void showTabOf(QWidget *widget)
{
    for (QWidget *page = widget; page && page->parentWidget(); page = page->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(page->parentWidget()->parentWidget()); tabs && tabs->indexOf(page) >= 0)
            tabs->setCurrentWidget(page);
    }
}

void selectRow(QWidget &window, const char *grid, int row)
{
    window.findChild<QTableView *>(QString::fromLatin1(grid))->selectRow(row);
}

// TROVA by serial number: a search the prints find in force.
void searchSerial(QWidget &window, const QString &text)
{
    window.findChild<RadioGroup *>(QStringLiteral("RadioGroup3"))->button(2)->click();
    typeInto(lineEdit(window, "Edit1"), text);
    button(window, "LbSpeedButton1")->click();
}

QString text(const QList<QStringList> &pages)
{
    QStringList lines;
    for (const QStringList &page : pages)
        lines << page;
    return lines.join(QLatin1Char('\n'));
}

QStringList serialsIn(const QString &printed)
{
    static const QRegularExpression serial(QStringLiteral("\\b(?:OL|CU|RC)\\d{5,7}(?!\\d)"));
    QStringList found;
    for (auto match = serial.globalMatch(printed); match.hasNext();)
        found << match.next().captured();
    return found;
}

// A template of the user's: its own name, then what the registries stand on, "Header", and the rows.
report::Template userTemplate(const QString &name)
{
    using namespace report;
    Template layout;
    layout.name = name;
    layout.bands << Band{BandKind::ReportTitle, 12, {},
                         {textBox({0, 0, 190, 10}, name + QStringLiteral(": [dm.Tabesercizio.\"Ragione_sociale\"] [dm.Tabms.\"Marchio_ms\"] "
                                                                        "[dm.Tabtecnico.\"Cogn_nome\"] [dm.TabLsogg.\"Id_al_sigillo\"] [Header]"))}}
                  << Band{BandKind::MasterData, 8, QStringLiteral("dm.Tabmisurazioni"),
                          {textBox({0, 0, 190, 6}, QStringLiteral("RIGA [dm.Tabmisurazioni.\"Matricola_ms\"]"))}};
    return layout;
}

} // namespace

Q_DECLARE_METATYPE(Inputs)

class tst_StampeMisurazioni : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<RegisterArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    QTemporaryDir m_out;

    void setUp() override
    {
        m_archive = std::make_unique<RegisterArchive>();
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_archive.reset();
    }

    QString pdfPath(const QString &name) const { return m_out.filePath(name + QStringLiteral(".pdf")); }

    static QDir frf()
    {
        QDir base(appState().DirBase);
        base.mkpath(QStringLiteral("frf"));
        return QDir(base.filePath(QStringLiteral("frf")));
    }
    static void writeUserTemplate(const QString &name)
    {
        QString error;
        QVERIFY2(report::saveTemplate(userTemplate(name), frf().filePath(name), &error), qPrintable(error));
    }

private Q_SLOTS:
    void eachListPrintsItsHeadingAndTheRowsOfItsSelection_data()
    {
        QTest::addColumn<Inputs>("inputs");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("serials");
        const Inputs firstHalf = [](QWidget &window) {
            typeDate(window, "DateEdit1", QStringLiteral("01/01/2010"));
            typeDate(window, "DateEdit2", QStringLiteral("30/06/2010"));
        };
        const QString period = QStringLiteral("Stampa elenco verifiche dal 01/01/2010 al 30/06/2010");
        QTest::newRow("elenco dal..al..") << firstHalf << QByteArray("SpeedButton7") << period << QStringList{"OL123456", "OL1234567"};
        QTest::newRow("elenco compresso") << firstHalf << QByteArray("SpeedButton14") << period << QStringList{"OL123456", "OL1234567"};
        QTest::newRow("by start date in FORLÌ")
            << Inputs([](QWidget &window) {
                   typeDate(window, "DateEdit1", QStringLiteral("01/01/2010"));
                   typeDate(window, "DateEdit2", QStringLiteral("31/12/2010"));
                   window.findChild<RadioGroup *>(QStringLiteral("RadioGroup1"))->button(0)->click();
                   choose(combo(window, "ComboBox2"), QStringLiteral("FORLÌ"));
               })
            << QByteArray("SpeedButton7") << QStringLiteral("Stampa elenco verifiche dal 01/01/2010 al 31/12/2010")
            << QStringList{"OL1234567"};
        QTest::newRow("scheda ditta")
            << Inputs([](QWidget &window) { typeInto(lineEdit(window, "Edit2"), QStringLiteral("BAR L'AQUILA")); })
            << QByteArray("SpeedButton11") << QStringLiteral("Stampa scheda verifiche del cliente: BAR L'AQUILA")
            << QStringList{"OL123456", "RC12345"};
        QTest::newRow("esito positivo") << Inputs([](QWidget &) {}) << QByteArray("SpeedButton13")
                                        << QStringLiteral("Stampa elenco verifiche con esito : Positivo")
                                        << QStringList{"OL123456", "CU000001", "RC12345", "RC7654321"};
        QTest::newRow("esito negativo")
            << Inputs([](QWidget &window) { window.findChild<RadioGroup *>(QStringLiteral("RadioGroup2"))->button(1)->click(); })
            << QByteArray("SpeedButton13") << QStringLiteral("Stampa elenco verifiche con esito : Negativo") << QStringList{"OL1234567"};
        QTest::newRow("tecnico") << Inputs([](QWidget &window) { selectRow(window, "RxDBGrid2", 0); }) << QByteArray("SpeedButton12")
                                 << QStringLiteral("Stampa elenco verifiche del tecnico: BIANCHI LUCA")
                                 << QStringList{"OL1234567", "RC12345"};
        QTest::newRow("tipo intervento") << Inputs([](QWidget &window) { choose(combo(window, "ComboBox7"), QStringLiteral("4")); })
                                         << QByteArray("SpeedButton29") << QStringLiteral("Stampa elenco verifiche per tipo intervento")
                                         << QStringList{"RC12345"};
    }
    void eachListPrintsItsHeadingAndTheRowsOfItsSelection()
    {
        QFETCH(Inputs, inputs);
        QFETCH(QByteArray, command);
        QFETCH(QString, heading);
        QFETCH(QStringList, serials);
        QList<QStringList> pages;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            // A search in force goes with the print.
            searchSerial(window, QStringLiteral("RC"));
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 2);
            inputs(window);
            pages = printThroughPreview(button(window, command.constData()), pdfPath(QString::fromLatin1(command)),
                                        QStringLiteral("stampa-") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 5);
            QVERIFY(!dm->Tabmisurazioni->isFiltered());
            QVERIFY(!appState().RicercaInCorso);
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(!pages.isEmpty());
        QCOMPARE(pages.first().first(), heading);
        QCOMPARE(serialsIn(text(pages)), serials);
        QCOMPARE(pages.last().last(), QStringLiteral("Pagina %1").arg(pages.size()));
    }

    void aListBlockHoldsTheRowsFields_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QStringList>("lines"); // each found in the print, in this order
        QTest::newRow("the list") << QByteArray("SpeedButton13")
                                  << QStringList{"Dati Esercizio\\s+Misuratore:\\s+Data inizio",
                                                 "Tipo istallazione:\\s+Data fine",
                                                 "Esito",
                                                 "PIZZERIA FORLÌ\\s+OLIVETTI NETTUNA\\s+10/05/2010",
                                                 "01234567897\\s+OL OL1234567\\s+12/05/2010",
                                                 "CORSO MAZZINI 2\\s+Messa in servizio\\s+Esito Negativo",
                                                 "47121 FORLÌ FC",
                                                 "Tecnico incaricato : BIANCHI LUCA"};
        QTest::newRow("the period list") << QByteArray("SpeedButton7")
                                         << QStringList{"Tipo Int. - Esito:\\s+Data fine", "prossima",
                                                        "CORSO MAZZINI 2\\s+Messa in servizioEsito Negativo"};
        QTest::newRow("the compressed list")
            << QByteArray("SpeedButton14")
            << QStringList{"Dati Esercizio\\s+Data inizio\\s+Data fine\\s+Data prossima", "Misuratore:\\s+Tecnico\\s+Esito\\s+verifica",
                           "PIZZERIA FORLÌ--CORSO MAZZINI 247121 FORLÌ\\s+10/05/2010---12/05/2010",
                           "NETTUNA OL1234567Messa in servizio\\s+BIANCHI LUCA\\s+Esito Negativo"};
    }
    void aListBlockHoldsTheRowsFields()
    {
        QFETCH(QByteArray, command);
        QFETCH(QStringList, lines);
        QString printed;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            window.findChild<RadioGroup *>(QStringLiteral("RadioGroup2"))->button(1)->click();
            typeDate(window, "DateEdit1", QStringLiteral("01/05/2010"));
            typeDate(window, "DateEdit2", QStringLiteral("31/05/2010"));
            printed = text(printThroughPreview(button(window, command.constData()), pdfPath(QStringLiteral("blocco")),
                                       QStringLiteral("stampa-blocco-") + QString::fromLatin1(command)));
            button(window, "SpeedButton4")->click();
        });
        qsizetype from = 0;
        for (const QString &line : std::as_const(lines)) {
            const QRegularExpressionMatch found = QRegularExpression(line).match(printed, from);
            QVERIFY2(found.hasMatch(), qPrintable(line + QStringLiteral("\nnot found after ") + printed.mid(from)));
            from = found.capturedEnd();
        }
    }

    void aMissingOrWrongInputStopsThePrint_data()
    {
        QTest::addColumn<Inputs>("inputs");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("message"); // empty: nothing said
        QTest::addColumn<QString>("focus");
        QTest::newRow("no start date") << Inputs([](QWidget &window) { typeDate(window, "DateEdit2", QStringLiteral("30/06/2010")); })
                                       << QByteArray("SpeedButton7") << QStringLiteral("errore sulla data") << QStringLiteral("DateEdit1");
        QTest::newRow("no end date, compressed")
            << Inputs([](QWidget &window) { typeDate(window, "DateEdit1", QStringLiteral("01/01/2010")); }) << QByteArray("SpeedButton14")
            << QStringLiteral("errore sulla data") << QStringLiteral("DateEdit2");
        QTest::newRow("a date that does not exist")
            << Inputs([](QWidget &window) {
                   typeDate(window, "DateEdit1", QStringLiteral("31/02/2010"));
                   typeDate(window, "DateEdit2", QStringLiteral("30/06/2010"));
               })
            << QByteArray("SpeedButton7") << QStringLiteral("O la tabella misurazioni è impegnata O le date inserite non sono valide")
            << QString();
        QTest::newRow("no shop") << Inputs([](QWidget &window) { typeInto(lineEdit(window, "Edit2"), QStringLiteral("BAR CHE NON C'È")); })
                                 << QByteArray("SpeedButton11") << QStringLiteral("inserire un esercizio") << QStringLiteral("Edit2");
        QTest::newRow("no type") << Inputs([](QWidget &) {}) << QByteArray("SpeedButton29") << QString() << QString();
    }
    void aMissingOrWrongInputStopsThePrint()
    {
        QFETCH(Inputs, inputs);
        QFETCH(QByteArray, command);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            inputs(window);
            // No preview is queued: one opening would end the test.
            showTabOf(button(window, command.constData()));
            button(window, command.constData())->click();
            if (!focus.isEmpty()) {
                QWidget *input = window.findChild<QWidget *>(focus);
                QCOMPARE(QApplication::focusWidget(), input->focusProxy() ? input->focusProxy() : input);
            }
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 5);
            QVERIFY(!dm->Tabmisurazioni->isFiltered());
            button(window, "SpeedButton4")->click();
        });
        const QList<ShownMessage> said = message.isEmpty() ? QList<ShownMessage>{} : QList<ShownMessage>{{MessageKind::Plain, message}};
        QCOMPARE(Messages::shown(), said);
    }

    void theDetailPrintsTheCurrentRowAndLeavesTheSearch()
    {
        QList<QStringList> pages;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            searchSerial(window, QStringLiteral("RC"));
            selectRow(window, "RxDBGrid1", 0);
            QCOMPARE(dm->Tabmisurazioni->asString(QStringLiteral("Matricola_ms")), QStringLiteral("RC12345"));
            pages = printThroughPreview(button(window, "SpeedButton5"), pdfPath(QStringLiteral("dettaglio")),
                                        QStringLiteral("stampa-dettaglio-verifica"));
            QVERIFY(appState().RicercaInCorso);
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 2);
            QCOMPARE(dm->Tabmisurazioni->asString(QStringLiteral("Matricola_ms")), QStringLiteral("RC12345"));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(pages.size(), 1);
        const QStringList expected{"Verifica periodica al misuratore con matricola:",
                                   "RC12345 - RCHGLOBE",
                                   "RC",
                                   "DITTA:",
                                   "BAR L'AQUILA",
                                   "12345678903",
                                   "VIA ROMA 1",
                                   "67100 L'AQUILA AQ",
                                   "In data 03/11/2010 è iniziata la verifca periodica sul misuratore fiscale:",
                                   "RCH GLOBE",
                                   "RC RC12345",
                                   "L'intervento sul misuratore riguarda : .",
                                   "La verifica si è conclusa in data :04/11/2010",
                                   "L'intervento ha dato Esito Positivo",
                                   "Il tecnico incaricato : BIANCHI LUCA"};
        QStringList printed = pages.first();
        // pdftotext keeps some runs of blanks and drops others.
        for (QString &line : printed)
            line.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        QCOMPARE(printed, expected);
    }

    void theSecondOfTheUserTemplatesPrintsTheRowWithItsRegistries()
    {
        writeUserTemplate(QStringLiteral("primo.frf"));
        writeUserTemplate(QStringLiteral("secondo.frf"));
        QList<QStringList> pages;
        QString current;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QCOMPARE(combo(window, "ComboBox6")->count(), 2);
            QCOMPARE(combo(window, "ComboBox6")->currentIndex(), 1);
            current = combo(window, "ComboBox6")->currentText();
            typeDate(window, "DateEdit1", QStringLiteral("01/01/2010"));
            selectRow(window, "RxDBGrid1", 1);
            // The registries stand elsewhere: the print puts them on the row's own records.
            dm->Tabesercizio->first();
            dm->Tabtecnico->last();
            pages = printThroughPreview(button(window, "SpeedButton27"), pdfPath(QStringLiteral("utente")), QStringLiteral("stampa-utente"));
            QCOMPARE(dm->Tabmisurazioni->recordCount(), 5);
            QCOMPARE(dm->Tabmisurazioni->asString(QStringLiteral("Matricola_ms")), QStringLiteral("OL1234567"));
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(pages, (QList<QStringList>{
                            {current + QStringLiteral(": PIZZERIA FORLÌ OLIVETTI BIANCHI LUCA CD0002 01/01/2010"), "RIGA OL1234567"}}));
    }

    void aBrokenUserTemplateIsSkippedSilently_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("a damaged file") << QByteArray("{\"format\": \"sigillo-frf\", \"version\": 1, \"bands\": [{\"kind\": ");
        QTest::newRow("an empty file") << QByteArray();
    }
    void aBrokenUserTemplateIsSkippedSilently()
    {
        QFETCH(QByteArray, content);
        writeUserTemplate(QStringLiteral("buono.frf"));
        QFile broken(frf().filePath(QStringLiteral("rotto.frf")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(content);
        broken.close();
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QComboBox *list = combo(window, "ComboBox6");
            QCOMPARE(list->count(), 2);
            // Whatever order the folder gives, the broken one leaves nothing to print, and says nothing.
            for (const QString &name : {QStringLiteral("buono.frf"), QStringLiteral("rotto.frf"), QStringLiteral("buono.frf")}) {
                choose(list, name);
                QVERIFY(Messages::shown().isEmpty());
                if (name == QLatin1String("rotto.frf")) {
                    button(window, "SpeedButton27")->click();
                    QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Plain, NoUserTemplate}}));
                    Messages::clear();
                } else {
                    const QList<QStringList> pages =
                        printThroughPreview(button(window, "SpeedButton27"), pdfPath(QStringLiteral("buono")), QStringLiteral("stampa-buono"));
                    QVERIFY(pages.value(0).value(0).startsWith(QStringLiteral("buono.frf:")));
                }
            }
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void aLoneUserTemplateIsListedButLoadedOnlyWhenChosen()
    {
        writeUserTemplate(QStringLiteral("unico.frf"));
        QList<QStringList> pages;
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            QCOMPARE(combo(window, "ComboBox6")->count(), 1);
            QCOMPARE(combo(window, "ComboBox6")->currentIndex(), -1);
            button(window, "SpeedButton27")->click();
            QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Plain, NoUserTemplate}}));
            choose(combo(window, "ComboBox6"), QStringLiteral("unico.frf"));
            pages = printThroughPreview(button(window, "SpeedButton27"), pdfPath(QStringLiteral("unico")), QStringLiteral("stampa-unico"));
            button(window, "SpeedButton4")->click();
        });
        QCOMPARE(pages.value(0).value(0).section(QLatin1Char(':'), 0, 0), QStringLiteral("unico.frf"));
    }

    void editaReportOpensTheDesignerOnTheLoadedTemplate()
    {
        writeUserTemplate(QStringLiteral("primo.frf"));
        writeUserTemplate(QStringLiteral("secondo.frf"));
        openWindow<TMisurazioniForm>(MisurazioniForm, [&](TMisurazioniForm &window) {
            const QString current = combo(window, "ComboBox6")->currentText();
            ModalWindows::setNextHandler([&](QDialog &shown) {
                auto &designer = static_cast<report::DesignerWindow &>(shown);
                QCOMPARE(designer.layout(), userTemplate(current));
                QCOMPARE(designer.filePath(), frf().filePath(current));
                designer.reject();
            });
            button(window, "SpeedButton28")->click();
            button(window, "SpeedButton4")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }
};

QTEST_MAIN(tst_StampeMisurazioni)
#include "tst_stampe_misurazioni.moc"
