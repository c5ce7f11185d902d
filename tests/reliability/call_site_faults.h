// Counting and failing the Win32 calls a module makes, function by function, from the catalogue
// of the functions the library calls (support/win32_catalogue.h).
//
//   fwtest::CallCounter counter(dll);                     // imports, and the names looked up
//   ... the call ...
//   auto counts = counter.Counts();                       // {"RegOpenKeyExW": 2, ...}
//   fwtest::CallCounter bound(dll, counter.Resolved());   // the same with the bound functions
//   fwtest::CallCounter fault(dll, bound, {"RegOpenKeyExW", 2}, ERROR_NOT_ENOUGH_MEMORY);
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
  std::string function;  // none when empty
  int occurrence = 1;  // the n-th call of the function in the scenario
};

// Counts the calls `module` makes to the catalogued functions it imports and to those in `bound`
// (each must be catalogued as bound) and records the names it looks up successfully. Given a
// `fault`, it patches that function only, and its call there fails as the function reports a
// failure, with `error` as the last error.
class CallCounter {
 public:
  explicit CallCounter(HMODULE module, const std::set<std::string>& bound = {}, const CallSite& fault = {},
                       DWORD error = 0);
  ~CallCounter();

  std::map<std::string, int> Counts() const;
  std::set<std::string> Resolved() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

bool IsCatalogued(const std::string& function);
// Imports of `module` other than the C runtime's that no list names.
std::vector<std::string> UncataloguedImports(HMODULE module);
// True for a function that reports its failure as an HRESULT.
bool FailsWithHresult(const std::string& function);
// The reason a catalogued function is never made to fail; null for one that is.
const char* NotFailedReason(const std::string& function);

}  // namespace fwtest
