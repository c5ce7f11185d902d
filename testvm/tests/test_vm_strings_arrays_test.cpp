// Strings and arrays: tracked character and element copies, allocation failures, and values
// passed both ways.
#include <gtest/gtest.h>

#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

bool Mentions(const std::vector<std::string>& violations, std::string_view a, std::string_view b) {
  for (const std::string& v : violations) {
    if (v.find(a) != std::string::npos && v.find(b) != std::string::npos) return true;
  }
  return false;
}

TEST(TestVmStrings, StringCharsAreAnUnterminatedCopyReleasedExactlyOnce) {
  TestVm vm;
  jstring text = vm.String(u"abc");

  jboolean terminated = vm.Call(
      [](JNIEnv* env, jstring s) -> jboolean {
        jboolean isCopy = JNI_FALSE;
        const jchar* chars = env->GetStringChars(s, &isCopy);
        bool sameText = chars[0] == u'a' && chars[2] == u'c' && isCopy == JNI_TRUE;
        jboolean zeroAfter = chars[3] == 0 ? JNI_TRUE : JNI_FALSE;
        env->ReleaseStringChars(s, chars);
        return sameText ? zeroAfter : JNI_TRUE;
      },
      text);
  EXPECT_EQ(terminated, JNI_FALSE) << "code must use the length, never a terminator";
  EXPECT_NO_VIOLATIONS(vm);

  vm.Call([](JNIEnv* env, jstring s) { env->GetStringChars(s, nullptr); }, text);
  EXPECT_EQ(vm.TakeViolations(),
            std::vector<std::string>{"native call: string chars not released (GetStringChars) for \"abc\""});

  vm.Call(
      [](JNIEnv* env, jstring s) {
        const jchar* chars = env->GetStringChars(s, nullptr);
        env->ReleaseStringChars(s, chars);
        env->ReleaseStringChars(s, chars);
      },
      text);
  std::vector<std::string> violations = vm.TakeViolations();
  EXPECT_EQ(violations.size(), 1u);
  EXPECT_TRUE(Mentions(violations, "ReleaseStringChars", "released twice"));

  vm.Call(
      [](JNIEnv* env, jstring s) {
        static const jchar kNotFromTheVm[] = {u'a', 0};
        env->ReleaseStringChars(s, kNotFromTheVm);
      },
      text);
  violations = vm.TakeViolations();
  EXPECT_EQ(violations.size(), 1u);
  EXPECT_TRUE(Mentions(violations, "ReleaseStringChars", "never handed out"));
}

TEST(TestVmStrings, FailedAllocationReturnsNullWithOutOfMemoryError) {
  TestVm vm;
  vm.FailAllocations(1, 1);  // the second allocation fails
  jint made = vm.Call([](JNIEnv* env) -> jint {
    jstring first = env->NewStringUTF("first");
    jstring second = env->NewStringUTF("second");
    return (first != nullptr ? 1 : 0) + (second != nullptr ? 2 : 0) + (env->ExceptionCheck() ? 4 : 0);
  });
  EXPECT_EQ(made, 1 + 4);
  ExpectException(vm, "java/lang/OutOfMemoryError");

  jint next = vm.Call([](JNIEnv* env) -> jint {
    const char16_t text[] = u"third";
    return env->NewString(reinterpret_cast<const jchar*>(text), 5) != nullptr ? 1 : 0;
  });
  EXPECT_EQ(next, 1) << "only the requested allocations fail";
  ExpectNoException(vm);
}

TEST(TestVmArrays, StringAndByteArraysPassBothWays) {
  TestVm vm;
  jobjectArray reversed = vm.Call(
      [](JNIEnv* env, jobjectArray in) -> jobjectArray {
        jsize n = env->GetArrayLength(in);
        jobjectArray out = env->NewObjectArray(n, env->FindClass("java/lang/String"), nullptr);
        for (jsize i = 0; i < n; ++i) {
          jobject element = env->GetObjectArrayElement(in, i);
          env->SetObjectArrayElement(out, n - 1 - i, element);
          env->DeleteLocalRef(element);
        }
        return out;
      },
      vm.StringArray({u"a", std::nullopt, u"c"}));
  EXPECT_EQ(vm.StringArrayValue(reversed), std::optional<StringList>(StringList{u"c", std::nullopt, u"a"}));
  ExpectNoException(vm);

  jbyteArray doubled = vm.Call(
      [](JNIEnv* env, jbyteArray in) -> jbyteArray {
        jsize n = env->GetArrayLength(in);
        jbyte buffer[8] = {};
        env->GetByteArrayRegion(in, 0, n, buffer);
        for (jsize i = 0; i < n; ++i) buffer[i] = static_cast<jbyte>(buffer[i] * 2);
        jbyteArray out = env->NewByteArray(n);
        env->SetByteArrayRegion(out, 0, n, buffer);
        return out;
      },
      vm.ByteArray({1, 2, 0x7F}));
  EXPECT_EQ(vm.ByteArrayValue(doubled), std::optional<Bytes>(Bytes{2, 4, 0xFE}));
  ExpectNoException(vm);
}

TEST(TestVmArrays, OutOfBoundsIsAJavaExceptionAndElementsMustBeReleased) {
  TestVm vm;
  jbyteArray bytes = vm.ByteArray({1, 2, 3});
  vm.Call(
      [](JNIEnv* env, jbyteArray a) {
        jbyte buffer[4];
        env->GetByteArrayRegion(a, 1, 3, buffer);
      },
      bytes);
  ExpectException(vm, "java/lang/ArrayIndexOutOfBoundsException");

  vm.Call(
      [](JNIEnv* env, jbyteArray a) {
        jbyte* elements = env->GetByteArrayElements(a, nullptr);
        elements[0] = 9;
        env->ReleaseByteArrayElements(a, elements, 0);  // copied back
        env->GetByteArrayElements(a, nullptr);          // never released
      },
      bytes);
  EXPECT_EQ(vm.TakeViolations(),
            std::vector<std::string>{"native call: array elements not released (Get<Type>ArrayElements)"});
  EXPECT_EQ(vm.ByteArrayValue(bytes), std::optional<Bytes>(Bytes{9, 2, 3}));
}

}  // namespace
}  // namespace fwtest
