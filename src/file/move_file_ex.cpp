#include "file/move_file_ex.h"

namespace fw {

MoveFileExWFunction BindMoveFileExW() noexcept {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  // Typed from the declaration, so the pointer cannot drift from the SDK's prototype.
  return reinterpret_cast<MoveFileExWFunction>(reinterpret_cast<void*>(GetProcAddress(kernel32, "MoveFileExW")));
}

}  // namespace fw
