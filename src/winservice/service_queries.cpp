// Querying services: configuration, status, existence, names and the list of key names.
#include "winservice/service_operations.h"
#include "winservice/service_sequence.h"

namespace fw {
namespace {

constexpr DWORD kQueryConfigAccess = READ_CONTROL | SERVICE_QUERY_CONFIG;
constexpr DWORD kQueryStatusAccess = READ_CONTROL | SERVICE_QUERY_STATUS;

// GetServiceDisplayNameW and GetServiceKeyNameW share their shape: a name in, a name out, the
// length in characters without the terminator.
template <typename Lookup>
DWORD LookUpName(Lookup lookup, ServiceCloser close, const JavaStringChars& name, std::optional<WideString>& out) {
  return OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    DWORD length = 0;
    if (lookup(manager, name.Get(), nullptr, &length)) return 0;
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;
    ++length;
    ScratchBuffer buffer;
    buffer.Allocate(length, sizeof(wchar_t));
    if (!lookup(manager, name.Get(), buffer.As<wchar_t>(), &length)) return GetLastError();
    if (length > 0) out = WideString(buffer.As<const wchar_t>(), length < buffer.Count() ? length : buffer.Count());
    return 0;
  });
}

}  // namespace

DWORD QueryNTServiceStatus(const JavaStringChars& name, std::optional<SERVICE_STATUS>& status) {
  if (!IsServiceName(name)) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto queryStatus = FW_BIND(advapi32, QueryServiceStatus);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kQueryStatusAccess, [&](SC_HANDLE service) -> DWORD {
    SERVICE_STATUS answer = {};
    if (!queryStatus(service, &answer)) return GetLastError();
    status = answer;
    return 0;
  });
}

DWORD QueryNTServiceConfig(const JavaStringChars& name, ScratchBuffer& config) {
  if (!IsServiceName(name)) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto queryConfig = FW_BIND(advapi32, QueryServiceConfigW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kQueryConfigAccess, [&](SC_HANDLE service) -> DWORD {
    return QueryTwice(
        [&](BYTE* buffer, DWORD size, DWORD* needed) {
          return queryConfig(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer), size, needed);
        },
        config);
  });
}

ServiceExistence FindService(const JavaStringChars& name) {
  ServiceExistence found;
  FunctionBinder advapi32 = ServiceFunctions();
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return found;  // no service manager here, like a missing OpenSCManagerW
  found.managerError = OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    UniqueServiceHandle service;
    const DWORD error = OpenServiceByName(close, manager, name.Get(), STANDARD_RIGHTS_REQUIRED, service);
    found.exists = static_cast<bool>(service);
    if (error != ERROR_SERVICE_DOES_NOT_EXIST) found.serviceError = error;
    return 0;
  });
  return found;
}

DWORD GetNTServiceDisplayName(const JavaStringChars& keyName, std::optional<WideString>& displayName) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto lookup = FW_BIND(advapi32, GetServiceDisplayNameW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return LookUpName(lookup, close, keyName, displayName);
}

DWORD GetNTServiceKeyName(const JavaStringChars& displayName, std::optional<WideString>& keyName) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto lookup = FW_BIND(advapi32, GetServiceKeyNameW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return LookUpName(lookup, close, displayName, keyName);
}

DWORD EnumNTServiceKeys(DWORD serviceType, DWORD serviceState, std::optional<StringList>& keyNames) {
  FunctionBinder advapi32 = ServiceFunctions();
  const auto enumServices = FW_BIND(advapi32, EnumServicesStatusW);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    DWORD returned = 0, resume = 0;
    ScratchBuffer buffer;
    const DWORD error = QueryTwice(
        [&](BYTE* entries, DWORD size, DWORD* needed) {
          return enumServices(manager, serviceType, serviceState, reinterpret_cast<ENUM_SERVICE_STATUSW*>(entries),
                              size, needed, &returned, &resume);
        },
        buffer, ERROR_MORE_DATA);
    if (error != 0 || buffer.Empty()) return error;
    StringList names;
    const ENUM_SERVICE_STATUSW* entries = buffer.As<const ENUM_SERVICE_STATUSW>();
    for (DWORD i = 0; i < returned; ++i) names.emplace_back(entries[i].lpServiceName);
    keyNames = std::move(names);
    return 0;
  });
}

}  // namespace fw
