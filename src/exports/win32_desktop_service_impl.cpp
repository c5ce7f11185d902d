// Native methods of com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl.
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/service_exception.h"
#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "desktop/desktop_service.h"

namespace {

constexpr jint kCodeCreateDesktopFolder = -80000;
constexpr jint kCodeRemoveDesktopFolder = -80001;
constexpr jint kCodeCreateDesktopItem = -80002;
constexpr jint kCodeRemoveDesktopItem = -80003;

void Report(JNIEnv* env, jint code, DWORD status) {
  if (status != 0) fw::ThrowServiceException(env, code, status);
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_createDesktopFolder(
    JNIEnv* env, jobject, jstring jbase, jstring jname) {
  fw::GuardNativeCall(env, kCodeCreateDesktopFolder, [&] {
    const fw::JavaStringChars base(env, jbase);
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeCreateDesktopFolder, fw::CreateDesktopFolder(base.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_removeDesktopFolder(
    JNIEnv* env, jobject, jstring jbase, jstring jname) {
  fw::GuardNativeCall(env, kCodeRemoveDesktopFolder, [&] {
    const fw::JavaStringChars base(env, jbase);
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeRemoveDesktopFolder, fw::RemoveDesktopFolder(base.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_createDesktopItem(
    JNIEnv* env, jobject, jstring jfolder, jstring jsubFolder, jstring jitemName, jstring jtarget, jstring jarguments,
    jstring jiconLocation, jstring jworkingDirectory) {
  fw::GuardNativeCall(env, kCodeCreateDesktopItem, [&] {
    const fw::JavaStringChars folder(env, jfolder);
    const fw::JavaStringChars subFolder(env, jsubFolder);
    const fw::JavaStringChars itemName(env, jitemName);
    const fw::JavaStringChars target(env, jtarget);
    const fw::JavaStringChars arguments(env, jarguments);
    const fw::JavaStringChars iconLocation(env, jiconLocation);
    const fw::JavaStringChars workingDirectory(env, jworkingDirectory);
    Report(env, kCodeCreateDesktopItem,
           fw::CreateDesktopItem(folder.Get(), subFolder.Get(), itemName.Get(), target.Get(), arguments.Get(),
                                 iconLocation.Get(), workingDirectory.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_removeDesktopItem(
    JNIEnv* env, jobject, jstring jfolder, jstring jsubFolder, jstring jitemName) {
  fw::GuardNativeCall(env, kCodeRemoveDesktopItem, [&] {
    const fw::JavaStringChars folder(env, jfolder);
    const fw::JavaStringChars subFolder(env, jsubFolder);
    const fw::JavaStringChars itemName(env, jitemName);
    Report(env, kCodeRemoveDesktopItem, fw::RemoveDesktopItem(folder.Get(), subFolder.Get(), itemName.Get()));
  });
}

}  // extern "C"
