// WindowsEnvironment through the built DLL: process variables, and the persistent ones in the
// environment keys of redirected registry roots.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "bridge/platform.h"
#include "registry/fwcall_lines.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"

namespace fwtest {
namespace {

const std::wstring kUser = L"Environment";  // below HKEY_CURRENT_USER, the others below HKEY_LOCAL_MACHINE
const std::wstring kSystem = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::wstring kMe = L"SYSTEM\\CurrentControlSet\\Control\\SessionManager\\Environment";

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(roots.ok()) << "the registry roots cannot be redirected"; }
  std::string Answer(const std::string& line) { return calls.Answer("WindowsEnvironment." + line); }
  HMODULE library() const { return calls.library.get(); }

  RedirectedRoots roots{{kSystem, kMe}, {kUser}};
  FwcallLines calls;
  // Every change notice, checked (a hung window may hold it up 3 s at most) and passed on.
  FakeImport<decltype(&::SendMessageTimeoutA)> notices = ReplaceImport(
      library(), FWTEST_IMPORT(SendMessageTimeoutA),
      [](auto original, HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
         PDWORD_PTR result) {
        EXPECT_TRUE(window == HWND_BROADCAST && message == WM_SETTINGCHANGE && wParam == 0 &&
                    flags == SMTO_ABORTIFHUNG && timeout == 3000);
        EXPECT_STREQ(reinterpret_cast<const char*>(lParam), "Environment");
        return original(window, message, wParam, lParam, flags, timeout, result);
      });
};

TEST_F(EnvironmentTest, PersistentVariablesOfEachFamily) {
  const bool nt = fw::IsWindowsNT(), windowsMe = fw::IsWindowsME();
  // Each line's answer where its family (winNT..., winME...) applies; elsewhere nothing is done.
  const auto expect = [&](const std::vector<std::pair<std::string, std::string>>& answers) {
    for (const auto& [line, answer] : answers) EXPECT_EQ(Answer(line), (line.rfind("winNT", 0) == 0 ? nt : windowsMe) ? answer : "null") << line;
  };
  for (const std::string inSystem : {" false", " true"}) {
    const HKEY root = inSystem == " true" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::wstring& path = inSystem == " true" ? kSystem : kUser;
    expect({{"winNTSetEnvironmentVariable FWTEST_VAR %SystemRoot%\\fw" + inSystem, "null"},
            {"winNTGetRawEnvironmentVariable FWTEST_VAR" + inSystem, R"("%SystemRoot%\\fw")"}});
    EXPECT_EQ(RawText(root, path, L"FWTEST_VAR", REG_EXPAND_SZ), nt ? std::optional<std::wstring>(L"%SystemRoot%\\fw") : std::nullopt);
    expect({{"winNTSetEnvironmentVariable FWTEST_VAR \"\"" + inSystem, "null"},
            {"winNTGetRawEnvironmentVariable FWTEST_VAR" + inSystem, R"("")"},
            {"winNTSetEnvironmentVariable FWTEST_VAR null" + inSystem, "null"},
            {"winNTSetEnvironmentVariable FWTEST_VAR null" + inSystem, "null"}});  // already absent
    EXPECT_EQ(GetRawValue(root, path, L"FWTEST_VAR"), std::nullopt);
  }
  expect({{"winMESetEnvironmentVariable FWTEST_VAR %windir%\\fw", "null"},
          {"winMEGetRawEnvironmentVariable FWTEST_VAR", R"("%windir%\\fw")"}});
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR"), windowsMe ? std::optional<std::wstring>(L"%windir%\\fw") : std::nullopt);
  expect({{"winMESetEnvironmentVariable FWTEST_VAR \"\"", "null"},
          {"winMEGetRawEnvironmentVariable FWTEST_VAR", "null"},  // empty: none
          {"winMESetEnvironmentVariable FWTEST_VAR null", "null"},
          {"winMESetEnvironmentVariable FWTEST_VAR null", "null"}});
  EXPECT_EQ(GetRawValue(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR"), std::nullopt);
  EXPECT_EQ(notices.calls(), nt ? 8 : windowsMe ? 4 : 0);
  // A variable stored as a number has no text to read; reads of the other family find nothing.
  const DWORD number = 1;
  SetRawValue(HKEY_CURRENT_USER, kUser, L"FWTEST_VAR", REG_DWORD, &number, sizeof(number));
  SetRawValue(HKEY_LOCAL_MACHINE, kMe, L"FWTEST_VAR", REG_DWORD, &number, sizeof(number));
  expect({{"winNTGetRawEnvironmentVariable FWTEST_VAR false", Thrown(-70010, ERROR_INVALID_DATATYPE)},
          {"winMEGetRawEnvironmentVariable FWTEST_VAR", Thrown(-70010, ERROR_INVALID_DATATYPE)}});
  // A write the system refuses is reported, and no notice follows it.
  auto setW = FailImport(library(), FWTEST_IMPORT(RegSetValueExW), LONG{ERROR_ACCESS_DENIED}, 0);
  auto setA = FailImport(library(), FWTEST_IMPORT(RegSetValueExA), LONG{ERROR_ACCESS_DENIED}, 0);
  expect({{"winNTSetEnvironmentVariable FWTEST_VAR x true", Thrown(-70000, ERROR_ACCESS_DENIED)},
          {"winMESetEnvironmentVariable FWTEST_VAR x", Thrown(-70000, ERROR_ACCESS_DENIED)}});
  EXPECT_EQ(notices.calls(), nt ? 8 : windowsMe ? 4 : 0);
}

[[gnu::noipa]] void SetForTest(const wchar_t* name, const wchar_t* value) { SetEnvironmentVariableW(name, value); }

TEST_F(EnvironmentTest, ProcessVariables) {
  for (const std::size_t length : {254u, 255u, 300u}) {
    SetForTest(L"FWTEST_VAR", std::wstring(length, L'v').c_str());
    EXPECT_EQ(Answer("getProcessEnvironmentVariable FWTEST_VAR"), "\"" + std::string(length, 'v') + "\"");
  }
  const std::pair<const char*, const char*> answers[] = {
      {"setProcessEnvironmentVariable FWTEST_VAR \"\"", "null"},
      {"getProcessEnvironmentVariable FWTEST_VAR", "null"},  // set, but empty
      {"setProcessEnvironmentVariable FWTEST_VAR null", "null"},
      {"setProcessEnvironmentVariable FWTEST_VAR null", "null"},  // not set: no error
      {"setProcessEnvironmentVariable \"\" x", "null"},           // no name: nothing
      {"getProcessEnvironmentVariable FWTEST_VAR", "null"},
      {"getProcessEnvironmentVariable \"\"", R"("")"}};
  for (const auto& [line, answer] : answers) EXPECT_EQ(Answer(line), answer) << line;

  // Failures as other Windows versions report them.
  struct Case { DWORD error; bool deleting; DWORD reported; };
  for (const Case& c : {Case{ERROR_ENVVAR_NOT_FOUND, true, 0}, Case{ERROR_ENVVAR_NOT_FOUND, false, 203},
                        Case{ERROR_NOT_ENOUGH_MEMORY, true, 8}}) {
    auto failW = FailImport(library(), FWTEST_IMPORT(SetEnvironmentVariableW), FALSE, c.error);
    auto failA = FailImport(library(), FWTEST_IMPORT(SetEnvironmentVariableA), FALSE, c.error);
    EXPECT_EQ(Answer(c.deleting ? "setProcessEnvironmentVariable FWTEST_VAR null" : "setProcessEnvironmentVariable FWTEST_VAR x"),
              c.reported == 0 ? "null" : Thrown(-70008, c.reported));
  }
}

}  // namespace
}  // namespace fwtest
