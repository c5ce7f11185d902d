#include "reliability/thread_script.h"

#include <algorithm>
#include <iterator>
#include <thread>

#include "bridge/unique_resource.h"
#include "reliability/line_call.h"
#include "vm_json.h"

namespace fwtest {
namespace {

const wchar_t* const kFiles[] = {L"source.txt", L"copy.txt", L"moved.txt"};

// The calls of a round: fwcall lines in which {B} stands for the registry base, {K} for the
// thread's key below it, {T} for the thread's tag and {F} for its folder; "!" marks one meant to fail.
const char* const kSteps[] = {
    "Win32RegistryServiceImpl.createKey 3 {B} {T}\\sub",
    "Win32RegistryServiceImpl.setStringValue 3 {K} text false \"text of {T}\"",
    "WindowsEnvironment.setProcessEnvironmentVariable FWTHREADS_{T} \"home of {T}\"",
    "WindowsEnvironment.getProcessEnvironmentVariable FWTHREADS_{T}",
    "Win32RegistryServiceImpl.setStringValue 3 {K} path true %FWTHREADS_{T}%\\bin",
    "Win32RegistryServiceImpl.getStringValue 3 {K} path true",
    "Win32RegistryServiceImpl.getStringValue 3 {K} text false",
    "Win32RegistryServiceImpl.getKeyValueNames 3 {K}",
    "Win32RegistryServiceImpl.getSubkeyNames 3 {K}",
    "Win32RegistryServiceImpl.deleteKey 3 {B} {T} true",
    "Win32RegistryServiceImpl.keyExists 3 {K}",
    "!Win32RegistryServiceImpl.getStringValue 3 {K} text false",
    "WindowsEnvironment.setProcessEnvironmentVariable FWTHREADS_{T} null",
    "WindowsEnvironment.getProcessEnvironmentVariable FWTHREADS_{T}",
    "Win32FileServiceImpl.win32CopyFile {F}\\source.txt {F}\\copy.txt false",
    "!Win32FileServiceImpl.win32CopyFile {F}\\source.txt {F}\\copy.txt false",
    R"(Win32FileServiceImpl.setFileAttributes {F}\copy.txt {"attributeState": {"HIDDEN": true}})",
    "Win32FileServiceImpl.getFileAttributes {F}\\copy.txt",
    "Win32FileServiceImpl.win32MoveFile {F}\\copy.txt {F}\\moved.txt false",
    "Win32FileServiceImpl.win32SetFileModified {F}\\moved.txt 130000000000000000",
    "Win32FileServiceImpl.win32DeleteFile {F}\\moved.txt",
    "!Win32FileServiceImpl.win32DeleteFile {F}\\moved.txt",
    "Win32DesktopServiceImpl.getDesktopFolderAttributes $UserPrograms$ \"\"",
};

// "" when the answers are the expected ones, else where they first differ.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& answers,
                            int round) {
  const auto [want, got] = std::mismatch(expected.begin(), expected.end(), answers.begin(), answers.end());
  if (want == expected.end() && got == answers.end()) return "";
  return "round " + std::to_string(round) + ", call " + std::to_string(want - expected.begin() + 1) + ": expected \"" +
         (want != expected.end() ? *want : "no call") + "\", got \"" + (got != answers.end() ? *got : "no call") + "\"";
}

}  // namespace

// The VM of a run of rounds, and the native methods found in it.
struct ScriptVm {
  TestVm vm;
  const fwcall::MethodTable table{vm};
};

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
  if (vm_ == nullptr || ++roundsOnVm_ == 50) {
    vm_.reset();  // one VM at a time
    vm_ = std::make_unique<ScriptVm>();
    roundsOnVm_ = 0;
  }
  const std::string tag = Narrow(place_.tag);
  std::vector<std::string> answers;
  answers.reserve(CallsPerRound());
  for (const char* step : kSteps) {
    std::string line = Replaced(step + (*step == '!'), "{K}", "{B}\\{T}");
    line = Replaced(Replaced(line, "{B}", Narrow(place_.registryBase)), "{F}", Narrow(place_.folder));
    line = Replaced(line, "{T}", tag);
    std::string answer = line.substr(0, line.find(' ')) + ": ";
    try {
      const LineCall call = CallLine(vm_->vm, vm_->table, library_, line);
      answer += CallOutcome(vm_->vm, call.method->signature.result.kind, call.result).Write();
    } catch (const std::exception& e) {
      answer += std::string(" | ") + e.what();
    }
    for (const std::string& violation : vm_->vm.TakeViolations()) answer += " | JNI violation: " + violation;
    answers.push_back(Replaced(answer, tag, "<t>"));
  }
  return answers;
}

std::size_t ThreadScript::CallsPerRound() { return std::size(kSteps); }

std::vector<bool> ThreadScript::MeantToFail() {
  std::vector<bool> failing;
  for (const char* step : kSteps) failing.push_back(*step == '!');
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
