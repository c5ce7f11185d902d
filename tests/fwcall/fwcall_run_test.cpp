// fwcall run in-process on the built DLL: a script gives, line for line, the JSON that the same
// calls give inside the suite, and bad input is refused with a clear message before anything runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32ProductServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl.h"
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

// Collects what each call gave Java, as fwcall prints it.
struct Expected {
  TestVm& vm;
  std::vector<std::string> lines;
  void Void() { lines.push_back(CallOutcome(vm).Write()); }
  template <typename T>
  void Value(T result) {
    lines.push_back(CallOutcome(vm, result).Write());
  }
};

TEST(FwcallScript, RegistryAnswersAreTheSuitesAnswers) {
  TestRegistryKey key;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  jobject self = vm.This(kRegistryService);
  Expected suite{vm, {}};
  const std::wstring path = key.Below(L"suite");
  jstring p = vm.String(U16(path));
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, createKey), self, jint{3}, vm.String(U16(key.Path())), vm.String(u"suite"));
  suite.Void();
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, setStringValue), self, jint{3}, p, vm.String(u"s"), jboolean{JNI_FALSE},
          vm.String(u"text \u00e9 \"q\""));
  suite.Void();
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, setMultiStringValue), self, jint{3}, p, vm.String(u"m"),
          vm.StringArray({u"a", std::nullopt, u""}));
  suite.Void();
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, setBinaryValue), self, jint{3}, p, vm.String(u"b"), vm.ByteArray({0, 0xAB, 16}));
  suite.Void();
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, set32BitValue), self, jint{3}, p, vm.String(u"d"), jint{-5});
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getKeyValueNames), self, jint{3}, p));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getStringValue), self, jint{3}, p, vm.String(u"s"), jboolean{JNI_FALSE}));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getMultiStringValue), self, jint{3}, p, vm.String(u"m")));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getBinaryValue), self, jint{3}, p, vm.String(u"b")));
  suite.Value(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, get32BitValue), self, jint{3}, p, vm.String(u"d")));
  suite.Value(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, get32BitValue), self, jint{3}, p, vm.String(u"missing")));
  suite.Value(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getValueType), self, jint{3}, p, vm.String(u"m")));
  vm.Call(FW_EXPORT(Win32RegistryServiceImpl, deleteValue), self, jint{3}, p, vm.String(u"missing"), jboolean{JNI_TRUE});
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, getStringValue), self, jint{3}, p, nullptr, jboolean{JNI_FALSE}));
  suite.Value(vm.Call(FW_EXPORT(Win32RegistryServiceImpl, keyExists), self, jint{3}, p));
  EXPECT_NO_VIOLATIONS(vm);

  const std::string k = "\"" + Narrow(key.Path()) + "\"";
  const std::string s = "\"" + Narrow(key.Below(L"script")) + "\"";
  const std::string r = "Win32RegistryServiceImpl.";
  TempFolder folder;
  const FwcallRun run = RunScript(folder,
                            "# the same calls\n" + r + "createKey 3 " + k + " script\n" +
                            r + "setStringValue 3 " + s + " s false \"text \xC3\xA9 \"\"q\"\"\"\n" +
                            r + "setMultiStringValue 3 " + s + " m [\"a\", null, \"\"]\r\n" +
                            r + "setBinaryValue 3 " + s + " b 00AB10\n" +
                            "   " + r + "set32BitValue 3 " + s + " d -5\n\n" +
                            r + "getKeyValueNames 3 " + s + "\n" +
                            r + "getStringValue 3 " + s + " s false\n" +
                            r + "getMultiStringValue 3 " + s + " m\n" +
                            r + "getBinaryValue 3 " + s + " b\n" +
                            r + "get32BitValue 3 " + s + " d\n" +
                            r + "get32BitValue 3 " + s + " missing\n" +
                            r + "getValueType 3 " + s + " m\n" +
                            r + "deleteValue 3 " + s + " missing true\n" +
                            r + "getStringValue 3 " + s + " null false\n" +
                            r + "keyExists 3 " + s);
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
  // The script's own values, read without the library.
  const std::optional<RawValue> raw = GetRawValue(key.Root(), key.Below(L"script"), L"d");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->bytes, (std::vector<std::uint8_t>{0xFB, 0xFF, 0xFF, 0xFF}));
}

TEST(FwcallScript, FileAndPlatformAnswersAreTheSuitesAnswers) {
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
  jobject self = vm.This(kFileService);
  Expected suite{vm, {}};
  auto at = [&](const wchar_t* name) { return vm.String(U16(folder / L"suite\\" + name)); };
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, win32CopyFile), self, at(L"src.txt"), at(L"dst.txt"), jboolean{JNI_FALSE}));
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, win32CopyFile), self, at(L"src.txt"), at(L"dst.txt"), jboolean{JNI_FALSE}));
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, getFileAttributes), self, at(L"dst.txt")));
  jobject states = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(states, TestVm::Indexed("AttributeState", 1), true);
  vm.SetBoolProperty(states, TestVm::Indexed("AttributeState", 10), true);
  vm.Call(FW_EXPORT(Win32FileServiceImpl, setFileAttributes), self, at(L"dst.txt"), states);
  suite.Void();
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, getFileAttributes), self, at(L"dst.txt")));
  vm.Call(FW_EXPORT(Win32FileServiceImpl, win32SetFileModified), self, at(L"dst.txt"), jlong{1262304000000});
  suite.Void();
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, win32MoveFile), self, at(L"dst.txt"), at(L"moved.txt"), jboolean{JNI_TRUE}));
  suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, win32DeleteFile), self, at(L"missing.txt")));
  {
    const fw::UniqueFileHandle held = HoldOpen(folder / L"suite\\busy.txt", FILE_SHARE_READ);
    suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, win32CopyFile), self, at(L"src.txt"), at(L"busy.txt"), jboolean{JNI_TRUE}));
  }
  suite.Value(vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, isWinNTor2K), vm.This(kSystemUtil)));
  suite.Value(vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, isWinME), vm.This(kSystemUtil)));
  suite.Value(vm.Call(FW_EXPORT(Win32ServiceImpl, isWin2k), vm.This(kWindowsService)));
  EXPECT_NO_VIOLATIONS(vm);
  ASSERT_EQ(suite.lines[0], "0");
  ASSERT_EQ(suite.lines[8], "1");  // the busy target is replaced at the next start

  const std::string f = "Win32FileServiceImpl.";
  auto in = [&](const char* name) { return "\"" + Narrow(folder / L"script\\") + name + "\""; };
  const FwcallRun run = RunScript(
      folder, f + "win32CopyFile " + in("src.txt") + " " + in("dst.txt") + " false\n" +
                  f + "win32CopyFile " + in("src.txt") + " " + in("dst.txt") + " false\n" +
                  f + "getFileAttributes " + in("dst.txt") + "\n" +
                  f + "setFileAttributes " + in("dst.txt") + " {\"attributeState\": {\"OWNER_READABLE\": true, \"HIDDEN\": true}}\n" +
                  f + "getFileAttributes " + in("dst.txt") + "\n" +
                  f + "win32SetFileModified " + in("dst.txt") + " 1262304000000\n" +
                  f + "win32MoveFile " + in("dst.txt") + " " + in("moved.txt") + " true\n" +
                  f + "win32DeleteFile " + in("missing.txt") + "\n" +
                  "!hold " + in("busy.txt") + "\n" +
                  f + "win32CopyFile " + in("src.txt") + " " + in("busy.txt") + " true\n" +
                  "!release " + in("busy.txt") + "\n" +
                  "Win32SystemUtilServiceImpl.isWinNTor2K\n"
                  "Win32SystemUtilServiceImpl.isWinME\n"
                  "Win32ServiceImpl.isWin2k\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
  EXPECT_EQ(ReadBytes(folder / L"script\\moved.txt"), std::optional<std::string>("new"));
}

// The later services: what changes nothing outside the test, or changes it and undoes it.
// (setProcessAffinity is left to the demo: confining this process to one processor makes later
// COM calls of the 32-bit run hang under qemu-user.)
TEST(FwcallScript, DesktopProductSystemAndEnvironmentAnswersAreTheSuitesAnswers) {
  TempFolder folder;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  Expected suite{vm, {}};
  jobject desktop = vm.This("com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl");
  jobject product = vm.This("com/fernwick/wizard/platform/win32/Win32ProductServiceImpl");
  jobject system = vm.This(kSystemUtil);
  jobject environment = vm.This("com/fernwick/wizard/platform/win32/environment/WindowsEnvironment");
  jstring base = vm.String(U16(folder.path()));
  vm.Call(FW_EXPORT(Win32DesktopServiceImpl, createDesktopFolder), desktop, base, vm.String(u"A\\B"));
  suite.Void();
  vm.Call(FW_EXPORT(Win32DesktopServiceImpl, createDesktopFolder), desktop, vm.String(U16(folder / L"missing")),
          vm.String(u"A"));
  suite.Void();
  vm.Call(FW_EXPORT(Win32DesktopServiceImpl, removeDesktopFolder), desktop, base, vm.String(u"A\\B"));
  suite.Void();
  vm.Call(FW_EXPORT(Win32ProductServiceImpl, win32UnregisterUninstaller), product, vm.String(u"FwcallNeverRegistered"),
          nullptr);
  suite.Void();
  vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, addSystemStartupCommand), system, vm.String(u""));
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, systemStartupCommands), system));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, getOSServiceLevel), system));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, getBootDirectory), system));
  vm.Call(FW_EXPORT(environment_WindowsEnvironment, setProcessEnvironmentVariable), environment,
          vm.String(u"FWCALL_TEST"), vm.String(u"%PATH% stays"));
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(environment_WindowsEnvironment, getProcessEnvironmentVariable), environment,
                               vm.String(u"FWCALL_TEST")));
  suite.Value<jobject>(vm.Call(FW_EXPORT(environment_WindowsEnvironment, winNTGetRawEnvironmentVariable),
                               environment, vm.String(u"FWCALL_NOT_SET"), jboolean{JNI_FALSE}));
  EXPECT_NO_VIOLATIONS(vm);
  EXPECT_NE(suite.lines[1].find("\"exception\""), std::string::npos);  // the missing base folder
  EXPECT_NE(suite.lines[4].find("\"exception\""), std::string::npos);  // the empty command

  const std::string b = "\"" + Narrow(folder.path()) + "\"";
  const FwcallRun run = RunScript(
      folder, "Win32DesktopServiceImpl.createDesktopFolder " + b + " A\\B\n"
              "Win32DesktopServiceImpl.createDesktopFolder \"" + Narrow(folder / L"missing") + "\" A\n"
              "Win32DesktopServiceImpl.removeDesktopFolder " + b + " A\\B\n"
              "Win32ProductServiceImpl.win32UnregisterUninstaller FwcallNeverRegistered null\n"
              "Win32SystemUtilServiceImpl.addSystemStartupCommand \"\"\n"
              "Win32SystemUtilServiceImpl.systemStartupCommands\n"
              "Win32SystemUtilServiceImpl.getOSServiceLevel\n"
              "Win32SystemUtilServiceImpl.getBootDirectory\n"
              "WindowsEnvironment.setProcessEnvironmentVariable FWCALL_TEST \"%PATH% stays\"\n"
              "WindowsEnvironment.getProcessEnvironmentVariable FWCALL_TEST\n"
              "WindowsEnvironment.winNTGetRawEnvironmentVariable FWCALL_NOT_SET false\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
}

// The drive and directory methods, on what does not change between the two runs.
TEST(FwcallScript, VolumeAndDirectoryAnswersAreTheSuitesAnswers) {
  TempFolder folder;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  Expected suite{vm, {}};
  const jobject files = vm.This("com/fernwick/wizard/platform/win32/Win32FileServiceImpl");
  const jstring c = vm.String(u"C:\\"), q = vm.String(u"Q:\\");
#define FW_FILE_CALL(method, ...) suite.Value(vm.Call(FW_EXPORT(Win32FileServiceImpl, method), files, ##__VA_ARGS__))
  FW_FILE_CALL(getPartitionNames);
  FW_FILE_CALL(getPartitionType, c);
  FW_FILE_CALL(getPartitionFormat, q);
  FW_FILE_CALL(getPartitionFreeSpace, q);
  FW_FILE_CALL(supportsLongFileNames, c);
  FW_FILE_CALL(getTempDirectory);
  FW_FILE_CALL(win32GetWindowsDirectory);
  FW_FILE_CALL(getLibraryDirectory);
  FW_FILE_CALL(getStandardInstallDirectory);
  FW_FILE_CALL(win32GetCommonDirectory);
  FW_FILE_CALL(isDirectoryWritable, vm.String(u""));
  FW_FILE_CALL(win32EnableAbort, jboolean{JNI_FALSE});  // what it answers depends on the mode before
  FW_FILE_CALL(win32EnableAbort, jboolean{JNI_TRUE});
#undef FW_FILE_CALL
  EXPECT_NO_VIOLATIONS(vm);
  const std::string f = "Win32FileServiceImpl.";
  FwcallRun run =
      RunScript(folder, f + "getPartitionNames\n" + f + "getPartitionType C:\\\n" + f + "getPartitionFormat Q:\\\n" + f +
                            "getPartitionFreeSpace Q:\\\n" + f + "supportsLongFileNames C:\\\n" + f + "getTempDirectory\n" + f +
                            "win32GetWindowsDirectory\n" + f + "getLibraryDirectory\n" + f + "getStandardInstallDirectory\n" +
                            f + "win32GetCommonDirectory\n" + f + "isDirectoryWritable \"\"\n" + f +
                            "win32EnableAbort false\n" + f + "win32EnableAbort true\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  ASSERT_EQ(run.lines.size(), suite.lines.size()) << run.err;
  run.lines.erase(run.lines.end() - 2);
  suite.lines.erase(suite.lines.end() - 2);
  EXPECT_EQ(run.lines, suite.lines) << run.err;
}

// Owners and the desktop's owner and attribute methods, on a file and names that do not exist.
TEST(FwcallScript, OwnerAnswersAreTheSuitesAnswers) {
  TempFolder folder;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  Expected suite{vm, {}};
  const std::wstring file = folder / L"owned.txt";
  WriteBytes(file, "x");
  const jobject files = vm.This("com/fernwick/wizard/platform/win32/Win32FileServiceImpl");
  const jobject desktop = vm.This("com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl");
  const jstring path = vm.String(U16(file)), base = vm.String(U16(folder.path())), sub = vm.String(u"Gone"),
                item = vm.String(u"Item"), nobody = vm.String(u"NoSuchAccountForFernwick");
  const jobject peer = vm.NewPeer("com/fernwick/util/FileAttributes");
#define FW_CALL(cls, self, method, ...) suite.Value(vm.Call(FW_EXPORT(cls, method), self, __VA_ARGS__))
#define FW_VOID(cls, self, method, ...) (vm.Call(FW_EXPORT(cls, method), self, __VA_ARGS__), suite.Void())
  FW_CALL(Win32FileServiceImpl, files, getFileOwner, path);
  FW_CALL(Win32FileServiceImpl, files, getFileOwnerGroup, path);
  FW_VOID(Win32FileServiceImpl, files, setFileOwner, path, nobody);
  FW_VOID(Win32FileServiceImpl, files, setFileOwnerGroup, path, nobody);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopItemOwnerGroup, base, sub, item);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopItemOwnerGroup, base, sub, item, nobody);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopItemOwner, base, sub, item);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopItemOwner, base, sub, item, nobody);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopFolderOwnerGroup, base, sub);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopFolderOwnerGroup, base, sub, nobody);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopFolderOwner, base, sub);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopFolderOwner, base, sub, nobody);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopItemAttributes, base, sub, item);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopItemAttributes, base, sub, item, peer);
  FW_CALL(Win32DesktopServiceImpl, desktop, getDesktopFolderAttributes, base, sub);
  FW_VOID(Win32DesktopServiceImpl, desktop, setDesktopFolderAttributes, base, sub, peer);
#undef FW_CALL
#undef FW_VOID
  EXPECT_NO_VIOLATIONS(vm);
  const std::string p = "\"" + Narrow(file) + "\"", b = "\"" + Narrow(folder.path()) + "\"";
  const std::string f = "Win32FileServiceImpl.", d = "Win32DesktopServiceImpl.", who = " NoSuchAccountForFernwick\n";
  const FwcallRun run = RunScript(
      folder, f + "getFileOwner " + p + "\n" + f + "getFileOwnerGroup " + p + "\n" + f + "setFileOwner " + p + who + f +
                  "setFileOwnerGroup " + p + who + d + "getDesktopItemOwnerGroup " + b + " Gone Item\n" + d +
                  "setDesktopItemOwnerGroup " + b + " Gone Item" + who + d + "getDesktopItemOwner " + b + " Gone Item\n" + d +
                  "setDesktopItemOwner " + b + " Gone Item" + who + d + "getDesktopFolderOwnerGroup " + b + " Gone\n" + d +
                  "setDesktopFolderOwnerGroup " + b + " Gone" + who + d + "getDesktopFolderOwner " + b + " Gone\n" + d +
                  "setDesktopFolderOwner " + b + " Gone" + who + d + "getDesktopItemAttributes " + b + " Gone Item\n" + d +
                  "setDesktopItemAttributes " + b + " Gone Item {}\n" + d + "getDesktopFolderAttributes " + b + " Gone\n" +
                  d + "setDesktopFolderAttributes " + b + " Gone {}\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
}

// The account methods, on what Wine answers without keeping anything.
TEST(FwcallScript, AccountAnswersAreTheSuitesAnswers) {
  TempFolder folder;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  Expected suite{vm, {}};
  const jobject security = vm.This("com/fernwick/wizard/platform/win32/Win32SecurityServiceImpl");
  suite.Value(vm.Call(FW_EXPORT(Win32SecurityServiceImpl, isCurrentUserAdmin), security));
  vm.Call(FW_EXPORT(Win32SecurityServiceImpl, win32CreateUser), security, vm.StringArray({u"0"}), jobjectArray{nullptr});
  suite.Void();
  vm.Call(FW_EXPORT(Win32SecurityServiceImpl, deleteUser), security, vm.String(u"NoSuchUserForFernwick"));
  suite.Void();
  vm.Call(FW_EXPORT(Win32SecurityServiceImpl, win32CreateGroup), security, vm.String(u"FwcallGroup"), vm.StringArray({}));
  suite.Void();
  vm.Call(FW_EXPORT(Win32SecurityServiceImpl, deleteGroup), security, vm.String(u"FwcallGroup"));
  suite.Void();
  const jobject system = vm.This(kSystemUtil);
  const jstring missing = vm.String(U16(folder / L"missing.exe"));
  vm.Call(FW_EXPORT(Win32SystemUtilServiceImpl, nativeDeleteFilesAfterExit), system, vm.Enumeration({u"a"}),
          vm.Enumeration({}), jboolean{JNI_TRUE}, missing);
  suite.Void();
  EXPECT_NO_VIOLATIONS(vm);
  const std::string c = "Win32SecurityServiceImpl.";
  const FwcallRun run = RunScript(folder, c + "isCurrentUserAdmin\n" + c + "win32CreateUser [\"0\"] null\n" + c +
                                              "deleteUser NoSuchUserForFernwick\n" + c + "win32CreateGroup FwcallGroup []\n" +
                                              c + "deleteGroup FwcallGroup\n" +
                                              "Win32SystemUtilServiceImpl.nativeDeleteFilesAfterExit [\"a\"] [] true \"" +
                                              Narrow(folder / L"missing.exe") + "\"\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
}

// Every service method, on services that do not exist (nothing changes), with a configuration peer
// and a String[] given as JSON.
TEST(FwcallScript, ServiceAnswersAreTheSuitesAnswers) {
  TempFolder folder;
  LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  Expected suite{vm, {}};
  const jobject services = vm.This(kWindowsService);
  const jstring missing = vm.String(u"FwcallNoSuchService");
  const jobject config = vm.NewPeer("com/fernwick/wizard/platform/win32/win32service/NTServiceConfig");
  vm.SetIntProperty(config, "StartType", 3);
  vm.Call(FW_EXPORT(Win32ServiceImpl, createNTService), services, vm.String(u""), config);
  suite.Void();
  vm.Call(FW_EXPORT(Win32ServiceImpl, changeNTServiceConfig), services, missing, config);
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, queryNTServiceConfig), services, missing));
  vm.Call(FW_EXPORT(Win32ServiceImpl, startNTService), services, missing, vm.StringArray({u"a"}));
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, controlNTService), services, missing, jint{4}));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, queryNTServiceStatus), services, missing));
  vm.Call(FW_EXPORT(Win32ServiceImpl, deleteNTService), services, missing);
  suite.Void();
  suite.Value(vm.Call(FW_EXPORT(Win32ServiceImpl, serviceExists), services, missing));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, getNTServiceDisplayName), services, missing));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, getNTServiceKeyName), services, missing));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, enumNTServiceKeys), services, jint{0x30}, jint{3}));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, queryWin2kServiceFailureActions), services, missing));
  const jobject actions = vm.NewPeer("com/fernwick/wizard/platform/win32/win32service/Win2kServiceFailureActions");
  vm.SetIntProperty(actions, "ResetPeriod", 60);
  vm.Call(FW_EXPORT(Win32ServiceImpl, changeWin2kServiceFailureActions), services, missing, actions);
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, queryWin2kServiceDescription), services, missing));
  vm.Call(FW_EXPORT(Win32ServiceImpl, changeWin2kServiceDescription), services, missing, vm.String(u"x"));
  suite.Void();
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, queryWin2kServiceStatusProcess), services, missing));
  const jstring missingFile = vm.String(U16(folder / L"missing.dll"));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, getShortPath), services, missingFile));
  suite.Value<jobject>(vm.Call(FW_EXPORT(Win32ServiceImpl, getFixedFileInfo), services, missingFile));
  EXPECT_NO_VIOLATIONS(vm);

  const std::string s = "Win32ServiceImpl.";
  const FwcallRun run = RunScript(folder, s + "createNTService \"\" {\"startType\": 3}\n" + s +
                                              "changeNTServiceConfig FwcallNoSuchService {\"startType\": 3}\n" + s +
                                              "queryNTServiceConfig FwcallNoSuchService\n" + s +
                                              "startNTService FwcallNoSuchService [\"a\"]\n" + s +
                                              "controlNTService FwcallNoSuchService 4\n" + s +
                                              "queryNTServiceStatus FwcallNoSuchService\n" + s +
                                              "deleteNTService FwcallNoSuchService\n" + s +
                                              "serviceExists FwcallNoSuchService\n" + s +
                                              "getNTServiceDisplayName FwcallNoSuchService\n" + s +
                                              "getNTServiceKeyName FwcallNoSuchService\n" + s +
                                              "enumNTServiceKeys 48 3\n" + s +
                                              "queryWin2kServiceFailureActions FwcallNoSuchService\n" + s +
                                              "changeWin2kServiceFailureActions FwcallNoSuchService {\"resetPeriod\": 60}\n" +
                                              s + "queryWin2kServiceDescription FwcallNoSuchService\n" + s +
                                              "changeWin2kServiceDescription FwcallNoSuchService x\n" + s +
                                              "queryWin2kServiceStatusProcess FwcallNoSuchService\n" + s +
                                              "getShortPath \"" + Narrow(folder / L"missing.dll") + "\"\n" + s +
                                              "getFixedFileInfo \"" + Narrow(folder / L"missing.dll") + "\"\n");
  EXPECT_EQ(run.code, fwcall::kExitDone) << run.err;
  EXPECT_EQ(run.lines, suite.lines) << run.err;
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
      {{u"--dll", dll, u"Win32RegistryServiceImpl.createKey", u"4294967296", created, u"x"}, "4294967296 is out of range for int"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.deleteKey", u"3", created, u"x", u"yes"}, "yes is not a boolean"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.setBinaryValue", u"3", created, u"x", u"0g"}, "\"0g\" is not hex digits"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"{\"attributeState\": {\"HIDDEN\": tru}}"},
       "argument 2 (FileAttributes): malformed JSON: unexpected character 't'"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"{\"hidden\": true}"}, "has no property \"hidden\""},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"HIDDEN"}, "HIDDEN is not JSON"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.setMultiStringValue", u"3", created, u"x", u"[1]"}, "[0]: expected a string or null"},
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

TEST(FwcallScript, LogsNotesCallsAndAnswers) {
  TestRegistryKey key;
  TempFolder folder;
  const std::string missing = "\"" + Narrow(key.Path()) + "\"";
  const FwcallRun run = RunScript(folder, "## What the library says\nWin32SystemUtilServiceImpl.isWinME\n"
                                    "Win32RegistryServiceImpl.deleteValue 3 " + missing + " v true\n",
                            {u"--log", U16(folder / L"run.log")});
  ASSERT_EQ(run.code, fwcall::kExitDone) << run.err;
  ASSERT_EQ(run.lines.size(), 2u);
  const std::string exception = run.lines[1].substr(run.lines[1].find("\"message\": ") + 11);
  EXPECT_EQ(ReadBytes(folder / L"run.log"),
            std::optional<std::string>("What the library says\n"
                                       "  Win32SystemUtilServiceImpl.isWinME\n"
                                       "    -> " + std::string(fw::IsWindowsME() ? "true" : "false") + "\n"
                                       "  Win32RegistryServiceImpl.deleteValue 3 " + missing + " v true\n"
                                       "    -> throws ServiceException -100002 " + exception.substr(0, exception.size() - 2) + "\n"));
}

// Directives run in order with the calls; one that fails stops the script there.
TEST(FwcallScript, DirectivesActAsTheJavaSideAndAFailureStopsTheScript) {
  TempFolder folder;
  const std::string base = Narrow(folder / L"made\\deeper");
  const FwcallRun run = RunScript(folder, "!mkdir \"" + base + "\"\n"
                                          "!write \"" + base + "\\a.txt\" \"caf\xC3\xA9 \"\"x\"\"\"\n"
                                          "Win32FileServiceImpl.win32DeleteFile \"" + base + "\\missing.txt\"\n"
                                          "!hold \"" + base + "\\missing.txt\"\n"
                                          "Win32SystemUtilServiceImpl.isWinME\n");
  EXPECT_EQ(run.code, fwcall::kExitStopped);
  EXPECT_EQ(run.lines.size(), 1u);  // the delete ran, the call after the failed !hold did not
  EXPECT_NE(run.err.find("script.fwcall:4: cannot hold"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(folder / L"made\\deeper\\a.txt"), std::optional<std::string>("caf\xC3\xA9 \"x\""));
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
  auto listed = [&](const std::string& text) {
    for (const std::string& line : run.lines) {
      if (line == text) return true;
    }
    return false;
  };
  EXPECT_TRUE(listed("com.fernwick.wizard.platform.win32.Win32FileServiceImpl"));
  EXPECT_TRUE(listed("  int win32CopyFile(String, String, boolean)"));
  EXPECT_TRUE(listed("  void setMultiStringValue(int, String, String, String[])"));
  EXPECT_TRUE(listed("  FileAttributes getFileAttributes(String)"));
}

}  // namespace
}  // namespace fwtest
