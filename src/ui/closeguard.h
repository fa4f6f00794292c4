#pragma once
// CloseGuard: a window that cannot be closed from its frame. A close request that reaches the window
// (frame button, Alt+F4) is refused with the message the window gives at that moment, and Esc does
// nothing; while the window gives no message, both close it as usual. The window's own commands close
// it with accept() or reject(), which the guard lets through.

#include <QObject>

#include <functional>

class QDialog;

class CloseGuard : public QObject {
    Q_OBJECT

public:
    using Refusal = std::function<QString()>; // the message refusing a close now; empty lets it through

    CloseGuard(QDialog *window, Refusal refusal);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Refusal m_refusal;
};
