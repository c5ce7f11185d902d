// What the system's process list says about a process, and which process started this one.
//
//   DWORD parent = ParentProcessId(GetCurrentProcessId());   // 0 when the system cannot tell
//   if (ListedProcess(pid) == Listing::kNotListed) // the process has ended
//
// The process list is toolhelp's snapshot (CreateToolhelp32Snapshot and Process32First/Next,
// bound by name: NT 4 has none). Without it the parent comes from ntdll's
// NtQueryInformationProcess (the inherited-from id), also bound by name.
#pragma once

#include <windows.h>

namespace fwcleanup {

enum class Listing { kListed, kNotListed, kUnknown };

// Whether the process is in the list now; kUnknown when there is no list to read.
Listing ListedProcess(DWORD pid);

// The id of the process that created the given one, or 0.
DWORD ParentProcessId(DWORD pid);

}  // namespace fwcleanup
