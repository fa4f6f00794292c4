#pragma once
// TZOOM_comuniForm: the list of municipalities with their postal zones. It is both the picker the
// registries and the verification entry open to choose a municipality, and the maintenance window of
// the main menu's "Elenco comuni ". The caller tag ChiamanteComuni, set by the opener, decides the
// caption, the commands shown and the record "Seleziona" writes into.
//
// Pages: 0 the lists, 1 a municipality, 2 a new zone. The window works on the shared cursors
// dm->Tabcomuni and its detail dm->Tabzone; the order chosen here stays after the window closes.

#include "ui/registrywindow.h"

class DBEdit;
class DBGrid;
class QLineEdit;
class QPushButton;
class QWidget;
class RadioGroup;

class TZOOM_comuniForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit TZOOM_comuniForm(QWidget *parent = nullptr);

    enum Page { MainPage, MunicipalityPage, ZonePage };

protected:
    // No close guard: closing from the frame skips what "Chiudi" does.
    QString closeRefusal() const override { return {}; }

private:
    void FormShow() override;
    void applyCallerTag();

    void RxSpeedButton1Click(); // Seleziona, and double click on the list
    void RxSpeedButton2Click(); // Chiudi
    void Edit1Change();         // search
    void RxDBGrid1TitleClick(const QString &field);
    void SpeedButton1Click();   // Nuovo
    void SpeedButton2Click();   // Modifica
    void Button1Click();        // OK, municipality page
    void Button2Click();        // ANNULLA, municipality page
    void SpeedButton4Click();   // Aggiungi zona
    void Button3Click();        // OK, zone page
    void Button4Click();        // Annulla, zone page
    void SpeedButton5Click();   // Elimina (zone)
    void SpeedButton6Click();   // Elimina comune

    void buildMainPage();
    void buildMunicipalityPage();
    void buildZonePage();

    DBGrid *m_municipalities;
    DBGrid *m_zones;
    QWidget *m_zonePanel;
    RadioGroup *m_findBy;
    QLineEdit *m_search;
    QPushButton *m_select;
    QPushButton *m_addZone;
    QPushButton *m_deleteZone;
    QPushButton *m_deleteMunicipality;
    DBEdit *m_name;
    QLineEdit *m_zoneCap;
    QLineEdit *m_zoneDescription;
};

extern TZOOM_comuniForm *ZOOM_comuniForm;

// "Cerca il comune" of a window that names a municipality: the list opens for that caller, on the
// first municipality whose name begins with what the user typed, and on its first zone whose postal
// code begins with the typed one, when one was typed.
void searchMunicipality(const QString &callerTag, const QString &typed, QWidget *caller, const QString &typedCap = {});
