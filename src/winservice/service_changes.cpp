// Creating, reconfiguring, starting, controlling and deleting services.
#include "winservice/service_operations.h"
#include "winservice/service_config_snapshot.h"
#include "winservice/service_sequence.h"

namespace fw {
namespace {

// GENERIC_EXECUTE with SERVICE_CHANGE_CONFIG: enough to reconfigure, nothing more.
constexpr DWORD kChangeConfigAccess = GENERIC_EXECUTE | SERVICE_CHANGE_CONFIG;

const wchar_t* NonEmpty(const wchar_t* text) noexcept { return text != nullptr && *text != L'\0' ? text : nullptr; }

}  // namespace

DWORD CreateNTService(JNIEnv* env, const JavaStringChars& name, jobject config) {
  if (!IsServiceName(name) || config == nullptr) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto createService = FW_BIND(advapi32, CreateServiceW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    const ServiceConfigSnapshot snapshot(env, config);
    if (!snapshot.Readable() || snapshot.Dependencies().HasNullElement()) return ERROR_BAD_ARGUMENTS;
    const ScratchBuffer dependencies = snapshot.Dependencies().MultiString();
    // No account means LocalSystem; a password goes only with an account.
    const wchar_t* user = NonEmpty(snapshot.UserName());
    const wchar_t* password = user != nullptr ? NonEmpty(snapshot.Password()) : nullptr;
    const UniqueServiceHandle created({createService(manager, name.Get(), snapshot.DisplayName(), SERVICE_ALL_ACCESS,
                                                     snapshot.ServiceType(), snapshot.StartType(), snapshot.ErrorControl(),
                                                     snapshot.Command(), snapshot.LoadOrderGroup(), nullptr,
                                                     dependencies.As<const wchar_t>(), user, password),
                                       close});
    return created ? 0 : GetLastError();
  });
}

DWORD ChangeNTServiceConfig(JNIEnv* env, const JavaStringChars& name, jobject config) {
  if (!IsServiceName(name) || config == nullptr) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto changeConfig = FW_BIND(advapi32, ChangeServiceConfigW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kChangeConfigAccess, [&](SC_HANDLE service) -> DWORD {
    const ServiceConfigSnapshot snapshot(env, config);
    if (!snapshot.Readable() || snapshot.Dependencies().HasNullElement()) return ERROR_BAD_ARGUMENTS;
    // No dependencies leave them as they are; account and password go exactly as given.
    const ScratchBuffer dependencies = snapshot.Dependencies().MultiString();
    return Outcome(changeConfig(service, snapshot.ServiceType(), snapshot.StartType(), snapshot.ErrorControl(),
                                snapshot.Command(), snapshot.LoadOrderGroup(), nullptr,
                                dependencies.As<const wchar_t>(), snapshot.UserName(), snapshot.Password(),
                                snapshot.DisplayName()));
  });
}

DWORD StartNTService(const JavaStringChars& name, JavaStringArray& arguments) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto startService = FW_BIND(advapi32, StartServiceW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  if (arguments.HasNullElement()) return ERROR_BAD_ARGUMENTS;
  return OnService(close, name.Get(), GENERIC_EXECUTE, [&](SC_HANDLE service) -> DWORD {
    return Outcome(startService(service, arguments.Count(), arguments.Pointers()));
  });
}

DWORD DeleteNTService(const JavaStringChars& name) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto deleteService = FW_BIND(advapi32, DeleteService);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), DELETE, [&](SC_HANDLE service) -> DWORD { return Outcome(deleteService(service)); });
}

DWORD ControlNTService(const JavaStringChars& name, DWORD control, std::optional<SERVICE_STATUS>& status) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto controlService = FW_BIND(advapi32, ControlService);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), SERVICE_ALL_ACCESS, [&](SC_HANDLE service) -> DWORD {
    SERVICE_STATUS answer = {};
    if (!controlService(service, control, &answer)) return GetLastError();
    status = answer;
    return 0;
  });
}

}  // namespace fw
