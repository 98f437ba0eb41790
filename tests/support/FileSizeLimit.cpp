#include "FileSizeLimit.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

int RunUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        rlimit limited{};
        if (getrlimit(RLIMIT_FSIZE, &limited) != 0 || std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR)
            _exit(101);
        limited.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
            _exit(102);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
