// fwtestsvc.exe "C:\...\record.txt": a service that appends to the record file, a UTF-8 line each,
// what the service control manager gives it: `start "arg1" "arg two"` (its arguments, quoted as
// received) and `control 200` (each control). It accepts stop and interrogation; a control 128-255 is
// recorded and changes nothing. Started outside the service control manager, it exits with code 2.
#include <windows.h>

#include <string>

#include "bridge/unique_resource.h"

namespace {

const wchar_t* g_record_path = nullptr;
// The handler runs on the dispatcher's thread and ServiceMain on its own: every report takes the lock.
CRITICAL_SECTION g_lock;
SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
fw::UniqueHandle g_stop_requested;

void Record(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  std::string utf8(text.size() * 3, '\0');
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                       static_cast<int>(utf8.size()), nullptr, nullptr);
  // Read and write sharing: a test reading the record must not make a line go missing.
  const fw::UniqueFileHandle file(CreateFileW(g_record_path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file && size > 0) WriteFile(file.get(), utf8.data(), static_cast<DWORD>(size), &written, nullptr);
}

// The state as it is when `state` is 0 (interrogation), otherwise the new state.
void Report(DWORD state) {
  EnterCriticalSection(&g_lock);
  if (state != 0) g_status.dwCurrentState = state;
  const bool pending = g_status.dwCurrentState == SERVICE_STOP_PENDING;
  const bool ending = pending || g_status.dwCurrentState == SERVICE_STOPPED;
  g_status.dwControlsAccepted = ending ? 0 : SERVICE_ACCEPT_STOP;
  g_status.dwCheckPoint = pending ? 1 : 0;
  g_status.dwWaitHint = pending ? 3000 : 0;
  SetServiceStatus(g_handle, &g_status);
  LeaveCriticalSection(&g_lock);
}

DWORD WINAPI HandleControl(DWORD control, DWORD, LPVOID, LPVOID) {
  Record(L"control " + std::to_wstring(control));
  switch (control) {
    case SERVICE_CONTROL_STOP:
      Report(SERVICE_STOP_PENDING);
      SetEvent(g_stop_requested.get());
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      Report(0);
      return NO_ERROR;
    default:
      return control >= 128 && control <= 255 ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  std::wstring line = L"start";
  for (DWORD i = 1; i < argc; ++i) line += L" \"" + std::wstring(argv[i]) + L"\"";
  Record(line);
  g_stop_requested.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_handle = RegisterServiceCtrlHandlerExW(argv[0], HandleControl, nullptr);
  if (g_handle == nullptr) return;
  Report(g_stop_requested ? SERVICE_RUNNING : SERVICE_STOPPED);
  if (!g_stop_requested) return;
  WaitForSingleObject(g_stop_requested.get(), INFINITE);
  Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  g_record_path = argv[1];
  InitializeCriticalSection(&g_lock);
  wchar_t no_name[] = L"";  // an own-process service's table entry needs no name
  SERVICE_TABLE_ENTRYW services[] = {{no_name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(services) ? 0 : 2;
}
