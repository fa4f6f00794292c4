#pragma once
// Tdm: the data module. It owns one shared cursor per table and one data source per cursor; every
// window works on these. dmCreate() opens them for DirBase and AnnoLavoro, dmDestroy() closes them.
// Opening runs in four groups, each guarded by itself: a failure ends its group silently and leaves
// the group's remaining tables closed.

#include "data/engine/datasource.h"
#include "data/engine/table.h"

#include <QObject>

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

private:
    engine::Table *makeTable(const QString &cursorName, const QString &tableName, const QString &indexName = {});
    void declareFields();
};

// The one data module of the program; set while a Tdm exists.
extern Tdm *dm;
