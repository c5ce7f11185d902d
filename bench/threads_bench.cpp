// Threads benchmark: the round of registry, environment, file and desktop calls of the threads
// test, many rounds on one thread and then on eight threads at once, each compared with the
// answers of one round alone. Run under Wine with
//   cmake --build <build> --target run_threads_bench          (or threads_bench.exe <rounds>)
// It prints the calls per second of both runs, their ratio, any thread whose answers differed, and
// what the process holds more after each run than before it.
#include "bench_rounds.h"
#include "registry/registry_access.h"
#include "reliability/thread_script.h"
#include "support/resource_counts.h"

int main(int argc, char** argv) {
  constexpr int kThreads = 8;
  const wchar_t kRegistryBase[] = L"Software\\fwnative-bench\\threads";
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
  const HMODULE library = fwbench::LoadFwnative();
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"fwnative-threads-bench";
  CreateDirectoryW(folder.c_str(), nullptr);
  fw::RegistryAccess().CreateKey(fw::RootKey::CurrentUser, L"Software", L"fwnative-bench\\threads");

  const std::vector<std::string> expected =
      fwtest::ThreadScript(library, fwtest::PlaceOf(0, kRegistryBase, folder)).RunRound();
  std::vector<std::string> warmUp(kThreads);
  fwtest::RunConcurrently(library, kRegistryBase, folder, expected, 1, warmUp);
  // `rounds` rounds on each of `threads` threads; prints the rate and returns it. `differed` becomes
  // true when a thread answered otherwise than one round alone.
  bool differed = false;
  const auto measure = [&](int threads) {
    std::vector<std::string> mismatches(threads);
    const fwtest::ResourceCounts before = fwtest::CountResources();
    const double seconds = fwbench::Seconds(
        [&] { fwtest::RunConcurrently(library, kRegistryBase, folder, expected, rounds, mismatches); });
    const std::string growth = fwtest::ResourceGrowth(before, fwtest::CountResources());
    const double calls = static_cast<double>(threads) * rounds * fwtest::ThreadScript::CallsPerRound();
    std::printf("%d thread(s) x %d rounds: %.0f calls in %.2f s, %.0f calls/s; resource growth: %s\n", threads,
                rounds, calls, seconds, calls / seconds, growth.empty() ? "none" : growth.c_str());
    for (int thread = 0; thread < threads; ++thread) {
      if (mismatches[thread].empty()) continue;
      std::printf("  thread %d differs: %s\n", thread + 1, mismatches[thread].c_str());
      differed = true;
    }
    return calls / seconds;
  };
  const double one = measure(1), eight = measure(kThreads);
  std::printf("%d threads against one: %.2f times the calls per second\n", kThreads, eight / one);

  fw::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\fwnative-bench");
  RemoveDirectoryW(folder.c_str());
  FreeLibrary(library);
  return differed ? 1 : 0;
}
