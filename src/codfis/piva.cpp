#include "codfis/piva.h"

namespace {

int digitValue(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
}

} // namespace

bool PivaValida(const QString &text)
{
    if (text.trimmed().size() < 11)
        return false;

    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        const int d = digitValue(text.at(i));
        if (d < 0)
            return false;
        // Positions 2, 4, ..., 10 (odd indexes here) count the digits of twice their value.
        if (i % 2 == 1) {
            const int doubled = 2 * d;
            sum += doubled / 10 + doubled % 10;
        } else {
            sum += d;
        }
    }
    const int check = (10 - sum % 10) % 10;
    return text.back() == QLatin1Char(char('0' + check));
}
