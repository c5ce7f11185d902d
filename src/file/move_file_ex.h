// MoveFileExW, bound by name in kernel32 on every use: the Windows 9x family lacks it, so the
// library never imports it and still loads there.
//
//   const MoveFileExWFunction moveFileEx = BindMoveFileExW();
//   if (moveFileEx == nullptr) return Failed(GetLastError());   // the look-up's error (127)
//   moveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
#pragma once

#include <windows.h>

namespace fw {

using MoveFileExWFunction = decltype(&::MoveFileExW);

// Null when the system has no MoveFileExW; the thread's last error then says why.
MoveFileExWFunction BindMoveFileExW() noexcept;

}  // namespace fw
