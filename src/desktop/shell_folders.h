// Folder tokens and the paths of desktop folders and items.
//
//   WideString folder = L"$AllUsersPrograms$\\Fernwick";
//   DWORD status = ResolveFolderTokens(folder);   // "C:\...\Start Menu\Programs\Fernwick"
//   if (status != 0) ThrowServiceException(env, code, status);
//
// The tokens "$UserPrograms$", "$AllUsersPrograms$", "$UserStartMenu$", "$AllUsersStartMenu$",
// "$UserDesktop$" and "$AllUsersDesktop$" stand for the shell's special folders; they match case-
// sensitively, anywhere and any number of times. On the Windows 9x family, which has no all-users
// folders, each all-users token names the current user's folder of the same kind.
//
// Statuses are 0, a failed HRESULT of the shell, or ERROR_BAD_ARGUMENTS (160) when the shell gives
// no file-system path for a folder. On failure the tokens from the failing one on stay unresolved
// and an output argument is left as it was.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

DWORD ResolveFolderTokens(WideString& path);
// Replaces every occurrence of one token by the path of the shell folder `folderId` (a CSIDL); the
// shell is asked only when the token occurs. Inserted text is never searched again.
DWORD ReplaceFolderToken(WideString& path, const WideString& token, int folderId);

// True when the path names an existing file or directory. On Windows 9x a path that does not
// convert to ANSI throws Win32Exception with the conversion's error: it is not missing, just unnamed.
bool PathExists(const WideString& path);

// Resolved folder, a separator unless it ends in one, then the sub-folder as written. A null text
// counts as empty.
DWORD DesktopFolderPath(const wchar_t* folder, const wchar_t* subFolder, WideString& out);
// DesktopFolderPath, a separator unless it ends in one, the item name and ".lnk".
DWORD DesktopItemPath(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName, WideString& out);

}  // namespace fw
