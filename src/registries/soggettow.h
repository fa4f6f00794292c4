#pragma once
// Tsoggettoform: the laboratory ("soggetto obbligato") and its authorisations. The window works on the
// current row of dm->Tabsoggetto, in practice the only one, and on its detail dm->TabLsogg; it never
// appends a laboratory itself: "Modifica" on an empty table starts the first row.
//
// Pages: 0 shows the laboratory (read-only) with the grid of its authorisations, 1 edits it. Page 0
// shows only the subject group of the kind chosen in PG_PF. On page 1 the record rule
// TabsoggettoPG_PFChange decides, through the hooks this window registers, which subject fields can
// be typed into; the provinces never can, as the municipality fills them.

#include "data/windowhooks.h"
#include "ui/registrywindow.h"

#include <QHash>

class DBRadioGroup;
class QGroupBox;
class QLineEdit;

class Tsoggettoform : public RegistryWindow, public LaboratoryWindowHooks {
    Q_OBJECT

public:
    explicit Tsoggettoform(QWidget *parent = nullptr);
    ~Tsoggettoform() override;

    enum Page { DisplayPage, EditPage };

    void focusPiva() override;
    void setFieldReadOnly(const QString &field, bool readOnly) override;

private:
    void FormShow() override;
    void showSubjectGroups();
    bool laboratoryMissing() const;
    void openAuthorisation(Entry entry);
    void searchMunicipality(const QString &field, const QString &callerTag);

    void SpeedButton2Click(); // Modifica
    void SpeedButton3Click(); // Nuova abilitazione
    void SpeedButton4Click(); // Modifica abilitazione
    void SpeedButton5Click(); // Elimina
    void SpeedButton1Click(); // chiudi
    void Button1Click();      // OK
    void Button2Click();      // Annulla
    void SpeedButton6Click(); // Cerca il comune, fiscal seat
    void SpeedButton9Click(); // Cerca il comune, birth place
    void DBRadioGroup1Exit();

    void buildDisplayPage();
    void buildEditPage();

    QWidget *m_editPage;
    QGroupBox *m_legalGroup;   // on the display page
    QGroupBox *m_naturalGroup; // on the display page
    DBRadioGroup *m_kind;
    QHash<QString, QWidget *> m_editFields; // the edit page's control of each field
};

extern Tsoggettoform *soggettoform;
