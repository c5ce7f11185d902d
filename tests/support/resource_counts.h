// ResourceCounts: the process's open handles and the busy blocks of every heap (the C runtime's
// included) at one moment, to find what a call (run once before, to warm the system's lazy caches)
// left behind: EXPECT_EQ(fwtest::ResourceGrowth(before, fwtest::CountResources()), "");
#pragma once

#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace fwtest {

struct ResourceCounts {
  DWORD handles = 0;
  std::size_t heapBlocks = 0;
  std::size_t heapBytes = 0;
};

namespace detail {
// The process's entries in the system's table of open handles: Wine's GetProcessHandleCount always
// answers 0, while this table lists the process's handles as Windows does.
inline DWORD OwnHandles() {
  static const auto query = reinterpret_cast<decltype(&::NtQuerySystemInformation)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
  if (query == nullptr) return 0;
  static std::vector<BYTE> buffer(1 << 16);
  NTSTATUS status;
  while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status < 0) return 0;
  const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  const ULONG self = GetCurrentProcessId();
  DWORD own = 0;
  for (ULONG i = 0; i < table->Count; ++i) own += table->Handle[i].OwnerPid == self ? 1 : 0;
  return own;
}
}  // namespace detail

inline ResourceCounts CountResources() {
  ResourceCounts counts{detail::OwnHandles()};
  std::vector<HANDLE> heaps(256);  // far more than a process of this suite makes
  heaps.resize(std::min<std::size_t>(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()), heaps.size()));
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
        ++counts.heapBlocks;
        counts.heapBytes += entry.cbData;
      }
    }
    HeapUnlock(heap);
  }
  return counts;
}

// "" when nothing grew; otherwise "handles +2, heap blocks +1 (24 bytes)".
inline std::string ResourceGrowth(const ResourceCounts& before, const ResourceCounts& after) {
  std::string growth;
  if (after.handles > before.handles) growth = "handles +" + std::to_string(after.handles - before.handles);
  if (after.heapBlocks <= before.heapBlocks) return growth;
  const std::size_t bytes = after.heapBytes >= before.heapBytes ? after.heapBytes - before.heapBytes : 0;
  return growth + (growth.empty() ? "" : ", ") + "heap blocks +" + std::to_string(after.heapBlocks - before.heapBlocks) +
         " (" + std::to_string(bytes) + " bytes)";
}

}  // namespace fwtest
