// The folder and item methods of the desktop service, one operation per native method. Each
// resolves the folder tokens of its base folder first and does nothing more when that fails.
//
//   DWORD status = CreateDesktopFolder(base.Get(), name.Get());
//   if (status != 0) ThrowServiceException(env, -80000, status);
//
// The base folder, the folder or sub-folder name, the item name and the target must be given: a
// null one is refused with ERROR_INVALID_PARAMETER before anything is done. Null arguments, icon
// location or working directory count as empty. Statuses are 0, an HRESULT or a Win32 error.
#pragma once

#include <windows.h>

namespace fw {

DWORD CreateDesktopFolder(const wchar_t* base, const wchar_t* name);
// An empty name removes nothing.
DWORD RemoveDesktopFolder(const wchar_t* base, const wchar_t* name);
// Fails with the library's load-time COM result, before anything else, when that was a failure.
DWORD CreateDesktopItem(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName, const wchar_t* target,
                        const wchar_t* arguments, const wchar_t* iconLocation, const wchar_t* workingDirectory);
// Removes the item, then the sub-folder (when one is named) as far as it has become empty.
DWORD RemoveDesktopItem(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName);

}  // namespace fw
