// InstallerProcess: the process a request comes from, accepted only when it is the one that started
// this program and still runs, and waited for until it has ended.
//
//   InstallerProcess installer;
//   if (!installer.Accept(request.installerPid)) ...;       // another program's request: wait on
//   if (installer.WaitForEnd() == InstallerEnd::kEnded) ...  // delete now
//
// The wait has no time bound: a deletion never starts because waiting took long. The process is
// opened when its request is accepted, so the wait follows that very process. When it cannot be
// opened (OpenProcess missing, access denied) or the wait fails, the process list decides
// (process_snapshot.h); when there is no list either, its end is unconfirmed and nothing is
// deleted now.
#pragma once

#include <windows.h>

#include "bridge/unique_resource.h"

namespace fwcleanup {

enum class InstallerEnd { kEnded, kUnconfirmed };

class InstallerProcess {
 public:
  // True when pid is this program's parent process and is not known to have ended.
  bool Accept(DWORD pid);
  // Accept without the parent test: true when the process is not known to have ended.
  bool Follow(DWORD pid);
  // Only after Accept or Follow returned true.
  InstallerEnd WaitForEnd();

 private:
  DWORD pid_ = 0;
  fw::UniqueHandle process_;
};

}  // namespace fwcleanup
