// Every Win32 call of every native method made to fail, one at a time. For each method a scenario
// that succeeds runs first while the calls the shipped DLL makes are counted (its imports, and the
// functions it binds by name); then the scenario runs once per counted call with that call failing
// as the function reports a failure (ERROR_NOT_ENOUGH_MEMORY, or 127 for a look-up). Each run must
// end in the method's documented outcome: one ServiceException with the method's code (or E_FAIL)
// whose message names the injected error, and the default result, with the files and keys the
// scenarios touch as the call found them (a removal may stop half-way); or, when the library absorbs
// the failure (a failed close, a fallback), the same answer and the same changes as without it. No
// JNI misuse, no handle or heap block left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "declared_natives.h"
#include "reliability/sweep_scenarios.h"
#include "support/fake_import.h"
#include "support/import_table.h"
#include "support/win32_catalogue.h"

namespace fwtest {
namespace {

using namespace sweep;

// Counting and failing the Win32 calls the DLL makes, function by function, from the catalogue of
// the functions the library calls (support/win32_catalogue.h).
struct CallSite {
  std::string function;  // none when empty
  int occurrence = 1;  // the n-th call of the function in the scenario
};

struct Entry;
using PatchMaker = std::shared_ptr<void> (*)(HMODULE, const Entry&, std::atomic<int>* calls, int failAt, DWORD error);

struct Entry {
  const char* name;
  bool bound;
  Failure failure;
  PatchMaker patch;
};

// Counts every call; the `failAt`-th (none when 0) fails as the entry says.
template <typename Fn>
std::shared_ptr<void> Patch(HMODULE module, const Entry& e, std::atomic<int>* calls, int failAt, DWORD error) {
  auto behaviour = [=, failure = e.failure](Fn original, auto... args) {
    using R = decltype(original(args...));
    if (++*calls != failAt) return original(args...);
    if (failure == Failure::Release) original(args...);
    SetLastError(error);
    return FailureResult<R>(failure, error);
  };
  return Patched(module, ImportOf<Fn>{e.name}, e.bound, std::move(behaviour));
}

#define FW_IMPORT_ENTRY(function, failure) {#function, false, Failure::failure, &Patch<decltype(&::function)>},
#define FW_BOUND_ENTRY(function, failure) {#function, true, Failure::failure, &Patch<decltype(&::function)>},
const Entry kEntries[] = {FW_WIN32_IMPORTS(FW_IMPORT_ENTRY) FW_WIN32_BOUND(FW_BOUND_ENTRY)};

// Called but never made to fail: functions that cannot fail, questions with no failure result,
// functions that return nothing, releases that fail only for a bad pointer, and the language
// runtime's own imports (locks, thread-local storage, exceptions, relocation at load), which are
// not the library's calls.
const std::set<std::string> kNotFailed = {
    "GetLastError", "SetLastError", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread",
    "GetCurrentThreadId", "GetACP", "SetErrorMode", "ShowWindow", "wsprintfA", "IsDBCSLeadByteEx", "IsWindowVisible",
    "IsValidSecurityDescriptor", "EqualSid", "GetSystemInfo", "Sleep", "CoUninitialize", "SHChangeNotify", "LocalFree",
    "FreeSid", "DisableThreadLibraryCalls", "InitializeCriticalSection", "DeleteCriticalSection", "EnterCriticalSection",
    "LeaveCriticalSection", "CreateSemaphoreW", "CreateSemaphoreA", "ReleaseSemaphore", "TlsAlloc", "TlsFree",
    "TlsGetValue", "TlsSetValue", "VirtualProtect", "VirtualQuery", "RaiseException", "RtlCaptureContext",
    "RtlLookupFunctionEntry", "RtlUnwindEx", "RtlVirtualUnwind"};

const Entry* Find(const std::string& name) {
  for (const Entry& e : kEntries) {
    if (name == e.name) return &e;
  }
  return nullptr;
}

bool IsCatalogued(const std::string& function) { return Find(function) != nullptr || kNotFailed.count(function); }

const Entry& Require(const std::string& name) {
  const Entry* e = Find(name);
  if (e == nullptr) throw std::invalid_argument("not in the Win32 catalogue: " + name);
  return *e;
}

// Counts the calls `module` makes to the catalogued functions it imports and to those in `bound`
// (each must be catalogued as bound) and records the names it looks up successfully. Given a
// `fault`, it patches that function only, and its call there fails as the function reports a
// failure, with `error` as the last error.
class CallCounter {
 public:
  explicit CallCounter(HMODULE module, const std::set<std::string>& bound = {}, const CallSite& fault = {},
                       DWORD error = 0) {
    auto add = [&](const Entry& e, int failAt) {
      auto calls = std::make_unique<std::atomic<int>>(0);
      patches_.push_back(e.patch(module, e, calls.get(), failAt, error));
      counts_.emplace_back(e.name, std::move(calls));
    };
    // A faulty run patches the one function: a bound function's substitute would hand out its entry
    // even when the look-up under it fails.
    if (!fault.function.empty()) {
      add(Require(fault.function), fault.occurrence);
      return;
    }
    for (const Entry& e : kEntries) {
      if (!e.bound && !FindImportSlots(module, e.name).empty()) add(e, 0);
    }
    for (const std::string& name : bound) {
      const Entry& e = Require(name);
      if (!e.bound) throw std::invalid_argument(name + " is catalogued as an import, but was bound by name");
      add(e, 0);
    }
    patches_.push_back(Patched(module, FWTEST_IMPORT(GetProcAddress), false,
        [this](auto original, HMODULE target, LPCSTR name) -> FARPROC {
          const FARPROC address = original(target, name);
          const DWORD error = GetLastError();
          if (address != nullptr && reinterpret_cast<ULONG_PTR>(name) >= 0x10000) {
            std::lock_guard<std::mutex> lock(mutex_);
            resolved_.insert(name);
          }
          SetLastError(error);
          return address;
        }));
  }
  ~CallCounter() {
    while (!patches_.empty()) patches_.pop_back();  // in the reverse order of their making
  }

  std::map<std::string, int> Counts() const {
    std::map<std::string, int> counts;
    for (const auto& [name, calls] : counts_) {
      if (*calls > 0) counts[name] = *calls;
    }
    return counts;
  }
  std::set<std::string> Resolved() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return resolved_;
  }

 private:
  std::vector<std::pair<const char*, std::unique_ptr<std::atomic<int>>>> counts_;
  std::vector<std::shared_ptr<void>> patches_;
  mutable std::mutex mutex_;
  std::set<std::string> resolved_;
};

// Imports of `module` other than the C runtime's that no list names.
std::vector<std::string> UncataloguedImports(HMODULE module) {
  std::vector<std::string> missing;
  for (const std::string& name : ImportedFunctionNames(module)) {
    if (FindImportSlots(module, name.c_str(), "msvcrt.dll").empty() && !IsCatalogued(name)) missing.push_back(name);
  }
  return missing;
}

constexpr DWORD kInjectedError = ERROR_NOT_ENOUGH_MEMORY;

// Functions whose failure the library reports with a number of its own, since they set no last
// error (the shell's path look-up, the drive type) or only shape the message (the message text).
const std::set<std::string> kOwnNumber = {"SHGetPathFromIDListA", "GetDriveTypeA", "GetDriveTypeW", "FormatMessageA",
                                          "FormatMessageW"};
// What a method answers when it has nothing better: methods that never throw answer so after a
// failure, and the others return it under their exception.
const std::set<std::string> kFallbacks = {"null", "\"\"", "[]", "0", "-1", "false"};
// Look-ups of a module or function: their failure means the system lacks the function, which the
// library reports as 127 or, where it only opens something, answers with its fallback.
const std::set<std::string> kLookups = {"GetModuleHandleA", "GetModuleHandleW", "GetProcAddress",
                                        "LoadLibraryA",     "LoadLibraryW",     "LoadLibraryExA"};

// Answers that move between runs: free space, a running service's state.
const std::set<std::string> kUnsteadyAnswers = {"getPartitionFreeSpace", "controlNTService",
                                                "queryWin2kServiceStatusProcess"};
// Removals that stop at a failure, leaving gone what went before it.
const std::set<std::string> kRemovals = {"win32DeleteDirectory", "removeDesktopFolder", "removeDesktopItem"};

struct MethodRecord {
  std::optional<jint> code;      // its OperationCodes constant; none for a method that never throws
  std::optional<jint> otherCode;  // a second code of its own (serviceExists: the manager's; a new user's groups)
  bool steadyAnswer = true;      // false when the answer moves between runs (free space)
  bool countHeap = true;         // false when the call's effect lives in the process (Wine's accounts)
  std::string thrownFallback;    // what it returned under its first exception
  bool removal = false;          // true when a failure may leave part of its removal done
};

// The lines of one state that the other lacks: "-" before those of `from`, "+" before those of `to`
// (only these when `madeOnly`).
std::string Difference(const std::string& from, const std::string& to, bool madeOnly = false) {
  const auto lines = [](const std::string& text) {
    std::set<std::string> set;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) set.insert(line);
    return set;
  };
  const std::set<std::string> a = lines(from), b = lines(to);
  std::string difference;
  for (const std::string& line : a) difference += b.count(line) || madeOnly ? "" : " -" + line;
  for (const std::string& line : b) difference += a.count(line) ? "" : " +" + line;
  return difference;
}

// What the 9x family refuses with OPERATION_NOT_SUPPORTED: owners and accounts.
const std::set<std::string> kRefusedOn9x = {
    "getFileOwner", "setFileOwner", "getFileOwnerGroup", "setFileOwnerGroup", "getDesktopItemOwner",
    "setDesktopItemOwner", "getDesktopItemOwnerGroup", "setDesktopItemOwnerGroup", "getDesktopFolderOwner",
    "setDesktopFolderOwner", "getDesktopFolderOwnerGroup", "setDesktopFolderOwnerGroup", "win32CreateUser",
    "deleteUser", "win32CreateGroup", "deleteGroup"};

// Runs without faults that Wine cannot answer as Windows does, with the error it gives: it keeps no
// failure actions, and its query of them answers ERROR_INVALID_LEVEL.
const std::map<std::string, std::u16string> kWineRefusals = {{"queryWin2kServiceFailureActions", u"(124)"}};

// The problem with the run without faults, or "": it must answer without an exception (or with the
// refusal of a family that lacks the operation, or Wine's) and leave nothing behind.
std::string BaselineProblem(const Outcome& baseline, const MethodRecord& method, bool refused,
                            const std::u16string& wineError) {
  if (!baseline.violations.empty()) return "JNI misuse: " + baseline.violations.front();
  if (!baseline.growth.empty() && (method.countHeap || baseline.growth.rfind("handles", 0) == 0)) {
    return "left behind: " + baseline.growth;
  }
  if (refused) {
    if (!baseline.threw || baseline.code != std::optional<jint>(kNotSupported)) return "not refused: " + baseline.json;
  } else if (!wineError.empty()) {
    const std::u16string& m = baseline.message;
    if (!baseline.threw || baseline.code != method.code || m.size() < wineError.size() ||
        m.compare(m.size() - wineError.size(), wineError.size(), wineError) != 0) {
      return "did not end as under Wine: " + Narrow(m);
    }
  } else if (baseline.threw) {
    return "threw " + std::to_string(baseline.code.value_or(0)) + " " + Narrow(baseline.message);
  }
  return "";
}

// The problem with one faulty run, or "".
std::string Judge(const Outcome& baseline, const Outcome& run, MethodRecord& method, const CallSite& site,
                  DWORD error) {
  if (!run.violations.empty()) return "JNI misuse: " + run.violations.front();
  if (!run.misplaced.empty()) return "touched the registry outside its keys: " + run.misplaced;
  if (!run.growth.empty() && (method.countHeap || run.growth.rfind("handles", 0) == 0)) {
    return "left behind: " + run.growth;
  }
  if (!run.threw) {
    // The library absorbed the failure (a failed close, a fallback): the answer and what the call
    // changed must not differ, unless the method answers its fallback instead of ever throwing.
    if (method.code && run.state != baseline.state) {
      return "changed other than without it:" + Difference(baseline.state, run.state);
    }
    if (run.json == baseline.json || (!baseline.threw && !method.steadyAnswer)) return "";
    if ((!method.code || kLookups.count(site.function)) && kFallbacks.count(run.json)) return "";
    return "answered " + run.json + " instead of " + (baseline.threw ? "an exception" : baseline.json);
  }
  if (run.exceptionClass != kServiceException) return "threw " + run.exceptionClass;
  // A scenario that fails anyway may fail the same way whatever else fails first, or without the
  // system's text of its error when that text is what did not convert.
  if (baseline.threw && run.code == baseline.code &&
      (run.message == baseline.message || (run.message.rfind(u" (", 0) == 0 && baseline.message.size() > run.message.size() &&
                                           baseline.message.compare(baseline.message.size() - run.message.size(),
                                                                    run.message.size(), run.message) == 0))) {
    return "";
  }
  // A failure leaves what the call found; a removal may stop half-way, but makes nothing.
  const std::string left = Difference(run.before, run.state, method.removal);
  if (!left.empty()) return "changed, and threw:" + left;
  if (!method.code) return "threw, but the method answers without exceptions";
  if (run.code != method.code && run.code != method.otherCode && run.code != std::optional<jint>(kEFail)) {
    return "code " + std::to_string(run.code.value_or(0));
  }
  if (!kFallbacks.count(run.json)) return "threw and returned " + run.json;
  if (method.thrownFallback.empty()) method.thrownFallback = run.json;
  if (run.json != method.thrownFallback) return "threw and returned " + run.json + ", elsewhere " + method.thrownFallback;
  const bool hresult = Find(site.function) != nullptr && Find(site.function)->failure == Failure::Hresult;
  const unsigned long number = hresult ? static_cast<unsigned long>(HRESULT_FROM_WIN32(error)) : error;
  const std::u16string expected = u"(" + U16Of(std::to_string(number)) + u")";
  const bool missing = kLookups.count(site.function) && run.message.find(u"(127)") != std::u16string::npos;
  if (run.code != std::optional<jint>(kEFail) && !kOwnNumber.count(site.function) && !missing &&
      run.message.find(expected) == std::u16string::npos) {
    return "message does not name the error: " + Narrow(run.message);
  }
  return "";
}

// Call sites where the library does not hold, each with what it does instead and the one kind of
// problem it excuses (by the start of the judge's text). A gap never excuses JNI misuse, data
// touched outside the scenario's keys, or any other problem. A gap that starts to hold fails the
// sweep until it is taken off this list.
struct KnownGap {
  const char* method;    // "Class.method", or "Class.*" for every method of a class
  const char* function;  // a function's name or pattern, alternatives between "|"
  const char* reason;
  const char* only;      // the problem it excuses, e.g. "changed other than without it"
};
const KnownGap kKnownGaps[] = {
    {"Win32DesktopServiceImpl.*", "SHGetMalloc",
     "the shell's item list is freed through the shell's allocator; without it, it stays", "left behind: heap blocks +1 "},
    {"Win32RegistryServiceImpl.getStringValue", "ExpandEnvironmentStrings*", "a failed expansion answers an empty string",
     "answered \"\" "},
    {"Win32FileServiceImpl.win32GetWindowsDirectory", "GetWindowsDirectory*",
     "only the first call, which sizes the buffer, is checked: a failed second one answers an empty string", "answered \"\" "},
    {"Win32FileServiceImpl.getTempDirectory", "GetTempPath*",
     "only the first call, which sizes the buffer, is checked: a failed second one leaves an empty path, whose error is reported",
     "message does not name the error"},
    {"Win32DesktopServiceImpl.create*", "GetFileAttributes*",
     "a base folder whose attributes cannot be read counts as missing", "message does not name the error"},
    {"Win32DesktopServiceImpl.remove*", "GetFileAttributes*",
     "a folder or item whose attributes cannot be read counts as gone", "changed other than without it"},
    {"Win32DesktopServiceImpl.removeDesktop*", "RemoveDirectoryA",
     "Windows 9x leaves a folder it cannot remove without a word, as it cannot tell one still in use", "changed other than without it"},
    // The administrator test: its look-ups, the token and the group's identifier.
    {"Win32ProductServiceImpl.*", "GetProcAddress|OpenProcessToken|OpenThreadToken|GetTokenInformation|AllocateAndInitializeSid",
     "a failed administrator test counts as a standard user's: the entry goes to the user's list", "changed other than without it"},
    {"Win32ProductServiceImpl.win32RegisterUninstaller", "Reg*|WideCharToMultiByte",
     "the entry is written value by value, and a failure leaves the values written before it", "changed, and threw"},
    // Proved by the runs in which WaitForInputIdle fails: they leave none.
    {"Win32SystemUtilServiceImpl.nativeDeleteFilesAfterExit", "*",
     "Wine's WaitForInputIdle keeps a handle to the started program's idle event", "left behind: handles +1"},
};

// "name", or a prefix followed by "*" (A and W forms, a class's methods); alternatives between "|".
bool Matches(const std::string& pattern, const std::string& name) {
  if (const std::size_t bar = pattern.find('|'); bar != std::string::npos) {
    return Matches(pattern.substr(0, bar), name) || Matches(pattern.substr(bar + 1), name);
  }
  if (pattern.back() != '*') return pattern == name;
  return name.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
}

const KnownGap* GapOf(const std::string& method, const std::string& function) {
  for (const KnownGap& gap : kKnownGaps) {
    if (Matches(gap.method, method) && Matches(gap.function, function)) return &gap;
  }
  return nullptr;
}

TEST(CallSitesTest, EveryWin32CallOfEveryMethodFailsCleanly) {
  CallSiteSweep sweep;
  TestVm namesVm;
  const std::vector<std::string> uncatalogued = UncataloguedImports(sweep.dll());
  EXPECT_TRUE(uncatalogued.empty()) << "imports missing from support/win32_catalogue.h: " << ::testing::PrintToString(uncatalogued);

  // Every native method has a scenario.
  std::set<std::string> covered;
  for (const Scenario& s : kScenarios) covered.insert(sweep.Method(s.call).QualifiedName());
  for (const DeclaredNative& d : DeclaredNatives(namesVm)) {
    const std::string simple = d.className.substr(d.className.rfind('/') + 1) + "." + d.name;
    EXPECT_TRUE(covered.count(simple)) << "no scenario for " << simple;
  }

  int tried = 0, held = 0;
  std::map<const KnownGap*, int> gaps, gapTries;  // sites that failed as a known gap says, sites it covers
  std::vector<std::string> problems;
  const char* only = std::getenv("FW_SWEEP_ONLY");  // a part of the method names, when working on some
  for (const Scenario& scenario : kScenarios) {
    if (only != nullptr && scenario.call.find(only) == std::string::npos) continue;
    const DWORD started = GetTickCount();
    const fwcall::NativeMethod& method = sweep.Method(scenario.call);
    int methodTried = 0, methodHeld = 0;
    try {
    const std::string& methodName = method.declared.name;
    MethodRecord record{namesVm.StaticIntConstant(kOperationCodes, CodeName(methodName)),
                        methodName == "serviceExists"     ? std::optional<jint>(-1200012)
                        : methodName == "win32CreateUser" ? std::optional<jint>(-110001)  // its groups
                                                          : std::nullopt,
                        kUnsteadyAnswers.count(methodName) == 0, methodName != "win32CreateUser", "",
                        kRemovals.count(methodName) != 0};

    // The calls it makes: imports and look-ups first, then the bound functions it resolved.
    sweep.Prepare(scenario);
    std::set<std::string> resolved;
    {
      CallCounter counter(sweep.dll());
      sweep.Measured(scenario.call);
      resolved = counter.Resolved();
    }
    std::set<std::string> bound;
    for (const std::string& name : resolved) {
      if (!IsCatalogued(name)) {
        problems.push_back(method.QualifiedName() + ": binds " + name + ", which support/win32_catalogue.h lacks");
      } else if (kNotFailed.count(name) == 0) {
        bound.insert(name);
      }
    }
    sweep.Prepare(scenario);
    std::map<std::string, int> counts;
    Outcome baseline;
    {
      CallCounter counter(sweep.dll(), bound);
      baseline = sweep.Measured(scenario.call);
      counts = counter.Counts();
    }
    // Judged on a run of its own, with nothing patched: the counting's patches allocate as they go.
    // The system's own caches may fill on a first call: a real leak grows again.
    Outcome plain;
    for (int attempt = 0; attempt < 2 && (attempt == 0 || !plain.growth.empty()); ++attempt) {
      sweep.Prepare(scenario);
      plain = sweep.Measured(scenario.call);
    }
    const bool refused = (GetVersion() & 0x80000000u) != 0 && kRefusedOn9x.count(methodName) != 0;
    const auto wine = kWineRefusals.find(methodName);
    const std::u16string wineError = wine != kWineRefusals.end() ? wine->second : u"";
    if (const std::string problem = BaselineProblem(plain, record, refused, wineError); !problem.empty()) {
      // A gap of every call site covers the run without faults too; only call sites are counted.
      const KnownGap* gap = GapOf(method.QualifiedName(), "(no fault)");
      if (gap == nullptr || problem.rfind(gap->only, 0) != 0) {
        problems.push_back(method.QualifiedName() + " without faults: " + problem);
      }
    }

    for (const auto& [function, count] : counts) {
      for (int occurrence = 1; occurrence <= count; ++occurrence) {
        const CallSite site{function, occurrence};
        const DWORD error = function == "GetProcAddress" ? ERROR_PROC_NOT_FOUND : kInjectedError;
        Outcome run;
        // The system's own caches may fill on a first failure: a real leak grows again.
        for (int attempt = 0; attempt < 2 && (attempt == 0 || !run.growth.empty()); ++attempt) {
          sweep.Prepare(scenario);
          CallCounter fault(sweep.dll(), bound, site, error);
          run = sweep.Measured(scenario.call);
        }
        ++methodTried;
        const std::string problem = Judge(baseline, run, record, site, error);
        const KnownGap* gap = GapOf(method.QualifiedName(), function);
        if (gap != nullptr) ++gapTries[gap];
        // Data touched outside the scenario's keys is never a known gap.
        if (gap != nullptr && !problem.empty() && run.misplaced.empty() && problem.rfind(gap->only, 0) == 0) {
          ++gaps[gap];
        } else if (problem.empty()) {
          ++methodHeld;
        } else {
          problems.push_back(method.QualifiedName() + " with " + function + " #" + std::to_string(occurrence) +
                             " failing: " + problem);
        }
      }
    }
    } catch (const std::exception& e) {
      problems.push_back(method.QualifiedName() + ": " + e.what());
    }
    std::printf("[ sweep    ] %-62s %3d call sites, %3d held (%lu ms)\n", method.QualifiedName().c_str(),
                methodTried, methodHeld, GetTickCount() - started);
    tried += methodTried;
    held += methodHeld;
  }
  sweep.CleanAll();
  int gapSites = 0;
  for (const KnownGap& gap : kKnownGaps) {
    if (gaps.count(&gap) == 0) {
      // A gap of the other family's functions is not reached in this run.
      if (gapTries.count(&gap) != 0) problems.push_back(std::string("known gap now holds (take it off the list): ") + gap.method + " " + gap.function);
    } else {
      gapSites += gaps[&gap];
      std::printf("[ sweep    ] known gap, %3d sites: %s with %s: %s\n", gaps[&gap], gap.method, gap.function, gap.reason);
    }
  }
  std::printf("[ sweep    ] %zu methods: %d call sites tried, %d held, %d in known gaps\n", kScenarios.size(), tried,
              held, gapSites);
  std::string all;
  for (const std::string& p : problems) all += "\n  " + p;
  EXPECT_TRUE(problems.empty()) << problems.size() << " call sites did not hold:" << all;
}

}  // namespace
}  // namespace fwtest
