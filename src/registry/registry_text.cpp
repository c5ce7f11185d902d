#include "registry/registry_text.h"

#include <algorithm>

#include "bridge/string_conversion.h"
#include "registry/registry_exception.h"

namespace fw {

ScratchBuffer AnsiConverted(const wchar_t* text) {
  ScratchBuffer out;
  WideToAnsi(text, out);
  const DWORD error = ConversionError(text, out);
  if (error != 0) throw RegistryException(error);
  return out;
}

ScratchBuffer AnsiConvertedCounted(const wchar_t* chars, std::uint32_t count) {
  ScratchBuffer out;
  const std::uint32_t written = WideToAnsiCounted(chars, count, out);
  const DWORD error = GetLastError();
  if (count != 0 && written == 0) throw RegistryException(error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION);
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
