#pragma once
// TesercizioForm: the shops ("esercizi/clienti"). Opened from the main window, or as a picker: a
// caller that sets SceltaFatta before opening gets "Seleziona" and "Annulla" instead of "chiudi", and
// finds the flag set again, with dm->Tabesercizio on the chosen shop, when the user chose one.
//
// Pages: 0 the list, 1 a shop being entered. The list is in the order of the index last chosen by a
// title click; the search moves the grid in that order. A shop is stored only with a valid VAT number
// that no other shop has and with every field filled; a shop with verifications in the working year
// cannot be deleted. While the window is open the VAT-number rule moves the focus to "P.iva".

#include "data/engine/table.h"
#include "data/windowhooks.h"
#include "ui/registrywindow.h"

class DBEdit;
class QComboBox;
class QLineEdit;
class QPushButton;

class TesercizioForm : public RegistryWindow, private ShopWindowHooks {
    Q_OBJECT

public:
    explicit TesercizioForm(QWidget *parent = nullptr);
    ~TesercizioForm() override;

    enum Page { ListPage, EntryPage };

private:
    void FormShow() override;
    void focusPiva() override;

    void SpeedButton1Click(); // Nuovo/F8
    void SpeedButton2Click(); // Modifica/F9
    void SpeedButton3Click(); // elimina
    void SpeedButton4Click(); // chiudi
    void SpeedButton5Click(); // Trova
    void SpeedButton6Click(); // Seleziona (picker)
    void SpeedButton7Click(); // Annulla (picker)
    void SpeedButton8Click(); // Stampa
    void SpeedButton9Click(); // Cerca il comune
    void Edit1Change();       // incremental search
    void RxDBGrid1TitleClick(const QString &field);
    void Button1Click();      // OK
    void Button2Click();      // Annulla

    void buildListPage();
    void buildEntryPage();
    void search(engine::LocateOptions options);
    void forgetEntry();

    QComboBox *m_searchField;
    QLineEdit *m_search;
    QPushButton *m_close;
    QPushButton *m_select;
    QPushButton *m_cancelPick;
    DBEdit *m_name;
    DBEdit *m_piva;
    DBEdit *m_municipality;
    DBEdit *m_province;
    DBEdit *m_address;
    DBEdit *m_cap;

    // What the entry under way started as: a new shop, or a shop that had this VAT number.
    bool m_newRow = false;
    QString m_rememberedPiva;
};

extern TesercizioForm *esercizioForm;
