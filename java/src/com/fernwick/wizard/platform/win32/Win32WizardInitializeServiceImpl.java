package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/** Process set-up at wizard start, implemented in the native library fwnative. */
public class Win32WizardInitializeServiceImpl {
    /** Binds the installer process to the lowest-numbered active processor; never throws. */
    public native void setProcessAffinity() throws ServiceException;
}
