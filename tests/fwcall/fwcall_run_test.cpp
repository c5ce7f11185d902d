// fwcall run in-process on the built DLL: a script gives, line for line, the JSON that the same
// calls give inside the suite, and bad input is refused with a clear message before anything runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "declared_natives.h"
#include "file/file_test_support.h"
#include "fwcall/command_line.h"
#include "fwcall/fwcall_runner.h"
#include "json.h"
#include "registry/registry_test_key.h"
#include "support/loaded_library.h"
#include "support/program_folder.h"
#include "test_vm.h"
#include "vm_expectations.h"
#include "vm_json.h"

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

constexpr char kRegistryService[] = "com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl";
constexpr char kSystemUtil[] = "com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl";
constexpr char kWindowsService[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";

#define FW_EXPORT(cls, method) FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_##cls##_##method)

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

// Replaces each "$S" of a script line with the script side's name, "$K" with its registry key and
// "$F" with its folder (with the closing backslash).
std::string ForScript(std::string line, const std::map<std::string, std::string>& values) {
  for (const auto& [from, to] : values) {
    for (std::size_t at = line.find(from); at != std::string::npos; at = line.find(from, at + to.size())) {
      line.replace(at, from.size(), to);
    }
  }
  return line;
}

// Every kind of argument and result fwcall converts, each once: the script's line beside the same
// call made in the suite (on the suite's own key and folder), then the script run whole.
TEST(FwcallScript, AnswersAreTheSuitesAnswers) {
  TestRegistryKey key;
  TempFolder folder;
  ScopedWinInit winInit;
  ScopedPendingRenames pending;
  LoadedLibrary library(L"fwnative.dll");
  for (const wchar_t* side : {L"suite", L"script"}) {
    MakeFolder(folder / side);
    WriteBytes(folder / side + L"\\src.txt", "new");
    WriteBytes(folder / side + L"\\busy.txt", "old");
  }
  TestVm vm;
  std::vector<std::string> suite;
  std::string script = "# the same calls\n\n";
  // The call made in the suite, and the script's line for it.
  const auto same = [&](const std::string& line, auto native, auto... args) {
    if constexpr (std::is_void_v<decltype(native(vm.env(), args...))>) {
      vm.Call(native, args...);
      suite.push_back(CallOutcome(vm).Write());
    } else {
      suite.push_back(CallOutcome(vm, vm.Call(native, args...)).Write());
    }
    script += line + "\n";
  };
  const jobject registry = vm.This(kRegistryService), files = vm.This(kFileService), services = vm.This(kWindowsService);
  const jobject environment = vm.This("com/fernwick/wizard/platform/win32/environment/WindowsEnvironment");
  const jstring k = vm.String(U16(key.Below(L"suite")));
  const auto at = [&](const wchar_t* name) { return vm.String(U16(folder / L"suite\\" + name)); };
  const std::string r = "Win32RegistryServiceImpl.", f = "Win32FileServiceImpl.", s = "Win32ServiceImpl.";

  same(r + "createKey 3 \"" + Narrow(key.Path()) + "\" $S", FW_EXPORT(Win32RegistryServiceImpl, createKey), registry,
       jint{3}, vm.String(U16(key.Path())), vm.String(u"suite"));
  same(r + "setStringValue 3 $K s false \"text \xC3\xA9 \"\"q\"\"\"", FW_EXPORT(Win32RegistryServiceImpl, setStringValue),
       registry, jint{3}, k, vm.String(u"s"), jboolean{JNI_FALSE}, vm.String(u"text \u00e9 \"q\""));
  same(r + "setMultiStringValue 3 $K m [\"a\", null, \"\"]\r", FW_EXPORT(Win32RegistryServiceImpl, setMultiStringValue),
       registry, jint{3}, k, vm.String(u"m"), vm.StringArray({u"a", std::nullopt, u""}));
  same(r + "setBinaryValue 3 $K b 00AB10", FW_EXPORT(Win32RegistryServiceImpl, setBinaryValue), registry, jint{3}, k,
       vm.String(u"b"), vm.ByteArray({0, 0xAB, 16}));
  same("   " + r + "set32BitValue 3 $K d -5", FW_EXPORT(Win32RegistryServiceImpl, set32BitValue), registry, jint{3}, k,
       vm.String(u"d"), jint{-5});
  same(r + "getKeyValueNames 3 $K", FW_EXPORT(Win32RegistryServiceImpl, getKeyValueNames), registry, jint{3}, k);
  same(r + "getStringValue 3 $K s false", FW_EXPORT(Win32RegistryServiceImpl, getStringValue), registry, jint{3}, k,
       vm.String(u"s"), jboolean{JNI_FALSE});
  same(r + "getStringValue 3 $K null false", FW_EXPORT(Win32RegistryServiceImpl, getStringValue), registry, jint{3}, k,
       jstring{nullptr}, jboolean{JNI_FALSE});
  same(r + "getBinaryValue 3 $K b", FW_EXPORT(Win32RegistryServiceImpl, getBinaryValue), registry, jint{3}, k,
       vm.String(u"b"));
  same(r + "get32BitValue 3 $K d", FW_EXPORT(Win32RegistryServiceImpl, get32BitValue), registry, jint{3}, k, vm.String(u"d"));
  same(r + "get32BitValue 3 $K missing", FW_EXPORT(Win32RegistryServiceImpl, get32BitValue), registry, jint{3}, k,
       vm.String(u"missing"));
  same(r + "keyExists 3 $K", FW_EXPORT(Win32RegistryServiceImpl, keyExists), registry, jint{3}, k);

  same(f + "win32CopyFile \"$Fsrc.txt\" \"$Fdst.txt\" false", FW_EXPORT(Win32FileServiceImpl, win32CopyFile), files,
       at(L"src.txt"), at(L"dst.txt"), jboolean{JNI_FALSE});
  jobject states = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(states, TestVm::Indexed("AttributeState", 1), true);
  vm.SetBoolProperty(states, TestVm::Indexed("AttributeState", 10), true);
  same(f + "setFileAttributes \"$Fdst.txt\" {\"attributeState\": {\"OWNER_READABLE\": true, \"HIDDEN\": true}}",
       FW_EXPORT(Win32FileServiceImpl, setFileAttributes), files, at(L"dst.txt"), states);
  same(f + "getFileAttributes \"$Fdst.txt\"", FW_EXPORT(Win32FileServiceImpl, getFileAttributes), files, at(L"dst.txt"));
  same(f + "win32SetFileModified \"$Fdst.txt\" 1262304000000", FW_EXPORT(Win32FileServiceImpl, win32SetFileModified), files,
       at(L"dst.txt"), jlong{1262304000000});
  {
    const fw::UniqueFileHandle held = HoldOpen(folder / L"suite\\busy.txt", FILE_SHARE_READ);
    script += "!hold \"$Fbusy.txt\"\n";
    same(f + "win32CopyFile \"$Fsrc.txt\" \"$Fbusy.txt\" true", FW_EXPORT(Win32FileServiceImpl, win32CopyFile), files,
         at(L"src.txt"), at(L"busy.txt"), jboolean{JNI_TRUE});
    script += "!release \"$Fbusy.txt\"\n";
  }

  const jobject config = vm.NewPeer("com/fernwick/wizard/platform/win32/win32service/NTServiceConfig");
  vm.SetIntProperty(config, "StartType", 3);
  same(s + "createNTService \"\" {\"startType\": 3}", FW_EXPORT(Win32ServiceImpl, createNTService), services, vm.String(u""),
       config);
  same(s + "enumNTServiceKeys 48 3", FW_EXPORT(Win32ServiceImpl, enumNTServiceKeys), services, jint{0x30}, jint{3});
  same("Win32SystemUtilServiceImpl.nativeDeleteFilesAfterExit [\"a\"] [] true \"$Fmissing.exe\"",
       FW_EXPORT(Win32SystemUtilServiceImpl, nativeDeleteFilesAfterExit), vm.This(kSystemUtil), vm.Enumeration({u"a"}),
       vm.Enumeration({}), jboolean{JNI_TRUE}, at(L"missing.exe"));
  same("WindowsEnvironment.setProcessEnvironmentVariable FWCALL_TEST \"%PATH% stays\"",
       FW_EXPORT(environment_WindowsEnvironment, setProcessEnvironmentVariable), environment, vm.String(u"FWCALL_TEST"),
       vm.String(u"%PATH% stays"));
  same("WindowsEnvironment.getProcessEnvironmentVariable FWCALL_TEST",
       FW_EXPORT(environment_WindowsEnvironment, getProcessEnvironmentVariable), environment, vm.String(u"FWCALL_TEST"));
  EXPECT_NO_VIOLATIONS(vm);
  ASSERT_EQ(suite[12], "0");
  ASSERT_EQ(suite[16], "1");  // the busy target is replaced at the next start
  EXPECT_NE(suite[10].find("\"exception\""), std::string::npos);  // the missing value

  const FwcallRun run = RunScript(folder, ForScript(script, {{"$S", "script"},
                                                             {"$K", "\"" + Narrow(key.Below(L"script")) + "\""},
                                                             {"$F", Narrow(folder / L"script\\")}}));
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite) << run.err;
  // The script's own values, read without the library.
  const std::optional<RawValue> raw = GetRawValue(key.Root(), key.Below(L"script"), L"d");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->bytes, (std::vector<std::uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadBytes(folder / L"script\\dst.txt"), std::optional<std::string>("new"));
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
