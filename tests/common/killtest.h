#pragma once
// A process killed in the middle of a long walk, and what it leaves on disk: the walk runs in a forked
// child that kills itself once its progress has reached a given row, as a crash or a power cut would end
// it; afterwards every table file is checked by SQLite itself. The parent must hold no table open while
// the child runs, so that no connection crosses the fork.

#include "filesizelimit.h"
#include "ground/progress.h"

#include <QDirIterator>
#include <QStringList>

#include <sqlite3.h>

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

// What PRAGMA integrity_check says of every table file under the folder that is not "ok"; empty when
// all are sound. The file is opened for writing, as the program opens it, so that SQLite first rolls
// back what a killed transaction left in its journal.
inline QStringList integrityProblems(const QString &folder)
{
    QStringList problems;
    QDirIterator files(folder, {QStringLiteral("*.sqlite")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        sqlite3 *db = nullptr;
        QString answer = QStringLiteral("non si apre");
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_stmt *statement = nullptr;
            if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_step(statement) == SQLITE_ROW)
                answer = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        if (answer != QLatin1String("ok"))
            problems << path + QStringLiteral(": ") + answer;
    }
    return problems;
}

} // namespace killtest
