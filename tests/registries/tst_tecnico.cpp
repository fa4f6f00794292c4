// The technicians window: the reported entries and the variation rows they leave, the plain entries,
// the fiscal code, the municipality search, deletion, the variation list, the picker and the close guard.

#include "data/catalogue.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "guitest.h"
#include "registries/tecnicow.h"
#include "registries/zoom_comuniw.h"
#include "testbase.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/radiogroup.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStackedWidget>

#include <memory>

using engine::Table;
using engine::TableState;

namespace {

const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString DeleteQuestion = QStringLiteral("Sei sicuro di volere cancellare il tecnico selezionato?");
const QString Impossible = QStringLiteral("Eliminazione impossibile. Eliminare prima le verificazioni fatte da questo tecnico.");
const QString Deleted = QStringLiteral("Tecnico eliminato correttamente.");
const QString Finish = QStringLiteral("Terminare la fase di inserimento con i tasti di conferma");
const QString UseTheCommands = QStringLiteral("Per uscire dalla finestra usare i tasti opportuni");
// ROSSI MARIO, born a man in Rome on 1 January 1980.
const QString RossiCode = QStringLiteral("RSSMRA80A01H501U");

// The fields a variation copies from its technician whatever it reports.
const QStringList Copied{"Cf", "Cognome", "Nome", "Sesso", "Data_nascita", "Comune_nascita", "Prov_nascita",
                         "Id_nu_sigillo", "Responsabile", "Titolo_studio", "Id_sogg"};

// The confirm and cancel buttons of an entry page.
struct EntryButtons {
    const char *ok;
    const char *cancel;
};
EntryButtons entryButtons(int page)
{
    switch (page) {
    case TtecnicoForm::NewPage:
        return {"Button1", "Button2"};
    case TtecnicoForm::ChangePage:
        return {"Button3", "Button4"};
    case TtecnicoForm::EndPage:
        return {"Button5", "Button6"};
    default:
        return {"Button7", "Button8"};
    }
}

int page(QWidget &window)
{
    return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex();
}

QComboBox *combo(QWidget &window, const QString &name)
{
    auto *found = window.findChild<QComboBox *>(name);
    if (!found)
        qFatal("no list %s", qPrintable(name));
    return found;
}

// Chooses an item as the user does.
void choose(QWidget &window, const QString &name, int item)
{
    QComboBox *list = combo(window, name);
    list->setCurrentIndex(item);
    Q_EMIT list->activated(item);
}

RadioGroup *quarters(QWidget &window, int page)
{
    return window.findChild<RadioGroup *>(QStringLiteral("Trimestre%1").arg(page + 1));
}

QLineEdit *field(QWidget &window, const char *name, int page)
{
    return lineEdit(window, (QString::fromLatin1(name) + QString::number(page + 1)).toLatin1().constData());
}

// Every field of a new technician, typed on the page: ROSSI MARIO of Rome under the second authorisation.
void typeNewTechnician(QWidget &window, int page)
{
    typeInto(field(window, "Cognome", page), QStringLiteral("rossi"));
    typeInto(field(window, "Nome", page), QStringLiteral("mario"));
    choose(window, QStringLiteral("Sesso%1").arg(page + 1), 0);
    typeInto(field(window, "Data_nascita", page), QStringLiteral("01011980"));
    typeInto(field(window, "Comune_nascita", page), QStringLiteral("roma"));
    typeInto(field(window, "Id_nu_sigillo", page), QStringLiteral("0042"));
    choose(window, QStringLiteral("Id_sogg%1").arg(page + 1), 1);
    choose(window, QStringLiteral("Responsabile%1").arg(page + 1), 0);
    choose(window, QStringLiteral("Titolo_studio%1").arg(page + 1), 4);
    typeInto(field(window, "Data_inizio", page), QStringLiteral("01072019"));
}

const PickerCommands Picker{"SpeedButton3", "SpeedButton6", "SpeedButton7"};

} // namespace

class tst_Tecnico : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    void addTechnician(const QVariantMap &values)
    {
        Table *technicians = m_data->Tabtecnico;
        technicians->append();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            technicians->setValue(it.key(), it.value());
        technicians->post();
    }
    bool locateTechnician(const QString &surname) { return m_data->Tabtecnico->locate(QStringLiteral("Cognome"), {surname}); }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2019"));
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}, {"PG_denominazione", "LAB SRL"}}});
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {{{"Id_Lsogg", 1}, {"Id_sogg", 1}, {"Id_al_sigillo", "AB123"}},
                                                                     {{"Id_Lsogg", 2}, {"Id_sogg", 1}, {"Id_al_sigillo", "CD456"}}});
        TestBase::addDataRows(QStringLiteral("COMUNI_new"),
                              {{{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
                               {{"COMUNE", "L'AQUILA"}, {"PROVINCIAI", "AQ"}, {"CODICEFISC", "A345"}, {"CAP", "67100"}},
                               {{"COMUNE", "FORLÌ"}, {"PROVINCIAI", "FC"}, {"CODICEFISC", "D704"}, {"CAP", "47121"}}});
        // BIANCHI has a verification in the working year, VERDI only in the year before.
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {{{"Id_misurazioni", 1}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"COMUNE", "ROMA"}}});
        const QString before = QDir(m_base->path()).filePath(QStringLiteral("2018"));
        catalogue::createMissingTables(before, catalogue::yearTables());
        TestBase::addRows(before, QStringLiteral("misurazioni2"),
                          {{{"Id_misurazioni", 1}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 2}}});
        TestBase::addDataRows(QStringLiteral("MOD_TECNICI"),
                              {{{"ID_MOD", 1}, {"Id_tecnico", 2}, {"FLAG_VARIAZIONE", "I"}, {"Cf", "VRDNNA82S43D704K"},
                                {"Cognome", "VERDI"}, {"Nome", "ANNA"}, {"Sesso", "F"}, {"Data_nascita", QDate(1982, 11, 3)},
                                {"Comune_nascita", "FORLÌ"}, {"Prov_nascita", "FC"}, {"Id_nu_sigillo", "0002"},
                                {"Responsabile", "0"}, {"Titolo_studio", "4"}, {"Data_inizio", QDate(2015, 6, 1)},
                                {"Id_sogg", 2}, {"Anno_variazione", "2015"}, {"TRI_variazione", 2}}});
        m_data = std::make_unique<Tdm>();
        // Through the shared cursor, so that the rules give names, provinces and fiscal codes.
        addTechnician({{"Cognome", "BIANCHI"}, {"Nome", "LUCA"}, {"Sesso", "M"}, {"Data_nascita", QDate(1975, 5, 10)},
                       {"Comune_nascita", "L'AQUILA"}, {"Id_nu_sigillo", "0001"}, {"Id_sogg", 1}, {"Responsabile", "1"},
                       {"Titolo_studio", "3"}, {"Data_inizio", QDate(2010, 2, 1)}});
        addTechnician({{"Cognome", "VERDI"}, {"Nome", "ANNA"}, {"Sesso", "F"}, {"Data_nascita", QDate(1982, 11, 3)},
                       {"Comune_nascita", "FORLÌ"}, {"Id_nu_sigillo", "0002"}, {"Id_sogg", 2}, {"Responsabile", "0"},
                       {"Titolo_studio", "4"}, {"Data_inizio", QDate(2015, 6, 1)}});
        // No start date, and an authorisation that is not the laboratory's.
        addTechnician({{"Cognome", "NERI"}, {"Nome", "PAOLO"}, {"Sesso", "M"}, {"Data_nascita", QDate(1990, 1, 20)},
                       {"Comune_nascita", "ROMA"}, {"Id_nu_sigillo", "0003"}, {"Id_sogg", 99}, {"Responsabile", "0"},
                       {"Titolo_studio", "2"}});
        m_data->Tabtecnico->first();
    }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void eachEntryStoresItsVariation_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("technician"); // the one selected; empty for a new one
        QTest::addColumn<int>("entryPage");
        QTest::addColumn<int>("quarter");        // -1: none chosen
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("flag");       // the variation written; empty for none
        QTest::newRow("new technician in quarter 3") << "SpeedButton11" << "" << int(TtecnicoForm::NewPage) << 2 << true << "I";
        QTest::newRow("new technician, no quarter") << "SpeedButton11" << "" << int(TtecnicoForm::NewPage) << -1 << false << "";
        QTest::newRow("other data in quarter 2") << "SpeedButton13" << "BIANCHI" << int(TtecnicoForm::ChangePage) << 1 << true << "M";
        QTest::newRow("other data without a start date")
            << "SpeedButton13" << "NERI" << int(TtecnicoForm::ChangePage) << 1 << false << "";
        QTest::newRow("end of collaboration in quarter 3") << "SpeedButton12" << "VERDI" << int(TtecnicoForm::EndPage) << 2 << true << "F";
        QTest::newRow("end of collaboration, no quarter") << "SpeedButton12" << "VERDI" << int(TtecnicoForm::EndPage) << -1 << false << "";
        QTest::newRow("plain Nuovo") << "SpeedButton14" << "" << int(TtecnicoForm::PlainPage) << -1 << true << "";
        QTest::newRow("plain Modifica") << "SpeedButton15" << "BIANCHI" << int(TtecnicoForm::PlainPage) << -1 << true << "";
    }
    void eachEntryStoresItsVariation()
    {
        QFETCH(QString, command);
        QFETCH(QString, technician);
        QFETCH(int, entryPage);
        QFETCH(int, quarter);
        QFETCH(bool, stored);
        QFETCH(QString, flag);
        if (!technician.isEmpty())
            QVERIFY(locateTechnician(technician));
        const bool reported = entryPage != TtecnicoForm::PlainPage;
        QVariant id;
        openWindow<TtecnicoForm>(tecnicoForm, [&](TtecnicoForm &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            if (!technician.isEmpty())
                window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->selectRow(dm->Tabtecnico->recNo() - 1);
            button(window, command.toLatin1().constData())->click();
            QCOMPARE(page(window), entryPage);
            if (reported) {
                QCOMPARE(field(window, "Anno", entryPage)->text(), QStringLiteral("2019"));
                QCOMPARE(quarters(window, entryPage)->itemIndex(), -1);
            }
            if (technician.isEmpty())
                typeNewTechnician(window, entryPage);
            else if (entryPage == TtecnicoForm::EndPage)
                typeInto(field(window, "Data_fine", entryPage), QStringLiteral("30092019"));
            else
                typeInto(field(window, "Id_nu_sigillo", entryPage), QStringLiteral("0099"));
            if (quarter >= 0)
                quarters(window, entryPage)->button(quarter)->click();
            if (entryPage == TtecnicoForm::NewPage && quarter == 2)
                shoot(window, QStringLiteral("tecnici_nuovo"));
            id = dm->Tabtecnico->value(QStringLiteral("Id_tecnico"));

            button(window, entryButtons(entryPage).ok)->click();
            QCOMPARE(page(window), stored ? int(TtecnicoForm::ListPage) : entryPage);
            QCOMPARE(dm->Tabtecnico->isEditing(), !stored);
            if (!stored)
                button(window, entryButtons(entryPage).cancel)->click();
            button(window, "SpeedButton3")->click();
        });
        QCOMPARE(Messages::shownTexts(), stored ? QStringList() : QStringList{Incomplete});
        QCOMPARE(m_data->Tabtecnico->recordCount(), technician.isEmpty() && stored ? 4 : 3);
        Table *variations = m_data->TabMod_tecnici;
        QCOMPARE(variations->recordCount(), flag.isEmpty() ? 1 : 2);
        if (!stored)
            return;
        QVERIFY(m_data->Tabtecnico->locate(QStringLiteral("Id_tecnico"), {id}));
        const Table &saved = *m_data->Tabtecnico;
        if (technician.isEmpty()) {
            QCOMPARE(id, QVariant(4));
            QCOMPARE(saved.asString(QStringLiteral("Cogn_nome")), QStringLiteral("ROSSI MARIO"));
            QCOMPARE(saved.asString(QStringLiteral("Prov_nascita")), QStringLiteral("RM"));
            QCOMPARE(saved.asString(QStringLiteral("Cf")), RossiCode);
            QCOMPARE(saved.asString(QStringLiteral("al_sigillo")), QStringLiteral("CD456"));
        } else if (entryPage != TtecnicoForm::EndPage) {
            QCOMPARE(saved.asString(QStringLiteral("Id_nu_sigillo")), QStringLiteral("0099"));
        }
        if (flag.isEmpty())
            return;

        variations->last();
        QCOMPARE(variations->asInteger(QStringLiteral("ID_MOD")), 2);
        QCOMPARE(variations->value(QStringLiteral("Id_tecnico")), id);
        QCOMPARE(variations->asString(QStringLiteral("FLAG_VARIAZIONE")), flag);
        QCOMPARE(variations->asString(QStringLiteral("Anno_variazione")), QStringLiteral("2019"));
        QCOMPARE(variations->value(QStringLiteral("TRI_variazione")), QVariant(quarter + 1));
        QCOMPARE(variations->asString(QStringLiteral("Cogn_nome")), QString());
        for (const QString &copied : Copied)
            QVERIFY2(variations->value(copied) == saved.value(copied) && !saved.isNull(copied), qPrintable(copied));
        QCOMPARE(variations->value(QStringLiteral("Data_inizio")), flag == QLatin1String("M") ? QVariant() : saved.value(QStringLiteral("Data_inizio")));
        QCOMPARE(variations->value(QStringLiteral("Data_fine")), flag == QLatin1String("F") ? QVariant(QDate(2019, 9, 30)) : QVariant());
        QVERIFY(!saved.isNull(QStringLiteral("Data_inizio")));
    }

    void personalDataRecomputeTheCodeOverAnyTypedOne()
    {
        QVERIFY(locateTechnician(QStringLiteral("BIANCHI")));
        const QString stored = m_data->Tabtecnico->asString(QStringLiteral("Cf"));
        QCOMPARE(stored.size(), 16);
        openWindow<TtecnicoForm>(tecnicoForm, [&](TtecnicoForm &window) {
            const int plain = TtecnicoForm::PlainPage;
            button(window, "SpeedButton15")->click();
            auto *code = static_cast<DBEdit *>(field(window, "Cf", plain));
            QVERIFY(code->isReadOnly());

            typeInto(field(window, "Cognome", plain), QStringLiteral("biondi"));
            QVERIFY(static_cast<DBEdit *>(field(window, "Cognome", plain))->commit());
            QCOMPARE(dm->Tabtecnico->asString(QStringLiteral("Cogn_nome")), QStringLiteral("BIONDI LUCA"));
            const QString recomputed = code->text();
            QVERIFY(recomputed.startsWith(QStringLiteral("BNDLCU75E10A345")));
            QVERIFY(recomputed != stored);

            button(window, "SpeedButton16")->click();
            QVERIFY(!code->isReadOnly());
            typeInto(code, QStringLiteral("bndlcu75e10a345q"));
            QVERIFY(code->commit());
            QCOMPARE(dm->Tabtecnico->asString(QStringLiteral("Cf")), QStringLiteral("BNDLCU75E10A345Q"));

            typeInto(field(window, "Nome", plain), QStringLiteral("marco"));
            shoot(window, QStringLiteral("tecnici_rettifica"));
            button(window, "Button7")->click();
            QCOMPARE(page(window), int(TtecnicoForm::ListPage));
            // The next entry starts with the code locked again.
            button(window, "SpeedButton11")->click();
            QVERIFY(field(window, "Cf", TtecnicoForm::NewPage)->isReadOnly());
            button(window, "Button2")->click();
            button(window, "SpeedButton3")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(locateTechnician(QStringLiteral("BIONDI")));
        const QString code = m_data->Tabtecnico->asString(QStringLiteral("Cf"));
        QVERIFY(code.startsWith(QStringLiteral("BNDMRC75E10A345")));
        QCOMPARE(m_data->Tabtecnico->asString(QStringLiteral("Cogn_nome")), QStringLiteral("BIONDI MARCO"));
        QCOMPARE(m_data->TabMod_tecnici->recordCount(), 1);
    }

    void theMunicipalitySearchFillsBirthPlaceProvinceAndCode_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("entryPage");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("tag");
        QTest::newRow("new technician") << "SpeedButton11" << int(TtecnicoForm::NewPage) << "SpeedButton17" << "TECNICO1";
        QTest::newRow("other data") << "SpeedButton13" << int(TtecnicoForm::ChangePage) << "SpeedButton18" << "TECNICO2";
        QTest::newRow("plain entry") << "SpeedButton15" << int(TtecnicoForm::PlainPage) << "SpeedButton19" << "TECNICO3";
    }
    void theMunicipalitySearchFillsBirthPlaceProvinceAndCode()
    {
        QFETCH(QString, command);
        QFETCH(int, entryPage);
        QFETCH(QString, search);
        QFETCH(QString, tag);
        QString zoomTag;
        QString positioned;
        openWindow<TtecnicoForm>(tecnicoForm, [&](TtecnicoForm &window) {
            // Active, so that each field leaves its text in the row as the focus moves on.
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, command.toLatin1().constData())->click();
            if (entryPage == TtecnicoForm::NewPage)
                typeNewTechnician(window, entryPage);
            typeInto(field(window, "Comune_nascita", entryPage), QStringLiteral("FOR"));
            ModalWindows::setNextHandler([&](QDialog &zoom) {
                zoomTag = appState().ChiamanteComuni;
                positioned = dm->Tabcomuni->asString(QStringLiteral("COMUNE"));
                button(zoom, "RxSpeedButton1")->click();
            });
            button(window, search.toLatin1().constData())->click();
            QCOMPARE(field(window, "Comune_nascita", entryPage)->text(), QStringLiteral("FORLÌ"));
            QCOMPARE(field(window, "Prov_nascita", entryPage)->text(), QStringLiteral("FC"));
            QCOMPARE(field(window, "Cf", entryPage)->text().mid(11, 4), QStringLiteral("D704"));
            QCOMPARE(page(window), entryPage);
            button(window, entryButtons(entryPage).cancel)->click();
            button(window, "SpeedButton3")->click();
        });
        QCOMPARE(zoomTag, tag);
        QCOMPARE(positioned, QStringLiteral("FORLÌ"));
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(m_data->Tabtecnico->recordCount(), 3);
    }

    void aTechnicianThePostRefusesLeavesNoVariation()
    {
        openWindow<TtecnicoForm>(tecnicoForm, [](TtecnicoForm &window) {
            button(window, "SpeedButton11")->click();
            // Another cursor stores a technician under the id the new one was given.
            TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 4}, {"Cognome", "ALTRO"}}});
            typeNewTechnician(window, TtecnicoForm::NewPage);
            quarters(window, TtecnicoForm::NewPage)->button(0)->click();
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(TtecnicoForm::NewPage));
            QCOMPARE(dm->Tabtecnico->state(), TableState::Insert);
            button(window, "Button2")->click();
            button(window, "SpeedButton3")->click();
        });
        QCOMPARE(Messages::shown().size(), 1);
        QCOMPARE(Messages::shown().constFirst().kind, MessageKind::Error);
        QCOMPARE(m_data->TabMod_tecnici->recordCount(), 1);
        QVERIFY(!locateTechnician(QStringLiteral("ROSSI")));
    }

    void deletingLooksOnlyAtTheWorkingYear_data()
    {
        QTest::addColumn<QString>("technician");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("filtered"); // the register's cursor filtered to hide every verification
        QTest::addColumn<QString>("outcome"); // the message after the question; empty: none
        QTest::newRow("verification in the working year") << "BIANCHI" << true << false << Impossible;
        QTest::newRow("verification hidden by the register's filter") << "BIANCHI" << true << true << Impossible;
        QTest::newRow("verifications only in another year") << "VERDI" << true << false << Deleted;
        QTest::newRow("No") << "NERI" << false << false << "";
    }
    void deletingLooksOnlyAtTheWorkingYear()
    {
        QFETCH(QString, technician);
        QFETCH(bool, answer);
        QFETCH(bool, filtered);
        QFETCH(QString, outcome);
        if (filtered) {
            m_data->Tabmisurazioni->setFilterText(QStringLiteral("[Id_tecnico] = 99"));
            m_data->Tabmisurazioni->setFiltered(true);
        }
        QVERIFY(locateTechnician(technician));
        Messages::setNextAnswer(answer);
        openWindow<TtecnicoForm>(tecnicoForm, [](TtecnicoForm &window) {
            button(window, "CheckBox1")->click();
            button(window, "SpeedButton4")->click();
            button(window, "SpeedButton3")->click();
        });
        QList<ShownMessage> expected{{MessageKind::Confirmation, DeleteQuestion}};
        if (!outcome.isEmpty())
            expected.append({outcome == Impossible ? MessageKind::Warning : MessageKind::Plain, outcome});
        QCOMPARE(Messages::shown(), expected);
        QCOMPARE(locateTechnician(technician), outcome != Deleted);
        QCOMPARE(m_data->Tabtecnico->recordCount(), outcome == Deleted ? 2 : 3);
        // The variations reported of a deleted technician stay.
        QCOMPARE(m_data->TabMod_tecnici->recordCount(), 1);
    }

    void anEmptyListHasNothingToEndOrDelete()
    {
        m_data->Tabtecnico->emptyTable();
        m_data->TabMod_tecnici->emptyTable();
        openWindow<TtecnicoForm>(tecnicoForm, [](TtecnicoForm &window) {
            button(window, "SpeedButton12")->click();
            QCOMPARE(page(window), int(TtecnicoForm::ListPage));
            button(window, "CheckBox1")->click();
            button(window, "SpeedButton4")->click();
            button(window, "SpeedButton9")->click();
            button(window, "SpeedButton2")->click();
            button(window, "SpeedButton10")->click();
        });
        QCOMPARE(Messages::shownTexts(), (QStringList{QStringLiteral("Nessun tecnico nell'elenco."), QStringLiteral("Nulla da eliminare"),
                                                      QStringLiteral("Nulla da eliminare")}));
        QVERIFY(m_data->Tabtecnico->isEmpty());
        QVERIFY(m_data->TabMod_tecnici->isEmpty());
    }

    void theListShowsEachTechniciansAuthorisation()
    {
        // Another authorisation under the cursor of the authorisations must not show for NERI's.
        m_data->TabLsogg->last();
        openWindow<TtecnicoForm>(tecnicoForm, [](TtecnicoForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Elenco tecnici:"));
            QAbstractItemModel *model = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid1"))->model();
            QStringList titles;
            for (int column = 0; column < 4; ++column)
                titles << model->headerData(column, Qt::Horizontal).toString();
            QCOMPARE(titles, (QStringList{"Cognome e nome", "Codice Fiscale", "Id alfanumerico del sigillo", "Id numerico del sigillo"}));
            QStringList rows;
            for (int row = 0; row < model->rowCount(); ++row)
                rows << model->index(row, 0).data().toString() + QLatin1Char('|') + model->index(row, 2).data().toString();
            QCOMPARE(rows, (QStringList{"BIANCHI LUCA|AB123", "NERI PAOLO|", "VERDI ANNA|CD456"}));

            // The plain commands and their warning show only on request.
            QWidget *panel = window.findChild<QWidget *>(QStringLiteral("Panel1"));
            QVERIFY(!panel->isVisible());
            button(window, "CheckBox1")->click();
            QVERIFY(panel->isVisible());
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                     QStringLiteral("ATTENZIONE: \nUSARE QUESTI BOTTONI SOLO PER RETTIFICARE DATI ERRATI OPPURE PER LA PRIMA INSTALLAZIONE"));
            shoot(window, QStringLiteral("tecnici"));
            button(window, "CheckBox1")->click();
            QVERIFY(!panel->isVisible());

            dm->Tabtecnico->locate(QStringLiteral("Cognome"), {QStringLiteral("NERI")});
            button(window, "SpeedButton15")->click();
            QCOMPARE(combo(window, QStringLiteral("Id_sogg6"))->currentIndex(), -1);
            QCOMPARE(combo(window, QStringLiteral("Id_sogg6"))->count(), 2);
            button(window, "Button8")->click();
            dm->Tabtecnico->locate(QStringLiteral("Cognome"), {QStringLiteral("VERDI")});
            button(window, "SpeedButton12")->click();
            shoot(window, QStringLiteral("tecnici_fine"));
            button(window, "Button6")->click();
            button(window, "SpeedButton3")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }

    void theVariationListDeletesAndBecomesEditable()
    {
        QList<bool> editable;
        Messages::setNextAnswer(false);
        Messages::setNextAnswer(true);
        openWindow<TtecnicoForm>(tecnicoForm, [&](TtecnicoForm &window) {
            button(window, "SpeedButton9")->click();
            QCOMPARE(page(window), int(TtecnicoForm::VariationsPage));
            auto *grid = window.findChild<DBGrid *>(QStringLiteral("RxDBGrid2"));
            QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Anno_variazione"));
            QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("2015"));
            QCOMPARE(window.findChild<QGroupBox *>(QStringLiteral("GroupBox2"))->title(), QStringLiteral("Leggenda Flag Variazione"));
            shoot(window, QStringLiteral("tecnici_variazioni"));

            const auto canEdit = [grid] { return bool(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable); };
            editable << canEdit();
            button(window, "SpeedButton20")->click();
            editable << canEdit();
            button(window, "SpeedButton2")->click();
            QCOMPARE(grid->model()->rowCount(), 1);
            button(window, "SpeedButton2")->click();
            QCOMPARE(grid->model()->rowCount(), 0);
            button(window, "SpeedButton8")->click();
            QCOMPARE(page(window), int(TtecnicoForm::ListPage));
            button(window, "SpeedButton3")->click();
        });
        QCOMPARE(editable, (QList<bool>{false, true}));
        const QString question = QStringLiteral("Sicuro di volere eliminare la riga selezionata?");
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Confirmation, question},
                                                          {MessageKind::Confirmation, question},
                                                          {MessageKind::Plain, QStringLiteral("Eliminato.")}}));
        QVERIFY(m_data->TabMod_tecnici->isEmpty());
    }

    void pickerAnswersThroughSceltaFatta_data() { addPickerAnswerRows(Picker); }
    void pickerAnswersThroughSceltaFatta()
    {
        QFETCH(bool, picking);
        QFETCH(QString, answer);
        QFETCH(bool, chosen);
        QCOMPARE(answerAsPicker(tecnicoForm, picking, Picker, "RxDBGrid1", 2, answer), chosen);
        // Name order: BIANCHI, NERI, VERDI.
        QCOMPARE(m_data->Tabtecnico->asString(QStringLiteral("Cognome")), QStringLiteral("VERDI"));
        QCOMPARE(m_data->Tabtecnico->asInteger(QStringLiteral("Id_tecnico")), 2);
        QVERIFY(Messages::shown().isEmpty());
    }

    void theFrameCannotCloseAnyPage_data()
    {
        QTest::addColumn<QString>("command"); // what leads to the page; empty: the list
        QTest::addColumn<QString>("back");    // what leads back to the list
        QTest::addColumn<QString>("refusal");
        QTest::newRow("list") << "" << "" << UseTheCommands;
        QTest::newRow("new technician") << "SpeedButton11" << "Button2" << Finish;
        QTest::newRow("variation list") << "SpeedButton9" << "SpeedButton8" << UseTheCommands;
        QTest::newRow("other data") << "SpeedButton13" << "Button4" << UseTheCommands;
        QTest::newRow("end of collaboration") << "SpeedButton12" << "Button6" << UseTheCommands;
        QTest::newRow("plain entry") << "SpeedButton14" << "Button8" << UseTheCommands;
    }
    void theFrameCannotCloseAnyPage()
    {
        QFETCH(QString, command);
        QFETCH(QString, back);
        QFETCH(QString, refusal);
        openWindow<TtecnicoForm>(tecnicoForm, [&](TtecnicoForm &window) {
            if (!command.isEmpty())
                button(window, command.toLatin1().constData())->click();
            const int shown = page(window);
            QVERIFY(!window.close());
            QCOMPARE(page(window), shown);
            if (!back.isEmpty())
                button(window, back.toLatin1().constData())->click();
            QCOMPARE(page(window), int(TtecnicoForm::ListPage));
            button(window, "SpeedButton3")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{refusal});
        QVERIFY(!m_data->Tabtecnico->isEditing());
        QCOMPARE(m_data->Tabtecnico->recordCount(), 3);
    }
};

QTEST_MAIN(tst_Tecnico)
#include "tst_tecnico.moc"
