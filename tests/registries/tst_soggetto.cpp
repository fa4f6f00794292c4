// The laboratory window and its authorisation dialog: the first row, the kind of subject and what it
// lets the user type, storing, the municipality search, and the authorisations added, changed and
// deleted.

#include "ground/messages.h"
#include "ground/state.h"
#include "data/tdm.h"
#include "guitest.h"
#include "registries/lsoggw.h"
#include "registries/soggettow.h"
#include "registries/zoom_comuniw.h"
#include "testbase.h"
#include "ui/dbgrid.h"
#include "ui/radiogroup.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QStackedWidget>

#include <memory>

using engine::Table;

namespace {

const QString LaboratoryMissing = QStringLiteral("Inserire prima i dati generali sul soggetto obbligato tramite il bottone modifica in alto.");
const QString Incomplete = QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi");
const QString DeleteQuestion = QStringLiteral("Sei sicuro di volere cancellare l'abilitazione selezionata?");
const QString TechniciansAttached = QStringLiteral("Eliminazione impossibile. Eliminare prima i tecnici legati a questa abilitazione.");
const QString Deleted = QStringLiteral("Abilitazione eliminata correttamente.");
const QString ValidPiva = QStringLiteral("12345678903");

const QStringList Legal{QStringLiteral("PG_denominazione"), QStringLiteral("PG_comune_fiscale")};
const QStringList Natural{QStringLiteral("PF_cognome"), QStringLiteral("PF_nome"), QStringLiteral("PF_sesso"),
                          QStringLiteral("Pf_data_nascita"), QStringLiteral("Pf_comune_nascita")};
const QStringList Provinces{QStringLiteral("PG_prov_fiscale"), QStringLiteral("Pf_prov_nascita")};

const QList<QVariantMap> municipalities{
    {{"COMUNE", "FORLÌ"}, {"PROVINCIAI", "FC"}, {"CODICEFISC", "D704"}, {"CAP", "47121"}},
    {{"COMUNE", "FORLÌ DEL SANNIO"}, {"PROVINCIAI", "IS"}, {"CODICEFISC", "D703"}, {"CAP", "86084"}},
    {{"COMUNE", "L'AQUILA"}, {"PROVINCIAI", "AQ"}, {"CODICEFISC", "A345"}, {"CAP", "67100"}},
};

QVariantMap laboratory(const QString &kind)
{
    return {{"Id_sogg_obbl", 7}, {"Piva", "12345678903"}, {"CF", "01234567890"}, {"PG_PF", kind},
            {"PG_denominazione", "L'OFFICINA DEI MISURATORI SRL"}, {"PG_comune_fiscale", "L'AQUILA"}, {"PG_prov_fiscale", "AQ"},
            {"PF_cognome", "BIANCHI"}, {"PF_nome", "ANNA"}, {"PF_sesso", "F"}, {"Pf_data_nascita", QDate(1975, 5, 31)},
            {"Pf_comune_nascita", "FORLÌ"}, {"Pf_prov_nascita", "FC"}};
}

QVariantMap authorisation(int id, const QString &type, const QString &seal)
{
    return {{"Id_Lsogg", id}, {"Id_sogg", 7}, {"Tipo_abilitazione", type}, {"Id_al_sigillo", seal}};
}

} // namespace

class tst_Soggetto : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    static int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
    static QWidget *field(QWidget &window, const QString &name) { return window.findChild<QWidget *>(QStringLiteral("DBEdit") + name); }
    static bool readOnly(QWidget *control)
    {
        const auto *edit = qobject_cast<QLineEdit *>(control);
        const bool locked = edit ? edit->isReadOnly() : !control->isEnabled();
        const QColor expected = locked ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white);
        if (control->palette().color(QPalette::Base) != expected)
            qFatal("%s: background does not match its state", qPrintable(control->objectName()));
        return locked;
    }
    static QStringList editableSubjectFields(QWidget &window)
    {
        QStringList editable;
        for (const QString &name : Legal + Natural + Provinces) {
            if (!readOnly(field(window, name)))
                editable << name;
        }
        return editable;
    }
    static QStringList gridColumn(QWidget &window, int column)
    {
        QAbstractItemModel *model = window.findChild<DBGrid *>(QStringLiteral("DBGrid1"))->model();
        QStringList values;
        for (int row = 0; row < model->rowCount(); ++row)
            values << model->index(row, column).data().toString();
        return values;
    }
    static void openLaboratory(std::function<void(Tsoggettoform &)> handler) { openWindow(soggettoform, std::move(handler)); }
    static void openDialog(Tsoggettoform &window, const char *command, std::function<void(Tlsogg_form &)> handler)
    {
        ModalWindows::setNextHandler([handler](QDialog &dialog) { handler(static_cast<Tlsogg_form &>(dialog)); });
        button(window, command)->click();
    }
    static void chooseType(Tlsogg_form &dialog, int item)
    {
        auto *type = dialog.findChild<QComboBox *>(QStringLiteral("DBComboBox1"));
        type->setFocus();
        for (int step = type->currentIndex(); step < item; ++step)
            QTest::keyClick(type, Qt::Key_Down);
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>();
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
    }
    void openData() { m_data = std::make_unique<Tdm>(); }

    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void anEmptyLaboratoryStartsWithModifica()
    {
        openData();
        openLaboratory([](Tsoggettoform &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Dati sul Soggetto Obbligato e relative abilitazioni"));
            QCOMPARE(page(window), int(Tsoggettoform::DisplayPage));
            // No kind yet: both subject groups are shown.
            QVERIFY(!window.findChild<QGroupBox *>(QStringLiteral("GroupBox2"))->isHidden());
            QVERIFY(!window.findChild<QGroupBox *>(QStringLiteral("GroupBox3"))->isHidden());
            button(window, "SpeedButton3")->click();
            button(window, "SpeedButton4")->click();
            QVERIFY(!dm->TabLsogg->isEditing());

            button(window, "SpeedButton2")->click();
            QCOMPARE(page(window), int(Tsoggettoform::EditPage));
            QCOMPARE(dm->Tabsoggetto->state(), engine::TableState::Insert);
            QCOMPARE(dm->Tabsoggetto->asInteger(QStringLiteral("Id_sogg_obbl")), 1);
            button(window, "Button2")->click();
            QCOMPARE(page(window), int(Tsoggettoform::DisplayPage));
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Information, LaboratoryMissing},
                                                         {MessageKind::Information, LaboratoryMissing}}));
        QVERIFY(m_data->Tabsoggetto->isEmpty());
        QVERIFY(m_data->TabLsogg->isEmpty());
    }

    void theKindDecidesTheGroupShownAndTheFieldsTyped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("editable");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QStringList>("editableAfter");
        QTest::newRow("no kind") << "" << QStringList() << 1 << Natural;
        QTest::newRow("legal person") << "0" << Legal << 1 << Natural;
        QTest::newRow("natural person") << "1" << Natural << 0 << Legal;
    }
    void theKindDecidesTheGroupShownAndTheFieldsTyped()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, editable);
        QFETCH(int, picked);
        QFETCH(QStringList, editableAfter);
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(kind)});
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            QCOMPARE(window.findChild<QGroupBox *>(QStringLiteral("GroupBox2"))->isHidden(), kind == QLatin1String("1"));
            QCOMPARE(window.findChild<QGroupBox *>(QStringLiteral("GroupBox3"))->isHidden(), kind == QLatin1String("0"));
            button(window, "SpeedButton2")->click();
            QCOMPARE(editableSubjectFields(window), editable);
            QVERIFY(!readOnly(field(window, QStringLiteral("Piva"))));
            QVERIFY(!readOnly(field(window, QStringLiteral("CF"))));
            if (kind == QLatin1String("0"))
                shoot(window, QStringLiteral("soggetto_modifica"));

            window.findChild<RadioGroup *>(QStringLiteral("DBRadioGroup1"))->button(picked)->click();
            QCOMPARE(dm->Tabsoggetto->asString(QStringLiteral("PG_PF")), QString::number(picked));
            QCOMPARE(editableSubjectFields(window), editableAfter);
            button(window, "Button2")->click();
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(m_data->Tabsoggetto->asString(QStringLiteral("PG_PF")), kind);
        QVERIFY(Messages::shown().isEmpty());
    }

    void okStoresOnlyWhatTheKindRequires_data()
    {
        QTest::addColumn<int>("kind"); // the item picked, -1 none
        QTest::addColumn<QVariantMap>("typed");
        QTest::addColumn<bool>("stored");
        const QVariantMap general{{"Piva", ValidPiva}, {"CF", "rssmra80a01d704x"}};
        QVariantMap legal = general;
        legal.insert({{"PG_denominazione", "l'officina srl"}, {"PG_comune_fiscale", "l'aquila"}});
        QVariantMap natural = general;
        natural.insert({{"PF_cognome", "rossi"}, {"PF_nome", "mario"}, {"PF_sesso", "M"}, {"Pf_data_nascita", "01011980"},
                        {"Pf_comune_nascita", "forlì"}});
        QVariantMap unknownSeat = legal;
        unknownSeat.insert("PG_comune_fiscale", "atlantide");
        QVariantMap noBirthDate = natural;
        noBirthDate.remove("Pf_data_nascita");
        QVariantMap noCode = legal;
        noCode.remove("CF");

        QTest::newRow("legal person") << 0 << legal << true;
        QTest::newRow("legal person, municipality not listed: no province") << 0 << unknownSeat << false;
        QTest::newRow("legal person without fiscal code") << 0 << noCode << false;
        QTest::newRow("natural person") << 1 << natural << true;
        QTest::newRow("natural person without birth date") << 1 << noBirthDate << false;
        QTest::newRow("no kind chosen") << -1 << general << false;
    }
    void okStoresOnlyWhatTheKindRequires()
    {
        QFETCH(int, kind);
        QFETCH(QVariantMap, typed);
        QFETCH(bool, stored);
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            button(window, "SpeedButton2")->click();
            if (kind >= 0)
                window.findChild<RadioGroup *>(QStringLiteral("DBRadioGroup1"))->button(kind)->click();
            for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
                QWidget *control = field(window, it.key());
                if (auto *sex = qobject_cast<QComboBox *>(control)) {
                    sex->setFocus();
                    QTest::keyClick(sex, Qt::Key_Down);
                } else {
                    typeInto(static_cast<QLineEdit *>(control), it.value().toString());
                }
            }
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(stored ? Tsoggettoform::DisplayPage : Tsoggettoform::EditPage));
            QCOMPARE(dm->Tabsoggetto->isEditing(), !stored);
            if (stored) {
                QCOMPARE(window.findChild<QGroupBox *>(QStringLiteral("GroupBox2"))->isHidden(), kind == 1);
                QCOMPARE(window.findChild<QGroupBox *>(QStringLiteral("GroupBox3"))->isHidden(), kind == 0);
            } else {
                button(window, "Button2")->click();
            }
            button(window, "SpeedButton1")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        QCOMPARE(m_data->Tabsoggetto->recordCount(), stored ? 1 : 0);
        if (!stored)
            return;
        const Table &row = *m_data->Tabsoggetto;
        QCOMPARE(row.asInteger(QStringLiteral("Id_sogg_obbl")), 1);
        QCOMPARE(row.asString(QStringLiteral("CF")), QStringLiteral("RSSMRA80A01D704X"));
        QCOMPARE(row.asString(QStringLiteral("PG_PF")), QString::number(kind));
        if (kind == 0) {
            QCOMPARE(row.asString(QStringLiteral("PG_denominazione")), QStringLiteral("L'OFFICINA SRL"));
            QCOMPARE(row.asString(QStringLiteral("PG_prov_fiscale")), QStringLiteral("AQ"));
        } else {
            QCOMPARE(row.asString(QStringLiteral("PF_sesso")), QStringLiteral("M"));
            QCOMPARE(row.asDate(QStringLiteral("Pf_data_nascita")), QDate(1980, 1, 1));
            QCOMPARE(row.asString(QStringLiteral("Pf_comune_nascita")), QStringLiteral("FORLÌ"));
            QCOMPARE(row.asString(QStringLiteral("Pf_prov_nascita")), QStringLiteral("FC"));
        }
    }

    void aBadVatNumberBringsTheFocusBack_data()
    {
        QTest::addColumn<QString>("piva");
        QTest::addColumn<bool>("refused");
        QTest::newRow("check digit wrong") << "12345678901" << true;
        QTest::newRow("too short") << "1234567890" << true;
        QTest::newRow("valid") << ValidPiva << false;
    }
    void aBadVatNumberBringsTheFocusBack()
    {
        QFETCH(QString, piva);
        QFETCH(bool, refused);
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(QStringLiteral("0"))});
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton2")->click();
            QCOMPARE(QApplication::focusWidget(), field(window, QStringLiteral("Piva")));
            typeInto(lineEdit(window, "DBEditPiva"), piva);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), field(window, refused ? QStringLiteral("Piva") : QStringLiteral("CF")));
            // The number stays as typed, and the row can still be stored.
            QCOMPARE(dm->Tabsoggetto->asString(QStringLiteral("Piva")), piva);
            button(window, "Button1")->click();
            QCOMPARE(page(window), int(Tsoggettoform::DisplayPage));
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(Messages::shownTexts(), refused ? QStringList{QStringLiteral("Errore P. Iva")} : QStringList());
        QCOMPARE(m_data->Tabsoggetto->asString(QStringLiteral("Piva")), piva);
    }

    void leavingTheKindGoesToItsFirstField_data()
    {
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("next");
        QTest::newRow("Persona Giuridica") << 0 << "PG_denominazione";
        QTest::newRow("Persona Fisica") << 1 << "PF_cognome";
    }
    void leavingTheKindGoesToItsFirstField()
    {
        QFETCH(int, picked);
        QFETCH(QString, next);
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            QVERIFY(QTest::qWaitForWindowActive(&window));
            button(window, "SpeedButton2")->click();
            QRadioButton *item = window.findChild<RadioGroup *>(QStringLiteral("DBRadioGroup1"))->button(picked);
            item->setFocus();
            QTest::keyClick(item, Qt::Key_Space);
            // Even backwards, towards "Codice Fiscale".
            QTest::keyClick(item, Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), field(window, next));
            button(window, "Button2")->click();
            button(window, "SpeedButton1")->click();
        });
    }

    void cercaIlComuneFillsMunicipalityAndProvince_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("municipality");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("chosenProvince");
        QTest::newRow("fiscal seat") << "SpeedButton6" << "0" << "FOR" << "SOGGETTO1" << "PG_comune_fiscale" << "PG_prov_fiscale"
                                     << "FORLÌ" << "FC";
        QTest::newRow("birth place") << "SpeedButton9" << "1" << "L'AQ" << "SOGGETTO2" << "Pf_comune_nascita" << "Pf_prov_nascita"
                                     << "L'AQUILA" << "AQ";
    }
    void cercaIlComuneFillsMunicipalityAndProvince()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(QString, tag);
        QFETCH(QString, municipality);
        QFETCH(QString, province);
        QFETCH(QString, chosen);
        QFETCH(QString, chosenProvince);
        QVariantMap row = laboratory(kind);
        row.insert({{municipality, ""}, {province, ""}});
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {row});
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            button(window, "SpeedButton2")->click();
            // Beside a read-only field the search does nothing: a window opening would find no handler.
            button(window, command == QLatin1String("SpeedButton6") ? "SpeedButton9" : "SpeedButton6")->click();

            typeInto(static_cast<QLineEdit *>(field(window, municipality)), typed);
            ModalWindows::setNextHandler([&](QDialog &zoom) {
                QCOMPARE(appState().ChiamanteComuni, tag);
                QCOMPARE(zoom.windowTitle(), QStringLiteral("ZOOM COMUNI "));
                // On the first name that begins with what was typed.
                QCOMPARE(dm->Tabcomuni->asString(QStringLiteral("COMUNE")), chosen);
                button(zoom, "RxSpeedButton1")->click();
            });
            button(window, qPrintable(command))->click();
            QCOMPARE(static_cast<QLineEdit *>(field(window, municipality))->text(), chosen);
            QCOMPARE(static_cast<QLineEdit *>(field(window, province))->text(), chosenProvince);
            button(window, "Button1")->click();
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(m_data->Tabsoggetto->asString(municipality), chosen);
        QCOMPARE(m_data->Tabsoggetto->asString(province), chosenProvince);
        QVERIFY(Messages::shown().isEmpty());
    }

    void theAuthorisationDialogRefusesAnIncompleteRow_data()
    {
        QTest::addColumn<int>("type"); // item chosen, -1 none
        QTest::addColumn<QString>("seal");
        QTest::newRow("nothing") << -1 << "";
        QTest::newRow("type only") << 1 << "";
        QTest::newRow("seal only") << -1 << "AB123";
    }
    void theAuthorisationDialogRefusesAnIncompleteRow()
    {
        QFETCH(int, type);
        QFETCH(QString, seal);
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(QStringLiteral("0"))});
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            openDialog(window, "SpeedButton3", [&](Tlsogg_form &dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Dati abilitazione:"));
                QCOMPARE(dm->TabLsogg->state(), engine::TableState::Insert);
                if (type >= 0)
                    chooseType(dialog, type);
                typeInto(lineEdit(dialog, "DBEdit1"), seal);
                if (type < 0 && seal.isEmpty())
                    shoot(dialog, QStringLiteral("lsogg"));
                button(dialog, "Button1")->click();
                QVERIFY(dialog.isVisible());
                QCOMPARE(dm->TabLsogg->state(), engine::TableState::Insert);
                QVERIFY(!dialog.close());
                button(dialog, "Button2")->click();
            });
            QVERIFY(!dm->TabLsogg->isEditing());
            QCOMPARE(gridColumn(window, 1), QStringList());
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(Messages::shownTexts(), (QStringList{Incomplete, QStringLiteral("Per uscire dalla finestra usare i tasti opportuni")}));
        QVERIFY(m_data->TabLsogg->isEmpty());
    }

    void theAuthorisationDialogStoresACompleteRow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("seals");
        QTest::addColumn<int>("id");
        QTest::newRow("Nuova abilitazione") << "SpeedButton3" << true << QStringList{"1", "2"} << QStringList{"AAA111", "ZZ 99"} << 5;
        QTest::newRow("Modifica abilitazione") << "SpeedButton4" << true << QStringList{"2"} << QStringList{"ZZ 99"} << 4;
        QTest::newRow("Modifica abilitazione, none yet") << "SpeedButton4" << false << QStringList{"2"} << QStringList{"ZZ 99"} << 1;
    }
    void theAuthorisationDialogStoresACompleteRow()
    {
        QFETCH(QString, command);
        QFETCH(bool, existing);
        QFETCH(QStringList, types);
        QFETCH(QStringList, seals);
        QFETCH(int, id);
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(QStringLiteral("0"))});
        if (existing)
            TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {authorisation(4, QStringLiteral("1"), QStringLiteral("AAA111"))});
        openData();
        openLaboratory([&](Tsoggettoform &window) {
            openDialog(window, qPrintable(command), [](Tlsogg_form &dialog) {
                chooseType(dialog, 1);
                typeInto(lineEdit(dialog, "DBEdit1"), QStringLiteral("zz 99"));
                button(dialog, "Button1")->click();
            });
            QCOMPARE(gridColumn(window, 0), types);
            QCOMPARE(gridColumn(window, 1), seals);
            button(window, "SpeedButton1")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
        Table &rows = *m_data->TabLsogg;
        QCOMPARE(rows.recordCount(), seals.size());
        QVERIFY(rows.locate(QStringLiteral("Id_al_sigillo"), {QStringLiteral("ZZ 99")}));
        QCOMPARE(rows.asInteger(QStringLiteral("Id_sogg")), 7);
        QCOMPARE(rows.asInteger(QStringLiteral("Id_Lsogg")), id);
    }

    void anAuthorisationWithTechniciansCannotBeDeleted()
    {
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(QStringLiteral("0"))});
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"),
                              {authorisation(1, QStringLiteral("1"), QStringLiteral("AAA111")),
                               authorisation(2, QStringLiteral("2"), QStringLiteral("BBB222"))});
        TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 3}, {"Cognome", "ROSSI"}, {"Id_sogg", 1}}});
        openData();
        for (bool answer : {true, false, true, true})
            Messages::setNextAnswer(answer);
        openLaboratory([this](Tsoggettoform &window) {
            QVERIFY(dm->TabLsogg->locate(QStringLiteral("Id_al_sigillo"), {QStringLiteral("AAA111")}));
            button(window, "SpeedButton5")->click();
            QCOMPARE(gridColumn(window, 1), (QStringList{"AAA111", "BBB222"}));
            // No keeps the one without technicians.
            QVERIFY(dm->TabLsogg->locate(QStringLiteral("Id_al_sigillo"), {QStringLiteral("BBB222")}));
            button(window, "SpeedButton5")->click();
            QCOMPARE(gridColumn(window, 1), (QStringList{"AAA111", "BBB222"}));

            QVERIFY(m_data->Tabtecnico->locate(QStringLiteral("Id_tecnico"), {3}));
            m_data->Tabtecnico->remove();
            QVERIFY(dm->TabLsogg->locate(QStringLiteral("Id_al_sigillo"), {QStringLiteral("AAA111")}));
            button(window, "SpeedButton5")->click();
            QCOMPARE(gridColumn(window, 1), QStringList{"BBB222"});
            button(window, "SpeedButton5")->click();
            QCOMPARE(gridColumn(window, 1), QStringList());
            button(window, "SpeedButton5")->click();
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Confirmation, DeleteQuestion},
                                                         {MessageKind::Warning, TechniciansAttached},
                                                         {MessageKind::Confirmation, DeleteQuestion},
                                                         {MessageKind::Confirmation, DeleteQuestion},
                                                         {MessageKind::Plain, Deleted},
                                                         {MessageKind::Confirmation, DeleteQuestion},
                                                         {MessageKind::Plain, Deleted},
                                                         {MessageKind::Plain, QStringLiteral("Nulla da eliminare")}}));
        QVERIFY(m_data->TabLsogg->isEmpty());
    }

    void anOlderTypeThreeReadsTwoOnceTheDataAreReopened()
    {
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {laboratory(QStringLiteral("0"))});
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {authorisation(1, QStringLiteral("1"), QStringLiteral("AAA111"))});
        openData();
        // Written by another program while the data are open.
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"), {authorisation(2, QStringLiteral("3"), QStringLiteral("BBB222"))});
        openLaboratory([](Tsoggettoform &window) {
            QCOMPARE(gridColumn(window, 0), (QStringList{"1", "3"}));
            button(window, "SpeedButton1")->click();
        });
        m_data->dmDestroy();
        m_data->dmCreate();
        openLaboratory([](Tsoggettoform &window) {
            QCOMPARE(gridColumn(window, 0), (QStringList{"1", "2"}));
            QCOMPARE(gridColumn(window, 1), (QStringList{"AAA111", "BBB222"}));
            // Only the company group: the kind is "0".
            QVERIFY(window.findChild<QGroupBox *>(QStringLiteral("GroupBox3"))->isHidden());
            shoot(window, QStringLiteral("soggetto"));
            button(window, "SpeedButton1")->click();
        });
        QVERIFY(Messages::shown().isEmpty());
    }
};

QTEST_MAIN(tst_Soggetto)
#include "tst_soggetto.moc"
