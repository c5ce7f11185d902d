#include "registry/multi_string.h"

#include <algorithm>

namespace fw {

ScratchBuffer JoinMultiString(const StringList& list) {
  std::uint32_t total = 0;
  for (const WideString& text : list) total += static_cast<std::uint32_t>(text.size()) + 1;
  ScratchBuffer buffer;
  buffer.Allocate(total + 1, sizeof(wchar_t));  // zero-filled: every terminator is already there
  wchar_t* out = buffer.As<wchar_t>();
  for (const WideString& text : list) out = std::copy(text.begin(), text.end(), out) + 1;
  return buffer;
}

void SplitMultiString(const wchar_t* chars, std::uint32_t count, StringList& out) {
  if (chars == nullptr || count == 0) return;
  const std::uint32_t limit = count - 1;
  std::uint32_t position = 0;
  while (position < limit) {
    const wchar_t* start = chars + position;
    const wchar_t* end = std::find(start, chars + count, L'\0');
    out.emplace_back(start, end);
    position += static_cast<std::uint32_t>(end - start) + 1;
  }
}

}  // namespace fw
