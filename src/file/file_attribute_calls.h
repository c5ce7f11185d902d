// GetFileAttributes and SetFileAttributes by the character-set rule: the W function on Unicode
// systems, the A function on the converted path on the Windows 9x family (a path that does not
// convert fails with the conversion's error as the last error).
#pragma once

#include <windows.h>

namespace fw {

// INVALID_FILE_ATTRIBUTES on failure, with the thread's last error set.
DWORD ReadFileAttributes(const wchar_t* path);
// FALSE on failure, with the thread's last error set.
BOOL WriteFileAttributes(const wchar_t* path, DWORD attributes);
// False only when the system says the path is missing (file or path not found): a file whose
// attributes cannot be read for another reason is taken to be there, so nothing replaces it.
bool PathIsThere(const wchar_t* path);

}  // namespace fw
