// The library keeps no state between calls: eight threads calling registry, environment, file and
// desktop native methods at once, each on its own key, variable and files, answer round after
// round exactly as one thread alone, and leave no handle or heap block behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/file_test_support.h"
#include "registry/registry_test_key.h"
#include "reliability/thread_script.h"
#include "support/loaded_library.h"
#include "support/resource_counts.h"

namespace fwtest {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 5;

TEST(ThreadsTest, EightThreadsAnswerAsOneAloneAndLeaveNothing) {
  const TestRegistryKey key;
  const TempFolder folder;
  const LoadedLibrary library(L"fwnative.dll");
  const std::vector<std::string> alone =
      ThreadScript(library.get(), PlaceOf(0, key.Path(), folder.path())).RunRound();
  // Alone, exactly the calls meant to fail throw, a ServiceException (no other class), and nothing is
  // flagged.
  const std::vector<bool> meantToFail = ThreadScript::MeantToFail();
  ASSERT_EQ(alone.size(), meantToFail.size());
  for (std::size_t call = 0; call < alone.size(); ++call) {
    EXPECT_EQ(alone[call].find(": {\"exception\": {\"code\"") != std::string::npos, meantToFail[call]) << alone[call];
    EXPECT_EQ(alone[call].find(" | "), std::string::npos) << alone[call];
  }

  std::vector<std::string> mismatches(kThreads);
  // A first round warms the system's lazy caches and the runtime's records of threads.
  RunConcurrently(library.get(), key.Path(), folder.path(), alone, 1, mismatches);
  ResourceCounts before = CountResources();
  RunConcurrently(library.get(), key.Path(), folder.path(), alone, kRounds, mismatches);
  ResourceCounts after = CountResources();
  if (!ResourceGrowth(before, after).empty()) {
    // The system may still open a handle of its own once (a cache); a leak grows again.
    before = after;
    RunConcurrently(library.get(), key.Path(), folder.path(), alone, kRounds, mismatches);
    after = CountResources();
  }
  for (int thread = 0; thread < kThreads; ++thread) {
    EXPECT_EQ(mismatches[thread], "") << "thread " << thread + 1;
  }
  EXPECT_EQ(ResourceGrowth(before, after), "");
}

}  // namespace
}  // namespace fwtest
