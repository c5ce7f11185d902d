// JNI functions on exceptions: Throw, ThrowNew, ExceptionOccurred, ExceptionDescribe,
// ExceptionClear, ExceptionCheck, FatalError.
#include <cstdio>

#include "behaviours.h"
#include "jni_functions.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

bool CanThrow(VmState& vm) {
  if (vm.pending == 0) return true;
  ClassInfo* c = vm.ClassOf(vm.pending);
  vm.Violation("throws while an exception is already pending (" + (c ? c->name : std::string("?")) + ")");
  return true;  // a VM replaces the pending exception
}

jint JNICALL Throw(JNIEnv* env, jthrowable obj) {
  VmState& vm = VmState::From(env);
  vm.Enter("Throw", EntryRule::kExceptionSafe);  // CanThrow names the pending-exception misuse
  ObjectId id = 0;
  if (vm.Deref(obj, "throwable", std::nullopt, &id) == nullptr) return JNI_ERR;
  if (!vm.classes().DerivesFrom(vm.ClassOf(id), "java/lang/Throwable")) {
    vm.Violation("object is a " + vm.ClassOf(id)->name + ", not a java/lang/Throwable");
    return JNI_ERR;
  }
  CanThrow(vm);
  vm.pending = id;
  return JNI_OK;
}

jint JNICALL ThrowNew(JNIEnv* env, jclass clazz, const char* message) {
  VmState& vm = VmState::From(env);
  vm.Enter("ThrowNew", EntryRule::kExceptionSafe);
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  if (c == nullptr) return JNI_ERR;
  if (!vm.classes().DerivesFrom(c, "java/lang/Throwable")) {
    vm.Violation(c->name + " is not a java/lang/Throwable");
    return JNI_ERR;
  }
  CanThrow(vm);
  const MethodRef* ctor = nullptr;
  if (c->decl != nullptr) {
    for (const MethodDecl& m : c->decl->methods) {
      if (m.name == "<init>" && m.descriptor == "(Ljava/lang/String;)V") ctor = vm.FindMethodRef(c, m.name, m.descriptor);
    }
  }
  if (ctor == nullptr) {
    vm.ThrowVmError("java/lang/NoSuchMethodError", c->name + ".<init>(Ljava/lang/String;)V");
    return JNI_ERR;
  }
  if (!vm.Allocate()) return JNI_ERR;
  ObjectId id = vm.NewInstance(c);
  ObjectId text = message == nullptr ? 0 : vm.NewString(FromModifiedUtf8(message));
  vm.Construct(id, *ctor, {Value::Ref(text)});
  vm.pending = id;
  return JNI_OK;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* env) {
  VmState& vm = VmState::From(env);
  vm.Enter("ExceptionOccurred", EntryRule::kExceptionSafe);
  return static_cast<jthrowable>(vm.Local(vm.pending));
}

void JNICALL ExceptionDescribe(JNIEnv* env) {
  VmState& vm = VmState::From(env);
  vm.Enter("ExceptionDescribe", EntryRule::kExceptionSafe);
  if (vm.pending == 0) return;
  std::u16string message;
  bool hasMessage = ThrowableMessage(vm, *vm.Get(vm.pending), &message);
  std::fprintf(stderr, "Exception in native call: %s%s%s\n", vm.ClassOf(vm.pending)->name.c_str(),
               hasMessage ? ": " : "", hasMessage ? ToUtf8(message).c_str() : "");
  vm.pending = 0;  // as a VM does after printing
}

void JNICALL ExceptionClear(JNIEnv* env) {
  VmState& vm = VmState::From(env);
  vm.Enter("ExceptionClear", EntryRule::kExceptionSafe);
  vm.pending = 0;
}

jboolean JNICALL ExceptionCheck(JNIEnv* env) {
  VmState& vm = VmState::From(env);
  vm.Enter("ExceptionCheck", EntryRule::kExceptionSafe);
  return vm.pending != 0 ? JNI_TRUE : JNI_FALSE;
}

void JNICALL FatalError(JNIEnv* env, const char* msg) {
  VmState& vm = VmState::From(env);
  vm.Enter("FatalError", EntryRule::kExceptionSafe);
  vm.Violation(std::string("native code reported a fatal error: ") + (msg ? msg : "(null)"));
}

}  // namespace

void InstallExceptionFunctions(JNINativeInterface_& t) {
  t.Throw = &Throw;
  t.ThrowNew = &ThrowNew;
  t.ExceptionOccurred = &ExceptionOccurred;
  t.ExceptionDescribe = &ExceptionDescribe;
  t.ExceptionClear = &ExceptionClear;
  t.ExceptionCheck = &ExceptionCheck;
  t.FatalError = &FatalError;
}

}  // namespace fwtest::vm
