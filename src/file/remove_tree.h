// Directory removal (win32DeleteDirectory).
//
// RemoveDirectoryOrTree(path, single, recursive):
//   single:     DeleteCore on the directory itself, which must be empty;
//   otherwise:  RemoveTree on it, descending into subdirectories only when recursive is true.
// The result is 0 when everything is gone and 1 when a deletion waits for the next start; a
// non-zero error is the first failure met.
//
// RemoveTree walks depth-first: each subdirectory is emptied and removed while its parent's
// enumeration is open; a directory's files are deleted (DeleteCore, so a file in use is deleted at
// the next start) after its enumeration is closed, and the directory itself is removed only when
// nothing failed and nothing below it had to wait. A directory kept by a file that waits is, on
// the NT family, scheduled for removal at the next start after its contents (deepest first), so a
// restart leaves nothing; the start-up processing of Windows 9x deletes files only, so there it
// stays, with every directory above it. A junction or directory link (a reparse point) is removed
// as the link itself and never walked into: nothing outside the tree is touched. The first
// failure stops the enumeration at its level; files already listed there are still deleted. A
// listing that fails part-way (FindNextFile with any error but ERROR_NO_MORE_FILES) is such a
// failure, reported with its own error. The
// Unicode walk runs on the NT family, the ANSI walk (FindFirstFileA on the converted path) on
// Windows 9x.
#pragma once

#include <windows.h>

#include "file/file_outcome.h"

namespace fw {

FileOutcome RemoveDirectoryOrTree(const wchar_t* path, bool single, bool recursive);

// The two walks; result is set to 0 when the walk starts.
void RemoveTreeW(int& result, DWORD& error, const wchar_t* path, bool removeSelf, bool recursive);
void RemoveTreeA(int& result, DWORD& error, const char* path, bool removeSelf, bool recursive);

}  // namespace fw
