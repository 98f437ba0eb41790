#include "FileSizeLimit.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// setUp returns false when the child cannot be made as asked (exit code 101).
int RunInChild(const std::function<bool()>& setUp, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0)
        _exit(setUp() ? body() : 101);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

int RunUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    return RunInChild(
        [limit] {
            rlimit limited{};
            if (getrlimit(RLIMIT_FSIZE, &limited) != 0)
                return false;
            limited.rlim_cur = limit;
            return setrlimit(RLIMIT_FSIZE, &limited) == 0;
        },
        body);
}

int RunWithoutRoot(const std::function<int()>& body) {
    return RunInChild(
        [] {
            return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0);
        },
        body);
}

bool RunInProcessUnderFileSizeLimit(rlim_t limit, const std::function<void()>& body) {
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return false;
    rlimit limited = saved;
    limited.rlim_cur = limit;
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
        return false;
    body();
    setrlimit(RLIMIT_FSIZE, &saved);
    return true;
}
