#include "file/volumes.h"

#include "bridge/function_binding.h"
#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "file/ansi_path.h"
#include "file/critical_errors_suppressed.h"

namespace fw {
namespace {

constexpr DWORD kNameUnits = 256;
constexpr DWORD kLongNameLength = 255;

// The roots in a list of zero-terminated texts ending with one more zero.
StringList RootsOf(const wchar_t* units, std::uint32_t count) {
  StringList roots;
  std::uint32_t i = 0;
  while (count > 0 && i < count - 1) {
    if (units[i] == L'\0') {
      ++i;
      continue;
    }
    WideString root(units + i);
    i += static_cast<std::uint32_t>(root.size()) + 1;
    roots.push_back(std::move(root));
  }
  return roots;
}

}  // namespace

StringList DriveRoots() {
  ScratchBuffer units;
  std::uint32_t count = 0;
  if (IsWindows9x()) {
    const DWORD needed = GetLogicalDriveStringsA(0, nullptr);
    if (needed == 0) return {};
    ScratchBuffer ansi;
    ansi.Allocate(needed + 1, 1);
    const DWORD written = GetLogicalDriveStringsA(needed + 1, ansi.As<char>());
    if (written == 0 || written > needed) return {};
    count = AnsiToWideCounted(ansi.As<const char>(), written + 1, units);
  } else {
    const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return {};
    units.Allocate(needed + 1, sizeof(wchar_t));
    const DWORD written = GetLogicalDriveStringsW(needed + 1, units.As<wchar_t>());
    if (written == 0 || written > needed) return {};
    count = needed + 1;
  }
  return units.Empty() ? StringList{} : RootsOf(units.As<const wchar_t>(), count);
}

int DriveKind(const wchar_t* root) {
  const AnsiPath ansi(root);
  switch (GetDriveTypeA(ansi.Get())) {
    case DRIVE_FIXED:
      return 1;
    case DRIVE_REMOVABLE:
      return 2;
    case DRIVE_REMOTE:
      return 3;
    case DRIVE_CDROM:
      return 4;
    case DRIVE_RAMDISK:
      return 5;
    default:
      return -1;
  }
}

DWORD FileSystemName(const wchar_t* root, WideString& name) {
  const CriticalErrorsSuppressed quiet;
  DWORD maximumComponent = 0, flags = 0;
  if (IsWindows9x()) {
    const AnsiPath ansi(root);
    char buffer[kNameUnits] = {};
    if (!GetVolumeInformationA(ansi.Get(), nullptr, 0, nullptr, &maximumComponent, &flags, buffer, kNameUnits)) {
      return GetLastError();
    }
    ScratchBuffer wide;
    AnsiToWide(buffer, wide);
    name = wide.Empty() ? WideString() : WideString(wide.As<const wchar_t>());
    return 0;
  }
  wchar_t buffer[kNameUnits] = {};
  if (!GetVolumeInformationW(root, nullptr, 0, nullptr, &maximumComponent, &flags, buffer, kNameUnits)) {
    return GetLastError();
  }
  name = buffer;
  return 0;
}

DWORD FreeSpaceFor(const wchar_t* path, std::uint64_t& bytes) {
  const CriticalErrorsSuppressed quiet;
  FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  ULARGE_INTEGER available = {}, total = {}, totalFree = {};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  BOOL done;
  bool extended = false;
  if (IsWindows9x()) {
    const AnsiPath ansi(path);
    if (const auto freeSpaceEx = FW_BIND(kernel32, GetDiskFreeSpaceExA)) {
      extended = true;
      done = freeSpaceEx(ansi.Get(), &available, &total, &totalFree);
    } else {
      done = GetDiskFreeSpaceA(ansi.Get(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters);
    }
  } else if (const auto freeSpaceEx = FW_BIND(kernel32, GetDiskFreeSpaceExW)) {
    extended = true;
    done = freeSpaceEx(path, &available, &total, &totalFree);
  } else {
    done = GetDiskFreeSpaceW(path, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters);
  }
  if (!done) return GetLastError();
  bytes = extended ? available.QuadPart
                   : static_cast<std::uint64_t>(freeClusters) * bytesPerSector * sectorsPerCluster;
  return 0;
}

DWORD LongFileNamesOn(const wchar_t* root, bool& supported) {
  const AnsiPath ansi(root);
  const CriticalErrorsSuppressed quiet;
  DWORD maximumComponent = 0, flags = 0;
  if (!GetVolumeInformationA(ansi.Get(), nullptr, 0, nullptr, &maximumComponent, &flags, nullptr, 0)) {
    return GetLastError();
  }
  supported = maximumComponent >= kLongNameLength;
  return 0;
}

}  // namespace fw
