// WindowsEnvironment through the built DLL: process variables, and the persistent ones in the
// environment keys (the registry roots redirected to a test key), with every change notice checked
// and passed on.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"
#include "support/recorded_import.h"
#include "registry/redirected_roots.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

#define FW_ENVIRONMENT(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_##method)
const std::wstring kUser = L"Environment";  // below HKEY_CURRENT_USER, the others below HKEY_LOCAL_MACHINE
const std::wstring kSystem = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::wstring kMe = L"SYSTEM\\CurrentControlSet\\Control\\SessionManager\\Environment";

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(roots.ok()) << "the registry roots cannot be redirected"; }
  jstring Str(std::u16string_view text) { return vm.String(text); }
  jstring Var() { return vm.String(u"FWTEST_VAR"); }

  RedirectedRoots roots{{kSystem, kMe}, {kUser}};
  LoadedLibrary library{L"fwnative.dll"};
  // Every change notice, checked while it is sent (a hung window may hold it up 3 s at most) and
  // passed on.
  FakeImport<decltype(&::SendMessageTimeoutA)> notices = ReplaceImport(
      library.get(), FWTEST_IMPORT(SendMessageTimeoutA),
      [](auto original, HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
         PDWORD_PTR result) {
        EXPECT_TRUE(window == HWND_BROADCAST && message == WM_SETTINGCHANGE && wParam == 0 &&
                    flags == SMTO_ABORTIFHUNG && timeout == 3000);
        EXPECT_STREQ(reinterpret_cast<const char*>(lParam), "Environment");
        return original(window, message, wParam, lParam, flags, timeout, result);
      });
  TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/environment/WindowsEnvironment");
};

TEST_F(EnvironmentTest, PersistentVariablesOfEachFamily) {
  const bool nt = fw::IsWindowsNT(), windowsMe = fw::IsWindowsME();
  // The text (of the registry or of Java) where the family applies, otherwise none.
  const auto onNt = [nt](auto text) { return nt ? std::optional(std::basic_string(text)) : std::nullopt; };
  const auto onMe = [windowsMe](auto text) { return windowsMe ? std::optional(std::basic_string(text)) : std::nullopt; };
  for (const jboolean inSystem : {JNI_FALSE, JNI_TRUE}) {
    const HKEY root = inSystem ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    vm.Call(FW_ENVIRONMENT(winNTSetEnvironmentVariable), self, Var(), Str(u"%SystemRoot%\\fw"), inSystem);
    EXPECT_EQ(RawText(root, inSystem ? kSystem : kUser, L"FWTEST_VAR", REG_EXPAND_SZ), onNt(L"%SystemRoot%\\fw"));
    EXPECT_EQ(vm.StringValue(vm.Call(FW_ENVIRONMENT(winNTGetRawEnvironmentVariable), self, Var(), inSystem)), onNt(u"%SystemRoot%\\fw"));
    vm.Call(FW_ENVIRONMENT(winNTSetEnvironmentVariable), self, Var(), Str(u""), inSystem);
    EXPECT_EQ(vm.StringValue(vm.Call(FW_ENVIRONMENT(winNTGetRawEnvironmentVariable), self, Var(), inSystem)), onNt(u""));
    vm.Call(FW_ENVIRONMENT(winNTSetEnvironmentVariable), self, Var(), jstring{nullptr}, inSystem);
    vm.Call(FW_ENVIRONMENT(winNTSetEnvironmentVariable), self, Var(), jstring{nullptr}, inSystem);  // already absent
    EXPECT_EQ(GetRawValue(root, inSystem ? kSystem : kUser, L"FWTEST_VAR"), std::nullopt);
  }
  vm.Call(FW_ENVIRONMENT(winMESetEnvironmentVariable), self, Var(), Str(u"%windir%\\fw"));
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR"), onMe(L"%windir%\\fw"));
  EXPECT_EQ(vm.StringValue(vm.Call(FW_ENVIRONMENT(winMEGetRawEnvironmentVariable), self, Var())), onMe(u"%windir%\\fw"));
  vm.Call(FW_ENVIRONMENT(winMESetEnvironmentVariable), self, Var(), Str(u""));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_ENVIRONMENT(winMEGetRawEnvironmentVariable), self, Var())));
  vm.Call(FW_ENVIRONMENT(winMESetEnvironmentVariable), self, Var(), jstring{nullptr});
  vm.Call(FW_ENVIRONMENT(winMESetEnvironmentVariable), self, Var(), jstring{nullptr});
  EXPECT_EQ(GetRawValue(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR"), std::nullopt);
  ExpectNoException(vm);
  EXPECT_EQ(notices.calls(), nt ? 8 : windowsMe ? 4 : 0);
  // A variable stored as a number has no text to read; reads of the other family find nothing.
  const DWORD number = 1;
  SetRawValue(HKEY_CURRENT_USER, kUser, L"FWTEST_VAR", REG_DWORD, &number, sizeof(number));
  SetRawValue(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR", REG_DWORD, &number, sizeof(number));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_ENVIRONMENT(winNTGetRawEnvironmentVariable), self, Var(), jboolean{JNI_FALSE})));
  if (nt) ExpectServiceException(vm, -70010, ErrorMessage(ERROR_INVALID_DATATYPE));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_ENVIRONMENT(winMEGetRawEnvironmentVariable), self, Var())));
  if (windowsMe) ExpectServiceException(vm, -70010, ErrorMessage(ERROR_INVALID_DATATYPE));
  ExpectNoException(vm);
}

// A failed write is the call-site sweep's on this run's own family; here both families, the
// deletion, and no notice after any of them.
TEST_F(EnvironmentTest, NoNoticeAfterAFailure) {
  const LONG denied = ERROR_ACCESS_DENIED;
  auto setW = FailImport(library.get(), FWTEST_IMPORT(RegSetValueExW), denied, 0);
  auto setA = FailImport(library.get(), FWTEST_IMPORT(RegSetValueExA), denied, 0);
  auto deleteW = FailImport(library.get(), FWTEST_IMPORT(RegDeleteValueW), denied, 0);
  auto deleteA = FailImport(library.get(), FWTEST_IMPORT(RegDeleteValueA), denied, 0);
  for (const jstring value : {Str(u"x"), jstring{nullptr}}) {
    {
      auto xp = FakeWindowsXP(library.get());
      vm.Call(FW_ENVIRONMENT(winNTSetEnvironmentVariable), self, Var(), value, jboolean{JNI_TRUE});
    }
    ExpectServiceException(vm, -70000, ErrorMessage(ERROR_ACCESS_DENIED));
    auto windowsMe = FakeVersion(library.get(), VER_PLATFORM_WIN32_WINDOWS, 4, 90);
    vm.Call(FW_ENVIRONMENT(winMESetEnvironmentVariable), self, Var(), value);
    ExpectServiceException(vm, -70000, ErrorMessage(ERROR_ACCESS_DENIED));
  }
  EXPECT_EQ(notices.calls(), 0);
}

[[gnu::noipa]] void SetForTest(const wchar_t* name, const wchar_t* value) { SetEnvironmentVariableW(name, value); }

TEST_F(EnvironmentTest, ProcessVariables) {
  auto readW = RecordImport(library.get(), FWTEST_IMPORT(GetEnvironmentVariableW));
  auto readA = RecordImport(library.get(), FWTEST_IMPORT(GetEnvironmentVariableA));
  for (const std::size_t length : {254u, 255u, 300u}) {
    SetForTest(L"FWTEST_VAR", std::wstring(length, L'v').c_str());
    EXPECT_EQ(vm.StringValue(vm.Call(FW_ENVIRONMENT(getProcessEnvironmentVariable), self, Var())), std::u16string(length, u'v'));
  }
  // Read once when the text fits, twice otherwise, in the family's character set.
  EXPECT_EQ(fw::IsWindowsNT() ? readW.count() : readA.count(), 5u);
  EXPECT_EQ(readW.count() + readA.count(), 5u);
  const auto set = FW_ENVIRONMENT(setProcessEnvironmentVariable);
  const auto get = FW_ENVIRONMENT(getProcessEnvironmentVariable);
  vm.Call(set, self, Var(), Str(u""));
  EXPECT_TRUE(vm.IsNull(vm.Call(get, self, Var())));  // set, but empty
  vm.Call(set, self, Var(), jstring{nullptr});
  vm.Call(set, self, Var(), jstring{nullptr});  // not set: no error
  vm.Call(set, self, Str(u""), Str(u"x"));      // no name: nothing
  EXPECT_TRUE(vm.IsNull(vm.Call(get, self, Var())));
  EXPECT_EQ(vm.StringValue(vm.Call(get, self, Str(u""))), u"");
  ExpectNoException(vm);

  // Failures as other Windows versions report them.
  struct Case { DWORD error; bool deleting; DWORD reported; };
  for (const Case& c : {Case{ERROR_ENVVAR_NOT_FOUND, true, 0}, Case{ERROR_ENVVAR_NOT_FOUND, false, 203},
                        Case{0, false, 0}, Case{ERROR_NOT_ENOUGH_MEMORY, true, 8}}) {
    auto failW = FailImport(library.get(), FWTEST_IMPORT(SetEnvironmentVariableW), FALSE, c.error);
    auto failA = FailImport(library.get(), FWTEST_IMPORT(SetEnvironmentVariableA), FALSE, c.error);
    vm.Call(set, self, Var(), c.deleting ? jstring{nullptr} : Str(u"x"));
    if (c.reported == 0) ExpectNoException(vm);
    if (c.reported != 0) ExpectServiceException(vm, -70008, ErrorMessage(c.reported));
    EXPECT_EQ(failW.calls() + failA.calls(), 1);
  }
}

}  // namespace
}  // namespace fwtest
