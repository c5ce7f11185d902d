#include "support/resource_counts.h"

#include <algorithm>
#include <vector>

namespace fwtest {
namespace {

// The system's table of open handles (SystemHandleInformation): Wine's GetProcessHandleCount
// always answers 0, while this table lists the process's handles as Windows does.
struct HandleEntry {
  ULONG ownerProcessId;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ACCESS_MASK access;
};
struct HandleTable {
  ULONG count;
  HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

DWORD OwnHandles() {
  static const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 0;
  static std::vector<BYTE> buffer(1 << 16);
  LONG status;
  while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status < 0) return 0;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  const ULONG self = GetCurrentProcessId();
  DWORD own = 0;
  for (ULONG i = 0; i < table->count; ++i) own += table->entries[i].ownerProcessId == self ? 1 : 0;
  return own;
}

}  // namespace

ResourceCounts CountResources() {
  ResourceCounts counts;
  counts.handles = OwnHandles();
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

std::string ResourceGrowth(const ResourceCounts& before, const ResourceCounts& after) {
  std::string growth;
  if (after.handles > before.handles) growth = "handles +" + std::to_string(after.handles - before.handles);
  if (after.heapBlocks > before.heapBlocks) {
    if (!growth.empty()) growth += ", ";
    growth += "heap blocks +" + std::to_string(after.heapBlocks - before.heapBlocks) + " (" +
              std::to_string(after.heapBytes >= before.heapBytes ? after.heapBytes - before.heapBytes : 0) +
              " bytes)";
  }
  return growth;
}

}  // namespace fwtest
