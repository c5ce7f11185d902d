// Owners and attributes of desktop items and folders: the file service's operations (FileSecurity,
// FileObject) on the path the folder tokens and path builders give.
//
//   const DesktopName item{folder, subFolder, itemName, true};   // <folder>\<sub-folder>\<item>.lnk
//   DWORD status = GetDesktopOwner(item, true, owner);
//
// A null folder, sub-folder or item name is refused with ERROR_INVALID_PARAMETER, and a token
// that does not resolve ends the call with its status before the file is touched.
// Statuses are 0, a Win32 error or an HRESULT, as the operation on the path gives them.
#pragma once

#include <windows.h>

#include <jni.h>

#include "bridge/wide_string.h"

namespace fw {

struct DesktopName {
  const wchar_t* folder;
  const wchar_t* subFolder;
  const wchar_t* itemName;  // for an item only
  bool item;
};

// owner: true for the owner, false for the owner group.
DWORD GetDesktopOwner(const DesktopName& name, bool owner, WideString& account);
DWORD SetDesktopOwner(const DesktopName& name, bool owner, const wchar_t* account);
DWORD GetDesktopAttributes(JNIEnv* env, const DesktopName& name, jobject* peer);
DWORD SetDesktopAttributes(JNIEnv* env, const DesktopName& name, jobject peer);

}  // namespace fw
