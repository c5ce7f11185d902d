// fwtestsvc.exe: a service that records what the service control manager gives it, so a test can
// check the start arguments and the controls its calls produced.
//
//   binary path:  "C:\...\fwtestsvc.exe" "C:\...\record.txt"
//
// Each line is appended to the record file, ending in "\n", and the file is closed after every
// line, so a test may read it while the service runs (the tests' arguments are ASCII):
//   start "arg1" "arg two"     when ServiceMain begins: its arguments after the service name, each
//                              in double quotes exactly as received (quotes inside not escaped)
//   control 200                every control the handler receives, in decimal
// The service runs until it is stopped and accepts stop (and interrogation); any other control is
// recorded and changes nothing. Started outside the service control manager, it exits with code 2.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t* g_record_path = nullptr;
HANDLE g_stop_requested = nullptr;

void Record(const std::wstring& line) {
  if (FILE* file = _wfopen(g_record_path, L"ab")) {  // shared for reading and writing
    std::fprintf(file, "%ls\n", line.c_str());
    std::fclose(file);
  }
}

DWORD WINAPI HandleControl(DWORD control, DWORD, LPVOID, LPVOID) {
  Record(L"control " + std::to_wstring(control));
  if (control == SERVICE_CONTROL_STOP) SetEvent(g_stop_requested);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD argc, LPWSTR* argv) {
  std::wstring line = L"start";
  for (DWORD i = 1; i < argc; ++i) line += L" \"" + std::wstring(argv[i]) + L"\"";
  Record(line);
  g_stop_requested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExW(argv[0], HandleControl, nullptr);
  if (handle == nullptr) return;
  // Only ServiceMain reports, so the handler never races it.
  SERVICE_STATUS status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_RUNNING, SERVICE_ACCEPT_STOP, NO_ERROR, 0, 0, 0};
  if (g_stop_requested != nullptr && SetServiceStatus(handle, &status)) WaitForSingleObject(g_stop_requested, INFINITE);
  status = {SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0, NO_ERROR, 0, 0, 0};
  SetServiceStatus(handle, &status);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  g_record_path = argv[1];
  wchar_t no_name[] = L"";  // an own-process service's table entry needs no name
  SERVICE_TABLE_ENTRYW services[] = {{no_name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherW(services) ? 0 : 2;
}
