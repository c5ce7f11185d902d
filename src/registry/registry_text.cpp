#include "registry/registry_text.h"

#include <algorithm>

#include "bridge/string_conversion.h"
#include "registry/registry_exception.h"

namespace fw {

namespace {

// A text that is there but converted to nothing raises the conversion's error.
void RaiseIfLost(bool lost, DWORD error) {
  if (lost) throw RegistryException(error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION);
}

}  // namespace

ScratchBuffer AnsiConverted(const wchar_t* text) {
  ScratchBuffer out;
  WideToAnsi(text, out);
  const DWORD error = GetLastError();
  const char* ansi = out.As<const char>();
  RaiseIfLost(text != nullptr && *text != L'\0' && (ansi == nullptr || *ansi == '\0'), error);
  return out;
}

ScratchBuffer AnsiConvertedCounted(const wchar_t* chars, std::uint32_t count) {
  ScratchBuffer out;
  const std::uint32_t written = WideToAnsiCounted(chars, count, out);
  RaiseIfLost(count != 0 && written == 0, GetLastError());
  return out;
}

WideString WideTextOf(const wchar_t* chars, std::uint32_t count) {
  if (chars == nullptr) return WideString();
  return WideString(chars, std::find(chars, chars + count, L'\0'));
}

WideString WideTextOfAnsi(const char* bytes, std::uint32_t byteCount) {
  if (bytes == nullptr) return WideString();
  const auto length = static_cast<std::uint32_t>(std::find(bytes, bytes + byteCount, '\0') - bytes);
  ScratchBuffer wide;
  const std::uint32_t count = AnsiToWideCounted(bytes, length, wide);
  return WideTextOf(wide.As<wchar_t>(), count);
}

}  // namespace fw
