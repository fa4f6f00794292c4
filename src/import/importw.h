#pragma once
// Timportform: "importform", the import of a quarterly-format file. The top bar chooses the file and
// its layout; "Visualizza" stages it (importer::QuarterlyImport) and shows the staged headers and
// technicians, read-only, and the staged interventions, which can be corrected in place; "Importa"
// merges the interventions into the registries and the working year's register, with its progress on
// the bar beside it, and says "File importato correttamente". Closing the window closes the staging
// tables and reopens the data module, so that every shared cursor sees what the import added.

#include <QDialog>

#include <memory>

class DBGrid;
class QLabel;
class QProgressBar;
class QWidget;
class RadioGroup;

namespace engine {
class DataSource;
}

namespace importer {
class QuarterlyImport;
}

class Timportform : public QDialog {
    Q_OBJECT

public:
    // Throws engine::EngineError without the data module.
    explicit Timportform(QWidget *parent = nullptr);
    ~Timportform() override;

    void done(int result) override; // every way the window closes

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void SpeedButton4Click(); // "Seleziona il file"
    void SpeedButton1Click(); // "Visualizza"
    void SpeedButton3Click(); // "Importa"
    void SpeedButton2Click(); // "Chiudi"

    DBGrid *grid(const char *objectName, engine::DataSource *source, const QStringList &fields);
    void reopenData();

    std::unique_ptr<importer::QuarterlyImport> m_import;
    bool m_shown = false;
    QLabel *m_fileName;
    RadioGroup *m_layout;
    QWidget *m_importBar;
    QProgressBar *m_progress;
};

extern Timportform *importform;
