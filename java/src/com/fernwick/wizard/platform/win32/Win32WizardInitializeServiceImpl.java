package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/** Process set-up at wizard start, implemented in the native library fwnative. */
public class Win32WizardInitializeServiceImpl {
    /** A service object; all state lives in Windows. */
    public Win32WizardInitializeServiceImpl() {
    }

    /**
     * Binds the installer process to the lowest-numbered active processor; never throws. Where the
     * system lacks SetProcessAffinityMask nothing is done, and a refused call is not reported.
     *
     * @throws ServiceException never
     */
    public native void setProcessAffinity() throws ServiceException;
}
