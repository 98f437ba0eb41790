#pragma once
// A full disk for one piece of a test: body runs in a forked child process whose files cannot
// grow beyond limit bytes (writes past it fail with EFBIG; SIGXFSZ is ignored). The test process
// itself keeps its own limit.
#include <functional>
#include <sys/resource.h>

// The child's exit code, body's return value (0..255); -1 when the child could not run or was
// killed. body must not touch the test framework: it reports through its return value only.
int RunUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body);
