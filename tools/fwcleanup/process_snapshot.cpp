#include "process_snapshot.h"

#include <tlhelp32.h>

#include "bridge/function_binding.h"
#include "bridge/unique_resource.h"

namespace fwcleanup {
namespace {

// The ANSI entry points by their own names (the UNICODE macros would pick the W ones, which
// Windows 95 lacks); only ids are read.
using SnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

struct BasicInformation {  // PROCESS_BASIC_INFORMATION, with its padding spelled out
  LONG_PTR exitStatus;
  void* peb;
  ULONG_PTR affinityMask;
  LONG_PTR basePriority;
  ULONG_PTR uniqueProcessId;
  ULONG_PTR inheritedFromUniqueProcessId;
};
using QueryFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
constexpr int kProcessBasicInformation = 0;

// Calls visit(entry) for each process until it returns true; false when there is no list.
template <typename Visit>
bool WalkProcesses(Visit visit) {
  fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto snapshot = kernel32.Bind<SnapshotFunction>("CreateToolhelp32Snapshot");
  const auto first = kernel32.Bind<WalkFunction>("Process32First");
  const auto next = kernel32.Bind<WalkFunction>("Process32Next");
  if (!kernel32.Complete()) return false;
  const fw::UniqueHandle list(snapshot(TH32CS_SNAPPROCESS, 0));
  if (!list) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = first(list.get(), &entry); more; more = next(list.get(), &entry)) {
    if (visit(entry)) break;
  }
  return true;
}

DWORD InheritedFromProcessId(DWORD pid) {
  fw::FunctionBinder ntdll(GetModuleHandleA("ntdll.dll"));
  const auto query = ntdll.Bind<QueryFunction>("NtQueryInformationProcess");
  fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto openProcess = FW_BIND(kernel32, OpenProcess);
  if (!ntdll.Complete() || !kernel32.Complete()) return 0;
  const bool self = pid == GetCurrentProcessId();
  const fw::UniqueHandle other(self ? nullptr : openProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  const HANDLE process = self ? GetCurrentProcess() : other.get();
  if (process == nullptr) return 0;
  BasicInformation information = {};
  ULONG length = 0;
  if (query(process, kProcessBasicInformation, &information, sizeof(information), &length) < 0) return 0;
  return static_cast<DWORD>(information.inheritedFromUniqueProcessId);
}

}  // namespace

Listing ListedProcess(DWORD pid) {
  bool listed = false;
  const bool read = WalkProcesses([&](const PROCESSENTRY32& entry) { return listed = entry.th32ProcessID == pid; });
  if (!read) return Listing::kUnknown;
  return listed ? Listing::kListed : Listing::kNotListed;
}

DWORD ParentProcessId(DWORD pid) {
  DWORD parent = 0;
  const bool read = WalkProcesses([&](const PROCESSENTRY32& entry) {
    if (entry.th32ProcessID != pid) return false;
    parent = entry.th32ParentProcessID;
    return true;
  });
  return read ? parent : InheritedFromProcessId(pid);
}

}  // namespace fwcleanup
