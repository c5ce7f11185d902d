#include "bridge/service_exception.h"

#include <string>

#include "bridge/format_allocated.h"
#include "bridge/java_local_ref.h"
#include "bridge/java_results.h"
#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/unique_resource.h"
#include "bridge/wide_string.h"
#include "bridge/win32_exception.h"

namespace fw {
namespace {

constexpr DWORD kUserDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
constexpr DWORD kSystemTextFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;

bool IsNetworkManagementError(DWORD error) { return error >= 2100 && error <= 2999; }

// "<system text> (<error>)". A missing system text leaves just " (<error>)".
WideString BuildMessage(DWORD error, bool ansi) {
  // Network-management texts live in netmsg.dll; its table is searched before the system's.
  UniqueModule netmsg;
  if (IsNetworkManagementError(error)) {
    netmsg.reset(LoadLibraryExA("netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
  }
  const DWORD flags = kSystemTextFlags | (netmsg ? FORMAT_MESSAGE_FROM_HMODULE : 0);

  WideString message;
  LocalMemoryHolder systemText;
  if (ansi) {
    FormatMessageA(flags, netmsg.get(), error, kUserDefaultLanguage,
                   reinterpret_cast<LPSTR>(systemText.put()), 0, nullptr);
    const char* text = systemText ? systemText.as<const char>() : "";
    const LocalMemoryHolder formatted = FormatAllocatedA("%1!s! (%2!lu!)", text, error);
    if (formatted) {
      ScratchBuffer wide;
      try {
        AnsiToWide(formatted.as<const char>(), wide);
        message.assign(wide.As<const wchar_t>());
      } catch (const Win32Exception&) {
        // A system text that does not convert is left out: the error's number still goes out.
        message = L" (" + std::to_wstring(error) + L")";
      }
    }
  } else {
    FormatMessageW(flags, netmsg.get(), error, kUserDefaultLanguage,
                   reinterpret_cast<LPWSTR>(systemText.put()), 0, nullptr);
    const wchar_t* text = systemText ? systemText.as<const wchar_t>() : L"";
    const LocalMemoryHolder formatted = FormatAllocatedW(L"%1!ls! (%2!lu!)", text, error);
    if (formatted) message.assign(formatted.as<const wchar_t>());
  }
  return message;
}

void ThrowNew(JNIEnv* env, jclass cls, jmethodID constructor, jint code, jstring message) {
  const LocalRef<jthrowable> exception(
      env, static_cast<jthrowable>(message != nullptr ? env->NewObject(cls, constructor, code, message)
                                                      : env->NewObject(cls, constructor, code)));
  if (exception) env->Throw(exception.get());
}

}  // namespace

void ThrowServiceException(JNIEnv* env, jint code, DWORD error) noexcept {
  if (env->ExceptionCheck()) return;
  const bool ansi = IsWindows9x();
  const LocalRef<jclass> cls(env, env->FindClass(kServiceExceptionClass));
  if (!cls) return;
  const jmethodID constructor = env->GetMethodID(cls.get(), "<init>", "(ILjava/lang/String;)V");
  if (constructor == nullptr) return;

  WideString message;
  try {
    message = BuildMessage(error, ansi);
  } catch (...) {
    // Out of memory while building the text: the exception still goes out, with an empty message.
    message.clear();
  }
  const LocalRef<jstring> text(env, NewJavaString(env, message));
  if (!text) return;
  ThrowNew(env, cls.get(), constructor, code, text.get());
}

void ThrowServiceCode(JNIEnv* env, jint code) noexcept {
  if (env->ExceptionCheck()) return;
  const LocalRef<jclass> cls(env, env->FindClass(kServiceExceptionClass));
  if (!cls) return;
  const jmethodID constructor = env->GetMethodID(cls.get(), "<init>", "(I)V");
  if (constructor == nullptr) return;
  ThrowNew(env, cls.get(), constructor, code, nullptr);
}

void ThrowNotSupported(JNIEnv* env) noexcept {
  if (env->ExceptionCheck()) return;
  const LocalRef<jclass> cls(env, env->FindClass(kServiceExceptionClass));
  if (!cls) return;
  const jmethodID constructor = env->GetMethodID(cls.get(), "<init>", "(I)V");
  if (constructor == nullptr) return;
  jint code = 0;
  const jfieldID field = env->GetStaticFieldID(cls.get(), "OPERATION_NOT_SUPPORTED", "I");
  if (field != nullptr) {
    code = env->GetStaticIntField(cls.get(), field);
  } else {
    // A Java side without the constant still learns that the operation is unsupported: the
    // look-up's error gives way to ServiceException(0), so exactly one exception goes out.
    env->ExceptionClear();
  }
  ThrowNew(env, cls.get(), constructor, code, nullptr);
}

jint GetNotSupportedCode(JNIEnv* env) noexcept {
  if (env->ExceptionCheck()) return -1;
  const LocalRef<jclass> cls(env, env->FindClass(kServiceExceptionClass));
  if (!cls) return -1;
  const jfieldID field = env->GetStaticFieldID(cls.get(), "OPERATION_NOT_SUPPORTED", "I");
  if (field == nullptr) return -1;
  return env->GetStaticIntField(cls.get(), field);
}

}  // namespace fw
