#include "support/hidden_proc_addresses.h"

#include <gtest/gtest.h>

namespace {

// Called through a function of its own, as code under test is: GCC may reuse an import address
// that it read before the patch.
[[gnu::noipa]] FARPROC CallGetProcAddress(HMODULE module, LPCSTR name) { return GetProcAddress(module, name); }

TEST(HiddenProcAddressesTest, RefusesOnlyTheChosenNamesWhileItLives) {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  ASSERT_NE(kernel32, nullptr);
  {
    fwtest::HiddenProcAddresses hidden(GetModuleHandleW(nullptr), {"SetProcessAffinityMask", "GetNativeSystemInfo"});
    SetLastError(0);
    EXPECT_EQ(CallGetProcAddress(kernel32, "SetProcessAffinityMask"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(CallGetProcAddress(kernel32, "GetProcessAffinityMask"), nullptr);
    EXPECT_EQ(CallGetProcAddress(kernel32, "FwtestNoSuchExport"), nullptr) << "unknown names still fail for real";
    EXPECT_EQ(hidden.refused(), std::vector<std::string>{"SetProcessAffinityMask"});
  }
  EXPECT_NE(CallGetProcAddress(kernel32, "SetProcessAffinityMask"), nullptr);
}

}  // namespace
