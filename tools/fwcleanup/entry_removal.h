// RemoveEntries: deletes what a deletion request names, once the installer has ended.
//
// A plain entry is deleted as a file or removed as an empty directory; a tree entry with all it
// holds, deepest first. A junction or directory link (a reparse point) is removed as the link
// itself and never entered, so nothing outside the named paths is touched. A read-only attribute
// is cleared first. What is refused as in use (sharing violation, access denied) is tried again
// every 200 ms for 10 s; what is still in use then is, with deleteAtRestart, scheduled for the next
// restart (NT: MoveFileExW, a directory after its contents; 9x: "NUL=" lines in WinInit.Ini, files
// only, since Windows 9x removes no directory at start-up). Other failures (a directory that is
// not empty, a bad name) leave the entry; a missing one counts as deleted. The NT family takes
// the W functions, Windows 9x the A ones.
#pragma once

#include <vector>

#include "deletion_request.h"

namespace fwcleanup {

void RemoveEntries(const std::vector<DeletionEntry>& entries, bool deleteAtRestart);

}  // namespace fwcleanup
