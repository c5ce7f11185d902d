#include "sysutil/java_string_vector.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_results.h"

namespace fw {
namespace {

jobject NewVector(JNIEnv* env, jclass vectorClass) {
  if (vectorClass == nullptr) return nullptr;
  const jmethodID constructor = env->GetMethodID(vectorClass, "<init>", "()V");
  return constructor == nullptr ? nullptr : env->NewObject(vectorClass, constructor);
}

}  // namespace

JavaStringVector::JavaStringVector(JNIEnv* env)
    : env_(env),
      class_(env, env->FindClass("java/util/Vector")),
      vector_(env, NewVector(env, class_.get())) {
  if (!vector_) return;
  addElement_ = env->GetMethodID(class_.get(), "addElement", "(Ljava/lang/Object;)V");
  if (addElement_ == nullptr) env->ExceptionClear();
}

void JavaStringVector::Add(const WideString& text) {
  if (addElement_ == nullptr) return;
  const LocalRef<jstring> element(env_, NewJavaString(env_, text));
  if (!element) throw JavaExceptionPending();
  env_->CallVoidMethod(vector_.get(), addElement_, element.get());
  if (env_->ExceptionCheck()) throw JavaExceptionPending();
}

jobject JavaStringVector::Elements() {
  const jmethodID elements = env_->GetMethodID(class_.get(), "elements", "()Ljava/util/Enumeration;");
  if (elements == nullptr) return nullptr;
  return env_->CallObjectMethod(vector_.get(), elements);
}

}  // namespace fw
