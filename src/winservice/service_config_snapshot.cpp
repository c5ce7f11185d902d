#include "winservice/service_config_snapshot.h"

#include "bridge/java_local_ref.h"
#include "winservice/peer_getters.h"

namespace fw {

ServiceConfigSnapshot::ServiceConfigSnapshot(JNIEnv* env, jobject config) {
  const LocalRef<jclass> cls(env, env->FindClass(kServiceConfigClass));
  if (!cls) {
    env->ExceptionClear();  // reported as an argument error instead
    return;
  }
  readable_ = true;
  displayName_ = ReadPeerText(env, cls.get(), config, "getDisplayName");
  serviceType_ = static_cast<DWORD>(ReadPeerInt(env, cls.get(), config, "getServiceType"));  // -1: SERVICE_NO_CHANGE
  if (const jmethodID method = PeerGetter(env, cls.get(), "getEnableDesktopInteraction", "()Z")) {
    desktopInteraction_ = env->CallBooleanMethod(config, method) != JNI_FALSE;
    CheckPeerCall(env);
  }
  startType_ = static_cast<DWORD>(ReadPeerInt(env, cls.get(), config, "getStartType"));  // -1: SERVICE_NO_CHANGE
  errorControl_ = static_cast<DWORD>(ReadPeerInt(env, cls.get(), config, "getErrorControl"));  // -1: SERVICE_NO_CHANGE
  command_ = ReadPeerText(env, cls.get(), config, "getCommand");
  loadOrderGroup_ = ReadPeerText(env, cls.get(), config, "getLoadOrderGroup");
  if (const jmethodID method = PeerGetter(env, cls.get(), "getDependencies", "()[Ljava/lang/String;")) {
    const LocalRef<jobjectArray> dependencies(env, static_cast<jobjectArray>(env->CallObjectMethod(config, method)));
    CheckPeerCall(env);
    dependencies_ = JavaStringArray(env, dependencies.get());
  }
  userName_ = ReadPeerText(env, cls.get(), config, "getUserName");
  password_ = ReadPeerText(env, cls.get(), config, "getPassword");
}

DWORD ServiceConfigSnapshot::ServiceType() const noexcept {
  return desktopInteraction_ ? serviceType_ | SERVICE_INTERACTIVE_PROCESS : serviceType_;
}

}  // namespace fw
