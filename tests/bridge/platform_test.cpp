// The platform tests (the version asked at every call, with its fallback), COM for the DLL's loading
// thread, modules bound by name, PrivilegeEnabler and the administrator test on a thread's token.
#include "bridge/platform.h"

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "bridge/current_user_administrator.h"
#include "bridge/function_binding.h"
#include "bridge/privilege_enabler.h"
#include "bridge/token_fakes.h"
#include "registry/fwcall_lines.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"

namespace fw {
namespace {

using fwtest::SubstituteProcAddress;

// IsWindows9x, IsWindowsNT, IsWindows2000, IsWindowsME.
using PlatformAnswers = std::tuple<bool, bool, bool, bool>;

PlatformAnswers Ask() { return {IsWindows9x(), IsWindowsNT(), IsWindows2000(), IsWindowsME()}; }

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The answers inside the library and from the DLL, for the version of each call. A system that takes
// only the older structure (98, NT 4 before SP6) is asked again with it.
TEST(Platform, ReleasesAreToldApartByExactVersion) {
  fwtest::FwcallLines calls;
  enum Takes { kEither, kOlderOnly, kNone };  // the structures GetVersionExA accepts
  const struct {
    DWORD platform, major, minor;
    Takes takes;
    PlatformAnswers expected;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, kEither, {false, true, true, false}},            // 2000
      {VER_PLATFORM_WIN32_NT, 5, 1, kEither, {false, true, false, false}},           // XP
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, kEither, {true, false, false, true}},      // ME
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, kOlderOnly, {true, false, false, false}},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, kEither, {true, false, false, false}},      // 9x id with NT 5.0 numbers
      {VER_PLATFORM_WIN32_NT, 4, 90, kOlderOnly, {false, true, false, false}},       // NT id with ME numbers
      {VER_PLATFORM_WIN32s, 3, 10, kEither, {false, false, false, false}},           // neither family
      {VER_PLATFORM_WIN32_NT, 5, 0, kNone, {false, false, false, false}},            // no version at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "platform " << c.platform << ", " << c.major << "." << c.minor << ", " << c.takes);
    const auto version = [&c](auto original, LPOSVERSIONINFOA info) -> BOOL {
      if (c.takes == kNone || (c.takes == kOlderOnly && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      const BOOL ok = original(info);
      std::tie(info->dwPlatformId, info->dwMajorVersion, info->dwMinorVersion) = std::tie(c.platform, c.major, c.minor);
      return ok;
    };
    auto fake = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(GetVersionExA), version);
    auto fakeInDll = fwtest::ReplaceImport(calls.library.get(), FWTEST_IMPORT(GetVersionExA), version);
    EXPECT_EQ(Ask(), c.expected);
    const auto [windows9x, nt, windows2000, me] = c.expected;  // the DLL exports no 9x test
    EXPECT_EQ(calls.Answer("Win32SystemUtilServiceImpl.isWinNTor2K"), nt ? "true" : "false");
    EXPECT_EQ(calls.Answer("Win32ServiceImpl.isWin2k"), windows2000 ? "true" : "false");
    EXPECT_EQ(calls.Answer("Win32SystemUtilServiceImpl.isWinME"), me ? "true" : "false");
  }
}

TEST(Library, InitialisesComOnTheLoadingThreadAndUninitialisesAtUnload) {
  HRESULT whileLoaded = E_UNEXPECTED;
  HRESULT afterUnload = E_UNEXPECTED;
  std::thread([&] {  // a thread of its own: no other test's COM state is involved
    {
      fwtest::LoadedLibrary library(L"fwnative.dll");
      whileLoaded = CoInitialize(nullptr);  // S_FALSE: the library's initialisation is in force
      if (SUCCEEDED(whileLoaded)) CoUninitialize();
    }
    afterUnload = CoInitialize(nullptr);  // S_OK: the library's unload uninitialised it
    if (SUCCEEDED(afterUnload)) CoUninitialize();
  }).join();
  EXPECT_EQ(whileLoaded, S_FALSE);
  EXPECT_EQ(afterUnload, S_OK);
}

[[gnu::noipa]] HMODULE LoadedHandle(const wchar_t* name) { return GetModuleHandleW(name); }

TEST(FunctionBindingTest, LoadsAModuleOnceAndKeepsItLoaded) {
  const wchar_t* const kModule = L"msacm32.dll";  // nothing in the test program imports it
  ASSERT_EQ(LoadedHandle(kModule), nullptr) << "pick another module: this one is already loaded";
  const HMODULE first = fw::GetOrLoadModule(kModule);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(fw::GetOrLoadModule(kModule), first);
  EXPECT_EQ(fw::GetOrLoadModule(L"advapi32.dll"), LoadedHandle(L"advapi32.dll"));
  EXPECT_EQ(LoadedHandle(kModule), first) << "and it is never freed";
}

TEST(PrivilegeEnablerTest, APrivilegeTheAccountLacksIsReportedAsNotEnabled) {
  auto windowsXP = fwtest::FakeWindowsXP(Self());  // the token functions work in every Wine mode
  fw::PrivilegeEnabler createToken("SeCreateTokenPrivilege");
  EXPECT_EQ(createToken.Error(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
  EXPECT_FALSE(createToken.Enabled());
}

// The thread's token stands in for an impersonation token with a deny-only Administrators entry; the
// process token cannot be opened, so an answer taken from it fails.
TEST(CurrentUserAdministratorTest, AnImpersonatingThreadIsJudgedByItsOwnTokenAndDenyOnlyCounts) {
  auto openProcessToken = SubstituteProcAddress(Self(), FWTEST_IMPORT(OpenProcessToken), [](auto, HANDLE, DWORD, PHANDLE) -> BOOL {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  });
  auto openThreadToken = SubstituteProcAddress(Self(), FWTEST_IMPORT(OpenThreadToken), [](auto, HANDLE, DWORD access, BOOL, PHANDLE token) {
    return OpenProcessToken(GetCurrentProcess(), access, token);
  });
  auto denyOnly = fwtest::WithoutAdministratorsGroup(Self(), true);
  DWORD error = 0xDEADBEEF;
  EXPECT_TRUE(fw::IsCurrentUserAdministrator(error));
  EXPECT_EQ(error, 0u);
}

}  // namespace
}  // namespace fw
