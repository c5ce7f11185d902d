// Misuse the VM reports after a native call: one case per rule, with the exact violations and what
// is left pending.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

using Violations = std::vector<std::string>;

// The violation holds the parts of `pattern` split at "...", in order.
bool Matches(const std::string& violation, const std::string& pattern) {
  std::size_t at = 0;
  for (std::size_t start = 0;;) {
    const std::size_t end = pattern.find("...", start);
    const std::string part = pattern.substr(start, end == std::string::npos ? std::string::npos : end - start);
    at = violation.find(part, at);
    if (at == std::string::npos) return false;
    at += part.size();
    if (end == std::string::npos) return true;
    start = end + 3;
  }
}

jstring savedFromEarlierCall = nullptr;

#if defined(__i386__)
using NonvirtualIntA = decltype(JNINativeInterface_::CallNonvirtualIntMethodA);

// How far the stack pointer moved across one call through the slot: a stub with the wrong
// calling convention leaves it off by the size of the arguments.
__attribute__((noinline)) std::intptr_t StackDrift(NonvirtualIntA fn, JNIEnv* env, jobject obj) {
  std::uintptr_t before = 0;
  std::uintptr_t after = 0;
  asm volatile("movl %%esp, %0" : "=r"(before));
  fn(env, obj, nullptr, nullptr, nullptr);
  asm volatile("movl %%esp, %0" : "=r"(after));
  return static_cast<std::intptr_t>(after - before);
}
#endif

TEST(TestVmMisuse, EachRuleIsReportedOnceAfterTheCall) {
  static const jchar kNotFromTheVm[] = {u'a', 0};
  const struct {
    const char* what;
    std::function<void(JNIEnv*, jstring, jobject)> misuse;
    Violations expected;      // patterns, see Matches
    const char* pending;      // the exception left pending, or nullptr
    std::optional<jint> code;  // its code, when it has one
  } cases[] = {
      {"a deleted local reference",
       [](JNIEnv* env, jstring text, jobject) {
         env->DeleteLocalRef(text);
         EXPECT_EQ(env->GetStringLength(text), 0);
       },
       {"GetStringLength: ...was deleted"}, nullptr, {}},
      {"a reference of an ended call",
       [](JNIEnv* env, jstring, jobject) { EXPECT_EQ(env->GetStringLength(savedFromEarlierCall), 0); },
       {"GetStringLength: ...foreign reference"}, nullptr, {}},
      {"a call with an exception pending",
       [](JNIEnv* env, jstring, jobject) {
         env->ThrowNew(env->FindClass("java/lang/IllegalArgumentException"), "bad");
         env->ExceptionCheck();  // the exception-safe functions are no misuse
         env->DeleteLocalRef(env->ExceptionOccurred());
         env->FindClass(kSampleClass);
       },
       {"FindClass: called with an exception pending (java/lang/IllegalArgumentException)"},
       "java/lang/IllegalArgumentException", {}},
      {"a second throw, which replaces the first",
       [](JNIEnv* env, jstring, jobject) {
         jclass c = env->FindClass(kSampleException);
         jmethodID ctor = env->GetMethodID(c, "<init>", "(I)V");
         auto first = static_cast<jthrowable>(env->NewObject(c, ctor, jint{1}));
         auto second = static_cast<jthrowable>(env->NewObject(c, ctor, jint{2}));
         env->Throw(first);
         env->Throw(second);
       },
       {"Throw: throws while an exception is already pending (com/fernwick/testvm/SampleException)"},
       kSampleException, 2},
      {"a dotted class name", [](JNIEnv* env, jstring, jobject) { EXPECT_EQ(env->FindClass("java.lang.String"), nullptr); },
       {"FindClass: ..."}, "java/lang/NoClassDefFoundError", {}},
      // The C++ wrappers of jni.h forward to the V forms, which name themselves.
      {"wrong return type, object class, argument type and staticness",
       [](JNIEnv* env, jstring text, jobject p) {
         jclass c = env->GetObjectClass(p);
         EXPECT_EQ(env->CallIntMethod(p, env->GetMethodID(c, "getState", "(I)Z"), jint{1}), 0);
         env->CallVoidMethod(text, env->GetMethodID(c, "setCount", "(I)V"), jint{1});
         env->CallVoidMethod(p, env->GetMethodID(c, "setName", "(Ljava/lang/String;)V"), p);
         env->CallStaticObjectMethod(c, env->GetMethodID(c, "getName", "()Ljava/lang/String;"));
       },
       {"CallIntMethodV: com/fernwick/testvm/Sample.getState(I)Z returns boolean: use CallBooleanMethod",
        "CallVoidMethodV: object is a java/lang/String, which has no method com/fernwick/testvm/Sample.setCount(I)V",
        "CallVoidMethodV: argument 1 of com/fernwick/testvm/Sample.setName(Ljava/lang/String;)V is a "
        "com/fernwick/testvm/Sample, not a java/lang/String",
        "CallStaticObjectMethodV: com/fernwick/testvm/Sample.getName()Ljava/lang/String; is not static"},
       nullptr, {}},
      {"unimplemented functions, which return zero and touch no out-parameter",
       [](JNIEnv* env, jstring, jobject p) {
         EXPECT_EQ(env->functions->CallNonvirtualIntMethodA(env, p, nullptr, nullptr, nullptr), 0);
         EXPECT_EQ(env->functions->CallNonvirtualIntMethod(env, p, nullptr, nullptr, jint{1}, 2.0), 0);
         JavaVM* jvm = reinterpret_cast<JavaVM*>(&env);
         EXPECT_EQ(env->functions->GetJavaVM(env, &jvm), 0);
         EXPECT_NE(jvm, nullptr);
       },
       {"unimplemented JNI function CallNonvirtualIntMethodA", "unimplemented JNI function CallNonvirtualIntMethod",
        "unimplemented JNI function GetJavaVM"},
       nullptr, {}},
      {"a local frame left pushed",
       [](JNIEnv* env, jstring, jobject) {
         env->PushLocalFrame(4);
         env->NewStringUTF("leaks with its frame");
       },
       {"native call: local frame from PushLocalFrame not popped before returning"}, nullptr, {}},
      {"string chars not released", [](JNIEnv* env, jstring s, jobject) { env->GetStringChars(s, nullptr); },
       {"native call: string chars not released (GetStringChars) for \"abc\""}, nullptr, {}},
      {"string chars released twice",
       [](JNIEnv* env, jstring s, jobject) {
         const jchar* chars = env->GetStringChars(s, nullptr);
         env->ReleaseStringChars(s, chars);
         env->ReleaseStringChars(s, chars);
       },
       {"ReleaseStringChars: pointer ...released twice"}, nullptr, {}},
      {"chars the VM never handed out",
       [](JNIEnv* env, jstring s, jobject) { env->ReleaseStringChars(s, kNotFromTheVm); },
       {"ReleaseStringChars: pointer ...was never handed out"}, nullptr, {}},
      {"array elements not released",
       [](JNIEnv* env, jstring, jobject) {
         jbyteArray a = env->NewByteArray(2);
         env->ReleaseByteArrayElements(a, env->GetByteArrayElements(a, nullptr), 0);
         env->GetByteArrayElements(a, nullptr);
       },
       {"native call: array elements not released (Get<Type>ArrayElements)"}, nullptr, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestVm vm{kSampleManifest};
    vm.Call([](JNIEnv*, jstring text) { savedFromEarlierCall = text; }, vm.String(u"abc"));
    vm.Call([&](JNIEnv* env, jstring text, jobject peer) { c.misuse(env, text, peer); }, vm.String(u"abc"),
            vm.NewPeer(kSampleClass));
    const Violations violations = vm.TakeViolations();
    ASSERT_EQ(violations.size(), c.expected.size()) << JoinViolations(violations);
    for (std::size_t i = 0; i < violations.size(); ++i) EXPECT_TRUE(Matches(violations[i], c.expected[i])) << violations[i];
    const std::optional<ThrownException> pending = vm.TakePending();
    EXPECT_EQ(pending ? pending->className : "", c.pending != nullptr ? c.pending : "");
    if (c.code) {
      EXPECT_EQ(pending->code, c.code);
    }
  }
#if defined(__i386__)
  TestVm vm{kSampleManifest};
  EXPECT_EQ(StackDrift(vm.env()->functions->CallNonvirtualIntMethodA, vm.env(), nullptr), 0);
#endif
}

TEST(TestVmMisuse, StringCharsAreAnUnterminatedCopyAndArraysAreBoundsChecked) {
  TestVm vm;
  const jboolean terminated = vm.Call(
      [](JNIEnv* env, jstring s) -> jboolean {
        jboolean isCopy = JNI_FALSE;
        const jchar* chars = env->GetStringChars(s, &isCopy);
        const bool sameText = chars[0] == u'a' && chars[2] == u'c' && isCopy == JNI_TRUE;
        const jboolean zeroAfter = chars[3] == 0 ? JNI_TRUE : JNI_FALSE;
        env->ReleaseStringChars(s, chars);
        return sameText ? zeroAfter : JNI_TRUE;
      },
      vm.String(u"abc"));
  EXPECT_EQ(terminated, JNI_FALSE) << "code must use the length, never a terminator";
  EXPECT_NO_VIOLATIONS(vm);
  const jbyteArray bytes = vm.ByteArray({1, 2, 3});
  vm.Call(
      [](JNIEnv* env, jbyteArray a) {
        jbyte* elements = env->GetByteArrayElements(a, nullptr);
        elements[0] = 9;
        env->ReleaseByteArrayElements(a, elements, 0);  // copied back
        jbyte buffer[4];
        env->GetByteArrayRegion(a, 1, 3, buffer);
      },
      bytes);
  ExpectException(vm, "java/lang/ArrayIndexOutOfBoundsException");
  EXPECT_EQ(vm.ByteArrayValue(bytes), std::optional<Bytes>(Bytes{9, 2, 3}));
}

}  // namespace
}  // namespace fwtest
