// setProcessAffinity through the built DLL: the machine's active processors faked through
// GetSystemInfo, the masks it passes recorded (the process is never really confined).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "registry/fwcall_lines.h"
#include "support/fake_import.h"

namespace fwtest {
namespace {

TEST(ProcessAffinityTest, TakesTheLowestSetBitOfTheLowThirtyTwo) {
  FwcallLines calls;
  const struct {
    unsigned long long active;
    std::vector<DWORD_PTR> calls;  // masks passed to SetProcessAffinityMask
  } cases[] = {{0xC, {0x4}}, {0x1, {0x1}}, {0x80000000, {0x80000000}}, {0, {}}, {0x3ull << 32, {}}};
  for (const auto& c : cases) {
    if (c.active != static_cast<DWORD_PTR>(c.active)) continue;  // processors above 31: 64-bit only
    SCOPED_TRACE(c.active);
    auto systemInfo = ReplaceImport(calls.library.get(), FWTEST_IMPORT(GetSystemInfo), [&c](auto original, LPSYSTEM_INFO info) {
      original(info);
      info->dwActiveProcessorMask = static_cast<DWORD_PTR>(c.active);
    });
    std::vector<DWORD_PTR> masks;
    auto affinity = SubstituteProcAddress(calls.library.get(), FWTEST_IMPORT(SetProcessAffinityMask), [&](auto, HANDLE process, DWORD_PTR mask) {
      if (process == GetCurrentProcess()) masks.push_back(mask);
      return TRUE;
    });
    EXPECT_EQ(calls.Answer("Win32WizardInitializeServiceImpl.setProcessAffinity"), "null");
    EXPECT_EQ(masks, c.calls);
  }
}

}  // namespace
}  // namespace fwtest
