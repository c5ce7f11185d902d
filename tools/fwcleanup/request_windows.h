// ReceiveRequest: the one request a clean-up program gets, a WM_COPYDATA from the process that
// started it. Call it first thing in WinMain: the sender looks for the windows right away.
//
//   ReceivedRequest request;
//   if (!ReceiveRequest(instance, 60000, nullptr, request)) return 1;   // nothing came in time
//
// The sender takes the last window of this program's main thread in z-order, from the second
// top-level window on, and under Wine cannot tell the thread's IME window from others. So every
// top-level window of the thread takes the request: two of our own, the first created on top
// (where the walk skips it when nothing is above) and the second moved to the bottom (below what
// the system adds for the thread later, so it is the last one), and the windows the system has
// made for the thread by then ("Default IME"), which forward WM_COPYDATA to it. No window is ever
// shown; ours are gone when the call returns, and a request that comes later is refused. A request
// the filter refuses (another program's) is answered FALSE and the wait goes on for the next one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace fwcleanup {

struct ReceivedRequest {
  std::string bytes;  // exactly the cbData bytes
  WPARAM sender = 0;  // the message's wParam: the sender's window, or 0
};

// Says whether a request's bytes are taken; called while the sender waits for the answer.
using RequestFilter = std::function<bool(const std::string& bytes)>;

// True when a request the filter took (any, without one) came within timeoutMs. Only the first
// request taken counts.
bool ReceiveRequest(HINSTANCE instance, UINT timeoutMs, const RequestFilter& filter, ReceivedRequest& out);

}  // namespace fwcleanup
