// CriticalErrorsSuppressed: while it lives, a call that touches a drive without a medium fails
// quietly instead of showing the system's critical-error dialog; the process's error mode, whatever
// it was, is put back when it ends.
//
//   const CriticalErrorsSuppressed quiet;
//   GetVolumeInformationW(root, ...);   // an empty CD drive: an error, no dialog
//
// The error mode is process-wide and the bracket takes no lock: a change another thread makes in
// between is lost.
#pragma once

#include <windows.h>

namespace fw {

class CriticalErrorsSuppressed {
 public:
  CriticalErrorsSuppressed() noexcept : saved_(SetErrorMode(0)) { SetErrorMode(saved_ | SEM_FAILCRITICALERRORS); }
  ~CriticalErrorsSuppressed() {
    const DWORD error = GetLastError();  // the caller may be about to read its own call's error
    SetErrorMode(saved_);
    SetLastError(error);
  }
  CriticalErrorsSuppressed(const CriticalErrorsSuppressed&) = delete;
  CriticalErrorsSuppressed& operator=(const CriticalErrorsSuppressed&) = delete;

 private:
  UINT saved_;
};

// win32EnableAbort: true shows critical-error dialogs again (the mode becomes 0, every other flag
// cleared too), false suppresses them for the whole process; returns whether they were suppressed.
bool EnableCriticalErrorDialogs(bool enable) noexcept;

}  // namespace fw
