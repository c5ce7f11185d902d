// Bad input on every parameter of every native method, called through the built DLL the way a JVM
// calls it. Each method gets a harmless baseline call, then one call per parameter and bad value
// with the other parameters at their baseline: texts null, empty, 32,767 and 70,000 characters
// long, with an unpaired surrogate or an embedded zero; ints and longs 0, -1 and both extremes;
// arrays and enumerations null, empty or holding a null; peers null, of a class that cannot be
// found, without getters, or whose getters answer the bad values. Every call must end with the
// method's result or one clear ServiceException of its own code, without JNI misuse, and touch
// nothing outside the test's own folder, keys and services (BadInputSandbox).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "embedded_manifests.h"
#include "fwcall/method_table.h"
#include "fwcall/native_invoker.h"
#include "fwcall/native_library.h"
#include "manifest.h"
#include "reliability/bad_input_sandbox.h"
#include "support/program_folder.h"
#include "test_vm.h"

namespace fwtest {
namespace {

constexpr char kServiceException[] = "com/fernwick/wizard/service/ServiceException";
constexpr char kOperationCodes[] = "com/fernwick/wizard/platform/win32/OperationCodes";
constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";
constexpr char kScAction[] = "com/fernwick/wizard/platform/win32/win32service/Win2kSCAction";

// One argument. A text of nullopt, or `null` for the other references, is a null reference.
struct Arg {
  std::optional<std::u16string> text;
  jlong number = 0;
  bool null = false;
  StringList list;                             // String[], Enumeration
  Bytes bytes;                                 // byte[]
  std::function<void(TestVm&, jobject)> fill;  // a peer's properties
};

// One bad value of a parameter, or a whole call's arguments.
struct BadValue {
  std::string label;
  Arg arg;
  std::function<void(TestVm&)> hide;  // set: run in a VM of its own, hiding after the arguments are made
};

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
Arg Text(std::u16string text) { return Arg{std::move(text), 0, false, {}, {}, {}}; }
Arg Text(const std::wstring& text) { return Text(U16(text)); }
Arg Number(jlong number) { return Arg{std::nullopt, number, false, {}, {}, {}}; }
Arg Null() { return Arg{std::nullopt, 0, true, {}, {}, {}}; }
Arg List(StringList list) { return Arg{std::nullopt, 0, false, std::move(list), {}, {}}; }
Arg Peer(std::function<void(TestVm&, jobject)> fill) { return Arg{std::nullopt, 0, false, {}, {}, std::move(fill)}; }

std::wstring UserName() {
  wchar_t name[256] = {};
  DWORD size = 256;
  GetUserNameW(name, &size);
  return name;
}

// The harmless values that kBaselines names.
std::map<std::string, Arg> NamedBaselines(const BadInputSandbox& sandbox) {
  const std::wstring folder = sandbox.Folder();
  const Arg config = Peer([command = U16(folder + L"none.exe")](TestVm& vm, jobject peer) {
    vm.SetStringProperty(peer, "DisplayName", u"Bad input");
    vm.SetIntProperty(peer, "ServiceType", SERVICE_WIN32_OWN_PROCESS);
    vm.SetIntProperty(peer, "StartType", SERVICE_DEMAND_START);
    vm.SetIntProperty(peer, "ErrorControl", SERVICE_ERROR_IGNORE);
    vm.SetStringProperty(peer, "Command", command);
  });
  const Arg unchanged = Peer([](TestVm& vm, jobject peer) {
    for (const char* number : {"ServiceType", "StartType", "ErrorControl"}) vm.SetIntProperty(peer, number, -1);
  });
  const Arg actions = Peer([](TestVm& vm, jobject peer) {
    jobject restart = vm.NewPeer(kScAction);
    vm.SetIntProperty(restart, "ActionType", SC_ACTION_RESTART);
    vm.SetIntProperty(restart, "Delay", 1000);
    vm.SetIntProperty(peer, "ResetPeriod", 60);
    vm.SetIntProperty(peer, "ActionCount", 1);
    vm.SetObjectProperty(peer, TestVm::Indexed("ActionAt", 0), restart);
  });
  const Arg user = List({u"0", u"comment", U16(folder + L"home"), u"logon.cmd", u"secret", u"Bad Input", u"fwbadinput",
                         u"0", u"0"});
  const Arg files = List({U16(folder + L"gone.txt")});
  // An empty folder makes "\" + sub-folder: that is inside the test folder too.
  const std::wstring below = folder.size() > 2 && folder[1] == L':' ? folder.substr(2) : folder;
  return {{"3", Number(3)}, {"TRUE", Number(1)}, {"KEY", Text(BadInputSandbox::RegistryKey())},
          {"NAME", Text(L"value")}, {"FILE", Text(folder + L"file.txt")}, {"TARGET", Text(folder + L"target.txt")},
          {"TREE", Text(folder + L"tree")}, {"FOLDER", Text(folder)}, {"SUB", Text(below.substr(1) + L"sub")},
          {"DRIVE", Text(folder.substr(0, 3))}, {"ME", Text(UserName())}, {"SERVICE", Text(sandbox.ServiceName())},
          {"NEWSERVICE", Text(sandbox.ServiceName() + L"new")}, {"CONFIG", config}, {"UNCHANGED", unchanged},
          {"ACTIONS", actions}, {"CONTROL", Number(SERVICE_CONTROL_INTERROGATE)}, {"TYPE", Number(SERVICE_WIN32)},
          {"STATE", Number(SERVICE_STATE_ALL)}, {"TIME", Number(1000000000000)}, {"USER", user}, {"FILES", files},
          {"PROGRAM", Text(folder + L"missing-cleanup.exe")}};
}

// Per class, the parameters of a method that need a particular harmless value, and under "*" those of
// the class's other methods (a registry key and a value or subkey name, a path and a copy's or move's
// target, a desktop folder and sub-folder, a service name); "_" takes the value derived from the type.
const std::map<std::string, std::map<std::string, std::vector<std::string>>> kBaselines = {
    {"Win32RegistryServiceImpl", {{"*", {"3", "KEY", "NAME"}}}},
    {"Win32FileServiceImpl",
     {{"*", {"FILE", "TARGET"}}, {"setFileOwner", {"FILE", "ME"}}, {"setFileOwnerGroup", {"FILE", "ME"}},
      {"getPartitionType", {"DRIVE"}}, {"getPartitionFormat", {"DRIVE"}}, {"supportsLongFileNames", {"DRIVE"}},
      {"getPartitionFreeSpace", {"FOLDER"}}, {"isDirectoryWritable", {"FOLDER"}},
      {"win32SetFileTimes", {"FILE", "TIME", "TIME", "TIME"}}, {"win32SetFileModified", {"FILE", "TIME"}},
      {"win32SetFileCreated", {"FILE", "TIME"}}, {"win32DeleteDirectory", {"TREE", "_", "TRUE"}}}},
    {"Win32DesktopServiceImpl",
     {{"*", {"FOLDER", "SUB"}}, {"createDesktopItem", {"FOLDER", "SUB", "_", "FILE"}},
      {"setDesktopItemOwnerGroup", {"FOLDER", "SUB", "_", "ME"}}, {"setDesktopItemOwner", {"FOLDER", "SUB", "_", "ME"}},
      {"setDesktopFolderOwnerGroup", {"FOLDER", "SUB", "ME"}}, {"setDesktopFolderOwner", {"FOLDER", "SUB", "ME"}}}},
    {"Win32ServiceImpl",
     {{"*", {"SERVICE"}}, {"createNTService", {"NEWSERVICE", "CONFIG"}},
      {"changeNTServiceConfig", {"SERVICE", "UNCHANGED"}}, {"controlNTService", {"SERVICE", "CONTROL"}},
      {"enumNTServiceKeys", {"TYPE", "STATE"}}, {"changeWin2kServiceFailureActions", {"SERVICE", "ACTIONS"}},
      {"getShortPath", {"FILE"}}, {"getFixedFileInfo", {"FILE"}}}},
    {"Win32SecurityServiceImpl", {{"win32CreateUser", {"USER"}}}},
    {"Win32SystemUtilServiceImpl", {{"nativeDeleteFilesAfterExit", {"FILES", "_", "_", "PROGRAM"}}}},
};

bool IsString(const vm::TypeDesc& t) { return t.text == "Ljava/lang/String;"; }
bool IsStringArray(const vm::TypeDesc& t) { return t.text == "[Ljava/lang/String;"; }
bool IsEnumeration(const vm::TypeDesc& t) { return t.text == "Ljava/util/Enumeration;"; }

Arg Derived(const vm::TypeDesc& type) {
  if (IsString(type)) return Text(L"fwbadinput");
  Arg arg;
  if (type.text == "[B") arg.bytes = {1, 2, 3};
  return arg;
}

std::vector<Arg> Baseline(const fwcall::NativeMethod& method, const std::map<std::string, Arg>& named) {
  std::vector<std::string> tokens;
  if (auto c = kBaselines.find(method.SimpleClassName()); c != kBaselines.end()) {
    auto m = c->second.find(method.declared.name);
    if (m == c->second.end()) m = c->second.find("*");
    if (m != c->second.end()) tokens = m->second;
  }
  std::vector<Arg> args;
  for (std::size_t i = 0; i < method.signature.params.size(); ++i) {
    const bool listed = i < tokens.size() && tokens[i] != "_";
    args.push_back(listed ? named.at(tokens[i]) : Derived(method.signature.params[i]));
  }
  return args;
}

std::u16string Padded(const std::optional<std::u16string>& base, std::size_t length) {
  const std::u16string start = base ? *base + u"\\" : u"";
  return start + std::u16string(length > start.size() ? length - start.size() : 0, u'a');
}

std::vector<std::pair<std::string, Arg>> BadTexts(const std::optional<std::u16string>& base) {
  const std::u16string text = base && !base->empty() ? *base : u"x";
  return {{"null", Arg{}},
          {"empty", Text(L"")},
          {"32767 characters", Text(Padded(base, 32767))},
          {"70000 characters", Text(Padded(base, 70000))},
          {"an unpaired surrogate", Text(text + u"\xD800z")},
          {"an embedded zero", Text(text + std::u16string(1, u'\0') + u"z")}};
}

template <typename T>
std::vector<std::pair<std::string, Arg>> BadNumbers() {
  return {{"0", Number(0)}, {"-1", Number(-1)}, {"the least", Number(std::numeric_limits<T>::min())},
          {"the greatest", Number(std::numeric_limits<T>::max())}};
}

std::vector<std::pair<std::string, Arg>> BadLists(const Arg& base) {
  Arg holdingNull = base;
  if (holdingNull.list.empty()) holdingNull.list.emplace_back();
  holdingNull.list.front() = std::nullopt;
  return {{"null", Null()}, {"empty", Arg{}}, {"holding a null", holdingNull}};
}

// The class's getters by what they answer: "I", "Ljava/lang/String;", "[Ljava/lang/String;", or
// anything ("*").
std::map<std::string, std::vector<std::string>> Getters(const vm::Manifest& manifest, const std::string& cls) {
  std::map<std::string, std::vector<std::string>> getters;
  const vm::ClassDecl* decl = manifest.Find(cls);
  for (const vm::MethodDecl& m : decl->methods) {
    const std::size_t prefix = m.name.rfind("get", 0) == 0 ? 3 : m.name.rfind("is", 0) == 0 ? 2 : 0;
    if (prefix == 0 || (m.flags & vm::kStatic) != 0) continue;
    getters["*"].push_back(m.name);
    if (m.descriptor.rfind("()", 0) == 0) getters[m.descriptor.substr(2)].push_back(m.name.substr(prefix));
  }
  return getters;
}

std::vector<BadValue> BadPeers(const vm::Manifest& manifest, const std::string& cls, const Arg& base) {
  auto getters = Getters(manifest, cls);
  std::vector<BadValue> bad{
      {"null", Null(), nullptr},
      {"of a class that cannot be found", base, [cls](TestVm& vm) { vm.HideClass(cls); }},
      {"without getters", base, [cls, names = getters["*"]](TestVm& vm) {
         for (const std::string& name : names) vm.HideMethod(cls, name);
       }}};
  // Every getter of one kind answers the same bad value.
  auto answering = [&](const std::string& kind, const std::string& label, auto set) {
    if (getters[kind].empty()) return;
    Arg arg = base;
    arg.fill = [fill = base.fill, properties = getters[kind], set](TestVm& vm, jobject peer) {
      if (fill) fill(vm, peer);
      for (const std::string& p : properties) set(vm, peer, p);
    };
    bad.push_back({"whose getters of " + kind + " answer " + label, arg, nullptr});
  };
  for (const auto& [label, number] : BadNumbers<jint>()) {
    answering("I", label, [n = number.number](TestVm& vm, jobject peer, const std::string& p) { vm.SetIntProperty(peer, p, n); });
  }
  for (const auto& [label, text] : BadTexts(std::nullopt)) {
    answering("Ljava/lang/String;", label, [t = text.text](TestVm& vm, jobject peer, const std::string& p) {
      vm.SetStringProperty(peer, p, t ? std::optional<std::u16string_view>(*t) : std::nullopt);
    });
  }
  for (const auto& [label, list] : BadLists(Arg{})) {
    answering("[Ljava/lang/String;", label, [l = list](TestVm& vm, jobject peer, const std::string& p) {
      vm.SetObjectProperty(peer, p, l.null ? nullptr : vm.StringArray(l.list));
    });
  }
  return bad;
}

std::vector<BadValue> BadValues(const vm::Manifest& manifest, const vm::TypeDesc& type, const Arg& base) {
  std::vector<std::pair<std::string, Arg>> plain;
  if (IsString(type)) plain = BadTexts(base.text);
  else if (type.kind == 'I') plain = BadNumbers<jint>();
  else if (type.kind == 'J') plain = BadNumbers<jlong>();
  else if (IsStringArray(type) || IsEnumeration(type)) plain = BadLists(base);
  else if (type.text == "[B") plain = {BadLists(base)[0], BadLists(base)[1]};
  else if (type.kind == 'L') return BadPeers(manifest, type.ClassName(), base);
  std::vector<BadValue> bad;
  for (auto& [label, arg] : plain) bad.push_back({label, std::move(arg), nullptr});
  return bad;
}

jvalue Make(TestVm& vm, const vm::TypeDesc& type, const Arg& arg) {
  jvalue v{};
  if (type.kind == 'Z') v.z = arg.number != 0 ? JNI_TRUE : JNI_FALSE;
  else if (type.kind == 'I') v.i = static_cast<jint>(arg.number);
  else if (type.kind == 'J') v.j = arg.number;
  else if (IsString(type)) v.l = arg.text ? vm.String(*arg.text) : nullptr;
  else if (arg.null) v.l = nullptr;
  else if (IsStringArray(type)) v.l = vm.StringArray(arg.list);
  else if (IsEnumeration(type)) v.l = vm.Enumeration(arg.list);
  else if (type.text == "[B") v.l = vm.ByteArray(arg.bytes);
  else {
    v.l = vm.NewPeer(type.ClassName());
    if (arg.fill) arg.fill(vm, v.l);
  }
  return v;
}

std::string Upper(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c != '_') out += static_cast<char>(toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

// What a caller may see: the method's code (OperationCodes names it after the method), E_FAIL,
// E_INVALIDARG or the unsupported-operation code.
class Codes {
 public:
  Codes(TestVm& vm, const vm::Manifest& manifest) {
    for (const vm::FieldDecl& f : manifest.Find(kOperationCodes)->fields) {
      if (f.constant) byMethod_[Upper(f.name)] = static_cast<jint>(*f.constant);
    }
    generic_ = {byMethod_.at("EFAIL"), byMethod_.at("EINVALIDARG"),
                *vm.StaticIntConstant(kServiceException, "OPERATION_NOT_SUPPORTED")};
  }
  bool Allowed(const fwcall::NativeMethod& method, jint code) const {
    const auto own = byMethod_.find(Upper(method.declared.name));
    return generic_.count(code) != 0 || (own != byMethod_.end() && own->second == code);
  }

 private:
  std::map<std::string, jint> byMethod_;
  std::set<jint> generic_;
};

// "The system's text (n)", or no message at all.
bool ClearMessage(const ThrownException& e) {
  if (!e.hasMessage) return true;
  const std::u16string& m = e.message;
  const std::size_t open = m.rfind(u" (");
  if (open == std::u16string::npos || m.size() < open + 4 || m.back() != u')') return false;
  for (std::size_t i = open + 2; i + 1 < m.size(); ++i) {
    if (m[i] < u'0' || m[i] > u'9') return false;
  }
  return true;
}

struct Tally {
  int calls = 0, threw = 0, returned = 0;
  std::vector<std::string> problems;
};

void CallOnce(TestVm& vm, const fwcall::NativeMethod& m, FARPROC address, const std::vector<Arg>& argsIn,
              const BadValue& c, const Codes& codes, BadInputSandbox& sandbox, Tally& tally) {
  std::vector<jvalue> args;
  std::vector<std::wstring> texts;
  for (std::size_t i = 0; i < argsIn.size(); ++i) {
    args.push_back(Make(vm, m.signature.params[i], argsIn[i]));
    if (argsIn[i].text) texts.emplace_back(argsIn[i].text->begin(), argsIn[i].text->end());
  }
  if (c.hide) c.hide(vm);
  jobject self = m.declared.isStatic ? static_cast<jobject>(vm.Class(m.declared.className)) : vm.NewPeer(m.declared.className);
  sandbox.BeforeCall();
  fwcall::InvokeNative(vm, address, m, self, args);
  ++tally.calls;
  for (const std::string& v : vm.TakeViolations()) tally.problems.push_back(c.label + ": JNI misuse: " + v);
  const std::optional<ThrownException> pending = vm.TakePending();
  // Only a service call that succeeded can have made or removed a service.
  if (!pending && m.declared.className == kServiceClass) sandbox.AfterCall(texts);
  if (!pending) {
    ++tally.returned;
  } else if (pending->className != kServiceException) {
    tally.problems.push_back(c.label + ": left pending " + pending->Describe());
  } else {
    ++tally.threw;
    if (!pending->code || !codes.Allowed(m, *pending->code)) tally.problems.push_back(c.label + ": code of " + pending->Describe());
    if (!ClearMessage(*pending)) tally.problems.push_back(c.label + ": unclear message " + pending->Describe());
  }
}

TEST(BadInput, EveryParameterOfEveryMethodRefusesBadValuesCleanly) {
  fwcall::NativeLibrary library;
  std::string error;
  ASSERT_TRUE(library.Load(ProgramFolder() + L"\\fwnative.dll", &error)) << error;
  vm::Manifest manifest;
  std::vector<std::string> manifestErrors;
  manifest.Add(vm::JdkManifestText(), "jdk", manifestErrors);
  manifest.Add(vm::JavaManifestText(), "java", manifestErrors);
  BadInputSandbox sandbox(GetModuleHandleW(L"fwnative.dll"));
  const std::map<std::string, Arg> named = NamedBaselines(sandbox);

  TestVm tableVm;
  const fwcall::MethodTable table(tableVm);
  const Codes codes(tableVm, manifest);
  Tally tally;
  std::vector<std::string> missing;
  for (const fwcall::NativeMethod& m : table.Methods()) {
    const FARPROC address = library.Find(m);
    if (address == nullptr || !fwcall::CanInvoke(m)) {
      missing.push_back(m.QualifiedName());
      continue;
    }
    const std::vector<Arg> base = Baseline(m, named);
    TestVm vm;
    CallOnce(vm, m, address, base, {m.QualifiedName() + " with its baseline", {}, nullptr}, codes, sandbox, tally);
    for (std::size_t i = 0; i < base.size(); ++i) {
      for (BadValue& bad : BadValues(manifest, m.signature.params[i], base[i])) {
        std::vector<Arg> args = base;
        args[i] = std::move(bad.arg);
        bad.label = m.QualifiedName() + ", parameter " + std::to_string(i + 1) + " " + bad.label;
        if (!bad.hide) {
          CallOnce(vm, m, address, args, bad, codes, sandbox, tally);
        } else {
          TestVm own;
          CallOnce(own, m, address, args, bad, codes, sandbox, tally);
        }
      }
    }
  }
  std::printf("bad input: %d calls, %d threw a ServiceException, %d returned\n", tally.calls, tally.threw, tally.returned);
  EXPECT_EQ(missing, std::vector<std::string>{}) << "methods the DLL does not export";
  EXPECT_EQ(sandbox.Finish(), std::vector<std::string>{}) << "changes outside the test's own places";
  std::string problems;
  for (const std::string& p : tally.problems) problems += "\n  " + p;
  EXPECT_TRUE(tally.problems.empty()) << tally.problems.size() << " calls went wrong:" << problems;
  EXPECT_EQ(table.Methods().size(), 104u);
}

}  // namespace
}  // namespace fwtest
