#pragma once
// Building filter texts from user data: every value put between apostrophes goes through quoted(),
// so that a company called L'ARTE gives [r_ditta]='L''ARTE' and never breaks the filter.

#include <QString>

namespace engine {

QString quoted(const QString &value); // "L'ARTE" -> "'L''ARTE'"

} // namespace engine
