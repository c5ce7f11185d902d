// PrivilegeEnabler on Wine's token (it holds SeShutdownPrivilege, disabled until enabled, and
// lacks SeCreateTokenPrivilege) and the 9x family.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "bridge/privilege_enabler.h"
#include "bridge/unique_resource.h"
#include "support/fake_version.h"
#include "support/recorded_import.h"
#include "support/substituted_proc_address.h"

namespace {

using fwtest::SubstituteProcAddress;

HMODULE Self() { return GetModuleHandleW(nullptr); }

// Enables or disables SeShutdownPrivilege when `set` is given; returns whether it is enabled.
[[gnu::noipa]] std::optional<bool> ShutdownPrivilege(std::optional<bool> set = std::nullopt) {
  fw::UniqueHandle token;
  TOKEN_PRIVILEGES state{1, {{{0, 0}, 0}}};
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()) ||
      !LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &state.Privileges[0].Luid)) {
    return std::nullopt;
  }
  if (set) {
    state.Privileges[0].Attributes = *set ? SE_PRIVILEGE_ENABLED : 0;
    AdjustTokenPrivileges(token.get(), FALSE, &state, sizeof(state), nullptr, nullptr);
  }
  PRIVILEGE_SET asked{1, PRIVILEGE_SET_ALL_NECESSARY, {{state.Privileges[0].Luid, 0}}};
  BOOL enabled = FALSE;
  if (!PrivilegeCheck(token.get(), &asked, &enabled)) return std::nullopt;
  return enabled != FALSE;
}

// The token functions work in every Wine mode, so the NT path is taken whatever the run emulates.
class PrivilegeEnablerTest : public ::testing::Test {
 protected:
  fwtest::FakeImport<decltype(&::GetVersionExA)> windowsXP = fwtest::FakeWindowsXP(Self());
};

// Enabled for the object's lifetime and disabled at its end, whatever the state before.
TEST_F(PrivilegeEnablerTest, EnablesForItsLifetime) {
  for (const bool before : {false, true}) {
    SCOPED_TRACE(before);
    ASSERT_EQ(ShutdownPrivilege(before), before);
    {
      fw::ShutdownPrivilegeEnabler shutdown;
      EXPECT_EQ(shutdown.Error(), 0u);
      EXPECT_TRUE(shutdown.Enabled());
      EXPECT_EQ(ShutdownPrivilege(), true);
    }
    EXPECT_EQ(ShutdownPrivilege(), false);
  }
}

TEST_F(PrivilegeEnablerTest, APrivilegeTheAccountLacksIsNotDisabledAtTheEnd) {
  auto adjust = SubstituteProcAddress(Self(), FWTEST_IMPORT(AdjustTokenPrivileges),
                                      [](auto original, HANDLE token, BOOL all, PTOKEN_PRIVILEGES state, DWORD size,
                                         PTOKEN_PRIVILEGES old, PDWORD needed) {
                                        return original(token, all, state, size, old, needed);
                                      });
  {
    fw::PrivilegeEnabler createToken("SeCreateTokenPrivilege");
    EXPECT_EQ(createToken.Error(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    EXPECT_FALSE(createToken.Enabled());
  }
  EXPECT_EQ(adjust.calls(), 1);
}

TEST(PrivilegeEnablerNineXTest, GivesProcNotFoundWithoutAnyLookup) {
  auto windows98 = fwtest::FakeWindows98(Self());
  auto lookups = fwtest::RecordImport(Self(), FWTEST_IMPORT(GetProcAddress));
  fw::ShutdownPrivilegeEnabler shutdown;
  EXPECT_EQ(shutdown.Error(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(lookups.count(), 0u);
}

}  // namespace
