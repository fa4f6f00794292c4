#pragma once
// Timp_info_aggForm: "imp_info_aggForm", the additional-information import. "Inserisci" copies the
// previous year's commercial data onto the working year's interventions on the same cash registers
// (importer::ImportaInfoAggiuntive), with its progress on the bar, says "ESEGUITO" and closes; a
// failure says "Impossibile eseguire" and leaves it open. "Annulla" closes without writing.

#include <QDialog>

class QProgressBar;

class Timp_info_aggForm : public QDialog {
    Q_OBJECT

public:
    // Throws engine::EngineError without the data module.
    explicit Timp_info_aggForm(QWidget *parent = nullptr);

private:
    void SpeedButton1Click(); // "Inserisci"
    void SpeedButton2Click(); // "Annulla"

    QProgressBar *m_progress;
};

extern Timp_info_aggForm *imp_info_aggForm;
