// Native methods of com.fernwick.wizard.platform.win32.Win32WizardInitializeServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl.h"

#include "wizardinit/process_affinity.h"

extern "C" {

// Never throws: a system without SetProcessAffinityMask simply keeps every processor.
JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl_setProcessAffinity(
    JNIEnv*, jobject) {
  fw::ConfineToLowestActiveProcessor();
}

}  // extern "C"
