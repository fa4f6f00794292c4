// The record rules through the shared cursors, and the one-time steps of opening a year.

#include "ground/messages.h"
#include "ground/testmode.h"
#include "codfis/codfis.h"
#include "data/tdm.h"
#include "data/windowhooks.h"
#include "testbase.h"

#include <QTest>

using engine::Table;

namespace {

const QList<QVariantMap> municipalities{
    {{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
    {{"COMUNE", "MILANO"}, {"PROVINCIAI", "MI"}, {"CODICEFISC", "F205"}, {"CAP", "20100"}},
};

const QList<QVariantMap> shops{
    {{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROMA"}, {"Piva", "12345678903"}, {"Comune", "ROMA"},
     {"Provincia", "RM"}, {"Indirizzo", "VIA APPIA 1"}, {"Cap", "00179"}},
    {{"Id_esercizio", 2}, {"Ragione_sociale", "L'ARTE SRL"}, {"Piva", "00000000000"}, {"Comune", "MILANO"},
     {"Provincia", "MI"}, {"Indirizzo", "VIA TORINO 2"}, {"Cap", "20123"}},
};

class RecordingChooser : public MunicipalityChooser {
public:
    bool keepOlder(Table &stored, Table &older) override
    {
        asked << stored.asString(QStringLiteral("COMUNE")) + QLatin1Char('|') + older.asString(QStringLiteral("CODICEFISC"));
        return answer;
    }
    QStringList asked;
    bool answer = true;
};

class RecordingTechnicianWindow : public TechnicianWindowHooks {
public:
    void focusCf() override { ++focusMoves; }
    int focusMoves = 0;
};

} // namespace

class TestRules : public QObject {
    Q_OBJECT

private:
    static QStringList texts() { return Messages::shownTexts(); }

    static void appendVerification(Table *t, const QVariantMap &values)
    {
        t->append();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            t->setValue(it.key(), it.value());
        t->post();
    }

private Q_SLOTS:
    void initTestCase() { setTestMode(true); }
    void init() { Messages::clear(); }

    void idsFollowTheLastStoredId()
    {
        TestBase base;
        Tdm data;
        data.Tabtecnico->append();
        QCOMPARE(data.Tabtecnico->asInteger(QStringLiteral("Id_tecnico")), 1);
        data.Tabtecnico->cancel();
        TestBase::addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 3}}, {{"Id_tecnico", 7}}});
        data.Tabtecnico->refresh();
        data.Tabtecnico->append();
        QCOMPARE(data.Tabtecnico->asInteger(QStringLiteral("Id_tecnico")), 8);
        data.Tabtecnico->post();

        // An authorisation belongs to the current laboratory; a variation to the current technician.
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 4}}});
        data.Tabsoggetto->refresh();
        data.TabLsogg->append();
        QCOMPARE(data.TabLsogg->asInteger(QStringLiteral("Id_Lsogg")), 1);
        QCOMPARE(data.TabLsogg->asInteger(QStringLiteral("Id_sogg")), 4);
        data.TabLsogg->cancel();
        data.Tabtecnico->last();
        data.TabMod_tecnici->append();
        QCOMPARE(data.TabMod_tecnici->asInteger(QStringLiteral("Id_tecnico")), data.Tabtecnico->asInteger(QStringLiteral("Id_tecnico")));
        data.TabMod_tecnici->cancel();
    }

    void quarterAndYearComeFromTheEndDate_data()
    {
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("quarter");
        QTest::addColumn<QString>("year");
        QTest::newRow("31 March") << QDate(2021, 3, 31) << "1" << "2021";
        QTest::newRow("1 April") << QDate(2021, 4, 1) << "2" << "2021";
        QTest::newRow("1 October") << QDate(2022, 10, 1) << "4" << "2022";
        QTest::newRow("empty") << QDate() << "4" << "1899";
    }

    void quarterAndYearComeFromTheEndDate()
    {
        QFETCH(QDate, end);
        QFETCH(QString, quarter);
        QFETCH(QString, year);
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        Table *t = data.Tabmisurazioni;
        t->append();
        t->setValue(QStringLiteral("Data_fine"), QDate(2020, 7, 1));
        t->setValue(QStringLiteral("Data_fine"), end.isValid() ? QVariant(end) : QVariant());
        QCOMPARE(t->asString(QStringLiteral("Trimestre")), quarter);
        QCOMPARE(t->asString(QStringLiteral("ANNO")), year);
        t->setValue(QStringLiteral("ANNO"), QString());
        for (const char *id : {"Id_esercizio", "Id_ms", "Id_tecnico"})
            t->setValue(QString::fromLatin1(id), 1);
        t->post();
        QCOMPARE(t->asString(QStringLiteral("ANNO")), year); // the post sets it again
    }

    void verificationAddressRules()
    {
        TestBase base(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        Tdm data;
        Table *t = data.Tabmisurazioni;
        t->append();
        t->setValue(QStringLiteral("COMUNE"), QStringLiteral("ROMA"));
        QCOMPARE(t->asString(QStringLiteral("PROVINCIA")), QStringLiteral("RM"));
        QCOMPARE(t->asString(QStringLiteral("CAP")), QStringLiteral("00100"));
        t->setValue(QStringLiteral("INDIRIZZO"), QStringLiteral("VIA APPIA 1"));

        t->setValue(QStringLiteral("COMUNE"), QStringLiteral("ROMAA"));
        QCOMPARE(texts(), QStringList{QStringLiteral("Errore Sul Comune inserito")});
        QCOMPARE(t->asString(QStringLiteral("PROVINCIA")), QStringLiteral("RM")); // kept

        t->setValue(QStringLiteral("Id_esercizio"), 2); // another shop forgets the address
        for (const char *field : {"COMUNE", "INDIRIZZO", "CAP", "PROVINCIA"})
            QVERIFY2(t->asString(QString::fromLatin1(field)).isEmpty(), field);

        t->setValue(QStringLiteral("Id_ms"), 1);
        t->setValue(QStringLiteral("Id_tecnico"), 1);
        t->post();
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("L'ARTE SRL"));
        QCOMPARE(t->asString(QStringLiteral("p_iva")), QStringLiteral("00000000000"));

        // A snapshot: later changes of the shop do not reach the stored record.
        data.Tabesercizio->locate(QStringLiteral("Id_esercizio"), {2});
        data.Tabesercizio->edit();
        data.Tabesercizio->setValue(QStringLiteral("Ragione_sociale"), QStringLiteral("NUOVO NOME"));
        data.Tabesercizio->post();
        t->edit();
        t->setValue(QStringLiteral("Matricola_ms"), QStringLiteral("X1"));
        t->post();
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("L'ARTE SRL"));
        QCOMPARE(t->asString(QStringLiteral("ragione_sociale")), QStringLiteral("NUOVO NOME")); // the lookup follows
    }

    void shopAndLaboratoryRules()
    {
        TestBase base;
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        Tdm data;
        Table *shop = data.Tabesercizio;
        shop->append();
        shop->setValue(QStringLiteral("Piva"), QStringLiteral("12345678903"));
        QVERIFY(texts().isEmpty());
        shop->setValue(QStringLiteral("Piva"), QStringLiteral("12345678901"));
        shop->setValue(QStringLiteral("Piva"), QString());
        QCOMPARE(texts(), (QStringList{QStringLiteral("Errore P. Iva"), QStringLiteral("Errore P. Iva")}));
        Messages::clear();
        shop->setValue(QStringLiteral("Comune"), QStringLiteral("MILANO"));
        QCOMPARE(shop->asString(QStringLiteral("Provincia")), QStringLiteral("MI"));
        QCOMPARE(shop->asString(QStringLiteral("Cap")), QStringLiteral("20100"));
        shop->setValue(QStringLiteral("Comune"), QStringLiteral("Milano"));
        QCOMPARE(texts(), QStringList{QStringLiteral("Errore Sul Comune inserito: Milano")});
        QCOMPARE(shop->asString(QStringLiteral("Cap")), QStringLiteral("20100"));
        shop->cancel();

        Table *lab = data.Tabsoggetto;
        lab->append();
        lab->setValue(QStringLiteral("PG_comune_fiscale"), QStringLiteral("ROMA"));
        lab->setValue(QStringLiteral("Pf_comune_nascita"), QStringLiteral("MILANO"));
        lab->setValue(QStringLiteral("Pf_comune_nascita"), QStringLiteral("NESSUNO"));
        QCOMPARE(lab->asString(QStringLiteral("PG_prov_fiscale")), QStringLiteral("RM"));
        QCOMPARE(lab->asString(QStringLiteral("Pf_prov_nascita")), QStringLiteral("MI"));
        lab->cancel();
    }

    void technicianChain()
    {
        TestBase base;
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        Tdm data;
        RecordingTechnicianWindow window;
        Tdm::technicianWindow = &window;
        Table *t = data.Tabtecnico;
        t->append();
        t->setValue(QStringLiteral("Cognome"), QStringLiteral("ROSSI"));
        t->setValue(QStringLiteral("Nome"), QStringLiteral("MARIO"));
        t->setValue(QStringLiteral("Sesso"), QStringLiteral("M"));
        t->setValue(QStringLiteral("Data_nascita"), QDate(1980, 1, 1));
        QVERIFY(t->asString(QStringLiteral("Cf")).isEmpty()); // no municipality yet: no code
        t->setValue(QStringLiteral("Comune_nascita"), QStringLiteral("ROMA"));
        QCOMPARE(t->asString(QStringLiteral("Cogn_nome")), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(t->asString(QStringLiteral("Prov_nascita")), QStringLiteral("RM"));
        QCOMPARE(t->asString(QStringLiteral("Cf")), QStringLiteral("RSSMRA80A01H501U"));
        QVERIFY(texts().isEmpty());

        // A lower-case m computes the code as for a woman.
        t->setValue(QStringLiteral("Sesso"), QStringLiteral("m"));
        QCOMPARE(t->asString(QStringLiteral("Cf")).mid(9, 2), QStringLiteral("41"));

        // A birth place missing from the list keeps the province and gives no code, never the
        // previous municipality's.
        const int movesBefore = window.focusMoves;
        t->setValue(QStringLiteral("Comune_nascita"), QStringLiteral("ATLANTIDE"));
        QCOMPARE(t->asString(QStringLiteral("Prov_nascita")), QStringLiteral("RM"));
        QVERIFY(t->asString(QStringLiteral("Cf")).isEmpty());
        QVERIFY(texts().isEmpty()); // an empty code is not an error to show
        QCOMPARE(window.focusMoves, movesBefore + 1);

        // A code typed by hand after an invalid computation is refused with the message.
        t->setValue(QStringLiteral("Cf"), QStringLiteral("RSSMRA80A01H501U"));
        QCOMPARE(texts(), QStringList{QStringLiteral("Errore codice Fiscale")});
        t->cancel();
        Tdm::technicianWindow = nullptr;
    }

    void authorisationTypeThreeIsRewrittenOnce()
    {
        TestBase base;
        TestBase::addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}}});
        TestBase::addDataRows(QStringLiteral("Lsoggetto_obbligato"),
                              {{{"Id_Lsogg", 1}, {"Id_sogg", 1}, {"Tipo_abilitazione", "3"}},
                               {{"Id_Lsogg", 2}, {"Id_sogg", 1}, {"Tipo_abilitazione", "1"}},
                               {{"Id_Lsogg", 3}, {"Id_sogg", 1}, {"Tipo_abilitazione", "3"}}});
        Tdm data;
        QStringList types;
        for (data.TabLsogg->first(); !data.TabLsogg->eof(); data.TabLsogg->next())
            types << data.TabLsogg->asString(QStringLiteral("Tipo_abilitazione"));
        QCOMPARE(types, (QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("2")}));

        int posts = 0;
        data.TabLsogg->close();
        connect(data.TabLsogg, &Table::stateChanged, this, [&posts](engine::TableState state) {
            posts += state == engine::TableState::Edit;
        });
        data.TabLsogg->open();
        QCOMPARE(posts, 0);
    }

    void municipalitiesAreRefilledFromTheOlderList()
    {
        TestBase base;
        TestBase::addDataRows(QStringLiteral("COMUNI"),
                              {{{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CODICEFISC", "H501"}, {"CAP", "00100"}},
                               {{"COMUNE", "SAN TEODORO"}, {"PROVINCIAI", "ME"}, {"CODICEFISC", "I328"}, {"CAP", "98030"}},
                               {{"COMUNE", "SAN TEODORO"}, {"PROVINCIAI", "SS"}, {"CODICEFISC", "I329"}, {"CAP", "07052"}}});
        RecordingChooser chooser;
        Tdm::municipalityChooser = &chooser;
        Tdm data;
        QCOMPARE(chooser.asked, QStringList{QStringLiteral("SAN TEODORO|I329")});
        QCOMPARE(data.Tabcomuni->recordCount(), 2);
        QVERIFY(data.Tabcomuni->locate(QStringLiteral("COMUNE"), {QStringLiteral("SAN TEODORO")}));
        QCOMPARE(data.Tabcomuni->asString(QStringLiteral("PROVINCIAI")), QStringLiteral("SS"));
        QCOMPARE(data.Tabcomuni->asString(QStringLiteral("CODICEFISC")), QStringLiteral("I329"));
        QVERIFY(!data.Tabcomuni_old->isOpen());

        data.dmDestroy(); // a full list is not refilled
        data.dmCreate();
        QCOMPARE(chooser.asked.size(), 1);
        Tdm::municipalityChooser = nullptr;
    }

    void searchFilterFollowsTheSearchSwitch()
    {
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        Table *t = data.Tabmisurazioni;
        const QStringList vat{QStringLiteral("00123456789"), QStringLiteral("99999999999"), QString()};
        int id = 0;
        for (const QString &piva : vat)
            appendVerification(t, {{"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"p_iva", piva},
                                   {"Data_fine", QDate(2021, 1, ++id)}});
        data.searchField = 1;
        data.searchText = QStringLiteral("0123");
        t->setFiltered(true);
        QCOMPARE(t->recordCount(), 3); // search switched off: every record

        appState().RicercaInCorso = true;
        t->setFiltered(false);
        t->setFiltered(true);
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->asString(QStringLiteral("p_iva")), QStringLiteral("00123456789"));
        data.searchField = -1;
        t->refresh();
        QCOMPARE(t->recordCount(), 0);
        appState().RicercaInCorso = false;
        t->setFiltered(false);
    }

    void calculatedTexts()
    {
        TestBase base(QStringLiteral("2021"));
        Tdm data;
        appendVerification(data.Tabmisurazioni, {{"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                                 {"Tipo_intervento", "3"}, {"Esito", "1"}});
        QCOMPARE(data.Tabmisurazioni->asString(QStringLiteral("tipo_int_str")), QStringLiteral("Verifica periodica"));
        QCOMPARE(data.Tabmisurazioni->asString(QStringLiteral("esito_str")), QStringLiteral("Esito Negativo"));
        data.Tabmisurazioni->edit();
        data.Tabmisurazioni->setValue(QStringLiteral("Tipo_intervento"), QStringLiteral("7"));
        data.Tabmisurazioni->setValue(QStringLiteral("Esito"), QStringLiteral("0"));
        QCOMPARE(data.Tabmisurazioni->asString(QStringLiteral("tipo_int_str")), QString());
        QCOMPARE(data.Tabmisurazioni->asString(QStringLiteral("esito_str")), QStringLiteral("Esito Positivo"));
        data.Tabmisurazioni->cancel();
    }

    // The older layout: three records, one without extra data and one whose shop was deleted.
    void olderLayoutIsConvertedOnce()
    {
        TestBase base(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        TestBase::addYearRows(QStringLiteral("misurazioni"),
                              {{{"ID_MISURAZIONI", 10}, {"ID_ESERCIZIO", 1}, {"ID_MS", 1}, {"ID_TECNICO", 1},
                                {"DATA_FINE", QDate(2021, 5, 3)}, {"TRIMESTRE", "2"}, {"COMUNE", "ROMA"},
                                {"PROVINCIA", "XX"}, {"CAP", "00199"}, {"INDIRIZZO", "VIA A"}, {"ANNO", "2021"}},
                               {{"ID_MISURAZIONI", 11}, {"ID_ESERCIZIO", 9}, {"ID_MS", 1}, {"ID_TECNICO", 1},
                                {"DATA_FINE", QDate(2021, 2, 1)}, {"COMUNE", "MILANO"}, {"INDIRIZZO", "VIA B"}},
                               {{"ID_MISURAZIONI", 12}, {"ID_ESERCIZIO", 2}, {"ID_MS", 1}, {"ID_TECNICO", 1},
                                {"DATA_FINE", QDate(2021, 8, 1)}, {"COMUNE", "MILANO"}, {"INDIRIZZO", "VIA C"}}});
        TestBase::addYearRows(QStringLiteral("dati_extra"),
                              {{{"Id", 10}, {"Importo", 50.5}, {"Pagato_sn", true}, {"Note1", "PRIMA"}},
                               {{"Id", 11}, {"Referente", "SIG. BIANCHI"}, {"Promemoria", QDate(2022, 1, 1)}}});
        appState().ConversioneDaFare = true;
        Tdm data;
        QVERIFY(!appState().ConversioneDaFare);
        QCOMPARE(texts(), QStringList{QStringLiteral("Incongruenza anagrafica ditta")});

        Table *t = data.Tabmisurazioni;
        QCOMPARE(t->recordCount(), 3);
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {1}));
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("BAR ROMA"));
        QCOMPARE(t->asString(QStringLiteral("p_iva")), QStringLiteral("12345678903"));
        QCOMPARE(t->asString(QStringLiteral("PROVINCIA")), QStringLiteral("XX")); // the older values win
        QCOMPARE(t->asString(QStringLiteral("CAP")), QStringLiteral("00199"));
        QCOMPARE(t->asNumber(QStringLiteral("importo")), 50.5);
        QVERIFY(t->asBoolean(QStringLiteral("pagato")));
        QCOMPARE(t->asString(QStringLiteral("note1")), QStringLiteral("PRIMA"));

        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {2}));
        QVERIFY(t->asString(QStringLiteral("r_ditta")).isEmpty()); // its shop is gone
        QCOMPARE(t->asString(QStringLiteral("Referente")), QStringLiteral("SIG. BIANCHI"));
        QCOMPARE(t->asString(QStringLiteral("Trimestre")), QString()); // copied as it was
        QCOMPARE(t->asString(QStringLiteral("ANNO")), QStringLiteral("2021")); // set again on post

        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {3}));
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("L'ARTE SRL"));
        QVERIFY(t->asString(QStringLiteral("Referente")).isEmpty()); // no extra data
        QVERIFY(t->isNull(QStringLiteral("Promemoria")));
        QCOMPARE(t->value(QStringLiteral("importo")).toDouble(), 0.0);
        QVERIFY(!t->value(QStringLiteral("importo")).isNull());
        for (const char *flag : {"ivato", "pagato", "fatturato"}) {
            QVERIFY(!t->asBoolean(QString::fromLatin1(flag)));
            QVERIFY(!t->isNull(QString::fromLatin1(flag)));
        }

        // Reopening (as a backup does) converts nothing again.
        data.dmDestroy();
        data.dmCreate();
        QCOMPARE(data.Tabmisurazioni->recordCount(), 3);
    }

    void repairRunsBeforeConversion()
    {
        TestBase base(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("COMUNI_new"), municipalities);
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {{{"Id_misurazioni", 5}, {"Id_esercizio", 2}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                {"COMUNE", "MILANO"}, {"Data_fine", QDate(2021, 1, 1)}},
                               {{"Id_misurazioni", 6}, {"Id_esercizio", 9}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                {"COMUNE", "MILANO"}, {"Data_fine", QDate(2021, 1, 2)}}});
        TestBase::addYearRows(QStringLiteral("misurazioni"),
                              {{{"ID_MISURAZIONI", 1}, {"ID_ESERCIZIO", 9}, {"ID_MS", 1}, {"ID_TECNICO", 1},
                                {"COMUNE", "MILANO"}, {"DATA_FINE", QDate(2021, 3, 1)}}});
        appState().CorrezioneDaFare = true;
        appState().ConversioneDaFare = true;
        Tdm data;
        QVERIFY(!appState().CorrezioneDaFare);
        Table *t = data.Tabmisurazioni;
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {5}));
        QCOMPARE(t->asString(QStringLiteral("r_ditta")), QStringLiteral("L'ARTE SRL"));
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {6}));
        QVERIFY(t->asString(QStringLiteral("r_ditta")).isEmpty()); // missing shop: left alone, no message
        // The repair ran first, so it did not meet the converted record (numbered on from 6).
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {7}));
        QCOMPARE(texts(), QStringList{QStringLiteral("Incongruenza anagrafica ditta")});
    }

    void addressFillDependsOnTheFirstRecord_data()
    {
        QTest::addColumn<QString>("firstMunicipality");
        QTest::addColumn<bool>("filled");
        QTest::newRow("first record without address") << QString() << true;
        QTest::newRow("first record with address") << QStringLiteral("ROMA") << false;
    }

    void addressFillDependsOnTheFirstRecord()
    {
        QFETCH(QString, firstMunicipality);
        QFETCH(bool, filled);
        TestBase base(QStringLiteral("2021"));
        TestBase::addDataRows(QStringLiteral("esercizio"), shops);
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {{{"Id_misurazioni", 1}, {"Id_esercizio", 2}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                {"Data_fine", QDate(2021, 9, 1)}},
                               {{"Id_misurazioni", 2}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                {"Data_fine", QDate(2021, 1, 1)}, {"COMUNE", firstMunicipality}},
                               {{"Id_misurazioni", 3}, {"Id_esercizio", 9}, {"Id_ms", 1}, {"Id_tecnico", 1},
                                {"Data_fine", QDate(2021, 10, 1)}}});
        Tdm data;
        QCOMPARE(texts().contains(QStringLiteral("Cliccare OK e attendere alcuni attimi")), filled);
        Table *t = data.Tabmisurazioni;
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {1}));
        QCOMPARE(t->asString(QStringLiteral("INDIRIZZO")), filled ? QStringLiteral("VIA TORINO 2") : QString());
        QCOMPARE(t->asString(QStringLiteral("CAP")), filled ? QStringLiteral("20123") : QString());
        QVERIFY(t->locate(QStringLiteral("Id_misurazioni"), {3}));
        QVERIFY(t->asString(QStringLiteral("COMUNE")).isEmpty()); // its shop is missing
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
