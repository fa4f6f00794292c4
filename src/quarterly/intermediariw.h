#pragma once
// TIntermediariForm: the intermediaries that transmit the quarterly file ("Intermediari:"). Opened
// from the main window's menu and from the quarterly file window, which lists their fiscal codes.
//
// Pages: 0 the list, 1 an intermediary being entered; each has its own bar of buttons. The fiscal code
// is required; the CAF number and the note are not.

#include "ui/registrywindow.h"

class DBEdit;

class TIntermediariForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit TIntermediariForm(QWidget *parent = nullptr);

    enum Page { ListPage, EditPage };

private:
    void SpeedButton1Click(); // Nuovo
    void SpeedButton2Click(); // Modifica
    void SpeedButton3Click(); // elimina
    void SpeedButton4Click(); // chiudi
    void Button1Click();      // Ok
    void Button2Click();      // Annulla

    void buildListPage();
    void buildEditPage();

    DBEdit *m_code;
};

extern TIntermediariForm *IntermediariForm;
