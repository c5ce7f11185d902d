package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;

/**
 * Windows services (NT 4 and later, with the Windows 2000 extensions), short paths and file
 * version information, implemented in the native library fwnative. No method waits for a service
 * to change state. Every failure is a ServiceException.
 */
public class Win32ServiceImpl {
    public native void createNTService(String name, NTServiceConfig config);

    public native void changeNTServiceConfig(String name, NTServiceConfig config);

    public native NTServiceConfig queryNTServiceConfig(String name);

    public native void startNTService(String name, String[] arguments);

    public native NTServiceStatus controlNTService(String name, int control);

    public native NTServiceStatus queryNTServiceStatus(String name);

    public native void deleteNTService(String name);

    public native boolean serviceExists(String name);

    public native String getNTServiceDisplayName(String keyName);

    public native String getNTServiceKeyName(String displayName);

    /** Key names of the services of the given type and state; null when none matches. */
    public native String[] enumNTServiceKeys(int serviceType, int serviceState);

    public native Win2kServiceFailureActions queryWin2kServiceFailureActions(String name);

    public native void changeWin2kServiceFailureActions(String name, Win2kServiceFailureActions actions);

    public native String queryWin2kServiceDescription(String name);

    /** A null description removes it. */
    public native void changeWin2kServiceDescription(String name, String description);

    public native Win2kServiceStatusProcess queryWin2kServiceStatusProcess(String name);

    public native boolean isWin2k();

    public native String getShortPath(String path);

    /** Null when the file has no version resource; never throws. */
    public native WindowsFixedFileInfo getFixedFileInfo(String path);
}
