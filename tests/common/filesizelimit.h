#pragma once
// A full disk for tests: a child process whose files cannot grow past a limit (RLIMIT_FSIZE). With
// SIGXFSZ ignored a write past the limit stores what fits and then fails with EFBIG, as on a disk that
// fills up; with the signal left alone the process is killed there, as by a crash in the middle of a
// write. The only POSIX calls of the tests live here.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>

namespace filesizelimit {

enum class AtLimit { WriteFails, ProcessKilled };

// For the calling process, typically a child just forked (only async-signal-safe calls).
inline void apply(rlim_t bytes, AtLimit atLimit = AtLimit::WriteFails)
{
    if (atLimit == AtLimit::WriteFails)
        std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

// Runs `work` in a forked child under the limit and gives back its result, or -1 when the child was
// killed. The child ends with _exit(), so no destructor of the parent's objects (temporary folders)
// runs twice.
inline int run(rlim_t bytes, const std::function<int()> &work, AtLimit atLimit = AtLimit::WriteFails)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        apply(bytes, atLimit);
        const int result = work();
        std::fflush(nullptr);
        _exit(result);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace filesizelimit
