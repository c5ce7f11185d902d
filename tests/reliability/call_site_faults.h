// Counting and failing the Win32 calls a module makes, function by function, from the catalogue
// of the functions the library calls (win32_catalogue.h).
//
//   fwtest::CallCounter counter(dll);                     // imports, and the names looked up
//   ... the call ...
//   auto counts = counter.Counts();                       // {"RegOpenKeyExW": 2, ...}
//   fwtest::CallCounter bound(dll, counter.Resolved());   // the same with the bound functions
//   fwtest::InjectedFault fault(dll, {"RegOpenKeyExW", 2}, ERROR_NOT_ENOUGH_MEMORY);
//   ... the call again: its second RegOpenKeyExW fails with 8 ...
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fwtest {

struct CallSite {
  std::string function;
  int occurrence = 1;  // the n-th call of the function in the scenario
};

// A patch of any type, kept alive by its owner.
struct HeldPatch {
  virtual ~HeldPatch() = default;
};

class CallCounter {
 public:
  // Counts the catalogued imports of `module` and records the names it looks up successfully.
  explicit CallCounter(HMODULE module);
  // Also counts the calls to these functions bound by name (each must be catalogued as bound).
  CallCounter(HMODULE module, const std::set<std::string>& bound);
  ~CallCounter();

  std::map<std::string, int> Counts() const;
  std::set<std::string> Resolved() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The function's `occurrence`-th call fails as the function reports a failure, with `error` as the
// last error; every other call goes through.
class InjectedFault {
 public:
  InjectedFault(HMODULE module, const CallSite& site, DWORD error);
  ~InjectedFault();
  int Calls() const;  // calls seen so far, the failed one included

 private:
  struct State;
  std::unique_ptr<State> state_;
};

bool IsCatalogued(const std::string& function);
// Imports of `module` from system DLLs other than the C runtime that no list names.
std::vector<std::string> UncataloguedImports(HMODULE module);
// True for a function that reports its failure as an HRESULT.
bool FailsWithHresult(const std::string& function);
// The reason a catalogued function is never made to fail; null for one that is.
const char* NotFailedReason(const std::string& function);

}  // namespace fwtest
