// SetFileTimes (win32SetFileCreated, win32SetFileModified, win32SetFileTimes): sets the given
// times of a file and leaves the others unchanged (pass null for them). Times are FILETIME values,
// 100-nanosecond intervals since 1601-01-01 UTC. A read-only file is writable for the call and
// read-only again afterwards. Returns 0 or the Win32 error of the open or of SetFileTime.
#pragma once

#include <windows.h>

namespace fw {

DWORD SetFileTimes(const wchar_t* path, const FILETIME* created, const FILETIME* accessed, const FILETIME* modified);

// A Java long used unchanged as a FILETIME.
inline FILETIME FileTimeOf(long long value) noexcept {
  const auto bits = static_cast<unsigned long long>(value);
  return FILETIME{static_cast<DWORD>(bits & 0xFFFFFFFFu), static_cast<DWORD>(bits >> 32)};
}

}  // namespace fw
