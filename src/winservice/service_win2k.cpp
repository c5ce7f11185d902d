// The settings Windows 2000 added: failure actions, description and the extended status.
#include "bridge/privilege_enabler.h"
#include "winservice/failure_actions_snapshot.h"
#include "winservice/service_operations.h"
#include "winservice/service_sequence.h"

namespace fw {
namespace {

constexpr DWORD kQueryConfigAccess = READ_CONTROL | SERVICE_QUERY_CONFIG;
constexpr DWORD kQueryStatusAccess = READ_CONTROL | SERVICE_QUERY_STATUS;
constexpr DWORD kChangeConfigAccess = GENERIC_EXECUTE | SERVICE_CHANGE_CONFIG;

// QueryServiceConfig2W at one level, by the two-call pattern.
DWORD QueryConfig2(decltype(&::QueryServiceConfig2W) query, SC_HANDLE service, DWORD level, ScratchBuffer& out) {
  return QueryTwice([&](BYTE* buffer, DWORD size, DWORD* needed) { return query(service, level, buffer, size, needed); },
                    out);
}

// The service database lock, released when the scope ends.
class DatabaseLock {
 public:
  DatabaseLock(decltype(&::LockServiceDatabase) lock, decltype(&::UnlockServiceDatabase) unlock, SC_HANDLE manager)
      : unlock_(unlock), lock_(lock(manager)), error_(lock_ != nullptr ? 0 : GetLastError()) {}
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;
  ~DatabaseLock() {
    if (lock_ != nullptr) unlock_(lock_);
  }
  DWORD Error() const noexcept { return error_; }

 private:
  decltype(&::UnlockServiceDatabase) unlock_;
  SC_LOCK lock_;
  DWORD error_;
};

}  // namespace

DWORD QueryWin2kServiceFailureActions(const JavaStringChars& name, ScratchBuffer& actions) {
  if (!IsServiceName(name)) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto query = FW_BIND(advapi32, QueryServiceConfig2W);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kQueryConfigAccess, [&](SC_HANDLE service) -> DWORD {
    return QueryConfig2(query, service, SERVICE_CONFIG_FAILURE_ACTIONS, actions);
  });
}

std::optional<WideString> QueryWin2kServiceDescription(const JavaStringChars& name, DWORD& error) {
  error = 0;
  if (!IsServiceName(name)) {
    error = ERROR_BAD_ARGUMENTS;
    return std::nullopt;
  }
  FunctionBinder advapi32 = ServiceFunctions();
  const auto query = FW_BIND(advapi32, QueryServiceConfig2W);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) {
    error = ERROR_PROC_NOT_FOUND;
    return std::nullopt;
  }
  ScratchBuffer description;
  error = OnService(close, name.Get(), kQueryConfigAccess, [&](SC_HANDLE service) -> DWORD {
    // A service whose description cannot be read simply has none.
    QueryConfig2(query, service, SERVICE_CONFIG_DESCRIPTION, description);
    return 0;
  });
  if (description.Empty()) return std::nullopt;
  const wchar_t* text = description.As<const SERVICE_DESCRIPTIONW>()->lpDescription;
  if (text == nullptr) return std::nullopt;
  return WideString(text);
}

DWORD ChangeWin2kServiceDescription(const JavaStringChars& name, const JavaStringChars& description) {
  if (!IsServiceName(name)) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto change = FW_BIND(advapi32, ChangeServiceConfig2W);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kChangeConfigAccess, [&](SC_HANDLE service) -> DWORD {
    // "" removes the description; that is what no description means.
    SERVICE_DESCRIPTIONW text = {const_cast<wchar_t*>(description.IsNull() ? L"" : description.Get())};
    return Outcome(change(service, SERVICE_CONFIG_DESCRIPTION, &text));
  });
}

DWORD ChangeWin2kServiceFailureActions(JNIEnv* env, const JavaStringChars& name, jobject actions) {
  if (!IsServiceName(name) || actions == nullptr) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto change = FW_BIND(advapi32, ChangeServiceConfig2W);
  const auto lock = FW_BIND(advapi32, LockServiceDatabase);
  const auto unlock = FW_BIND(advapi32, UnlockServiceDatabase);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    // The lock is taken before the service is opened and given back after it is closed.
    const DatabaseLock locked(lock, unlock, manager);
    if (locked.Error() != 0) return locked.Error();
    UniqueServiceHandle service;
    if (const DWORD error = OpenServiceByName(close, manager, name.Get(), SERVICE_ALL_ACCESS, service)) return error;
    if (!service) return 0;
    FailureActionsSnapshot snapshot(env, actions);
    if (!snapshot.Complete()) return ERROR_BAD_ARGUMENTS;
    if (!snapshot.HasReboot()) return Outcome(change(service.get().handle, SERVICE_CONFIG_FAILURE_ACTIONS, snapshot.Get()));
    // A reboot action needs the shutdown privilege, held for this one call only.
    const ShutdownPrivilegeEnabler shutdown;
    return Outcome(change(service.get().handle, SERVICE_CONFIG_FAILURE_ACTIONS, snapshot.Get()));
  });
}

DWORD QueryWin2kServiceStatusProcess(const JavaStringChars& name, ScratchBuffer& status) {
  if (!IsServiceName(name)) return ERROR_BAD_ARGUMENTS;
  FunctionBinder advapi32 = ServiceFunctions();
  const auto query = FW_BIND(advapi32, QueryServiceStatusEx);
  const ServiceCloser close = BindServiceCloser(advapi32);
  if (!advapi32.Complete()) return ERROR_PROC_NOT_FOUND;
  return OnService(close, name.Get(), kQueryStatusAccess, [&](SC_HANDLE service) -> DWORD {
    return QueryTwice(
        [&](BYTE* buffer, DWORD size, DWORD* needed) {
          return query(service, SC_STATUS_PROCESS_INFO, buffer, size, needed);
        },
        status);
  });
}

}  // namespace fw
