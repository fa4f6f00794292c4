#include "ground/state.h"

#include <QDir>

QString &AppState::abilitazione(int year, int slot)
{
    return AbilitazioniAnno.at(year - FirstAuthorisationYear).at(slot - 1);
}

const QString &AppState::abilitazione(int year, int slot) const
{
    return AbilitazioniAnno.at(year - FirstAuthorisationYear).at(slot - 1);
}

static QString under(const QString &base, const QString &name)
{
    return QDir::toNativeSeparators(QDir(base).filePath(name));
}

QString AppState::dataDir() const { return under(DirBase, QStringLiteral("dati")); }
QString AppState::yearDir() const
{
    return AnnoLavoro.isEmpty() ? QDir::toNativeSeparators(QDir(DirBase).path()) : under(DirBase, AnnoLavoro);
}
QString AppState::yearTemplateDir() const { return under(DirBase, QStringLiteral("vuoto")); }
QString AppState::dataTemplateDir() const { return under(DirBase, QStringLiteral("vuoto_dati")); }
QString AppState::importDir() const { return under(DirBase, QStringLiteral("importdb")); }

AppState &appState()
{
    static AppState state;
    return state;
}

QString withTrailingSeparator(const QString &directory)
{
    QString native = QDir::toNativeSeparators(directory);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}
