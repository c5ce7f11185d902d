// FileSecurity: the owner and the owner group of a file or directory, by account name (NT family).
//
//   WideString owner;
//   DWORD error = FileSecurity(path).GetOwner(owner);   // "root": the bare name, no domain
//   error = FileSecurity(path).SetOwner(L"Administrators");
//
// Every operation returns 0 or a Win32 error. Reading asks Windows for the owner SID only (or the
// group SID only) and names it; setting looks the account up first (an account that does not
// resolve ends the call before anything else), then, with SeTakeOwnershipPrivilege,
// SeRestorePrivilege and SeBackupPrivilege enabled in that order (and disabled in reverse
// afterwards; one that cannot be enabled does not stop the call), writes an absolute security
// descriptor that holds that SID and nothing else. Every security function is bound by name in
// advapi32 at each call, so the library still loads on Windows 9x, which has none of them; a
// missing one ends the call with the look-up's error. An empty path reaches Windows as "".
#pragma once

#include <windows.h>

#include <utility>

#include "bridge/wide_string.h"

namespace fw {

class FileSecurity {
 public:
  explicit FileSecurity(WideString path) : path_(std::move(path)) {}

  DWORD GetOwner(WideString& name) const;
  DWORD GetOwnerGroup(WideString& name) const;
  DWORD SetOwner(const wchar_t* name) const { return ApplySecurityName(name, true); }
  DWORD SetOwnerGroup(const wchar_t* name) const { return ApplySecurityName(name, false); }

 private:
  DWORD LookupSecurityName(WideString& name, WideString& domain, bool owner) const;
  DWORD ApplySecurityName(const wchar_t* name, bool owner) const;

  WideString path_;
};

}  // namespace fw
