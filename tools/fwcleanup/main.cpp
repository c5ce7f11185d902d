// fwcleanup.exe: deletes files for an installer once the installer has exited
// (nativeDeleteFilesAfterExit). The library starts it hidden with its own path as the whole
// command line and the installer's current directory, sends it one request (deletion_request.h)
// and exits; this program takes the request only from the process that started it, waits for that
// process to end, then deletes what the request names (cleanup_run.h). Its own file goes when it
// has exited, since the library holds it open with FILE_FLAG_DELETE_ON_CLOSE. It never shows a
// window or a message, and ends by itself when no request comes within 60 s.
#include <windows.h>

#include "cleanup_run.h"
#include "deletion_request.h"
#include "entry_removal.h"
#include "fwcleanup/request_windows.h"
#include "installer_process.h"

namespace {

constexpr UINT kRequestTimeoutMs = 60 * 1000;

}  // namespace

// Exit codes: 0 done, 1 no request in time, 2 not a request, 3 out of memory.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // No system dialog may stop a program that nobody sees (a drive without a disk, a crash).
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  try {
    fwcleanup::InstallerProcess installer;
    fwcleanup::DeletionRequest request;
    // Text that is no request ends the wait (and the program, with nothing deleted); a request
    // carrying any process id but the installer's is refused and the wait goes on.
    const auto fromInstaller = [&](const std::string& bytes) {
      return !fwcleanup::ParseDeletionRequest(bytes, request) || installer.Accept(request.installerPid);
    };
    fwcleanup::ReceivedRequest received;
    if (!fwcleanup::ReceiveRequest(instance, kRequestTimeoutMs, fromInstaller, received)) return 1;
    if (!fwcleanup::ParseDeletionRequest(received.bytes, request)) return 2;
    fwcleanup::RunCleanup(request, installer, fwcleanup::kRetries);
    return 0;
  } catch (...) {  // the runtime's abort would show a message box
    return 3;
  }
}
