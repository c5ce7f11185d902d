// getShortPath and getFixedFileInfo: the short form of a path and the fixed part of a file's
// version resource, by the character-set rule.
#include "winservice/file_version.h"

#include "bridge/function_binding.h"
#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"

namespace fw {

DWORD ShortPathOf(const wchar_t* path, WideString& out) {
  if (IsWindows9x()) {
    ScratchBuffer ansi;
    WideToAnsi(path, ansi);
    const char* ansiPath = ansi.As<const char>();
    const DWORD size = GetShortPathNameA(ansiPath, nullptr, 0);
    if (size == 0) return GetLastError();
    ScratchBuffer shortPath;
    shortPath.Allocate(size + 1, 1);
    if (GetShortPathNameA(ansiPath, shortPath.As<char>(), shortPath.Count()) == 0) return GetLastError();
    ScratchBuffer wide;
    AnsiToWide(shortPath.As<const char>(), wide);
    out = wide.Empty() ? WideString() : WideString(wide.As<const wchar_t>());
    return 0;
  }
  // Bound by name: not every kernel32 of the 9x family has even a stub of it.
  FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto shortPathNameW = FW_BIND(kernel32, GetShortPathNameW);
  if (shortPathNameW == nullptr) return kernel32.Error();
  const DWORD size = shortPathNameW(path, nullptr, 0);
  if (size == 0) return GetLastError();
  ScratchBuffer shortPath;
  shortPath.Allocate(size + 1, sizeof(wchar_t));
  const DWORD length = shortPathNameW(path, shortPath.As<wchar_t>(), shortPath.Count());
  if (length == 0) return GetLastError();
  out.assign(shortPath.As<const wchar_t>(), length < shortPath.Count() ? length : shortPath.Count() - 1);
  return 0;
}

std::optional<VS_FIXEDFILEINFO> FixedFileInfoOf(const wchar_t* path) {
  const bool ansi = IsWindows9x();
  ScratchBuffer ansiPath;
  if (ansi) WideToAnsi(path, ansiPath);
  DWORD handle = 0;
  const DWORD size = ansi ? GetFileVersionInfoSizeA(ansiPath.As<const char>(), &handle)
                          : GetFileVersionInfoSizeW(path, &handle);
  if (size == 0) return std::nullopt;
  ScratchBuffer data;
  data.Allocate(size, 1);
  const BOOL read = ansi ? GetFileVersionInfoA(ansiPath.As<const char>(), handle, size, data.Data())
                         : GetFileVersionInfoW(path, handle, size, data.Data());
  if (!read) return std::nullopt;
  void* fixed = nullptr;
  UINT length = 0;
  const BOOL found = ansi ? VerQueryValueA(data.Data(), "\\", &fixed, &length)
                          : VerQueryValueW(data.Data(), L"\\", &fixed, &length);
  if (!found || fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
  return *static_cast<const VS_FIXEDFILEINFO*>(fixed);
}

}  // namespace fw
