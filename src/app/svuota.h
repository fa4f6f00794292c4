#pragma once
// Emptying of the archives ("svuota archivi"): the tables a user may empty, and the emptying itself.
// Each table is emptied through a second cursor (SvuotaTabella), so it works whether or not the data
// module holds the table open. The working year's register is not among them: its box in the window
// says that it no longer works, and a tick there must not wipe a year of interventions.

#include <QList>

enum class Archivio {
    Tecnici,     // dati/tecnici
    Misuratori,  // dati/ms
    Esercizi,    // dati/esercizio
    Comuni,      // dati/COMUNI_new, filled again from the older list when the data reopen
};

// Empties the chosen archives in the order above. One that cannot be emptied is reported with an
// error box and the others are still emptied.
void SvuotaArchivi(const QList<Archivio> &scelti);
