// AnsiPath: the ANSI form of a UTF-16 path for the A functions of the Windows 9x family.
//
//   const AnsiPath ansi(path);
//   DeleteFileA(ansi.Get());   // a null path stays null; one that did not convert throws
//   if (ansi.Error() != 0) return ansi.Error();   // where the caller answers with an error instead
#pragma once

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/win32_exception.h"

namespace fw {

class AnsiPath {
 public:
  explicit AnsiPath(const wchar_t* path) {
    try {
      WideToAnsi(path, ansi_);
    } catch (const Win32Exception& e) {
      error_ = e.Error();
    }
  }
  AnsiPath(const AnsiPath&) = delete;
  AnsiPath& operator=(const AnsiPath&) = delete;

  // The path, or Win32Exception with the conversion's error: a null path in its place would pass
  // for a missing one, and the file it names would be silently left.
  const char* Get() const {
    if (error_ != 0) throw Win32Exception(error_);
    return ansi_.As<const char>();
  }
  // 0, or the error of a conversion the system failed.
  DWORD Error() const noexcept { return error_; }

 private:
  ScratchBuffer ansi_;
  DWORD error_ = 0;
};

// 0, or on the 9x family why the path's ANSI form would name another file (AnsiRoundTripError):
// what deletes, moves or overwrites a path refuses such a one rather than touch that other file.
inline DWORD AnsiPathError(const wchar_t* path) { return IsWindows9x() ? AnsiRoundTripError(path) : 0; }

}  // namespace fw
