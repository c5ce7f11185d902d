// FileObject: a path and the attribute operations on it that the file and desktop services share.
//
//   jobject peer = nullptr;
//   DWORD status = FileObject(path).GetAttributes(env, &peer);
//   if (status != 0) ThrowServiceException(env, code, status);
//
// Both operations return 0 or the error to report: the Win32 error of the failed call, E_FAIL when
// the FileAttributes peer could not be reached (no AttributeException leaves them), or
// E_INVALIDARG for setting attributes on "." or from a null peer. On failure the out-parameter is not touched. An
// empty path is handed to Windows as "". A Java exception thrown by the peer's own methods stays
// pending and JavaExceptionPending passes through.
#pragma once

#include <windows.h>

#include <jni.h>

#include <utility>

#include "bridge/wide_string.h"

namespace fw {

class FileObject {
 public:
  explicit FileObject(WideString path) : path_(std::move(path)) {}

  DWORD GetAttributes(JNIEnv* env, jobject* peer) const;
  DWORD SetAttributes(JNIEnv* env, jobject peer) const;

  const WideString& Path() const noexcept { return path_; }

 private:
  WideString path_;
};

}  // namespace fw
