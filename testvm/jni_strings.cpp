// JNI functions on strings: NewString, GetStringLength, GetStringChars, ReleaseStringChars,
// NewStringUTF, GetStringUTFLength, GetStringUTFChars, ReleaseStringUTFChars, GetStringRegion,
// GetStringCritical, ReleaseStringCritical. Characters handed out are tracked copies (see Track).
#include "jni_functions.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

Object* StringArg(VmState& vm, jstring str, ObjectId* id = nullptr) {
  return vm.Deref(str, "string", ObjectKind::kString, id);
}

jstring JNICALL NewString(JNIEnv* env, const jchar* chars, jsize length) {
  VmState& vm = VmState::From(env);
  vm.Enter("NewString");
  if (length < 0 || (chars == nullptr && length > 0)) {
    vm.Violation(length < 0 ? "negative length" : "characters are null");
    return nullptr;
  }
  if (!vm.Allocate()) return nullptr;
  std::u16string text(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length));
  return static_cast<jstring>(vm.Local(vm.NewString(std::move(text))));
}

jsize JNICALL GetStringLength(JNIEnv* env, jstring str) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringLength");
  Object* s = StringArg(vm, str);
  return s == nullptr ? 0 : static_cast<jsize>(s->text.size());
}

const jchar* JNICALL GetStringChars(JNIEnv* env, jstring str, jboolean* isCopy) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringChars");
  ObjectId id = 0;
  Object* s = StringArg(vm, str, &id);
  if (s == nullptr || !vm.Allocate()) return nullptr;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  return static_cast<const jchar*>(
      vm.Track(BufferKind::kStringChars, id, s->text.data(), s->text.size() * sizeof(char16_t)));
}

void ReleaseChars(JNIEnv* env, const char* function, BufferKind kind, jstring str, const void* chars) {
  VmState& vm = VmState::From(env);
  vm.Enter(function, kind == BufferKind::kStringCritical ? EntryRule::kCriticalRelease : EntryRule::kExceptionSafe);
  ObjectId id = 0;  // stays 0 (owner not compared) when the string reference is unusable
  StringArg(vm, str, &id);
  if (TrackedBuffer* b = vm.FindForRelease(chars, kind, id)) b->released = true;
}

void JNICALL ReleaseStringChars(JNIEnv* env, jstring str, const jchar* chars) {
  ReleaseChars(env, "ReleaseStringChars", BufferKind::kStringChars, str, chars);
}

jstring JNICALL NewStringUTF(JNIEnv* env, const char* utf) {
  VmState& vm = VmState::From(env);
  vm.Enter("NewStringUTF");
  if (utf == nullptr) return nullptr;  // a VM returns null for null input
  if (!vm.Allocate()) return nullptr;
  return static_cast<jstring>(vm.Local(vm.NewString(FromModifiedUtf8(utf))));
}

jsize JNICALL GetStringUTFLength(JNIEnv* env, jstring str) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringUTFLength");
  Object* s = StringArg(vm, str);
  return s == nullptr ? 0 : static_cast<jsize>(ToModifiedUtf8(s->text).size());
}

const char* JNICALL GetStringUTFChars(JNIEnv* env, jstring str, jboolean* isCopy) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringUTFChars");
  ObjectId id = 0;
  Object* s = StringArg(vm, str, &id);
  if (s == nullptr || !vm.Allocate()) return nullptr;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  std::string utf = ToModifiedUtf8(s->text);
  // JNI documents these as zero-terminated.
  return static_cast<const char*>(vm.Track(BufferKind::kStringUtfChars, id, utf.data(), utf.size(), 1));
}

void JNICALL ReleaseStringUTFChars(JNIEnv* env, jstring str, const char* chars) {
  ReleaseChars(env, "ReleaseStringUTFChars", BufferKind::kStringUtfChars, str, chars);
}

void JNICALL GetStringRegion(JNIEnv* env, jstring str, jsize start, jsize length, jchar* buf) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringRegion");
  Object* s = StringArg(vm, str);
  if (s == nullptr) return;
  if (start < 0 || length < 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > s->text.size()) {
    vm.ThrowVmError("java/lang/StringIndexOutOfBoundsException",
                    "offset " + std::to_string(start) + ", count " + std::to_string(length) + ", length " +
                        std::to_string(s->text.size()));
    return;
  }
  if (length > 0 && buf == nullptr) {
    vm.Violation("buffer is null");
    return;
  }
  s->text.copy(reinterpret_cast<char16_t*>(buf), static_cast<std::size_t>(length), static_cast<std::size_t>(start));
}

const jchar* JNICALL GetStringCritical(JNIEnv* env, jstring str, jboolean* isCopy) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetStringCritical", EntryRule::kCritical);
  ObjectId id = 0;
  Object* s = StringArg(vm, str, &id);
  if (s == nullptr || !vm.Allocate()) return nullptr;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  return static_cast<const jchar*>(
      vm.Track(BufferKind::kStringCritical, id, s->text.data(), s->text.size() * sizeof(char16_t)));
}

void JNICALL ReleaseStringCritical(JNIEnv* env, jstring str, const jchar* chars) {
  ReleaseChars(env, "ReleaseStringCritical", BufferKind::kStringCritical, str, chars);
}

}  // namespace

void InstallStringFunctions(JNINativeInterface_& t) {
  t.NewString = &NewString;
  t.GetStringLength = &GetStringLength;
  t.GetStringChars = &GetStringChars;
  t.ReleaseStringChars = &ReleaseStringChars;
  t.NewStringUTF = &NewStringUTF;
  t.GetStringUTFLength = &GetStringUTFLength;
  t.GetStringUTFChars = &GetStringUTFChars;
  t.ReleaseStringUTFChars = &ReleaseStringUTFChars;
  t.GetStringRegion = &GetStringRegion;
  t.GetStringCritical = &GetStringCritical;
  t.ReleaseStringCritical = &ReleaseStringCritical;
}

}  // namespace fwtest::vm
