// Windows98Stubs: makes every Unicode ("W") function a module imports answer the library's calls as
// Windows 98 does (nearly every W function a stub failing with ERROR_CALL_NOT_IMPLEMENTED, 120)
// whenever the library sees the 9x family: Wine's 98 and ME modes keep every W function working, so
// a W call that slipped into a 9x path would pass unnoticed.
//
//   fwtest::Windows98Stubs stubs(GetModuleHandleW(nullptr));   // or a loaded fwnative.dll
//
// A stub fails a call (its function's failure result, last error 120) only when it comes from the
// library's code (CallerOfCurrentFake(): all of a loaded fwnative.dll, or in the test program the
// library's objects linked in; test helpers, the test VM and the runtime use W functions freely) and
// the module's own GetVersionExA slot, asked as the platform test asks, reports platform 1 (so
// FakeWindows98 counts in an NT run and FakeWindowsXP keeps the NT path in a 98 run). The constructor
// throws std::runtime_error naming every W import the stub list does not know.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fwtest {

class Windows98Stubs {
 public:
  explicit Windows98Stubs(HMODULE module);
  Windows98Stubs(const Windows98Stubs&) = delete;  // the stubs' behaviours hold `this`
  Windows98Stubs& operator=(const Windows98Stubs&) = delete;

  // The W functions among `importNames` neither stubbed nor implemented by Windows 98, each after a space.
  static std::string Unlisted(const std::vector<std::string>& importNames);

 private:
  bool Fails() const;
  bool InLibrary(const void* address) const noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return at >= library_.first && at < library_.second;
  }

  std::pair<std::uintptr_t, std::uintptr_t> library_;  // [first, second): the library's code
  void** versionSlot_;  // the module's GetVersionExA slot; read at each call, so fakes of it count
  std::vector<std::shared_ptr<void>> fakes_;  // last: they end first
};

}  // namespace fwtest
