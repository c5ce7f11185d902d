package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Registration of a product's uninstaller in the system's list of installed programs, implemented
 * in the native library fwnative. Every failure is a ServiceException.
 */
public class Win32ProductServiceImpl {
    public native void win32RegisterUninstaller(String productKey, String displayName, String uninstallCommand) throws ServiceException;

    /** Deletes the product's key and, when present, the key named alternateKey. */
    public native void win32UnregisterUninstaller(String productKey, String alternateKey) throws ServiceException;
}
