#include "thread_script.h"

#include <jni.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "bridge/unique_resource.h"
#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
#include "test_vm.h"

namespace fwtest {
namespace {

constexpr jint kCurrentUser = 3;
constexpr char kFileAttributes[] = "com/fernwick/util/FileAttributes";
const char* const kStates[] = {"OWNER_READABLE",   "GROUP_READABLE",   "WORLD_READABLE", "OWNER_WRITEABLE",
                               "GROUP_WRITEABLE",  "WORLD_WRITEABLE",  "OWNER_EXECUTABLE", "GROUP_EXECUTABLE",
                               "WORLD_EXECUTABLE", "HIDDEN",           "ARCHIVE",        "SYSTEM"};
const wchar_t* const kFiles[] = {L"source.txt", L"copy.txt", L"moved.txt"};

// The values here are ASCII; anything else shows as '?'.
std::string Narrow(const std::u16string& text) {
  std::string out;
  for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

// The VM, the services' `this` objects and the thread's names as Java strings.
class ScriptCalls {
 public:
  ScriptCalls(HMODULE library, const ThreadPlace& place) : library_(library), place_(place) {}

  template <typename Fn>
  Fn Export(const char* name) const {
    auto native = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
    if (native == nullptr) throw std::runtime_error(std::string(" | not exported: ") + name);
    return native;
  }

  jstring Str(const std::wstring& text) { return vm.String(std::u16string(text.begin(), text.end())); }
  jstring Base() { return Str(place_.registryBase); }
  jstring Key() { return Str(place_.registryBase + L"\\" + place_.tag); }
  jstring Tagged(const std::wstring& before, const std::wstring& after = L"") { return Str(before + place_.tag + after); }
  jstring Variable() { return Tagged(L"FWTHREADS_"); }
  jstring File(const wchar_t* name) { return Str(place_.folder + L"\\" + name); }
  jobject HiddenPeer() {
    const jobject peer = vm.NewPeer(kFileAttributes);
    vm.SetBoolProperty(peer, TestVm::Indexed("AttributeState", *vm.StaticIntConstant(kFileAttributes, "HIDDEN")), true);
    return peer;
  }

  // Calls the native method and answers with its result or its exception, and any violation.
  template <typename Fn, typename... A>
  std::string Answer(Fn native, A... args) {
    std::string answer;
    if constexpr (std::is_void_v<decltype(native(vm.env(), args...))>) {
      vm.Call(native, args...);
      answer = "void";
    } else {
      answer = Show(vm.Call(native, args...));
    }
    if (const auto thrown = vm.TakePending()) answer = thrown->Describe();
    for (const std::string& violation : vm.TakeViolations()) answer += " | JNI violation: " + violation;
    return answer;
  }

  TestVm vm;
  const jobject registry = vm.This("com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl");
  const jobject files = vm.This("com/fernwick/wizard/platform/win32/Win32FileServiceImpl");
  const jobject environment = vm.This("com/fernwick/wizard/platform/win32/environment/WindowsEnvironment");
  const jobject desktop = vm.This("com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl");

 private:
  std::string Show(jint value) { return std::to_string(value); }
  std::string Show(jboolean value) { return value ? "true" : "false"; }
  std::string Show(jstring text) {
    const auto value = vm.StringValue(text);
    return value ? "\"" + Narrow(*value) + "\"" : "null";
  }
  // String[] in sorted order: the order of registry names is the system's.
  std::string Show(jobjectArray names) {
    auto values = vm.StringArrayValue(names);
    if (!values) return "null";
    std::sort(values->begin(), values->end());
    std::string shown = "[";
    for (const auto& name : *values) shown += (shown.size() > 1 ? ", " : "") + (name ? Narrow(*name) : "null");
    return shown + "]";
  }
  // A FileAttributes peer as the states it holds true.
  std::string Show(jobject peer) {
    if (vm.IsNull(peer)) return "null";
    std::string shown = vm.ClassNameOf(peer) + " {";
    for (const char* state : kStates) {
      const auto number = vm.StaticIntConstant(kFileAttributes, state);
      if (number && vm.BoolProperty(peer, TestVm::Indexed("AttributeState", *number))) shown += std::string(" ") + state;
    }
    return shown + " }";
  }

  HMODULE library_;
  const ThreadPlace& place_;
};

namespace {

#define FW_NATIVE(calls, service, method)                                                    \
  (calls).Export<decltype(&Java_com_fernwick_wizard_platform_win32_##service##_##method)>( \
      "Java_com_fernwick_wizard_platform_win32_" #service "_" #method)
#define FW_REG(method) FW_NATIVE(r, Win32RegistryServiceImpl, method)
#define FW_FILE(method) FW_NATIVE(r, Win32FileServiceImpl, method)
#define FW_ENV(method) FW_NATIVE(r, environment_WindowsEnvironment, method)
#define FW_DESKTOP(method) FW_NATIVE(r, Win32DesktopServiceImpl, method)

struct Step {
  const char* method;
  bool meantToFail;
  std::string (*call)(ScriptCalls& r);
};

// A key with values read back, a process variable expanded in a value, files copied, moved and
// deleted with their attributes, and a shell folder; all of it made and removed within the round.
const Step kSteps[] = {
    {"createKey", false,
     [](ScriptCalls& r) { return r.Answer(FW_REG(createKey), r.registry, kCurrentUser, r.Base(), r.Tagged(L"", L"\\sub")); }},
    {"setStringValue", false,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(setStringValue), r.registry, kCurrentUser, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE},
                       r.Tagged(L"text of "));
     }},
    {"setProcessEnvironmentVariable", false,
     [](ScriptCalls& r) { return r.Answer(FW_ENV(setProcessEnvironmentVariable), r.environment, r.Variable(), r.Tagged(L"home of ")); }},
    {"getProcessEnvironmentVariable", false,
     [](ScriptCalls& r) { return r.Answer(FW_ENV(getProcessEnvironmentVariable), r.environment, r.Variable()); }},
    {"setStringValue", false,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(setStringValue), r.registry, kCurrentUser, r.Key(), r.Str(L"path"), jboolean{JNI_TRUE},
                       r.Tagged(L"%FWTHREADS_", L"%\\bin"));
     }},
    {"getStringValue", false,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(getStringValue), r.registry, kCurrentUser, r.Key(), r.Str(L"path"), jboolean{JNI_TRUE});
     }},
    {"getStringValue", false,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(getStringValue), r.registry, kCurrentUser, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE});
     }},
    {"getKeyValueNames", false, [](ScriptCalls& r) { return r.Answer(FW_REG(getKeyValueNames), r.registry, kCurrentUser, r.Key()); }},
    {"getSubkeyNames", false, [](ScriptCalls& r) { return r.Answer(FW_REG(getSubkeyNames), r.registry, kCurrentUser, r.Key()); }},
    {"deleteKey", false,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(deleteKey), r.registry, kCurrentUser, r.Base(), r.Tagged(L""), jboolean{JNI_TRUE});
     }},
    {"keyExists", false, [](ScriptCalls& r) { return r.Answer(FW_REG(keyExists), r.registry, kCurrentUser, r.Key()); }},
    {"getStringValue", true,
     [](ScriptCalls& r) {
       return r.Answer(FW_REG(getStringValue), r.registry, kCurrentUser, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE});
     }},
    {"setProcessEnvironmentVariable", false,
     [](ScriptCalls& r) { return r.Answer(FW_ENV(setProcessEnvironmentVariable), r.environment, r.Variable(), jstring{}); }},
    {"getProcessEnvironmentVariable", false,
     [](ScriptCalls& r) { return r.Answer(FW_ENV(getProcessEnvironmentVariable), r.environment, r.Variable()); }},
    {"win32CopyFile", false,
     [](ScriptCalls& r) { return r.Answer(FW_FILE(win32CopyFile), r.files, r.File(kFiles[0]), r.File(kFiles[1]), jboolean{JNI_FALSE}); }},
    {"win32CopyFile", true,
     [](ScriptCalls& r) { return r.Answer(FW_FILE(win32CopyFile), r.files, r.File(kFiles[0]), r.File(kFiles[1]), jboolean{JNI_FALSE}); }},
    {"setFileAttributes", false,
     [](ScriptCalls& r) { return r.Answer(FW_FILE(setFileAttributes), r.files, r.File(kFiles[1]), r.HiddenPeer()); }},
    {"getFileAttributes", false, [](ScriptCalls& r) { return r.Answer(FW_FILE(getFileAttributes), r.files, r.File(kFiles[1])); }},
    {"win32MoveFile", false,
     [](ScriptCalls& r) { return r.Answer(FW_FILE(win32MoveFile), r.files, r.File(kFiles[1]), r.File(kFiles[2]), jboolean{JNI_FALSE}); }},
    {"win32SetFileModified", false,
     [](ScriptCalls& r) { return r.Answer(FW_FILE(win32SetFileModified), r.files, r.File(kFiles[2]), jlong{130000000000000000}); }},
    {"win32DeleteFile", false, [](ScriptCalls& r) { return r.Answer(FW_FILE(win32DeleteFile), r.files, r.File(kFiles[2])); }},
    {"win32DeleteFile", true, [](ScriptCalls& r) { return r.Answer(FW_FILE(win32DeleteFile), r.files, r.File(kFiles[2])); }},
    {"getDesktopFolderAttributes", false,
     [](ScriptCalls& r) { return r.Answer(FW_DESKTOP(getDesktopFolderAttributes), r.desktop, r.Str(L"$UserPrograms$"), r.Str(L"")); }},
};

}  // namespace

ThreadPlace PlaceOf(int thread, const std::wstring& registryBase, const std::wstring& folderBase) {
  wchar_t tag[16];
  std::swprintf(tag, sizeof tag / sizeof *tag, L"thread_%02d", thread);
  return ThreadPlace{tag, registryBase, folderBase + L"\\" + tag};
}

ThreadScript::ThreadScript(HMODULE library, ThreadPlace place) : library_(library), place_(std::move(place)) {
  CreateDirectoryW(place_.folder.c_str(), nullptr);
  const fw::UniqueFileHandle source(CreateFileW((place_.folder + L"\\" + kFiles[0]).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(source.get(), "source", 6, &written, nullptr);
}

ThreadScript::~ThreadScript() {
  for (const wchar_t* name : kFiles) {
    const std::wstring path = place_.folder + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
  RemoveDirectoryW(place_.folder.c_str());
}

std::vector<std::string> ThreadScript::RunRound() {
  if (calls_ == nullptr || ++roundsOnVm_ == 50) {
    calls_.reset();  // one VM at a time
    calls_ = std::make_unique<ScriptCalls>(library_, place_);
    roundsOnVm_ = 0;
  }
  const std::string tag(place_.tag.begin(), place_.tag.end());
  std::vector<std::string> answers;
  answers.reserve(CallsPerRound());
  for (const Step& step : kSteps) {
    std::string answer;
    try {
      answer = step.call(*calls_);
    } catch (const std::exception& e) {
      answer = e.what();
    }
    ReplaceAll(answer, tag, "<t>");
    answers.push_back(std::string(step.method) + ": " + answer);
  }
  return answers;
}

std::size_t ThreadScript::CallsPerRound() { return std::size(kSteps); }

std::vector<bool> ThreadScript::MeantToFail() {
  std::vector<bool> failing;
  for (const Step& step : kSteps) failing.push_back(step.meantToFail);
  return failing;
}

}  // namespace fwtest
