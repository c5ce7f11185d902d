#include "bridge/native_boundary.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

constexpr jint kCode = -100008;

// A native method in miniature: a guarded body that fails as told, with -1 as its fallback.
template <typename Failure>
jint GuardedFailure(JNIEnv* env, Failure failure) {
  return GuardNativeCall(env, kCode, jint{-1}, [&]() -> jint {
    failure();
    return 7;
  });
}

TEST(NativeBoundary, SuccessReturnsTheResultAndThrowsNothing) {
  TestVm vm;
  jstring result = vm.Call([](JNIEnv* env) {
    return GuardNativeCall(env, kCode, static_cast<jstring>(nullptr),
                           [&] { return NewJavaString(env, WideString(L"value")); });
  });
  EXPECT_EQ(vm.StringValue(result), u"value");
  EXPECT_FALSE(vm.Pending());
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(NativeBoundary, RegistryExceptionReportsItsErrorWithTheMethodsCode) {
  TestVm vm;
  const jint result =
      vm.Call([](JNIEnv* env) { return GuardedFailure(env, [] { throw RegistryException(ERROR_ACCESS_DENIED); }); });
  EXPECT_EQ(result, -1);
  const auto pending = vm.TakePending();
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->code, kCode);
  EXPECT_TRUE(pending->hasMessage);
  EXPECT_EQ(pending->message.substr(pending->message.size() - 4), u" (5)");
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(NativeBoundary, AttributeExceptionIsReportedAsEFail) {
  TestVm vm;
  vm.Call([](JNIEnv* env) { return GuardedFailure(env, [] { throw AttributeException(3); }); });
  const auto pending = vm.TakePending();
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->code, kCode);
  EXPECT_EQ(pending->message.substr(pending->message.size() - 13), u" (2147500037)");
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(NativeBoundary, OtherInternalFailuresBecomeEFailWithoutMessage) {
  const std::function<void()> failures[] = {
      [] { throw std::bad_alloc(); },
      [] { throw std::logic_error("bug"); },
      [] { throw 42; },
  };
  for (const auto& failure : failures) {
    TestVm vm;
    const jint result = vm.Call([&](JNIEnv* env) { return GuardedFailure(env, failure); });
    EXPECT_EQ(result, -1);
    const auto pending = vm.TakePending();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->className, "com/fernwick/wizard/service/ServiceException");
    EXPECT_EQ(pending->code, kCodeEFail);
    EXPECT_FALSE(pending->hasMessage);
    EXPECT_NO_VIOLATIONS(vm);
  }
}

TEST(NativeBoundary, APendingJavaExceptionIsLeftAlone) {
  TestVm vm;
  jstring text = vm.String(u"abc");
  vm.FailAllocations(1);
  vm.Call(
      [](JNIEnv* env, jstring jtext) {
        GuardNativeCall(env, kCode, [&] {
          const JavaStringChars chars(env, jtext);  // fails: the VM is out of memory
          ADD_FAILURE() << "the work must stop at the failed copy";
        });
      },
      text);
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fw
