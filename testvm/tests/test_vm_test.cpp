// The test VM's own rules, those that make misuse fail where a JVM would let it pass: what it reports
// after a native call, one row per rule. What it reads and keeps is met by the library's own tests.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

using Violations = std::vector<std::string>;
using Body = std::function<void(JNIEnv*, jstring, jobject)>;

jstring savedFromEarlierCall = nullptr;

// A look-up that must fail: a method, field or static field of `cls`, or the class.
enum Find { kMethod, kField, kStaticField, kClass };
const std::string kNoMethod = "pending java/lang/NoSuchMethodError message=...";
const std::string kNoField = "pending java/lang/NoSuchFieldError message=...";
Body Missing(Find find, const char* cls, const char* name = "", const char* descriptor = "") {
  return [=](JNIEnv* env, jstring, jobject) {
    jclass c = find == kClass ? nullptr : env->FindClass(cls);
    const void* found = find == kMethod        ? static_cast<const void*>(env->GetMethodID(c, name, descriptor))
                        : find == kField       ? static_cast<const void*>(env->GetFieldID(c, name, descriptor))
                        : find == kStaticField ? static_cast<const void*>(env->GetStaticFieldID(c, name, descriptor))
                                               : static_cast<const void*>(env->FindClass(cls));
    EXPECT_EQ(found, nullptr);
  };
}

TEST(TestVmOutcomes, EachRuleIsReportedOnceAfterTheCall) {
  static const jchar kNotFromTheVm[] = {u'a', 0};
  const struct {
    const char* what;
    Body body;
    Violations reports;  // see ReportsMatch
    bool overEnumeration = false;  // the object is a JDK Enumeration of "x", null, "z", not a Sample
  } cases[] = {
      {"a deleted local reference",
       [](JNIEnv* env, jstring text, jobject) {
         env->DeleteLocalRef(text);
         EXPECT_EQ(env->GetStringLength(text), 0);
       },
       {"GetStringLength: ...was deleted"}},
      {"a reference of an ended call",
       [](JNIEnv* env, jstring, jobject) { EXPECT_EQ(env->GetStringLength(savedFromEarlierCall), 0); },
       {"GetStringLength: ...foreign reference"}},
      {"a call with an exception pending",
       [](JNIEnv* env, jstring, jobject) {
         env->ThrowNew(env->FindClass("java/lang/IllegalArgumentException"), "bad");
         env->ExceptionCheck();  // the exception-safe functions are no misuse
         env->DeleteLocalRef(env->ExceptionOccurred());
         env->FindClass(kSampleClass);
       },
       {"FindClass: called with an exception pending (java/lang/IllegalArgumentException)",
        "pending java/lang/IllegalArgumentException message=\"bad\""}},
      {"a second throw, which replaces the first",
       [](JNIEnv* env, jstring, jobject) {
         jclass c = env->FindClass(kSampleException);
         jmethodID ctor = env->GetMethodID(c, "<init>", "(I)V");
         auto first = static_cast<jthrowable>(env->NewObject(c, ctor, jint{1}));
         auto second = static_cast<jthrowable>(env->NewObject(c, ctor, jint{2}));
         env->Throw(first);
         env->Throw(second);
       },
       {"Throw: throws while an exception is already pending (com/fernwick/testvm/SampleException)",
        "pending com/fernwick/testvm/SampleException code=2 (no message)"}},
      {"a dotted class name", [](JNIEnv* env, jstring, jobject) { EXPECT_EQ(env->FindClass("java.lang.String"), nullptr); },
       {"FindClass: ...", "pending java/lang/NoClassDefFoundError message=...java.lang.String"}},
      // The C++ wrappers of jni.h forward to the V forms, which name themselves.
      {"wrong return type, object class, argument type and staticness",
       [](JNIEnv* env, jstring text, jobject p) {
         jclass c = env->GetObjectClass(p);
         EXPECT_EQ(env->CallIntMethod(p, env->GetMethodID(c, "getState", "(I)Z"), jint{1}), 0);
         env->CallVoidMethod(text, env->GetMethodID(c, "setCount", "(I)V"), jint{1});
         env->CallVoidMethod(p, env->GetMethodID(c, "addItem", "(Ljava/lang/String;)V"), p);
         env->CallStaticObjectMethod(c, env->GetMethodID(c, "getName", "()Ljava/lang/String;"));
       },
       {"CallIntMethodV: com/fernwick/testvm/Sample.getState(I)Z returns boolean: use CallBooleanMethod",
        "CallVoidMethodV: object is a java/lang/String, which has no method com/fernwick/testvm/Sample.setCount(I)V",
        "CallVoidMethodV: argument 1 of com/fernwick/testvm/Sample.addItem(Ljava/lang/String;)V is a "
        "com/fernwick/testvm/Sample, not a java/lang/String",
        "CallStaticObjectMethodV: com/fernwick/testvm/Sample.getName()Ljava/lang/String; is not static"}},
      {"unimplemented functions, which return zero and touch no out-parameter",
       [](JNIEnv* env, jstring, jobject p) {
         EXPECT_EQ(env->functions->CallNonvirtualIntMethod(env, p, nullptr, nullptr, jint{1}, 2.0), 0);
         JavaVM* jvm = reinterpret_cast<JavaVM*>(&env);
         EXPECT_EQ(env->functions->GetJavaVM(env, &jvm), 0);
         EXPECT_NE(jvm, nullptr);
       },
       {"unimplemented JNI function CallNonvirtualIntMethod", "unimplemented JNI function GetJavaVM"}},
      {"a local frame left pushed",
       [](JNIEnv* env, jstring, jobject) {
         env->PushLocalFrame(4);
         env->NewStringUTF("leaks with its frame");
       },
       {"native call: local frame from PushLocalFrame not popped before returning"}},
      {"string chars released twice",
       [](JNIEnv* env, jstring s, jobject) {
         const jchar* chars = env->GetStringChars(s, nullptr);
         env->ReleaseStringChars(s, chars);
         env->ReleaseStringChars(s, chars);
       },
       {"ReleaseStringChars: pointer ...released twice"}},
      {"chars the VM never handed out",
       [](JNIEnv* env, jstring s, jobject) { env->ReleaseStringChars(s, kNotFromTheVm); },
       {"ReleaseStringChars: pointer ...was never handed out"}},
      {"array elements not released",
       [](JNIEnv* env, jstring, jobject) {
         jbyteArray a = env->NewByteArray(2);
         env->ReleaseByteArrayElements(a, env->GetByteArrayElements(a, nullptr), 0);
         env->GetByteArrayElements(a, nullptr);
       },
       {"native call: array elements not released (Get<Type>ArrayElements)"}},
      // Copies and reads: string chars are an unterminated copy (code must use the length, never a
      // terminator), array regions are bounds-checked, an Enumeration ends with an exception.
      {"string chars",
       [](JNIEnv* env, jstring s, jobject) {
         jboolean isCopy = JNI_FALSE;
         const jchar* chars = env->GetStringChars(s, &isCopy);
         EXPECT_TRUE(chars[0] == u'a' && chars[2] == u'c' && isCopy == JNI_TRUE);
         EXPECT_NE(chars[3], 0);
         env->ReleaseStringChars(s, chars);
       },
       {}},
      {"an array region past the end",
       [](JNIEnv* env, jstring, jobject) {
         jbyte buffer[4];
         env->GetByteArrayRegion(env->NewByteArray(3), 1, 3, buffer);
       },
       {"pending java/lang/ArrayIndexOutOfBoundsException..."}},
      {"an Enumeration read past its end",
       [](JNIEnv* env, jstring, jobject e) {
         jclass c = env->FindClass("java/util/Enumeration");
         jmethodID more = env->GetMethodID(c, "hasMoreElements", "()Z");
         jmethodID next = env->GetMethodID(c, "nextElement", "()Ljava/lang/Object;");
         jint n = 0;
         for (; env->CallBooleanMethod(e, more); ++n) env->DeleteLocalRef(env->CallObjectMethod(e, next));
         EXPECT_EQ(n, 3);
         env->CallObjectMethod(e, next);
       },
       {"pending java/util/NoSuchElementException..."}, true},
      // A null message is no message (a code and a message, and a code alone: the boundary tests').
      {"a null message",
       [](JNIEnv* env, jstring, jobject) {
         jclass c = env->FindClass(kSampleException);
         jmethodID ctor = env->GetMethodID(c, "<init>", "(ILjava/lang/String;)V");
         env->Throw(static_cast<jthrowable>(env->NewObject(c, ctor, jint{-1}, nullptr)));
       },
       {"pending com/fernwick/testvm/SampleException code=-1 (no message)"}},
      // Look-ups: each failure names what was asked for (that hidden members are missing, the boundary's).
      {"a wrong descriptor", Missing(kMethod, kSampleClass, "setCount", "(J)V"), {kNoMethod + "setCount(J)V"}},
      {"a static method as an instance one", Missing(kMethod, kSampleClass, "create", "()Lcom/fernwick/testvm/Sample;"),
       {kNoMethod + "create()"}},
      {"a constructor not declared", Missing(kMethod, kSampleException, "<init>", "()V"), {kNoMethod + "<init>()V"}},
      {"a field of another type", Missing(kStaticField, kSampleClass, "LIMIT", "J"), {kNoField + "LIMIT"}},
      {"a static field as an instance one", Missing(kField, kSampleClass, "LIMIT", "I"), {kNoField + "LIMIT"}},
      {"a class not in the manifest", Missing(kClass, "com/fernwick/testvm/Missing"),
       {"pending java/lang/NoClassDefFoundError message=...com/fernwick/testvm/Missing"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestVm vm{kSampleManifest};
    vm.Call([](JNIEnv*, jstring text) { savedFromEarlierCall = text; }, vm.String(u"abc"));
    vm.Call([&](JNIEnv* env, jstring text, jobject peer) { c.body(env, text, peer); }, vm.String(u"abc"),
            c.overEnumeration ? vm.Enumeration({u"x", std::nullopt, u"z"}) : vm.NewPeer(kSampleClass));
    EXPECT_REPORTS(vm, c.reports);
  }
}

}  // namespace
}  // namespace fwtest
