// Win32Exception: the common base of the library's internal exceptions, carrying the Win32 error
// (or HRESULT) that the native method's boundary guard reports. Each layer derives its own
// (RegistryException, AttributeException), so the guard in bridge/ knows no layer above it.
//
//   throw RegistryException(ERROR_ACCESS_DENIED);   // caught as Win32Exception: "Access is denied. (5)"
#pragma once

#include <windows.h>

#include <exception>

namespace fw {

class Win32Exception : public std::exception {
 public:
  explicit Win32Exception(DWORD error) noexcept : error_(error) {}
  DWORD Error() const noexcept { return error_; }
  const char* what() const noexcept override { return "Windows operation failed"; }

 private:
  DWORD error_;
};

}  // namespace fw
