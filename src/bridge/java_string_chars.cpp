#include "bridge/java_string_chars.h"

#include <cstring>

#include "bridge/java_exception_pending.h"

namespace fw {

JavaStringChars::JavaStringChars(JNIEnv* env, jstring text) {
  if (text == nullptr) return;
  const jchar* chars = env->GetStringChars(text, nullptr);
  if (chars == nullptr) throw JavaExceptionPending();
  const jsize length = env->GetStringLength(text);
  try {
    copy_.Allocate(static_cast<std::uint32_t>(length) + 1, sizeof(wchar_t));
  } catch (...) {
    env->ReleaseStringChars(text, chars);
    throw;
  }
  std::memcpy(copy_.Data(), chars, static_cast<std::size_t>(length) * sizeof(jchar));
  env->ReleaseStringChars(text, chars);
}

}  // namespace fw
