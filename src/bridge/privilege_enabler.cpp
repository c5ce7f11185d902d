#include "bridge/privilege_enabler.h"

#include "bridge/function_binding.h"
#include "bridge/platform.h"

namespace fw {

PrivilegeEnabler::PrivilegeEnabler(const char* privilegeName) noexcept {
  // The 9x family has no tokens; its advapi32 offers stubs only.
  if (!IsWindowsNT()) {
    error_ = ERROR_PROC_NOT_FOUND;
    return;
  }
  FunctionBinder advapi32(GetOrLoadModule(L"advapi32.dll"));
  openProcessToken_ = FW_BIND(advapi32, OpenProcessToken);
  lookupPrivilegeValue_ = FW_BIND(advapi32, LookupPrivilegeValueA);
  adjustTokenPrivileges_ = FW_BIND(advapi32, AdjustTokenPrivileges);
  if (!advapi32.Complete()) {
    error_ = advapi32.Error();
    return;
  }

  HANDLE opened = nullptr;
  if (!openProcessToken_(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
    error_ = GetLastError();
    return;
  }
  token_.reset(opened);

  newState_ = TOKEN_PRIVILEGES{};
  if (!lookupPrivilegeValue_(nullptr, privilegeName, &newState_.Privileges[0].Luid)) {
    error_ = GetLastError();
    return;
  }
  newState_.PrivilegeCount = 1;
  newState_.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  adjustTokenPrivileges_(token_.get(), FALSE, &newState_, sizeof(newState_), nullptr, nullptr);
  // AdjustTokenPrivileges succeeds with 1300 (ERROR_NOT_ALL_ASSIGNED) for a privilege the account
  // does not hold, so the last error decides, not the result.
  error_ = GetLastError();
  enabled_ = error_ == 0;
}

PrivilegeEnabler::~PrivilegeEnabler() {
  const DWORD callerError = GetLastError();
  if (enabled_) {
    newState_.Privileges[0].Attributes = 0;
    adjustTokenPrivileges_(token_.get(), FALSE, &newState_, sizeof(newState_), nullptr, nullptr);
    enabled_ = false;
  }
  token_.reset();
  SetLastError(callerError);
}

}  // namespace fw
