#include "ProgramProcess.h"

#include <csignal>

namespace vxg {

void SetUpProgramProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace vxg
