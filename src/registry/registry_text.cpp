#include "registry/registry_text.h"

#include <algorithm>

#include "bridge/string_conversion.h"
#include "registry/registry_exception.h"

namespace fw {

ScratchBuffer AnsiCopy(const wchar_t* text) {
  ScratchBuffer out;
  WideToAnsi(text, out);
  return out;
}

ScratchBuffer AnsiConverted(const wchar_t* text) {
  ScratchBuffer out = AnsiCopy(text);
  const DWORD error = GetLastError();
  const char* ansi = out.As<const char>();
  if (text != nullptr && *text != L'\0' && (ansi == nullptr || *ansi == '\0')) {
    throw RegistryException(error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION);
  }
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
