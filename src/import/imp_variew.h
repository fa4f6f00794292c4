#pragma once
// Timp_varieForm: the few settings of the settings record ("Impostazioni  Varie"): where backups go,
// and whether the program asks for a user and password at start. The record is changed by "Imposta"
// and the toggle and posted only by "&Chiudi", which also writes the configuration file and reads it
// back; closing the window any other way drops the change. The settings act at the next start.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTabWidget;
class QTreeView;

class Timp_varieForm : public QDialog {
    Q_OBJECT

public:
    explicit Timp_varieForm(QWidget *parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void ImpostabtnClick();
    void SpeedButton1Click(); // Attiva / Disattiva uso pwd
    void SpeedButton2Click(); // Gestione UTENTI
    void BitBtn1Click();      // &Chiudi

    QWidget *buildBackupPage();
    QWidget *buildPasswordPage();
    void fillVolumes();
    // The volume list and the folder tree show the stored folder, or the base directory's volume.
    void showStoredFolder();
    void showVolume(const QString &rootPath);
    // The folder tree's current folder; the volume itself while no folder is chosen.
    QString chosenFolder() const;
    void showPasswordUse(bool inUse);

    QTabWidget *m_pages;
    QComboBox *m_volumes;
    QFileSystemModel *m_folderModel;
    QTreeView *m_folders;
    QPushButton *m_toggle;
    QPushButton *m_users;
    bool m_shown = false;
};

extern Timp_varieForm *imp_varieForm;
