// AnsiPath: the ANSI form of a UTF-16 path for the A functions of the Windows 9x family.
//
//   const AnsiPath ansi(path);
//   DeleteFileA(ansi.Get());   // a null path stays null
#pragma once

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"

namespace fw {

class AnsiPath {
 public:
  explicit AnsiPath(const wchar_t* path) { WideToAnsi(path, ansi_); }
  AnsiPath(const AnsiPath&) = delete;
  AnsiPath& operator=(const AnsiPath&) = delete;

  const char* Get() const noexcept { return ansi_.As<const char>(); }

 private:
  ScratchBuffer ansi_;
};

// 0, or on the 9x family why the path's ANSI form would name another file (AnsiRoundTripError):
// what deletes, moves or overwrites a path refuses such a one rather than touch that other file.
inline DWORD AnsiPathError(const wchar_t* path) { return IsWindows9x() ? AnsiRoundTripError(path) : 0; }

}  // namespace fw
