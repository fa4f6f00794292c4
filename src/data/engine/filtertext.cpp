#include "filtertext.h"

namespace engine {

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

} // namespace engine
