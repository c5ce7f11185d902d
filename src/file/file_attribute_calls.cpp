#include "file/file_attribute_calls.h"

#include "bridge/platform.h"
#include "file/ansi_path.h"

namespace fw {
namespace {

// A path that did not convert fails with the conversion's error, not with what Windows says of a
// null path (which would pass for a missing file).
template <typename Result>
Result Unconverted(const AnsiPath& ansi, Result failure) {
  SetLastError(ansi.Error());
  return failure;
}

}  // namespace

DWORD ReadFileAttributes(const wchar_t* path) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    if (ansi.Error() != 0) return Unconverted(ansi, INVALID_FILE_ATTRIBUTES);
    return GetFileAttributesA(ansi.Get());
  }
  return GetFileAttributesW(path);
}

BOOL WriteFileAttributes(const wchar_t* path, DWORD attributes) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    if (ansi.Error() != 0) return Unconverted(ansi, FALSE);
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
