// GoogleTest checks of the boundary after a native call, one line each:
//
//   jint r = vm.Call(Java_..._set32BitValue, self, jint{3}, key, name, jint{7});
//   fwtest::ExpectNoException(vm);                         // also fails on any violation
//   fwtest::ExpectServiceException(vm, -100006, u"Access is denied. (5)");
//   EXPECT_NO_VIOLATIONS(vm);
//
// ExpectServiceException and ExpectException take (and so clear) the pending exception; every
// check also takes the violations recorded so far, so each is reported once, at the check after the
// call that caused it.
#ifndef FWTEST_TESTVM_VM_EXPECTATIONS_H
#define FWTEST_TESTVM_VM_EXPECTATIONS_H

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "test_vm.h"

namespace fwtest {

inline constexpr const char* kServiceException = "com/fernwick/wizard/service/ServiceException";

inline std::string JoinViolations(const std::vector<std::string>& violations) {
  std::string out;
  for (const std::string& v : violations) out += "\n  " + v;
  return out;
}

inline ::testing::AssertionResult NoViolations(TestVm& vm) {
  std::vector<std::string> violations = vm.TakeViolations();
  if (violations.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "JNI violations:" << JoinViolations(violations);
}

#define EXPECT_NO_VIOLATIONS(vm) EXPECT_TRUE(::fwtest::NoViolations(vm))

// No exception pending and no violation.
inline void ExpectNoException(TestVm& vm) {
  std::optional<ThrownException> pending = vm.TakePending();
  EXPECT_FALSE(pending.has_value()) << "unexpected pending exception: " << pending->Describe();
  EXPECT_NO_VIOLATIONS(vm);
}

// A pending exception of `className` (taken), and no violation.
inline std::optional<ThrownException> ExpectException(TestVm& vm, std::string_view className) {
  std::optional<ThrownException> pending = vm.TakePending();
  if (!pending) {
    ADD_FAILURE() << "expected a pending " << className << ", but no exception is pending";
  } else {
    EXPECT_EQ(pending->className, className) << pending->Describe();
  }
  EXPECT_NO_VIOLATIONS(vm);
  return pending;
}

// A pending ServiceException with this code, whatever its message (taken), and no violation;
// returns it for further checks.
inline std::optional<ThrownException> ExpectServiceExceptionCode(TestVm& vm, jint code) {
  std::optional<ThrownException> e = ExpectException(vm, kServiceException);
  if (e) {
    EXPECT_EQ(e->code, std::optional<jint>(code)) << e->Describe();
  }
  return e;
}

// ... with exactly this message.
inline void ExpectServiceException(TestVm& vm, jint code, std::u16string_view message) {
  if (const std::optional<ThrownException> e = ExpectServiceExceptionCode(vm, code)) {
    EXPECT_TRUE(e->hasMessage) << e->Describe();
    EXPECT_EQ(e->message, message) << e->Describe();
  }
}

// ... with no message (ServiceException(int)).
inline void ExpectServiceCode(TestVm& vm, jint code) {
  if (const std::optional<ThrownException> e = ExpectServiceExceptionCode(vm, code)) {
    EXPECT_FALSE(e->hasMessage) << e->Describe();
  }
}

}  // namespace fwtest

#endif
