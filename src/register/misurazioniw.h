#pragma once
// TMisurazioniForm: the register of the working year's interventions ("Elenco interventi:"), where the
// laboratory works all day. Opened by "Elenco Interventi /F6".
//
// Pages: 0 the list, 1 an intervention being entered. The list page holds the grid (rows coloured by
// their marks), the extra fields of the current row beside it, the search and the inputs of the print
// selections; every selection is set on dm->Tabmisurazioni, so what the grid shows is what the
// other windows see. The entry page edits the current row; "OK" checks dates and fields, then posts,
// and the record rules fill quarter, year and the shop's name and VAT number.
//
// The shop and meter model lists read the window's own copies of their tables, so that a picker or
// another window changing the shared cursors' order leaves them as they are; the technicians offered
// are built from a copy of their own at each entry. F8 and F9 act only on the list page.

#include "data/engine/datasource.h"
#include "data/engine/table.h"
#include "register/misurazioni.h"
#include "register/stampe_misurazioni.h"
#include "ui/registrywindow.h"

class DateField;
class DBComboBox;
class DBDateEdit;
class DBEdit;
class DBGrid;
class DBLookupComboBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class RadioGroup;

class TMisurazioniForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit TMisurazioniForm(QWidget *parent = nullptr);

    enum Page { ListPage, EntryPage };

    void done(int result) override;

private:
    void FormShow() override;

    // Commands that change rows.
    void SpeedButton1Click();  // Nuovo /F8
    void SpeedButton2Click();  // Modifica /F9
    void SpeedButton3Click();  // elimina
    void Button1Click();       // OK
    void Button2Click();       // Annulla
    void SpeedButton6Click();  // cerca, the shop
    void SpeedButton10Click(); // cerca, the meter model
    void SpeedButton16Click(); // Cerca il comune
    void SpeedButton15Click(); // the technicians offered
    void ComboBox1Change();    // a technician chosen
    void DBLookupComboBox1Exit();
    void DBDateEdit1Exit();
    void DataprossimaVerifica1Click();
    void Button3Click();       // OK of the next verification date
    void Button4Click();       // annulla of the next verification date
    void SpeedButton4Click();  // chiudi

    // The list page.
    void LbSpeedButton1Click(); // TROVA
    void LbSpeedButton3Click(); // FILTRA
    void LbSpeedButton2Click(); // tutti
    void RadioGroup3Click();    // RICERCA PER:
    void ComboBox3Change();     // a type to search
    void ComboBox5Change();     // a quarter to search
    void CheckBox1Click();      // Mostra informazioni aggiuntive
    void Edit2Change();         // the shop's name, for its card
    void SpeedButton9Click();   // Sel. Esercizio

    // The prints.
    void SpeedButton7Click();  // elenco dal..al..
    void SpeedButton14Click(); // elenco dal..al..(compresso)
    void SpeedButton5Click();  // dettaglio verifica
    void SpeedButton11Click(); // stampa scheda ditta
    void SpeedButton13Click(); // by outcome
    void SpeedButton12Click(); // by technician
    void SpeedButton29Click(); // by type
    void ComboBox6Change();    // a user template chosen
    void SpeedButton27Click(); // stampa, with the user template
    void SpeedButton28Click(); // Edita report
    verifications::Preview preview();
    void refused(const verifications::Selection &selection);
    verifications::Period period() const;

    void buildListPage();
    QWidget *buildSidePanel();
    QTabWidget *buildPrintArea();
    QWidget *buildSearchTab();
    QWidget *buildPeriodTab();
    QWidget *buildShopTab();
    QWidget *buildOutcomeTab();
    QWidget *buildTechnicianTab();
    void buildNextVerificationPanel(QWidget *page);
    void buildEntryPage();
    void showRowCount();
    void showModel();
    void fillTemplates();
    void fillTypeLists();
    void openCopies();
    template<class W>
    void pickInto(W *&window, engine::Table *registry, const QString &field, QWidget *list);
    void runOnList(const std::function<void()> &selection);

    // The window's own copies of the registries.
    engine::Table m_shops;
    engine::Table m_models;
    engine::Table m_technicianList;    // the technician grid of the print selection
    engine::Table m_technicianEntries; // the technicians offered to an entry
    engine::DataSource m_shopSource;
    engine::DataSource m_modelSource;
    engine::DataSource m_technicianSource;
    QList<verifications::TechnicianEntry> m_entries;
    verifications::RegisterPrints m_prints;

    // List page.
    DBGrid *m_grid;
    QLabel *m_rowCount;
    QCheckBox *m_showExtra;
    QGroupBox *m_sidePanel;
    QComboBox *m_templates;
    QTabWidget *m_printArea;
    QWidget *m_searchTab;
    RadioGroup *m_searchBy;
    QLineEdit *m_searchText;
    QComboBox *m_searchTypes;
    QComboBox *m_quarters;
    DateField *m_from;
    DateField *m_to;
    RadioGroup *m_periodBy;
    QComboBox *m_cities;
    QComboBox *m_periodTypes;
    QLineEdit *m_shopId;
    QLineEdit *m_shopName;
    RadioGroup *m_outcome;
    QComboBox *m_printTypes;
    DBGrid *m_technicianGrid;
    QFrame *m_nextPanel;
    DBDateEdit *m_nextDate;

    // Entry page.
    QWidget *m_entryPage;
    DBLookupComboBox *m_shop;
    DBEdit *m_municipality;
    DBEdit *m_province;
    DBEdit *m_address;
    DBEdit *m_cap;
    QLabel *m_piva;
    QComboBox *m_technician;
    DBLookupComboBox *m_model;
    QLineEdit *m_brand;
    QLineEdit *m_logotype;
    DBEdit *m_serial;
    DBComboBox *m_type;
    DBDateEdit *m_start;
    DBDateEdit *m_end;
    DBComboBox *m_outcomeEntry;
};

extern TMisurazioniForm *MisurazioniForm;
