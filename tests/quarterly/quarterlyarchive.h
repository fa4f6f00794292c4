#pragma once
// A small archive for the quarterly file, working year 2010: a laboratory (a legal entity) with one
// authorisation, one technician with a variation in the first quarter, one shop, one meter model and
// one intervention of that quarter, every value valid. A case changes the few values it is about
// ("table.field" -> value, on that table's row) and adds the rows it needs.
//
// A text longer than its field is kept: the table's file is made with that field wide enough, as a
// file written by another program can be.

#include "data/engine/tablefiles.h"
#include "testbase.h"

#include <QDate>
#include <QFile>

class QuarterlyArchive : public TestBase {
public:
    using Changes = QVariantMap;

    explicit QuarterlyArchive(const Changes &changes = {}) : TestBase(QStringLiteral("2010"))
    {
        const auto row = [&changes](const QString &table, QVariantMap values) {
            for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
                if (it.key().section(QLatin1Char('.'), 0, 0) == table)
                    values.insert(it.key().section(QLatin1Char('.'), 1), it.value());
            }
            return values;
        };
        const QString data = appState().dataDir();
        const QString year = appState().yearDir();
        const struct {
            QString directory;
            QString table;
            QVariantMap values;
        } rows[] = {
            {data, QStringLiteral("soggetto_obbligato"),
             {{"Id_sogg_obbl", 1}, {"CF", "VRDLGU80A01H501Q"}, {"Piva", "12345678903"}, {"PG_PF", "0"},
              {"PG_denominazione", "VERIFICHE ADRIATICA S.R.L."}, {"PG_comune_fiscale", "PESCARA"}, {"PG_prov_fiscale", "PE"},
              {"PF_cognome", "BIANCHI"}, {"PF_nome", "ANNA"}, {"PF_sesso", "m"}, {"Pf_data_nascita", QDate(1970, 4, 5)},
              {"Pf_comune_nascita", "CHIETI"}, {"Pf_prov_nascita", "CH"}}},
            {data, QStringLiteral("Lsoggetto_obbligato"),
             {{"Id_Lsogg", 1}, {"Id_sogg", 1}, {"Tipo_abilitazione", "2"}, {"Id_al_sigillo", "PE0417LA"}}},
            {data, QStringLiteral("tecnici"),
             {{"Id_tecnico", 1}, {"Cf", "RSSMRA75C12G482P"}, {"Cognome", "ROSSI"}, {"Nome", "MARIO"}, {"Sesso", "M"},
              {"Id_nu_sigillo", "0101"}, {"Id_sogg", 1}}},
            {data, QStringLiteral("MOD_TECNICI"),
             {{"ID_MOD", 1}, {"Id_tecnico", 1}, {"FLAG_VARIAZIONE", "I"}, {"Cf", "RSSMRA75C12G482P"}, {"Cognome", "ROSSI"},
              {"Nome", "MARIO"}, {"Sesso", "m"}, {"Data_nascita", QDate(1975, 3, 12)}, {"Comune_nascita", "PESCARA"},
              {"Prov_nascita", "PE"}, {"Id_nu_sigillo", "0101"}, {"Responsabile", "1"}, {"Titolo_studio", "4"},
              {"Data_inizio", QDate(2010, 2, 1)}, {"Id_sogg", 1}, {"TRI_variazione", 1}, {"Anno_variazione", "2010"}}},
            {data, QStringLiteral("esercizio"),
             {{"Id_esercizio", 1}, {"Ragione_sociale", "BAR ROSSI"}, {"Piva", "07654321004"}, {"Comune", "PESCARA"}}},
            {data, QStringLiteral("ms"),
             {{"Id_ms", 1}, {"Marchio_ms", "OLIVETTI"}, {"Denominazione_ms", "NETTUNA 300"}, {"Logotipo_ms", "OL"}}},
            {year, QStringLiteral("misurazioni2"), intervention(1, QStringLiteral("OL1234567"))},
        };
        for (const auto &r : rows) {
            const QVariantMap values = row(r.table, r.values);
            widenFor(r.directory, r.table, values);
            addRows(r.directory, r.table, {values});
        }
    }

    // An intervention of the first quarter of 2010 by technician 1 at shop 1 on model 1.
    static QVariantMap intervention(int id, const QString &serial, const QString &type = QStringLiteral("3"))
    {
        return {{"Id_misurazioni", id}, {"Id_esercizio", 1}, {"Id_ms", 1}, {"Id_tecnico", 1}, {"Matricola_ms", serial},
                {"Tipo_intervento", type}, {"Data_ini", QDate(2010, 2, 2)}, {"Data_fine", QDate(2010, 2, 3)},
                {"Esito", "0"}, {"Trimestre", "1"}, {"COMUNE", "PESCARA"}, {"PROVINCIA", "PE"},
                {"INDIRIZZO", "VIA ROMA 1"}, {"CAP", "65121"}, {"ANNO", "2010"}};
    }

    // Sets a field of the first row of a table ("table.field").
    static void change(const QString &tableField, const QVariant &value)
    {
        const QString table = tableField.section(QLatin1Char('.'), 0, 0);
        engine::Table cursor;
        cursor.setDirectory(table == QLatin1String("misurazioni2") ? appState().yearDir() : appState().dataDir());
        cursor.setTableName(table);
        cursor.open();
        cursor.edit();
        cursor.setValue(tableField.section(QLatin1Char('.'), 1), value);
        cursor.post();
    }

    // A second authorisation with its own technician (2), variation and intervention (RC7654321).
    static void addSecondAuthorisation(const QString &seal)
    {
        addDataRows(QStringLiteral("Lsoggetto_obbligato"),
                    {{{"Id_Lsogg", 2}, {"Id_sogg", 1}, {"Tipo_abilitazione", "1"}, {"Id_al_sigillo", seal}}});
        addDataRows(QStringLiteral("tecnici"), {{{"Id_tecnico", 2}, {"Cf", "BNCNNA70D45C632N"}, {"Id_nu_sigillo", "0201"}, {"Id_sogg", 2}}});
        addDataRows(QStringLiteral("MOD_TECNICI"),
                    {{{"ID_MOD", 2}, {"Id_tecnico", 2}, {"FLAG_VARIAZIONE", "M"}, {"Cf", "BNCNNA70D45C632N"}, {"Cognome", "BIANCHI"},
                      {"Nome", "ANNA"}, {"Sesso", "F"}, {"Data_nascita", QDate(1970, 4, 5)}, {"Comune_nascita", "CHIETI"},
                      {"Prov_nascita", "CH"}, {"Responsabile", "0"}, {"Titolo_studio", "3"}, {"Id_sogg", 2},
                      {"TRI_variazione", 1}, {"Anno_variazione", "2010"}}});
        QVariantMap second = intervention(2, QStringLiteral("RC7654321"));
        second.insert(QStringLiteral("Id_tecnico"), 2);
        addYearRows(QStringLiteral("misurazioni2"), {second});
    }

private:
    // Makes the table's file again with every field long enough for the values.
    static void widenFor(const QString &directory, const QString &table, const QVariantMap &values)
    {
        engine::TableSchema schema = catalogue::schema(table);
        bool wider = false;
        for (engine::FieldDef &field : schema.fields) {
            const QVariant value = values.value(field.name);
            if (field.type == engine::FieldType::Text && value.toString().size() > field.size) {
                field.size = int(value.toString().size());
                wider = true;
            }
        }
        if (!wider)
            return;
        QFile::remove(engine::tablefiles::filePath(directory, table));
        engine::tablefiles::create(directory, schema);
    }
};
