#include "file/move_file_ex.h"

#include "bridge/function_binding.h"

namespace fw {

MoveFileExWFunction BindMoveFileExW() noexcept {
  // kernel32 is always in the process: its handle is only looked up, never loaded.
  FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  return FW_BIND(kernel32, MoveFileExW);
}

}  // namespace fw
