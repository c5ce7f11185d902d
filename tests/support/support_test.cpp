// What the test support promises and no test of the library would notice it break: stacked fakes end
// in any order, the import walk keeps to its DLL, and the Windows 9x stubs fail the library's W calls
// (direct, through a test's fake, or from the loaded DLL) while it sees the 9x family.
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "bridge/function_binding.h"
#include "registry/registry_access.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/import_table.h"
#include "support/loaded_library.h"
#include "support/windows9x_stubs.h"
#include "test_vm.h"
#include "vm_expectations.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// An error no Windows function sets (bit 29 marks application-defined codes).
constexpr DWORD kFakeError = 0x20000077;
using VersionFake = fwtest::FakeImport<decltype(&::GetVersionExA)>;

// A function of its own, as code under test is: GCC may reuse a slot's address read before a patch.
[[gnu::noipa]] BOOL CallGetVersionExA(LPOSVERSIONINFOA info) { return GetVersionExA(info); }

TEST(FakeImportTest, FakesStackAndEndInAnyOrderOnTheNamedDllsSlots) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const std::vector<void**> slots = fwtest::FindImportSlots(self, "GetVersionExA", "KeRnEl32.DlL");
  ASSERT_FALSE(slots.empty()) << "DLL names compare without case";
  EXPECT_TRUE(fwtest::FindImportSlots(self, "GetVersionExA", "advapi32.dll").empty());
  EXPECT_THROW(fwtest::FailImport(self, FWTEST_IMPORT(GetSystemPowerStatus), FALSE, kFakeError), std::runtime_error)
      << "a function the module does not import cannot be faked";
  void* const before = *slots.front();
  std::optional<VersionFake> below(fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA), FALSE, kFakeError));
  std::optional<VersionFake> above(fwtest::ReplaceImport(self, FWTEST_IMPORT(GetVersionExA),
                                                         [](auto original, LPOSVERSIONINFOA info) { return original(info); }));
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  EXPECT_FALSE(CallGetVersionExA(&info)) << "the upper fake passes on to the lower one";
  EXPECT_EQ(GetLastError(), kFakeError);
  below.reset();  // the lower fake ends first: the upper one must now lead to the real function
  EXPECT_TRUE(CallGetVersionExA(&info));
  EXPECT_EQ(above->calls(), 2);
  above.reset();
  EXPECT_EQ(*slots.front(), before);
}

// The library's platform test answers NT and the stubs' own question 98: the library's W path fails.
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

TEST(Windows9xStubsTest, FailTheLibrarysCallsWhileItSeesThe9xFamily) {
  const HMODULE self = GetModuleHandleW(nullptr);
  {
    const VersionFake version = LibraryOnNtStubsOn98(self);
    EXPECT_EQ(LibraryOpensKey(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    // A test's fake stacked on the stub still counts as the library's call.
    const auto above = fwtest::ReplaceImport(self, FWTEST_IMPORT(RegOpenKeyExW),
                                             [](auto original, auto... args) { return original(args...); });
    EXPECT_EQ(LibraryOpensKey(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(above.calls(), 1);
  }
  fwtest::LoadedLibrary library(L"fwnative.dll");
  fwtest::TestVm vm;
  const auto keyExists = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_keyExists);
  const VersionFake version = LibraryOnNtStubsOn98(library.get());
  EXPECT_EQ(vm.Call(keyExists, vm.This("com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl"), jint{3},
                    vm.String(u"Software")),
            JNI_FALSE);
  // The message stays empty: the DLL's FormatMessageW fails as well.
  fwtest::ExpectServiceException(vm, -100001, u"");
  EXPECT_EQ(fwtest::Windows9xStubs::Unlisted({"CreateFileA", "CreateFileW", "lstrlenW", "NewFunctionW", "RegOpenKeyExW"}),
            " NewFunctionW");
}

// As Windows 95 the library's look-ups find neither GetDiskFreeSpaceExA nor imm32; as 98, both.
TEST(Windows9xStubsTest, HideWhatWindows95LacksFromTheLibrary) {
  for (const DWORD minor : {0, 10}) {
    const auto version = fwtest::FakeVersion(GetModuleHandleW(nullptr), VER_PLATFORM_WIN32_WINDOWS, 4, minor);
    fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
    FW_BIND(kernel32, GetDiskFreeSpaceExA);
    EXPECT_EQ(kernel32.Error(), minor == 0 ? DWORD{ERROR_PROC_NOT_FOUND} : 0u) << minor;
    const HMODULE imm32 = fw::GetOrLoadModule(L"imm32.dll");
    EXPECT_EQ(imm32 == nullptr ? GetLastError() : 0u, minor == 0 ? DWORD{ERROR_MOD_NOT_FOUND} : 0u) << minor;
  }
}

}  // namespace
