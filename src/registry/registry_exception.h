// RegistryException: raised by the registry access layer with the Win32 error of the failed
// registry call. It never crosses into Java: the native method's boundary guard reports it as a
// ServiceException with the method's code and this error.
#pragma once

#include <windows.h>

#include "bridge/win32_exception.h"

namespace fw {

class RegistryException : public Win32Exception {
 public:
  explicit RegistryException(DWORD error) noexcept : Win32Exception(error) {}
  const char* what() const noexcept override { return "registry operation failed"; }
};

// Raises the result of a registry call unless it is ERROR_SUCCESS.
inline void RaiseIfFailed(LONG result) {
  if (result != ERROR_SUCCESS) throw RegistryException(static_cast<DWORD>(result));
}

}  // namespace fw
