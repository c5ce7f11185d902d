// ResourceCounts: what the process holds at one moment, to find what a call left behind: its open
// handles and the busy blocks of every heap (the C runtime's included).
//
//   const fwtest::ResourceCounts before = fwtest::CountResources();
//   ... the call, run once before to warm the system's own lazy caches ...
//   EXPECT_EQ(fwtest::ResourceGrowth(before, fwtest::CountResources()), "");
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace fwtest {

struct ResourceCounts {
  DWORD handles = 0;
  std::size_t heapBlocks = 0;
  std::size_t heapBytes = 0;
};

ResourceCounts CountResources();

// "" when nothing grew; otherwise "handles +2, heap blocks +1 (24 bytes)".
std::string ResourceGrowth(const ResourceCounts& before, const ResourceCounts& after);

}  // namespace fwtest
