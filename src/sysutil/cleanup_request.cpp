#include "sysutil/cleanup_request.h"

#include <imm.h>

#include "bridge/function_binding.h"
#include "bridge/unique_resource.h"

namespace fw {
namespace {

constexpr DWORD kSettleMs = 500;
constexpr int kSearchPasses = 10;
constexpr DWORD kInputIdleMs = 1000;

}  // namespace

NarrowString CleanupRequest(const NarrowString& list, bool flag, DWORD processId) {
  char id[16] = {};
  wsprintfA(id, "%lx", static_cast<unsigned long>(processId));
  return NarrowString(flag ? "1" : "0") + id + " " + list;
}

HWND FindThreadWindow(DWORD threadId) {
  // Bound by name: the first Windows 95 has no imm32; without it no window is an input-method one.
  FunctionBinder imm32(GetOrLoadModule(L"imm32.dll"));
  const auto defaultImeWindow = FW_BIND(imm32, ImmGetDefaultIMEWnd);
  Sleep(kSettleMs);
  HWND found = nullptr;
  for (int pass = 0; pass < kSearchPasses && found == nullptr; ++pass) {
    // The first top-level window in z-order is passed over.
    for (HWND window = GetWindow(GetWindow(GetDesktopWindow(), GW_CHILD), GW_HWNDNEXT); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
      if (defaultImeWindow != nullptr && defaultImeWindow(window) == window) continue;  // an input-method window
      if (GetWindowThreadProcessId(window, nullptr) == threadId) found = window;
    }
  }
  return found;
}

DWORD LaunchCleanupProgram(const NarrowString& list, bool flag, const char* programPath) {
  // Taken before the start: once the program has ended and this handle is closed, its file goes.
  const UniqueFileHandle selfDeleting(
      CreateFileA(programPath, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  const HWND installerWindow = FindThreadWindow(GetCurrentThreadId());

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started = {};
  NarrowString commandLine = programPath;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return GetLastError();
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
  WaitForInputIdle(process.get(), kInputIdleMs);

  const HWND cleanupWindow = FindThreadWindow(started.dwThreadId);
  if (cleanupWindow == nullptr) return 0;
  if (IsWindowVisible(cleanupWindow)) ShowWindow(cleanupWindow, SW_HIDE);
  NarrowString request = CleanupRequest(list, flag, GetCurrentProcessId());
  COPYDATASTRUCT data = {0, static_cast<DWORD>(request.size() + 1), &request[0]};
  SendMessageA(cleanupWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(installerWindow), reinterpret_cast<LPARAM>(&data));
  return 0;
}

}  // namespace fw
