// The two file operations of Win32ServiceImpl, by the character-set rule (the A functions on the
// converted path on Windows 9x, the W functions otherwise).
//
//   WideString shortPath;
//   if (DWORD error = ShortPathOf(path, shortPath)) report(error);
//   std::optional<VS_FIXEDFILEINFO> info = FixedFileInfoOf(path);   // nothing for a file without one
#pragma once

#include <windows.h>

#include <optional>

#include "bridge/wide_string.h"

namespace fw {

// The short (8.3) form of an existing path; 0 or the error of GetShortPathName.
DWORD ShortPathOf(const wchar_t* path, WideString& out);
// The fixed part of the file's version resource; nothing when the file has none or cannot be read.
std::optional<VS_FIXEDFILEINFO> FixedFileInfoOf(const wchar_t* path);

}  // namespace fw
