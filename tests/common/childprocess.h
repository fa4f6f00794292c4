#pragma once
// Fault injection for tests: work run in a child process whose files cannot grow beyond a limit, as on
// a full disk. With the signal ignored, a write beyond the limit fails (EFBIG) and the program must
// notice; with it left alone, the write kills the child there, as a crash would. The only POSIX calls
// of the tests are here.

#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

enum class AtTheLimit {
    WriteFails, // SIGXFSZ ignored: the write returns an error
    Killed,     // SIGXFSZ kills the child in the middle of the write
};

struct ChildOutcome {
    bool exited = false; // false: killed by a signal
    int exitCode = -1;
    int signal = 0;
};

// Runs `work` in a child process with the file-size limit; its return value is the child's exit code.
// The child never returns into the test.
inline ChildOutcome runWithFileSizeLimit(qint64 maxFileSize, AtTheLimit atTheLimit, const std::function<int()> &work)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, atTheLimit == AtTheLimit::WriteFails ? SIG_IGN : SIG_DFL);
        rlimit limit{rlim_t(maxFileSize), rlim_t(maxFileSize)};
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 99;
        try {
            code = work();
        } catch (...) {
            code = 98;
        }
        std::fflush(nullptr);
        _exit(code);
    }
    ChildOutcome outcome;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return outcome;
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}
