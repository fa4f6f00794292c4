#pragma once
// TtecnicoForm: the technicians ("Elenco tecnici:") and the variations reported of them to the tax
// agency. Opened from the main window, or as a picker: a caller that sets SceltaFatta before opening gets
// "Seleziona" and "Annulla" instead of "chiudi", and finds the flag set again, with dm->Tabtecnico on the
// chosen technician, when the user chose one.
//
// Pages: 0 the list; 1 a new technician, 3 a change of his other data, 4 the end of his collaboration,
// each stored with a variation row stamped with the working year and the quarter chosen on the page;
// 2 the variations of every year; 5 a plain entry that reports nothing ("Mostra i bottoni normali").
// Name, province and fiscal code follow the personal data through the record rules; the code is typed
// by hand only after "Sblocca".

#include "data/windowhooks.h"
#include "ui/registrywindow.h"

#include <QMap>

class DBComboBox;
class DBDateEdit;
class DBEdit;
class DBGrid;
class DBLookupComboBox;
class QCheckBox;
class QLineEdit;
class RadioGroup;
enum class Variation : char;

class TtecnicoForm : public RegistryWindow, public TechnicianWindowHooks {
    Q_OBJECT

public:
    explicit TtecnicoForm(QWidget *parent = nullptr);
    ~TtecnicoForm() override;

    enum Page { ListPage, NewPage, VariationsPage, ChangePage, EndPage, PlainPage };

    void focusCf() override;

protected:
    QString closeRefusal() const override;

private:
    // The controls of one technician page.
    struct TechnicianPage {
        QWidget *sheet;
        DBEdit *surname;
        DBEdit *name;
        DBComboBox *sex;
        DBDateEdit *birthDate;
        DBEdit *birthPlace;
        DBEdit *province;
        DBEdit *code;
        DBEdit *seal;
        DBLookupComboBox *authorisation;
        DBComboBox *responsible;
        DBComboBox *education;
        DBDateEdit *start;
        DBDateEdit *end;
        QLineEdit *year = nullptr;     // reported pages only
        RadioGroup *quarter = nullptr; // reported pages only
    };
    struct PageLayout;

    void FormShow() override;

    void SpeedButton11Click(); // Inserimento nuovo Tecnico
    void SpeedButton13Click(); // Modifica altri dati del tecnico
    void SpeedButton12Click(); // Fine collaborazione
    void SpeedButton9Click();  // Elenco Variazioni per A.E.
    void CheckBox1Click();     // Mostra i bottoni normali
    void SpeedButton14Click(); // Nuovo
    void SpeedButton15Click(); // Modifica
    void SpeedButton4Click();  // Elimina (technician)
    void SpeedButton3Click();  // chiudi
    void SpeedButton6Click();  // Seleziona (picker)
    void SpeedButton7Click();  // Annulla (picker)
    void Button1Click();       // OK, new technician
    void Button2Click();       // Annulla, new technician
    void Button3Click();       // Ok, other data
    void Button4Click();       // Annulla, other data
    void Button5Click();       // Ok, end of collaboration
    void Button6Click();       // Annulla, end of collaboration
    void Button7Click();       // Ok, plain entry
    void Button8Click();       // Annulla, plain entry
    void SpeedButton5Click();  // Sblocca, new technician
    void SpeedButton1Click();  // Sblocca, other data
    void SpeedButton16Click(); // Sblocca, plain entry
    void SpeedButton17Click(); // Cerca il comune, new technician
    void SpeedButton18Click(); // Cerca il comune, other data
    void SpeedButton19Click(); // Cerca il comune, plain entry
    void SpeedButton8Click();  // indietro
    void SpeedButton2Click();  // Elimina (variation)
    void SpeedButton20Click(); // mod griglia
    void SpeedButton10Click(); // Chiudi, variation list

    void buildListPage();
    void buildVariationsPage();
    void buildTechnicianPage(const PageLayout &layout);

    // Starts an entry on the page with its fiscal code locked and, on the reported pages, no quarter.
    void startTechnicianEntry(Entry entry, Page page);
    bool isComplete(const TechnicianPage &page) const;
    void report(Page page, Variation variation);
    void unlockCode(Page page);
    void searchMunicipality(Page page, const char *callerTag);

    QPushButton *m_close;
    QPushButton *m_select;
    QPushButton *m_cancelPick;
    QCheckBox *m_showPlain;
    QWidget *m_plainPanel;
    DBGrid *m_variations;
    QMap<int, TechnicianPage> m_entry;
};

extern TtecnicoForm *tecnicoForm;
