// The boundary of every native method: runs the method's work and turns every internal failure
// into exactly one Java exception, so that no C++ exception ever reaches the VM.
//
//   return GuardNativeCall(env, kCodeGetStringValue, fallback, [&] {
//     const JavaStringChars key(env, jkey);
//     ...
//     return NewJavaString(env, value);
//   });
//
// - Win32Exception (RegistryException, AttributeException, ...): ServiceException(code, text of
//   the error it carries; E_FAIL for an unreachable FileAttributes peer).
// - JavaExceptionPending: nothing more; the VM's own exception is already pending.
// - std::bad_alloc and anything else: ServiceException(E_FAIL) without message.
// Whatever the failure, when a Java exception is already pending nothing is thrown over it. After
// a failure the method returns its fallback, prepared before the work so that nothing has to call
// into the VM once an exception is pending.
#pragma once

#include <jni.h>

#include <new>
#include <utility>

#include "bridge/java_exception_pending.h"
#include "bridge/service_exception.h"
#include "bridge/win32_exception.h"

namespace fw {

// Reports the exception being handled; call only from inside a catch block.
inline void ReportCurrentException(JNIEnv* env, jint code) noexcept {
  try {
    throw;
  } catch (const Win32Exception& e) {
    ThrowServiceException(env, code, e.Error());
  } catch (const JavaExceptionPending&) {
  } catch (...) {
    ThrowServiceCode(env, kCodeEFail);
  }
}

template <typename Result, typename Work>
Result GuardNativeCall(JNIEnv* env, jint code, Result fallback, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    ReportCurrentException(env, code);
  }
  return fallback;
}

template <typename Work>
void GuardNativeCall(JNIEnv* env, jint code, Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
  } catch (...) {
    ReportCurrentException(env, code);
  }
}

}  // namespace fw
