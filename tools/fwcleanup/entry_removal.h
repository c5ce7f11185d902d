// RemoveTargets: deletes what a request names, once the installer has ended; ScheduleTargets:
// names it for deletion at the next restart instead, when the installer's end cannot be confirmed.
//
//   RemoveTargets(targets, request.deleteAtRestart, kRetries);
//
// A plain target is deleted as a file or removed as an empty directory; a tree target with all it
// holds, deepest first. A junction or directory link (a reparse point) is removed as the link
// itself and never entered, so nothing outside the named paths is touched. A read-only attribute
// is cleared for the deletion and put back when the target stays (a directory that is not empty,
// a file still in use that is not scheduled). What is refused as in use (sharing violation, access
// denied) is tried again every 200 ms, `retries` times; what is still in use then is, with
// deleteAtRestart, scheduled for the next restart (NT: MoveFileExW, a directory after its contents;
// 9x: "NUL=" lines in WinInit.Ini, files only, since Windows 9x removes no directory at start-up).
// Other failures leave the target; a missing one counts as deleted. ScheduleTargets deletes
// nothing and schedules every file and directory of the targets that way.
#pragma once

#include <vector>

#include "entry_resolution.h"

namespace fwcleanup {

constexpr int kRetries = 50;  // 10 s

void RemoveTargets(const std::vector<Target<std::string>>& targets, bool deleteAtRestart, int retries);
void RemoveTargets(const std::vector<Target<std::wstring>>& targets, bool deleteAtRestart, int retries);

void ScheduleTargets(const std::vector<Target<std::string>>& targets);
void ScheduleTargets(const std::vector<Target<std::wstring>>& targets);

}  // namespace fwcleanup
