#include "file/file_times.h"

#include "bridge/platform.h"
#include "bridge/unique_resource.h"
#include "file/ansi_path.h"
#include "file/read_only_guard.h"

namespace fw {
namespace {

HANDLE OpenForWriting(const wchar_t* path) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    return CreateFileA(ansi.Get(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  return CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

DWORD SetFileTimes(const wchar_t* path, const FILETIME* created, const FILETIME* accessed, const FILETIME* modified) {
  if (path == nullptr) return ERROR_INVALID_PARAMETER;
  const ReadOnlyGuard guard(path, true);
  const UniqueFileHandle file(OpenForWriting(path));
  if (!file) return GetLastError();
  if (!SetFileTime(file.get(), created, accessed, modified)) return GetLastError();
  return 0;
}

}  // namespace fw
