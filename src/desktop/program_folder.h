// Program folders: directories one or more levels deep below a base folder (tokens already
// resolved), made level by level and removed from the deepest level upwards.
//
//   WideString made;
//   DWORD error = CreateProgramFolder(L"C:\\...\\Programs", L"Fernwick\\Tools", made);
//   // made: "C:\...\Programs\Fernwick\Tools"; the shell was told once (SHCNE_MKDIR)
//
// Creation makes every missing level; when one fails, the levels this call made are removed again
// (deepest first), levels that were there before stay, and the error of the failing CreateDirectory
// is returned. Removal deletes only empty directories and stops at the first one that cannot go; it
// never touches the base folder itself. Both take the backslash and the slash as separators; an
// empty level (a leading or doubled separator) names no directory and is passed over, so nothing
// outside the base folder is ever made or removed. Errors are Win32 codes, 0 for success.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// CreateFolderLevels, then one SHCNE_MKDIR notification for base\name (as written) on success.
DWORD CreateProgramFolder(const WideString& base, const WideString& name, WideString& made);
// RemoveFolderLevels; a folder already gone counts as removed and is notified (SHCNE_RMDIR). A
// folder that is not empty is no failure. On Windows 9x no removal error is returned at all.
DWORD RemoveProgramFolder(const WideString& base, const WideString& name);

// The directory work of the two above, without notification. `made` receives the deepest level's
// path, the base itself for an empty name, or "" on failure. A base that does not exist gives
// ERROR_FILE_NOT_FOUND before anything is made (an empty base is not tested).
DWORD CreateFolderLevels(const WideString& base, const WideString& name, WideString& made);
// ERROR_FILE_NOT_FOUND when base\name does not exist; else the first removal error, or 0.
DWORD RemoveFolderLevels(const WideString& base, const WideString& name);

}  // namespace fw
