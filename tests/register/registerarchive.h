#pragma once
// A small archive for the register, working year 2010: a laboratory with two authorisations, three
// technicians (one under an authorisation that does not exist), three shops, three meter models (one
// with a malformed logotype), three municipalities (ROMA with two zones), four intervention types and
// five interventions, one of each kind the grid tells apart:
//
//   id serial      end         quarter  what it is
//   1  OL123456    03/02/2010  1        complete and positive
//   2  OL1234567   12/05/2010  2        negative
//   3  CU000001    02/08/2010  3        its model's logotype is "C-"; r_ditta in lower case
//   4  RC12345     04/11/2010  4        a serial of 7 characters; type 4
//   5  RC7654321   20/12/2010  4        no start date; delivered

#include "data/engine/bulkscope.h"
#include "testbase.h"

#include <QDate>

class RegisterArchive : public TestBase {
public:
    explicit RegisterArchive(const QString &year = QStringLiteral("2010")) : TestBase(year)
    {
        engine::BulkScope oneCommitPerFile;
        addDataRows(QStringLiteral("soggetto_obbligato"), {{{"Id_sogg_obbl", 1}, {"PG_denominazione", "VERIFICHE SRL"}}});
        addDataRows(QStringLiteral("Lsoggetto_obbligato"), {{{"Id_Lsogg", 1}, {"Id_sogg", 1}, {"Id_al_sigillo", "AB0001"}},
                                                            {{"Id_Lsogg", 2}, {"Id_sogg", 1}, {"Id_al_sigillo", "CD0002"}}});
        addDataRows(QStringLiteral("tecnici"),
                    {{{"Id_tecnico", 1}, {"Cognome", "ROSSI"}, {"Nome", "MARIO"}, {"Cogn_nome", "ROSSI MARIO"},
                      {"Id_nu_sigillo", "0001"}, {"Id_sogg", 1}},
                     {{"Id_tecnico", 2}, {"Cognome", "BIANCHI"}, {"Nome", "LUCA"}, {"Cogn_nome", "BIANCHI LUCA"},
                      {"Id_nu_sigillo", "0002"}, {"Id_sogg", 2}},
                     {{"Id_tecnico", 3}, {"Cognome", "VERDI"}, {"Nome", "ANNA"}, {"Cogn_nome", "VERDI ANNA"},
                      {"Id_nu_sigillo", "0003"}, {"Id_sogg", 7}}});
        addDataRows(QStringLiteral("esercizio"),
                    {{{"Id_esercizio", 1}, {"Ragione_sociale", "BAR L'AQUILA"}, {"Piva", "12345678903"}, {"Comune", "L'AQUILA"},
                      {"Provincia", "AQ"}, {"Indirizzo", "VIA ROMA 1"}, {"Cap", "67100"}},
                     {{"Id_esercizio", 2}, {"Ragione_sociale", "PIZZERIA FORLÌ"}, {"Piva", "01234567897"}, {"Comune", "FORLÌ"},
                      {"Provincia", "FC"}, {"Indirizzo", "CORSO MAZZINI 2"}, {"Cap", "47121"}},
                     {{"Id_esercizio", 3}, {"Ragione_sociale", "CAFFÈ DEL CORSO"}, {"Piva", "07654321004"}, {"Comune", "ROMA"},
                      {"Provincia", "RM"}, {"Indirizzo", "VIA DEL CORSO 3"}, {"Cap", "00186"}}});
        addDataRows(QStringLiteral("ms"), {{{"Id_ms", 1}, {"Marchio_ms", "OLIVETTI"}, {"Denominazione_ms", "NETTUNA"}, {"Logotipo_ms", "OL"}},
                                           {{"Id_ms", 2}, {"Marchio_ms", "CUSTOM"}, {"Denominazione_ms", "KUBE"}, {"Logotipo_ms", "C-"}},
                                           {{"Id_ms", 3}, {"Marchio_ms", "RCH"}, {"Denominazione_ms", "GLOBE"}, {"Logotipo_ms", "RC"}}});
        addDataRows(QStringLiteral("COMUNI_new"), {{{"COMUNE", "L'AQUILA"}, {"PROVINCIAI", "AQ"}, {"CAP", "67100"}},
                                                   {{"COMUNE", "FORLÌ"}, {"PROVINCIAI", "FC"}, {"CAP", "47121"}},
                                                   {{"COMUNE", "ROMA"}, {"PROVINCIAI", "RM"}, {"CAP", "00100"}}});
        addDataRows(QStringLiteral("zone"), {{{"Id_comune", 3}, {"CAP_zona", "00118"}, {"Descrizione", "EUR"}},
                                             {{"Id_comune", 3}, {"CAP_zona", "00199"}, {"Descrizione", "SALARIO"}}});
        addDataRows(QStringLiteral("tipo_int"), {{{"Id", 1}, {"descrizione", "MESSA IN SERVIZIO"}, {"tipo", 1}, {"locked", true}},
                                                 {{"Id", 2}, {"descrizione", "DEFISCALIZZAZIONE"}, {"tipo", 2}, {"locked", true}},
                                                 {{"Id", 3}, {"descrizione", "VERIFICA PERIODICA"}, {"tipo", 3}, {"locked", true}},
                                                 {{"Id", 4}, {"descrizione", "RIPARAZIONE"}, {"tipo", 4}}});
        addYearRows(QStringLiteral("misurazioni2"),
                    {intervention(1, 1, 1, 1, "OL123456", "3", QDate(2010, 2, 2), QDate(2010, 2, 3), "0", "BAR L'AQUILA", "12345678903"),
                     intervention(2, 2, 1, 2, "OL1234567", "1", QDate(2010, 5, 10), QDate(2010, 5, 12), "1", "PIZZERIA FORLÌ", "01234567897"),
                     intervention(3, 3, 2, 1, "CU000001", "2", QDate(2010, 8, 1), QDate(2010, 8, 2), "0", "caffè del corso", ""),
                     intervention(4, 1, 3, 2, "RC12345", "4", QDate(2010, 11, 3), QDate(2010, 11, 4), "0", "BAR L'AQUILA", "12345678903"),
                     delivered(intervention(5, 2, 3, 3, "RC7654321", "3", QDate(), QDate(2010, 12, 20), "0", "PIZZERIA FORLÌ",
                                            "01234567897"))});
    }

    static QVariantMap intervention(int id, int shop, int model, int technician, const char *serial, const char *type,
                                    const QDate &start, const QDate &end, const char *outcome, const QString &company,
                                    const QString &vat)
    {
        // Where the meter stands: the shop's own address.
        static const char *const addresses[][4] = {{"L'AQUILA", "AQ", "VIA ROMA 1", "67100"},
                                                   {"FORLÌ", "FC", "CORSO MAZZINI 2", "47121"},
                                                   {"ROMA", "RM", "VIA DEL CORSO 3", "00186"}};
        const auto &address = addresses[shop - 1];
        return {{"Id_misurazioni", id}, {"Id_esercizio", shop}, {"Id_ms", model}, {"Id_tecnico", technician},
                {"Matricola_ms", serial}, {"Tipo_intervento", type}, {"Data_ini", start}, {"Data_fine", end},
                {"Esito", outcome}, {"Trimestre", QString::number((end.month() + 2) / 3)}, {"ANNO", "2010"},
                {"COMUNE", QString::fromUtf8(address[0])}, {"PROVINCIA", address[1]}, {"INDIRIZZO", address[2]},
                {"CAP", address[3]}, {"r_ditta", company}, {"p_iva", vat}};
    }

private:
    static QVariantMap delivered(QVariantMap row)
    {
        row.insert(QStringLiteral("Scarico_sn"), true);
        return row;
    }
};
