#pragma once
// TZOOM_comuniForm: the list of municipalities with their postal zones. It is both the picker the
// registries and the verification entry open to choose a municipality, and the maintenance window of
// the main menu's "Elenco comuni ". The caller tag ChiamanteComuni, set by the opener, decides the
// caption, the commands shown and the record "Seleziona" writes into.
//
// Pages: 0 the lists, 1 a municipality, 2 a new zone. The window works on the shared cursors
// dm->Tabcomuni and its detail dm->Tabzone; the order chosen here stays after the window closes.

#include <QDialog>

class DBEdit;
class DBGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QWidget;
class RadioGroup;

class TZOOM_comuniForm : public QDialog {
    Q_OBJECT

public:
    explicit TZOOM_comuniForm(QWidget *parent = nullptr);

    void done(int result) override;

    enum Page { MainPage, MunicipalityPage, ZonePage };

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void applyCallerTag();
    void showPage(Page page);

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

    QWidget *buildMainPage();
    QWidget *buildMunicipalityPage();
    QWidget *buildZonePage();

    QStackedWidget *m_pages;
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
    bool m_shown = false;
};

extern TZOOM_comuniForm *ZOOM_comuniForm;
