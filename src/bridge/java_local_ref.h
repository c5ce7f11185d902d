// LocalRef: owns one JNI local reference and deletes it when it ends (DeleteLocalRef may be called
// with an exception pending, so this is safe on every path).
//
//   LocalRef<jclass> cls(env, env->FindClass("java/lang/String"));
//   if (!cls) return nullptr;
#pragma once

#include <jni.h>

#include <utility>

namespace fw {

template <typename T>
class LocalRef {
 public:
  LocalRef(JNIEnv* env, T ref) noexcept : env_(env), ref_(ref) {}
  LocalRef(const LocalRef&) = delete;
  LocalRef& operator=(const LocalRef&) = delete;
  LocalRef(LocalRef&& other) noexcept : env_(other.env_), ref_(std::exchange(other.ref_, nullptr)) {}
  ~LocalRef() {
    if (ref_ != nullptr) env_->DeleteLocalRef(ref_);
  }

  T get() const noexcept { return ref_; }
  explicit operator bool() const noexcept { return ref_ != nullptr; }
  // Hands the reference to the caller, typically as the native method's result.
  [[nodiscard]] T release() noexcept { return std::exchange(ref_, nullptr); }

 private:
  JNIEnv* env_;
  T ref_;
};

}  // namespace fw
