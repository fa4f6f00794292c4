#include "data/catalogue.h"

#include "ground/savefile.h"
#include "ground/state.h"
#include "data/engine/engineerror.h"
#include "data/engine/tablefiles.h"
#include "data/seeds.h"

#include <QDir>
#include <QFile>
#include <QHash>

using engine::FieldDef;
using engine::FieldType;
using engine::IndexDef;
using engine::TableSchema;

namespace {

FieldDef integer(const QString &name, bool required = false) { return {name, FieldType::Integer, 0, required}; }
FieldDef text(const QString &name, int size) { return {name, FieldType::Text, size, false}; }
FieldDef date(const QString &name) { return {name, FieldType::Date, 0, false}; }
FieldDef boolean(const QString &name) { return {name, FieldType::Boolean, 0, false}; }
FieldDef number(const QString &name) { return {name, FieldType::Number, 0, false}; }
FieldDef autoIncrement(const QString &name) { return {name, FieldType::AutoIncrement, 0, false}; }
FieldDef picture(const QString &name) { return {name, FieldType::Picture, 0, false}; }

QList<FieldDef> texts(const QStringList &names, int size)
{
    QList<FieldDef> fields;
    for (const QString &name : names)
        fields << text(name, size);
    return fields;
}

QList<FieldDef> booleans(const QStringList &names)
{
    QList<FieldDef> fields;
    for (const QString &name : names)
        fields << boolean(name);
    return fields;
}

// The verification register's secondary indexes, in the order the opening sequence creates them; the
// older layout takes the first seven.
QList<IndexDef> verificationIndexes()
{
    return {
        {QStringLiteral("fineindex"), QStringLiteral("data_fine")},
        {QStringLiteral("comuneindex"), QStringLiteral("comune")},
        {QStringLiteral("id_tecnicoindex"), QStringLiteral("id_tecnico")},
        {QStringLiteral("id_esercizioindex"), QStringLiteral("id_esercizio")},
        {QStringLiteral("id_msindex"), QStringLiteral("id_ms")},
        {QStringLiteral("tipo_intindex"), QStringLiteral("tipo_intervento")},
        {QStringLiteral("esitoindex"), QStringLiteral("esito")},
        {QStringLiteral("r_dittaindex"), QStringLiteral("r_ditta")},
        {QStringLiteral("Matricola_msindex"), QStringLiteral("Matricola_ms")},
    };
}

TableSchema esercizio()
{
    return {QStringLiteral("esercizio"),
            {integer(QStringLiteral("Id_esercizio")), text(QStringLiteral("Ragione_sociale"), 60),
             text(QStringLiteral("Piva"), 11), text(QStringLiteral("Comune"), 40),
             text(QStringLiteral("Provincia"), 2), text(QStringLiteral("Indirizzo"), 35),
             text(QStringLiteral("Cap"), 5)},
            QStringLiteral("Id_esercizio"),
            {{QStringLiteral("rs_index"), QStringLiteral("Ragione_sociale")},
             {QStringLiteral("piva_index"), QStringLiteral("Piva")},
             {QStringLiteral("comune_index"), QStringLiteral("Comune")},
             {QStringLiteral("prov_index"), QStringLiteral("Provincia")}}};
}

TableSchema ms()
{
    return {QStringLiteral("ms"),
            {integer(QStringLiteral("Id_ms")), text(QStringLiteral("Marchio_ms"), 40),
             text(QStringLiteral("Denominazione_ms"), 40), text(QStringLiteral("Logotipo_ms"), 2)},
            QStringLiteral("Id_ms"),
            {{QStringLiteral("indice1"), QStringLiteral("marchio_ms;denominazione_ms")}}};
}

TableSchema soggettoObbligato()
{
    return {QStringLiteral("soggetto_obbligato"),
            {integer(QStringLiteral("Id_sogg_obbl")), text(QStringLiteral("Man"), 30),
             text(QStringLiteral("Piva"), 11), integer(QStringLiteral("Id_Lsogg")),
             text(QStringLiteral("PG_denominazione"), 60), text(QStringLiteral("PG_comune_fiscale"), 40),
             text(QStringLiteral("PG_prov_fiscale"), 2), text(QStringLiteral("PF_cognome"), 26),
             text(QStringLiteral("PF_nome"), 25), text(QStringLiteral("PF_sesso"), 1),
             date(QStringLiteral("Pf_data_nascita")), text(QStringLiteral("Pf_comune_nascita"), 40),
             text(QStringLiteral("Pf_prov_nascita"), 2), text(QStringLiteral("PG_PF"), 1),
             text(QStringLiteral("Att"), 30), text(QStringLiteral("CF"), 16)},
            QStringLiteral("Id_sogg_obbl"),
            {}};
}

TableSchema lsoggettoObbligato()
{
    return {QStringLiteral("Lsoggetto_obbligato"),
            {integer(QStringLiteral("Id_Lsogg")), integer(QStringLiteral("Id_sogg")),
             text(QStringLiteral("Tipo_abilitazione"), 1), text(QStringLiteral("Id_al_sigillo"), 30),
             text(QStringLiteral("Tipo_provv"), 20), date(QStringLiteral("Data_provv"))},
            QStringLiteral("Id_Lsogg"),
            {{QStringLiteral("id_sogg_index"), QStringLiteral("Id_sogg")}}};
}

// The technician's personal data, shared by the technicians and their variations.
QList<FieldDef> technicianFields()
{
    return {text(QStringLiteral("Cf"), 16), text(QStringLiteral("Cognome"), 26),
            text(QStringLiteral("Nome"), 25)};
}

TableSchema tecnici()
{
    QList<FieldDef> fields{integer(QStringLiteral("Id_tecnico"))};
    fields << technicianFields();
    fields << text(QStringLiteral("Sesso"), 1) << text(QStringLiteral("Comune_nascita"), 40)
           << text(QStringLiteral("Prov_nascita"), 2) << text(QStringLiteral("Id_nu_sigillo"), 4)
           << text(QStringLiteral("Responsabile"), 1) << text(QStringLiteral("Titolo_studio"), 1)
           << text(QStringLiteral("Cogn_nome"), 52) << date(QStringLiteral("Data_inizio"))
           << date(QStringLiteral("Data_fine")) << date(QStringLiteral("Data_nascita"))
           << integer(QStringLiteral("Id_sogg"));
    return {QStringLiteral("tecnici"), fields, QStringLiteral("Id_tecnico"),
            {{QStringLiteral("indice1"), QStringLiteral("cogn_nome")}}};
}

TableSchema modTecnici()
{
    QList<FieldDef> fields{integer(QStringLiteral("ID_MOD")), integer(QStringLiteral("Id_tecnico")),
                           text(QStringLiteral("FLAG_VARIAZIONE"), 1)};
    fields << technicianFields();
    fields << text(QStringLiteral("Cogn_nome"), 52) << text(QStringLiteral("Sesso"), 1)
           << date(QStringLiteral("Data_nascita")) << text(QStringLiteral("Comune_nascita"), 40)
           << text(QStringLiteral("Prov_nascita"), 2) << text(QStringLiteral("Id_nu_sigillo"), 4)
           << text(QStringLiteral("Responsabile"), 1) << text(QStringLiteral("Titolo_studio"), 1)
           << date(QStringLiteral("Data_inizio")) << date(QStringLiteral("Data_fine"))
           << integer(QStringLiteral("Id_sogg")) << integer(QStringLiteral("TRI_variazione"))
           << text(QStringLiteral("Anno_variazione"), 4);
    return {QStringLiteral("MOD_TECNICI"), fields, QStringLiteral("ID_MOD"), {}};
}

TableSchema intermediario()
{
    return {QStringLiteral("INTERMEDIARIO"),
            {integer(QStringLiteral("Id")), text(QStringLiteral("CF"), 16), text(QStringLiteral("NCAF"), 5),
             text(QStringLiteral("PREDISPOSTA_DA"), 1), date(QStringLiteral("DATA_IMPEGNO")),
             text(QStringLiteral("Nota"), 128)},
            QStringLiteral("Id"),
            {}};
}

TableSchema comuniNew()
{
    return {QStringLiteral("COMUNI_new"),
            {text(QStringLiteral("COMUNE"), 40), text(QStringLiteral("PROVINCIAI"), 2),
             text(QStringLiteral("CODICEFISC"), 4), text(QStringLiteral("CAP"), 5),
             autoIncrement(QStringLiteral("Id")), text(QStringLiteral("Zona"), 20)},
            QStringLiteral("Id"),
            {{QStringLiteral("comune_index"), QStringLiteral("COMUNE")},
             {QStringLiteral("cap_Index"), QStringLiteral("CAP")},
             {QStringLiteral("provincia_Index"), QStringLiteral("PROVINCIAI")}}};
}

TableSchema comuniOld()
{
    return {QStringLiteral("COMUNI"),
            {text(QStringLiteral("COMUNE"), 30), text(QStringLiteral("PROVINCIAI"), 2),
             text(QStringLiteral("CODICEFISC"), 4), text(QStringLiteral("CAP"), 5)},
            {},
            {}};
}

TableSchema zone()
{
    return {QStringLiteral("zone"),
            {autoIncrement(QStringLiteral("Id")), integer(QStringLiteral("Id_comune")),
             text(QStringLiteral("Descrizione"), 10), text(QStringLiteral("CAP_zona"), 5)},
            QStringLiteral("Id"),
            {{QStringLiteral("id_comune_index"), QStringLiteral("Id_comune")}}};
}

// Password holds a password's hash (libsodium's text form, up to 127 characters); version 1 held
// the clear text in 10.
TableSchema password()
{
    return {QStringLiteral("password_"),
            {text(QStringLiteral("Nome"), 10), text(QStringLiteral("Password"), 128), text(QStringLiteral("Livello"), 10)},
            {},
            {},
            2};
}

// Only Usa_pwd, Dir_backup and Unita_backup are used; the rest keeps new tables interchangeable
// with existing archives. Unita_backup holds the backup folder's volume, a mount point; version 1
// had room for a drive letter only.
TableSchema impostazioni()
{
    QList<FieldDef> fields{integer(QStringLiteral("Tipo_intest"))};
    fields << texts({QStringLiteral("Intestazione1"), QStringLiteral("Intestazione2"), QStringLiteral("Intestazione3"),
                     QStringLiteral("Intestazione4"), QStringLiteral("Intestazione5")},
                    90);
    fields << picture(QStringLiteral("Logo")) << picture(QStringLiteral("Logo2"))
           << boolean(QStringLiteral("Prn_fasciaBassa")) << text(QStringLiteral("Font_fattura"), 25);
    fields << booleans({QStringLiteral("Tc_carico"), QStringLiteral("Tc_scarico"),
                        QStringLiteral("Tc_scarica_sempre"), QStringLiteral("Pack_sn")});
    fields << text(QStringLiteral("TipoPRN"), 12) << text(QStringLiteral("Tipo_carattere"), 25)
           << integer(QStringLiteral("Salto")) << boolean(QStringLiteral("Euro"))
           << text(QStringLiteral("Default_um"), 2) << boolean(QStringLiteral("Anteprima"))
           << integer(QStringLiteral("N_execution")) << number(QStringLiteral("Default_iva"))
           << boolean(QStringLiteral("A_01_artic")) << boolean(QStringLiteral("Scorporo_su_tot"))
           << integer(QStringLiteral("L_barcode")) << text(QStringLiteral("Dir_backup"), 255)
           << text(QStringLiteral("Unita_backup"), 255) << text(QStringLiteral("Nome_stampante"), 200)
           << integer(QStringLiteral("N_decimali")) << boolean(QStringLiteral("Spese_doc"))
           << text(QStringLiteral("Dic_spese_doc"), 35) << boolean(QStringLiteral("New_art_giac"))
           << boolean(QStringLiteral("New_art_barcode")) << integer(QStringLiteral("Righeart"))
           << integer(QStringLiteral("Righeart_fontsize")) << integer(QStringLiteral("Metodo_calcoloDOC"));
    fields << booleans({QStringLiteral("Usa_pwd"), QStringLiteral("Scarica_neg_doc"), QStringLiteral("Usa_codici_iva")});
    fields << text(QStringLiteral("Documento_default"), 25) << text(QStringLiteral("Colore"), 25)
           << number(QStringLiteral("TC_grandezza_griglia")) << text(QStringLiteral("TR_voce_default"), 50)
           << boolean(QStringLiteral("Spalma_prezzi"));
    fields << texts({QStringLiteral("Smtp"), QStringLiteral("Email"), QStringLiteral("Nome_email"),
                     QStringLiteral("Porta_smtp"), QStringLiteral("Utente_email"), QStringLiteral("Pwd_email")},
                    100);
    fields << boolean(QStringLiteral("Stampa_linee_fattura")) << date(QStringLiteral("Impbck_ultimadata"))
           << number(QStringLiteral("Impbck_ricordaogni")) << boolean(QStringLiteral("Impbck_ricordasn"));
    return {QStringLiteral("impostazioni"), fields, {}, {}, 2};
}

TableSchema tipoInt()
{
    return {QStringLiteral("tipo_int"),
            {integer(QStringLiteral("Id")), text(QStringLiteral("descrizione"), 35),
             integer(QStringLiteral("tipo")), boolean(QStringLiteral("locked"))},
            QStringLiteral("Id"),
            {{QStringLiteral("tipo_index"), QStringLiteral("tipo")}}};
}

// The first sixteen fields of the register; the older layout holds them too, named in capitals.
QList<FieldDef> registerCoreFields(bool capitals)
{
    auto name = [capitals](const char *field) {
        const QString n = QString::fromLatin1(field);
        return capitals ? n.toUpper() : n;
    };
    return {integer(name("Id_misurazioni"), true), integer(name("Id_esercizio"), true),
            integer(name("Id_ms"), true), integer(name("Id_tecnico"), true),
            text(name("Matricola_ms"), 9), text(name("Tipo_intervento"), 1),
            date(name("Data_ini")), date(name("Data_fine")), text(name("Esito"), 1),
            boolean(name("Scarico_sn")), text(name("Trimestre"), 1), text(name("COMUNE"), 40),
            text(name("PROVINCIA"), 2), text(name("INDIRIZZO"), 35), text(name("CAP"), 5),
            text(name("ANNO"), 4)};
}

TableSchema misurazioni2()
{
    QList<FieldDef> fields = registerCoreFields(false);
    fields << text(QStringLiteral("r_ditta"), 60) << text(QStringLiteral("p_iva"), 11)
           << date(QStringLiteral("data_nuova_verifica")) << text(QStringLiteral("n_azzeramenti"), 25)
           << number(QStringLiteral("importo"))
           << booleans({QStringLiteral("ivato"), QStringLiteral("pagato"), QStringLiteral("fatturato")})
           << text(QStringLiteral("Referente"), 100) << text(QStringLiteral("Telefono"), 25)
           << text(QStringLiteral("cellulare"), 25)
           << texts({QStringLiteral("note1"), QStringLiteral("note2"), QStringLiteral("note3")}, 200)
           << date(QStringLiteral("Promemoria"));
    return {QStringLiteral("misurazioni2"), fields, QStringLiteral("Id_misurazioni"), verificationIndexes()};
}

TableSchema misurazioniOld()
{
    return {QStringLiteral("misurazioni"), registerCoreFields(true), QStringLiteral("ID_MISURAZIONI"),
            verificationIndexes().mid(0, 7)};
}

TableSchema datiExtra()
{
    QList<FieldDef> fields{integer(QStringLiteral("Id")), integer(QStringLiteral("Id_misurazione")),
                           text(QStringLiteral("N_azzeramenti"), 25), number(QStringLiteral("Importo"))};
    fields << booleans({QStringLiteral("Ivato"), QStringLiteral("Pagato_sn"), QStringLiteral("Fatturato_sn")});
    fields << text(QStringLiteral("Referente"), 100) << text(QStringLiteral("Telefono"), 25)
           << text(QStringLiteral("Cellulare"), 25) << text(QStringLiteral("Note1"), 200)
           << text(QStringLiteral("Note2"), 200) << date(QStringLiteral("Promemoria"));
    return {QStringLiteral("dati_extra"), fields, QStringLiteral("Id"), {}};
}

// Staging tables hold every value as text, dates as the eight characters read from the file.
TableSchema staging(const QString &name, const QList<QPair<const char *, int>> &columns)
{
    QList<FieldDef> fields{integer(QStringLiteral("Id"))};
    for (const auto &[field, size] : columns)
        fields << text(QString::fromLatin1(field), size);
    return {name, fields, QStringLiteral("Id"), {}};
}

TableSchema riga1()
{
    return staging(QStringLiteral("riga1"),
                   {{"Piva", 11}, {"Tipo_abilitazione", 1}, {"Id_al_sigillo", 30}, {"Denominazione", 60},
                    {"Comune_df", 40}, {"Prov_df", 2}, {"Cognome", 26}, {"Nome", 25}, {"Sesso", 1},
                    {"Data_nasc", 8}, {"Comune_nasc", 40}, {"Prov_nasc", 2}, {"Anno_rif", 4}, {"Tri_rif", 1}});
}

TableSchema riga2()
{
    return staging(QStringLiteral("riga2"),
                   {{"Cf", 16}, {"Cognome", 26}, {"Nome", 25}, {"Sesso", 1}, {"Data_nasc", 8},
                    {"Comune_nasc", 40}, {"Prov_nasc", 2}, {"Id_al_sigillo", 30}, {"Id_num_sigillo", 4},
                    {"Responsabile", 1}, {"Titolo_studio", 1}, {"Data_ini", 8}, {"Data_fine", 8}});
}

TableSchema riga3()
{
    return staging(QStringLiteral("riga3"),
                   {{"Cf", 16}, {"Id_al_sigillo", 30}, {"Id_num_sigillo", 4}, {"Data_inizio", 8},
                    {"Data_fine", 8}, {"Esito", 1}, {"Piva", 11}, {"Ragione_sociale", 60}, {"Comune", 40},
                    {"Provincia", 2}, {"Indirizzo", 35}, {"Cap", 5}, {"Tipo_intervento", 1},
                    {"Marchio_ms", 40}, {"Denominazione_ms", 40}, {"Logotipo", 2}, {"Matricola", 9},
                    {"Trimestre", 1}});
}

const QHash<QString, TableSchema> &allTables()
{
    static const QHash<QString, TableSchema> tables = [] {
        QHash<QString, TableSchema> byName;
        for (const QList<TableSchema> &group : {catalogue::baseTables(), catalogue::yearTables(), catalogue::stagingTables()})
            for (const TableSchema &table : group)
                byName.insert(table.name.toLower(), table);
        return byName;
    }();
    return tables;
}

void makeDirectory(const QString &directory)
{
    if (!QDir().mkpath(directory))
        throw engine::EngineError(QStringLiteral("Impossibile creare la cartella %1").arg(QDir::toNativeSeparators(directory)));
}

} // namespace

namespace catalogue {

const TableSchema &schema(const QString &tableName)
{
    const auto found = allTables().constFind(tableName.toLower());
    if (found == allTables().cend())
        throw engine::EngineError(QStringLiteral("La tabella %1 non esiste nel catalogo").arg(tableName));
    return *found;
}

QList<TableSchema> baseTables()
{
    return {esercizio(), ms(), soggettoObbligato(), lsoggettoObbligato(), tecnici(), modTecnici(),
            intermediario(), comuniNew(), comuniOld(), zone(), password(), impostazioni(), tipoInt()};
}

QList<TableSchema> yearTables()
{
    return {misurazioni2(), misurazioniOld(), datiExtra()};
}

QList<TableSchema> stagingTables()
{
    return {riga1(), riga2(), riga3()};
}

void createMissingTables(const QString &directory, const QList<TableSchema> &tables)
{
    makeDirectory(directory);
    for (const TableSchema &table : tables)
        if (!engine::tablefiles::exists(directory, table.name))
            engine::tablefiles::create(directory, table);
}

namespace {

// The program's own copies of the tables: a missing or damaged one is built again, an earlier version
// brought up to date. They hold no user data; a damaged one would pass on to every new year.
void ensureProgramTables(const QString &directory, const QList<TableSchema> &tables)
{
    makeDirectory(directory);
    for (const TableSchema &table : tables) {
        switch (engine::tablefiles::check(directory, table)) {
        case engine::tablefiles::Condition::Damaged:
            if (!QFile::remove(engine::tablefiles::filePath(directory, table.name)))
                throw engine::EngineError(QStringLiteral("Impossibile sostituire il file danneggiato %1")
                                              .arg(QDir::toNativeSeparators(engine::tablefiles::filePath(directory, table.name))));
            engine::tablefiles::create(directory, table);
            break;
        case engine::tablefiles::Condition::Missing:
            engine::tablefiles::create(directory, table);
            break;
        case engine::tablefiles::Condition::Sound:
            engine::tablefiles::upgrade(directory, table);
            break;
        }
    }
}

} // namespace

void ensureTemplates(const AppState &state)
{
    ensureProgramTables(state.yearTemplateDir(), yearTables());
    // fix1.txt says that the company-name repair is done; its content is never read.
    const QString markerPath = QDir(state.yearTemplateDir()).filePath(QStringLiteral("fix1.txt"));
    if (!QFile::exists(markerPath)) {
        QString reason;
        if (!saveWholeFile(markerPath, "fix1\r\n", &reason))
            throw engine::EngineError(
                QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(markerPath), reason));
    }
    ensureProgramTables(state.dataTemplateDir(), baseTables());
    // A new archive's dati/ is a copy of the template, so the template carries the rows it starts with.
    seeds::seedBaseTables(state.dataTemplateDir());
    ensureProgramTables(state.importDir(), stagingTables());
}

} // namespace catalogue
