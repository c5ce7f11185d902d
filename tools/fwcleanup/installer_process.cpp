#include "installer_process.h"

#include <utility>

#include "bridge/function_binding.h"
#include "process_snapshot.h"

namespace fwcleanup {
namespace {

constexpr DWORD kListPollMs = 250;

HANDLE OpenForWait(DWORD pid) {
  fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto openProcess = FW_BIND(kernel32, OpenProcess);
  return kernel32.Complete() ? openProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
}

}  // namespace

bool InstallerProcess::Accept(DWORD pid) { return pid != 0 && pid == ParentProcessId(GetCurrentProcessId()) && Follow(pid); }

bool InstallerProcess::Follow(DWORD pid) {
  fw::UniqueHandle process(OpenForWait(pid));
  if (process ? WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 : ListedProcess(pid) == Listing::kNotListed) {
    return false;
  }
  pid_ = pid;
  process_ = std::move(process);
  return true;
}

InstallerEnd InstallerProcess::WaitForEnd() {
  if (process_) {
    for (;;) {
      const DWORD waited = WaitForSingleObject(process_.get(), INFINITE);
      if (waited == WAIT_OBJECT_0) return InstallerEnd::kEnded;
      if (waited != WAIT_TIMEOUT) break;  // a failed wait proves nothing: the list decides
    }
  }
  for (;;) {
    switch (ListedProcess(pid_)) {
      case Listing::kNotListed:
        return InstallerEnd::kEnded;
      case Listing::kUnknown:
        return InstallerEnd::kUnconfirmed;
      case Listing::kListed:
        Sleep(kListPollMs);
        break;
    }
  }
}

}  // namespace fwcleanup
