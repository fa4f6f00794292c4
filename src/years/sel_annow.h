#pragma once
// TSel_annoForm: the choice of the working year, at every start and for "Cambia anno...". It can be
// left only by opening a year ("Avanti") or by ending the program ("Annulla"); while it is shown
// AnnoLavoro is empty.

#include <QDialog>

class QSpinBox;

class TSel_annoForm : public QDialog {
    Q_OBJECT

public:
    explicit TSel_annoForm(QWidget *parent = nullptr);

    // The year shown at opening: the current one when it lies in 2004..2030, otherwise 2020.
    static int defaultYear(int currentYear);

public Q_SLOTS:
    void reject() override; // the close box and Esc

private Q_SLOTS:
    void avantiClick();
    void annullaClick();

private:
    QSpinBox *m_year;
    bool m_confirmed = false;
    bool m_ending = false;
};

extern TSel_annoForm *Sel_annoForm;
