// AnsiPath: the ANSI form of a UTF-16 path for the A functions of the Windows 9x family.
//
//   const AnsiPath ansi(path);
//   DeleteFileA(ansi.Get());            // a null path stays null
//   RemoveDirectoryA(ansi.Checked());   // a path that did not convert throws instead
#pragma once

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/win32_exception.h"

namespace fw {

class AnsiPath {
 public:
  explicit AnsiPath(const wchar_t* path) {
    WideToAnsi(path, ansi_);
    error_ = ConversionError(path, ansi_);
  }
  AnsiPath(const AnsiPath&) = delete;
  AnsiPath& operator=(const AnsiPath&) = delete;

  const char* Get() const noexcept { return ansi_.As<const char>(); }
  // 0, or the conversion's error when a path with characters came out with none.
  DWORD Error() const noexcept { return error_; }
  // The path, or Win32Exception with the conversion's error where a null path would pass for a
  // missing one and the file it names would be silently left.
  const char* Checked() const {
    if (error_ != 0) throw Win32Exception(error_);
    return Get();
  }

 private:
  ScratchBuffer ansi_;
  DWORD error_ = 0;
};

// 0, or on the 9x family why the path's ANSI form would name another file (AnsiRoundTripError):
// what deletes, moves or overwrites a path refuses such a one rather than touch that other file.
inline DWORD AnsiPathError(const wchar_t* path) { return IsWindows9x() ? AnsiRoundTripError(path) : 0; }

}  // namespace fw
