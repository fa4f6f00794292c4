#include "data/tdm.h"

#include "codfis/codfis.h"
#include "data/catalogue.h"
#include "data/engine/engineerror.h"
#include "data/engine/tablefiles.h"
#include "data/ignoringfailures.h"
#include "ground/messages.h"
#include "ground/state.h"

#include <QDir>

Tdm *dm = nullptr;

Tdm &requireDataModule()
{
    if (!dm)
        throw engine::EngineError(QStringLiteral("Archivi non aperti: impossibile aprire la finestra."));
    return *dm;
}

using engine::DataSource;
using engine::FieldType;
using engine::Table;


// Opens a table unless it is already open. The file is checked against the catalogue first: a damaged
// one is left as it is and named to the user once the opening ends; an earlier version of the table
// is brought up to date, keeping its rows. The catalogue's indexes are ensured before the opening, since
// they can only be added while no cursor holds the file.
void Tdm::openTable(Table *table, const QString &directory, bool ensureIndexes)
{
    if (table->isOpen())
        return;
    table->setDirectory(directory);
    const engine::TableSchema &schema = catalogue::schema(table->tableName());
    QString reason;
    if (engine::tablefiles::check(directory, schema, &reason) == engine::tablefiles::Condition::Damaged) {
        const QString file = QDir::toNativeSeparators(table->filePath());
        const QString damaged = reason.contains(file) ? reason : file + QStringLiteral(": ") + reason;
        if (!m_damagedFiles.contains(damaged))
            m_damagedFiles << damaged;
        throw engine::EngineError(reason);
    }
    if (engine::tablefiles::exists(directory, schema.name)) {
        try {
            engine::tablefiles::upgrade(directory, schema);
        } catch (const engine::EngineError &e) {
            m_damagedFiles << e.message();
            throw;
        }
    }
    if (ensureIndexes)
        for (const engine::IndexDef &index : schema.indexes)
            table->addIndex(index.name, index.fields, index.caseInsensitive);
    table->open();
}

Tdm::Tdm(QObject *parent)
    : QObject(parent)
{
    Tabesercizio = makeTable(QStringLiteral("Tabesercizio"), QStringLiteral("esercizio"), QStringLiteral("rs_index"));
    c_esercizio = makeTable(QStringLiteral("c_esercizio"), QStringLiteral("esercizio"), QStringLiteral("rs_index"));
    Tabms = makeTable(QStringLiteral("Tabms"), QStringLiteral("ms"), QStringLiteral("indice1"));
    Tabsoggetto = makeTable(QStringLiteral("Tabsoggetto"), QStringLiteral("soggetto_obbligato"));
    TabLsogg = makeTable(QStringLiteral("TabLsogg"), QStringLiteral("Lsoggetto_obbligato"), QStringLiteral("id_sogg_index"));
    Tabtecnico = makeTable(QStringLiteral("Tabtecnico"), QStringLiteral("tecnici"), QStringLiteral("indice1"));
    TabMod_tecnici = makeTable(QStringLiteral("TabMod_tecnici"), QStringLiteral("MOD_TECNICI"));
    Tabintermediario = makeTable(QStringLiteral("Tabintermediario"), QStringLiteral("INTERMEDIARIO"));
    Tabcomuni = makeTable(QStringLiteral("Tabcomuni"), QStringLiteral("COMUNI_new"), QStringLiteral("COMUNE_INDEX"));
    Tabcomuni_old = makeTable(QStringLiteral("Tabcomuni_old"), QStringLiteral("COMUNI"));
    Tabzone = makeTable(QStringLiteral("Tabzone"), QStringLiteral("zone"), QStringLiteral("id_comune_index"));
    Tabpwd = makeTable(QStringLiteral("Tabpwd"), QStringLiteral("password_"));
    TabImpostazioni = makeTable(QStringLiteral("TabImpostazioni"), QStringLiteral("impostazioni"));
    Tabtipo_int = makeTable(QStringLiteral("Tabtipo_int"), QStringLiteral("tipo_int"));
    Tabmisurazioni = makeTable(QStringLiteral("Tabmisurazioni"), QStringLiteral("misurazioni2"), QStringLiteral("fineindex"));
    Tab_misurazioni_old = makeTable(QStringLiteral("Tab_misurazioni_old"), QStringLiteral("misurazioni"));
    Tab_mis = makeTable(QStringLiteral("Tab_mis"), QStringLiteral("misurazioni"));
    Tab_dati_extra = makeTable(QStringLiteral("Tab_dati_extra"), QStringLiteral("dati_extra"));

    dsesercizio = new DataSource(Tabesercizio, this);
    dsC_esercizio = new DataSource(c_esercizio, this);
    dsms = new DataSource(Tabms, this);
    dssoggetto = new DataSource(Tabsoggetto, this);
    dslsogg = new DataSource(TabLsogg, this);
    dstecnico = new DataSource(Tabtecnico, this);
    DataSource1 = new DataSource(TabMod_tecnici, this);
    DataSource2 = new DataSource(Tabintermediario, this);
    dscomuni = new DataSource(Tabcomuni, this);
    dscomuni_old = new DataSource(Tabcomuni_old, this);
    dszone = new DataSource(Tabzone, this);
    dspwd = new DataSource(Tabpwd, this);
    DataSource4 = new DataSource(TabImpostazioni, this);
    dstipo_int = new DataSource(Tabtipo_int, this);
    dsmisurazioni = new DataSource(Tabmisurazioni, this);
    DataSource5 = new DataSource(Tab_misurazioni_old, this);
    DataSource3 = new DataSource(Tab_dati_extra, this);

    codfis1 = new Tcodfis(this);
    codfis1->setObjectName(QStringLiteral("codfis1"));

    declareFields();
    attachRules();
    dm = this;
    dmCreate();
}

Tdm::~Tdm()
{
    dmDestroy();
    if (dm == this)
        dm = nullptr;
}

Table *Tdm::makeTable(const QString &cursorName, const QString &tableName, const QString &indexName)
{
    auto *table = new Table(this);
    table->setObjectName(cursorName);
    table->setTableName(tableName);
    table->setIndexName(indexName);
    return table;
}

void addRegisterLookups(engine::Table &verifications, engine::Table *shops, engine::Table *models, engine::Table *technicians)
{
    const struct {
        const char *name;
        int size;
        Table *table;
        const char *key;
        const char *result;
    } registerLookups[] = {
        {"ragione_sociale", 60, shops, "Id_esercizio", "Ragione_sociale"},
        {"partita_iva", 16, shops, "Id_esercizio", "Piva"},
        {"marchio_ms", 40, models, "Id_ms", "Marchio_ms"},
        {"denominazione_ms", 40, models, "Id_ms", "Denominazione_ms"},
        {"logotipo_ms", 2, models, "Id_ms", "Logotipo_ms"},
        {"cogn_nome", 52, technicians, "Id_tecnico", "Cogn_nome"},
    };
    for (const auto &lookup : registerLookups) {
        const QString key = QString::fromLatin1(lookup.key);
        verifications.addLookupField({QString::fromLatin1(lookup.name), FieldType::Text, lookup.size, key,
                                       lookup.table, key, QString::fromLatin1(lookup.result)});
    }
}

void Tdm::declareFields()
{
    TabLsogg->setMasterLink(Tabsoggetto, QStringLiteral("Id_sogg"), QStringLiteral("Id_sogg_obbl"));
    Tabzone->setMasterLink(Tabcomuni, QStringLiteral("Id_comune"), QStringLiteral("Id"));
    Tab_dati_extra->setMasterLink(Tab_misurazioni_old, QStringLiteral("Id"), QStringLiteral("ID_MISURAZIONI"));

    Tabtecnico->addLookupField({QStringLiteral("al_sigillo"), FieldType::Text, 30, QStringLiteral("Id_sogg"),
                                TabLsogg, QStringLiteral("Id_Lsogg"), QStringLiteral("Id_al_sigillo")});

    addRegisterLookups(*Tabmisurazioni, Tabesercizio, Tabms, Tabtecnico);
    Tabmisurazioni->addCalculatedField({QStringLiteral("tipo_int_str"), FieldType::Text, 50});
    Tabmisurazioni->addCalculatedField({QStringLiteral("esito_str"), FieldType::Text, 20});
}

void Tdm::dmCreate()
{
    const AppState &state = appState();
    const QString data = state.dataDir();
    const QString year = state.yearDir();

    // A failing group ends there, silently, leaving its remaining tables closed; only files that are
    // damaged are named, at the end.
    m_damagedFiles.clear();

    ignoringFailures([&] {
        openTable(TabImpostazioni, data);
        openTable(Tabpwd, data);
    });
    ignoringFailures([&] { openTable(Tabcomuni, data); });
    ignoringFailures([&] { openTable(Tabzone, data); });
    ignoringFailures([&] {
        openTable(Tabesercizio, data);
        openTable(Tabms, data, true);
        Tabms->first();
        openTable(Tabsoggetto, data);
        openTable(TabLsogg, data);
        openTable(Tabtecnico, data, true);
        openTable(TabMod_tecnici, data);
        openTable(Tabintermediario, data);
        openTable(Tabtipo_int, data);
        // Before a year is chosen the year directory is DirBase itself, which holds no register:
        // the group ends here and the year tables stay closed.
        openTable(Tabmisurazioni, year, true);
        AppState &pending = appState();
        if (pending.CorrezioneDaFare) {
            pending.CorrezioneDaFare = false;
            repairCompanyNames();
        }
        if (pending.ConversioneDaFare) {
            pending.ConversioneDaFare = false;
            convertOlderLayout();
        }
        fillAddresses();
        openTable(c_esercizio, data);
        openTable(Tab_dati_extra, year);
    });
    if (!m_damagedFiles.isEmpty())
        Messages::error(QStringLiteral("I file seguenti sono danneggiati e non sono stati aperti né modificati; "
                                       "ripristinarli da una copia di salvataggio:\n")
                        + m_damagedFiles.join(QLatin1Char('\n')));
}

void Tdm::dmDestroy()
{
    for (Table *table : {Tabcomuni, Tabzone, Tabesercizio, Tabmisurazioni, Tabms, Tabsoggetto, TabLsogg,
                         Tabtecnico, TabMod_tecnici, Tabintermediario, Tabtipo_int, TabImpostazioni, Tabpwd,
                         c_esercizio, Tab_dati_extra, Tab_misurazioni_old})
        table->close();
}
