#include "registry/java_registry_data.h"

#include <windows.h>

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"
#include "bridge/java_string_chars.h"
#include "registry/registry_exception.h"

namespace fw {

StringList StringListFromJava(JNIEnv* env, jobjectArray array) {
  if (array == nullptr) throw RegistryException(ERROR_INVALID_PARAMETER);
  const jsize length = env->GetArrayLength(array);
  StringList list;
  list.reserve(static_cast<std::size_t>(length));
  for (jsize index = 0; index < length; ++index) {
    // Each element's reference is dropped at once, so a long array does not exhaust local refs.
    const LocalRef<jstring> element(env, static_cast<jstring>(env->GetObjectArrayElement(array, index)));
    if (env->ExceptionCheck()) throw JavaExceptionPending();
    const JavaStringChars text(env, element.get());
    list.emplace_back(text.IsNull() ? WideString() : WideString(text.Get(), text.Length()));
  }
  return list;
}

ScratchBuffer BytesFromJava(JNIEnv* env, jbyteArray array) {
  if (array == nullptr) throw RegistryException(ERROR_INVALID_PARAMETER);
  const jsize length = env->GetArrayLength(array);
  ScratchBuffer bytes;
  bytes.Allocate(static_cast<std::uint32_t>(length), 1);
  if (length != 0) {
    env->GetByteArrayRegion(array, 0, length, bytes.As<jbyte>());
    if (env->ExceptionCheck()) throw JavaExceptionPending();
  }
  return bytes;
}

}  // namespace fw
