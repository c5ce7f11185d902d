// Native methods of com.fernwick.wizard.platform.win32.Win32ServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"

#include "bridge/platform.h"

extern "C" {

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_isWin2k(JNIEnv*, jobject) {
  return fw::IsWindows2000() ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
