#include "bridge/function_binding.h"

#include <new>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/win32_exception.h"

namespace fw {
namespace {

// A failed look-up that leaves no error behind must still read as a failure to the caller.
DWORD LookupError(DWORD fallback) noexcept {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

}  // namespace

HMODULE GetOrLoadModule(const wchar_t* fileName) noexcept {
  if (!IsWindows9x()) {
    const HMODULE loaded = GetModuleHandleW(fileName);
    if (loaded != nullptr) return loaded;
    return LoadLibraryW(fileName);
  }
  try {
    ScratchBuffer ansi;
    WideToAnsi(fileName, ansi);
    const HMODULE loaded = GetModuleHandleA(ansi.As<const char>());
    if (loaded != nullptr) return loaded;
    return LoadLibraryA(ansi.As<const char>());
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  } catch (const Win32Exception& e) {  // a name that does not convert
    SetLastError(e.Error());
    return nullptr;
  }
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
