// FileOutcome: what a copy, move, delete or directory removal reports to its native method.
//
//   result  0  the operation is complete
//           1  it completes at the next start of the system (the caller must ask for a restart)
//          -1  it failed
//   error   the Win32 error to report, 0 when nothing failed; a non-zero error always wins over
//           the result.
#pragma once

#include <windows.h>

namespace fw {

struct FileOutcome {
  int result;
  DWORD error;
};

inline FileOutcome Done() noexcept { return {0, 0}; }
inline FileOutcome DoneAtRestart() noexcept { return {1, 0}; }
inline FileOutcome Failed(DWORD error) noexcept { return {-1, error}; }

}  // namespace fw
