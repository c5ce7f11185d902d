#include "file/file_attribute_calls.h"

#include "bridge/platform.h"
#include "file/ansi_path.h"

namespace fw {

DWORD ReadFileAttributes(const wchar_t* path) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    return GetFileAttributesA(ansi.Get());
  }
  return GetFileAttributesW(path);
}

BOOL WriteFileAttributes(const wchar_t* path, DWORD attributes) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    return SetFileAttributesA(ansi.Get(), attributes);
  }
  return SetFileAttributesW(path, attributes);
}

bool PathIsThere(const wchar_t* path) {
  if (ReadFileAttributes(path) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

}  // namespace fw
