#include "registry/registry_text.h"

#include <algorithm>

#include "bridge/string_conversion.h"
#include "registry/registry_exception.h"

namespace fw {

ScratchBuffer AnsiConverted(const wchar_t* text) {
  ScratchBuffer out;
  try {
    WideToAnsi(text, out);
  } catch (const Win32Exception& e) {
    throw RegistryException(e.Error());
  }
  return out;
}

ScratchBuffer AnsiConvertedCounted(const wchar_t* chars, std::uint32_t count) {
  ScratchBuffer out;
  try {
    WideToAnsiCounted(chars, count, out);
  } catch (const Win32Exception& e) {
    throw RegistryException(e.Error());
  }
  return out;
}

std::uint32_t WideConvertedCounted(const char* bytes, std::uint32_t byteCount, ScratchBuffer& wide) {
  try {
    return AnsiToWideCounted(bytes, byteCount, wide);
  } catch (const Win32Exception& e) {
    throw RegistryException(e.Error());
  }
}

WideString WideTextOf(const wchar_t* chars, std::uint32_t count) {
  if (chars == nullptr) return WideString();
  return WideString(chars, std::find(chars, chars + count, L'\0'));
}

WideString WideTextOfAnsi(const char* bytes, std::uint32_t byteCount) {
  if (bytes == nullptr) return WideString();
  const auto length = static_cast<std::uint32_t>(std::find(bytes, bytes + byteCount, '\0') - bytes);
  ScratchBuffer wide;
  const std::uint32_t count = WideConvertedCounted(bytes, length, wide);
  return WideTextOf(wide.As<wchar_t>(), count);
}

}  // namespace fw
