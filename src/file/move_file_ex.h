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

// Has the system delete a file or remove an empty directory at its next start (NT family):
// 0, or the error of the look-up or of MoveFileExW.
DWORD DeleteAtRestart(const wchar_t* path) noexcept;

}  // namespace fw
