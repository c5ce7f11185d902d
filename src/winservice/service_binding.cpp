#include "winservice/service_binding.h"

namespace fw {

FunctionBinder ServiceFunctions() noexcept { return FunctionBinder(GetModuleHandleA("advapi32.dll")); }

BOOL CloseServiceHandleByName(SC_HANDLE handle) noexcept {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto closeServiceHandle = FW_BIND(advapi32, CloseServiceHandle);
  return closeServiceHandle != nullptr ? closeServiceHandle(handle) : FALSE;
}

DWORD OpenServiceManager(UniqueServiceHandle& manager) noexcept {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto openManager = FW_BIND(advapi32, OpenSCManagerW);
  if (openManager == nullptr) return 0;
  manager.reset(openManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  return manager ? 0 : GetLastError();
}

DWORD OpenServiceByName(SC_HANDLE manager, const wchar_t* name, DWORD access, UniqueServiceHandle& service) noexcept {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto openService = FW_BIND(advapi32, OpenServiceW);
  if (openService == nullptr) return 0;
  service.reset(openService(manager, name, access));
  return service ? 0 : GetLastError();
}

}  // namespace fw
