#pragma once
// Run-time state shared by every window. The main window fills it from the configuration file and
// writes it back; the other windows and the data module read and write it directly.

#include <QString>

#include <array>
#include <functional>

// The years that have a list of valid authorisations: every year the year selection accepts.
constexpr int FirstAuthorisationYear = 2004;
constexpr int LastAuthorisationYear = 2035;
constexpr int AuthorisationSlots = 10;

struct AppState {
    QString DirBase;            // always ends with the platform separator
    QString AnnoLavoro;         // four digits; empty until a year is chosen
    QString GestioneAnni = QStringLiteral("NO");
    // AbilitazioniAnno[year - FirstAuthorisationYear][slot - 1]
    std::array<std::array<QString, AuthorisationSlots>, LastAuthorisationYear - FirstAuthorisationYear + 1> AbilitazioniAnno;
    bool NuovoAnnoCreato = false;
    bool ConversioneDaFare = false;
    bool CorrezioneDaFare = false;
    bool RicercaInCorso = false;
    QString ChiamanteComuni;
    bool SceltaFatta = false;
    // Where the year selection writes "Anno: " + the year: status panel 2 of the main window, which
    // sets it while it exists; empty without one.
    std::function<void(const QString &)> showYearStatus;

    QString &abilitazione(int year, int slot);
    const QString &abilitazione(int year, int slot) const;

    // Directories under DirBase.
    QString dataDir() const;      // DirBase + "dati"
    QString yearDir() const;      // DirBase + AnnoLavoro; DirBase itself while no year is chosen
    QString yearTemplateDir() const; // DirBase + "vuoto"
    QString dataTemplateDir() const; // DirBase + "vuoto_dati"
    QString importDir() const;    // DirBase + "importdb"
};

AppState &appState();

// The directory with the platform separator at its end.
QString withTrailingSeparator(const QString &directory);
