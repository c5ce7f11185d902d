// Windows9xStubs: makes the library meet the 9x family as it is, where Wine's 98, ME and 95 modes
// change only what the version calls report.
// - Every Unicode ("W") function a module imports answers the library's calls as Windows 98 does
//   (nearly every W function a stub failing with ERROR_CALL_NOT_IMPLEMENTED, 120) whenever the
//   library sees the 9x family: Wine keeps every W function working, so a W call that slipped into a
//   9x path would pass unnoticed.
// - Whenever the library sees Windows 95 (4.0 of the 9x family), what the first Windows 95 lacks and
//   the library binds by name is missing: GetProcAddress finds no GetDiskFreeSpaceExA (it came with
//   OSR2; error 127), and GetModuleHandleA and LoadLibraryA find no imm32.dll (error 126).
//
//   fwtest::Windows9xStubs stubs(GetModuleHandleW(nullptr));   // or a loaded fwnative.dll
//
// A stub answers so only when the call comes from the library's code (CallerOfCurrentFake(): all of a
// loaded fwnative.dll, or in the test program the library's objects linked in; test helpers, the test
// VM and the runtime use every function freely) and the module's own GetVersionExA slot, asked as the
// platform test asks, reports that system (so FakeWindows98 counts in an NT run and FakeWindowsXP
// keeps the NT path in a 9x run). The constructor throws std::runtime_error naming every W import the
// stub list does not know.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fwtest {

class Windows9xStubs {
 public:
  explicit Windows9xStubs(HMODULE module);
  Windows9xStubs(const Windows9xStubs&) = delete;  // the stubs' behaviours hold `this`
  Windows9xStubs& operator=(const Windows9xStubs&) = delete;

  // The W functions among `importNames` neither stubbed nor implemented by Windows 98, each after a space.
  static std::string Unlisted(const std::vector<std::string>& importNames);

 private:
  // True when the current call must fail as on that system (then the last error is `error`); leaves
  // the last error alone otherwise.
  bool Fails(bool onlyWindows95, DWORD error) const;

  bool InLibrary(const void* address) const noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return at >= library_.first && at < library_.second;
  }

  std::pair<std::uintptr_t, std::uintptr_t> library_;  // [first, second): the library's code
  void** versionSlot_;  // the module's GetVersionExA slot; read at each call, so fakes of it count
  std::vector<std::shared_ptr<void>> fakes_;  // last: they end first
};

}  // namespace fwtest
