#pragma once
// TMainForm: the main window, alive for the whole run. It owns the configuration file's moments (read
// and written back when it is made, written when it closes), runs the show sequence at its first
// showing and at each change of year, and gives every command of the program.
//
// Each command is a QAction named "action..." in the menu and, where it has one, on the tool bar,
// whose button shows the action's iconText. Commands whose window is not part of the program yet are
// present and disabled; wiring the window to its action enables it. F3 to F6 and Alt+X are shortcuts of
// the window's actions, so they work whichever control has the focus.

#include <QMainWindow>

class QLabel;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The status bar: 0 today's date, 1 the version text, 2 "Anno: " and the working year.
    QString statusPanel(int panel) const;
    void setStatusPanel(int panel, const QString &text);

public Q_SLOTS:
    // Splash, year selection and what follows it; at the first showing and for "Cambia anno...".
    void runShowSequence();
    // "Scarico per" and "Crea file per Agenzia delle Entrate".
    void scaricoPer();
    void informazioniSu();
    void primiPassi();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *command(const char *objectName, const QString &text, const QKeySequence &shortcut = {});
    void buildCommands();
    void buildToolBar();
    void buildMenu();
    void buildCentralArea();
    void buildStatusBar();

    QList<QLabel *> m_statusPanels;
    bool m_shown = false;
};
