#include "file/file_move.h"

#include "bridge/platform.h"
#include "bridge/unique_resource.h"
#include "bridge/wide_string.h"
#include "file/ansi_path.h"
#include "file/move_file_ex.h"
#include "file/read_only_guard.h"
#include "file/reboot_side_names.h"
#include "file/win_init_rename_list.h"

namespace fw {
namespace {

bool IsInUse(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED; }

FileOutcome MoveNT(const wchar_t* source, const WideString& target, bool overwrite) {
  const ReadOnlyGuard guard(target.c_str(), false);
  const MoveFileExWFunction moveFileEx = BindMoveFileExW();
  if (moveFileEx == nullptr) return Failed(GetLastError());
  const DWORD flags =
      MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH | (overwrite ? MOVEFILE_REPLACE_EXISTING : 0);
  if (moveFileEx(source, target.c_str(), flags)) return Done();
  DWORD error = GetLastError();
  if (!IsInUse(error)) return Failed(error);

  const WideString aside = target + kDeleteOnRebootSuffix;
  if (moveFileEx(target.c_str(), aside.c_str(), flags | MOVEFILE_REPLACE_EXISTING)) {
    if (!moveFileEx(source, target.c_str(), flags)) return Failed(GetLastError());
    if (!moveFileEx(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return Failed(GetLastError());
    return DoneAtRestart();
  }
  error = GetLastError();
  if (!IsInUse(error)) return Failed(error);

  const WideString besides = target + kMoveOnRebootSuffix;
  if (!moveFileEx(source, besides.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH | MOVEFILE_REPLACE_EXISTING)) {
    return Failed(GetLastError());
  }
  if (!moveFileEx(besides.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return Failed(GetLastError());
  }
  return DoneAtRestart();
}

// Lines for the next start; writing them is not checked (the operation still reports 1).
FileOutcome ScheduleAtRestart(WinInitRenameList& list) {
  list.Flush();
  return DoneAtRestart();
}

FileOutcome PlainMove9x(const char* source, const char* target) {
  if (MoveFileA(source, target)) return Done();
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED) return Failed(error);
  WinInitRenameList list;
  if (const DWORD lineError = list.AddMove(source, target)) return Failed(lineError);
  return ScheduleAtRestart(list);
}

FileOutcome Move9x(const wchar_t* wideSource, const wchar_t* wideTarget, bool overwrite) {
  const AnsiPath ansiSource(wideSource);
  const AnsiPath ansiTarget(wideTarget);
  const char* source = ansiSource.Get();
  const char* target = ansiTarget.Get();

  if (*wideTarget == L'\0') {  // no target: the source is to go
    if (DeleteFileA(source)) return Done();
    if (GetLastError() == ERROR_ACCESS_DENIED) {
      WinInitRenameList list;
      if (const DWORD lineError = list.AddDelete(source)) return Failed(lineError);
      return ScheduleAtRestart(list);
    }
  }

  const ReadOnlyGuard guard(wideTarget, false);
  {
    const UniqueFileHandle probe(CreateFileA(source, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PlainMove9x(source, target);
    }
  }
  // Without overwrite an existing target must stay: MoveFileA refuses it with the file-exists error.
  if (!overwrite) return PlainMove9x(source, target);

  if (DeleteFileA(target)) return PlainMove9x(source, target);
  const DWORD error = GetLastError();
  // Nothing to replace is no reason to fail a move.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PlainMove9x(source, target);
  if (error != ERROR_ACCESS_DENIED) return Failed(error);
  WinInitRenameList list;
  if (const DWORD lineError = list.AddDelete(target)) return Failed(lineError);
  if (const DWORD lineError = list.AddMove(source, target)) return Failed(lineError);
  return ScheduleAtRestart(list);
}

}  // namespace

FileOutcome MoveFileOrSchedule(const wchar_t* source, const wchar_t* target, bool overwrite) {
  if (source == nullptr || target == nullptr) return Failed(ERROR_INVALID_PARAMETER);
  if (IsWindowsNT()) return MoveNT(source, target, overwrite);
  return Move9x(source, target, overwrite);
}

}  // namespace fw
