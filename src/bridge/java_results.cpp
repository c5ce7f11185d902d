#include "bridge/java_results.h"

#include "bridge/java_local_ref.h"

namespace fw {

jstring NewJavaString(JNIEnv* env, const wchar_t* text, std::uint32_t length) {
  static const jchar kEmpty[] = {0};
  const jchar* chars = (text != nullptr && length != 0) ? reinterpret_cast<const jchar*>(text) : kEmpty;
  return env->NewString(chars, static_cast<jsize>(text != nullptr ? length : 0));
}

jstring NewJavaString(JNIEnv* env, const WideString& text) {
  return NewJavaString(env, text.data(), static_cast<std::uint32_t>(text.size()));
}

jobjectArray NewJavaStringArray(JNIEnv* env, const StringList& list) {
  const LocalRef<jclass> stringClass(env, env->FindClass("java/lang/String"));
  if (!stringClass) return nullptr;
  LocalRef<jobjectArray> array(
      env, env->NewObjectArray(static_cast<jsize>(list.size()), stringClass.get(), nullptr));
  if (!array) return nullptr;
  jsize index = 0;
  for (const WideString& text : list) {
    // Each element's reference is dropped at once, so a long list does not exhaust local refs.
    const LocalRef<jstring> element(env, NewJavaString(env, text));
    if (!element) return nullptr;
    env->SetObjectArrayElement(array.get(), index++, element.get());
    if (env->ExceptionCheck()) return nullptr;
  }
  return array.release();
}

jbyteArray NewJavaByteArray(JNIEnv* env, const void* data, std::uint32_t count) {
  const jsize length = static_cast<jsize>(count);
  jbyteArray array = env->NewByteArray(length);
  if (array == nullptr) return nullptr;
  if (length != 0) env->SetByteArrayRegion(array, 0, length, static_cast<const jbyte*>(data));
  return array;
}

}  // namespace fw
