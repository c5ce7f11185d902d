#include "file/read_only_guard.h"

#include "file/file_attribute_calls.h"

namespace fw {

ReadOnlyGuard::ReadOnlyGuard(const wchar_t* path, bool restore)
    : path_(path != nullptr ? path : L""), restore_(restore) {
  saved_ = ReadFileAttributes(path_.c_str());
  if (saved_ != INVALID_FILE_ATTRIBUTES && (saved_ & FILE_ATTRIBUTE_READONLY) != 0) {
    cleared_ = true;
    WriteFileAttributes(path_.c_str(), saved_ - FILE_ATTRIBUTE_READONLY);
  }
}

ReadOnlyGuard::~ReadOnlyGuard() {
  if (restore_ && cleared_) {
    // The caller may be about to read the error of its own failed call.
    const DWORD error = GetLastError();
    WriteFileAttributes(path_.c_str(), saved_);
    SetLastError(error);
  }
}

}  // namespace fw
