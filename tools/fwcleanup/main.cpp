// fwcleanup.exe: deletes files for an installer once the installer has exited
// (nativeDeleteFilesAfterExit). The library starts it hidden with its own path as the whole
// command line, sends it one request (deletion_request.h) and exits; this program waits for that
// process to end, then deletes what the request names (entry_removal.h). Its own file goes when it
// has exited, since the library holds it open with FILE_FLAG_DELETE_ON_CLOSE. It never shows a
// window or a message, and ends by itself when no request comes within 60 s.
#include <windows.h>

#include "bridge/function_binding.h"
#include "bridge/unique_resource.h"
#include "deletion_request.h"
#include "entry_removal.h"
#include "fwcleanup/request_windows.h"

namespace {

constexpr UINT kRequestTimeoutMs = 60 * 1000;
constexpr DWORD kInstallerTimeoutMs = 5 * 60 * 1000;

// Waits in the Windows directory: the current directory, inherited from the installer, may be one
// it asks to remove. A process that cannot be opened has ended; one that outlasts the bound leaves
// its files in use, and they are then treated like any other file in use.
void WaitForInstaller(DWORD pid) {
  fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto setCurrentDirectory = FW_BIND(kernel32, SetCurrentDirectoryA);
  const auto openProcess = FW_BIND(kernel32, OpenProcess);
  if (!kernel32.Complete()) return;
  char windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) setCurrentDirectory(windows);
  const fw::UniqueHandle installer(openProcess(SYNCHRONIZE, FALSE, pid));
  if (installer) WaitForSingleObject(installer.get(), kInstallerTimeoutMs);
}

}  // namespace

// Exit codes: 0 done, 1 no request in time, 2 not a request, 3 out of memory.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // No system dialog may stop a program that nobody sees (a drive without a disk, a crash).
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  try {
    fwcleanup::ReceivedRequest received;
    if (!fwcleanup::ReceiveRequest(instance, kRequestTimeoutMs, received)) return 1;
    fwcleanup::DeletionRequest request;
    if (!fwcleanup::ParseDeletionRequest(received.bytes, request)) return 2;
    WaitForInstaller(request.installerPid);
    fwcleanup::RemoveEntries(request.entries, request.deleteAtRestart);
    return 0;
  } catch (...) {  // the runtime's abort would show a message box
    return 3;
  }
}
