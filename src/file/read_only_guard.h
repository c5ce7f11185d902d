// ReadOnlyGuard: lifts the read-only attribute of a file for as long as the guard lives, so that a
// copy, move, delete or time change is not refused because of it.
//
//   ReadOnlyGuard guard(target, /*restore=*/false);   // a read-only target stays writable
//   CopyFileW(source, target, FALSE);
//
// Only the read-only bit is removed; the other attributes stay. With restore true the destructor
// writes back the word read at construction, and only when the guard removed the bit. Nothing is
// reported: when the attributes cannot be read or written, the operation meets the file as it is.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

class ReadOnlyGuard {
 public:
  ReadOnlyGuard(const wchar_t* path, bool restore);
  ReadOnlyGuard(const ReadOnlyGuard&) = delete;
  ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;
  virtual ~ReadOnlyGuard();

  bool Cleared() const noexcept { return cleared_; }

 private:
  bool cleared_ = false;
  DWORD saved_ = INVALID_FILE_ATTRIBUTES;
  WideString path_;
  bool restore_;
};

}  // namespace fw
