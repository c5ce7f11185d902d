// Load benchmark: what a fresh process pays to load fwnative.dll and make its first native call
// (isWinNTor2K, the cheapest), against the same for minimal_jni.dll, a one-method JNI library built
// the same way. Every measurement runs in a fresh process started by this program: the child times
// LoadLibraryW, the look-up of the export and the call, and returns the microseconds as its exit
// code; its own start is not counted. A second comparison loads the system DLLs that fwnative.dll
// imports and initialises COM in both children before the clock starts, which leaves what the
// library itself costs.
// Rounds as in bench_rounds.h. Run under Wine with
//   cmake --build <build> --target run_load_bench
#include <windows.h>

#include <objbase.h>
#include <process.h>

#include "bench_rounds.h"
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"

namespace {

constexpr DWORD kFailed = 0xFFFFFFFF;
constexpr char kMethod[] = "Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K";
using MethodFn = decltype(&Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K);

// In the child: the VM exists before the clock starts, as it does when a JVM loads a library. With
// `preloaded`, what fwnative.dll brings into a process before its own code runs is there too: its
// imports, and the COM initialisation of its load.
DWORD LoadAndCall(const std::wstring& dll, bool preloaded) {
  if (preloaded) {
    for (const wchar_t* system : {L"advapi32.dll", L"ole32.dll", L"shell32.dll", L"user32.dll", L"version.dll"}) {
      LoadLibraryW(system);
    }
    fwbench::Export<decltype(&::CoInitialize)>(GetModuleHandleW(L"ole32.dll"), "CoInitialize")(nullptr);
  }
  fwtest::TestVm vm;
  const jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl");
  jboolean answer = JNI_FALSE;
  const double seconds = fwbench::Seconds([&] {
    const HMODULE module = LoadLibraryW(dll.c_str());  // when null, the look-up fails too
    const auto method = reinterpret_cast<MethodFn>(reinterpret_cast<void*>(GetProcAddress(module, kMethod)));
    if (method != nullptr) answer = vm.Call(method, self);
  });
  return answer == JNI_TRUE ? static_cast<DWORD>(seconds * 1e6) : kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    const std::string dll = argv[1];
    return static_cast<int>(LoadAndCall(std::wstring(dll.begin(), dll.end()), argc == 3));
  }
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  bool failed = false;
  std::printf("Load benchmark (%s): LoadLibraryW + isWinNTor2K in a fresh process each time; median of %d rounds\n",
              fwbench::kBuild, fwbench::kShortRounds);
  // The child's exit code: the microseconds it measured. With `preloaded` null the list of arguments
  // ends before it; a child that does not start counts as failed.
  const auto inFreshProcess = [&](const wchar_t* dll, const wchar_t* preloaded) {
    const auto microseconds = static_cast<DWORD>(_wspawnl(_P_WAIT, program, L"load_bench", dll, preloaded, nullptr));
    failed |= microseconds == kFailed;
    return microseconds / 1e6;
  };
  const auto compare = [&](const char* what, const wchar_t* preloaded) {
    // Both DLLs load into processes in the same state.
    fwbench::CompareRounds("load + first call", what, [&] { return inFreshProcess(L"fwnative.dll", preloaded); },
                           [&] { return inFreshProcess(L"minimal_jni.dll", preloaded); }, fwbench::kShortRounds,
                           "fwnative", "minimal JNI");
  };
  compare("fresh process", nullptr);
  compare("system DLLs and COM ready before", L"preloaded");
  if (failed) std::fprintf(stderr, "a child process failed to load a DLL or to call it\n");
  return failed ? 1 : 0;
}
