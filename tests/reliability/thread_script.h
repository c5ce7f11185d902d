// ThreadScript: one thread's round of registry, environment, file and desktop native calls, made
// through a test VM of the thread's own (a JVM gives every thread its own JNIEnv; one TestVm is not
// to be shared between threads). Everything the round changes is named after the thread's tag and
// is gone again at the end of the round, so every round of every thread answers the same.
//
//   const auto expected = fwtest::ThreadScript(library, fwtest::PlaceOf(0, base, folder)).RunRound();
//   std::vector<std::string> mismatches(8);  // one per thread; made before any resource count
//   fwtest::RunConcurrently(library, base, folder, expected, 20, mismatches);
//
// An answer line is "<Class.method>: <result>", the result as fwcall prints it (JSON: the value, null
// for void, or {"exception": ...}), followed by " | " and a JNI violation or why the line could not
// be called (a missing export), if any; the thread's tag reads "<t>" in it, so a thread that sees
// another thread's names or values answers differently.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace fwtest {

// What one thread works on.
struct ThreadPlace {
  std::wstring tag;           // in every key, value, variable and file name the thread uses
  std::wstring registryBase;  // below HKEY_CURRENT_USER; the round makes and deletes <base>\<tag>
  std::wstring folder;        // the thread's own folder, made and removed by its ThreadScript
};

ThreadPlace PlaceOf(int thread, const std::wstring& registryBase, const std::wstring& folderBase);

struct ScriptVm;  // the test VM of a run of rounds

class ThreadScript {
 public:
  // Makes the folder and the file the round copies; the library must stay loaded meanwhile.
  ThreadScript(HMODULE library, ThreadPlace place);
  ~ThreadScript();  // removes the folder
  ThreadScript(const ThreadScript&) = delete;
  ThreadScript& operator=(const ThreadScript&) = delete;

  // The answers of one round's calls. The TestVm is renewed every 50 rounds, so that its records
  // of every string copy it handed out stay short.
  std::vector<std::string> RunRound();

  static std::size_t CallsPerRound();
  // Which calls of a round are meant to fail (a missing key, an existing target, a missing file).
  static std::vector<bool> MeantToFail();

 private:
  HMODULE library_;
  ThreadPlace place_;
  std::unique_ptr<ScriptVm> vm_;
  int roundsOnVm_ = 0;
};

// One ThreadScript per thread, all at once; thread i works as PlaceOf(i + 1, ...). Afterwards
// mismatches[i] is "" when each of its rounds answered `expected`, else its first difference.
// Keeps nothing allocated once it returns.
void RunConcurrently(HMODULE library, const std::wstring& registryBase, const std::wstring& folderBase,
                     const std::vector<std::string>& expected, int rounds, std::vector<std::string>& mismatches);

}  // namespace fwtest
