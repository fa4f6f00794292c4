#pragma once
// The version text shown in the status bar, the splash window and the About box.

#include <QString>

inline QString versionText()
{
    return QStringLiteral("Versione 4.02.2021");
}
