// Optional system functions, bound by name at the moment of use. The library never imports a
// function that some supported Windows lacks, so it loads everywhere; a missing function becomes
// the error of the operation that needs it.
//
//   FunctionBinder advapi32(GetOrLoadModule(L"advapi32.dll"));
//   const auto openProcessToken = FW_BIND(advapi32, OpenProcessToken);
//   const auto equalSid = FW_BIND(advapi32, EqualSid);
//   if (!advapi32.Complete()) return advapi32.Error();   // nothing has been called yet
//   openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
//
// Functions are bound in the order asked; the first missing one stops the binding, keeps the
// look-up's error (normally 127, ERROR_PROC_NOT_FOUND) and every later FW_BIND yields null without
// a look-up. A null module counts as missing with the module look-up's error. Each pointer is
// typed from the function's own declaration, so it cannot drift from the system's prototype.
// Nothing is cached: bind again at every use.
#pragma once

#include <windows.h>

namespace fw {

// GetModuleHandle, else LoadLibrary (the A functions on the 9x family). The module is never freed:
// it stays for the process's life.
HMODULE GetOrLoadModule(const wchar_t* fileName) noexcept;

class FunctionBinder {
 public:
  // Reads the thread's last error when the module is null, so construct it right after the look-up.
  explicit FunctionBinder(HMODULE module) noexcept;

  template <typename Function>
  Function Bind(const char* name) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(BindAddress(name)));
  }

  bool Complete() const noexcept { return error_ == 0; }
  // 0 while every function asked for was found.
  DWORD Error() const noexcept { return error_; }

 private:
  FARPROC BindAddress(const char* name) noexcept;

  HMODULE module_;
  DWORD error_ = 0;
};

}  // namespace fw

// The entry point `function` of the binder's module, typed from its declaration; null if missing.
#define FW_BIND(binder, function) ((binder).Bind<decltype(&::function)>(#function))
