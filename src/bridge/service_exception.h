// Reporting failures to Java as com/fernwick/wizard/service/ServiceException.
//
// Each reporter throws at most one exception and never throws over one that is already pending
// (the VM allows no further calls then, and the pending one is the more precise report). When the
// class or a constructor cannot be found, the look-up's own Java error stays pending instead.
//
//   ThrowServiceException(env, kCodeGetStringValue, error);  // "File not found. (2)"
//
// The message is the system's text for the Win32 error as the system returns it (line break
// included), one blank, and the error in unsigned decimal in parentheses. Errors 2100 to 2999 take
// their text from "netmsg.dll" first when it can be loaded.
#pragma once

#include <windows.h>

#include <jni.h>

namespace fw {

// HRESULTs passed to Java as ServiceException codes or as Win32 errors.
constexpr DWORD kErrorEFail = 0x80004005;         // E_FAIL
constexpr DWORD kErrorEInvalidArg = 0x80070057;   // E_INVALIDARG
constexpr DWORD kErrorEOutOfMemory = 0x8007000E;  // E_OUTOFMEMORY
constexpr jint kCodeEFail = static_cast<jint>(-2147467259L);
constexpr jint kCodeEInvalidArg = static_cast<jint>(-2147024809L);

constexpr const char kServiceExceptionClass[] = "com/fernwick/wizard/service/ServiceException";

// ServiceException(code, message) with the system text for error.
void ThrowServiceException(JNIEnv* env, jint code, DWORD error) noexcept;
// ServiceException(code), no message.
void ThrowServiceCode(JNIEnv* env, jint code) noexcept;
// ServiceException(OPERATION_NOT_SUPPORTED); code 0 when the Java side lacks that constant.
void ThrowNotSupported(JNIEnv* env) noexcept;
// The value of ServiceException.OPERATION_NOT_SUPPORTED, or -1 when it cannot be read (the
// look-up's Java error then stays pending).
jint GetNotSupportedCode(JNIEnv* env) noexcept;

}  // namespace fw
