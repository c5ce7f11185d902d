// Native methods of com.fernwick.wizard.platform.win32.environment.WindowsEnvironment.
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"

#include <optional>

#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/service_exception.h"
#include "environment/persistent_environment.h"
#include "environment/process_environment.h"

namespace {

constexpr jint kCodeSetPersistentVariable = -70000;
constexpr jint kCodeSetProcessVariable = -70008;
constexpr jint kCodeGetRawVariable = -70010;

jstring ToJava(JNIEnv* env, const std::optional<fw::WideString>& value) {
  return value ? fw::NewJavaString(env, *value) : nullptr;
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_getProcessEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname) {
  // Reading never reports: whatever goes wrong reads as "not set".
  try {
    const fw::JavaStringChars name(env, jname);
    if (name.Length() == 0) return fw::NewJavaString(env, fw::WideString());
    fw::WideString value;
    return fw::ReadProcessVariable(name.Get(), value) ? fw::NewJavaString(env, value) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

JNIEXPORT void JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_setProcessEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname, jstring jvalue) {
  fw::GuardNativeCall(env, kCodeSetProcessVariable, [&] {
    const fw::JavaStringChars name(env, jname);
    const fw::JavaStringChars value(env, jvalue);
    const DWORD error = fw::WriteProcessVariable(name.Get(), value.Get());
    if (error != 0) fw::ThrowServiceException(env, kCodeSetProcessVariable, error);
  });
}

JNIEXPORT void JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_winNTSetEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname, jstring jvalue, jboolean system) {
  fw::GuardNativeCall(env, kCodeSetPersistentVariable, [&] {
    const fw::JavaStringChars name(env, jname);
    const fw::JavaStringChars value(env, jvalue);
    fw::SetNtEnvironmentVariable(name.Get(), value.Get(), system != JNI_FALSE);
  });
}

JNIEXPORT jstring JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_winNTGetRawEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname, jboolean system) {
  return fw::GuardNativeCall(env, kCodeGetRawVariable, jstring{nullptr}, [&] {
    const fw::JavaStringChars name(env, jname);
    return ToJava(env, fw::ReadNtEnvironmentVariable(name.Get(), system != JNI_FALSE));
  });
}

JNIEXPORT void JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_winMESetEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname, jstring jvalue) {
  fw::GuardNativeCall(env, kCodeSetPersistentVariable, [&] {
    const fw::JavaStringChars name(env, jname);
    const fw::JavaStringChars value(env, jvalue);
    fw::SetMeEnvironmentVariable(name.Get(), value.Get());
  });
}

JNIEXPORT jstring JNICALL
Java_com_fernwick_wizard_platform_win32_environment_WindowsEnvironment_winMEGetRawEnvironmentVariable(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeGetRawVariable, jstring{nullptr}, [&] {
    const fw::JavaStringChars name(env, jname);
    return ToJava(env, fw::ReadMeEnvironmentVariable(name.Get()));
  });
}

}  // extern "C"
