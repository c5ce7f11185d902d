#include "support/windows98_stubs.h"

#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "registry/registry_access.h"
#include "registry/registry_test_key.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"
#include "support/recorded_import.h"
#include "test_vm.h"
#include "vm_expectations.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using VersionFake = fwtest::FakeImport<decltype(&::GetVersionExA)>;

// The library's platform test answers NT and the stubs' own question answers 98: the library
// takes its W path and the stubs treat it as a 9x call.
VersionFake LibraryOnNtStubsOn98(HMODULE module) {
  return fwtest::ReplaceImport(module, FWTEST_IMPORT(GetVersionExA), [](auto original, LPOSVERSIONINFOA info) {
    const BOOL ok = original(info);
    info->dwPlatformId = fwtest::SupportCall::active() ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
    return ok;
  });
}

// The Win32 error the library's key look-up raised, 0 when it succeeded.
DWORD LibraryOpensKey() {
  return fwtest::RaisedBy([] { fw::RegistryAccess().KeyExists(fw::RootKey::CurrentUser, L"Software"); });
}

[[gnu::noipa]] DWORD TestHelperOpensKey() { return fwtest::RawKeyExists(HKEY_CURRENT_USER, L"Software") ? 0 : 1; }

TEST(Windows98StubsTest, FailOnlyTheLibrarysCallsWhileItSeesThe9xFamily) {
  const struct {
    const char* what;
    VersionFake (*version)(HMODULE);
    DWORD (*call)();
    bool recordedAbove;  // a test's fake stacked on the stub, passing calls on
    DWORD expected;
  } cases[] = {
      {"library, W path, stubs see 98", LibraryOnNtStubsOn98, LibraryOpensKey, false, ERROR_CALL_NOT_IMPLEMENTED},
      {"library through a test's fake", LibraryOnNtStubsOn98, LibraryOpensKey, true, ERROR_CALL_NOT_IMPLEMENTED},
      {"library, NT family", fwtest::FakeWindowsXP, LibraryOpensKey, false, 0},
      {"library, 98, A path", fwtest::FakeWindows98, LibraryOpensKey, false, 0},
      {"test helper, 98", fwtest::FakeWindows98, TestHelperOpensKey, false, 0},
  };
  const HMODULE self = GetModuleHandleW(nullptr);
  for (const auto& c : cases) {
    auto version = c.version(self);
    std::optional<fwtest::RecordedImport<decltype(&::RegOpenKeyExW)>> above;
    if (c.recordedAbove) above.emplace(fwtest::RecordImport(self, FWTEST_IMPORT(RegOpenKeyExW)));
    EXPECT_EQ(c.call(), c.expected) << c.what;
    if (above) {
      EXPECT_EQ(above->count(), 1u) << c.what;
    }
  }
  EXPECT_EQ(fwtest::Windows98Stubs::Unlisted({"CreateFileA", "CreateFileW", "lstrlenW", "NewFunctionW", "RegOpenKeyExW"}),
            std::vector<std::string>{"NewFunctionW"});
}

TEST(Windows98StubsTest, FailTheLoadedDllsCalls) {
  fwtest::TestRegistryKey key;
  fwtest::LoadedLibrary library(L"fwnative.dll");
  fwtest::TestVm vm;
  const jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl");
  const auto keyExists = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_keyExists);
  auto version = LibraryOnNtStubsOn98(library.get());
  EXPECT_EQ(vm.Call(keyExists, self, jint{3}, vm.String(fwtest::ToU16(key.Path()))), JNI_FALSE);
  // The message stays empty: the DLL's FormatMessageW fails as well.
  fwtest::ExpectServiceException(vm, -100001, u"");
}

}  // namespace
