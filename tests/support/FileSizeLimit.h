#pragma once
// One piece of a test in a forked child process: on a full disk (files cannot grow beyond limit
// bytes), or without root's rights (as "nobody" when the tests run as root, since root may create
// files anywhere). The test process itself keeps its own limit and rights. What a write past the
// limit does is the process's own affair: the test processes are set up as the programs are
// (vxg::SetUpProgramProcess, in the test main), so such a write fails with EFBIG.
#include <functional>
#include <sys/resource.h>

// The child's exit code, body's return value (0..255); -1 when the child could not run or was
// killed. body must not touch the test framework: it reports through its return value only.
int RunUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body);
int RunWithoutRoot(const std::function<int()>& body);

// Runs body in this process (a window test, say) while files cannot grow beyond limit bytes,
// then puts the limit back. False when the limit could not be set; body did not run then.
bool RunInProcessUnderFileSizeLimit(rlim_t limit, const std::function<void()>& body);
