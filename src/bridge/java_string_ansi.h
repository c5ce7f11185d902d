// JavaStringAnsi: the text of a Java string in the ANSI code page, zero-terminated, for the A
// functions of the Windows 9x family.
//
//   JavaStringAnsi path(env, jpath);
//   CreateDirectoryA(path.Get(), nullptr);   // a null Java string arrives as a null pointer
//
// Characters the code page cannot represent become the system's substitute ("?" under 1252) or a
// best fit ("i" for a dotless i); RoundTripError() then tells, for text that is to name a file.
// Like JavaStringChars, it throws JavaExceptionPending when the VM cannot hand out the characters.
#pragma once

#include <windows.h>

#include <jni.h>

#include "bridge/scratch_buffer.h"

namespace fw {

class JavaStringAnsi {
 public:
  JavaStringAnsi(JNIEnv* env, jstring text);
  JavaStringAnsi(const JavaStringAnsi&) = delete;
  JavaStringAnsi& operator=(const JavaStringAnsi&) = delete;

  const char* Get() const noexcept { return ansi_.As<const char>(); }
  bool IsNull() const noexcept { return ansi_.Empty(); }
  const ScratchBuffer& Buffer() const noexcept { return ansi_; }
  // 0 when the ANSI text converts back to exactly the Java text (AnsiRoundTripError).
  DWORD RoundTripError() const noexcept { return roundTripError_; }

 private:
  ScratchBuffer ansi_;
  DWORD roundTripError_ = 0;
};

}  // namespace fw
