#pragma once
// Tdm: the data module. It owns one shared cursor per table and one data source per cursor; every
// window works on these. dmCreate() opens them for DirBase and AnnoLavoro, dmDestroy() closes them.
// Opening runs in four groups, each guarded by itself: a failure ends its group silently and leaves
// the group's remaining tables closed.

#include "data/engine/datasource.h"
#include "data/engine/table.h"

#include <QObject>

class LaboratoryWindowHooks;
class Tcodfis;
class MunicipalityChooser;
class ShopWindowHooks;
class TechnicianWindowHooks;

class Tdm : public QObject {
    Q_OBJECT

public:
    explicit Tdm(QObject *parent = nullptr); // runs dmCreate()
    ~Tdm() override;                         // runs dmDestroy()

    void dmCreate();
    void dmDestroy();

    // Shared cursors, named as the rest of the program knows them.
    engine::Table *Tabesercizio;
    engine::Table *c_esercizio;
    engine::Table *Tabms;
    engine::Table *Tabsoggetto;
    engine::Table *TabLsogg;
    engine::Table *Tabtecnico;
    engine::Table *TabMod_tecnici;
    engine::Table *Tabintermediario;
    engine::Table *Tabcomuni;
    engine::Table *Tabcomuni_old;
    engine::Table *Tabzone;
    engine::Table *Tabpwd;
    engine::Table *TabImpostazioni;
    engine::Table *Tabtipo_int;
    engine::Table *Tabmisurazioni;
    engine::Table *Tab_misurazioni_old;
    engine::Table *Tab_mis;
    engine::Table *Tab_dati_extra;

    // Data sources for the data-bound controls.
    engine::DataSource *dsesercizio;
    engine::DataSource *dsC_esercizio;
    engine::DataSource *dsms;
    engine::DataSource *dssoggetto;
    engine::DataSource *dslsogg;
    engine::DataSource *dstecnico;
    engine::DataSource *DataSource1; // TabMod_tecnici
    engine::DataSource *DataSource2; // Tabintermediario
    engine::DataSource *dscomuni;
    engine::DataSource *dscomuni_old;
    engine::DataSource *dszone;
    engine::DataSource *dspwd;
    engine::DataSource *DataSource4; // TabImpostazioni
    engine::DataSource *dstipo_int;
    engine::DataSource *dsmisurazioni;
    engine::DataSource *DataSource5; // Tab_misurazioni_old
    engine::DataSource *DataSource3; // Tab_dati_extra

    // The fiscal-code component the technician rules compute with; its Valido is the outcome of the
    // last computation, which the fiscal-code rule reads.
    Tcodfis *codfis1;

    // Registered by the windows whose controls the rules touch, while they are open, and by the
    // program for the municipality choice, which can come up while the data module opens (windowhooks.h).
    static inline ShopWindowHooks *shopWindow = nullptr;
    static inline LaboratoryWindowHooks *laboratoryWindow = nullptr;
    static inline TechnicianWindowHooks *technicianWindow = nullptr;
    static inline MunicipalityChooser *municipalityChooser = nullptr;

    // The register's search, read by the register's record filter while RicercaInCorso is on:
    // the field chosen (0 r_ditta, 1 p_iva, 2 Matricola_ms, 3 Tipo_intervento, 4 Trimestre; -1 none)
    // and the text looked for.
    int searchField = -1;
    QString searchText;

    // Record rules (rules.cpp).
    void TabesercizioAfterInsert();
    void TabmsAfterInsert();
    void TabsoggettoAfterInsert();
    void TabtecnicoAfterInsert();
    void TabmisurazioniAfterInsert();
    void TabLsoggAfterInsert();
    void TabintermediarioAfterInsert();
    void TabMod_tecniciAfterInsert();
    void Tabtipo_intAfterInsert();
    void TabesercizioPivaChange();
    void TabesercizioComuneChange();
    void TabsoggettoPivaChange();
    void TabsoggettoPG_comune_fiscaleChange();
    void TabsoggettoPf_comune_nascitaChange();
    void TabsoggettoPG_PFChange();
    void TabtecnicoCognomeChange();
    void TabtecnicoCfChange();
    void TabLsoggAfterOpen();
    void TabcomuniAfterOpen();
    void Tab_misAfterOpen();
    void TabmisurazioniData_fineChange();
    void TabmisurazioniCOMUNEChange();
    void TabmisurazioniId_esercizioChange();
    static void TabmisurazioniCalcFields(engine::Table &table);
    void TabmisurazioniBeforePost();
    bool TabmisurazioniFilterRecord(const engine::Table &table) const;
    void TabesercizioAfterPost();
    void TabmsAfterPost();
    void TabmisurazioniAfterPost();
    void TabcomuniAfterPost();

private:
    void attachRules();
    static void assignId(engine::Table &table, const QString &idField);
    QVariant municipalityField(const QString &municipality, const QString &field) const;
    bool municipalityExists(const QString &municipality) const;
    void copyProvince(engine::Table *table, const QString &sourceField, const QString &provinceField);
    QVariant shopField(const QVariant &shopId, const QString &field) const;

    // One-time steps of opening a year (onetimesteps.cpp).
    void repairCompanyNames();
    void convertOlderLayout();
    void fillAddresses();

    engine::Table *makeTable(const QString &cursorName, const QString &tableName, const QString &indexName = {});
    void declareFields();
    void openTable(engine::Table *table, const QString &directory, bool ensureIndexes = false);

    QStringList m_damagedFiles; // met by the opening under way
};

// The looked-up fields of the register's cursor (misurazioni2): the shop's name and VAT number, the
// model's make, name and logotype, the technician's name, each by its identifier. Before the open.
void addRegisterLookups(engine::Table &verifications, engine::Table *shops, engine::Table *models, engine::Table *technicians);

// The one data module of the program; set while a Tdm exists.
extern Tdm *dm;

// The data module, for a window over the shared cursors, which cannot be built without it: throws
// engine::EngineError, which the user is shown instead of the window.
Tdm &requireDataModule();
