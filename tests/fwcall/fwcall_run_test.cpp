// fwcall run in-process on the built DLL: a script gives, line for line, the JSON of the library's
// answers, and bad input is refused with a clear message before anything runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "declared_natives.h"
#include "file/file_test_support.h"
#include "fwcall/command_line.h"
#include "fwcall/fwcall_runner.h"
#include "json.h"
#include "registry/registry_test_key.h"
#include "support/program_folder.h"
#include "test_vm.h"
#include "vm_expectations.h"

// A native method that forgets to release a string's characters, exported by the test program under
// the long JNI name, which fwcall tries after the short one (that one is the library's, and this
// program does not export it).
extern "C" __declspec(dllexport) jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME__(JNIEnv* env, jobject) {
  env->GetStringChars(env->NewStringUTF("leaked"), nullptr);
  return JNI_TRUE;
}

namespace fwtest {
namespace {

struct FwcallRun {
  int code = -1;
  std::vector<std::string> lines;  // the JSON lines
  std::string err;
};

std::string Narrow(const std::wstring& text) { return Utf16ToUtf8(U16(text)); }
std::u16string InProgramFolder(const wchar_t* name) { return U16(ProgramFolder() + L"\\" + name); }

// As from the command line: one word per argument.
FwcallRun RunFwcall(const std::vector<std::u16string>& args) {
  std::vector<fwcall::Word> words;
  for (const std::u16string& a : args) words.push_back(fwcall::WordOfArgument(a));
  std::ostringstream out, err;
  FwcallRun run;
  run.code = fwcall::RunFwcall(words, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  run.err = err.str();
  return run;
}

FwcallRun RunScript(const TempFolder& folder, const std::string& script, std::vector<std::u16string> options = {}) {
  const std::wstring path = folder / L"script.fwcall";
  WriteBytes(path, script);
  options.insert(options.end(), {u"--dll", InProgramFolder(L"fwnative.dll"), u"--script", U16(path)});
  return RunFwcall(options);
}

// The line of a ServiceException with the system's text of `error`.
std::string Thrown(jint code, DWORD error) {
  return "{\"exception\": {\"code\": " + std::to_string(code) + ", \"message\": " + Json::String(ErrorMessage(error)).Write() +
         "}}";
}

// Every kind of argument and result fwcall converts, each once, with the library's answer: what is
// written is read back, by the script and without the library.
TEST(FwcallScript, ConvertsEveryKindOfArgumentAndResult) {
  TestRegistryKey key;
  TempFolder folder;
  ScopedWinInit winInit;
  ScopedPendingRenames pending;
  WriteBytes(folder / L"src.txt", "new");
  WriteBytes(folder / L"busy.txt", "old");
  const std::string r = "Win32RegistryServiceImpl.", k = " 3 \"" + Narrow(key.Below(L"script")) + "\"";
  const std::string f = "Win32FileServiceImpl.", at = " \"" + Narrow(folder / L"");
  const std::vector<std::pair<std::string, std::string>> calls = {  // a line and its answer; none for a directive
      {"# the calls\n", ""},
      {r + "createKey 3 \"" + Narrow(key.Path()) + "\" script", "null"},
      {r + "setStringValue" + k + " s false \"text \xC3\xA9 \"\"q\"\"\"", "null"},
      {r + "setMultiStringValue" + k + " m [\"a\", null, \"\"]\r", "null"},
      {r + "setBinaryValue" + k + " b 00AB10", "null"},
      {"   " + r + "set32BitValue" + k + " d -5", "null"},
      {r + "getKeyValueNames" + k, R"(["b", "d", "m", "s"])"},
      {r + "getStringValue" + k + " s false", R"("text \u00e9 \"q\"")"},
      {r + "getStringValue" + k + " null false", Thrown(-100008, ERROR_FILE_NOT_FOUND)},
      {r + "getMultiStringValue" + k + " m", R"(["a", "", ""])"},
      {r + "getBinaryValue" + k + " b", R"("00ab10")"},
      {r + "get32BitValue" + k + " d", "-5"},
      {r + "keyExists" + k, "true"},
      {f + "win32CopyFile" + at + "src.txt\"" + at + "dst.txt\" false", "0"},
      {f + "setFileAttributes" + at + "dst.txt\" {\"attributeState\": {\"OWNER_READABLE\": true, \"HIDDEN\": true}}", "null"},
      {f + "getFileAttributes" + at + "dst.txt\"",
       R"({"attributeState": {"OWNER_READABLE": true, "GROUP_READABLE": true, "WORLD_READABLE": true, )"
       R"("HIDDEN": true, "ARCHIVE": true}})"},
      {f + "win32SetFileModified" + at + "dst.txt\" 1262304000000", "null"},
      {"!hold" + at + "busy.txt\"", ""},
      {f + "win32CopyFile" + at + "src.txt\"" + at + "busy.txt\" true", "1"},  // replaced at the next start
      {"!release" + at + "busy.txt\"", ""},
      {"Win32SystemUtilServiceImpl.nativeDeleteFilesAfterExit [\"a\"] [] true" + at + "missing.exe\"",
       Thrown(-70007, ERROR_FILE_NOT_FOUND)},
      {"WindowsEnvironment.setProcessEnvironmentVariable FWCALL_TEST \"%PATH% stays\"", "null"},
      {"WindowsEnvironment.getProcessEnvironmentVariable FWCALL_TEST", R"("%PATH% stays")"},
  };
  std::string script;
  std::vector<std::string> answers;
  for (const auto& [line, answer] : calls) {
    script += line + "\n";
    if (!answer.empty()) answers.push_back(answer);
  }
  const FwcallRun run = RunScript(folder, script);
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, answers) << run.err;
  const std::optional<RawValue> raw = GetRawValue(key.Root(), key.Below(L"script"), L"d");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->bytes, (std::vector<std::uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadBytes(folder / L"dst.txt"), std::optional<std::string>("new"));
}

TEST(FwcallBadInput, IsRefusedWithAMessageAndNothingRuns) {
  TestRegistryKey key;
  const std::u16string dll = InProgramFolder(L"fwnative.dll");
  const std::u16string created = U16(key.Below(L"created"));
  const std::u16string file = u"C:\\nowhere.txt";
  const std::vector<std::pair<std::vector<std::u16string>, std::string>> cases = {
      {{u"--dll", dll, u"Nope.method"}, "unknown class \"Nope\""},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.nope"}, "Win32RegistryServiceImpl has no native method \"nope\""},
      {{u"--dll", dll, u"isWinME"}, "\"isWinME\" is not Class.method"},
      {{u"--dll", InProgramFolder(L"fwtest_netmsg.dll"), u"Win32SystemUtilServiceImpl.isWinME"},
       "the DLL does not export Win32SystemUtilServiceImpl.isWinME"},
      {{u"--dll", InProgramFolder(L"missing.dll"), u"Win32SystemUtilServiceImpl.isWinME"}, "cannot load the DLL"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.createKey", u"3", created}, "createKey takes 3 arguments (int, String, String), 2 given"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.createKey", u"three", created, u"x"}, "argument 1 (int): three is not a number"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.deleteKey", u"3", created, u"x", u"yes"}, "yes is not a boolean"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"{\"attributeState\": {\"HIDDEN\": tru}}"},
       "argument 2 (FileAttributes): malformed JSON: unexpected character 't'"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"HIDDEN"}, "HIDDEN is not JSON"},
      {{u"--frob", u"Win32SystemUtilServiceImpl.isWinME"}, "unknown option --frob"},
      {{u"--dll"}, "--dll needs a value"},
      {{}, "nothing to call"},
  };
  for (const auto& [args, message] : cases) {
    const FwcallRun run = RunFwcall(args);
    EXPECT_EQ(run.code, fwcall::kExitBadInput) << message;
    EXPECT_TRUE(run.lines.empty()) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << "expected \"" << message << "\" in: " << run.err;
  }

  // A script is checked whole first: its good first call does not run either.
  TempFolder folder;
  const FwcallRun run = RunScript(folder, "Win32RegistryServiceImpl.createKey 3 \"" + Narrow(key.Path()) + "\" created\n"
                                    "# a comment\n"
                                    "Win32RegistryServiceImpl.keyExists 3\n"
                                    "!frob x\n"
                                    "Win32RegistryServiceImpl.keyExists 3 \"open\n");
  EXPECT_EQ(run.code, fwcall::kExitBadInput);
  EXPECT_TRUE(run.lines.empty());
  for (const char* message : {"script.fwcall:3: Win32RegistryServiceImpl.keyExists takes 2 arguments", "script.fwcall:4: unknown directive",
                              "script.fwcall:5: a quoted word has no closing quote"}) {
    EXPECT_NE(run.err.find(message), std::string::npos) << "expected \"" << message << "\" in: " << run.err;
  }
  EXPECT_FALSE(RawKeyExists(key.Root(), key.Below(L"created")));
}

// Notes, directives and calls run in order and are logged with the answers; a directive that fails
// stops the script there.
TEST(FwcallScript, LogsNotesDirectivesCallsAndAnswersAndAFailureStopsTheScript) {
  TestRegistryKey key;
  TempFolder folder;
  const std::string missing = "\"" + Narrow(key.Path()) + "\"";
  const std::string base = Narrow(folder / L"made\\deeper");
  const FwcallRun run = RunScript(folder, "## What the library says\n"
                                          "!mkdir \"" + base + "\"\n"
                                          "!write \"" + base + "\\a.txt\" \"caf\xC3\xA9 \"\"x\"\"\"\n"
                                          "Win32SystemUtilServiceImpl.isWinME\n"
                                          "Win32RegistryServiceImpl.deleteValue 3 " + missing + " v true\n"
                                          "!hold \"" + base + "\\missing.txt\"\n"
                                          "Win32SystemUtilServiceImpl.isWinME\n",
                                  {u"--log", U16(folder / L"run.log")});
  EXPECT_EQ(run.code, fwcall::kExitStopped);
  ASSERT_EQ(run.lines.size(), 2u) << run.err;  // the call after the failed !hold did not run
  EXPECT_NE(run.err.find("script.fwcall:6: cannot hold"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(folder / L"made\\deeper\\a.txt"), std::optional<std::string>("caf\xC3\xA9 \"x\""));
  const std::string exception = run.lines[1].substr(run.lines[1].find("\"message\": ") + 11);
  EXPECT_EQ(ReadBytes(folder / L"run.log"),
            std::optional<std::string>("What the library says\n"
                                       "  [the installer makes the folder " + base + "]\n"
                                       "  [the installer writes " + base + "\\a.txt: 9 bytes]\n"
                                       "  Win32SystemUtilServiceImpl.isWinME\n"
                                       "    -> " + std::string(fw::IsWindowsME() ? "true" : "false") + "\n"
                                       "  Win32RegistryServiceImpl.deleteValue 3 " + missing + " v true\n"
                                       "    -> throws ServiceException -100002 " + exception.substr(0, exception.size() - 2) + "\n"
                                       "  !! cannot hold " + base + "\\missing.txt open (error 2)\n"));
}

TEST(FwcallRun, ReportsJniMisuseAfterTheAnswer) {
  const FwcallRun run = RunFwcall({u"--dll", U16(ProgramPath()), u"Win32SystemUtilServiceImpl.isWinME"});
  EXPECT_EQ(run.code, fwcall::kExitViolation);
  EXPECT_EQ(run.lines, std::vector<std::string>{"true"});
  EXPECT_NE(run.err.find("Win32SystemUtilServiceImpl.isWinME: JNI misuse: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("not released"), std::string::npos) << run.err;
}

TEST(FwcallHelp, ListsEveryNativeMethodAndWhatTheDllLacks) {
  TestVm vm;
  const std::size_t natives = DeclaredNatives(vm).size();
  ASSERT_GT(natives, 100u);
  FwcallRun run = RunFwcall({u"--dll", InProgramFolder(L"fwtest_netmsg.dll"), u"--help"});
  EXPECT_EQ(run.code, fwcall::kExitDone);
  std::size_t missing = 0;
  for (const std::string& line : run.lines) missing += line.find("[not exported by this DLL]") != std::string::npos;
  EXPECT_EQ(missing, natives);
  run = RunFwcall({u"--dll", InProgramFolder(L"fwnative.dll"), u"--help"});
  for (const char* line : {"com.fernwick.wizard.platform.win32.Win32FileServiceImpl", "  int win32CopyFile(String, String, boolean)",
                           "  void setMultiStringValue(int, String, String, String[])", "  FileAttributes getFileAttributes(String)"}) {
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), line), run.lines.end()) << line;
  }
}

}  // namespace
}  // namespace fwtest
