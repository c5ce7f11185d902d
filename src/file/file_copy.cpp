#include "file/file_copy.h"

#include "bridge/platform.h"
#include "bridge/wide_string.h"
#include "file/ansi_path.h"
#include "file/file_attribute_calls.h"
#include "file/move_file_ex.h"
#include "file/read_only_guard.h"
#include "file/reboot_side_names.h"
#include "file/win_init_rename_list.h"

namespace fw {
namespace {

BOOL CopyOne(const wchar_t* source, const wchar_t* target, BOOL failIfExists) {
  if (IsWindows9x()) {
    const AnsiPath ansiSource(source);
    const AnsiPath ansiTarget(target);
    return CopyFileA(ansiSource.Get(), ansiTarget.Get(), failIfExists);
  }
  return CopyFileW(source, target, failIfExists);
}

FileOutcome CopyBesideBusyTargetNT(const wchar_t* source, const WideString& target, BOOL failIfExists) {
  const MoveFileExWFunction moveFileEx = BindMoveFileExW();
  if (moveFileEx == nullptr) return Failed(GetLastError());
  const WideString aside = target + kDeleteOnRebootSuffix;
  if (moveFileEx(target.c_str(), aside.c_str(), 0)) {
    if (CopyOne(source, target.c_str(), failIfExists)) {
      moveFileEx(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
      return DoneAtRestart();
    }
    const DWORD error = GetLastError();
    moveFileEx(aside.c_str(), target.c_str(), 0);  // the old file back under its own name
    return Failed(error);
  }
  const WideString besides = target + kUseOnRebootSuffix;
  if (!CopyOne(source, besides.c_str(), failIfExists)) return Failed(GetLastError());
  if (!moveFileEx(besides.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    return Failed(GetLastError());
  }
  return DoneAtRestart();
}

FileOutcome CopyBesideBusyTarget9x(const wchar_t* source, const WideString& target, BOOL failIfExists) {
  const WideString besides = target + kUseOnRebootSuffix;
  if (!CopyOne(source, besides.c_str(), failIfExists)) return Failed(GetLastError());
  const AnsiPath ansiBesides(besides.c_str());
  const AnsiPath ansiTarget(target.c_str());
  WinInitRenameList list;
  DWORD error = list.AddMove(ansiBesides.Get(), ansiTarget.Get());
  if (error == 0) error = list.Flush();
  return error == 0 ? DoneAtRestart() : Failed(error);
}

}  // namespace

FileOutcome CopyFileOrSchedule(const wchar_t* source, const wchar_t* target, bool overwrite) {
  if (source == nullptr || target == nullptr) return Failed(ERROR_INVALID_PARAMETER);
  // A target whose ANSI form names another file would overwrite that one.
  if (const DWORD error = AnsiPathError(target)) return Failed(error);
  const BOOL failIfExists = overwrite ? FALSE : TRUE;
  const ReadOnlyGuard guard(target, false);
  if (CopyOne(source, target, failIfExists)) return Done();
  const DWORD error = GetLastError();
  // Only a target in use is worth a restart; anything else would fail again then.
  if (error != ERROR_SHARING_VIOLATION) return Failed(error);
  // Without overwrite a target that is there is never put aside or replaced at the next start.
  if (!overwrite && PathIsThere(target)) return Failed(ERROR_FILE_EXISTS);
  if (IsWindowsNT()) return CopyBesideBusyTargetNT(source, target, failIfExists);
  return CopyBesideBusyTarget9x(source, target, failIfExists);
}

}  // namespace fw
