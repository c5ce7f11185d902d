// The service control manager, reached only through functions bound by name in advapi32 at every
// call: the Windows 9x family has no service functions, and the library must load there all the
// same, so it imports none of them (CloseServiceHandle included).
//
//   FunctionBinder advapi32 = ServiceFunctions();
//   const auto startService = FW_BIND(advapi32, StartServiceW);
//   if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;      // nothing opened yet
//   UniqueServiceHandle manager;
//   if (DWORD error = OpenServiceManager(manager)) return error;
//   if (!manager) return 0;                                     // no OpenSCManagerW: nothing to report
//
// OpenServiceManager and OpenServiceByName return the Win32 error of a failed open, or 0 with no
// handle when the system lacks the open function itself (that failure is not reported).
#pragma once

#include <windows.h>

#include "bridge/function_binding.h"
#include "bridge/unique_resource.h"

namespace fw {

// A binder over the advapi32 already in the process (never loaded by the library).
FunctionBinder ServiceFunctions() noexcept;

// CloseServiceHandle bound by name; does nothing where the system lacks it.
BOOL CloseServiceHandleByName(SC_HANDLE handle) noexcept;

struct ServiceHandleTraits {
  using Type = SC_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { CloseServiceHandleByName(handle); }
};
using UniqueServiceHandle = UniqueResource<ServiceHandleTraits>;

// The local machine's active database with SC_MANAGER_ALL_ACCESS.
DWORD OpenServiceManager(UniqueServiceHandle& manager) noexcept;
DWORD OpenServiceByName(SC_HANDLE manager, const wchar_t* name, DWORD access, UniqueServiceHandle& service) noexcept;

}  // namespace fw
