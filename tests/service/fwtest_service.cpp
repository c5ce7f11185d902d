// fwtestsvc.exe: a service that records what the service control manager gives it, so a test can
// check the start arguments and the controls its calls produced.
//
//   binary path:  "C:\...\fwtestsvc.exe" "C:\...\record.txt"
//
// Each line is appended to the record file in UTF-8, ending in "\n", and the file is closed after
// every line, so a test may read it while the service runs:
//   start "arg1" "arg two"     when ServiceMain begins: its arguments after the service name, each
//                              in double quotes exactly as received (an empty one shows as "";
//                              quotes inside are not escaped)
//   control 200                every control the handler receives, in decimal
// The service accepts stop and pause/continue; a control 128-255 is recorded and changes nothing.
// Wine's service control manager passes the start arguments only up to the first empty one.
// Started outside the service control manager, it says so on stderr and exits with code 2.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bridge/unique_resource.h"

namespace {

constexpr int kExitUsage = 2;

const wchar_t* g_record_path = nullptr;

// Appends one line; the file is opened and closed for each so that every line is on disk at once.
void Record(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  // Read and write sharing: a test reading the record must not make a line go missing.
  fw::UniqueFileHandle file(CreateFileW(g_record_path, FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

// The state as last reported. The handler runs on the dispatcher's thread and ServiceMain on its
// own, so every report goes through one lock.
class ServiceState {
 public:
  ServiceState() { InitializeCriticalSection(&lock_); }
  ~ServiceState() { DeleteCriticalSection(&lock_); }
  ServiceState(const ServiceState&) = delete;
  ServiceState& operator=(const ServiceState&) = delete;

  void Attach(SERVICE_STATUS_HANDLE handle) { handle_ = handle; }

  void Report(DWORD state) {
    EnterCriticalSection(&lock_);
    status_.dwCurrentState = state;
    Send();
    LeaveCriticalSection(&lock_);
  }

  // Interrogation: the state as it is, reported again.
  void ReportCurrent() {
    EnterCriticalSection(&lock_);
    Send();
    LeaveCriticalSection(&lock_);
  }

 private:
  void Send() {
    const bool pending = status_.dwCurrentState == SERVICE_STOP_PENDING;
    status_.dwControlsAccepted =
        pending || status_.dwCurrentState == SERVICE_STOPPED
            ? 0
            : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    status_.dwCheckPoint = pending ? 1 : 0;
    status_.dwWaitHint = pending ? 3000 : 0;
    SetServiceStatus(handle_, &status_);
  }

  CRITICAL_SECTION lock_;
  SERVICE_STATUS_HANDLE handle_ = nullptr;
  SERVICE_STATUS status_ = {SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
};

ServiceState g_state;
fw::UniqueHandle g_stop_requested;

DWORD WINAPI HandleControl(DWORD control, DWORD, LPVOID, LPVOID) {
  Record(L"control " + std::to_wstring(control));
  switch (control) {
    case SERVICE_CONTROL_STOP:
      g_state.Report(SERVICE_STOP_PENDING);
      SetEvent(g_stop_requested.get());
      return NO_ERROR;
    case SERVICE_CONTROL_PAUSE:
      g_state.Report(SERVICE_PAUSED);
      return NO_ERROR;
    case SERVICE_CONTROL_CONTINUE:
      g_state.Report(SERVICE_RUNNING);
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      g_state.ReportCurrent();
      return NO_ERROR;
    default:
      // User-defined controls are only recorded; the state stays as it is.
      return control >= 128 && control <= 255 ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  std::wstring line = L"start";
  for (DWORD i = 1; i < argc; ++i) line += L" \"" + std::wstring(argv[i]) + L"\"";
  Record(line);

  SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExW(argv[0], HandleControl, nullptr);
  if (handle == nullptr) return;
  g_state.Attach(handle);
  g_stop_requested.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!g_stop_requested) {
    g_state.Report(SERVICE_STOPPED);
    return;
  }
  g_state.Report(SERVICE_RUNNING);
  WaitForSingleObject(g_stop_requested.get(), INFINITE);
  g_state.Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "fwtestsvc: usage: fwtestsvc.exe RECORD-FILE (as a service's binary path)\n");
    return kExitUsage;
  }
  g_record_path = argv[1];
  // An own-process service's table entry needs no name.
  wchar_t no_name[] = L"";
  SERVICE_TABLE_ENTRYW services[] = {{no_name, ServiceMain}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherW(services)) return 0;
  const DWORD error = GetLastError();
  if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
    std::fprintf(stderr,
                 "fwtestsvc: not started by the service control manager (1063); it runs only as a "
                 "service\n");
    return kExitUsage;
  }
  std::fprintf(stderr, "fwtestsvc: StartServiceCtrlDispatcherW failed (%lu)\n",
               static_cast<unsigned long>(error));
  return 1;
}
