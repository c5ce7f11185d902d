// HiddenProcAddresses: makes a module's GetProcAddress report chosen functions as missing (null,
// last error 127), as an older Windows would; every other name is looked up for real.
//
//   fwtest::HiddenProcAddresses hidden(GetModuleHandleW(nullptr), {"SetProcessAffinityMask"});
//   ... code under test binds the function by name and takes its fallback ...
//   EXPECT_EQ(hidden.refused(), std::vector<std::string>{"SetProcessAffinityMask"});
//
// Names compare exactly (export names are case-sensitive). Lookups by ordinal pass through.
#pragma once

#include "support/fake_import.h"

#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace fwtest {

class HiddenProcAddresses {
 public:
  HiddenProcAddresses(HMODULE module, std::initializer_list<const char*> names);

  // The hidden names the module asked for, in order, once per lookup.
  std::vector<std::string> refused() const;

 private:
  struct State;
  static std::shared_ptr<State> MakeState(std::initializer_list<const char*> names);

  std::shared_ptr<State> state_;
  FakeImport<decltype(&::GetProcAddress)> fake_;
};

}  // namespace fwtest
