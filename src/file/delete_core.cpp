#include "file/delete_core.h"

#include "bridge/platform.h"
#include "file/ansi_path.h"
#include "file/move_file_ex.h"
#include "file/read_only_guard.h"
#include "file/win_init_rename_list.h"

namespace fw {
namespace {

BOOL DeleteNow(const wchar_t* path, bool isFile) {
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    return isFile ? DeleteFileA(ansi.Get()) : RemoveDirectoryA(ansi.Get());
  }
  return isFile ? DeleteFileW(path) : RemoveDirectoryW(path);
}

}  // namespace

void DeleteCore(int& result, DWORD& error, const wchar_t* path, bool isFile) {
  const ReadOnlyGuard guard(path, false);
  if (DeleteNow(path, isFile)) {
    result = 0;
    return;
  }
  error = GetLastError();
  if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
  error = 0;
  if (IsWindowsNT()) {
    error = DeleteAtRestart(path);
    if (error == 0) result = 1;
    return;
  }
  const AnsiPath ansi(path);
  WinInitRenameList list;
  error = list.AddDelete(ansi.Get());
  if (error == 0) error = list.Flush();
  if (error == 0) result = 1;
}

FileOutcome DeleteFileOrSchedule(const wchar_t* path) {
  if (path == nullptr) return Failed(ERROR_INVALID_PARAMETER);
  if (const DWORD error = AnsiPathError(path)) return Failed(error);
  int result = -1;
  DWORD error = 0;
  DeleteCore(result, error, path, true);
  return {result, error};
}

}  // namespace fw
