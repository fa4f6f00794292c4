#pragma once
// Technicians: the variation row a reported change leaves for the quarterly file, and the test that
// keeps a technician who has verifications in the register.

#include <QString>
#include <QVariant>

class Tdm;

namespace engine {
class Table;
}

// What a variation tells the tax agency: a new technician, a change of his other data, the end of his
// collaboration. The value is the row's FLAG_VARIAZIONE.
enum class Variation : char { NewTechnician = 'I', OtherData = 'M', EndOfCollaboration = 'F' };

// Appends and posts to data.TabMod_tecnici a snapshot of the technician data.Tabtecnico stands on,
// stamped with the year and the quarter (1 to 4); the rules give the row its id and the technician's.
// The start date goes with a new technician and an end, the end date only with an end. A row that
// cannot be stored throws EngineError and is not left being entered.
void recordVariation(Tdm &data, Variation variation, const QString &year, int quarter);

// True when the table file of `verifications` holds a verification by the technician. The file is read
// through a cursor of its own, so that a filter set on the shared cursor hides nothing; a file that
// cannot be opened throws EngineError.
bool hasVerifications(const engine::Table &verifications, const QVariant &technicianId);
