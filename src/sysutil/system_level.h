// What the running Windows says about itself: its service-pack text and its boot directory.
//
//   WideString text;
//   if (DWORD error = ServicePackText(text)) ThrowServiceException(env, code, error);
//
// Both return 0 with the text, or the error to report; the text is then left untouched.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// HKEY_LOCAL_MACHINE (RootKey 4) below this path, value "BootDir".
constexpr const wchar_t kSetupPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr const wchar_t kBootDirName[] = L"BootDir";
// Reported for a boot directory on no known drive; the system has no text for it.
constexpr DWORD kErrorNoBootDrive = 0xFFFFFFFF;

// szCSDVersion as the system fills it (possibly empty); GetLastError() of a failed version query.
DWORD ServicePackText(WideString& out);

// The "BootDir" text, unexpanded, when it names a drive the system knows; kErrorNoBootDrive when
// GetDriveType calls it unknown or without a root. A failed registry read raises RegistryException.
DWORD BootDirectory(WideString& out);

}  // namespace fw
