// Native methods of com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/platform.h"
#include "bridge/service_exception.h"
#include "registry/registry_exception.h"
#include "bridge/java_string_ansi.h"
#include "sysutil/after_exit_list.h"
#include "sysutil/cleanup_request.h"
#include "sysutil/java_string_vector.h"
#include "sysutil/startup_commands.h"
#include "sysutil/system_level.h"

namespace {

constexpr jint kCodeAddStartupCommand = -70002;
constexpr jint kCodeStartupCommands = -70003;
constexpr jint kCodeRemoveStartupCommand = -70004;
constexpr jint kCodeServiceLevel = -70005;
constexpr jint kCodeBootDirectory = -70009;
constexpr jint kCodeDeleteAfterExit = -70007;

void Report(JNIEnv* env, jint code, DWORD error) {
  if (error != 0) fw::ThrowServiceException(env, code, error);
}

// The start-up command changes report every internal failure with their own code: a registry
// failure with its error, anything else with E_FAIL as the error.
template <typename Work>
void GuardCommandChange(JNIEnv* env, jint code, Work&& work) noexcept {
  try {
    work();
  } catch (const fw::RegistryException& e) {
    fw::ThrowServiceException(env, code, e.Error());
  } catch (const fw::JavaExceptionPending&) {
  } catch (...) {
    fw::ThrowServiceException(env, code, fw::kErrorEFail);
  }
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_addSystemStartupCommand(
    JNIEnv* env, jobject, jstring jcommand) {
  GuardCommandChange(env, kCodeAddStartupCommand, [&] {
    const fw::JavaStringChars command(env, jcommand);
    Report(env, kCodeAddStartupCommand, fw::AddStartupCommand(command.Get()));
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_systemStartupCommands(
    JNIEnv* env, jobject) {
  return fw::GuardNativeCall(env, kCodeStartupCommands, jobject{nullptr}, [&]() -> jobject {
    fw::JavaStringVector vector(env);
    if (!vector.Made()) return nullptr;
    fw::StringList commands;
    fw::ListStartupCommands(commands);
    for (const fw::WideString& command : commands) vector.Add(command);
    return vector.Elements();
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_removeSystemStartupCommand(
    JNIEnv* env, jobject, jstring jcommand) {
  GuardCommandChange(env, kCodeRemoveStartupCommand, [&] {
    const fw::JavaStringChars command(env, jcommand);
    Report(env, kCodeRemoveStartupCommand, fw::RemoveStartupCommand(command.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_nativeDeleteFilesAfterExit(
    JNIEnv* env, jobject, jobject files, jobject trees, jboolean flag, jstring jprogram) {
  fw::GuardNativeCall(env, kCodeDeleteAfterExit, [&] {
    fw::NarrowString list;
    if (!fw::ReadAfterExitList(env, files, trees, list)) return;
    if (list.empty() && flag == JNI_FALSE) return;  // nothing to hand over
    const fw::JavaStringAnsi program(env, jprogram);
    // Another program's file would be started, and deleted once it has run.
    if (const DWORD error = program.RoundTripError()) return Report(env, kCodeDeleteAfterExit, error);
    Report(env, kCodeDeleteAfterExit, fw::LaunchCleanupProgram(list, flag != JNI_FALSE, program.IsNull() ? "" : program.Get()));
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_getOSServiceLevel(
    JNIEnv* env, jobject) {
  return fw::GuardNativeCall(env, kCodeServiceLevel, jstring{nullptr}, [&]() -> jstring {
    fw::WideString text;
    const DWORD error = fw::ServicePackText(text);
    Report(env, kCodeServiceLevel, error);
    return error == 0 ? fw::NewJavaString(env, text) : nullptr;
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_getBootDirectory(
    JNIEnv* env, jobject) {
  return fw::GuardNativeCall(env, kCodeBootDirectory, jstring{nullptr}, [&]() -> jstring {
    fw::WideString directory;
    const DWORD error = fw::BootDirectory(directory);
    Report(env, kCodeBootDirectory, error);
    return error == 0 && !directory.empty() ? fw::NewJavaString(env, directory) : nullptr;
  });
}

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K(JNIEnv*, jobject) {
  return fw::IsWindowsNT() ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME(JNIEnv*, jobject) {
  return fw::IsWindowsME() ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
