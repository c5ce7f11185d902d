#include "winservice/service_binding.h"

namespace fw {

FunctionBinder ServiceFunctions() noexcept { return FunctionBinder(GetModuleHandleA("advapi32.dll")); }

ServiceCloser BindServiceCloser(FunctionBinder& advapi32) noexcept { return FW_BIND(advapi32, CloseServiceHandle); }

DWORD OpenServiceManager(ServiceCloser close, UniqueServiceHandle& manager) noexcept {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto openManager = FW_BIND(advapi32, OpenSCManagerW);
  if (openManager == nullptr) return 0;
  manager.reset({openManager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS), close});
  return manager ? 0 : GetLastError();
}

DWORD OpenServiceByName(ServiceCloser close, SC_HANDLE manager, const wchar_t* name, DWORD access,
                        UniqueServiceHandle& service) noexcept {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto openService = FW_BIND(advapi32, OpenServiceW);
  if (openService == nullptr) return 0;
  service.reset({openService(manager, name, access), close});
  return service ? 0 : GetLastError();
}

}  // namespace fw
