// win32RegisterUninstaller and win32UnregisterUninstaller through the built DLL. HKEY_LOCAL_MACHINE
// and HKEY_CURRENT_USER are redirected for the whole process to keys below a test key, so every
// test starts from a machine whose uninstall list exists and a user hive that has none yet.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bridge/token_fakes.h"
#include "com_fernwick_wizard_platform_win32_Win32ProductServiceImpl.h"
#include "registry/registry_test_key.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"
#include "support/substituted_proc_address.h"
#include "test_vm.h"
#include "vm_expectations.h"

// One native method of the product service in the fixture's DLL.
#define FW_PRODUCT(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32ProductServiceImpl_##method)

namespace {

using fwtest::GetRawValue;
using fwtest::RawKeyExists;

const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::wstring ProductPath(const std::wstring& name) { return kUninstallList + L"\\" + name; }

// The REG_SZ text of a value; nullopt when it is missing or of another type.
std::optional<std::wstring> Text(HKEY root, const std::wstring& path, const wchar_t* name) {
  const auto raw = GetRawValue(root, path, name);
  if (!raw || raw->type != REG_SZ) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(raw->bytes.data()), raw->bytes.size() / sizeof(wchar_t));
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

[[gnu::noipa]] LONG OverrideRoot(HKEY root, HKEY target) { return RegOverridePredefKey(root, target); }

// Points a predefined root at a key of the current user's hive until the object ends.
class ScopedRootOverride {
 public:
  ScopedRootOverride(HKEY root, const std::wstring& userPath) : root_(root) {
    HKEY target = nullptr;
    ok_ = RegOpenKeyExW(HKEY_CURRENT_USER, userPath.c_str(), 0, KEY_ALL_ACCESS, &target) == ERROR_SUCCESS &&
          OverrideRoot(root, target) == ERROR_SUCCESS;
    if (target != nullptr) RegCloseKey(target);
  }
  ~ScopedRootOverride() { OverrideRoot(root_, nullptr); }
  bool ok() const { return ok_; }

 private:
  HKEY root_;
  bool ok_ = false;
};

class UninstallerTest : public ::testing::Test {
 protected:
  UninstallerTest() {
    fwtest::CreateRawKey(HKEY_CURRENT_USER, sandbox.Below(L"machine\\" + kUninstallList));
    fwtest::CreateRawKey(HKEY_CURRENT_USER, sandbox.Below(L"user\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    machine.emplace(HKEY_LOCAL_MACHINE, sandbox.Below(L"machine"));
    user.emplace(HKEY_CURRENT_USER, sandbox.Below(L"user"));
  }
  void SetUp() override { ASSERT_TRUE(machine->ok() && user->ok()) << "the registry roots cannot be redirected"; }

  // Both calls report nothing to Java, whatever happens.
  void Register(const std::wstring& key, const std::wstring& displayName, const std::wstring& command) {
    vm.Call(FW_PRODUCT(win32RegisterUninstaller), self, Str(key), Str(displayName), Str(command));
    fwtest::ExpectNoException(vm);
  }
  void Unregister(const std::wstring& key, const std::optional<std::wstring>& alternate = std::nullopt) {
    vm.Call(FW_PRODUCT(win32UnregisterUninstaller), self, Str(key), alternate ? Str(*alternate) : nullptr);
    fwtest::ExpectNoException(vm);
  }
  jstring Str(const std::wstring& text) { return vm.String(fwtest::ToU16(text)); }
  HMODULE Library() const { return library.get(); }

  fwtest::TestRegistryKey sandbox;
  std::optional<ScopedRootOverride> machine;
  std::optional<ScopedRootOverride> user;
  fwtest::LoadedLibrary library{L"fwnative.dll"};
  fwtest::TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32ProductServiceImpl");
};

// Wine runs programs as administrators, and the 9x family always registers for the machine.
TEST_F(UninstallerTest, AnAdministratorRegistersForTheMachineAndAgainOverwritesOnlyTheTwoValues) {
  const std::wstring path = ProductPath(L"Fernwick Editor");
  Register(L"Fernwick Editor", L"Fernwick Editor 2.0", L"old.exe");
  EXPECT_EQ(fwtest::RawValueNames(HKEY_LOCAL_MACHINE, path),
            (std::vector<std::wstring>{L"DisplayName", L"UninstallString"}));
  const std::wstring publisher = L"Fernwick";
  fwtest::SetRawValue(HKEY_LOCAL_MACHINE, path, L"Publisher", REG_SZ, publisher.c_str(),
                      static_cast<DWORD>((publisher.size() + 1) * sizeof(wchar_t)));

  Register(L"Fernwick Editor", L"Fernwick Editor 2.1", L"\"C:\\Program Files\\Fernwick\\uninstall.exe\" /S");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, path, L"DisplayName"), L"Fernwick Editor 2.1");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, path, L"UninstallString"), L"\"C:\\Program Files\\Fernwick\\uninstall.exe\" /S");
  EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, path, L"Publisher"), publisher);
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, kUninstallList));
}

// A standard user on Windows 2000 registers for themselves (below), and removal looks there too.
TEST_F(UninstallerTest, AStandardUserOnWindows2000UnregistersOnlyTheirOwnEntry) {
  auto windows2000 = fwtest::FakeVersion(Library(), VER_PLATFORM_WIN32_NT, 5, 0);
  auto standardUser = fwtest::WithoutAdministratorsGroup(Library());
  const std::wstring path = ProductPath(L"Fernwick Editor");
  fwtest::CreateRawKey(HKEY_CURRENT_USER, path);
  fwtest::CreateRawKey(HKEY_LOCAL_MACHINE, path);
  Unregister(L"Fernwick Editor");
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, path));
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, path));
}

// The 9x family registers for the machine without asking who the user is.
TEST_F(UninstallerTest, DisplayNamesAreCutTo63CharactersExceptOnWindows2000) {
  struct Case {
    const char* system;
    DWORD platform, major, minor;
    std::size_t stored;
  };
  auto standardUser = fwtest::WithoutAdministratorsGroup(Library());
  std::wstring displayName;
  for (int i = 0; i < 80; ++i) displayName += static_cast<wchar_t>(L'A' + i % 26);
  for (const Case& c : {Case{"2000", VER_PLATFORM_WIN32_NT, 5, 0, 80}, Case{"XP", VER_PLATFORM_WIN32_NT, 5, 1, 63},
                        Case{"NT 4", VER_PLATFORM_WIN32_NT, 4, 0, 63},
                        Case{"98", VER_PLATFORM_WIN32_WINDOWS, 4, 10, 63}}) {
    SCOPED_TRACE(c.system);
    auto version = fwtest::FakeVersion(Library(), c.platform, c.major, c.minor);
    const int asked = standardUser.lookups();
    Register(L"Fernwick Editor", displayName, L"uninstall.exe");
    const bool nineX = c.platform == VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_EQ(standardUser.lookups() - asked, nineX ? 0 : 1);
    EXPECT_EQ(Text(nineX ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, ProductPath(L"Fernwick Editor"), L"DisplayName"),
              displayName.substr(0, c.stored));
  }
}

// Stands for a root the user may not write to: every value write is refused with 5.
TEST_F(UninstallerTest, AccessDeniedWhileRegisteringThrowsNothingAndWritesNothingMore) {
  auto wide = fwtest::FailImport(Library(), FWTEST_IMPORT(RegSetValueExW), LONG{ERROR_ACCESS_DENIED}, 0);
  auto ansi = fwtest::FailImport(Library(), FWTEST_IMPORT(RegSetValueExA), LONG{ERROR_ACCESS_DENIED}, 0);
  Register(L"Fernwick Editor", L"Fernwick Editor", L"uninstall.exe");
  EXPECT_EQ(wide.calls() + ansi.calls(), 1) << "UninstallString is not tried after DisplayName failed";
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor"))) << "nothing is rolled back";
  EXPECT_TRUE(fwtest::RawValueNames(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor")).empty());
}

// A 70-character key name stands for its first 63 characters, both ways.
TEST_F(UninstallerTest, UnregisteringRemovesBothKeysWithEverythingBelowThem) {
  std::wstring longName;
  for (int i = 0; i < 70; ++i) longName += static_cast<wchar_t>(L'a' + i % 26);
  Register(longName, L"Fernwick Editor", L"uninstall.exe");
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(longName.substr(0, 63))));
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(longName)));
  Unregister(longName);
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(longName.substr(0, 63))));

  Register(L"Fernwick Editor", L"Fernwick Editor", L"uninstall.exe");
  fwtest::CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor\\Components\\Core"));
  fwtest::CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor 1.0 Setup\\Options"));
  fwtest::CreateRawKey(HKEY_LOCAL_MACHINE, ProductPath(L"Other Product"));

  Unregister(L"Fernwick Editor", L"Fernwick Editor 1.0 Setup");
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor")));
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Fernwick Editor 1.0 Setup")));
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Other Product")));

  Unregister(L"Fernwick Editor", L"Fernwick Editor 1.0 Setup");  // nothing left: no error
  {
    auto windows98 = fwtest::FakeWindows98(Library());  // where "" would name the whole list
    Unregister(L"Fernwick Editor", L"");
  }
  EXPECT_TRUE(RawKeyExists(HKEY_LOCAL_MACHINE, ProductPath(L"Other Product")));
}

}  // namespace
