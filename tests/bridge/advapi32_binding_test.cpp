// What the library binds by name in advapi32: a module loaded once and kept; PrivilegeEnabler on
// Wine's token (it holds SeShutdownPrivilege, disabled until enabled, and lacks SeCreateTokenPrivilege)
// and the 9x family; the administrator test on an impersonating thread with a deny-only
// Administrators entry (Wine's own token and a standard user's are met by the uninstaller's tests).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "bridge/current_user_administrator.h"
#include "bridge/function_binding.h"
#include "bridge/privilege_enabler.h"
#include "bridge/token_fakes.h"
#include "bridge/unique_resource.h"
#include "support/fake_version.h"
#include "support/recorded_import.h"
#include "support/substituted_proc_address.h"

namespace {

using fwtest::SubstituteProcAddress;

HMODULE Self() { return GetModuleHandleW(nullptr); }

[[gnu::noipa]] HMODULE LoadedHandle(const wchar_t* name) { return GetModuleHandleW(name); }

TEST(FunctionBindingTest, LoadsAModuleOnceAndKeepsItLoaded) {
  const wchar_t* const kModule = L"msacm32.dll";  // nothing in the test program imports it
  ASSERT_EQ(LoadedHandle(kModule), nullptr) << "pick another module: this one is already loaded";
  auto loadsW = fwtest::RecordImport(Self(), FWTEST_IMPORT(LoadLibraryW));
  auto loadsA = fwtest::RecordImport(Self(), FWTEST_IMPORT(LoadLibraryA));  // 9x
  const HMODULE first = fw::GetOrLoadModule(kModule);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(fw::GetOrLoadModule(kModule), first);
  EXPECT_EQ(fw::GetOrLoadModule(L"advapi32.dll"), LoadedHandle(L"advapi32.dll"));
  EXPECT_EQ(loadsW.count() + loadsA.count(), 1u) << "only a module not yet in the process is loaded";
  EXPECT_EQ(LoadedHandle(kModule), first) << "and it is never freed";
}

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

// Enabled for the object's lifetime and disabled at its end, whatever the state before; one the
// account lacks is not disabled at the end; the 9x family has none and looks nothing up.
TEST(PrivilegeEnablerTest, EnablesForItsLifetimeWhereThereArePrivileges) {
  {
    auto windowsXP = fwtest::FakeWindowsXP(Self());  // the token functions work in every Wine mode
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
    auto adjust = SubstituteProcAddress(Self(), FWTEST_IMPORT(AdjustTokenPrivileges),
                                        [](auto original, auto... args) { return original(args...); });
    {
      fw::PrivilegeEnabler createToken("SeCreateTokenPrivilege");
      EXPECT_EQ(createToken.Error(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
      EXPECT_FALSE(createToken.Enabled());
    }
    EXPECT_EQ(adjust.calls(), 1);
  }
  auto windows98 = fwtest::FakeWindows98(Self());
  auto lookups = fwtest::RecordImport(Self(), FWTEST_IMPORT(GetProcAddress));
  fw::ShutdownPrivilegeEnabler shutdown;
  EXPECT_EQ(shutdown.Error(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(lookups.count(), 0u);
}

// Makes the calling thread impersonate a copy of the process token in which Administrators is
// deny-only (the filtered token of an administrator who has not elevated); returns its
// Administrators attributes as the thread's token reports them, 0 on failure.
[[gnu::noipa]] DWORD ImpersonateWithDenyOnlyAdministrators() {
  fw::UniqueHandle process, restricted, impersonation;
  BYTE sid[SECURITY_MAX_SID_SIZE] = {};
  DWORD sidSize = sizeof(sid);
  SID_AND_ATTRIBUTES disabled{sid, 0};
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, process.put()) ||
      !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) ||
      !CreateRestrictedToken(process.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, restricted.put()) ||
      !DuplicateTokenEx(restricted.get(), TOKEN_IMPERSONATE | TOKEN_QUERY, nullptr, SecurityImpersonation,
                        TokenImpersonation, impersonation.put()) ||
      !SetThreadToken(nullptr, impersonation.get())) {
    return 0;
  }
  alignas(TOKEN_GROUPS) BYTE buffer[4096];
  DWORD size = 0;
  if (!GetTokenInformation(impersonation.get(), TokenGroups, buffer, sizeof(buffer), &size)) return 0;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    if (fwtest::IsAdministratorsSid(groups->Groups[i].Sid)) return groups->Groups[i].Attributes;
  }
  return 0;
}

TEST(CurrentUserAdministratorTest, AnImpersonatingThreadIsJudgedByItsOwnTokenAndDenyOnlyCounts) {
  auto openProcessToken = SubstituteProcAddress(Self(), FWTEST_IMPORT(OpenProcessToken),
                                                [](auto original, auto... args) { return original(args...); });
  const DWORD attributes = ImpersonateWithDenyOnlyAdministrators();
  DWORD error = 0xDEADBEEF;
  const bool administrator = fw::IsCurrentUserAdministrator(error);
  RevertToSelf();
  ASSERT_EQ(attributes & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED), static_cast<DWORD>(SE_GROUP_USE_FOR_DENY_ONLY));
  EXPECT_TRUE(administrator);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(openProcessToken.calls(), 0) << "the thread's token is asked, not the process token";
}

}  // namespace
