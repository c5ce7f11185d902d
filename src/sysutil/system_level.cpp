#include "sysutil/system_level.h"

#include <cstring>
#include <utility>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "registry/registry_access.h"

namespace fw {
namespace {

UINT DriveType(const WideString& path) {
  if (IsWindows9x()) {
    ScratchBuffer ansi;
    WideToAnsi(path.c_str(), ansi);
    return GetDriveTypeA(ansi.As<const char>());
  }
  return GetDriveTypeW(path.c_str());
}

}  // namespace

DWORD ServicePackText(WideString& out) {
  if (IsWindows9x()) {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return GetLastError();
    // The field need not be terminated when the system fills all of it.
    const std::size_t length = strnlen(info.szCSDVersion, sizeof(info.szCSDVersion));
    const NarrowString ansi(info.szCSDVersion, length);
    ScratchBuffer wide;
    AnsiToWide(ansi.c_str(), wide);
    out = wide.Empty() ? WideString() : WideString(wide.As<const wchar_t>());
    return ERROR_SUCCESS;
  }
  OSVERSIONINFOW info;
  std::memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return GetLastError();
  out.assign(info.szCSDVersion, wcsnlen(info.szCSDVersion, sizeof(info.szCSDVersion) / sizeof(wchar_t)));
  return ERROR_SUCCESS;
}

DWORD BootDirectory(WideString& out) {
  WideString text = RegistryAccess().ReadString(RootKey::LocalMachine, kSetupPath, kBootDirName, false);
  const UINT type = DriveType(text);
  if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) return kErrorNoBootDrive;
  out = std::move(text);
  return ERROR_SUCCESS;
}

}  // namespace fw
