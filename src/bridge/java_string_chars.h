// JavaStringChars: a zero-terminated UTF-16 copy of a Java string, independent of the Java object.
//
//   JavaStringChars name(env, jname);
//   RegQueryValueExW(key, name.Get(), ...);   // a null Java string arrives as a null pointer
//
// The Java characters are released as soon as they are copied (GetStringChars output is not
// guaranteed to be terminated, so it is never passed on directly). When the VM cannot hand out the
// characters it leaves an exception pending; the copy then throws JavaExceptionPending, so no Win32
// call runs with a null in place of the caller's text.
#pragma once

#include <jni.h>

#include <cstdint>

#include "bridge/scratch_buffer.h"

namespace fw {

class JavaStringChars {
 public:
  JavaStringChars(JNIEnv* env, jstring text);
  JavaStringChars(const JavaStringChars&) = delete;
  JavaStringChars& operator=(const JavaStringChars&) = delete;

  // Null for a null Java string; otherwise the characters followed by a zero.
  const wchar_t* Get() const noexcept { return copy_.As<const wchar_t>(); }
  bool IsNull() const noexcept { return copy_.Empty(); }
  // Characters before the terminating zero (0 for a null string).
  std::uint32_t Length() const noexcept { return copy_.Empty() ? 0 : copy_.Count() - 1; }

 private:
  ScratchBuffer copy_;
};

}  // namespace fw
