// Method calls: constructor arguments in every form, the JDK's Enumeration, local reference counts
// and allocation failures, string and array copies. Peer accessors are met by the library's own
// peers in the file attribute and service tests.
#include <gtest/gtest.h>

#include <string>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

TEST(TestVmCalls, NewObjectReadsArgumentsByTheDescriptorInEveryForm) {
  TestVm vm{kSampleManifest};
  // Variadic: jboolean, jbyte, jchar and jshort arrive promoted to int, jfloat to double.
  jobject mixed = vm.Call([](JNIEnv* env) -> jobject {
    jclass c = env->FindClass(kSampleClass);
    jmethodID wide = env->GetMethodID(c, "<init>", "(BCSJFD)V");
    return env->NewObject(c, wide, jbyte{-2}, jchar{0xE9}, jshort{-300}, jlong{0x123456789AB}, 1.5f, -2.25);
  });
  EXPECT_EQ(vm.ConstructorDescriptor(mixed), "(BCSJFD)V");
  EXPECT_EQ((std::vector<jlong>{vm.IntArgument(mixed, 0), vm.IntArgument(mixed, 1), vm.IntArgument(mixed, 2),
                                vm.IntArgument(mixed, 3)}),
            (std::vector<jlong>{-2, 0xE9, -300, 0x123456789AB}));
  EXPECT_EQ(vm.FloatArgument(mixed, 4), 1.5);
  EXPECT_EQ(vm.FloatArgument(mixed, 5), -2.25);
  // The same constructor through the variadic, V (the C++ wrapper's forwarding) and A forms.
  for (jint form = 0; form < 3; ++form) {
    jobject o = vm.Call(
        [](JNIEnv* env, jint which) -> jobject {
          jclass c = env->FindClass(kSampleClass);
          jmethodID ctor = env->GetMethodID(c, "<init>", "(ILjava/lang/String;Z)V");
          jstring name = env->NewStringUTF("seven");
          if (which == 0) return env->functions->NewObject(env, c, ctor, jint{-7}, name, JNI_TRUE);
          if (which == 1) return env->NewObject(c, ctor, jint{-7}, name, JNI_TRUE);
          jvalue args[3];
          args[0].i = -7;
          args[1].l = name;
          args[2].z = JNI_TRUE;
          return env->NewObjectA(c, ctor, args);
        },
        form);
    EXPECT_EQ(vm.ConstructorDescriptor(o), "(ILjava/lang/String;Z)V") << form;
    EXPECT_EQ(vm.IntArgument(o, 0), -7) << form;
    EXPECT_EQ(vm.StringArgument(o, 1), std::optional<std::u16string>(u"seven")) << form;
    EXPECT_EQ(vm.IntArgument(o, 2), 1) << form;
  }
  ExpectNoException(vm);
}

TEST(TestVmCalls, AnEnumerationEndsWithNoSuchElementException) {
  TestVm vm;
  jint count = vm.Call(
      [](JNIEnv* env, jobject e) -> jint {
        jclass c = env->FindClass("java/util/Enumeration");
        jmethodID more = env->GetMethodID(c, "hasMoreElements", "()Z");
        jmethodID next = env->GetMethodID(c, "nextElement", "()Ljava/lang/Object;");
        jint n = 0;
        for (; env->CallBooleanMethod(e, more); ++n) env->DeleteLocalRef(env->CallObjectMethod(e, next));
        env->CallObjectMethod(e, next);  // past the end
        return n;
      },
      vm.Enumeration({u"x", std::nullopt, u"z"}));
  EXPECT_EQ(count, 3);
  ExpectException(vm, "java/util/NoSuchElementException");
}

TEST(TestVmCalls, LocalReferencesAreCountedAndOnlyTheAskedAllocationsFail) {
  TestVm vm;
  auto make = [](JNIEnv* env, jboolean deleteEach) {
    for (int i = 0; i < 20; ++i) {
      jstring s = env->NewStringUTF("x");
      if (deleteEach) env->DeleteLocalRef(s);
    }
  };
  vm.Call(make, jboolean{JNI_FALSE});
  EXPECT_EQ(vm.LastCallPeakLocalRefs(), 20);
  vm.Call(make, jboolean{JNI_TRUE});
  EXPECT_EQ(vm.LastCallPeakLocalRefs(), 1);
  vm.FailAllocations(1, 1);  // the second allocation fails
  jint made = vm.Call([](JNIEnv* env) -> jint {
    jstring first = env->NewStringUTF("first");
    jstring second = env->NewStringUTF("second");
    return (first != nullptr ? 1 : 0) + (second != nullptr ? 2 : 0) + (env->ExceptionCheck() ? 4 : 0);
  });
  EXPECT_EQ(made, 1 + 4);
  ExpectException(vm, "java/lang/OutOfMemoryError");
  EXPECT_FALSE(vm.IsNull(vm.Call([](JNIEnv* env) -> jstring { return env->NewStringUTF("third"); })));
  ExpectNoException(vm);
}

TEST(TestVmCalls, StringCharsAreAnUnterminatedCopyAndArraysAreBoundsChecked) {
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
