#include "winservice/peer_getters.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"

namespace fw {

jmethodID PeerGetter(JNIEnv* env, jclass cls, const char* name, const char* signature) {
  const jmethodID method = env->GetMethodID(cls, name, signature);
  if (method == nullptr) env->ExceptionClear();
  return method;
}

void CheckPeerCall(JNIEnv* env) {
  if (env->ExceptionCheck()) throw JavaExceptionPending();
}

jint ReadPeerInt(JNIEnv* env, jclass cls, jobject peer, const char* getter) {
  const jmethodID method = PeerGetter(env, cls, getter, "()I");
  if (method == nullptr) return -1;
  const jint value = env->CallIntMethod(peer, method);
  CheckPeerCall(env);
  return value;
}

std::unique_ptr<JavaStringChars> ReadPeerText(JNIEnv* env, jclass cls, jobject peer, const char* getter) {
  const jmethodID method = PeerGetter(env, cls, getter, "()Ljava/lang/String;");
  if (method == nullptr) return nullptr;
  const LocalRef<jstring> text(env, static_cast<jstring>(env->CallObjectMethod(peer, method)));
  CheckPeerCall(env);
  return std::make_unique<JavaStringChars>(env, text.get());
}

}  // namespace fw
