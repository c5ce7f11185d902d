// Win32SystemUtilServiceImpl through the built DLL, against the run-once and setup keys (the
// registry roots redirected to a test key).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "registry/fwcall_lines.h"
#include "registry/registry_test_key.h"
#include "support/program_folder.h"

namespace fwtest {
namespace {

const std::wstring kRunOnce = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::wstring kSetup = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";

[[gnu::noipa]] void SetString(const std::wstring& path, const wchar_t* name, const std::wstring& text,
                              DWORD type = REG_SZ) {
  SetRawValue(HKEY_LOCAL_MACHINE, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
bool Stored(const wchar_t* name) { return GetRawValue(HKEY_LOCAL_MACHINE, kRunOnce, name).has_value(); }

class SystemUtilTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(roots.ok()) << "the registry roots cannot be redirected"; }
  std::string Answer(const std::string& line) { return calls.Answer("Win32SystemUtilServiceImpl." + line); }

  RedirectedRoots roots{{kRunOnce, kSetup}, {}};
  FwcallLines calls;
};

TEST_F(SystemUtilTest, CommandsFillTheLowestFreeNumberAndListExpanded) {
  for (const char* command : {"\"\"", "null"}) {
    EXPECT_EQ(Answer(std::string("addSystemStartupCommand ") + command), Thrown(-70002, 0x80070057));
    EXPECT_EQ(Answer(std::string("removeSystemStartupCommand ") + command), Thrown(-70004, 0x80070057));
  }
  EXPECT_TRUE(RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce).empty());
  SetString(kRunOnce, L"FWNK00001", L"one");
  SetString(kRunOnce, L"FWNK00003", L"three");
  SetString(kRunOnce, L"Other", L"%FWTEST_TOOLS%\\setup.exe", REG_EXPAND_SZ);
  const DWORD number = 7;
  SetRawValue(HKEY_LOCAL_MACHINE, kRunOnce, L"FWNK00004", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(Answer("addSystemStartupCommand \"two /x\""), "null");
  EXPECT_EQ(RawText(HKEY_LOCAL_MACHINE, kRunOnce, L"FWNK00002"), L"two /x");

  SetEnvironmentVariableW(L"FWTEST_TOOLS", L"C:\\tools");
  const std::string answer = Answer("systemStartupCommands");
  SetEnvironmentVariableW(L"FWTEST_TOOLS", nullptr);
  const std::map<std::wstring, std::string> texts = {
      {L"FWNK00001", "one"}, {L"FWNK00002", "two /x"}, {L"FWNK00003", "three"}, {L"Other", "C:\\\\tools\\\\setup.exe"}};
  std::string expected;  // in the system's order, without the DWORD
  for (const std::wstring& name : RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce)) {
    if (texts.count(name) != 0) expected += (expected.empty() ? "[\"" : ", \"") + texts.at(name) + "\"";
  }
  EXPECT_EQ(answer, expected + "]");
  calls.vm.HideMethod("java/util/Vector", "addElement");  // the vector stays empty
  EXPECT_EQ(Answer("systemStartupCommands"), "[]");
}

TEST_F(SystemUtilTest, RemovalTakesOnlyTheFirstExactMatchUnderTheLibrarysNames) {
  for (const wchar_t* name : {L"FWNK00001", L"FWNK00002", L"Foreign", L"fwnk00004"}) SetString(kRunOnce, name, L"dup");
  SetString(kRunOnce, L"FWNK00003", L"Case");
  std::wstring first;
  for (const std::wstring& name : RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce)) {
    if (first.empty() && (name == L"FWNK00001" || name == L"FWNK00002")) first = name;
  }
  EXPECT_EQ(Answer("removeSystemStartupCommand dup"), "null");
  EXPECT_FALSE(Stored(first.c_str()));
  EXPECT_TRUE(Stored(first == L"FWNK00001" ? L"FWNK00002" : L"FWNK00001"));
  // The second finds nothing: no error.
  for (const char* command : {"dup", "dup", "case"}) EXPECT_EQ(Answer(std::string("removeSystemStartupCommand ") + command), "null");
  EXPECT_EQ(RawValueNames(HKEY_LOCAL_MACHINE, kRunOnce).size(), 3u);
  for (const wchar_t* name : {L"FWNK00003", L"Foreign", L"fwnk00004"}) EXPECT_TRUE(Stored(name)) << name;
}

TEST_F(SystemUtilTest, OperatingSystemLevelAndBootDirectory) {
  const std::map<std::string, std::u16string> texts = {
      {"nt40", u"Service Pack 6a"}, {"win2k", u"Service Pack 4"}, {"winxp", u"Service Pack 3"},
      {"default", u"Service Pack 1"}, {"win95", u""}, {"win98", u" A "}, {"winme", u" "}};
  const auto run = RunVersionOfProgram(ProgramPath());
  ASSERT_TRUE(run) << "run through ctest: the program's name gives the emulated version";
  EXPECT_EQ(Answer("getOSServiceLevel"), Json::String(texts.at(run->name)).Write());
  SetString(kSetup, L"BootDir", L"C:\\");
  EXPECT_EQ(Answer("getBootDirectory"), R"("C:\\")");
  SetString(kSetup, L"BootDir", L"Q:\\");  // no such drive
  EXPECT_EQ(Answer("getBootDirectory"), Thrown(-70009, 0xFFFFFFFF));
}

}  // namespace
}  // namespace fwtest
