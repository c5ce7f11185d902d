// The Windows version that Wine emulates for this copy of the test program. The run gives each copy
// a name ending in the version ("fwnative_tests-win98.exe") and sets the version for that name in
// the prefix; a setting that did not take would silently run the suite under the wrong version,
// so the program checks what GetVersionExA reports before any test runs.
//
//   if (!fwtest::CheckRunVersion()) return 2;   // it has said what Windows reported, and why it differs
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fwtest {

struct RunVersion {
  const char* name;  // the AppDefaults value: nt40, win2k, winxp, default, win98, winme
  DWORD platformId;
  DWORD major;
  DWORD minor;
};

// Null for a program name without a version suffix (run by hand: nothing to check).
std::optional<RunVersion> RunVersionOfProgram(const std::wstring& programPath);

// Compares GetVersionExA with the program's version and prints both (platform id, version, build
// and service-pack text), to stderr when they differ. False on a mismatch or an unknown suffix.
bool CheckRunVersion();

}  // namespace fwtest
