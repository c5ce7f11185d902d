// The method every benchmark follows: one warm-up round, then kRounds rounds in which the library
// and the bare Win32 sequence each run once, the one that goes first changing from round to round
// so that neither profits from the other's warm caches.
//
//   fwbench::CompareRounds("getSubkeyNames", "10,000 subkeys, one call",
//       [&] { return fwbench::Seconds([&] { /* the native method */ }); },
//       [&] { return fwbench::Seconds([&] { /* the Win32 calls it makes */ }); });
//
// Each side returns the seconds of its timed part only, so set-up (a tree to remove) stays outside.
// The figure is the median of the rounds' own ratios, printed with the lowest and the highest: the
// two sides of one round meet about the same load, so on a shared machine a round's ratio holds
// where a best round of each side (one of them lucky) would not. Each side's median time is printed
// too. Every benchmark includes this header, and with it <windows.h>, the test VM (and <jni.h>),
// <cstdio>, <cstdlib>, <string> and <vector>.
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
// Short rounds, many of them, so that a few rounds upset by other work move the median little.
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

// The median of the values (the mean of the middle two for an even count).
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline void CompareRounds(const char* method, const char* what, const std::function<double()>& library,
                          const std::function<double()>& plain, int rounds = kRounds,
                          const char* libraryName = "library", const char* plainName = "plain Win32") {
  library();  // warm-up: first-use costs of both sides are not measured
  plain();
  std::vector<double> libraryTimes, plainTimes, roundRatios;
  for (int round = 0; round < rounds; ++round) {
    const bool libraryFirst = round % 2 == 0;
    const double earlier = libraryFirst ? library() : plain();
    const double libraryTime = libraryFirst ? earlier : library();
    const double plainTime = libraryFirst ? plain() : earlier;
    libraryTimes.push_back(libraryTime);
    plainTimes.push_back(plainTime);
    roundRatios.push_back(libraryTime / plainTime);
  }
  const auto [lowest, highest] = std::minmax_element(roundRatios.begin(), roundRatios.end());
  std::printf("%-22s %-36s %s %9.3f ms   %s %9.3f ms   ratio %.3f (rounds %.3f to %.3f)\n", method, what,
              libraryName, Median(libraryTimes) * 1e3, plainName, Median(plainTimes) * 1e3, Median(roundRatios),
              *lowest, *highest);
  std::fflush(stdout);
}

// A library round against a bare round (`serviceClass` names the method's class in the package
// com.fernwick.wizard.platform.win32), compared and printed; `failed` is set when a call left an
// exception pending or broke a JNI rule. Both sides run the same way: each in fresh test VMs (made
// untimed), `vms` of them a round (their times summed), each after the untimed `setUp` if there is
// one. The test VM keeps a record of every string copy it handed out and checks all of them after
// each call, a cost that grows with the calls and that a JVM does not have; a long series therefore
// runs in VMs of a few hundred calls each, and a bare side that makes JNI calls pays the same VM.
using VmWork = std::function<void(fwtest::TestVm&, jobject self)>;
inline void CompareInFreshVm(const char* method, const char* what, const char* serviceClass, bool& failed,
                             const VmWork& library, const VmWork& plain, int rounds = kShortRounds, int vms = 1,
                             const std::function<void()>& setUp = {}) {
  const auto inFreshVms = [&](const VmWork& work) {
    if (setUp) setUp();
    double seconds = 0;
    for (int round = 0; round < vms; ++round) {
      fwtest::TestVm vm;
      const jobject self = vm.This(std::string("com/fernwick/wizard/platform/win32/") + serviceClass);
      seconds += Seconds([&] { work(vm, self); });
      if (vm.TakePending() || !vm.TakeViolations().empty()) failed = true;
    }
    return seconds;
  };
  CompareRounds(method, what, [&] { return inFreshVms(library); }, [&] { return inFreshVms(plain); }, rounds);
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
