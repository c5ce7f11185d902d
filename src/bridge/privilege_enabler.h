// PrivilegeEnabler: enables one named privilege in the process token for as long as it lives; the
// destructor disables it again (disabled at the end, whatever its state before).
//
//   ShutdownPrivilegeEnabler shutdown;
//   if (shutdown.Error() != 0) return shutdown.Error();   // 1300: the account lacks the privilege
//   ... work that needs the privilege ...
//
// Error() is 0 when the privilege was enabled, else the Win32 error of the step that failed: 127 on
// the 9x family (nothing is tried there), the look-up's error when "advapi32.dll" lacks a token
// function (no token is opened then), or the error of opening the token, looking the name up or
// adjusting the token. Nothing is thrown. Several may live at once; they end in reverse order.
#pragma once

#include <windows.h>

#include "bridge/unique_resource.h"

namespace fw {

class PrivilegeEnabler {
 public:
  explicit PrivilegeEnabler(const char* privilegeName) noexcept;
  virtual ~PrivilegeEnabler();
  PrivilegeEnabler(const PrivilegeEnabler&) = delete;
  PrivilegeEnabler& operator=(const PrivilegeEnabler&) = delete;

  DWORD Error() const noexcept { return error_; }
  bool Enabled() const noexcept { return enabled_; }

 private:
  DWORD error_ = 0;
  decltype(&::OpenProcessToken) openProcessToken_ = nullptr;
  decltype(&::LookupPrivilegeValueA) lookupPrivilegeValue_ = nullptr;
  decltype(&::AdjustTokenPrivileges) adjustTokenPrivileges_ = nullptr;
  UniqueHandle token_;
  TOKEN_PRIVILEGES newState_{};
  bool enabled_ = false;
};

// Shutting the system down, and the reboot action of service failure actions, need this one.
class ShutdownPrivilegeEnabler : public PrivilegeEnabler {
 public:
  ShutdownPrivilegeEnabler() noexcept : PrivilegeEnabler("SeShutdownPrivilege") {}
};

}  // namespace fw
