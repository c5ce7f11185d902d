#include "bridge/format_allocated.h"

#include <cstdarg>

namespace fw {
namespace {

constexpr DWORD kFormatFlags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING;
constexpr DWORD kUserDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

}  // namespace

LocalMemoryHolder FormatAllocatedW(const wchar_t* format, ...) {
  LocalMemoryHolder text;
  va_list args;
  va_start(args, format);
  FormatMessageW(kFormatFlags, format, 0, kUserDefaultLanguage,
                 reinterpret_cast<LPWSTR>(text.put()), 0, &args);
  va_end(args);
  return text;
}

LocalMemoryHolder FormatAllocatedA(const char* format, ...) {
  LocalMemoryHolder text;
  va_list args;
  va_start(args, format);
  FormatMessageA(kFormatFlags, format, 0, kUserDefaultLanguage,
                 reinterpret_cast<LPSTR>(text.put()), 0, &args);
  va_end(args);
  return text;
}

}  // namespace fw
