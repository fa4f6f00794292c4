#pragma once
// The demo archive: a complete, realistic archive built in a new folder, for a first look at the
// program, for the tests and for the benchmark. It is made the way the program makes an archive
// (templates, year creation, configuration file) and filled through the data module as the windows
// would fill it: ids, provinces, postal codes, quarters, company names and the technicians' fiscal
// codes come from the record rules.
//
// Invariants:
// - A folder that already holds any of an archive's files (sigillo.INI, dati/, the templates, the
//   year folder) is refused before anything is written: nothing that exists is ever overwritten.
// - The same request builds the same archive: every choice comes from one generator with a fixed seed.
// - A failure is reported as a failure; what was written until then stays in the folder.
// - Among the interventions every type appears in every quarter, both outcomes appear, and a few rows
//   are malformed as imported data can be (a model with a malformed logotype, a short serial number,
//   an empty start date), so that the register's row colours show.

#include <QString>

#include <functional>

namespace demo {

constexpr int DefaultInterventions = 2000;
// The fewest that hold every type in every quarter and each kind of malformed row.
constexpr int MinimumInterventions = 20;
constexpr int MaximumInterventions = 1000000;

struct Request {
    QString folder;        // made when missing
    int year = 0;          // 0 for the current year; the year selection's range otherwise
    int interventions = DefaultInterventions;
    int shops = 0;         // 0 for one shop every five interventions, at least 20
};

struct Summary {
    QString folder;        // the archive's DirBase
    int year = 0;
    int authorisations = 0;
    int technicians = 0;
    int variations = 0;
    int shops = 0;
    int models = 0;
    int interventions = 0;
    int negative = 0;      // interventions with a negative outcome
    int malformed = 0;     // interventions made malformed on purpose
};

// Called as the interventions are written, every hundredth of them and at the end.
using Progress = std::function<void(int done, int total)>;

// Builds the archive, with no data module in existence: one is made for the build and closed at the
// end, which leaves the run-time state on the new archive and its year. Throws engine::EngineError,
// with an Italian text, when the request or the folder is refused or a write fails.
Summary build(const Request &request, const Progress &progress = {});

} // namespace demo
