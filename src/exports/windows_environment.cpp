// Native methods of com.fernwick.wizard.platform.win32.environment.WindowsEnvironment.
#include "com_fernwick_wizard_platform_win32_environment_WindowsEnvironment.h"
