// ShortPathAnsi: the short (8.3) form of an existing ANSI path, as GetShortPathNameA gives it.
//
//   ScratchBuffer shortPath;
//   if (ShortPathAnsi(path, shortPath) == 0) line += shortPath.As<char>();
//
// Returns 0 with the zero-terminated short path in `out` (enlarged when it is too small), or the
// Win32 error of GetShortPathNameA; `out` then holds no usable text.
#pragma once

#include <windows.h>

#include "bridge/scratch_buffer.h"

namespace fw {

DWORD ShortPathAnsi(const char* path, ScratchBuffer& out);

}  // namespace fw
