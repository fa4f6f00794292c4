#pragma once
// Tins_pwdForm: the login ("Inserisci utente e password"), shown by the show sequence when the
// settings ask for it. It can be left only by a user logging in ("Avanti") or by ending the program
// ("Termina programma"); nothing is remembered of who logged in.

#include <QDialog>

class QComboBox;
class QLineEdit;

class Tins_pwdForm : public QDialog {
    Q_OBJECT

public:
    explicit Tins_pwdForm(QWidget *parent = nullptr);

    // Opens the login with ApriModale: true once a user has logged in, false when the program is to end.
    static bool Accesso(QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BitBtn1Click(); // Avanti
    void BitBtn2Click(); // Termina programma

    QComboBox *m_users;
    QLineEdit *m_password;
    bool m_filled = false;
    static inline bool s_loggedIn = false;
};

extern Tins_pwdForm *ins_pwdForm;
