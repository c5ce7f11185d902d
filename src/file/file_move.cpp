#include "file/file_move.h"

#include "bridge/platform.h"
#include "bridge/unique_resource.h"
#include "bridge/wide_string.h"
#include "file/ansi_path.h"
#include "file/file_attribute_calls.h"
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
  // Without overwrite a target that is there stays in place, whatever kept the source from moving.
  if (!overwrite && PathIsThere(target.c_str())) return Failed(ERROR_ALREADY_EXISTS);

  const WideString aside = target + kDeleteOnRebootSuffix;
  if (moveFileEx(target.c_str(), aside.c_str(), flags | MOVEFILE_REPLACE_EXISTING)) {
    if (!moveFileEx(source, target.c_str(), flags)) {
      error = GetLastError();
      moveFileEx(aside.c_str(), target.c_str(), 0);  // the old target back under its own name
      return Failed(error);
    }
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
    error = GetLastError();
    moveFileEx(besides.c_str(), source, MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH);  // where the caller had it
    return Failed(error);
  }
  return DoneAtRestart();
}

// Lines for the next start; writing them is not checked (the operation still reports 1).
FileOutcome ScheduleAtRestart(WinInitRenameList& list) {
  list.Flush();
  return DoneAtRestart();
}

// The two forms of a 9x path: ANSI for the A functions, UTF-16 for the shared helpers.
struct Path9x {
  explicit Path9x(const wchar_t* path) : wide(path), ansi(path) {}
  const wchar_t* wide;
  const AnsiPath ansi;
  const char* Get() const { return ansi.Get(); }
};

// A source the system will not move now (access denied: in use) moves at the next start, but only
// onto a name where nothing is: a line never replaces a target that is there.
FileOutcome PlainMove9x(const Path9x& source, const Path9x& target) {
  if (MoveFileA(source.Get(), target.Get())) return Done();
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED) return Failed(error);
  if (PathIsThere(target.wide)) return Failed(ERROR_ALREADY_EXISTS);
  WinInitRenameList list;
  if (const DWORD lineError = list.AddMove(source.Get(), target.Get())) return Failed(lineError);
  return ScheduleAtRestart(list);
}

// Overwrite onto a target that is there. The short form of the target can be had only while it
// exists, so the lines that finish the move at the next start ("NUL=target", then
// "target=source") are made before anything is touched; the target is deleted now only when the
// source is free to move, and when it or the source turns out to be in use the lines are written.
FileOutcome ReplaceTarget9x(const Path9x& source, const Path9x& target, bool sourceInUse) {
  WinInitRenameList atRestart;
  DWORD lineError = atRestart.AddDelete(target.Get());
  if (lineError == 0) lineError = atRestart.AddMove(source.Get(), target.Get());
  if (lineError != 0) return Failed(lineError);
  if (sourceInUse) return ScheduleAtRestart(atRestart);
  if (!DeleteFileA(target.Get())) {
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED) return Failed(error);
    return ScheduleAtRestart(atRestart);
  }
  if (MoveFileA(source.Get(), target.Get())) return Done();
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED) return Failed(error);
  return ScheduleAtRestart(atRestart);  // deleting a file that is already gone does no harm then
}

FileOutcome Move9x(const wchar_t* wideSource, const wchar_t* wideTarget, bool overwrite) {
  const Path9x source(wideSource);
  const Path9x target(wideTarget);

  if (*wideTarget == L'\0') {  // no target: the source is to go
    if (DeleteFileA(source.Get())) return Done();
    if (GetLastError() == ERROR_ACCESS_DENIED) {
      WinInitRenameList list;
      if (const DWORD lineError = list.AddDelete(source.Get())) return Failed(lineError);
      return ScheduleAtRestart(list);
    }
  }

  const ReadOnlyGuard guard(wideTarget, false);
  DWORD probeError = 0;
  {
    const UniqueFileHandle probe(CreateFileA(source.Get(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe) probeError = GetLastError();
  }
  if (probeError == ERROR_FILE_NOT_FOUND || probeError == ERROR_PATH_NOT_FOUND) return PlainMove9x(source, target);
  // Without overwrite MoveFileA refuses a target that is there with the file-exists error; with
  // it, a target that is not there is no reason to fail.
  if (!overwrite || !PathIsThere(wideTarget)) return PlainMove9x(source, target);
  return ReplaceTarget9x(source, target, IsInUse(probeError));
}

}  // namespace

FileOutcome MoveFileOrSchedule(const wchar_t* source, const wchar_t* target, bool overwrite) {
  if (source == nullptr || target == nullptr) return Failed(ERROR_INVALID_PARAMETER);
  // On 9x the ANSI form of either path could name another file, which would be moved away or replaced.
  if (const DWORD error = AnsiPathError(source)) return Failed(error);
  if (const DWORD error = AnsiPathError(target)) return Failed(error);
  if (IsWindowsNT()) return MoveNT(source, target, overwrite);
  return Move9x(source, target, overwrite);
}

}  // namespace fw
