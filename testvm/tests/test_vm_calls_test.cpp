// Method calls: argument passing in every form, peer accessors, the JDK classes' behaviour, type
// checks, and the stubs of unimplemented functions.
#include <gtest/gtest.h>

#include <cstdint>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

using Violations = std::vector<std::string>;

TEST(TestVmCalls, NewObjectReadsArgumentsByTheDescriptorInEveryForm) {
  TestVm vm{kSampleManifest};
  // Variadic: jboolean, jbyte, jchar and jshort arrive promoted to int, jfloat to double.
  jobject mixed = vm.Call([](JNIEnv* env) -> jobject {
    jclass c = env->FindClass(kSampleClass);
    jmethodID ctor = env->GetMethodID(c, "<init>", "(ILjava/lang/String;Z)V");
    jobject first = env->NewObject(c, ctor, jint{-7}, env->NewStringUTF("seven"), JNI_TRUE);
    jmethodID wide = env->GetMethodID(c, "<init>", "(BCSJFD)V");
    jobject second = env->NewObject(c, wide, jbyte{-2}, jchar{0xE9}, jshort{-300}, jlong{0x123456789AB}, 1.5f, -2.25);
    return first != nullptr ? second : nullptr;
  });
  ASSERT_FALSE(vm.IsNull(mixed));
  EXPECT_EQ(vm.ConstructorDescriptor(mixed), "(BCSJFD)V");
  EXPECT_EQ(vm.IntArgument(mixed, 0), -2);
  EXPECT_EQ(vm.IntArgument(mixed, 1), 0xE9);
  EXPECT_EQ(vm.IntArgument(mixed, 2), -300);
  EXPECT_EQ(vm.IntArgument(mixed, 3), 0x123456789AB);
  EXPECT_EQ(vm.FloatArgument(mixed, 4), 1.5);
  EXPECT_EQ(vm.FloatArgument(mixed, 5), -2.25);

  // The same constructor through the variadic, V (NewObject forwarding) and A forms.
  for (int form = 0; form < 3; ++form) {
    SCOPED_TRACE(form);
    jobject o = vm.Call(
        [](JNIEnv* env, jint which) -> jobject {
          jclass c = env->FindClass(kSampleClass);
          jmethodID ctor = env->GetMethodID(c, "<init>", "(ILjava/lang/String;Z)V");
          jstring name = env->NewStringUTF("seven");
          if (which == 0) return env->functions->NewObject(env, c, ctor, jint{-7}, name, JNI_TRUE);
          if (which == 1) return env->NewObject(c, ctor, jint{-7}, name, JNI_TRUE);  // C++ wrapper: NewObjectV
          jvalue args[3];
          args[0].i = -7;
          args[1].l = name;
          args[2].z = JNI_TRUE;
          return env->NewObjectA(c, ctor, args);
        },
        jint{form});
    EXPECT_EQ(vm.ConstructorDescriptor(o), "(ILjava/lang/String;Z)V");
    EXPECT_EQ(vm.IntArgument(o, 0), -7);
    EXPECT_EQ(vm.StringArgument(o, 1), std::optional<std::u16string>(u"seven"));
    EXPECT_EQ(vm.IntArgument(o, 2), 1);
  }
  ExpectNoException(vm);
}

jlong JNICALL NativeWithManyArguments(JNIEnv* env, jobject self, jint a, jlong b, jboolean c, jstring d) {
  return a + b + c + env->GetStringLength(d) + (env->IsSameObject(self, nullptr) ? 1000 : 0);
}

TEST(TestVmCalls, CallPassesArgumentsToANativeMethod) {
  TestVm vm{kSampleManifest};
  jlong result = vm.CallOn(vm.NewPeer(kSampleClass), &NativeWithManyArguments, jint{1}, jlong{1} << 40,
                           jboolean{JNI_TRUE}, vm.String(u"four"));
  EXPECT_EQ(result, (jlong{1} << 40) + 6);
  ExpectNoException(vm);
}

TEST(TestVmCalls, PeerAccessorsKeepPropertiesTheTestPresetsAndReads) {
  TestVm vm{kSampleManifest};
  jobject peer = vm.NewPeer(kSampleClass);
  vm.SetIntProperty(peer, "Count", 5);
  jboolean unset = vm.Call(
      [](JNIEnv* env, jobject p) -> jboolean {
        jclass c = env->GetObjectClass(p);
        jint count = env->CallIntMethod(p, env->GetMethodID(c, "getCount", "()I"));
        env->CallVoidMethod(p, env->GetMethodID(c, "setCount", "(I)V"), count + 1);
        env->CallVoidMethod(p, env->GetMethodID(c, "setState", "(IZ)V"), jint{9}, JNI_TRUE);
        env->CallVoidMethod(p, env->GetMethodID(c, "setName", "(Ljava/lang/String;)V"), env->NewStringUTF("n"));
        jmethodID addItem = env->GetMethodID(c, "addItem", "(Ljava/lang/String;)V");
        env->CallVoidMethod(p, addItem, env->NewStringUTF("a"));
        env->CallVoidMethod(p, addItem, env->NewStringUTF("b"));
        env->SetIntField(p, env->GetFieldID(c, "size", "I"), 3);
        return env->CallBooleanMethod(p, env->GetMethodID(c, "getState", "(I)Z"), jint{8});
      },
      peer);
  EXPECT_EQ(unset, JNI_FALSE);
  EXPECT_EQ(vm.IntProperty(peer, "Count"), 6);
  EXPECT_TRUE(vm.BoolProperty(peer, TestVm::Indexed("State", 9)));
  EXPECT_FALSE(vm.HasProperty(peer, TestVm::Indexed("State", 8)));
  EXPECT_EQ(vm.StringProperty(peer, "Name"), std::optional<std::u16string>(u"n"));
  EXPECT_EQ(vm.IntProperty(peer, "size"), 3);
  std::vector<jobject> items = vm.ListProperty(peer, "Item");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(vm.StringValue(items[1]), std::optional<std::u16string>(u"b"));
  ExpectNoException(vm);
}

TEST(TestVmCalls, VectorAndEnumerationBehaveAsTheJdkOnes) {
  TestVm vm;
  jobject made = vm.Call([](JNIEnv* env) -> jobject {
    jclass c = env->FindClass("java/util/Vector");
    jobject v = env->NewObject(c, env->GetMethodID(c, "<init>", "()V"));
    jmethodID add = env->GetMethodID(c, "addElement", "(Ljava/lang/Object;)V");
    env->CallVoidMethod(v, add, env->NewStringUTF("a"));
    env->CallVoidMethod(v, add, env->NewStringUTF("b"));
    return env->CallObjectMethod(v, env->GetMethodID(c, "elements", "()Ljava/util/Enumeration;"));
  });
  EXPECT_EQ(vm.StringElements(made), std::optional<StringList>(StringList{u"a", u"b"}));

  jstring joined = vm.Call(
      [](JNIEnv* env, jobject e) -> jstring {
        jclass c = env->FindClass("java/util/Enumeration");
        jmethodID more = env->GetMethodID(c, "hasMoreElements", "()Z");
        jmethodID next = env->GetMethodID(c, "nextElement", "()Ljava/lang/Object;");
        std::u16string out;
        while (env->CallBooleanMethod(e, more)) {
          auto s = static_cast<jstring>(env->CallObjectMethod(e, next));
          if (s == nullptr) {
            out += u"-";
            continue;
          }
          const jchar* chars = env->GetStringChars(s, nullptr);
          out.append(reinterpret_cast<const char16_t*>(chars), env->GetStringLength(s));
          env->ReleaseStringChars(s, chars);
        }
        env->CallObjectMethod(e, next);  // past the end
        return env->NewString(reinterpret_cast<const jchar*>(out.data()), static_cast<jsize>(out.size()));
      },
      vm.Enumeration({u"x", std::nullopt, u"z"}));
  EXPECT_EQ(vm.StringValue(joined), std::optional<std::u16string>(u"x-z"));
  // The NewString after the failed nextElement ran with the exception pending.
  EXPECT_EQ(vm.TakeViolations().size(), 1u);
  ExpectException(vm, "java/util/NoSuchElementException");
}

TEST(TestVmCalls, ReturnTypeObjectClassAndArgumentTypesAreChecked) {
  TestVm vm{kSampleManifest};
  vm.Call(
      [](JNIEnv* env, jobject p, jstring text) {
        jclass c = env->GetObjectClass(p);
        EXPECT_EQ(env->CallIntMethod(p, env->GetMethodID(c, "getState", "(I)Z"), jint{1}), 0);
        env->CallVoidMethod(text, env->GetMethodID(c, "setCount", "(I)V"), jint{1});
        env->CallVoidMethod(p, env->GetMethodID(c, "setName", "(Ljava/lang/String;)V"), p);
        env->CallStaticObjectMethod(c, env->GetMethodID(c, "getName", "()Ljava/lang/String;"));
      },
      vm.NewPeer(kSampleClass), vm.String(u"not a Sample"));
  // The C++ wrappers of jni.h forward to the V forms, which name themselves.
  EXPECT_EQ(vm.TakeViolations(),
            (Violations{
                "CallIntMethodV: com/fernwick/testvm/Sample.getState(I)Z returns boolean: use CallBooleanMethod",
                "CallVoidMethodV: object is a java/lang/String, which has no method "
                "com/fernwick/testvm/Sample.setCount(I)V",
                "CallVoidMethodV: argument 1 of com/fernwick/testvm/Sample.setName(Ljava/lang/String;)V is a "
                "com/fernwick/testvm/Sample, not a java/lang/String",
                "CallStaticObjectMethodV: com/fernwick/testvm/Sample.getName()Ljava/lang/String; is not static",
            }));
  ExpectNoException(vm);
}

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

TEST(TestVmCalls, UnimplementedFunctionIsReportedAndReturnsZero) {
  TestVm vm{kSampleManifest};
  jint result = vm.Call(
      [](JNIEnv* env, jobject p) -> jint {
        jint a = env->functions->CallNonvirtualIntMethodA(env, p, nullptr, nullptr, nullptr);
        jint b = env->functions->CallNonvirtualIntMethod(env, p, nullptr, nullptr, jint{1}, 2.0);
        JavaVM* jvm = reinterpret_cast<JavaVM*>(&env);
        jint c = env->functions->GetJavaVM(env, &jvm);
        return a + b + c + (jvm == nullptr ? 0 : 100);
      },
      vm.NewPeer(kSampleClass));
  EXPECT_EQ(result, 100) << "stubs return zero and touch no out-parameter";
  EXPECT_EQ(vm.TakeViolations(), (Violations{"unimplemented JNI function CallNonvirtualIntMethodA",
                                             "unimplemented JNI function CallNonvirtualIntMethod",
                                             "unimplemented JNI function GetJavaVM"}));
#if defined(__i386__)
  EXPECT_EQ(StackDrift(vm.env()->functions->CallNonvirtualIntMethodA, vm.env(), nullptr), 0);
  vm.TakeViolations();
#endif
}

}  // namespace
}  // namespace fwtest
