// JNI functions on references and local frames: PushLocalFrame, PopLocalFrame, NewGlobalRef,
// DeleteGlobalRef, NewLocalRef, DeleteLocalRef, EnsureLocalCapacity, IsSameObject, GetObjectRefType.
#include "jni_functions.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

jint JNICALL PushLocalFrame(JNIEnv* env, jint capacity) {
  VmState& vm = VmState::From(env);
  vm.Enter("PushLocalFrame", EntryRule::kExceptionSafe);
  if (capacity < 0) {
    vm.Violation("negative capacity");
    return JNI_ERR;
  }
  vm.refs().PushFrame(FrameKind::kPushed, static_cast<int>(capacity));
  return JNI_OK;
}

jobject JNICALL PopLocalFrame(JNIEnv* env, jobject result) {
  VmState& vm = VmState::From(env);
  vm.Enter("PopLocalFrame", EntryRule::kExceptionSafe);
  if (vm.refs().TopFrameKind() != FrameKind::kPushed) {
    vm.Violation("no frame from PushLocalFrame to pop");
    return nullptr;
  }
  ObjectId id = 0;
  bool ok = vm.Resolve(result, "result", &id);
  vm.refs().PopFrame();
  return ok ? vm.Local(id) : nullptr;
}

jobject JNICALL NewGlobalRef(JNIEnv* env, jobject ref) {
  VmState& vm = VmState::From(env);
  vm.Enter("NewGlobalRef");
  ObjectId id = 0;
  if (!vm.Resolve(ref, "object", &id)) return nullptr;
  return vm.refs().NewGlobal(id);
}

void JNICALL DeleteGlobalRef(JNIEnv* env, jobject ref) {
  VmState& vm = VmState::From(env);
  vm.Enter("DeleteGlobalRef", EntryRule::kExceptionSafe);
  if (ref == nullptr) return;
  ObjectId id = 0;
  RefKind kind = RefKind::kGlobal;
  if (vm.refs().Resolve(ref, &id, &kind) == RefStatus::kLive && kind != RefKind::kGlobal) {
    vm.Violation("reference is a local reference");
    return;
  }
  if (!vm.Resolve(ref, "global", &id)) return;
  vm.refs().Delete(ref, RefKind::kGlobal);
}

jobject JNICALL NewLocalRef(JNIEnv* env, jobject ref) {
  VmState& vm = VmState::From(env);
  vm.Enter("NewLocalRef");
  ObjectId id = 0;
  if (!vm.Resolve(ref, "object", &id)) return nullptr;
  return vm.Local(id);
}

void JNICALL DeleteLocalRef(JNIEnv* env, jobject ref) {
  VmState& vm = VmState::From(env);
  vm.Enter("DeleteLocalRef", EntryRule::kExceptionSafe);
  if (ref == nullptr) return;
  ObjectId id = 0;
  RefKind kind = RefKind::kLocal;
  if (vm.refs().Resolve(ref, &id, &kind) == RefStatus::kLive && kind != RefKind::kLocal) {
    vm.Violation("reference is a global reference");
    return;
  }
  if (!vm.Resolve(ref, "local", &id)) return;
  vm.refs().Delete(ref, RefKind::kLocal);
}

jint JNICALL EnsureLocalCapacity(JNIEnv* env, jint capacity) {
  VmState& vm = VmState::From(env);
  vm.Enter("EnsureLocalCapacity");
  if (capacity < 0) {
    vm.Violation("negative capacity");
    return JNI_ERR;
  }
  vm.refs().EnsureCapacity(vm.refs().TopFrameLiveCount() + static_cast<int>(capacity));
  return JNI_OK;
}

jboolean JNICALL IsSameObject(JNIEnv* env, jobject a, jobject b) {
  VmState& vm = VmState::From(env);
  vm.Enter("IsSameObject");
  ObjectId first = 0;
  ObjectId second = 0;
  if (!vm.Resolve(a, "first", &first) || !vm.Resolve(b, "second", &second)) return JNI_FALSE;
  return first == second ? JNI_TRUE : JNI_FALSE;
}

jobjectRefType JNICALL GetObjectRefType(JNIEnv* env, jobject ref) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetObjectRefType");
  ObjectId id = 0;
  RefKind kind = RefKind::kLocal;
  // Asking about a stale reference is how native code finds out: no violation.
  if (vm.refs().Resolve(ref, &id, &kind) != RefStatus::kLive) return JNIInvalidRefType;
  return kind == RefKind::kLocal ? JNILocalRefType : JNIGlobalRefType;
}

}  // namespace

void InstallReferenceFunctions(JNINativeInterface_& t) {
  t.PushLocalFrame = &PushLocalFrame;
  t.PopLocalFrame = &PopLocalFrame;
  t.NewGlobalRef = &NewGlobalRef;
  t.DeleteGlobalRef = &DeleteGlobalRef;
  t.NewLocalRef = &NewLocalRef;
  t.DeleteLocalRef = &DeleteLocalRef;
  t.EnsureLocalCapacity = &EnsureLocalCapacity;
  t.IsSameObject = &IsSameObject;
  t.GetObjectRefType = &GetObjectRefType;
}

}  // namespace fwtest::vm
