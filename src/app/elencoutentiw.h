#pragma once
// TelencoutentiForm: the users of the login ("Elenco Utenti:"), opened by the settings window.
//
// Pages: 0 the list (name, password, level), 1 a user being entered. A password is typed anew at every
// entry and stored as its hash, which the list shows as stars. The protected user keeps its name and
// cannot be deleted. Only "Chiudi" closes the window.

#include "ui/registrywindow.h"

class DBEdit;
class QLineEdit;

class TelencoutentiForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit TelencoutentiForm(QWidget *parent = nullptr);

    enum Page { ListPage, EntryPage };

private:
    QString closeRefusal() const override;

    void SpeedButton1Click(); // Nuovo
    void SpeedButton2Click(); // Modifica
    void SpeedButton3Click(); // Elimina
    void SpeedButton4Click(); // Chiudi
    void Button1Click();      // OK
    void Button2Click();      // Annulla

    void buildListPage();
    void buildEntryPage();
    void startUserEntry(Entry entry, bool nameReadOnly);

    DBEdit *m_name;
    QLineEdit *m_password;
};

extern TelencoutentiForm *elencoutentiForm;
