// Native methods of com.fernwick.wizard.platform.win32.Win32WizardInitializeServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32WizardInitializeServiceImpl.h"
