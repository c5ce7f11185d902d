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
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace fwtest {

class HiddenProcAddresses {
 public:
  HiddenProcAddresses(HMODULE module, std::initializer_list<const char*> names)
      : fake_(module, FWTEST_IMPORT(GetProcAddress),
              [hidden = std::set<std::string>(names.begin(), names.end()), log = log_](
                  auto original, HMODULE target, LPCSTR name) -> FARPROC {
                if (reinterpret_cast<ULONG_PTR>(name) < 0x10000 || hidden.count(name) == 0) {
                  return original(target, name);
                }
                std::lock_guard<std::mutex> lock(log->mutex);
                log->refused.emplace_back(name);
                SetLastError(ERROR_PROC_NOT_FOUND);
                return nullptr;
              }) {}

  // The hidden names the module asked for, in order, once per lookup.
  std::vector<std::string> refused() const {
    std::lock_guard<std::mutex> lock(log_->mutex);
    return log_->refused;
  }

 private:
  struct Log {
    std::mutex mutex;
    std::vector<std::string> refused;
  };
  std::shared_ptr<Log> log_ = std::make_shared<Log>();  // before fake_, whose behaviour shares it
  FakeImport<decltype(&::GetProcAddress)> fake_;
};

}  // namespace fwtest
