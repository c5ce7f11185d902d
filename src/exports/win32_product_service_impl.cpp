// Native methods of com.fernwick.wizard.platform.win32.Win32ProductServiceImpl: each copies its
// strings and runs one uninstaller operation inside the boundary guard.
#include "com_fernwick_wizard_platform_win32_Win32ProductServiceImpl.h"

#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "product/uninstaller_registration.h"

namespace {

using fw::JavaStringChars;

constexpr jint kCodeRegisterUninstaller = -90000;
constexpr jint kCodeUnregisterUninstaller = -90001;

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ProductServiceImpl_win32RegisterUninstaller(
    JNIEnv* env, jobject, jstring jproductKey, jstring jdisplayName, jstring juninstallCommand) {
  fw::GuardNativeCall(env, kCodeRegisterUninstaller, [&] {
    const JavaStringChars productKey(env, jproductKey);
    const JavaStringChars displayName(env, jdisplayName);
    const JavaStringChars uninstallCommand(env, juninstallCommand);
    fw::RegisterUninstaller(productKey.Get(), displayName.Get(), uninstallCommand.Get());
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ProductServiceImpl_win32UnregisterUninstaller(
    JNIEnv* env, jobject, jstring jproductKey, jstring jalternateKey) {
  fw::GuardNativeCall(env, kCodeUnregisterUninstaller, [&] {
    const JavaStringChars productKey(env, jproductKey);
    const JavaStringChars alternateKey(env, jalternateKey);
    fw::UnregisterUninstaller(productKey.Get(), alternateKey.Get());
  });
}

}  // extern "C"
