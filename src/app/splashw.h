#pragma once
// TSplashForm: the borderless window shown while the program starts and at each change of year.
// It rewrites its loading line shortly after it appears and closes itself; both delays can be
// shortened (tests run it with no delay at all).

#include <QDialog>

class QLabel;

class TSplashForm : public QDialog {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget *parent = nullptr);

    static void setTimings(int loadingLineMs, int closeMs);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_loading;
    bool m_started = false;
};
