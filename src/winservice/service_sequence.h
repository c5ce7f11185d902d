// The open-operate-close sequence every service operation shares (service_changes.cpp,
// service_queries.cpp): the manager, then the named service, then the work; the handles are closed
// in the reverse order on every path, with the CloseServiceHandle the operation bound before it
// opened anything. An open function the system lacks ends the sequence with nothing to report.
#pragma once

#include <windows.h>

#include <utility>

#include "bridge/java_string_chars.h"
#include "bridge/scratch_buffer.h"
#include "winservice/service_binding.h"

namespace fw {

// A service name the operations accept: present and not empty.
inline bool IsServiceName(const JavaStringChars& name) noexcept { return !name.IsNull() && name.Length() != 0; }

template <typename Operate>
DWORD OnServiceManager(ServiceCloser close, Operate&& operate) {
  UniqueServiceHandle manager;
  if (const DWORD error = OpenServiceManager(close, manager)) return error;
  if (!manager) return 0;
  return operate(manager.get().handle);
}

template <typename Operate>
DWORD OnService(ServiceCloser close, const wchar_t* name, DWORD access, Operate&& operate) {
  return OnServiceManager(close, [&](SC_HANDLE manager) -> DWORD {
    UniqueServiceHandle service;
    if (const DWORD error = OpenServiceByName(close, manager, name, access, service)) return error;
    if (!service) return 0;
    return operate(service.get().handle);
  });
}

// The two-call pattern of the variable-length queries: `query(buffer, size, &needed)` once with no
// buffer, and once more at the size the system names when it answered "insufficient buffer"
// (`more`, ERROR_MORE_DATA for an enumeration). `out` is filled only by a second call that works; a
// first call that works leaves it empty. Returns 0 or the error of the failing call.
template <typename Query>
DWORD QueryTwice(Query query, ScratchBuffer& out, DWORD more = ERROR_INSUFFICIENT_BUFFER) {
  DWORD needed = 0;
  if (query(nullptr, 0, &needed)) return 0;
  const DWORD error = GetLastError();
  if (error != more) return error;
  ScratchBuffer buffer;
  buffer.Allocate(needed, 1);
  if (!query(buffer.As<BYTE>(), needed, &needed)) return GetLastError();
  out = std::move(buffer);
  return 0;
}

// The result of a call that returns BOOL: 0, or the error it left.
inline DWORD Outcome(BOOL succeeded) noexcept { return succeeded ? 0 : GetLastError(); }

}  // namespace fw
