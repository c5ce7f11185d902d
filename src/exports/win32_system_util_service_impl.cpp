// Native methods of com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"

#include "bridge/platform.h"

extern "C" {

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K(JNIEnv*, jobject) {
  return fw::IsWindowsNT() ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME(JNIEnv*, jobject) {
  return fw::IsWindowsME() ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
