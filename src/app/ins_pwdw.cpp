#include "app/ins_pwdw.h"

#include "app/passwords.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ui/aprimodale.h"
#include "ui/closeguard.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Tins_pwdForm *ins_pwdForm = nullptr;

Tins_pwdForm::Tins_pwdForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("ins_pwdForm"));
    // A title and the close box, which refuses: no minimise or maximise for a window that must be answered.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Inserisci utente e password"));

    m_users = new QComboBox(this);
    m_users->setObjectName(QStringLiteral("ComboBox1"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Edit1"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(passwords::MaxLength);
    ui::setUpperCase(m_password);

    QPushButton *avanti = ui::commandButton("BitBtn1", QStringLiteral("Avanti"), this);
    avanti->setDefault(true);
    QPushButton *termina = ui::commandButton("BitBtn2", QStringLiteral("Termina programma"), this);
    connect(avanti, &QPushButton::clicked, this, &Tins_pwdForm::BitBtn1Click);
    connect(termina, &QPushButton::clicked, this, &Tins_pwdForm::BitBtn2Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ui::entryPage(QStringLiteral("Accesso al programma"),
                                    {{QStringLiteral("Utente"), m_users}, {QStringLiteral("Password"), m_password}},
                                    {avanti, termina}, this));

    new CloseGuard(this, [] { return QStringLiteral("Per andare avanti usare il bottone accedi"); });
}

bool Tins_pwdForm::Accesso(QWidget *parent)
{
    s_loggedIn = false;
    ApriModale(ins_pwdForm, parent);
    return s_loggedIn;
}

void Tins_pwdForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_filled)
        return;
    m_filled = true;
    const engine::Table *users = dm->Tabpwd;
    if (users->isOpen()) {
        for (int row = 0; row < users->recordCount(); ++row)
            m_users->addItem(users->valueAt(row, QStringLiteral("Nome")).toString());
    }
    m_users->setCurrentIndex(-1);
    m_users->setFocus();
}

void Tins_pwdForm::BitBtn1Click()
{
    if (m_users->currentIndex() < 0 || m_password->text().isEmpty())
        return;
    switch (passwords::login(*dm->Tabpwd, m_users->currentText(), m_password->text())) {
    case passwords::Login::UnknownUser:
        Messages::plain(QStringLiteral("nome utente non trovato"));
        return;
    case passwords::Login::WrongPassword:
        Messages::plain(QStringLiteral("password errata"));
        m_password->selectAll();
        m_password->setFocus();
        return;
    case passwords::Login::LoggedIn:
        s_loggedIn = true;
        accept();
        return;
    }
}

void Tins_pwdForm::BitBtn2Click()
{
    reject();
}
