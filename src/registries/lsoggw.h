#pragma once
// Tlsogg_form: one authorisation of the laboratory ("Dati abilitazione:"), its type and its seal
// identifier. The laboratory window has put dm->TabLsogg in Insert or Edit before opening it; the
// dialog ends that state: "Ok" posts a complete row, "Annulla" cancels, and however else the dialog
// closes the row is cancelled. The frame cannot close it.

#include <QDialog>

class DBComboBox;
class DBEdit;

class Tlsogg_form : public QDialog {
    Q_OBJECT

public:
    explicit Tlsogg_form(QWidget *parent = nullptr);

    void done(int result) override;

private:
    void Button1Click(); // Ok
    void Button2Click(); // Annulla

    DBComboBox *m_type;
    DBEdit *m_seal;
};

extern Tlsogg_form *lsogg_form;
