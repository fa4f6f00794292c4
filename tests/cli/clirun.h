#pragma once
// sigillo-cli run as a script runs it: its exit status and what it printed on each stream. With a
// file-size limit it runs as on a disk that is full.

#include "filesizelimit.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// With a file-size limit the command runs as on a disk that is full.
inline Run runCli(const QStringList &args, const QByteArray &input = {}, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcess process;
    if (fileSizeLimit != RLIM_INFINITY)
        process.setChildProcessModifier([fileSizeLimit] { filesizelimit::apply(fileSizeLimit); });
    process.start(QStringLiteral(SIGILLO_CLI), args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
