#include "data/seeds.h"

#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/engine/table.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

// The list lives in a static library, whose resource object the linker would drop unless referenced.
static void loadMunicipalityResource()
{
    Q_INIT_RESOURCE(comuni);
}

namespace {

struct InterventionType {
    int id;
    const char *description;
};

// Codes 1 to 3 are the ones the register's type text and the quarterly file know.
constexpr InterventionType fixedTypes[] = {
    {1, "MESSA IN SERVIZIO"},
    {2, "DEFISCALIZZAZIONE"},
    {3, "VERIFICA PERIODICA"},
};

// The Argon2id hash of "1", made once: the initial password is the same in every archive and told to
// every user, so one salt hides nothing less than a new one would.
constexpr char initialPasswordHash[] =
    "$argon2id$v=19$m=65536,t=2,p=1$pNwgajK5pYLK/vW8h07qwg$C8GYG7lgmvEn3H5MuIRty5/vysrRHhGmmVzdLiylKAw";

void openTable(engine::Table &table, const QString &directory, const QString &name)
{
    table.setDirectory(directory);
    table.setTableName(name);
    table.open();
}

[[noreturn]] void unreadable(const QString &where)
{
    throw engine::EngineError(QStringLiteral("L'elenco dei comuni del programma non è leggibile (%1)").arg(where));
}

} // namespace

namespace seeds {

QList<Municipality> municipalities()
{
    loadMunicipalityResource();
    QFile file(QStringLiteral(":/comuni/comuni.csv"));
    if (!file.open(QIODevice::ReadOnly))
        unreadable(file.fileName());
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);

    static const QRegularExpression province(QStringLiteral("^[A-Z]{2}$"));
    static const QRegularExpression cadastral(QStringLiteral("^[A-Z][0-9]{3}$"));
    static const QRegularExpression postal(QStringLiteral("^[0-9]{5}$"));
    QList<Municipality> list;
    list.reserve(lines.size());
    // The first line names the columns.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // A checkout with Windows line ends leaves a carriage return behind each line.
        const QStringList fields = lines[i].trimmed().split(QLatin1Char(';'));
        const auto badLine = [i] { unreadable(QStringLiteral("riga %1").arg(i + 1)); };
        if (fields.size() != 4 || fields[0].isEmpty() || fields[0].size() > 40 || !province.match(fields[1]).hasMatch()
            || !cadastral.match(fields[2]).hasMatch())
            badLine();
        Municipality m{fields[0], fields[1], fields[2], fields[3].split(QLatin1Char(' '), Qt::SkipEmptyParts)};
        if (m.postalCodes.isEmpty())
            badLine();
        for (const QString &code : std::as_const(m.postalCodes))
            if (!postal.match(code).hasMatch())
                badLine();
        std::sort(m.postalCodes.begin(), m.postalCodes.end());
        list << m;
    }
    return list;
}

QString generalPostalCode(const QStringList &postalCodes)
{
    QString lowest;
    for (const QString &code : postalCodes) {
        if (code.endsWith(QLatin1String("00")))
            return code;
        if (lowest.isEmpty() || code < lowest)
            lowest = code;
    }
    return lowest;
}

void seedMunicipalities(const QString &directory)
{
    engine::Table comuni;
    openTable(comuni, directory, QStringLiteral("COMUNI_new"));
    if (!comuni.isEmpty())
        return;
    engine::Table zone;
    openTable(zone, directory, QStringLiteral("zone"));
    const bool withZones = zone.isEmpty();
    const QList<Municipality> list = municipalities();

    engine::BulkScope bulk;
    for (const Municipality &m : list) {
        comuni.append();
        comuni.setValue(QStringLiteral("COMUNE"), m.name);
        comuni.setValue(QStringLiteral("PROVINCIAI"), m.province);
        comuni.setValue(QStringLiteral("CODICEFISC"), m.cadastralCode);
        comuni.setValue(QStringLiteral("CAP"), generalPostalCode(m.postalCodes));
        comuni.post();
        if (!withZones || m.postalCodes.size() < 2)
            continue;
        const QVariant id = comuni.value(QStringLiteral("Id"));
        for (qsizetype i = 0; i < m.postalCodes.size(); ++i) {
            zone.append();
            zone.setValue(QStringLiteral("Id_comune"), id);
            zone.setValue(QStringLiteral("Descrizione"), QStringLiteral("ZONA %1").arg(i + 1));
            zone.setValue(QStringLiteral("CAP_zona"), m.postalCodes[i]);
            zone.post();
        }
    }
}

void seedInterventionTypes(const QString &directory)
{
    engine::Table types;
    openTable(types, directory, QStringLiteral("tipo_int"));
    if (!types.isEmpty())
        return;
    engine::BulkScope bulk;
    for (const InterventionType &type : fixedTypes) {
        types.append();
        types.setValue(QStringLiteral("Id"), type.id);
        types.setValue(QStringLiteral("descrizione"), QString::fromLatin1(type.description));
        types.setValue(QStringLiteral("tipo"), type.id);
        types.setValue(QStringLiteral("locked"), true);
        types.post();
    }
}

void seedProtectedUser(const QString &directory)
{
    engine::Table users;
    openTable(users, directory, QStringLiteral("password_"));
    if (!users.isEmpty())
        return;
    users.append();
    users.setValue(QStringLiteral("Nome"), QLatin1String(ProtectedUser));
    users.setValue(QStringLiteral("Password"), QLatin1String(initialPasswordHash));
    users.post();
}

void seedBaseTables(const QString &directory)
{
    seedMunicipalities(directory);
    seedInterventionTypes(directory);
    seedProtectedUser(directory);
}

} // namespace seeds
