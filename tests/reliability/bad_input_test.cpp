// Bad input on every parameter of every native method, through the built DLL as a JVM calls it.
// Each method's call-site scenario (sweep_scenarios.h) is prepared, then its call is made once per
// parameter and bad value, the other arguments as the scenario gives them: texts null, empty, 32,767
// and 70,000 characters long, with an unpaired surrogate or an embedded zero; ints and longs 0, -1
// and both extremes; arrays and enumerations null, empty or holding a null; peers null, of a class
// that cannot be found, without getters, or whose getters answer the bad values. Every call must end
// with the method's result or one clear ServiceException of its own code, without JNI misuse, and
// change nothing outside the scenario's folder (Sandbox).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "embedded_manifests.h"
#include "manifest.h"
#include "registry/registry_test_key.h"
#include "reliability/sweep_scenarios.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

using namespace sweep;
using Text = std::optional<std::u16string>;

constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";
constexpr wchar_t kVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The full path in lower case; nullopt when the system cannot make one. The paths the ANSI functions
// are given here are ASCII (an unpaired surrogate reaches them as '?').
template <typename Char>
std::optional<std::wstring> FullPath(const Char* path) {
  if (path == nullptr || *path == 0) return std::nullopt;
  const std::wstring wide(path, path + std::char_traits<Char>::length(path));
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD length = full.empty() ? 0 : GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return std::nullopt;
  full.resize(length);
  for (wchar_t& c : full) c = static_cast<wchar_t>(towlower(c));
  return full;
}

std::vector<std::wstring> DriveRootEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const fw::UniqueFindHandle find(FindFirstFileW((folder.substr(0, 3) + L"*").c_str(), &entry));
  if (!find) return names;
  do names.push_back(entry.cFileName);
  while (FindNextFileW(find.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

// The folder is the current directory while it lives; the process variables the scenarios set
// (under "FWSWEEP", the bad names following it) go with it.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::wstring& directory) {
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    saved_ = saved;
    if (!SetCurrentDirectoryW(directory.c_str())) throw std::runtime_error("cannot enter the test folder");
  }
  ~ScopedCurrentDirectory() {
    SetCurrentDirectoryW(saved_.c_str());
    std::vector<std::wstring> names;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
      if (_wcsnicmp(entry, L"FWSWEEP", 7) == 0) names.emplace_back(entry, wcscspn(entry + 1, L"=") + 1);
    }
    if (block != nullptr) FreeEnvironmentStringsW(block);
    for (const std::wstring& name : names) SetEnvironmentVariableW(name.c_str(), nullptr);
  }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::wstring saved_;
};

constexpr DWORD kChangingAccess = GENERIC_WRITE | GENERIC_ALL | DELETE | WRITE_DAC | WRITE_OWNER |
                                  FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA;

bool Changes(DWORD access, DWORD disposition, DWORD flags) {
  return (access & kChangingAccess) != 0 || disposition != OPEN_EXISTING || (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0;
}

// The places the bad calls may reach, all of them the test's own while it lives:
// - the current directory is the scenarios' folder, so a relative or empty path stays inside it;
// - HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE lead to keys below a test key, holding the few keys
//   the library expects (RunOnce, Uninstall, the environment keys);
// - the library's own file changes (create, copy, move, delete, attributes, security) outside the
//   folder are refused with access denied and recorded as escapes.
// At the end the current directory is put back; the sweep puts back the pending renames and
// WinInit.Ini after each scenario.
class Sandbox {
 public:
  explicit Sandbox(CallSiteSweep& sweep);
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // Ends the patches and the redirection, then lists the file changes refused outside the folder
  // and a change in the root of the folder's drive.
  std::vector<std::string> Finish();

 private:
  bool Inside(const std::wstring& full) const {
    for (const std::wstring& folder : inside_) {
      if (full.compare(0, folder.size(), folder) == 0 || full + L"\\" == folder) return true;
    }
    return full == winInit_;
  }
  // True when the change may go ahead; otherwise recorded, with access denied as the last error.
  template <typename Char>
  bool Allow(const char* function, const Char* path) {
    const std::optional<std::wstring> full = FullPath(path);
    if (!full || Inside(*full)) return true;  // what has no full path fails in the system itself
    escapes_.push_back(std::string(function) + " " + Narrow(*full));
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  template <typename T>
  bool AllowArgument(const char* function, T argument) {
    if constexpr (std::is_same_v<T, LPCSTR> || std::is_same_v<T, LPCWSTR> || std::is_same_v<T, LPWSTR>) {
      return Allow(function, argument);
    } else {
      return true;
    }
  }
  // Patches `function` (an import, or one bound by name): a call with a text argument that names a
  // path outside fails (FALSE, or INVALID_HANDLE_VALUE), unless `harmless` says it changes nothing.
  template <typename Fn, typename Harmless>
  void Guard(ImportOf<Fn> function, bool bound, Harmless harmless) {
    auto behaviour = [this, harmless, name = function.name](Fn original, auto... args) {
      using Result = decltype(original(args...));
      if (harmless(args...) || (AllowArgument(name, args) && ...)) return original(args...);
      if constexpr (std::is_pointer_v<Result>) {
        return Result(INVALID_HANDLE_VALUE);
      } else {
        return Result{FALSE};
      }
    };
    fakes_.push_back(Patched(library_, function, bound, std::move(behaviour)));
  }

  std::wstring winInit_;  // full, in lower case
  ScopedCurrentDirectory directory_;
  // The scenarios' folder and that of their clean-up programs: full paths in lower case, with a
  // trailing backslash.
  std::vector<std::wstring> inside_;
  std::vector<std::wstring> rootBefore_;
  std::optional<RedirectedRoots> roots_;
  HMODULE library_;
  std::vector<std::string> escapes_;
  std::vector<std::shared_ptr<void>> fakes_;
};

Sandbox::Sandbox(CallSiteSweep& sweep)
    : winInit_(*FullPath(sweep.Expand("{W}").c_str())),
      directory_(sweep.Folder()),
      inside_{*FullPath(sweep.Folder().c_str()) + L"\\", *FullPath(sweep.ProgramsFolder().c_str()) + L"\\"},
      rootBefore_(DriveRootEntries(inside_[0])),
      library_(sweep.dll()) {
  const std::wstring version = kVersionKey;
  roots_.emplace(std::initializer_list<std::wstring>{version + L"\\Uninstall", version + L"\\RunOnce",
                                                     L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"},
                 std::initializer_list<std::wstring>{L"Environment", version + L"\\Uninstall"});
  if (!roots_->ok()) throw std::runtime_error("cannot redirect the registry roots");

  // The library's file changes, by the paths they are given, in both forms of each function.
  const auto never = [](auto...) { return false; };
  // Making a directory that exists changes nothing: the walk through a path's levels does that.
  const auto existing = [](auto path, auto) { return FullPath(path) && Exists(*FullPath(path)); };
  const auto reading = [](auto, DWORD access, DWORD, auto, DWORD disposition, DWORD flags, HANDLE) {
    return !Changes(access, disposition, flags);
  };
#define FW_GUARD(function, harmless)                  \
  Guard(FWTEST_IMPORT(function##W), false, harmless); \
  Guard(FWTEST_IMPORT(function##A), false, harmless)
  FW_GUARD(RemoveDirectory, never);
  FW_GUARD(DeleteFile, never);
  FW_GUARD(SetFileAttributes, never);
  FW_GUARD(CreateDirectory, existing);
  FW_GUARD(CopyFile, never);
  FW_GUARD(CreateFile, reading);
#undef FW_GUARD
  Guard(FWTEST_IMPORT(MoveFileA), false, never);
  Guard(FWTEST_IMPORT(MoveFileExW), true, never);  // bound by name at each call
  Guard(FWTEST_IMPORT(SetFileSecurityW), true, never);
}

std::vector<std::string> Sandbox::Finish() {
  fakes_.clear();
  roots_.reset();
  std::vector<std::string> escapes = escapes_;
  if (DriveRootEntries(inside_[0]) != rootBefore_) escapes.push_back("the drive's root changed");
  return escapes;
}

// One bad value: it takes the place of the argument made from the scenario's word (which `make` is
// given); `hide` runs once the arguments are made.
struct BadValue {
  std::string label;
  std::function<jvalue(TestVm&, jvalue scenario)> make;
  std::function<void(TestVm&)> hide;
};

jvalue Ref(jobject ref) {
  jvalue v{};
  v.l = ref;
  return v;
}

bool IsString(const vm::TypeDesc& t) { return t.text == "Ljava/lang/String;"; }
bool IsEnumeration(const vm::TypeDesc& t) { return t.text == "Ljava/util/Enumeration;"; }

std::u16string Padded(const Text& base, std::size_t length) {
  const std::u16string start = base ? *base + u"\\" : u"";
  return start + std::u16string(length > start.size() ? length - start.size() : 0, u'a');
}

// The bad texts, each made from the scenario's text (nullopt: none).
std::vector<std::pair<std::string, std::function<Text(const Text&)>>> BadTexts() {
  const auto some = [](const Text& t) { return t && !t->empty() ? *t : std::u16string(u"x"); };
  return {{"null", [](const Text&) { return Text(); }},
          {"empty", [](const Text&) { return Text(u""); }},
          {"32767 characters", [](const Text& t) { return Text(Padded(t, 32767)); }},
          {"70000 characters", [](const Text& t) { return Text(Padded(t, 70000)); }},
          {"an unpaired surrogate", [some](const Text& t) { return Text(some(t) + u"\xD800z"); }},
          {"an embedded zero", [some](const Text& t) { return Text(some(t) + std::u16string(1, u'\0') + u"z"); }}};
}

template <typename T>
std::vector<std::pair<std::string, jlong>> BadNumbers() {
  return {{"0", 0}, {"-1", -1}, {"the least", std::numeric_limits<T>::min()}, {"the greatest", std::numeric_limits<T>::max()}};
}

std::vector<BadValue> BadPeers(const vm::Manifest& manifest, const std::string& cls) {
  // The class's getters: all of them under "*", and by what they answer ("I", "Ljava/lang/String;" ...).
  std::map<std::string, std::vector<std::string>> getters;
  for (const vm::MethodDecl& m : manifest.Find(cls)->methods) {
    const std::size_t prefix = m.name.rfind("get", 0) == 0 ? 3 : m.name.rfind("is", 0) == 0 ? 2 : 0;
    if (prefix == 0 || (m.flags & vm::kStatic) != 0) continue;
    getters["*"].push_back(m.name);
    if (m.descriptor.rfind("()", 0) == 0) getters[m.descriptor.substr(2)].push_back(m.name.substr(prefix));
  }
  const auto same = [](TestVm&, jvalue v) { return v; };
  std::vector<BadValue> bad{
      {"null", [](TestVm&, jvalue) { return Ref(nullptr); }, nullptr},
      {"of a class that cannot be found", same, [cls](TestVm& vm) { vm.HideClass(cls); }},
      {"without getters", same, [cls, names = getters["*"]](TestVm& vm) {
         for (const std::string& name : names) vm.HideMethod(cls, name);
       }}};
  // Every getter of one kind answers the same bad value.
  using Setter = std::function<void(TestVm&, jobject, const std::string&)>;
  const auto answering = [&](const std::string& kind, const std::string& label, Setter set) {
    if (getters[kind].empty()) return;
    bad.push_back({"whose getters of " + kind + " answer " + label, [properties = getters[kind], set](TestVm& vm, jvalue v) {
                     for (const std::string& p : properties) set(vm, v.l, p);
                     return v;
                   }, nullptr});
  };
  for (const auto& [label, n] : BadNumbers<jint>()) {
    answering("I", label, [n = n](TestVm& vm, jobject peer, const std::string& p) { vm.SetIntProperty(peer, p, n); });
  }
  for (const auto& [label, text] : BadTexts()) {
    answering("Ljava/lang/String;", label, [t = text(std::nullopt)](TestVm& vm, jobject peer, const std::string& p) {
      vm.SetStringProperty(peer, p, t ? std::optional<std::u16string_view>(*t) : std::nullopt);
    });
  }
  const std::pair<const char*, std::optional<StringList>> lists[] = {
      {"null", std::nullopt}, {"empty", StringList{}}, {"holding a null", StringList{std::nullopt}}};
  for (const auto& [label, list] : lists) {
    answering("[Ljava/lang/String;", label, [l = list](TestVm& vm, jobject peer, const std::string& p) {
      vm.SetObjectProperty(peer, p, l ? vm.StringArray(*l) : nullptr);
    });
  }
  return bad;
}

std::vector<BadValue> BadValues(const vm::Manifest& manifest, const vm::TypeDesc& type) {
  std::vector<BadValue> bad;
  if (IsString(type)) {
    for (const auto& [label, text] : BadTexts()) {
      bad.push_back({label, [text = text](TestVm& vm, jvalue v) {
                       const Text t = text(vm.StringValue(v.l));
                       return Ref(t ? vm.String(*t) : nullptr);
                     }, nullptr});
    }
  } else if (type.kind == 'I' || type.kind == 'J') {
    for (const auto& [label, n] : type.kind == 'I' ? BadNumbers<jint>() : BadNumbers<jlong>()) {
      jvalue v{};
      if (type.kind == 'I') v.i = static_cast<jint>(n);
      if (type.kind == 'J') v.j = n;
      bad.push_back({label, [v](TestVm&, jvalue) { return v; }, nullptr});
    }
  } else if (type.kind == '[' || IsEnumeration(type)) {
    const bool bytes = type.text == "[B", enumeration = IsEnumeration(type);
    const auto make = [enumeration](TestVm& vm, const StringList& list) {
      return Ref(enumeration ? vm.Enumeration(list) : vm.StringArray(list));
    };
    bad.push_back({"null", [](TestVm&, jvalue) { return Ref(nullptr); }, nullptr});
    bad.push_back({"empty", [bytes, make](TestVm& vm, jvalue) { return bytes ? Ref(vm.ByteArray({})) : make(vm, {}); }, nullptr});
    if (!bytes) {
      bad.push_back({"holding a null", [enumeration, make](TestVm& vm, jvalue v) {
                       StringList list = (enumeration ? vm.StringElements(v.l) : vm.StringArrayValue(v.l)).value_or(StringList{});
                       if (list.empty()) list.emplace_back();
                       list.front() = std::nullopt;
                       return make(vm, list);
                     }, nullptr});
    }
  } else if (type.kind == 'L') {
    return BadPeers(manifest, type.ClassName());
  }
  return bad;
}

// "The system's text (n)"; no message at all only with a code that carries none (E_FAIL for a failure
// that is no Win32 error, E_INVALIDARG for an argument refused before any call, the unsupported
// operation's code): a method's own code always comes with the error's text.
bool ClearMessage(const Outcome& o, const std::set<std::optional<jint>>& silent) {
  if (!o.hasMessage) return silent.count(o.code) != 0;
  const std::u16string& m = o.message;
  const std::size_t open = m.rfind(u" (");
  if (open == std::u16string::npos || m.size() < open + 4 || m.back() != u')') return false;
  return std::all_of(m.begin() + open + 2, m.end() - 1, [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

TEST(BadInput, EveryParameterOfEveryMethodRefusesBadValuesCleanly) {
  vm::Manifest manifest;
  std::vector<std::string> manifestErrors;
  manifest.Add(vm::JdkManifestText(), "jdk", manifestErrors);
  manifest.Add(vm::JavaManifestText(), "java", manifestErrors);
  CallSiteSweep sweep;
  sweep.KeepPathsInFolder();
  Sandbox sandbox(sweep);
  TestVm codesVm;
  // What any method may throw: E_FAIL, E_INVALIDARG and the unsupported-operation code.
  const std::set<std::optional<jint>> generic = {codesVm.StaticIntConstant(kOperationCodes, "E_FAIL"),
                                                 codesVm.StaticIntConstant(kOperationCodes, "E_INVALIDARG"),
                                                 codesVm.StaticIntConstant(kServiceException, "OPERATION_NOT_SUPPORTED")};
  int calls = 0, threw = 0;
  std::vector<std::string> problems;
  for (const Scenario& scenario : kScenarios) {
    const fwcall::NativeMethod& method = sweep.Method(scenario.call);
    const std::optional<jint> own = codesVm.StaticIntConstant(kOperationCodes, CodeName(method.declared.name));
    try {
      sweep.Prepare(scenario);
      const std::wstring prepared = Wide(U16Of(sweep.Expand("FwSweepSvc{N}")));
      for (std::size_t i = 0; i < method.signature.params.size(); ++i) {
        for (const BadValue& bad : BadValues(manifest, method.signature.params[i])) {
          const std::string label = method.QualifiedName() + ", parameter " + std::to_string(i + 1) + " " + bad.label;
          std::wstring named;  // the text in its place, up to a zero, as the system reads it
          named.reserve(1 << 17);  // longer than any bad text: kept during the call, it makes no heap block
          const auto edit = [&](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>& args) {
            args[i] = bad.make(vm, args[i]);
            if (IsString(method.signature.params[i])) named = Wide(vm.StringValue(args[i].l).value_or(u"")).c_str();
            if (bad.hide) bad.hide(vm);
          };
          Outcome o = sweep.Measured(scenario.call, edit);
          // The system's own caches may fill on a first call: a real leak grows again.
          if (!o.growth.empty()) {
            sweep.Prepare(scenario);
            o = sweep.Measured(scenario.call, edit);
          }
          ++calls;
          // A service that a bad name or configuration made goes, so that the next call can make it again.
          if (method.declared.className == kServiceClass && named.rfind(L"FwSweepSvc", 0) == 0 && named != prepared) {
            RemoveService(named);
          }
          if (scenario.setup.empty()) RemoveService(prepared);
          if (!o.violations.empty()) problems.push_back(label + ": JNI misuse: " + o.violations.front());
          // Wine keeps the accounts it makes in the process's heap: only handles count there. Its
          // WaitForInputIdle keeps a handle to the started clean-up program's idle event.
          const std::string& name = method.declared.name;
          if (!o.growth.empty() && (name != "win32CreateUser" || o.growth.rfind("handles", 0) == 0) &&
              (name != "nativeDeleteFilesAfterExit" || o.growth != "handles +1")) {
            problems.push_back(label + ": left behind: " + o.growth);
          }
          if (!o.threw) continue;
          ++threw;
          if (o.exceptionClass != kServiceException) {
            problems.push_back(label + ": left pending " + o.exceptionClass);
          } else if (!o.code || (o.code != own && generic.count(o.code) == 0)) {
            problems.push_back(label + ": code " + std::to_string(o.code.value_or(0)));
          } else if (!ClearMessage(o, generic)) {
            problems.push_back(label + ": unclear message " + Narrow(o.message));
          }
        }
      }
    } catch (const std::exception& e) {
      problems.push_back(method.QualifiedName() + ": " + e.what());
    }
  }
  sweep.CleanAll();
  std::printf("bad input: %d calls, %d threw a ServiceException, %d returned\n", calls, threw, calls - threw);
  EXPECT_EQ(sandbox.Finish(), std::vector<std::string>{}) << "changes outside the test's own places";
  std::string all;
  for (const std::string& p : problems) all += "\n  " + p;
  EXPECT_TRUE(problems.empty()) << problems.size() << " calls went wrong:" << all;
}

// Registry methods on a key that is not there, and on root selectors outside 1 to 5, which reach the
// system as an invalid handle: each answers its default under its own code and the system's text,
// except where the answer is the question's (a missing key or value exists not; a missing subkey or
// value is deleted silently unless reported). No subkey never means the key itself, which the 9x
// RegDeleteKeyA would delete with its tree; a null array writes nothing; a value of another type, or
// a DWORD of 8 bytes, is the system's error.
TEST(BadInput, RegistryMethodsAnswerTheirDefaultUnderTheirOwnCode) {
  const std::map<std::string, std::string> defaults = {
      {"getKeyValueNames", "null"}, {"getSubkeyNames", "null"}, {"keyExists", "false"}, {"valueExists", "false"},
      {"getStringValue", "\"\""}, {"getMultiStringValue", "null"}, {"get32BitValue", "-1"},
      {"getBinaryValue", "null"}, {"getValueType", "-1"}, {"countSubKeys", "-1"}, {"countValuesInKey", "-1"},
      {"longestSubKeyNameLength", "-1"}, {"longestValueNameLength", "-1"}, {"longestValueNameData", "-1"},
      {"isKeyEmpty", "false"}};  // the others return nothing
  CallSiteSweep sweep;
  TestVm codes;
  // The call's answer (its method's default when none is given) and the error of its exception.
  const auto expect = [&](const std::string& call, DWORD error, const char* answer = nullptr) {
    const std::string line = "Win32RegistryServiceImpl." + call;
    SCOPED_TRACE(line);
    const std::string method = sweep.Method(line).declared.name;
    const Outcome o = sweep.Measured(line);
    EXPECT_EQ(o.json, answer != nullptr ? answer : defaults.count(method) ? defaults.at(method) : "null");
    EXPECT_EQ(o.violations, std::vector<std::string>{});
    ASSERT_EQ(o.threw, error != 0) << o.exceptionClass << " " << Narrow(o.message);
    if (error == 0) return;
    EXPECT_EQ(o.exceptionClass, kServiceException);
    EXPECT_EQ(o.code.value_or(0), codes.StaticIntConstant(kOperationCodes, CodeName(method)).value_or(1));
    EXPECT_EQ(Narrow(o.message), Narrow(ErrorMessage(error)));
  };
  int methods = 0;
  for (const Scenario& s : kScenarios) {
    const std::string call = s.call.substr(s.call.find('.') + 1);
    if (s.call.rfind("Win32RegistryServiceImpl.", 0) != 0) continue;
    ++methods;
    sweep.Prepare(s);
    const bool question = call.find("Exists ") != std::string::npos;
    expect(Replaced(call, " 3 {K}", " 3 {K}\\none"), question ? 0 : ERROR_FILE_NOT_FOUND);
    expect(Replaced(call, " 3 ", " 0 "), ERROR_INVALID_HANDLE);
    expect(Replaced(call, " 3 ", " 6 "), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(methods, 22);
  for (const bool windows9x : {false, true}) {
    auto version = windows9x ? FakeWindows98(sweep.dll()) : FakeWindowsXP(sweep.dll());
    expect("deleteKey 3 {K} \"\" false", ERROR_BADKEY);
    expect("deleteKey 3 {K} null false", ERROR_BADKEY);
  }
  const unsigned long long eight = 7;
  SetRawValue(HKEY_CURRENT_USER, kSweepKey, L"long", REG_DWORD, &eight, 8);
  SetRawValue(HKEY_CURRENT_USER, kSweepKey, L"sz", REG_SZ, L"a", 4);
  // On the last scenario's key, which the deletes above left, with a DWORD of 8 bytes and a text.
  const std::tuple<const char*, DWORD, const char*> cases[] = {
      {"keyExists 3 {K}\\sub", 0, "true"}, {"keyExists 0 null", 0, "true"},  // a null key is the root itself
      {"keyExists 6 null", 0, "true"}, {"valueExists 3 {K} none", 0, nullptr},
      {"deleteKey 3 {K} none false", 0, nullptr}, {"deleteKey 3 {K} none true", ERROR_FILE_NOT_FOUND, nullptr},
      {"deleteValue 3 {K} none false", 0, nullptr}, {"deleteValue 3 {K} none true", ERROR_FILE_NOT_FOUND, nullptr},
      {"getValueType 3 {K} none", ERROR_FILE_NOT_FOUND, nullptr}, {"get32BitValue 3 {K} long", ERROR_MORE_DATA, nullptr},
      {"get32BitValue 3 {K} sz", ERROR_INVALID_DATATYPE, nullptr}, {"getStringValue 3 {K} d true", ERROR_INVALID_DATATYPE, nullptr},
      {"getBinaryValue 3 {K} s", ERROR_INVALID_DATATYPE, nullptr}, {"getMultiStringValue 3 {K} b", ERROR_INVALID_DATATYPE, nullptr},
      {"setMultiStringValue 3 {K} none null", ERROR_INVALID_PARAMETER, nullptr},
      {"setBinaryValue 3 {K} none null", ERROR_INVALID_PARAMETER, nullptr}};
  for (const auto& [call, error, answer] : cases) expect(call, error, answer);
  sweep.CleanAll();
}

}  // namespace
}  // namespace fwtest
