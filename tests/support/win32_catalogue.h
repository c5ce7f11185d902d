// The Win32 functions the library calls, and the other Unicode functions the test program imports,
// each with how it reports a failure. The call-site sweep fails each of the library's calls once, the
// Windows 9x stubs fail its W calls with error 120, and both refuse a function on no list, so the
// lists cannot fall behind. X(name, failure): the error set as last error, and the result:
//     Zero     FALSE, NULL or 0
//     AllOnes  INVALID_HANDLE_VALUE, INVALID_FILE_ATTRIBUTES, INVALID_SET_FILE_POINTER, WAIT_FAILED
//     Status   the error itself as the result (registry, network management, named security)
//     Hresult  HRESULT_FROM_WIN32(error)
//     Release  the real call runs (so nothing is really left open), then FALSE (or the error for a
//              status function): a close that reports a failure
#pragma once

#include <windows.h>

#include <aclapi.h>
#include <imm.h>
#include <lm.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winsvc.h>

#include <type_traits>

namespace fwtest {

enum class Failure { Zero, AllOnes, Status, Hresult, Release };

// The result by which a function returning R reports `failure` with `error`.
template <typename R>
R FailureResult(Failure failure, DWORD error) {
  constexpr bool kStatus = std::is_same_v<R, LONG> || std::is_same_v<R, DWORD>;
  LONG_PTR value = 0;
  if (failure == Failure::AllOnes) value = -1;
  if (failure == Failure::Status || (failure == Failure::Release && kStatus)) value = static_cast<LONG_PTR>(error);
  if (failure == Failure::Hresult) value = static_cast<LONG_PTR>(HRESULT_FROM_WIN32(error));
  if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(value);
  } else {
    return static_cast<R>(value);
  }
}

}  // namespace fwtest

// Imported by the library (CharUpperBuffW by the clean-up program's core, linked into the tests too).
#define FW_WIN32_IMPORTS(X)                                                                                         \
  X(CharUpperBuffW, Zero)                                                                                           \
  X(CloseHandle, Release) X(CoCreateInstance, Hresult) X(CoInitialize, Hresult) X(CopyFileA, Zero)                  \
  X(CopyFileW, Zero) X(CreateDirectoryA, Zero) X(CreateDirectoryW, Zero) X(CreateFileA, AllOnes)                    \
  X(CreateFileW, AllOnes) X(CreateFileMappingA, Zero) X(CreateProcessA, Zero) X(DeleteFileA, Zero)                  \
  X(DeleteFileW, Zero) X(ExpandEnvironmentStringsA, Zero) X(ExpandEnvironmentStringsW, Zero) X(FindClose, Release)  \
  X(FindFirstFileA, AllOnes) X(FindFirstFileW, AllOnes) X(FindNextFileA, Zero) X(FindNextFileW, Zero)               \
  X(FormatMessageA, Zero) X(FormatMessageW, Zero) X(FreeLibrary, Release) X(GetDesktopWindow, Zero)                 \
  X(GetDiskFreeSpaceA, Zero) X(GetDiskFreeSpaceW, Zero) X(GetDriveTypeA, Zero) X(GetDriveTypeW, Zero)               \
  X(GetEnvironmentVariableA, Zero) X(GetEnvironmentVariableW, Zero) X(GetFileAttributesA, AllOnes)                  \
  X(GetFileAttributesW, AllOnes) X(GetFileSize, AllOnes) X(GetFileVersionInfoA, Zero) X(GetFileVersionInfoW, Zero)  \
  X(GetFileVersionInfoSizeA, Zero) X(GetFileVersionInfoSizeW, Zero) X(GetLogicalDriveStringsA, Zero)                \
  X(GetLogicalDriveStringsW, Zero) X(GetModuleHandleA, Zero) X(GetModuleHandleW, Zero) X(GetProcAddress, Zero)      \
  X(GetShortPathNameA, Zero) X(GetSystemDirectoryA, Zero) X(GetSystemDirectoryW, Zero) X(GetTempPathA, Zero)        \
  X(GetTempPathW, Zero) X(GetVersionExA, Zero) X(GetVersionExW, Zero) X(GetVolumeInformationA, Zero)                \
  X(GetVolumeInformationW, Zero) X(GetWindow, Zero) X(GetWindowThreadProcessId, Zero) X(GetWindowsDirectoryA, Zero) \
  X(GetWindowsDirectoryW, Zero) X(LoadLibraryA, Zero) X(LoadLibraryExA, Zero) X(LoadLibraryW, Zero)                 \
  X(MapViewOfFile, Zero) X(MoveFileA, Zero) X(MultiByteToWideChar, Zero) X(RegCloseKey, Release)                    \
  X(RegCreateKeyExA, Status) X(RegCreateKeyExW, Status) X(RegDeleteKeyA, Status) X(RegDeleteKeyW, Status)           \
  X(RegDeleteValueA, Status) X(RegDeleteValueW, Status) X(RegEnumKeyA, Status) X(RegEnumKeyW, Status)               \
  X(RegEnumKeyExW, Status) X(RegEnumValueA, Status) X(RegEnumValueW, Status) X(RegOpenKeyExA, Status)               \
  X(RegOpenKeyExW, Status) X(RegQueryInfoKeyA, Status) X(RegQueryInfoKeyW, Status) X(RegQueryValueExA, Status)      \
  X(RegQueryValueExW, Status) X(RegSetValueExA, Status) X(RegSetValueExW, Status) X(RemoveDirectoryA, Zero)         \
  X(RemoveDirectoryW, Zero) X(SHGetMalloc, Hresult) X(SHGetPathFromIDListA, Zero)                                   \
  X(SHGetSpecialFolderLocation, Hresult) X(SendMessageA, Zero) X(SendMessageTimeoutA, Zero) X(SetEndOfFile, Zero)   \
  X(SetEnvironmentVariableA, Zero) X(SetEnvironmentVariableW, Zero) X(SetFileAttributesA, Zero)                     \
  X(SetFileAttributesW, Zero) X(SetFilePointer, AllOnes) X(SetFileTime, Zero) X(UnmapViewOfFile, Release)           \
  X(VerQueryValueA, Zero) X(VerQueryValueW, Zero) X(WaitForInputIdle, AllOnes) X(WaitForSingleObject, AllOnes)      \
  X(WideCharToMultiByte, Zero)

// Bound by name at the moment of use (the library imports none of them).
#define FW_WIN32_BOUND(X)                                                                                          \
  X(AdjustTokenPrivileges, Zero) X(AllocateAndInitializeSid, Zero) X(ChangeServiceConfig2W, Zero)                  \
  X(ChangeServiceConfigW, Zero) X(CloseServiceHandle, Release) X(ControlService, Zero) X(CreateServiceW, Zero)     \
  X(DeleteService, Zero) X(EnumServicesStatusW, Zero) X(GetDiskFreeSpaceExA, Zero) X(GetDiskFreeSpaceExW, Zero)    \
  X(GetNamedSecurityInfoW, Status) X(GetServiceDisplayNameW, Zero) X(GetServiceKeyNameW, Zero)                     \
  X(GetShortPathNameW, Zero) X(GetTokenInformation, Zero) X(ImmGetDefaultIMEWnd, Zero)                             \
  X(InitializeSecurityDescriptor, Zero) X(LockServiceDatabase, Zero) X(LookupAccountNameW, Zero)                   \
  X(LookupAccountSidW, Zero) X(LookupPrivilegeValueA, Zero) X(MoveFileExW, Zero) X(NetApiBufferFree, Release)      \
  X(NetLocalGroupAdd, Status) X(NetLocalGroupAddMembers, Status) X(NetLocalGroupDel, Status) X(NetUserAdd, Status) \
  X(NetUserDel, Status) X(NetUserGetInfo, Status) X(NetUserSetInfo, Status) X(OpenProcessToken, Zero)              \
  X(OpenSCManagerW, Zero) X(OpenServiceW, Zero) X(OpenThreadToken, Zero) X(QueryServiceConfig2W, Zero)             \
  X(QueryServiceConfigW, Zero) X(QueryServiceStatus, Zero) X(QueryServiceStatusEx, Zero) X(SetFileSecurityW, Zero) \
  X(SetNamedSecurityInfoW, Status) X(SetProcessAffinityMask, Zero) X(SetSecurityDescriptorGroup, Zero)             \
  X(SetSecurityDescriptorOwner, Zero) X(StartServiceW, Zero) X(UnlockServiceDatabase, Release)

// Not the library's: imported by the test program or the language runtime, stubbed on 9x only.
#define FW_WIN32_STUBBED(X)                                                                                         \
  X(CreateProcessW, Zero) X(CreateSemaphoreW, Zero) X(FreeEnvironmentStringsW, Zero) X(GetCurrentDirectoryW, Zero)  \
  X(GetEnvironmentStringsW, Zero) X(GetFullPathNameW, Zero) X(GetLongPathNameW, Zero) X(GetModuleFileNameW, Zero)   \
  X(GetUserNameW, Zero) X(MoveFileW, Zero) X(Process32FirstW, Zero) X(Process32NextW, Zero) X(RegGetValueW, Status) \
  X(SetCurrentDirectoryW, Zero) X(SHGetFolderPathW, Hresult) X(SHGetSpecialFolderPathW, Zero)
