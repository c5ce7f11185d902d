// Windows98Stubs: makes every Unicode ("W") function a module imports answer the library's calls as
// Windows 98 does whenever the library sees the 9x family. There nearly every W function is a stub
// that fails with ERROR_CALL_NOT_IMPLEMENTED (120); Wine's 98 and ME modes change only what the
// version calls report and keep every W function working, so a W call that slipped into a 9x path
// would pass unnoticed.
//
//   fwtest::Windows98Stubs stubs(GetModuleHandleW(nullptr));   // or a loaded fwnative.dll
//
// A stub fails a call (its function's failure result, last error 120) only when both hold:
// - the call comes from the library's code in the module (CallerOfCurrentFake(); test helpers, the
//   test VM and the runtime use W functions freely, in 98 runs too): the whole image of a loaded
//   fwnative.dll, or in the test program the library's objects linked in (windows98_stubs.cpp);
// - the library sees the 9x family now: GetVersionExA, asked as the platform test asks it and
//   through the module's own import slot, reports platform 1, so FakeWindows98 in an NT run
//   counts and FakeWindowsXP in a 98 run keeps the NT path working.
// Any other call goes on to what the slot held. The constructor throws std::runtime_error naming
// every W import of the module that the stub list does not know, so the list cannot go stale.
// The stubs end with the object; each holds one FakeImport entry of its type.
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

  // The W functions among `importNames` that are neither stubbed nor implemented by Windows 98,
  // each after a space.
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
