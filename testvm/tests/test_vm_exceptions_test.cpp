// Pending exceptions: what the test reads of them, and the rule on JNI calls while one is pending.
#include <gtest/gtest.h>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

using Violations = std::vector<std::string>;

TEST(TestVmExceptions, OnlyExceptionSafeFunctionsMayRunWhileAnExceptionIsPending) {
  TestVm vm{kSampleManifest};
  jint result = vm.Call(
      [](JNIEnv* env, jclass sample) -> jint {
        env->ThrowNew(env->FindClass("java/lang/IllegalArgumentException"), "bad");
        // The exception-safe functions: no violation.
        env->ExceptionCheck();
        jthrowable pending = env->ExceptionOccurred();
        env->DeleteLocalRef(pending);
        env->DeleteLocalRef(sample);
        // Anything else is misuse.
        env->FindClass(kSampleClass);
        // A VM ignores the result of a call that ends with an exception pending.
        return 7;
      },
      vm.Class(kSampleClass));
  EXPECT_EQ(result, 7);
  EXPECT_EQ(vm.TakeViolations(),
            Violations{"FindClass: called with an exception pending (java/lang/IllegalArgumentException)"});
  std::optional<ThrownException> e = ExpectException(vm, "java/lang/IllegalArgumentException");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->message, u"bad");
}

TEST(TestVmExceptions, SecondThrowWhileOneIsPendingIsReported) {
  TestVm vm{kSampleManifest};
  vm.Call([](JNIEnv* env) {
    jclass c = env->FindClass(kSampleException);
    jmethodID ctor = env->GetMethodID(c, "<init>", "(I)V");
    auto first = static_cast<jthrowable>(env->NewObject(c, ctor, jint{1}));
    auto second = static_cast<jthrowable>(env->NewObject(c, ctor, jint{2}));
    env->Throw(first);
    env->Throw(second);
  });
  EXPECT_EQ(vm.TakeViolations(),
            Violations{"Throw: throws while an exception is already pending (com/fernwick/testvm/SampleException)"});
  std::optional<ThrownException> e = vm.TakePending();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, std::optional<jint>(2)) << "the second throw replaces the first, as in a VM";
}

TEST(TestVmExceptions, PendingExceptionShowsCodeAndMessage) {
  TestVm vm{kSampleManifest};
  auto throwWith = [](JNIEnv* env, jint code, jstring message) {
    jclass c = env->FindClass(kSampleException);
    jmethodID ctor = env->GetMethodID(c, "<init>", "(ILjava/lang/String;)V");
    env->Throw(static_cast<jthrowable>(env->NewObject(c, ctor, code, message)));
  };
  vm.Call(throwWith, jint{-100008}, vm.String(u"Access is denied. (5)"));
  std::optional<ThrownException> e = ExpectException(vm, kSampleException);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, std::optional<jint>(-100008));
  EXPECT_TRUE(e->hasMessage);
  EXPECT_EQ(e->message, u"Access is denied. (5)");

  vm.Call(throwWith, jint{-1}, nullptr);
  e = ExpectException(vm, kSampleException);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, std::optional<jint>(-1));
  EXPECT_FALSE(e->hasMessage) << "a null message is no message";

  vm.Call([](JNIEnv* env) {
    jclass c = env->FindClass(kSampleException);
    env->Throw(static_cast<jthrowable>(env->NewObject(c, env->GetMethodID(c, "<init>", "(I)V"), jint{-3})));
  });
  e = ExpectException(vm, kSampleException);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, std::optional<jint>(-3));
  EXPECT_FALSE(e->hasMessage);
}

}  // namespace
}  // namespace fwtest
