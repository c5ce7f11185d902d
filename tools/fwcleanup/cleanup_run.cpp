#include "cleanup_run.h"

#include <string>

#include "bridge/platform.h"
#include "entry_removal.h"
#include "entry_resolution.h"

namespace fwcleanup {
namespace {

void LeaveStartFolder() {
  char windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryA(windows);
}

template <typename String>
void Run(const DeletionRequest& request, InstallerProcess& installer, int retries) {
  std::vector<Target<String>> targets;
  ResolveEntries(request.entries, targets);
  LeaveStartFolder();
  if (installer.WaitForEnd() == InstallerEnd::kEnded) {
    RemoveTargets(targets, request.deleteAtRestart, retries);
  } else if (request.deleteAtRestart) {
    ScheduleTargets(targets);
  }
}

}  // namespace

void RunCleanup(const DeletionRequest& request, InstallerProcess& installer, int retries) {
  if (fw::IsWindows9x()) {
    Run<std::string>(request, installer, retries);
  } else {
    Run<std::wstring>(request, installer, retries);
  }
}

}  // namespace fwcleanup
