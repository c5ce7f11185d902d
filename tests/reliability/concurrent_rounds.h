// RunConcurrently: one ThreadScript per thread, all threads at once, every round of every thread
// compared with the answers one thread gave alone.
//
//   const auto expected = fwtest::ThreadScript(library, fwtest::PlaceOf(0, base, folder)).RunRound();
//   std::vector<std::string> mismatches(8);  // one per thread; made before any resource count
//   fwtest::RunConcurrently(library, base, folder, expected, 20, mismatches);
//
// Thread i works as PlaceOf(i + 1, ...). Afterwards mismatches[i] is "" when each of its rounds
// answered `expected`, else its first difference. The run keeps nothing allocated once it returns.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fwtest {

void RunConcurrently(HMODULE library, const std::wstring& registryBase, const std::wstring& folderBase,
                     const std::vector<std::string>& expected, int rounds, std::vector<std::string>& mismatches);

}  // namespace fwtest
