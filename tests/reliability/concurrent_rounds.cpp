#include "concurrent_rounds.h"

#include <cstddef>
#include <thread>

#include "thread_script.h"

namespace fwtest {
namespace {

// "" when the answers are the expected ones, else where they first differ.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& answers,
                            int round) {
  for (std::size_t call = 0; call < expected.size() && call < answers.size(); ++call) {
    if (answers[call] != expected[call]) {
      return "round " + std::to_string(round) + ", call " + std::to_string(call + 1) + ": expected \"" +
             expected[call] + "\", got \"" + answers[call] + "\"";
    }
  }
  if (answers.size() != expected.size()) return "round " + std::to_string(round) + ": a different number of calls";
  return "";
}

}  // namespace

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
