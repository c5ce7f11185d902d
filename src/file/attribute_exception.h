// AttributeException: raised when a FileAttributes Java peer cannot be reached (its class, a
// method, or a call fails). The code, 1 to 5, tells which step failed. The attribute operations
// turn it into E_FAIL; it never crosses into Java.
#pragma once

#include <exception>

namespace fw {

class AttributeException : public std::exception {
 public:
  explicit AttributeException(int code) noexcept : code_(code) {}
  int Code() const noexcept { return code_; }
  const char* what() const noexcept override { return "FileAttributes peer unreachable"; }

 private:
  int code_;
};

}  // namespace fw
