#include "ground/config.h"

#include "ground/inifile.h"
#include "ground/messages.h"
#include "ground/state.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString DirectorySection = QStringLiteral("Directory");
const QString DirBaseKey = QStringLiteral("DirBase");
const QString YearsSection = QStringLiteral("gestione anni");
const QString YearsKey = QStringLiteral("abilita");

QString &configuredPath()
{
    static QString path;
    return path;
}

} // namespace

namespace config {

QString locationFor(const QString &executablePath, const QString &userDataDir)
{
    const QFileInfo executable(executablePath);
    const QString fileName = executable.completeBaseName() + QStringLiteral(".INI");
    const QFileInfo besideExecutable(executable.dir(), fileName);
    const QFileInfo folder(executable.absolutePath());
    const bool writable = besideExecutable.exists() ? besideExecutable.isWritable()
                                                    : folder.isDir() && folder.isWritable();
    return writable ? besideExecutable.absoluteFilePath() : QDir(userDataDir).absoluteFilePath(fileName);
}

QString defaultFilePath()
{
    return locationFor(QCoreApplication::applicationFilePath(),
                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

void setFilePath(const QString &filePath)
{
    configuredPath() = filePath;
}

QString filePath()
{
    if (configuredPath().isEmpty())
        configuredPath() = defaultFilePath();
    return configuredPath();
}

void readFile(const QString &filePath, AppState &state)
{
    const IniFile file(filePath);

    // An empty DirBase would put the data at the root of the file system; it reads as missing.
    const QString dirBase = file.value(DirectorySection, DirBaseKey).value_or(QString());
    state.DirBase = withTrailingSeparator(dirBase.isEmpty() ? QFileInfo(filePath).absolutePath() : dirBase);

    state.GestioneAnni = file.value(YearsSection, YearsKey).value_or(QStringLiteral("NO"));
    for (int year = FirstAuthorisationYear; year <= LastAuthorisationYear; ++year) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            state.abilitazione(year, slot) = file.value(QString::number(year), QString::number(slot)).value_or(QString());
    }
}

bool writeFile(const QString &filePath, const AppState &state, QString *error)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    IniFile file(filePath);
    file.setValue(DirectorySection, DirBaseKey, state.DirBase);
    file.setValue(YearsSection, YearsKey, state.GestioneAnni);
    for (int year = FirstAuthorisationYear; year <= LastAuthorisationYear; ++year) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            file.setValue(QString::number(year), QString::number(slot), state.abilitazione(year, slot));
    }
    return file.save(error);
}

void read(AppState &state)
{
    readFile(filePath(), state);
}

bool write(const AppState &state)
{
    QString error;
    if (writeFile(filePath(), state, &error))
        return true;
    Messages::error(error);
    return false;
}

bool gestioneAnniAttiva(const AppState &state)
{
    return state.GestioneAnni == QLatin1String("SI");
}

} // namespace config
