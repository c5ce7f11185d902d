// win32RegisterUninstaller and win32UnregisterUninstaller through the built DLL, on redirected roots:
// every test starts from a machine whose uninstall list exists and a user hive that has none yet.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/token_fakes.h"
#include "registry/fwcall_lines.h"
#include "registry/registry_test_key.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::wstring ProductPath(const std::wstring& name) { return kUninstallList + L"\\" + name; }

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(roots.ok()) << "the registry roots cannot be redirected"; }

  // Both calls report nothing to Java, whatever happens.
  void Register(const std::wstring& key, const std::wstring& displayName, const std::string& command = "uninstall.exe") {
    EXPECT_EQ(calls.Answer("Win32ProductServiceImpl.win32RegisterUninstaller \"" + Narrow(key) + "\" \"" + Narrow(displayName) + "\" " + command), "null");
  }
  void Unregister(const std::wstring& key, const std::string& alternate = "null") {
    EXPECT_EQ(calls.Answer("Win32ProductServiceImpl.win32UnregisterUninstaller \"" + Narrow(key) + "\" " + alternate), "null");
  }
  HMODULE library() const { return calls.library.get(); }

  RedirectedRoots roots{{kUninstallList}, {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion"}};
  FwcallLines calls;
};

// Wine runs programs as administrators: they register for the machine. A second registration
// overwrites the two values only; removal takes both keys with everything below them.
TEST_F(UninstallerTest, AnAdministratorRegistersForTheMachineAndUnregistersBothKeys) {
  const std::wstring path = ProductPath(L"Fernwick Editor");
  Register(L"Fernwick Editor", L"Fernwick Editor 2.0", "old.exe");
  EXPECT_EQ(RawValueNames(HKEY_LOCAL_MACHINE, path), (std::vector<std::wstring>{L"DisplayName", L"UninstallString"}));
  SetRawValue(HKEY_LOCAL_MACHINE, path, L"Publisher", REG_SZ, L"Fernwick", 18);
  Register(L"Fernwick Editor", L"Fernwick Editor 2.1", R"("""C:\Program Files\Fernwick\uninstall.exe"" /S")");
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, path, L"DisplayName"), L"Fernwick Editor 2.1");
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, path, L"UninstallString"), L"\"C:\\Program Files\\Fernwick\\uninstall.exe\" /S");
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, path, L"Publisher"), L"Fernwick");
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kUninstallList));

  CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor\\Components\\Core"));
  CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor 1.0 Setup\\Options"));
  CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Other Product"));
  Unregister(L"Fernwick Editor", "\"Fernwick Editor 1.0 Setup\"");
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, path));
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor 1.0 Setup")));
  Unregister(L"Fernwick Editor", "\"Fernwick Editor 1.0 Setup\"");  // nothing left: no error
  {
    auto windows98 = FakeWindows98(library());  // where "" would name the whole list
    Unregister(L"Fernwick Editor", "\"\"");
  }
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Other Product")));

  // A 70-character key name stands for its first 63 characters, both ways.
  const std::wstring longName(70, L'k');
  Register(longName, L"Fernwick Editor");
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(longName.substr(0, 63))));
  Unregister(longName);
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(longName.substr(0, 63))));
  // A root the user may not write to: the first value refused with 5 ends the call, without a word.
  auto wide = FailImport(library(), FWTEST_IMPORT(RegSetValueExW), LONG{ERROR_ACCESS_DENIED}, 0);
  auto ansi = FailImport(library(), FWTEST_IMPORT(RegSetValueExA), LONG{ERROR_ACCESS_DENIED}, 0);
  Register(L"Fernwick Editor", L"Fernwick Editor");
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, path)) << "nothing is rolled back";
  EXPECT_TRUE(RawValueNames(HKEY_LOCAL_MACHINE, path).empty());
}

// A standard user of the NT family registers for themselves, the uninstall list made first, and
// removes only their own entry; the 9x family uses the machine's without asking who the user is.
TEST_F(UninstallerTest, AStandardUserRegistersForThemselvesAndNamesAreCutExceptOnWindows2000) {
  struct Case { const char* system; DWORD platform, major, minor; std::size_t stored; };
  auto standardUser = WithoutAdministratorsGroup(library());
  const std::wstring path = ProductPath(L"Fernwick Editor");
  const std::wstring displayName(80, L'N');
  for (const Case& c : {Case{"2000", VER_PLATFORM_WIN32_NT, 5, 0, 80}, Case{"XP", VER_PLATFORM_WIN32_NT, 5, 1, 63},
                        Case{"NT 4", VER_PLATFORM_WIN32_NT, 4, 0, 63}, Case{"98", VER_PLATFORM_WIN32_WINDOWS, 4, 10, 63}}) {
    SCOPED_TRACE(c.system);
    auto version = FakeVersion(library(), c.platform, c.major, c.minor);
    const bool nineX = c.platform == VER_PLATFORM_WIN32_WINDOWS;
    const HKEY own = nineX ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, other = nineX ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    CreateRawKey(other, path);
    Register(L"Fernwick Editor", displayName);
    EXPECT_EQ(RawText(own, path, L"DisplayName"), displayName.substr(0, c.stored));
    Unregister(L"Fernwick Editor");
    EXPECT_FALSE(RawKeyExists(own, path));
    EXPECT_TRUE(RawKeyExists(other, path));
  }
}

}  // namespace
}  // namespace fwtest
