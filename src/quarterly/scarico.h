#pragma once
// The quarterly file for the tax agency, without widgets: the quarter's selection, the four record
// builders, the writing of one file or of one file per authorisation, and the check before sending.
// The window gathers the choices and sigillo-cli scarico takes them from its options: the same
// choices give the same bytes.
//
// Invariants:
// - The archive is only read, through cursors of the operation's own; no table changes, so the file
//   can be written again for the same quarter and while the program is open elsewhere.
// - A line is the fields of its record, each filled to its width, and "A" at 1798; a value longer
//   than its field is written whole and moves what follows, so the line is reported, never cut.
// - A builder that stops yields no record: nothing is written for that row, and the report says so.
// - A character the code page cannot hold, or a control character, is written as "?" and reported
//   with its record and field.
// - A file is written whole or not at all: an earlier file of that name stays as it was when the
//   writing fails.
// - Records come in stored order: headers, variations, interventions (ascending id), trailers.
//
// Builder messages go through Messages as plain boxes, as many times as the rule says; the check
// shows nothing and gives its findings back.

#include "ground/state.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace engine {
class Query;
class Table;
} // namespace engine

namespace quarterly {

constexpr int RecordLength = 1798;

// The decimal digits of text, in their order.
QString SoloCifre(const QString &text);

// Who transmits the file for the laboratory, and what the header says of it.
struct Intermediary {
    QString fiscalCode;     // INTERMEDIARIO.CF
    QString caf;            // the CAF enrolment number, as shown (and maybe changed) in the window
    int preparedBy = 0;     // 1 by the taxpayer, 2 by whoever sends it
    QString commitmentDate; // as the window shows it, dd/MM/yyyy; only its digits are written
};

// A record as a builder made it, and where each of its fields stands, so that a report can name
// the field a character belongs to.
struct Record {
    struct Field {
        QString name;
        qsizetype start = 0; // 0-based
        qsizetype length = 0;
    };
    bool yielded = false; // false: the builder stopped, and there is no record
    QString text;         // without the line terminator
    QList<Field> fields;
    QString fieldAt(qsizetype position) const;
};

// What the check found in one record: the record named by its kind and what tells it apart, the
// field, and what is wrong with it.
struct Finding {
    QString record;
    QString field;
    QString problem;
    QString text() const; // "record, field: problem"
};

struct Choices {
    QString folder;
    QString prefix = QStringLiteral("nome_file");
    bool onePerAuthorisation = false;
};

class Scarico {
public:
    using Report = std::function<void(const QString &line)>; // a line of the window's error box
    using Progress = std::function<void(int percent)>;

    struct Outcome {
        bool written = false; // every file was written
        QStringList files;    // the files written, in order
    };

    // Opens the registries of the state's archive and keeps its working year and per-year lists.
    // Throws engine::EngineError when a table cannot be opened.
    explicit Scarico(const AppState &state);
    ~Scarico();

    // Rows of the authorisation table: more than one means one file per authorisation.
    int authorisationCount() const;
    bool defaultOnePerAuthorisation() const { return authorisationCount() > 1; }

    // The CAF number of the first intermediary with this fiscal code, as choosing it in the window
    // gives it; none when no intermediary has it. Throws engine::EngineError when the table cannot
    // be opened.
    std::optional<QString> cafOf(const QString &fiscalCode) const;

    // The quarter's interventions of types 1 to 3 and the quarter's variations; throws
    // engine::EngineError when the year's register cannot be opened.
    void select(int quarter);
    int quarter() const { return m_quarter; }
    void setIntermediary(const std::optional<Intermediary> &intermediary) { m_intermediary = intermediary; }

    // The operation's cursors, named as the window knows them. The builders read their current row,
    // once select() has read the registries they look up.
    engine::Table &Qmisurazioni();
    engine::Table &linee_sogg();
    engine::Table &Tabmod_tecnici();

    Record RigaTesta(const engine::Table &authorisation);
    Record RigaCoda(const engine::Table &authorisation);
    Record RigaTecnico(const engine::Table &variation);
    Record RigaIntervento(const engine::Table &intervention);

    // Writes the file or files of the selected quarter. A file that cannot be written ends the
    // generation with "Impossibile scrivere il file"; the files written before it stay.
    Outcome generate(const Choices &choices, const Report &report = {}, const Progress &progress = {});

    // What the tax agency's control would reject, or what cannot be right, in the records of the
    // selected quarter; shows nothing and writes nothing.
    QList<Finding> Controllo(bool onePerAuthorisation);

private:
    class Private;
    std::unique_ptr<Private> d;
    int m_quarter = 0;
    std::optional<Intermediary> m_intermediary;
};

} // namespace quarterly
