#include "support/wine_stub_guard.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <lm.h>

namespace {

// NetUserSetInfo is one of Wine's unimplemented stubs; calling it must end the program with a
// message naming it, not start a debugger.
TEST(WineStubGuardDeathTest, AnUnimplementedFunctionEndsTheProgramNamingIt) {
  USER_INFO_1003 password = {const_cast<LPWSTR>(L"fwtest-password")};
  EXPECT_EXIT(NetUserSetInfo(nullptr, L"fwtest-nobody", 1003, reinterpret_cast<LPBYTE>(&password), nullptr),
              ::testing::ExitedWithCode(static_cast<int>(fwtest::kWineStubExitCode)),
              "FAILED: call to unimplemented function netapi32\\.dll\\.NetUserSetInfo in test "
              "WineStubGuardDeathTest\\.");
}

}  // namespace
