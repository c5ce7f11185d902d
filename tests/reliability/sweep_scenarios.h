// The scenarios of the call-site sweep and of the bad-input test: for each native method one fwcall
// line that succeeds on the shipped DLL, the state it needs, and CallSiteSweep, which makes that
// state from nothing before each run, calls the method in a fresh test VM and records the outcome.
//
//   CallSiteSweep sweep;
//   for (const Scenario& s : kScenarios) {
//     sweep.Prepare(s);
//     const Outcome outcome = sweep.Measured(s.call);   // or with an argument replaced
//   }
//   sweep.CleanAll();
#pragma once

#include <windows.h>

#include <lm.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <memory>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "bridge/unique_resource.h"
#include "file/file_test_support.h"
#include "registry/registry_test_key.h"
#include "reliability/line_call.h"
#include "support/fake_import.h"
#include "support/loaded_library.h"
#include "support/program_folder.h"
#include "support/resource_counts.h"
#include "test_vm.h"
#include "vm_json.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace sweep {

constexpr char kOperationCodes[] = "com/fernwick/wizard/platform/win32/OperationCodes";
constexpr jint kEFail = static_cast<jint>(0x80004005);
constexpr jint kNotSupported = -10000;  // ServiceException.OPERATION_NOT_SUPPORTED
constexpr wchar_t kSweepKey[] = L"Software\\fwnative-sweep";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\FwSweep";

struct Scenario {
  std::string call;                // an fwcall line; {T} the scenario's folder, {K} its HKCU key, {P} the programs
  std::vector<std::string> setup;  // lines that make the state it needs, run without faults; "!mkdir",
                                   // "!write", "!copy" and "!hold" as in fwcall scripts ({W}: WinInit.Ini)
};

// The scenarios of one class that need the same state: the set-up lines and the calls are the
// class's methods, unless a set-up line starts with "!".
struct ScenarioGroup {
  std::vector<const char*> setup;
  std::string className;
  std::vector<const char*> calls;
};

inline std::vector<Scenario> Scenarios(const std::vector<ScenarioGroup>& groups) {
  std::vector<Scenario> scenarios;
  for (const ScenarioGroup& group : groups) {
    std::vector<std::string> setup;
    for (const char* line : group.setup) {
      const std::string text = line;
      const bool qualified = text[0] == '!' || text.find('.') < text.find(' ');  // "!write ...", "Class.method ..."
      setup.push_back(qualified ? text : group.className + "." + text);
    }
    for (const char* call : group.calls) scenarios.push_back({group.className + "." + call, setup});
  }
  return scenarios;
}

// The service of each run, made by the scenario of createNTService and by the set-ups of the others.
#define FW_SWEEP_SERVICE                                                                              \
  R"(createNTService FwSweepSvc{N} {"displayName": "Fw Sweep {N}", "serviceType": 16, "startType": 3, )" \
  R"("errorControl": 1, "command": "{PJ}\\fwtestsvc.exe {TJ}\\svc.txt"})"
#define FW_SWEEP_USER R"(win32CreateUser ["-1", "c", "C:\\", "", "pw", "Full", "FwSweepUser", "0", "0"] ["Users"])"
// Each run starts from nothing: its set-up lines make the state its call needs.
const std::vector<Scenario> kScenarios = Scenarios({
    {{"createKey 3 Software fwnative-sweep", "createKey 3 {K} sub", "setStringValue 3 {K} s false text",
      "setStringValue 3 {K} e true %WINDIR%\\x", R"(setMultiStringValue 3 {K} m ["a", "b"])", "set32BitValue 3 {K} d 7",
      "setBinaryValue 3 {K} b 0102"},
     "Win32RegistryServiceImpl",
     {"getKeyValueNames 3 {K}", "getSubkeyNames 3 {K}", "keyExists 3 {K}", "valueExists 3 {K} s", "createKey 3 {K} new",
      "deleteKey 3 {K} sub true", "deleteValue 3 {K} s true", "getStringValue 3 {K} e true",
      "setStringValue 3 {K} n true %WINDIR%\\y", "getMultiStringValue 3 {K} m", R"(setMultiStringValue 3 {K} n ["x", "y"])",
      "get32BitValue 3 {K} d", "set32BitValue 3 {K} n 5", "getBinaryValue 3 {K} b", "setBinaryValue 3 {K} n 0a0b",
      "getValueType 3 {K} m", "countSubKeys 3 {K}", "countValuesInKey 3 {K}", "longestSubKeyNameLength 3 {K}",
      "longestValueNameLength 3 {K}", "longestValueNameData 3 {K}", "isKeyEmpty 3 {K}"}},
    // Files, volumes and directories
    {{"!mkdir {T}\\d", "!write {T}\\a.txt hello", "!write {T}\\d\\f.txt x"},
     "Win32FileServiceImpl",
     {"getFileAttributes {T}\\a.txt", R"(setFileAttributes {T}\a.txt {"attributeState": {"HIDDEN": true}})",
      "getFileOwner {T}\\a.txt", "setFileOwner {T}\\a.txt Administrators", "getFileOwnerGroup {T}\\a.txt",
      "setFileOwnerGroup {T}\\a.txt Administrators", "getPartitionFreeSpace {T}", "isDirectoryWritable {T}",
      "win32CopyFile {T}\\a.txt {T}\\b.txt false", "win32MoveFile {T}\\a.txt {T}\\c.txt false",
      "win32DeleteFile {T}\\a.txt", "win32SetFileTimes {T}\\a.txt 1000000000000 1000000000000 1000000000000",
      "win32SetFileModified {T}\\a.txt 1000000000000", "win32SetFileCreated {T}\\a.txt 1000000000000",
      "win32DeleteDirectory {T}\\d false true"}},
    // A file in use goes at the next start: the pending renames, or WinInit.Ini made or filled.
    {{"!write {T}\\a.txt hello", "!hold {T}\\a.txt"}, "Win32FileServiceImpl", {"win32DeleteFile {T}\\a.txt"}},
    {{"!write {T}\\a.txt hello", "!hold {T}\\a.txt", "!write {W} [Rename]"}, "Win32FileServiceImpl", {"win32DeleteFile {T}\\a.txt"}},
    {{},
     "Win32FileServiceImpl",
     {"getPartitionNames", "getPartitionType C:\\", "getPartitionFormat C:\\", "supportsLongFileNames C:\\",
      "getTempDirectory", "win32GetWindowsDirectory", "getLibraryDirectory", "getStandardInstallDirectory",
      "win32GetCommonDirectory", "win32EnableAbort true"}},
    // Desktop
    // A failing level undoes the levels the call made, and only those.
    {{"createDesktopFolder $UserPrograms$ FwSweep2"}, "Win32DesktopServiceImpl", {"createDesktopFolder $UserPrograms$ FwSweep2\\Sub\\Deep"}},
    {{"createDesktopFolder $UserPrograms$ FwSweep\\Sub"}, "Win32DesktopServiceImpl", {"removeDesktopFolder $UserPrograms$ FwSweep\\Sub"}},
    {{"!write {T}\\a.txt hello", "createDesktopFolder $UserPrograms$ FwSweep",
      "createDesktopItem $UserPrograms$ FwSweep Item {T}\\a.txt \"\" \"\" \"\""},
     "Win32DesktopServiceImpl",
     {"createDesktopItem $UserPrograms$ FwSweep Item2 {T}\\a.txt -x {T}\\a.txt {T}",
      "removeDesktopItem $UserPrograms$ FwSweep Item", "getDesktopItemOwnerGroup $UserPrograms$ FwSweep Item",
      "setDesktopItemOwnerGroup $UserPrograms$ FwSweep Item Administrators", "getDesktopItemOwner $UserPrograms$ FwSweep Item",
      "setDesktopItemOwner $UserPrograms$ FwSweep Item Administrators", "getDesktopFolderOwnerGroup $UserPrograms$ FwSweep",
      "setDesktopFolderOwnerGroup $UserPrograms$ FwSweep Administrators", "getDesktopFolderOwner $UserPrograms$ FwSweep",
      "setDesktopFolderOwner $UserPrograms$ FwSweep Administrators", "getDesktopItemAttributes $UserPrograms$ FwSweep Item",
      R"(setDesktopItemAttributes $UserPrograms$ FwSweep Item {"attributeState": {"HIDDEN": true}})",
      "getDesktopFolderAttributes $UserPrograms$ FwSweep",
      R"(setDesktopFolderAttributes $UserPrograms$ FwSweep {"attributeState": {"HIDDEN": true}})"}},
    // Uninstaller
    {{}, "Win32ProductServiceImpl", {"win32RegisterUninstaller FwSweep \"Fw Sweep {N}\" {T}\\u.exe"}},
    {{"win32RegisterUninstaller FwSweep \"Fw Sweep {N}\" {T}\\u.exe"},
     "Win32ProductServiceImpl",
     {"win32UnregisterUninstaller FwSweep null"}},
    {{},
     "WindowsEnvironment",
     {"getProcessEnvironmentVariable WINDIR", "setProcessEnvironmentVariable FWSWEEP x",
      "winNTSetEnvironmentVariable FWSWEEP x false", "winNTGetRawEnvironmentVariable TEMP false",
      "winMEGetRawEnvironmentVariable PATH"}},
    // A new Wine prefix lacks the key Windows ME keeps its variables in.
    {{"Win32RegistryServiceImpl.createKey 4 SYSTEM\\CurrentControlSet\\Control SessionManager\\Environment"},
     "WindowsEnvironment",
     {"winMESetEnvironmentVariable FWSWEEP x"}},
    // System
    {{},
     "Win32SystemUtilServiceImpl",
     {"addSystemStartupCommand {T}\\start.exe", "getOSServiceLevel", "getBootDirectory", "isWinNTor2K", "isWinME"}},
    {{"addSystemStartupCommand {T}\\start.exe"},
     "Win32SystemUtilServiceImpl",
     {"systemStartupCommands", "removeSystemStartupCommand {T}\\start.exe"}},
    // The clean-up program's file is deleted once it has run: each run starts its own copy.
    {{"!write {T}\\a.txt hello", "!copy {P}\\fwtestreceiver.exe {C}\\r{N}.exe"},
     "Win32SystemUtilServiceImpl",
     {"nativeDeleteFilesAfterExit [\"{TJ}\\\\a.txt\"] [] false {C}\\r{N}.exe"}},
    {{}, "Win32WizardInitializeServiceImpl", {"setProcessAffinity"}},
    // Services
    {{FW_SWEEP_SERVICE, "startNTService FwSweepSvc{N} []"},
     "Win32ServiceImpl",
     {"controlNTService FwSweepSvc{N} 4", "queryWin2kServiceStatusProcess FwSweepSvc{N}"}},
    {{"!write {T}\\a.txt hello", FW_SWEEP_SERVICE},
     "Win32ServiceImpl",
     {R"(changeNTServiceConfig FwSweepSvc{N} {"serviceType": -1, "startType": 4, "errorControl": -1})", "queryNTServiceConfig FwSweepSvc{N}",
      "startNTService FwSweepSvc{N} [\"a\"]", "queryNTServiceStatus FwSweepSvc{N}", "deleteNTService FwSweepSvc{N}",
      "serviceExists FwSweepSvc{N}", "getNTServiceDisplayName FwSweepSvc{N}", "getNTServiceKeyName \"Fw Sweep {N}\"",
      "enumNTServiceKeys 48 3", "queryWin2kServiceFailureActions FwSweepSvc{N}",
      R"(changeWin2kServiceFailureActions FwSweepSvc{N} {"resetPeriod": 60, "rebootMsg": "r", "command": "c", "actions": [{"actionType": 1, "delay": 1000}]})",
      "queryWin2kServiceDescription FwSweepSvc{N}", "changeWin2kServiceDescription FwSweepSvc{N} text",
      "getShortPath {T}\\a.txt"}},
    // Last, as the clean-up of a class removes only the service of the run before it.
    {{}, "Win32ServiceImpl", {FW_SWEEP_SERVICE, "isWin2k", "getFixedFileInfo {P}\\fwtestsvc.exe"}},
    // Accounts: the calls Wine answers for real (its NetUserSetInfo ends the process, and its
    // NetUserGetInfo cannot read a user it made: CallSiteSweep)
    {{},
     "Win32SecurityServiceImpl",
     {"isCurrentUserAdmin", FW_SWEEP_USER, R"(win32CreateGroup FwSweepGroup ["Administrator"])", "deleteGroup FwSweepGroup"}},
    {{FW_SWEEP_USER}, "Win32SecurityServiceImpl", {"deleteUser FwSweepUser"}},
});

// Replaces `function` in `module` by `behaviour`: an import, or (`bound`) one the library looks up
// by name. The replacement lasts as long as what is returned.
template <typename Fn, typename Behaviour>
std::shared_ptr<void> Patched(HMODULE module, ImportOf<Fn> function, bool bound, Behaviour behaviour) {
  if (bound) return std::make_shared<SubstitutedProcAddress<Fn>>(module, function, std::move(behaviour));
  return std::make_shared<FakeImport<Fn>>(module, function, std::move(behaviour));
}

inline std::u16string U16Of(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// "win32CopyFile" -> "WIN32_COPY_FILE", as OperationCodes names each method's code.
inline std::string CodeName(const std::string& method) {
  if (method == "set32BitValue") return "SET_32_BIT_VALUE";
  if (method == "get32BitValue") return "GET_32_BIT_VALUE";
  std::string name;
  for (std::size_t i = 0; i < method.size(); ++i) {
    const char c = method[i];
    const bool upper = c >= 'A' && c <= 'Z';
    const bool afterLower = i > 0 && !(method[i - 1] >= 'A' && method[i - 1] <= 'Z');
    const bool beforeLower = i + 1 < method.size() && method[i + 1] >= 'a' && method[i + 1] <= 'z';
    if (upper && i > 0 && (afterLower || beforeLower)) name += '_';
    name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return name;
}

// Its text buffers are reserved before the call is measured, so that keeping the answer makes no
// heap block of its own.
struct Outcome {
  Outcome() {
    json.reserve(1 << 16);
    exceptionClass.reserve(256);
    message.reserve(4096);
  }
  std::string json;  // the result (after an exception, the method's fallback)
  bool threw = false;
  std::string exceptionClass;
  std::optional<jint> code;
  bool hasMessage = false;
  std::u16string message;
  std::vector<std::string> violations;
  std::string growth;  // resources left behind
  std::string misplaced;  // registry data written or removed where no scenario may touch
  std::string before, state;  // what the scenarios change (CallSiteSweep::State), before and after the call
};

// What must never change: the values at the roots and the system's own lists.
[[gnu::noipa]] inline std::string RegistrySentinel() {
  std::string state;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    DWORD values = 0;
    RegQueryInfoKeyW(root, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    state += std::to_string(values) + " values at a root; ";
  }
  for (const wchar_t* list : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"}) {
    state += RawKeyExists(HKEY_LOCAL_MACHINE, list) ? "list there; " : "list gone; ";
  }
  return state;
}

// Each run's service has its own number: answers and states are compared without it.
inline std::string WithoutRunNumber(const std::string& text) {
  static const std::regex kRunNumber("(FwSweepSvc|Fw Sweep )[0-9]+");
  return std::regex_replace(text, kRunNumber, "$1#");
}

// Lines for the files and folders below `path`: each name below it, its size and attributes.
[[gnu::noipa]] inline void ListFiles(const std::wstring& path, const std::string& shown, std::string& out) {
  WIN32_FIND_DATAW entry;
  const fw::UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
  if (!find) return;
  do {
    const std::wstring name = entry.cFileName;
    // svc.txt is the test service's record, written while it runs.
    if (name == L"." || name == L".." || name == L"svc.txt") continue;
    const std::string named = shown + "\\" + Narrow(name);
    out += named + " " + std::to_string(entry.nFileSizeLow) + " " + std::to_string(entry.dwFileAttributes) + "\n";
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListFiles(path + L"\\" + name, named, out);
  } while (FindNextFileW(find.get(), &entry));
}

// Lines for the key `path` and everything below it (or only its value `only`): each key, and each
// value with its type and data.
[[gnu::noipa]] inline void ListKey(HKEY root, const std::wstring& path, std::string& out, const wchar_t* only = nullptr) {
  fw::UniqueKey owned;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, owned.put()) != ERROR_SUCCESS) return;
  const HKEY key = owned.get();
  out += Narrow(path) + "\n";
  wchar_t name[256];
  BYTE data[4096];
  for (DWORD i = 0, length = 256, size = sizeof(data), type = 0;
       RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) == ERROR_SUCCESS;
       ++i, length = 256, size = sizeof(data)) {
    if (only != nullptr && _wcsicmp(name, only) != 0) continue;
    out += "  " + Narrow(name) + " " + std::to_string(type) + ":";
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
      out += Narrow(std::wstring(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t)));
    } else {
      for (DWORD b = 0; b < size; ++b) out += std::to_string(data[b]) + " ";
    }
    out += "\n";
  }
  for (DWORD i = 0; only == nullptr && RegEnumKeyW(key, i, name, 256) == ERROR_SUCCESS; ++i) ListKey(root, path + L"\\" + name, out);
}

class CallSiteSweep {
 public:
  CallSiteSweep() : dll_(L"fwnative.dll"), table_(tableVm_) {}

  HMODULE dll() const { return dll_.get(); }
  const std::wstring& Folder() const { return temp_.path(); }
  const std::wstring& ProgramsFolder() const { return programs_.path(); }
  // For calls whose arguments are changed: a folder argument ends in a backslash, so that a text
  // added to it stays inside, and the desktop scenarios work inside Folder() instead of the start
  // menu, by a sub-folder path that also stays inside it when the folder is empty ("\" + sub-folder).
  void KeepPathsInFolder() { pathsInFolder_ = true; }
  void CleanAll() {
    ++runs_;
    Clean("");
  }

  std::string Expand(const std::string& line) const {
    std::string text = line;
    if (pathsInFolder_) {
      text = Replaced(text, "$UserPrograms$ FwSweep", "{T} " + folder_.substr(3) + "\\FwSweep");
      text = std::regex_replace(text, std::regex(R"(\{T\}( |$))"), "{T}\\$1");
    }
    text = Replaced(text, "{TJ}", Replaced(folder_, "\\", "\\\\"));
    text = Replaced(text, "{PJ}", Replaced(Narrow(ProgramFolder()), "\\", "\\\\"));
    text = Replaced(text, "{T}", folder_);
    text = Replaced(text, "{P}", Narrow(ProgramFolder()));
    text = Replaced(text, "{N}", std::to_string(runs_));
    text = Replaced(text, "{C}", Narrow(programs_.path()));
    text = Replaced(text, "{W}", Narrow(winInit_->path()));
    return Replaced(text, "{K}", Narrow(kSweepKey));
  }

  const fwcall::NativeMethod& Method(const std::string& line) const { return MethodOf(table_, line); }

  // One call in `vm`; the arguments are made there.
  void Invoke(TestVm& vm, const std::string& line, Outcome& outcome, const ArgumentEdit& edit = nullptr) {
    const LineCall call = CallLine(vm, table_, dll_.get(), Expand(line), edit);
    if (const std::optional<ThrownException> e = vm.TakePending()) {
      outcome.threw = true;
      outcome.exceptionClass.assign(e->className);
      outcome.code = e->code;
      outcome.hasMessage = e->hasMessage;
      outcome.message.assign(e->message);
    }
    const std::string json = CallOutcome(vm, call.method->signature.result.kind, call.result).Write();
    outcome.json.assign(WithoutRunNumber(json));
    outcome.violations = vm.TakeViolations();
  }

  void Prepare(const Scenario& scenario) {
    const std::string call = scenario.call;
    ++runs_;
    Clean(call.substr(0, call.find('.')));
    for (const std::string& line : scenario.setup) {
      const std::string text = Expand(line);
      if (text.rfind("!mkdir ", 0) == 0) {
        MakeFolder(std::wstring(text.begin() + 7, text.end()));
      } else if (text.rfind("!copy ", 0) == 0) {
        const std::size_t blank = text.find(' ', 6);
        CopyFileA(text.substr(6, blank - 6).c_str(), text.substr(blank + 1).c_str(), FALSE);
      } else if (text.rfind("!hold ", 0) == 0) {
        held_.push_back(HoldOpen(std::wstring(text.begin() + 6, text.end())));
      } else if (text.rfind("!write ", 0) == 0) {
        const std::size_t blank = text.find(' ', 7);
        WriteBytes(std::wstring(text.begin() + 7, text.begin() + blank), text.substr(blank + 1));
      } else {
        Outcome o;
        Invoke(setupVm_, line, o);
        // A family that lacks the operation refuses the call as well as its set-up.
        if (o.threw && o.code != std::optional<jint>(kNotSupported)) {
          throw std::runtime_error(text + ": " + std::to_string(o.code.value_or(0)) + " " + Narrow(o.message));
        }
      }
    }
  }

  // Measured: a fresh VM per call, so that what the call made in Java is freed with it.
  Outcome Measured(const std::string& line, const ArgumentEdit& edit = nullptr) {
    Outcome outcome;
    const std::string sentinel = RegistrySentinel();
    outcome.before = State();
    const ResourceCounts before = CountResources();
    {
      TestVm vm;
      Invoke(vm, line, outcome, edit);
    }
    EndCleanupPrograms();
    outcome.growth = ResourceGrowth(before, CountResources());
    if (const std::string now = RegistrySentinel(); now != sentinel) outcome.misplaced = sentinel + "-> " + now;
    outcome.state = State();
    return outcome;
  }

  // What the scenarios change, without what moves from run to run (times, free space, run numbers):
  // the files of the scenario's folder and of the FwSweep folders of the start menu, the sweep's and
  // the uninstaller's keys, the start-up commands, the FWSWEEP variables and the pending renames.
  [[gnu::noipa]] std::string State() const {
    std::string state;
    ListFiles(temp_.path(), "{T}", state);
    ListFiles(ShellFolder(CSIDL_PROGRAMS), "programs", state);  // where FwSweep and FwSweep2 are, and only those change
    ListKey(HKEY_CURRENT_USER, kSweepKey, state);
    ListKey(HKEY_LOCAL_MACHINE, kUninstallKey, state);
    ListKey(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", state);
    ListKey(HKEY_CURRENT_USER, L"Environment", state, L"FWSWEEP");
    ListKey(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\SessionManager\\Environment", state, L"FWSWEEP");
    wchar_t variable[64] = {};
    state += "FWSWEEP=" + Narrow(GetEnvironmentVariableW(L"FWSWEEP", variable, 64) ? variable : L"(none)") + "\n";
    for (const auto& [from, to] : pending_->Added()) state += "pending " + Narrow(from) + " -> " + Narrow(to) + "\n";
    return WithoutRunNumber(state + "WinInit.Ini " + winInit_->Contents().value_or("(none)"));
  }

 private:
  // Removes what a scenario of this class may have left; everything for an empty class.
  [[gnu::noipa]] void Clean(const std::string& area) {
    auto touches = [&](const char* cls) { return area.empty() || area == cls; };
    held_.clear();
    winInit_.emplace();  // put back, and backed up again
    pending_.emplace();
    RemoveAll(temp_.path());  // its contents only, while it is the current directory
    if (!fwtest::Exists(temp_.path())) MakeFolder(temp_.path());
    DeleteRawTree(HKEY_CURRENT_USER, kSweepKey);
    if (touches("Win32ProductServiceImpl")) DeleteRawTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    const std::wstring programs = ShellFolder(CSIDL_PROGRAMS);
    if (touches("Win32DesktopServiceImpl") && !programs.empty()) {
      for (const wchar_t* name : {L"\\FwSweep", L"\\FwSweep2"}) RemoveAll(programs + name);
    }
    // Each run's service has a name of its own: one whose handle a faulty run left open stays
    // marked for deletion until the process ends.
    if (touches("Win32ServiceImpl")) RemoveService(L"FwSweepSvc" + std::to_wstring(runs_ - 1));
    std::vector<const char*> lines;
    if (touches("Win32SecurityServiceImpl")) {
      lines = {"Win32SecurityServiceImpl.deleteUser FwSweepUser", "Win32SecurityServiceImpl.deleteGroup FwSweepGroup"};
    }
    if (touches("Win32SystemUtilServiceImpl")) lines.push_back("Win32SystemUtilServiceImpl.removeSystemStartupCommand {T}\\start.exe");
    if (touches("WindowsEnvironment")) {
      SetEnvironmentVariableW(L"FWSWEEP", nullptr);
      lines.push_back("Win32RegistryServiceImpl.deleteValue 3 Environment FWSWEEP false");
      lines.push_back("Win32RegistryServiceImpl.deleteValue 4 SYSTEM\\CurrentControlSet\\Control\\SessionManager\\Environment FWSWEEP false");
    }
    for (const char* line : lines) {
      Outcome ignored;
      Invoke(setupVm_, line, ignored);
    }
  }

  // A clean-up program that got no request waits for one; while it runs, the system keeps a handle
  // to it in this process.
  [[gnu::noipa]] void EndCleanupPrograms() {
    const fw::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
      // Only the sweep's own copies, "r<number>.exe": never Wine's rpcss.exe or rundll32.exe.
      const std::wstring name = entry.szExeFile;
      const std::size_t digits = name.size() > 5 ? name.find_first_not_of(L"0123456789", 1) : 0;
      if (digits < 2 || digits == std::wstring::npos || name[0] != L'r' || name.substr(digits) != L".exe") continue;
      const fw::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
      if (process && TerminateProcess(process.get(), 0)) WaitForSingleObject(process.get(), 5000);
    }
  }

  LoadedLibrary dll_;
  // The library's pauses (letting a started program settle) are skipped: they only cost time here.
  FakeImport<decltype(&::Sleep)> noPause_ = ReplaceImport(dll_.get(), FWTEST_IMPORT(Sleep), [](auto, DWORD) {});
  // Wine's NetUserSetInfo ends the process, and its NetUserGetInfo answers 2140 for the levels that
  // describe a user in full: the account methods get stand-ins that succeed.
  SubstitutedProcAddress<decltype(&::NetUserSetInfo)> accounts_ = SubstituteProcAddress(
      dll_.get(), FWTEST_IMPORT(NetUserSetInfo), [](auto, auto...) -> NET_API_STATUS { return 0; });
  SubstitutedProcAddress<decltype(&::NetUserGetInfo)> userInfo_ = SubstituteProcAddress(
      dll_.get(), FWTEST_IMPORT(NetUserGetInfo), [](auto, LPCWSTR, LPCWSTR, DWORD, LPBYTE* buffer) -> NET_API_STATUS {
        const NET_API_STATUS status = NetApiBufferAllocate(sizeof(USER_INFO_3), reinterpret_cast<void**>(buffer));
        if (status == 0) ZeroMemory(*buffer, sizeof(USER_INFO_3));
        return status;
      });
  TestVm tableVm_;
  fwcall::MethodTable table_;
  TestVm setupVm_;
  TempFolder temp_;
  TempFolder programs_;  // the clean-up programs' copies, which may still run after their call
  std::optional<ScopedWinInit> winInit_{std::in_place};  // what a run schedules for the next start goes with it
  std::optional<ScopedPendingRenames> pending_{std::in_place};
  std::vector<fw::UniqueFileHandle> held_;  // files a scenario holds open, as another program would
  std::string folder_ = Narrow(temp_.path());
  int runs_ = 0;
  bool pathsInFolder_ = false;
};

}  // namespace sweep
}  // namespace fwtest
