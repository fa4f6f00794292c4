#pragma once
// CloseGuard: the registry windows cannot be closed from their frame. A close request that reaches the
// window (frame button, Alt+F4) is refused with "Terminare la fase di inserimento con i tasti di
// conferma" while an entry page is shown and with "Per uscire dalla finestra usare i tasti opportuni"
// on the list page; Esc does not close the window either. The window's own commands close it with
// accept() or reject(), which the guard lets through.

#include <QObject>

class QDialog;
class QStackedWidget;

class CloseGuard : public QObject {
    Q_OBJECT

public:
    CloseGuard(QDialog *window, QStackedWidget *pages, int listPage = 0);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStackedWidget *m_pages;
    int m_listPage;
};
