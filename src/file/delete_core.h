// DeleteCore: deletes one file or one empty directory, and when Windows refuses because it is in
// use (sharing violation or access denied) schedules the deletion for the next start instead:
// MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT on the NT family, a "NUL=" line in WinInit.Ini on
// Windows 9x. A read-only attribute in the way is removed first and not put back.
//
//   int result = -1;
//   DWORD error = 0;
//   DeleteCore(result, error, path, /*isFile=*/true);
//   // result 0: deleted; 1: deleted at the next start; error: the failure to report.
//
// The result is written only on success; the error is written only on failure, so one pair can
// collect a whole walk of deletions (see RemoveTree).
#pragma once

#include <windows.h>

#include "file/file_outcome.h"

namespace fw {

void DeleteCore(int& result, DWORD& error, const wchar_t* path, bool isFile);

// win32DeleteFile: DeleteCore on one file.
FileOutcome DeleteFileOrSchedule(const wchar_t* path);

}  // namespace fw
