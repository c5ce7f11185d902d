// The standard directories (getTempDirectory, win32GetWindowsDirectory, getLibraryDirectory,
// getStandardInstallDirectory, win32GetCommonDirectory), by the character-set rule. Each returns 0
// or the error to report, and sets `out` only on success.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// GetTempPath, with its trailing backslash, and only when the directory exists.
DWORD TempDirectory(WideString& out);
// GetWindowsDirectory, not checked for existence.
DWORD WindowsDirectory(WideString& out);
// GetSystemDirectory when it exists; "" otherwise (never an error).
WideString SystemDirectory();
// "ProgramFilesDir" or "CommonFilesDir" below HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion, as
// the registry holds it; a missing value is the registry's error.
DWORD CurrentVersionDirectory(const wchar_t* valueName, WideString& out);

}  // namespace fw
