// JNI functions on methods: GetMethodID, GetStaticMethodID, AllocObject, the NewObject family, and
// the Call<Type>Method and CallStatic<Type>Method families in their variadic, V and A forms.
#include "jni_call_support.h"
#include "jni_functions.h"

namespace fwtest::vm {
namespace {

jmethodID LookUp(JNIEnv* env, const char* function, jclass clazz, const char* name, const char* sig, bool isStatic) {
  VmState& vm = VmState::From(env);
  vm.Enter(function);
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  return c == nullptr ? nullptr : vm.LookUpMethod(c, name, sig, isStatic);
}

jmethodID JNICALL GetMethodID(JNIEnv* env, jclass clazz, const char* name, const char* sig) {
  return LookUp(env, "GetMethodID", clazz, name, sig, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv* env, jclass clazz, const char* name, const char* sig) {
  return LookUp(env, "GetStaticMethodID", clazz, name, sig, true);
}

// A class that `new` may instantiate; otherwise InstantiationException is pending, as in a VM.
bool Instantiable(VmState& vm, ClassInfo* c) {
  if (!c->isAbstract && !c->isInterface && !c->IsArray() && c->name != "java/lang/Class") return true;
  vm.ThrowVmError("java/lang/InstantiationException", c->name);
  return false;
}

jobject JNICALL AllocObject(JNIEnv* env, jclass clazz) {
  VmState& vm = VmState::From(env);
  vm.Enter("AllocObject");
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  if (c == nullptr || !Instantiable(vm, c) || !vm.Allocate()) return nullptr;
  return vm.Local(vm.NewInstance(c));
}

jobject NewObjectCommon(JNIEnv* env, const char* function, jclass clazz, jmethodID id, ArgSource source) {
  VmState& vm = VmState::From(env);
  vm.Enter(function);
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  const MethodRef* m = vm.MethodFromId(id);
  if (c == nullptr || m == nullptr) return nullptr;
  if (m->decl->name != "<init>") {
    vm.Violation("method id is not a constructor: " + m->Describe());
    return nullptr;
  }
  if (m->declaring != c) {
    vm.Violation("constructor " + m->Describe() + " does not belong to " + c->name);
    return nullptr;
  }
  std::vector<Value> args;
  if (!ReadArguments(vm, *m, source, &args)) return nullptr;
  if (!Instantiable(vm, c) || !vm.Allocate()) return nullptr;
  ObjectId self = vm.NewInstance(c);
  vm.Construct(self, *m, args);
  return vm.Local(self);
}

jobject JNICALL NewObject(JNIEnv* env, jclass clazz, jmethodID id, ...) {
  va_list ap;
  va_start(ap, id);
  jobject result = NewObjectCommon(env, "NewObject", clazz, id, ArgSource{&ap, nullptr});
  va_end(ap);
  return result;
}

jobject JNICALL NewObjectV(JNIEnv* env, jclass clazz, jmethodID id, va_list ap) {
  return NewObjectCommon(env, "NewObjectV", clazz, id, ArgSource{&ap, nullptr});
}

jobject JNICALL NewObjectA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args) {
  return NewObjectCommon(env, "NewObjectA", clazz, id, ArgSource{nullptr, args});
}

// The checks every call makes before running the method; null when the call cannot go on.
template <char K>
const MethodRef* CheckedMethod(VmState& vm, jmethodID id, bool isStatic, const char* family) {
  const MethodRef* m = vm.MethodFromId(id);
  if (m == nullptr) return nullptr;
  if (m->isStatic != isStatic) {
    vm.Violation(m->Describe() + (isStatic ? " is not static" : " is static: use CallStatic" +
                                                                 std::string(KindSuffix(K)) + "Method"));
    return nullptr;
  }
  if (m->decl->name == "<init>") {
    vm.Violation("constructor " + m->Describe() + " can only run through NewObject");
    return nullptr;
  }
  if (!KindFits(K, m->sig.result)) {
    vm.Violation(m->Describe() + " returns " + TypeName(m->sig.result) + ": use " + family +
                 KindSuffix(m->sig.result.IsReference() ? 'L' : m->sig.result.kind) + "Method");
    return nullptr;
  }
  return m;
}

template <char K>
KindT<K> InstanceCall(JNIEnv* env, const char* variant, jobject obj, jmethodID id, ArgSource source) {
  VmState& vm = VmState::From(env);
  vm.Enter(CallName("Call", K, variant));
  const MethodRef* m = CheckedMethod<K>(vm, id, false, "Call");
  ObjectId self = 0;
  std::vector<Value> args;
  if (m != nullptr && vm.Deref(obj, "object", std::nullopt, &self) != nullptr) {
    ClassInfo* c = vm.ClassOf(self);
    if (!vm.classes().IsAssignable(c, m->declaring)) {
      vm.Violation("object is a " + c->name + ", which has no method " + m->Describe());
    } else if (ReadArguments(vm, *m, source, &args)) {
      return FromValue<K>(vm, vm.Invoke(self, *m, args));
    }
  }
  return FromValue<K>(vm, Value{});
}

template <char K>
KindT<K> StaticCall(JNIEnv* env, const char* variant, jclass clazz, jmethodID id, ArgSource source) {
  VmState& vm = VmState::From(env);
  vm.Enter(CallName("CallStatic", K, variant));
  const MethodRef* m = CheckedMethod<K>(vm, id, true, "CallStatic");
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  std::vector<Value> args;
  if (m != nullptr && c != nullptr) {
    if (!vm.classes().IsAssignable(c, m->declaring)) {
      vm.Violation("class " + c->name + " has no static method " + m->Describe());
    } else if (ReadArguments(vm, *m, source, &args)) {
      return FromValue<K>(vm, vm.Invoke(0, *m, args));
    }
  }
  return FromValue<K>(vm, Value{});
}

template <char K>
KindT<K> JNICALL CallMethod(JNIEnv* env, jobject obj, jmethodID id, ...) {
  va_list ap;
  va_start(ap, id);
  if constexpr (K == 'V') {
    InstanceCall<K>(env, "", obj, id, ArgSource{&ap, nullptr});
    va_end(ap);
  } else {
    KindT<K> result = InstanceCall<K>(env, "", obj, id, ArgSource{&ap, nullptr});
    va_end(ap);
    return result;
  }
}

template <char K>
KindT<K> JNICALL CallMethodV(JNIEnv* env, jobject obj, jmethodID id, va_list ap) {
  return InstanceCall<K>(env, "V", obj, id, ArgSource{&ap, nullptr});
}

template <char K>
KindT<K> JNICALL CallMethodA(JNIEnv* env, jobject obj, jmethodID id, const jvalue* args) {
  return InstanceCall<K>(env, "A", obj, id, ArgSource{nullptr, args});
}

template <char K>
KindT<K> JNICALL CallStaticMethod(JNIEnv* env, jclass clazz, jmethodID id, ...) {
  va_list ap;
  va_start(ap, id);
  if constexpr (K == 'V') {
    StaticCall<K>(env, "", clazz, id, ArgSource{&ap, nullptr});
    va_end(ap);
  } else {
    KindT<K> result = StaticCall<K>(env, "", clazz, id, ArgSource{&ap, nullptr});
    va_end(ap);
    return result;
  }
}

template <char K>
KindT<K> JNICALL CallStaticMethodV(JNIEnv* env, jclass clazz, jmethodID id, va_list ap) {
  return StaticCall<K>(env, "V", clazz, id, ArgSource{&ap, nullptr});
}

template <char K>
KindT<K> JNICALL CallStaticMethodA(JNIEnv* env, jclass clazz, jmethodID id, const jvalue* args) {
  return StaticCall<K>(env, "A", clazz, id, ArgSource{nullptr, args});
}

}  // namespace

void InstallMethodFunctions(JNINativeInterface_& t) {
  t.GetMethodID = &GetMethodID;
  t.GetStaticMethodID = &GetStaticMethodID;
  t.AllocObject = &AllocObject;
  t.NewObject = &NewObject;
  t.NewObjectV = &NewObjectV;
  t.NewObjectA = &NewObjectA;
#define FWTEST_INSTALL_CALLS(Type, K)                   \
  t.Call##Type##Method = &CallMethod<K>;                \
  t.Call##Type##MethodV = &CallMethodV<K>;              \
  t.Call##Type##MethodA = &CallMethodA<K>;              \
  t.CallStatic##Type##Method = &CallStaticMethod<K>;    \
  t.CallStatic##Type##MethodV = &CallStaticMethodV<K>;  \
  t.CallStatic##Type##MethodA = &CallStaticMethodA<K>;
  FWTEST_INSTALL_CALLS(Object, 'L')
  FWTEST_INSTALL_CALLS(Boolean, 'Z')
  FWTEST_INSTALL_CALLS(Byte, 'B')
  FWTEST_INSTALL_CALLS(Char, 'C')
  FWTEST_INSTALL_CALLS(Short, 'S')
  FWTEST_INSTALL_CALLS(Int, 'I')
  FWTEST_INSTALL_CALLS(Long, 'J')
  FWTEST_INSTALL_CALLS(Float, 'F')
  FWTEST_INSTALL_CALLS(Double, 'D')
  FWTEST_INSTALL_CALLS(Void, 'V')
#undef FWTEST_INSTALL_CALLS
}

}  // namespace fwtest::vm
