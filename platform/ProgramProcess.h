#pragma once
// What each program of the suite sets up in its own process before anything else runs.

namespace vxg {

// A write past the file-size limit (ulimit -f) fails like any other write (EFBIG), so the save
// reports it and the program keeps its unsaved work, instead of the signal that such a write
// raises ending the program at once.
void SetUpProgramProcess();

} // namespace vxg
