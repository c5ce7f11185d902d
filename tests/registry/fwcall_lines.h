// FwcallLines: fwcall lines called one after another on the built DLL in one test VM, each giving
// the JSON fwcall prints for it (or "JNI misuse: " and the first violation), so that a test is a
// table of calls and their literal answers.
//
//   EXPECT_EQ(calls.Answer("Win32RegistryServiceImpl.keyExists 3 Software"), "true");
//   EXPECT_EQ(calls.Answer("Win32ServiceImpl.queryNTServiceStatus \"\""), Thrown(-1200006, ERROR_BAD_ARGUMENTS));
#pragma once

#include <string>
#include <vector>

#include "json.h"
#include "registry/registry_test_key.h"
#include "reliability/line_call.h"
#include "support/loaded_library.h"
#include "vm_json.h"

namespace fwtest {

class FwcallLines {
 public:
  std::string Answer(const std::string& line, const ArgumentEdit& edit = nullptr) {
    const LineCall call = CallLine(vm, table_, library.get(), line, edit);
    const std::string json = CallOutcome(vm, call.method->signature.result.kind, call.result).Write();
    const std::vector<std::string> violations = vm.TakeViolations();
    return violations.empty() ? json : "JNI misuse: " + violations.front();
  }

  LoadedLibrary library{L"fwnative.dll"};
  TestVm vm;

 private:
  const fwcall::MethodTable table_{vm};
};

// The answer of a call that threw a ServiceException of `code` with the system's text of `error`.
inline std::string Thrown(jint code, DWORD error) {
  return "{\"exception\": {\"code\": " + std::to_string(code) + ", \"message\": " + Json::String(ErrorMessage(error)).Write() + "}}";
}

}  // namespace fwtest
