#pragma once
// A process killed in the middle of a long walk, and what it leaves on disk: the walk runs in a forked
// child that kills itself once its progress has reached a given row, as a crash or a power cut would end
// it; afterwards every table file goes through the engine's integrity check, SQLite's own. The parent must hold no table open while
// the child runs, so that no connection crosses the fork.

#include "data/engine/tablefiles.h"
#include "filesizelimit.h"
#include "ground/progress.h"

#include <QDirIterator>
#include <QStringList>

#include <csignal>
#include <functional>

namespace killtest {

// True when the child died by the kill, after the walk had reported `atRow` rows done.
inline bool killedAt(int atRow, const std::function<void(const Progress &)> &walk)
{
    return filesizelimit::run(RLIM_INFINITY, [&] {
        walk([atRow](int done, int) {
            if (done >= atRow)
                std::raise(SIGKILL);
        });
        return 0;
    }) == -1;
}

// What the integrity check finds wrong in every table file under the folder; empty when all are sound.
inline QStringList integrityProblems(const QString &folder)
{
    QStringList problems;
    QDirIterator files(folder, {QStringLiteral("*.sqlite")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (const QString problem = engine::tablefiles::integrityProblem(path); !problem.isEmpty())
            problems << path + QStringLiteral(": ") + problem;
    }
    return problems;
}

} // namespace killtest
