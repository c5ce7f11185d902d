#include "bridge/java_string_array.h"

#include <cstring>

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"

namespace fw {

JavaStringArray::JavaStringArray(JNIEnv* env, jobjectArray array) {
  if (array == nullptr) return;
  const jsize length = env->GetArrayLength(array);
  for (jsize i = 0; i < length; ++i) {
    const LocalRef<jstring> element(env, static_cast<jstring>(env->GetObjectArrayElement(array, i)));
    if (env->ExceptionCheck()) throw JavaExceptionPending();
    copies_.push_back(std::make_unique<JavaStringChars>(env, element.get()));
    pointers_.push_back(copies_.back()->Get());
  }
}

bool JavaStringArray::HasNullElement() const noexcept {
  for (const auto& copy : copies_) {
    if (copy->IsNull()) return true;
  }
  return false;
}

ScratchBuffer JavaStringArray::MultiString() const {
  ScratchBuffer units;
  if (copies_.empty()) return units;
  std::uint32_t total = 1;
  for (const auto& copy : copies_) total += copy->Length() + 1;
  units.Allocate(total, sizeof(wchar_t));  // zero-filled: every terminator is already there
  wchar_t* next = units.As<wchar_t>();
  for (const auto& copy : copies_) {
    if (copy->Length() != 0) std::memcpy(next, copy->Get(), copy->Length() * sizeof(wchar_t));
    next += copy->Length() + 1;
  }
  return units;
}

}  // namespace fw
