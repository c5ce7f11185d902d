// JNI functions on classes: GetVersion, FindClass, GetSuperclass, IsAssignableFrom, GetObjectClass,
// IsInstanceOf.
#include <cstring>

#include "jni_functions.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

jint JNICALL GetVersion(JNIEnv* env) {
  VmState::From(env).Enter("GetVersion");
  return JNI_VERSION_10;
}

jclass JNICALL FindClass(JNIEnv* env, const char* name) {
  VmState& vm = VmState::From(env);
  vm.Enter("FindClass");
  if (name == nullptr) {
    vm.Violation("class name is null");
    return nullptr;
  }
  if (std::strchr(name, '.') != nullptr) {
    vm.Violation(std::string("class name \"") + name + "\" uses '.'; JNI takes internal names with '/'");
    vm.ThrowVmError("java/lang/NoClassDefFoundError", name);
    return nullptr;
  }
  ClassInfo* c = vm.LoadForNative(name);
  return c == nullptr ? nullptr : static_cast<jclass>(vm.Local(c->classObject));
}

jclass JNICALL GetSuperclass(JNIEnv* env, jclass clazz) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetSuperclass");
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  if (c == nullptr || c->isInterface || c->super == nullptr) return nullptr;
  return static_cast<jclass>(vm.Local(c->super->classObject));
}

jboolean JNICALL IsAssignableFrom(JNIEnv* env, jclass from, jclass to) {
  VmState& vm = VmState::From(env);
  vm.Enter("IsAssignableFrom");
  ClassInfo* a = vm.ClassFromRef(from, "first class");
  ClassInfo* b = vm.ClassFromRef(to, "second class");
  return a != nullptr && b != nullptr && vm.classes().IsAssignable(a, b) ? JNI_TRUE : JNI_FALSE;
}

jclass JNICALL GetObjectClass(JNIEnv* env, jobject obj) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetObjectClass");
  ObjectId id = 0;
  if (vm.Deref(obj, "object", std::nullopt, &id) == nullptr) return nullptr;
  ClassInfo* c = vm.ClassOf(id);
  return c == nullptr ? nullptr : static_cast<jclass>(vm.Local(c->classObject));
}

jboolean JNICALL IsInstanceOf(JNIEnv* env, jobject obj, jclass clazz) {
  VmState& vm = VmState::From(env);
  vm.Enter("IsInstanceOf");
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  ObjectId id = 0;
  if (c == nullptr || !vm.Resolve(obj, "object", &id)) return JNI_FALSE;
  if (id == 0) return JNI_TRUE;  // null is an instance of every class
  return vm.classes().IsAssignable(vm.ClassOf(id), c) ? JNI_TRUE : JNI_FALSE;
}

}  // namespace

void InstallClassFunctions(JNINativeInterface_& t) {
  t.GetVersion = &GetVersion;
  t.FindClass = &FindClass;
  t.GetSuperclass = &GetSuperclass;
  t.IsAssignableFrom = &IsAssignableFrom;
  t.GetObjectClass = &GetObjectClass;
  t.IsInstanceOf = &IsInstanceOf;
}

}  // namespace fwtest::vm
