// The method every benchmark follows: one warm-up round, then kRounds rounds in which the library
// and the bare Win32 sequence each run once, the one that goes first changing from round to round
// so that neither profits from the other's warm caches; each side's best round counts.
//
//   fwbench::CompareRounds("getSubkeyNames", "10,000 subkeys, one call",
//       [&] { return fwbench::Seconds([&] { /* the native method */ }); },
//       [&] { return fwbench::Seconds([&] { /* the Win32 calls it makes */ }); });
//
// Each side returns the seconds of its timed part only, so set-up (a tree to remove) stays outside.
// Beside the ratio of the two best rounds, the median of the rounds' own ratios is printed: the two
// sides of one round meet about the same load, so on a shared machine the two figures agreeing
// says the best rounds were not luck. Every benchmark includes this header, and with it <windows.h>,
// the test VM (and <jni.h>), <cstdio>, <cstdlib>, <string> and <vector>.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "test_vm.h"

namespace fwbench {

constexpr int kRounds = 10;
// Short rounds, many of them, give the best round a chance on a machine that others share.
constexpr int kShortRounds = 30;
// The build named in each benchmark's first line.
constexpr const char* kBuild = sizeof(void*) == 8 ? "x86_64" : "i686";

inline double Seconds(const std::function<void()>& work) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline void CompareRounds(const char* method, const char* what, const std::function<double()>& library,
                          const std::function<double()>& plain, int rounds = kRounds,
                          const char* libraryName = "library", const char* plainName = "plain Win32") {
  library();  // warm-up: first-use costs of both sides are not measured
  plain();
  double bestLibrary = 1e30, bestPlain = 1e30;
  std::vector<double> roundRatios;
  for (int round = 0; round < rounds; ++round) {
    const bool libraryFirst = round % 2 == 0;
    const double earlier = libraryFirst ? library() : plain();
    const double libraryTime = libraryFirst ? earlier : library();
    const double plainTime = libraryFirst ? plain() : earlier;
    bestLibrary = std::min(bestLibrary, libraryTime);
    bestPlain = std::min(bestPlain, plainTime);
    roundRatios.push_back(libraryTime / plainTime);
  }
  std::nth_element(roundRatios.begin(), roundRatios.begin() + rounds / 2, roundRatios.end());
  std::printf("%-22s %-36s %s %9.3f ms   %s %9.3f ms   ratio %.3f (median of rounds %.3f)\n", method, what, libraryName,
              bestLibrary * 1e3, plainName, bestPlain * 1e3, bestLibrary / bestPlain, roundRatios[rounds / 2]);
  std::fflush(stdout);
}

// A library round against a bare round (`serviceClass` names the method's class in the package
// com.fernwick.wizard.platform.win32), compared and printed; `failed` is set when a library call
// left an exception pending or broke a JNI rule. The test VM keeps a record of every string copy
// it handed out and checks all of them after each call, a cost that grows with the calls and that
// a JVM does not have: a long series therefore runs in fresh VMs of a few hundred calls each, each
// made untimed, and a library round may be split into `vms` of them (their times summed). A
// `setUp` runs, untimed, before each side; with one the bare side too runs after a fresh VM is
// made, so that both start the same time after it.
inline void CompareInFreshVm(const char* method, const char* what, const char* serviceClass, bool& failed,
                             const std::function<void(fwtest::TestVm&, jobject self)>& library,
                             const std::function<void()>& plain, int rounds = kShortRounds, int vms = 1,
                             const std::function<void()>& setUp = {}) {
  const auto inFreshVm = [&](const std::function<void(fwtest::TestVm&, jobject self)>& work) {
    fwtest::TestVm vm;
    const jobject self = vm.This(std::string("com/fernwick/wizard/platform/win32/") + serviceClass);
    const double seconds = Seconds([&] { work(vm, self); });
    if (vm.TakePending() || !vm.TakeViolations().empty()) failed = true;
    return seconds;
  };
  const auto libraryRound = [&] {
    if (setUp) setUp();
    double seconds = 0;
    for (int vm = 0; vm < vms; ++vm) seconds += inFreshVm(library);
    return seconds;
  };
  const auto plainRound = [&] {
    if (!setUp) return Seconds(plain);
    setUp();
    return inFreshVm([&](fwtest::TestVm&, jobject) { plain(); });
  };
  CompareRounds(method, what, libraryRound, plainRound, rounds);
}

// fwnative.dll from the program's folder; a DLL that does not load ends the run.
inline HMODULE LoadFwnative() {
  const HMODULE library = LoadLibraryW(L"fwnative.dll");
  if (library != nullptr) return library;
  std::fprintf(stderr, "fwnative.dll does not load (%lu)\n", GetLastError());
  std::exit(2);
}

// An export of the DLL typed from its declaration in the javac -h header; a missing one ends the run.
//   const auto getSubkeyNames = FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getSubkeyNames);
#define FW_BENCH_EXPORT(module, javaClass, method)                                             \
  fwbench::Export<decltype(&Java_com_fernwick_wizard_platform_win32_##javaClass##_##method)>( \
      module, "Java_com_fernwick_wizard_platform_win32_" #javaClass "_" #method)
template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  if (const auto address = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))) return address;
  std::fprintf(stderr, "the DLL does not export %s\n", name);
  std::exit(2);
}

}  // namespace fwbench
