#pragma once
// TAnnoForm: "Anno", opened by the show sequence right after the year selection has created the
// working year. With its box checked, "Inserisci" carries the previous year's periodic verifications
// and commissionings into the new year (years::RiportaVerifiche), says "ESEGUITO" and closes; a failure
// says "Impossibile eseguire" and leaves it open, and pressing the button again adds only what is
// missing. With the box unchecked the button reads "Chiudi e non inserire" and only closes; "Annulla"
// closes too. Neither writes anything.

#include <QDialog>

class QCheckBox;
class QProgressBar;
class QPushButton;

class TAnnoForm : public QDialog {
    Q_OBJECT

public:
    // Throws engine::EngineError without the data module.
    explicit TAnnoForm(QWidget *parent = nullptr);

private:
    void CheckBox1Click();
    void SpeedButton1Click(); // "Inserisci"
    void SpeedButton2Click(); // "Annulla"

    QCheckBox *m_insert;
    QPushButton *m_run;
    QProgressBar *m_progress;
};

extern TAnnoForm *AnnoForm;
