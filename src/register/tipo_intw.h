#pragma once
// Ttipo_intForm: the laboratory's intervention types ("Tipo di intervento:"), at most nine, each with
// a code 1 to 9 used by no other type. Locked rows (the three fixed types) can be neither modified nor
// deleted. The code is chosen with a spin box and copied into the row on "OK", after a check against a
// second, read-only cursor on the table.
//
// Pages: 0 the list, 1 a type being entered.

#include "data/engine/table.h"
#include "ui/registrywindow.h"

class DBEdit;
class QSpinBox;

class Ttipo_intForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit Ttipo_intForm(QWidget *parent = nullptr);
    ~Ttipo_intForm() override;

    enum Page { ListPage, EditPage };
    static constexpr int MaxTypes = 9;

private:
    void FormShow() override;
    void FormClose();
    bool currentLocked() const;

    void SpeedButton1Click(); // Nuovo
    void SpeedButton2Click(); // Modifica
    void SpeedButton3Click(); // Elimina
    void SpeedButton5Click(); // OK
    void SpeedButton6Click(); // Annulla
    void SpeedButton4Click(); // chiudi

    void buildListPage();
    void buildEditPage();

    DBEdit *m_description;
    QSpinBox *m_code;
    engine::Table m_codes; // the code check's own cursor, ordered by code
};

extern Ttipo_intForm *tipo_intForm;
