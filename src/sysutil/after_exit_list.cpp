#include "sysutil/after_exit_list.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"
#include "bridge/java_string_ansi.h"
#include "bridge/win32_exception.h"

namespace fw {
namespace {

void Check(JNIEnv* env) {
  if (env->ExceptionCheck()) throw JavaExceptionPending();
}

void Append(JNIEnv* env, jobject enumeration, jmethodID hasMore, jmethodID next, const char* mark, NarrowString& list) {
  if (enumeration == nullptr) return;
  for (;;) {
    const jboolean more = env->CallBooleanMethod(enumeration, hasMore);
    Check(env);
    if (more == JNI_FALSE) return;
    const LocalRef<jstring> path(env, static_cast<jstring>(env->CallObjectMethod(enumeration, next)));
    Check(env);
    const JavaStringAnsi ansi(env, path.get());
    // The clean-up program would delete the other file that such an entry names.
    if (const DWORD error = ansi.RoundTripError()) throw Win32Exception(error);
    if (!list.empty()) list += ';';
    list += mark;
    if (!ansi.IsNull()) list += ansi.Get();
  }
}

}  // namespace

bool ReadAfterExitList(JNIEnv* env, jobject files, jobject trees, NarrowString& list) {
  const LocalRef<jclass> cls(env, env->FindClass("java/util/Enumeration"));
  const jmethodID hasMore = cls ? env->GetMethodID(cls.get(), "hasMoreElements", "()Z") : nullptr;
  const jmethodID next = cls ? env->GetMethodID(cls.get(), "nextElement", "()Ljava/lang/Object;") : nullptr;
  if (hasMore == nullptr || next == nullptr) {
    env->ExceptionClear();  // the method returns without a report
    return false;
  }
  Append(env, files, hasMore, next, "", list);
  Append(env, trees, hasMore, next, "*", list);
  return true;
}

}  // namespace fw
