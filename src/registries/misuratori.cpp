#include "registries/misuratori.h"

bool isWellFormedLogotype(const QString &logotype)
{
    if (logotype.size() != 2)
        return false;
    for (const QChar c : logotype) {
        if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            return false;
    }
    return true;
}
