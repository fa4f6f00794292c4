#include "ui/messageboxpresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QWidget *dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

void MessageBoxPresenter::show(MessageKind kind, const QString &text)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title = QStringLiteral("Sigillo");
    switch (kind) {
    case MessageKind::Information:
        icon = QMessageBox::Information;
        title = QStringLiteral("Informazione");
        break;
    case MessageKind::Warning:
        icon = QMessageBox::Warning;
        title = QStringLiteral("Avvertenza");
        break;
    case MessageKind::Error:
        icon = QMessageBox::Critical;
        title = QStringLiteral("Errore");
        break;
    case MessageKind::Plain:
    case MessageKind::Confirmation:
        break;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

bool MessageBoxPresenter::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Conferma"), text, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
