#include "support/resource_counts.h"

#include <vector>

namespace fwtest {

ResourceCounts CountResources() {
  ResourceCounts counts;
  GetProcessHandleCount(GetCurrentProcess(), &counts.handles);
  std::vector<HANDLE> heaps(64);
  DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = GetProcessHeaps(count, heaps.data());
  }
  heaps.resize(count < heaps.size() ? count : heaps.size());
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
