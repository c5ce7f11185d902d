// The administrator test on Wine's token (an elevated administrator), a standard user's token, an
// impersonating thread with a deny-only Administrators entry, and a missing EqualSid.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/current_user_administrator.h"
#include "bridge/token_fakes.h"
#include "bridge/unique_resource.h"
#include "support/hidden_proc_addresses.h"

namespace {

using fwtest::SubstituteProcAddress;

HMODULE Self() { return GetModuleHandleW(nullptr); }

// A pass-through substitute, to count what the code under test calls.
auto CountOpenProcessToken() {
  return SubstituteProcAddress(Self(), FWTEST_IMPORT(OpenProcessToken),
                               [](auto original, HANDLE process, DWORD access, PHANDLE out) {
                                 return original(process, access, out);
                               });
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

TEST(CurrentUserAdministratorTest, AnswersFromTheTokensGroups) {
  DWORD error = 0xDEADBEEF;
  EXPECT_TRUE(fw::IsCurrentUserAdministrator(error));
  EXPECT_EQ(error, 0u);

  auto standardUser = fwtest::WithoutAdministratorsGroup(Self());
  error = 0xDEADBEEF;
  EXPECT_FALSE(fw::IsCurrentUserAdministrator(error));
  EXPECT_EQ(error, 0u);
}

TEST(CurrentUserAdministratorTest, AnImpersonatingThreadIsJudgedByItsOwnTokenAndDenyOnlyCounts) {
  auto openProcessToken = CountOpenProcessToken();
  const DWORD attributes = ImpersonateWithDenyOnlyAdministrators();
  DWORD error = 0xDEADBEEF;
  const bool administrator = fw::IsCurrentUserAdministrator(error);
  RevertToSelf();
  ASSERT_EQ(attributes & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED), static_cast<DWORD>(SE_GROUP_USE_FOR_DENY_ONLY));
  EXPECT_TRUE(administrator);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(openProcessToken.calls(), 0) << "the thread's token is asked, not the process token";
}

// Stands for an advapi32 without EqualSid.
TEST(CurrentUserAdministratorTest, AMissingEqualSidGivesTheLookupErrorBeforeAnythingIsCalled) {
  fwtest::HiddenProcAddresses hidden(Self(), {"EqualSid", "FreeSid"});
  auto openProcessToken = CountOpenProcessToken();
  DWORD error = 0;
  EXPECT_FALSE(fw::IsCurrentUserAdministrator(error));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(hidden.refused(), std::vector<std::string>{"EqualSid"}) << "binding stops at the first missing one";
  EXPECT_EQ(openProcessToken.lookups(), 1);
  EXPECT_EQ(openProcessToken.calls(), 0);
}

}  // namespace
