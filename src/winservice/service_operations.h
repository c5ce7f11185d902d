// The operations behind the service methods of Win32ServiceImpl. Each returns 0 or the Win32
// error its native method reports under its own code, and fills its out-parameter only on success.
//
//   std::optional<SERVICE_STATUS> status;
//   const DWORD error = QueryNTServiceStatus(name, status);   // error: report; !status: return null
//
// Every call follows one sequence: the argument checks (a missing or empty name, or a missing
// configuration: ERROR_BAD_ARGUMENTS, 160), then the operation's own functions and
// CloseServiceHandle bound by name (one missing: ERROR_PROC_NOT_FOUND, 127, nothing opened), then the service control manager and the
// service opened with the narrowest access the call needs, the call, and both handles closed on
// every path. When the system lacks OpenSCManagerW or OpenServiceW themselves nothing is reported
// and nothing is returned. Variable-length results are asked for once with no buffer and once more
// at the size the system names; a second failure is reported as it is.
#pragma once

#include <windows.h>

#include <jni.h>

#include <optional>

#include "bridge/java_string_chars.h"
#include "bridge/scratch_buffer.h"
#include "bridge/wide_string.h"
#include "bridge/java_string_array.h"

namespace fw {

// The configuration comes from a Java NTServiceConfig; its dependencies and the start arguments
// must not hold a null element (160).
DWORD CreateNTService(JNIEnv* env, const JavaStringChars& name, jobject config);
DWORD ChangeNTServiceConfig(JNIEnv* env, const JavaStringChars& name, jobject config);
DWORD StartNTService(const JavaStringChars& name, JavaStringArray& arguments);
DWORD DeleteNTService(const JavaStringChars& name);
DWORD ControlNTService(const JavaStringChars& name, DWORD control, std::optional<SERVICE_STATUS>& status);
DWORD QueryNTServiceStatus(const JavaStringChars& name, std::optional<SERVICE_STATUS>& status);
// `config` receives the QUERY_SERVICE_CONFIGW and the texts it points to; it stays empty when the
// first call succeeds without a buffer.
DWORD QueryNTServiceConfig(const JavaStringChars& name, ScratchBuffer& config);

// serviceExists: the manager's failure is reported under the method's code, the service's (other
// than 1060, which only means "no") under the code 1073.
struct ServiceExistence {
  bool exists = false;
  DWORD managerError = 0;
  DWORD serviceError = 0;
};
ServiceExistence FindService(const JavaStringChars& name);

DWORD GetNTServiceDisplayName(const JavaStringChars& keyName, std::optional<WideString>& displayName);
DWORD GetNTServiceKeyName(const JavaStringChars& displayName, std::optional<WideString>& keyName);
// The key names of the services of that type and state; none when the first call already succeeds.
DWORD EnumNTServiceKeys(DWORD serviceType, DWORD serviceState, std::optional<StringList>& keyNames);

// The settings Windows 2000 added. `actions` receives the SERVICE_FAILURE_ACTIONSW and what it
// points to, `status` the SERVICE_STATUS_PROCESS; both stay empty when the first call already works.
DWORD QueryWin2kServiceFailureActions(const JavaStringChars& name, ScratchBuffer& actions);
// The failure actions come from a Java Win2kServiceFailureActions; the service database is locked
// from before the service is opened until after it is closed, and the shutdown privilege is held
// around the one change when a reboot action is among them.
DWORD ChangeWin2kServiceFailureActions(JNIEnv* env, const JavaStringChars& name, jobject actions);
// A description that cannot be read is none; the argument check, a missing function and a manager
// or service that cannot be opened set `error`.
std::optional<WideString> QueryWin2kServiceDescription(const JavaStringChars& name, DWORD& error);
// A null description removes it.
DWORD ChangeWin2kServiceDescription(const JavaStringChars& name, const JavaStringChars& description);
DWORD QueryWin2kServiceStatusProcess(const JavaStringChars& name, ScratchBuffer& status);

}  // namespace fw
