#include "bridge/function_binding.h"

namespace fw {
namespace {

// A failed look-up that leaves no error behind must still read as a failure to the caller.
DWORD LookupError(DWORD fallback) noexcept {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

}  // namespace

HMODULE GetOrLoadModule(const wchar_t* fileName) noexcept {
  const HMODULE loaded = GetModuleHandleW(fileName);
  if (loaded != nullptr) return loaded;
  return LoadLibraryW(fileName);
}

FunctionBinder::FunctionBinder(HMODULE module) noexcept : module_(module) {
  if (module_ == nullptr) error_ = LookupError(ERROR_MOD_NOT_FOUND);
}

FARPROC FunctionBinder::BindAddress(const char* name) noexcept {
  if (error_ != 0) return nullptr;
  const FARPROC address = GetProcAddress(module_, name);
  if (address == nullptr) error_ = LookupError(ERROR_PROC_NOT_FOUND);
  return address;
}

}  // namespace fw
