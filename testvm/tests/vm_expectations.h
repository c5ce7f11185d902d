// GoogleTest checks of the boundary after a native call, one line each:
//
//   fwtest::ExpectServiceException(vm, -100006, u"Access is denied. (5)");
//   EXPECT_REPORTS(vm, {"GetStringLength: ...was deleted", "pending java/lang/NoSuchMethodError..."});
//
// Every check takes the violations recorded so far (the exception checks, the pending exception too),
// so each is reported once, at the check after the call that caused it.
#ifndef FWTEST_TESTVM_VM_EXPECTATIONS_H
#define FWTEST_TESTVM_VM_EXPECTATIONS_H

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "test_vm.h"

namespace fwtest {

inline constexpr const char* kServiceException = "com/fernwick/wizard/service/ServiceException";

// A call's whole outcome: the violations recorded so far, then "pending " and the exception's Describe().
inline std::vector<std::string> TakeReports(TestVm& vm) {
  std::vector<std::string> reports = vm.TakeViolations();
  if (const std::optional<ThrownException> e = vm.TakePending()) reports.push_back("pending " + e->Describe());
  return reports;
}

// One report per pattern, each holding the parts of its pattern split at "...", in order.
inline ::testing::AssertionResult ReportsMatch(const std::vector<std::string>& reports,
                                               const std::vector<std::string>& patterns) {
  bool match = reports.size() == patterns.size();
  for (std::size_t i = 0; match && i < reports.size(); ++i) {
    for (std::size_t start = 0, at = 0;;) {
      const std::size_t end = patterns[i].find("...", start);
      const std::string part = patterns[i].substr(start, end == std::string::npos ? end : end - start);
      at = reports[i].find(part, at);
      match = at != std::string::npos;
      if (!match || end == std::string::npos) break;
      at += part.size();
      start = end + 3;
    }
  }
  if (match) return ::testing::AssertionSuccess();
  std::string reported, expected;
  for (const std::string& report : reports) reported += "\n  " + report;
  for (const std::string& pattern : patterns) expected += "\n  " + pattern;
  return ::testing::AssertionFailure() << "reports:" << reported << "\nexpected:" << expected;
}

#define EXPECT_REPORTS(vm, ...) EXPECT_TRUE(::fwtest::ReportsMatch(::fwtest::TakeReports(vm), __VA_ARGS__))

inline ::testing::AssertionResult NoViolations(TestVm& vm) { return ReportsMatch(vm.TakeViolations(), {}); }

#define EXPECT_NO_VIOLATIONS(vm) EXPECT_TRUE(::fwtest::NoViolations(vm))

// No exception pending and no violation.
inline void ExpectNoException(TestVm& vm) { EXPECT_REPORTS(vm, {}); }

// A pending ServiceException with this code, whatever its message, and no violation; returns it.
inline std::optional<ThrownException> ExpectServiceExceptionCode(TestVm& vm, jint code) {
  std::optional<ThrownException> e = vm.TakePending();
  if (!e) {
    ADD_FAILURE() << "expected a pending ServiceException, but no exception is pending";
  } else {
    EXPECT_EQ(e->className, kServiceException) << e->Describe();
    EXPECT_EQ(e->code, std::optional<jint>(code)) << e->Describe();
  }
  EXPECT_NO_VIOLATIONS(vm);
  return e;
}

// ... with exactly this message.
inline void ExpectServiceException(TestVm& vm, jint code, std::u16string_view message) {
  if (const std::optional<ThrownException> e = ExpectServiceExceptionCode(vm, code)) {
    EXPECT_TRUE(e->hasMessage) << e->Describe();
    EXPECT_EQ(e->message, message) << e->Describe();
  }
}

}  // namespace fwtest

#endif
