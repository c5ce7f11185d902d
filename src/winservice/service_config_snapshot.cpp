#include "winservice/service_config_snapshot.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"

namespace fw {
namespace {

// The getter, or null when the class lacks it (the look-up's error is cleared: a missing getter
// only leaves its setting absent).
jmethodID Getter(JNIEnv* env, jclass cls, const char* name, const char* signature) {
  const jmethodID method = env->GetMethodID(cls, name, signature);
  if (method == nullptr) env->ExceptionClear();
  return method;
}

void CheckCall(JNIEnv* env) {
  if (env->ExceptionCheck()) throw JavaExceptionPending();
}

std::unique_ptr<JavaStringChars> ReadText(JNIEnv* env, jclass cls, jobject config, const char* getter) {
  const jmethodID method = Getter(env, cls, getter, "()Ljava/lang/String;");
  if (method == nullptr) return nullptr;
  const LocalRef<jstring> text(env, static_cast<jstring>(env->CallObjectMethod(config, method)));
  CheckCall(env);
  return std::make_unique<JavaStringChars>(env, text.get());
}

void ReadNumber(JNIEnv* env, jclass cls, jobject config, const char* getter, DWORD& out) {
  const jmethodID method = Getter(env, cls, getter, "()I");
  if (method == nullptr) return;
  out = static_cast<DWORD>(env->CallIntMethod(config, method));
  CheckCall(env);
}

}  // namespace

ServiceConfigSnapshot::ServiceConfigSnapshot(JNIEnv* env, jobject config) {
  const LocalRef<jclass> cls(env, env->FindClass(kServiceConfigClass));
  if (!cls) {
    env->ExceptionClear();  // reported as an argument error instead
    return;
  }
  readable_ = true;
  displayName_ = ReadText(env, cls.get(), config, "getDisplayName");
  ReadNumber(env, cls.get(), config, "getServiceType", serviceType_);
  if (const jmethodID method = Getter(env, cls.get(), "getEnableDesktopInteraction", "()Z")) {
    desktopInteraction_ = env->CallBooleanMethod(config, method) != JNI_FALSE;
    CheckCall(env);
  }
  ReadNumber(env, cls.get(), config, "getStartType", startType_);
  ReadNumber(env, cls.get(), config, "getErrorControl", errorControl_);
  command_ = ReadText(env, cls.get(), config, "getCommand");
  loadOrderGroup_ = ReadText(env, cls.get(), config, "getLoadOrderGroup");
  if (const jmethodID method = Getter(env, cls.get(), "getDependencies", "()[Ljava/lang/String;")) {
    const LocalRef<jobjectArray> dependencies(env, static_cast<jobjectArray>(env->CallObjectMethod(config, method)));
    CheckCall(env);
    dependencies_ = JavaStringArray(env, dependencies.get());
  }
  userName_ = ReadText(env, cls.get(), config, "getUserName");
  password_ = ReadText(env, cls.get(), config, "getPassword");
}

DWORD ServiceConfigSnapshot::ServiceType() const noexcept {
  return desktopInteraction_ ? serviceType_ | SERVICE_INTERACTIVE_PROCESS : serviceType_;
}

}  // namespace fw
