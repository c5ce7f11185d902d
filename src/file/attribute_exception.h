// AttributeException: raised when a FileAttributes Java peer cannot be reached (its class, a
// method, or a call fails). The code, 1 to 5, tells which step failed; the error it carries is
// E_FAIL, which is what the caller reports. It never crosses into Java.
#pragma once

#include "bridge/service_exception.h"
#include "bridge/win32_exception.h"

namespace fw {

class AttributeException : public Win32Exception {
 public:
  explicit AttributeException(int code) noexcept : Win32Exception(kErrorEFail), code_(code) {}
  int Code() const noexcept { return code_; }
  const char* what() const noexcept override { return "FileAttributes peer unreachable"; }

 private:
  int code_;
};

}  // namespace fw
