// MoveFileOrSchedule (win32MoveFile): moves source to target, replacing the target when overwrite
// is true; when Windows refuses because a file is in use the move completes at the next start.
//
// NT family (MoveFileExW, copying across volumes and writing through): on a sharing violation or
// access denial the busy target is renamed to ".delete_on_reboot" (deleted at the next start) and
// the move made again (result 1; when that fails the old target is renamed back); when the rename
// is refused too, the source goes to ".move_on_reboot" and moves over the target at the next start
// (result 1; when that cannot be scheduled the source is moved back).
//
// Windows 9x (ANSI functions): an empty target deletes the source (a source in use: a "NUL=" line,
// result 1). Otherwise the source is moved; where Windows denies access, WinInit.Ini lines do it at
// the next start (result 1; a failure to write the file is not reported). With overwrite false the
// move fails on an existing target (file-exists error) and a line never replaces one. With
// overwrite true an existing target is deleted and the source moved, or, when either is in use,
// "NUL=target" and "target=source" are written, made while the target still exists; a target that
// is not there is simply not deleted.
//
// Both families: with overwrite false a target that is there is never renamed, replaced or
// scheduled for replacement.
#pragma once

#include "file/file_outcome.h"

namespace fw {

FileOutcome MoveFileOrSchedule(const wchar_t* source, const wchar_t* target, bool overwrite);

}  // namespace fw
