// KeyInfo: the counts RegQueryInfoKey reports for one key. Lengths are in characters without the
// terminating zero; the data size is in bytes. RegistryAccess::QueryKeyInfo fills it.
#pragma once

#include <cstdint>

namespace fw {

struct KeyInfo {
  std::uint32_t subkeyCount = 0;
  std::uint32_t longestSubkeyName = 0;
  std::uint32_t valueCount = 0;
  std::uint32_t longestValueName = 0;
  std::uint32_t longestValueData = 0;
};

}  // namespace fw
