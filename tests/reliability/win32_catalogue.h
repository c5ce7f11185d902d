// The Win32 functions the library calls, each with how it reports a failure, for the sweep that
// makes every call fail once (call_sites_test.cpp). A function the library calls that is on
// neither list fails the sweep, so the lists cannot fall behind the code.
//
//   FW_WIN32(name, failure): name is typed from its declaration; failure is how the function says
//   it failed, the sweep's injected error (ERROR_NOT_ENOUGH_MEMORY unless noted) set as last error:
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
#include <winsvc.h>

#define FW_WIN32_IMPORTS(FW_WIN32)                                                          \
  FW_WIN32(CloseHandle, Release)                                                            \
  FW_WIN32(CoCreateInstance, Hresult)                                                       \
  FW_WIN32(CoInitialize, Hresult)                                                           \
  FW_WIN32(CopyFileA, Zero)                                                                 \
  FW_WIN32(CopyFileW, Zero)                                                                 \
  FW_WIN32(CreateDirectoryA, Zero)                                                          \
  FW_WIN32(CreateDirectoryW, Zero)                                                          \
  FW_WIN32(CreateFileA, AllOnes)                                                            \
  FW_WIN32(CreateFileW, AllOnes)                                                            \
  FW_WIN32(CreateFileMappingA, Zero)                                                        \
  FW_WIN32(CreateProcessA, Zero)                                                            \
  FW_WIN32(DeleteFileA, Zero)                                                               \
  FW_WIN32(DeleteFileW, Zero)                                                               \
  FW_WIN32(ExpandEnvironmentStringsA, Zero)                                                 \
  FW_WIN32(ExpandEnvironmentStringsW, Zero)                                                 \
  FW_WIN32(FindClose, Release)                                                              \
  FW_WIN32(FindFirstFileA, AllOnes)                                                         \
  FW_WIN32(FindFirstFileW, AllOnes)                                                         \
  FW_WIN32(FindNextFileA, Zero)                                                             \
  FW_WIN32(FindNextFileW, Zero)                                                             \
  FW_WIN32(FormatMessageA, Zero)                                                            \
  FW_WIN32(FormatMessageW, Zero)                                                            \
  FW_WIN32(FreeLibrary, Release)                                                            \
  FW_WIN32(GetDesktopWindow, Zero)                                                          \
  FW_WIN32(GetDiskFreeSpaceA, Zero)                                                         \
  FW_WIN32(GetDiskFreeSpaceW, Zero)                                                         \
  FW_WIN32(GetDriveTypeA, Zero)                                                             \
  FW_WIN32(GetDriveTypeW, Zero)                                                             \
  FW_WIN32(GetEnvironmentVariableA, Zero)                                                   \
  FW_WIN32(GetEnvironmentVariableW, Zero)                                                   \
  FW_WIN32(GetFileAttributesA, AllOnes)                                                     \
  FW_WIN32(GetFileAttributesW, AllOnes)                                                     \
  FW_WIN32(GetFileSize, AllOnes)                                                            \
  FW_WIN32(GetFileVersionInfoA, Zero)                                                       \
  FW_WIN32(GetFileVersionInfoW, Zero)                                                       \
  FW_WIN32(GetFileVersionInfoSizeA, Zero)                                                   \
  FW_WIN32(GetFileVersionInfoSizeW, Zero)                                                   \
  FW_WIN32(GetLogicalDriveStringsA, Zero)                                                   \
  FW_WIN32(GetLogicalDriveStringsW, Zero)                                                   \
  FW_WIN32(GetModuleHandleA, Zero)                                                          \
  FW_WIN32(GetModuleHandleW, Zero)                                                          \
  FW_WIN32(GetProcAddress, Zero) /* error 127: the function is missing */                   \
  FW_WIN32(GetShortPathNameA, Zero)                                                         \
  FW_WIN32(GetSystemDirectoryA, Zero)                                                       \
  FW_WIN32(GetSystemDirectoryW, Zero)                                                       \
  FW_WIN32(GetTempPathA, Zero)                                                              \
  FW_WIN32(GetTempPathW, Zero)                                                              \
  FW_WIN32(GetVersionExA, Zero)                                                             \
  FW_WIN32(GetVersionExW, Zero)                                                             \
  FW_WIN32(GetVolumeInformationA, Zero)                                                     \
  FW_WIN32(GetVolumeInformationW, Zero)                                                     \
  FW_WIN32(GetWindow, Zero)                                                                 \
  FW_WIN32(GetWindowThreadProcessId, Zero)                                                  \
  FW_WIN32(GetWindowsDirectoryA, Zero)                                                      \
  FW_WIN32(GetWindowsDirectoryW, Zero)                                                      \
  FW_WIN32(LoadLibraryA, Zero)                                                              \
  FW_WIN32(LoadLibraryExA, Zero)                                                            \
  FW_WIN32(LoadLibraryW, Zero)                                                              \
  FW_WIN32(MapViewOfFile, Zero)                                                             \
  FW_WIN32(MoveFileA, Zero)                                                                 \
  FW_WIN32(MultiByteToWideChar, Zero)                                                       \
  FW_WIN32(RegCloseKey, Release)                                                            \
  FW_WIN32(RegCreateKeyExA, Status)                                                         \
  FW_WIN32(RegCreateKeyExW, Status)                                                         \
  FW_WIN32(RegDeleteKeyA, Status)                                                           \
  FW_WIN32(RegDeleteKeyW, Status)                                                           \
  FW_WIN32(RegDeleteValueA, Status)                                                         \
  FW_WIN32(RegDeleteValueW, Status)                                                         \
  FW_WIN32(RegEnumKeyA, Status)                                                             \
  FW_WIN32(RegEnumKeyW, Status)                                                             \
  FW_WIN32(RegEnumKeyExW, Status)                                                           \
  FW_WIN32(RegEnumValueA, Status)                                                           \
  FW_WIN32(RegEnumValueW, Status)                                                           \
  FW_WIN32(RegOpenKeyExA, Status)                                                           \
  FW_WIN32(RegOpenKeyExW, Status)                                                           \
  FW_WIN32(RegQueryInfoKeyA, Status)                                                        \
  FW_WIN32(RegQueryInfoKeyW, Status)                                                        \
  FW_WIN32(RegQueryValueExA, Status)                                                        \
  FW_WIN32(RegQueryValueExW, Status)                                                        \
  FW_WIN32(RegSetValueExA, Status)                                                          \
  FW_WIN32(RegSetValueExW, Status)                                                          \
  FW_WIN32(RemoveDirectoryA, Zero)                                                          \
  FW_WIN32(RemoveDirectoryW, Zero)                                                          \
  FW_WIN32(SHGetMalloc, Hresult)                                                            \
  FW_WIN32(SHGetPathFromIDListA, Zero)                                                      \
  FW_WIN32(SHGetSpecialFolderLocation, Hresult)                                             \
  FW_WIN32(SendMessageA, Zero)                                                              \
  FW_WIN32(SendMessageTimeoutA, Zero)                                                       \
  FW_WIN32(SetEndOfFile, Zero)                                                              \
  FW_WIN32(SetEnvironmentVariableA, Zero)                                                   \
  FW_WIN32(SetEnvironmentVariableW, Zero)                                                   \
  FW_WIN32(SetFileAttributesA, Zero)                                                        \
  FW_WIN32(SetFileAttributesW, Zero)                                                        \
  FW_WIN32(SetFilePointer, AllOnes)                                                         \
  FW_WIN32(SetFileTime, Zero)                                                               \
  FW_WIN32(UnmapViewOfFile, Release)                                                        \
  FW_WIN32(VerQueryValueA, Zero)                                                            \
  FW_WIN32(VerQueryValueW, Zero)                                                            \
  FW_WIN32(WaitForInputIdle, AllOnes)                                                       \
  FW_WIN32(WaitForSingleObject, AllOnes)                                                    \
  FW_WIN32(WideCharToMultiByte, Zero)

// Functions bound by name at the moment of use (the library imports none of them).
#define FW_WIN32_BOUND(FW_WIN32)                                                            \
  FW_WIN32(AdjustTokenPrivileges, Zero)                                                     \
  FW_WIN32(AllocateAndInitializeSid, Zero)                                                  \
  FW_WIN32(ChangeServiceConfig2W, Zero)                                                     \
  FW_WIN32(ChangeServiceConfigW, Zero)                                                      \
  FW_WIN32(CloseServiceHandle, Release)                                                     \
  FW_WIN32(ControlService, Zero)                                                            \
  FW_WIN32(CreateServiceW, Zero)                                                            \
  FW_WIN32(DeleteService, Zero)                                                             \
  FW_WIN32(EnumServicesStatusW, Zero)                                                       \
  FW_WIN32(GetDiskFreeSpaceExA, Zero)                                                       \
  FW_WIN32(GetDiskFreeSpaceExW, Zero)                                                       \
  FW_WIN32(GetNamedSecurityInfoW, Status)                                                   \
  FW_WIN32(GetServiceDisplayNameW, Zero)                                                    \
  FW_WIN32(GetServiceKeyNameW, Zero)                                                        \
  FW_WIN32(GetShortPathNameW, Zero)                                                         \
  FW_WIN32(GetTokenInformation, Zero)                                                       \
  FW_WIN32(ImmGetDefaultIMEWnd, Zero)                                                       \
  FW_WIN32(InitializeSecurityDescriptor, Zero)                                              \
  FW_WIN32(LockServiceDatabase, Zero)                                                       \
  FW_WIN32(LookupAccountNameW, Zero)                                                        \
  FW_WIN32(LookupAccountSidW, Zero)                                                         \
  FW_WIN32(LookupPrivilegeValueA, Zero)                                                     \
  FW_WIN32(MoveFileExW, Zero)                                                               \
  FW_WIN32(NetApiBufferFree, Release)                                                       \
  FW_WIN32(NetLocalGroupAdd, Status)                                                        \
  FW_WIN32(NetLocalGroupAddMembers, Status)                                                 \
  FW_WIN32(NetLocalGroupDel, Status)                                                        \
  FW_WIN32(NetUserAdd, Status)                                                              \
  FW_WIN32(NetUserDel, Status)                                                              \
  FW_WIN32(NetUserGetInfo, Status)                                                          \
  FW_WIN32(NetUserSetInfo, Status)                                                          \
  FW_WIN32(OpenProcessToken, Zero)                                                          \
  FW_WIN32(OpenSCManagerW, Zero)                                                            \
  FW_WIN32(OpenServiceW, Zero)                                                              \
  FW_WIN32(OpenThreadToken, Zero)                                                           \
  FW_WIN32(QueryServiceConfig2W, Zero)                                                      \
  FW_WIN32(QueryServiceConfigW, Zero)                                                       \
  FW_WIN32(QueryServiceStatus, Zero)                                                        \
  FW_WIN32(QueryServiceStatusEx, Zero)                                                      \
  FW_WIN32(SetFileSecurityW, Zero)                                                          \
  FW_WIN32(SetNamedSecurityInfoW, Status)                                                   \
  FW_WIN32(SetProcessAffinityMask, Zero)                                                    \
  FW_WIN32(SetSecurityDescriptorGroup, Zero)                                                \
  FW_WIN32(SetSecurityDescriptorOwner, Zero)                                                \
  FW_WIN32(StartServiceW, Zero)                                                             \
  FW_WIN32(UnlockServiceDatabase, Release)

// Called but never made to fail, with the reason. The language runtime's own imports (locks,
// thread-local storage, unwinding, relocation at load) are not the library's calls.
#define FW_WIN32_NOT_FAILED(FW_NOT_FAILED)                                                  \
  FW_NOT_FAILED(GetLastError, "cannot fail")                                                \
  FW_NOT_FAILED(SetLastError, "cannot fail")                                                \
  FW_NOT_FAILED(GetCurrentProcess, "cannot fail (a pseudo-handle)")                         \
  FW_NOT_FAILED(GetCurrentProcessId, "cannot fail")                                         \
  FW_NOT_FAILED(GetCurrentThread, "cannot fail (a pseudo-handle)")                          \
  FW_NOT_FAILED(GetCurrentThreadId, "cannot fail")                                          \
  FW_NOT_FAILED(GetACP, "cannot fail")                                                      \
  FW_NOT_FAILED(IsDBCSLeadByteEx, "a question with no failure result")                      \
  FW_NOT_FAILED(IsWindowVisible, "a question with no failure result")                       \
  FW_NOT_FAILED(IsValidSecurityDescriptor, "a question with no failure result")             \
  FW_NOT_FAILED(EqualSid, "a comparison with no failure result")                            \
  FW_NOT_FAILED(GetSystemInfo, "returns nothing")                                           \
  FW_NOT_FAILED(SetErrorMode, "returns the previous mode; cannot fail")                     \
  FW_NOT_FAILED(ShowWindow, "returns the previous visibility; cannot fail")                 \
  FW_NOT_FAILED(Sleep, "returns nothing")                                                   \
  FW_NOT_FAILED(CoUninitialize, "returns nothing")                                          \
  FW_NOT_FAILED(SHChangeNotify, "returns nothing")                                          \
  FW_NOT_FAILED(LocalFree, "a release that fails only for a bad pointer")                   \
  FW_NOT_FAILED(FreeSid, "a release that fails only for a bad pointer")                     \
  FW_NOT_FAILED(wsprintfA, "formats into the caller's buffer; cannot fail")                 \
  FW_NOT_FAILED(DisableThreadLibraryCalls, "language runtime, at load")                     \
  FW_NOT_FAILED(InitializeCriticalSection, "language runtime")                              \
  FW_NOT_FAILED(DeleteCriticalSection, "language runtime")                                  \
  FW_NOT_FAILED(EnterCriticalSection, "language runtime")                                   \
  FW_NOT_FAILED(LeaveCriticalSection, "language runtime")                                   \
  FW_NOT_FAILED(CreateSemaphoreW, "language runtime")                                       \
  FW_NOT_FAILED(CreateSemaphoreA, "language runtime (its locks)")                           \
  FW_NOT_FAILED(ReleaseSemaphore, "language runtime")                                       \
  FW_NOT_FAILED(TlsAlloc, "language runtime")                                               \
  FW_NOT_FAILED(TlsFree, "language runtime")                                                \
  FW_NOT_FAILED(TlsGetValue, "language runtime")                                            \
  FW_NOT_FAILED(TlsSetValue, "language runtime")                                            \
  FW_NOT_FAILED(VirtualProtect, "language runtime, at load")                                \
  FW_NOT_FAILED(VirtualQuery, "language runtime, at load")                                  \
  FW_NOT_FAILED(RaiseException, "language runtime (exceptions)")                            \
  FW_NOT_FAILED(RtlCaptureContext, "language runtime (exceptions)")                         \
  FW_NOT_FAILED(RtlLookupFunctionEntry, "language runtime (exceptions)")                    \
  FW_NOT_FAILED(RtlUnwindEx, "language runtime (exceptions)")                               \
  FW_NOT_FAILED(RtlVirtualUnwind, "language runtime (exceptions)")
