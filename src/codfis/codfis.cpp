#include "codfis/codfis.h"

#include <algorithm>
#include <array>

namespace {

const QString PermittedInNames = QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNM' ");
const QString Vowels = QStringLiteral("AEIOU");
const QString MonthLetters = QStringLiteral("ABCDEHLMPRST");

// Values of A-Z (and of digits 0-9, read as A-J) at the odd positions of the code.
constexpr std::array<int, 26> OddValues = {1,  0, 5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                           20, 11, 3, 6,  8,  12, 14, 16, 10, 22, 25, 24, 23};

// Only a-z: accented letters must stay as they are so that they are refused, not mistaken for A-Z.
QChar upperAscii(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ? QChar(c.unicode() - 'a' + 'A') : c;
}

QString upperAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = upperAscii(c);
    return out;
}

bool isLetter(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The check letter's index (0-25) over the first 15 characters, or -1 when one of them is neither
// a digit nor a letter and the arithmetic has no value for it.
int checkIndex(QStringView first15)
{
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const QChar c = upperAscii(first15[i]);
        int index;
        if (isLetter(c))
            index = c.unicode() - 'A';
        else if (isDigit(c))
            index = c.unicode() - '0';
        else
            return -1;
        // i is 0-based: even i are the odd positions 1, 3, ..., 15.
        sum += (i % 2 == 0) ? OddValues[index] : index;
    }
    return sum % 26;
}

// Prepares a name for the walk: the error code for a short name or a refused character, else "".
QString prepareName(const QString &raw, QString &prepared, QChar shortCode, QChar refusedCode)
{
    prepared = upperAscii(raw.trimmed());
    if (prepared.size() < 2)
        return QString(shortCode);
    for (QChar c : prepared) {
        if (!PermittedInNames.contains(c))
            return QString(refusedCode) + c;
    }
    return {};
}

QString threeLetters(const QString &consonants, const QString &vowels)
{
    return (consonants + vowels + QStringLiteral("XXX")).left(3);
}

} // namespace

Tcodfis::Tcodfis(QObject *parent)
    : QObject(parent)
{
}

void Tcodfis::setCodfis(const QString &value)
{
    m_codfis = value;
    Controlla();
}

void Tcodfis::Calcola()
{
    CalcolaCodice(m_cognome, m_nome, m_codfis, m_codiceComune, m_dataNascita, m_sesso);
    // Error codes are one or two characters long, a computed code always sixteen.
    m_valido = m_codfis.size() == 16;
}

void Tcodfis::CalcolaCodice(const QString &cognome, const QString &nome, QString &result,
                            const QString &Codice_comune, const QDate &Data_Nascita, TSesso sesso)
{
    QString surname;
    if (const QString error = prepareName(cognome, surname, QLatin1Char('3'), QLatin1Char('1')); !error.isEmpty()) {
        result = error;
        return;
    }
    QString consonants, vowels;
    for (QChar c : surname) {
        if (Vowels.contains(c)) {
            if (vowels.size() < 2)
                vowels += c;
        } else if (isLetter(c) && consonants.size() < 3) {
            consonants += c;
        }
    }
    if (vowels.isEmpty()) {
        result = QStringLiteral("4");
        return;
    }
    QString code = threeLetters(consonants, vowels);

    QString firstName;
    if (const QString error = prepareName(nome, firstName, QLatin1Char('5'), QLatin1Char('2')); !error.isEmpty()) {
        result = error;
        return;
    }
    consonants.clear();
    vowels.clear();
    for (QChar c : firstName) {
        if (Vowels.contains(c)) {
            if (vowels.size() < 2)
                vowels += c;
        } else if (isLetter(c)) {
            consonants += c;
            // Four consonants: the first, third and fourth make the part, nothing after counts.
            if (consonants.size() == 4) {
                consonants = QString(consonants[0]) + consonants[2] + consonants[3];
                break;
            }
        }
    }
    if (vowels.isEmpty()) {
        result = QStringLiteral("6");
        return;
    }
    code += threeLetters(consonants, vowels);

    if (Codice_comune.size() != 4
        || !std::all_of(Codice_comune.begin(), Codice_comune.end(),
                        [](QChar c) { return isLetter(upperAscii(c)) || isDigit(c); })) {
        result = QStringLiteral("7");
        return;
    }
    if (!Data_Nascita.isValid()) {
        result = QStringLiteral("8");
        return;
    }

    const int year = (Data_Nascita.year() % 100 + 100) % 100;
    const int day = Data_Nascita.day() + (sesso == F ? 40 : 0);
    code += QStringLiteral("%1").arg(year, 2, 10, QLatin1Char('0'));
    code += MonthLetters[Data_Nascita.month() - 1];
    code += QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
    code += Codice_comune;
    code += QChar('A' + checkIndex(code));
    result = code;
}

void Tcodfis::Controlla()
{
    bool valid = false;
    if (m_codfis.trimmed().size() >= 16) {
        const int index = checkIndex(QStringView(m_codfis).left(15));
        valid = index >= 0 && upperAscii(m_codfis.at(15)) == QChar('A' + index);
    }
    if (valid) {
        m_valido = true;
        return;
    }
    if (m_onError)
        m_onError(this, m_codfis);
    m_valido = false;
}
