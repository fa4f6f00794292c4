#pragma once
// Tcodfis: computes the codice fiscale of a natural person and checks a given code by its check
// character. Pure QtCore: it touches no table, file or screen and shows nothing; callers read Valido
// and the error codes and decide what to say.
//
// Results of CalcolaCodice that are not a code (the first failing test, in this order, decides):
//   "3"       surname shorter than 2 characters once trimmed
//   "1" + c   surname holds c, the first character outside A-Z, apostrophe and blank
//   "4"       surname holds no vowel
//   "5"       first name shorter than 2 characters once trimmed
//   "2" + c   first name holds c, the first character outside A-Z, apostrophe and blank
//   "6"       first name holds no vowel before its fourth consonant
//   "7"       Codice_comune is not exactly four letters or digits (so it cannot be checked)
//   "8"       Data_Nascita is not a valid date
// Only a-z are upper-cased, so accented letters are refused. Codice_comune is appended as given.
//
// Controlla reads lower-case letters as capitals; any other character outside 0-9 and A-Z among
// the first 16 makes the code not valid. Omocodic codes (digits replaced by letters) pass when
// their check character agrees.

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>

class Tcodfis : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Valido READ Valido WRITE setValido)
    Q_PROPERTY(QString codfis READ codfis WRITE setCodfis)
    Q_PROPERTY(QString cognome READ cognome WRITE setCognome)
    Q_PROPERTY(QString nome READ nome WRITE setNome)
    Q_PROPERTY(TSesso sesso READ sesso WRITE setSesso)
    Q_PROPERTY(QDate Data_Nascita READ Data_Nascita WRITE setData_Nascita)
    Q_PROPERTY(QString Codice_comune READ Codice_comune WRITE setCodice_comune)

public:
    enum TSesso { M, F };
    Q_ENUM(TSesso)

    // Sender is the component; Value is its own codfis storage, so a handler may rewrite the code.
    using TOnErrorEvent = std::function<void(Tcodfis *Sender, QString &Value)>;

    explicit Tcodfis(QObject *parent = nullptr);

    bool Valido() const { return m_valido; }
    void setValido(bool) {} // the flag follows the code only

    QString codfis() const { return m_codfis; }
    void setCodfis(const QString &value); // stores, then Controlla()

    QString cognome() const { return m_cognome; }
    void setCognome(const QString &value) { m_cognome = value; }
    QString nome() const { return m_nome; }
    void setNome(const QString &value) { m_nome = value; }
    TSesso sesso() const { return m_sesso; }
    void setSesso(TSesso value) { m_sesso = value; }
    QDate Data_Nascita() const { return m_dataNascita; }
    void setData_Nascita(const QDate &value) { m_dataNascita = value; }
    QString Codice_comune() const { return m_codiceComune; }
    void setCodice_comune(const QString &value) { m_codiceComune = value; }

    TOnErrorEvent OnError() const { return m_onError; }
    void setOnError(TOnErrorEvent handler) { m_onError = std::move(handler); }

    // Computes from the properties into codfis without running Controlla; Valido tells whether a
    // code (rather than an error code) came out. Never raises OnError.
    void Calcola();

    static void CalcolaCodice(const QString &cognome, const QString &nome, QString &result,
                              const QString &Codice_comune, const QDate &Data_Nascita, TSesso sesso);

    // Sets Valido from the stored codfis; raises OnError before clearing Valido.
    void Controlla();

private:
    bool m_valido = false;
    QString m_codfis = QString(16, QLatin1Char(' '));
    QString m_cognome;
    QString m_nome;
    TSesso m_sesso = M;
    QDate m_dataNascita = QDate(1899, 12, 30); // day zero, as an empty date reads everywhere else
    QString m_codiceComune;
    TOnErrorEvent m_onError;
};
