#include "fwcleanup/request_windows.h"

#include <cstring>
#include <utility>

#include "bridge/unique_resource.h"

namespace fwcleanup {
namespace {

struct WindowTraits {
  using Type = HWND;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type window) noexcept { DestroyWindow(window); }
};
using UniqueWindow = fw::UniqueResource<WindowTraits>;

constexpr char kClassName[] = "FernwickCleanupRequest";
constexpr UINT_PTR kTimeoutTimer = 1;

// Window procedures are plain functions, so the state of the one wait lives here.
ReceivedRequest* g_target = nullptr;
const RequestFilter* g_filter = nullptr;
bool g_received = false;
std::pair<HWND, WNDPROC> g_forwarding[4];  // the system's windows of the thread, with their own procedures
int g_forwardingCount = 0;

// Copies the request while the sender's memory is valid (only during the message) and ends the wait.
LRESULT Receive(WPARAM sender, LPARAM lParam) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data == nullptr || g_target == nullptr || g_received) return FALSE;
  try {
    const char* bytes = static_cast<const char*>(data->lpData);
    std::string copy(bytes != nullptr ? bytes : "", bytes != nullptr ? data->cbData : 0);
    if (*g_filter && !(*g_filter)(copy)) return FALSE;
    g_target->bytes = std::move(copy);
  } catch (...) {  // nothing may unwind through the system's message dispatch
    return FALSE;
  }
  g_target->sender = sender;
  g_received = true;
  PostQuitMessage(0);
  return TRUE;
}

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) return Receive(wParam, lParam);
  if (message == WM_TIMER && wParam == kTimeoutTimer) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Stays in place after the wait (its windows live as long as the thread); a request is then refused.
LRESULT CALLBACK ForwardingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) return Receive(wParam, lParam);
  for (const auto& [forwarded, original] : g_forwarding) {
    if (forwarded == window) return CallWindowProcA(original, window, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK ForwardRequests(HWND window, LPARAM) {
  char className[sizeof(kClassName) + 1] = {};
  GetClassNameA(window, className, sizeof(className));
  if (std::strcmp(className, kClassName) == 0 || g_forwardingCount == ARRAYSIZE(g_forwarding)) return TRUE;
  const LONG_PTR original = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForwardingWindowProc));
  if (original != 0) g_forwarding[g_forwardingCount++] = {window, reinterpret_cast<WNDPROC>(original)};
  return TRUE;
}

HWND CreateRequestWindow(HINSTANCE instance) {
  return CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace

bool ReceiveRequest(HINSTANCE instance, UINT timeoutMs, const RequestFilter& filter, ReceivedRequest& out) {
  const WNDCLASSA windowClass{0, &OwnWindowProc, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, kClassName};
  RegisterClassA(&windowClass);
  const UniqueWindow first(CreateRequestWindow(instance));
  const UniqueWindow last(CreateRequestWindow(instance));
  SetWindowPos(last.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  g_target = &out;
  g_filter = &filter;
  EnumThreadWindows(GetCurrentThreadId(), &ForwardRequests, 0);
  if (first && SetTimer(first.get(), kTimeoutTimer, timeoutMs, nullptr) != 0) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  }
  g_target = nullptr;
  g_filter = nullptr;
  return g_received;
}

}  // namespace fwcleanup
