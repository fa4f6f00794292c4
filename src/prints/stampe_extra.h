#pragma once
// Tstampe_extraForm ("Stampe"): a second view of the working year's interventions for ad-hoc lists, on
// the register's shared cursor. The user narrows the rows with the filter controls, orders them by a
// violet column title, and prints them as a landscape table (Tprn_extra) or exports them to a workbook. However the window closes, it leaves the
// register unfiltered and in end-date order, as the register window expects it.

#include "ui/registrywindow.h"

class DBGrid;
class QComboBox;
class QLabel;
class QProgressBar;

class Tstampe_extraForm : public RegistryWindow {
    Q_OBJECT

public:
    explicit Tstampe_extraForm(QWidget *parent = nullptr);

    // The filter the table print puts in its title: the register's filter text while filtering is on.
    QString activeFilterText() const;

    void done(int result) override;

private:
    void FormShow() override;
    QString closeRefusal() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    void SpeedButton1Click();    // stampa
    void SpeedButton3Click();    // filtra
    void SpeedButton4Click();    // mostra tutti
    void SpeedButton2Click();    // esporta su XLS
    void LbSpeedButton11Click(); // Chiudi
    bool ComboBox4Exit();        // true when the model's name is ambiguous
    void ComboBox4Change();
    void RxDBGrid1TitleClick(const QString &field);

    QWidget *buildFilterGroup();

    DBGrid *m_grid;
    QComboBox *m_type;
    QComboBox *m_outcome;
    QComboBox *m_municipality;
    QComboBox *m_model;
    QComboBox *m_modelIds;
    QComboBox *m_technician;
    QLabel *m_ambiguous;
    QLabel *m_chooseId;
    QProgressBar *m_progress;
};

extern Tstampe_extraForm *stampe_extraForm;
