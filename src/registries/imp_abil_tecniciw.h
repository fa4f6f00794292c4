#pragma once
// Timp_abil_tecnici: which authorisations are valid in each year, and the switch that makes the rest
// of the program honour it. One tab per year from FirstAuthorisationYear to LastAuthorisationYear
// holds the year's slots as lines; the lines are working copies, and only "OK" stores them, with the
// switch, into the run-time state and the configuration file.
//
// The slots have room for AuthorisationSlots identifiers, so a laboratory with that many
// authorisations or more cannot be handled: the window says so, leaves the lines empty and read-only
// and offers only "annulla", since storing them would wipe every list.

#include "ground/state.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

class Timp_abil_tecnici : public QDialog {
    Q_OBJECT

public:
    explicit Timp_abil_tecnici(QWidget *parent = nullptr);

private:
    using YearLines = std::array<QLineEdit *, AuthorisationSlots>;

    void FormShow();
    void showEvent(QShowEvent *event) override;
    void refuseTooManyAuthorisations();

    void SpeedButton1Click(); // inserisci/ rimuovi
    void Button1Click();      // OK
    void Button2Click();      // annulla

    QCheckBox *m_switch;
    QTabWidget *m_years;
    QList<YearLines> m_lines; // by year, from the first
    QPushButton *m_toggle;
    QPushButton *m_ok;
    bool m_shown = false;
};

extern Timp_abil_tecnici *imp_abil_tecnici;
