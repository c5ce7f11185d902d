// setProcessAffinity through the built DLL: chosen masks through a faked GetSystemInfo, the call
// itself recorded.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl.h"
#include "support/loaded_library.h"
#include "support/substituted_proc_address.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace {

class ProcessAffinityTest : public ::testing::Test {
 protected:
  void SetProcessAffinity() {
    ASSERT_NE(setProcessAffinity, nullptr);
    vm.Call(setProcessAffinity, self);
    fwtest::ExpectNoException(vm);
  }

  fwtest::LoadedLibrary library{L"fwnative.dll"};
  decltype(&::Java_com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl_setProcessAffinity)
      setProcessAffinity =
          FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl_setProcessAffinity);
  fwtest::TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32WizardInitializeServiceImpl");
};

// Stands for a machine whose active processors are `active`; the process is never really confined.
TEST_F(ProcessAffinityTest, TakesTheLowestSetBitOfTheLowThirtyTwo) {
  struct Case {
    DWORD_PTR active;
    std::vector<DWORD_PTR> calls;  // masks passed to SetProcessAffinityMask
  };
  std::vector<Case> cases = {
      {0x0000000C, {0x00000004}}, {0x00000001, {0x00000001}}, {0x80000000, {0x80000000}}, {0x00000000, {}}};
  if (sizeof(DWORD_PTR) == 8) {
    // Processors above 31 are not looked at.
    cases.push_back({static_cast<DWORD_PTR>(static_cast<unsigned long long>(0x3) << 32), {}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.active);
    auto systemInfo = fwtest::ReplaceImport(library.get(), FWTEST_IMPORT(GetSystemInfo), [&c](auto original, LPSYSTEM_INFO info) {
      original(info);
      info->dwActiveProcessorMask = c.active;
    });
    std::vector<DWORD_PTR> masks;
    auto affinity = fwtest::SubstituteProcAddress(library.get(), FWTEST_IMPORT(SetProcessAffinityMask),
                                                  [&](auto, HANDLE process, DWORD_PTR mask) {
                                                    if (process == GetCurrentProcess()) masks.push_back(mask);
                                                    return TRUE;
                                                  });
    SetProcessAffinity();
    EXPECT_EQ(masks, c.calls);
    EXPECT_EQ(systemInfo.calls(), 1);
  }
}

}  // namespace
