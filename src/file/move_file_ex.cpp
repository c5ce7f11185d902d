#include "file/move_file_ex.h"

#include "bridge/function_binding.h"

namespace fw {

MoveFileExWFunction BindMoveFileExW() noexcept {
  // kernel32 is always in the process: its handle is only looked up, never loaded.
  FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  return FW_BIND(kernel32, MoveFileExW);
}

DWORD DeleteAtRestart(const wchar_t* path) noexcept {
  const MoveFileExWFunction moveFileEx = BindMoveFileExW();
  if (moveFileEx == nullptr || !moveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return GetLastError();
  return 0;
}

}  // namespace fw
