#pragma once
// Tscarico_Form: "Scarico trimestrale per l'agenzia delle entrate", the window that writes the
// quarter's file or files for the tax agency. It gathers the choices over three pages and leaves the
// work to quarterly::Scarico: page 1 the quarter, the folder and the file name's prefix ("Avanti"
// selects the quarter); page 2 the intermediary; page 3 the check of the quarter's data, the error
// box, the quarter's variations and interventions, and "Genera scarico", which writes the files, opens
// the folder, says "Eseguito" and closes the window. A file that cannot be written keeps the window
// open. No table changes.
//
// The file-mode selector is kept hidden: the number of authorisations sets it when the window opens.
// The intermediaries come from the data module's INTERMEDIARIO; "Archivio intermediari" is shown but
// not usable yet.

#include <QDialog>

#include <functional>
#include <memory>

class DBGrid;
class DateField;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class RadioGroup;

namespace engine {
class DataSource;
}

namespace quarterly {
class Scarico;
}

class Tscarico_Form : public QDialog {
    Q_OBJECT

public:
    // Throws engine::EngineError without the data module or when the registries cannot be opened.
    explicit Tscarico_Form(QWidget *parent = nullptr);
    ~Tscarico_Form() override;

    enum Page { QuarterPage, IntermediaryPage, GenerationPage };

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SpeedButton4Click();  // Avanti, page 1: the quarter's selection
    void SpeedButton5Click();  // Chiudi
    void SpeedButton2Click();  // "Archivio intermediari"
    void SpeedButton3Click();  // the folder dialog
    void RadioGroup2Click();   // file mode
    void RadioGroup4Click();   // intermediary NO / SI
    void ComboBox1Change();    // an intermediary chosen
    void SpeedButton6Click();  // Avanti, page 2
    void SpeedButton7Click();  // Indietro, page 2
    void SpeedButton11Click(); // indietro, page 3
    void SpeedButton1Click();  // Genera scarico

    QWidget *buildQuarterPage();
    QWidget *buildIntermediaryPage();
    QWidget *buildGenerationPage();
    void reloadIntermediaries();
    void showPage(Page page);
    void showGenerationPage();
    // Runs work with the grids away from the cursors, which it walks row by row.
    void withoutGrids(const std::function<void()> &work);

    std::unique_ptr<quarterly::Scarico> m_scarico;
    bool m_shown = false;

    QProgressBar *m_progress;
    QLabel *m_recordCount;
    QStackedWidget *m_pages;
    RadioGroup *m_fileMode;
    QLineEdit *m_folder;
    QLineEdit *m_prefix;
    QLabel *m_sealHint;
    RadioGroup *m_quarter;
    RadioGroup *m_intermediary;
    QGroupBox *m_intermediaryData;
    QComboBox *m_fiscalCodes;
    QLineEdit *m_caf;
    RadioGroup *m_preparedBy;
    DateField *m_commitment;
    QListWidget *m_findings;
    QPlainTextEdit *m_errors;
    engine::DataSource *m_variations;
    engine::DataSource *m_interventions;
    DBGrid *m_variationsGrid;
    DBGrid *m_interventionsGrid;
};

extern Tscarico_Form *scarico_Form;
