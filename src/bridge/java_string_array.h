// JavaStringArray: UTF-16 copies of the elements of a Java String[], in array order, for the service
// calls that take a list (start arguments, dependencies).
//
//   JavaStringArray arguments(env, jarguments);          // a null array is an empty list
//   if (arguments.HasNullElement()) return ERROR_BAD_ARGUMENTS;
//   startService(service, arguments.Count(), arguments.Pointers());
//
// A null element is kept as a null copy; callers refuse such a list (the system has no way to pass
// it). JavaExceptionPending leaves the constructor when the VM cannot hand out an element.
#pragma once

#include <windows.h>

#include <jni.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bridge/java_string_chars.h"
#include "bridge/scratch_buffer.h"

namespace fw {

class JavaStringArray {
 public:
  JavaStringArray() = default;
  JavaStringArray(JNIEnv* env, jobjectArray array);

  DWORD Count() const noexcept { return static_cast<DWORD>(copies_.size()); }
  // Element i's characters (null for a null element).
  const wchar_t* At(DWORD i) const noexcept { return pointers_[i]; }
  bool HasNullElement() const noexcept;
  // Pointers to the copies' characters, or null for an empty list; valid while this object lives.
  const wchar_t** Pointers() noexcept { return pointers_.empty() ? nullptr : pointers_.data(); }
  // Each element and its zero, then one more zero ("A\0B\0\0"); an empty buffer for an empty list.
  ScratchBuffer MultiString() const;

 private:
  std::vector<std::unique_ptr<JavaStringChars>> copies_;
  std::vector<const wchar_t*> pointers_;
};

}  // namespace fw
