// Win32SystemUtilServiceImpl through the built DLL, against the run-once and setup keys (the
// registry roots redirected to a test key).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <new>
#include <string>

#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "support/fake_import.h"
#include "support/loaded_library.h"
#include "support/run_version.h"
#include "registry/redirected_roots.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace {

using fwtest::ErrorMessage;

#define FW_EXPORT(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_##method)
const std::wstring kRunOnce = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::wstring kSetup = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";

[[gnu::noipa]] void SetString(const std::wstring& path, const wchar_t* name, const std::wstring& text,
                              DWORD type = REG_SZ) {
  fwtest::SetRawValue(HKEY_LOCAL_MACHINE, path, name, type, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
bool Stored(const wchar_t* name) { return fwtest::GetRawValue(HKEY_LOCAL_MACHINE, kRunOnce, name).has_value(); }

class SystemUtilTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(roots.ok()) << "the registry roots cannot be redirected"; }
  jstring Str(std::u16string_view text) { return vm.String(text); }

  fwtest::RedirectedRoots roots{{kRunOnce, kSetup}, {}};
  fwtest::LoadedLibrary library{L"fwnative.dll"};
  fwtest::TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl");
};

TEST_F(SystemUtilTest, CommandsFillTheLowestFreeNumberAndListExpanded) {
  SetString(kRunOnce, L"FWNK00001", L"one");
  SetString(kRunOnce, L"FWNK00003", L"three");
  SetString(kRunOnce, L"Other", L"%FWTEST_TOOLS%\\setup.exe", REG_EXPAND_SZ);
  const DWORD number = 7;
  fwtest::SetRawValue(HKEY_LOCAL_MACHINE, kRunOnce, L"FWNK00004", REG_DWORD, &number, sizeof(number));
  vm.Call(FW_EXPORT(addSystemStartupCommand), self, Str(u"two /x"));
  fwtest::ExpectNoException(vm);
  const auto two = fwtest::GetRawValue(HKEY_LOCAL_MACHINE, kRunOnce, L"FWNK00002");
  EXPECT_EQ(two ? two->type : DWORD{0}, static_cast<DWORD>(REG_SZ));  // its text is listed below

  SetEnvironmentVariableW(L"FWTEST_TOOLS", L"C:\\tools");
  const jobject commands = vm.Call(FW_EXPORT(systemStartupCommands), self);
  fwtest::ExpectNoException(vm);
  SetEnvironmentVariableW(L"FWTEST_TOOLS", nullptr);
  const std::map<std::wstring, std::u16string> texts = {
      {L"FWNK00001", u"one"}, {L"FWNK00002", u"two /x"}, {L"FWNK00003", u"three"}, {L"Other", u"C:\\tools\\setup.exe"}};
  fwtest::StringList expected;  // in the system's order, without the DWORD
  for (const std::wstring& name : fwtest::RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce)) {
    if (texts.count(name) != 0) expected.push_back(texts.at(name));
  }
  EXPECT_EQ(expected.size(), 4u);
  EXPECT_EQ(vm.ClassNameOf(commands), "java/util/Vector$1");
  EXPECT_EQ(vm.StringElements(commands), expected);
}

TEST_F(SystemUtilTest, RemovalTakesOnlyTheFirstExactMatchUnderTheLibrarysNames) {
  for (const wchar_t* name : {L"FWNK00001", L"FWNK00002", L"Foreign", L"fwnk00004"}) SetString(kRunOnce, name, L"dup");
  SetString(kRunOnce, L"FWNK00003", L"Case");
  std::wstring first;
  for (const std::wstring& name : fwtest::RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce)) {
    if (first.empty() && (name == L"FWNK00001" || name == L"FWNK00002")) first = name;
  }
  vm.Call(FW_EXPORT(removeSystemStartupCommand), self, Str(u"dup"));
  EXPECT_FALSE(Stored(first.c_str()));
  EXPECT_TRUE(Stored(first == L"FWNK00001" ? L"FWNK00002" : L"FWNK00001"));
  // The second finds nothing: no error.
  for (int i = 0; i < 2; ++i) vm.Call(FW_EXPORT(removeSystemStartupCommand), self, Str(u"dup"));
  vm.Call(FW_EXPORT(removeSystemStartupCommand), self, Str(u"case"));
  fwtest::ExpectNoException(vm);
  EXPECT_EQ(fwtest::RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce).size(), 3u);
  for (const wchar_t* name : {L"FWNK00003", L"Foreign", L"fwnk00004"}) EXPECT_TRUE(Stored(name)) << name;
}

[[gnu::noipa]] LONG ReportHugeValue(DWORD* size) {
  *size = 0xFFFFFFFF;
  return ERROR_MORE_DATA;
}

TEST_F(SystemUtilTest, CommandFailures) {
  for (const jstring command : {Str(u""), jstring{nullptr}}) {
    vm.Call(FW_EXPORT(addSystemStartupCommand), self, command);
    fwtest::ExpectServiceException(vm, -70002, ErrorMessage(0x80070057));
    vm.Call(FW_EXPORT(removeSystemStartupCommand), self, command);
    fwtest::ExpectServiceException(vm, -70004, ErrorMessage(0x80070057));
  }
  EXPECT_TRUE(fwtest::RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce).empty());
  vm.HideMethod("java/util/Vector", "addElement");  // the vector stays empty
  SetString(kRunOnce, L"FWNK00001", L"x");
  EXPECT_EQ(vm.StringElements(vm.Call(FW_EXPORT(systemStartupCommands), self)), fwtest::StringList{});
  fwtest::ExpectNoException(vm);

  // Anything else that goes wrong inside (here a buffer the library cannot have) is E_FAIL under the
  // method's code. A 64-bit process could have the 4 GB, so there the registry call itself fails.
  auto fail = [](auto, HKEY, auto, LPDWORD, LPDWORD, LPBYTE data, LPDWORD size) -> LONG {
    if (data == nullptr) return ERROR_SUCCESS;  // the existence test
    if (sizeof(void*) == 8) throw std::bad_alloc();
    return ReportHugeValue(size);
  };
  auto queryW = fwtest::ReplaceImport(library.get(), FWTEST_IMPORT(RegQueryValueExW), fail);
  auto queryA = fwtest::ReplaceImport(library.get(), FWTEST_IMPORT(RegQueryValueExA), fail);
  vm.Call(FW_EXPORT(removeSystemStartupCommand), self, Str(u"x"));
  fwtest::ExpectServiceException(vm, -70004, ErrorMessage(0x80004005));
  EXPECT_TRUE(Stored(L"FWNK00001"));
}

[[gnu::noipa]] std::optional<fwtest::RunVersion> ThisRun() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fwtest::RunVersionOfProgram(path);
}

TEST_F(SystemUtilTest, OperatingSystemLevelAndBootDirectory) {
  const std::map<std::string, std::u16string> texts = {
      {"nt40", u"Service Pack 6a"}, {"win2k", u"Service Pack 4"}, {"winxp", u"Service Pack 3"},
      {"default", u"Service Pack 1"}, {"win98", u" A "}, {"winme", u" "}};
  const auto run = ThisRun();
  ASSERT_TRUE(run) << "run through ctest: the program's name gives the emulated version";
  EXPECT_EQ(vm.StringValue(vm.Call(FW_EXPORT(getOSServiceLevel), self)), texts.at(run->name));
  fwtest::ExpectNoException(vm);
  // No service pack. The A query of the service-pack text has the 148-byte size; the platform
  // test's first one is larger.
  auto blankW = fwtest::ReplaceImport(library.get(), FWTEST_IMPORT(GetVersionExW), [](auto original, auto info) {
    const BOOL ok = original(info);
    info->szCSDVersion[0] = L'\0';
    return ok;
  });
  auto blankA = fwtest::ReplaceImport(library.get(), FWTEST_IMPORT(GetVersionExA), [](auto original, auto info) {
    const BOOL ok = original(info);
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA)) info->szCSDVersion[0] = '\0';
    return ok;
  });
  EXPECT_EQ(vm.StringValue(vm.Call(FW_EXPORT(getOSServiceLevel), self)), u"");
  fwtest::ExpectNoException(vm);
  SetString(kSetup, L"BootDir", L"C:\\");
  EXPECT_EQ(vm.StringValue(vm.Call(FW_EXPORT(getBootDirectory), self)), u"C:\\");
  fwtest::ExpectNoException(vm);
  SetString(kSetup, L"BootDir", L"Q:\\");  // no such drive
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_EXPORT(getBootDirectory), self)));
  fwtest::ExpectServiceException(vm, -70009, ErrorMessage(0xFFFFFFFF));
}

}  // namespace
