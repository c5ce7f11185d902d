#include "reliability/thread_script.h"

#include <jni.h>

#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <type_traits>

#include "bridge/unique_resource.h"
#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
#include "test_vm.h"
#include "vm_json.h"

namespace fwtest {
namespace {

constexpr jint kCurrentUser = 3;
constexpr char kFileAttributes[] = "com/fernwick/util/FileAttributes";
const wchar_t* const kFiles[] = {L"source.txt", L"copy.txt", L"moved.txt"};

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

  // Calls the native method and answers with its result as JSON or its exception, and any violation.
  template <typename Fn, typename... A>
  std::string Answer(Fn native, A... args) {
    std::string answer;
    if constexpr (std::is_void_v<decltype(native(vm.env(), args...))>) {
      vm.Call(native, args...);
      answer = "void";
    } else {
      const auto result = vm.Call(native, args...);
      if (!vm.Pending()) answer = CallOutcome(vm, result).Write();
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
  HMODULE library_;
  const ThreadPlace& place_;
};

namespace {

// One call of a round: `method` of `service`, called on `self` with the arguments that follow.
#define FW_STEP(fails, service, self, method, ...)                                                 \
  {#method, fails, [](ScriptCalls& r) {                                                            \
     return r.Answer(r.Export<decltype(&Java_com_fernwick_wizard_platform_win32_##service##_##method)>( \
                         "Java_com_fernwick_wizard_platform_win32_" #service "_" #method),          \
                     self, __VA_ARGS__);                                                           \
   }}
#define FW_REG(fails, method, ...) FW_STEP(fails, Win32RegistryServiceImpl, r.registry, method, kCurrentUser, __VA_ARGS__)
#define FW_ENV(fails, method, ...) FW_STEP(fails, environment_WindowsEnvironment, r.environment, method, __VA_ARGS__)
#define FW_FILE(fails, method, ...) FW_STEP(fails, Win32FileServiceImpl, r.files, method, __VA_ARGS__)

struct Step {
  const char* method;
  bool meantToFail;
  std::string (*call)(ScriptCalls& r);
};

// A key with values read back, a process variable expanded in a value, files copied, moved and
// deleted with their attributes, and a shell folder; all of it made and removed within the round.
const Step kSteps[] = {
    FW_REG(false, createKey, r.Base(), r.Tagged(L"", L"\\sub")),
    FW_REG(false, setStringValue, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE}, r.Tagged(L"text of ")),
    FW_ENV(false, setProcessEnvironmentVariable, r.Variable(), r.Tagged(L"home of ")),
    FW_ENV(false, getProcessEnvironmentVariable, r.Variable()),
    FW_REG(false, setStringValue, r.Key(), r.Str(L"path"), jboolean{JNI_TRUE}, r.Tagged(L"%FWTHREADS_", L"%\\bin")),
    FW_REG(false, getStringValue, r.Key(), r.Str(L"path"), jboolean{JNI_TRUE}),
    FW_REG(false, getStringValue, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE}),
    FW_REG(false, getKeyValueNames, r.Key()),
    FW_REG(false, getSubkeyNames, r.Key()),
    FW_REG(false, deleteKey, r.Base(), r.Tagged(L""), jboolean{JNI_TRUE}),
    FW_REG(false, keyExists, r.Key()),
    FW_REG(true, getStringValue, r.Key(), r.Str(L"text"), jboolean{JNI_FALSE}),
    FW_ENV(false, setProcessEnvironmentVariable, r.Variable(), jstring{}),
    FW_ENV(false, getProcessEnvironmentVariable, r.Variable()),
    FW_FILE(false, win32CopyFile, r.File(kFiles[0]), r.File(kFiles[1]), jboolean{JNI_FALSE}),
    FW_FILE(true, win32CopyFile, r.File(kFiles[0]), r.File(kFiles[1]), jboolean{JNI_FALSE}),
    FW_FILE(false, setFileAttributes, r.File(kFiles[1]), r.HiddenPeer()),
    FW_FILE(false, getFileAttributes, r.File(kFiles[1])),
    FW_FILE(false, win32MoveFile, r.File(kFiles[1]), r.File(kFiles[2]), jboolean{JNI_FALSE}),
    FW_FILE(false, win32SetFileModified, r.File(kFiles[2]), jlong{130000000000000000}),
    FW_FILE(false, win32DeleteFile, r.File(kFiles[2])),
    FW_FILE(true, win32DeleteFile, r.File(kFiles[2])),
    FW_STEP(false, Win32DesktopServiceImpl, r.desktop, getDesktopFolderAttributes, r.Str(L"$UserPrograms$"), r.Str(L"")),
};

// "" when the answers are the expected ones, else where they first differ.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& answers,
                            int round) {
  std::size_t call = 0;
  while (call < expected.size() && call < answers.size() && answers[call] == expected[call]) ++call;
  if (call == expected.size() && call == answers.size()) return "";
  return "round " + std::to_string(round) + ", call " + std::to_string(call + 1) + ": expected \"" +
         (call < expected.size() ? expected[call] : "no call") + "\", got \"" +
         (call < answers.size() ? answers[call] : "no call") + "\"";
}

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

void RunConcurrently(HMODULE library, const std::wstring& registryBase, const std::wstring& folderBase,
                     const std::vector<std::string>& expected, int rounds, std::vector<std::string>& mismatches) {
  std::vector<std::thread> threads;
  threads.reserve(mismatches.size());
  for (std::size_t i = 0; i < mismatches.size(); ++i) {
    threads.emplace_back([&, i] {
      ThreadScript script(library, PlaceOf(static_cast<int>(i) + 1, registryBase, folderBase));
      for (int round = 1; round <= rounds && mismatches[i].empty(); ++round) {
        mismatches[i] = FirstDifference(expected, script.RunRound(), round);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace fwtest
