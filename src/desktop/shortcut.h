// Shortcut items: ".lnk" files written through the shell's link object, and their removal.
//
//   DWORD status = CreateShortcut(folder, L"Fernwick", L"Readme", L"C:\\App\\readme.txt", L"", L"", L"");
//
// CreateShortcut makes the program folder (CreateProgramFolder), writes folder\item.lnk and tells
// the shell (SHCNE_CREATE). A call on a thread without COM initialises COM for that one call and
// uninitialises it before returning. Link properties reach the shell as ANSI text on both
// families; an absent or empty text leaves its property unset. Statuses are 0, an HRESULT or a
// Win32 error.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

DWORD CreateShortcut(const WideString& folder, const WideString& subFolder, const wchar_t* itemName,
                     const wchar_t* target, const wchar_t* arguments, const wchar_t* iconLocation,
                     const wchar_t* workingDirectory);

// Writes one link file, overwriting any file of that name; the result is that of
// IPersistFile::Save, which is called even when a property was refused. The item name becomes the
// description; the icon index is always 0.
HRESULT WriteShellLink(const wchar_t* target, const wchar_t* arguments, const wchar_t* workingDirectory,
                       const wchar_t* linkPath, const wchar_t* itemName, const wchar_t* iconLocation);

// Deletes folder\subFolder\itemName.lnk; on Windows 9x a ".pif" or ".url" item of that name too
// (".lnk" first). A missing item is no failure; the shell is told (SHCNE_DELETE) either way. A
// file that cannot be deleted gives its error, without notification.
DWORD DeleteShortcutFile(const WideString& folder, const WideString& subFolder, const wchar_t* itemName);

}  // namespace fw
