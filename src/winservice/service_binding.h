// The service control manager, reached only through functions bound by name in advapi32 at every
// call: the Windows 9x family has no service functions, and the library must load there all the
// same, so it imports none of them (CloseServiceHandle included).
//
//   FunctionBinder advapi32 = ServiceFunctions();
//   const auto startService = FW_BIND(advapi32, StartServiceW);
//   const ServiceCloser close = BindServiceCloser(advapi32);
//   if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;      // nothing opened yet
//   UniqueServiceHandle manager;
//   if (DWORD error = OpenServiceManager(close, manager)) return error;
//   if (!manager) return 0;                                     // no OpenSCManagerW: nothing to report
//
// CloseServiceHandle is bound with the operation's own functions, before anything is opened, and
// every handle carries it: a look-up that fails later can never leave a handle open.
// OpenServiceManager and OpenServiceByName return the Win32 error of a failed open, or 0 with no
// handle when the system lacks the open function itself (that failure is not reported).
#pragma once

#include <windows.h>

#include "bridge/function_binding.h"
#include "bridge/unique_resource.h"

namespace fw {

// A binder over the advapi32 already in the process (never loaded by the library).
FunctionBinder ServiceFunctions() noexcept;

using ServiceCloser = decltype(&::CloseServiceHandle);
// CloseServiceHandle, bound after what `advapi32` already holds (null, and the binder incomplete,
// where the system lacks it).
ServiceCloser BindServiceCloser(FunctionBinder& advapi32) noexcept;

// A service or manager handle with the function that closes it; only the handle tells whether one
// is held.
struct ClosableServiceHandle {
  SC_HANDLE handle;
  ServiceCloser close;

  bool operator==(const ClosableServiceHandle& other) const noexcept { return handle == other.handle; }
  bool operator!=(const ClosableServiceHandle& other) const noexcept { return handle != other.handle; }
};

struct ServiceHandleTraits {
  using Type = ClosableServiceHandle;
  static Type Invalid() noexcept { return {nullptr, nullptr}; }
  static void Close(Type service) noexcept { service.close(service.handle); }
};
using UniqueServiceHandle = UniqueResource<ServiceHandleTraits>;

// The local machine's active database with SC_MANAGER_ALL_ACCESS.
DWORD OpenServiceManager(ServiceCloser close, UniqueServiceHandle& manager) noexcept;
DWORD OpenServiceByName(ServiceCloser close, SC_HANDLE manager, const wchar_t* name, DWORD access,
                        UniqueServiceHandle& service) noexcept;

}  // namespace fw
