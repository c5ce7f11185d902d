// The smallest JNI library, built exactly as fwnative.dll is (same compiler, flags, static runtime
// and link), so that the load benchmark can tell what loading fwnative.dll costs beyond loading
// any DLL of this toolchain. Its one method answers the same question as the library's, the same way.
#include <windows.h>

#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"

extern "C" JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K(JNIEnv*, jobject) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT ? JNI_TRUE : JNI_FALSE;
}
