#pragma once
// TmisuratoriForm: the meter models ("Elenco misuratori"), ordered by brand and model name. Opened
// from the main window, or as a picker: a caller that sets SceltaFatta before opening gets "Seleziona"
// and "Annulla" instead of "chiudi", and finds the flag set again, with dm->Tabms on the chosen
// model, when the user chose one.
//
// Pages: 0 the list, 1 a model being entered. Rows whose logotype is malformed are drawn purple.

#include "ui/registrywindow.h"

class DBEdit;
class QPushButton;

class TmisuratoriForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit TmisuratoriForm(QWidget *parent = nullptr);

    enum Page { ListPage, EntryPage };

private:
    void FormShow() override;

    void SpeedButton1Click(); // Nuovo
    void SpeedButton2Click(); // Modifica
    void SpeedButton3Click(); // Elimna
    void Button1Click();      // OK
    void Button2Click();      // Annulla
    void SpeedButton8Click(); // Stampa
    void SpeedButton4Click(); // chiudi
    void SpeedButton6Click(); // Seleziona (picker)
    void SpeedButton7Click(); // Annulla (picker)

    void buildListPage();
    void buildEntryPage();

    QPushButton *m_close;
    QPushButton *m_select;
    QPushButton *m_cancelPick;
    DBEdit *m_brand;
    DBEdit *m_model;
    DBEdit *m_logotype;
};

extern TmisuratoriForm *misuratoriForm;
