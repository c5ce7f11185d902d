package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.service.ServiceException;

/**
 * Windows services (NT 4 and later, with the Windows 2000 extensions), short paths and file
 * version information, implemented in the native library fwnative. No method waits for a service
 * to change state. Every failure is a ServiceException.
 */
public class Win32ServiceImpl {
    public native void createNTService(String name, NTServiceConfig config) throws ServiceException;

    public native void changeNTServiceConfig(String name, NTServiceConfig config) throws ServiceException;

    public native NTServiceConfig queryNTServiceConfig(String name) throws ServiceException;

    public native void startNTService(String name, String[] arguments) throws ServiceException;

    public native NTServiceStatus controlNTService(String name, int control) throws ServiceException;

    public native NTServiceStatus queryNTServiceStatus(String name) throws ServiceException;

    public native void deleteNTService(String name) throws ServiceException;

    public native boolean serviceExists(String name) throws ServiceException;

    public native String getNTServiceDisplayName(String keyName) throws ServiceException;

    public native String getNTServiceKeyName(String displayName) throws ServiceException;

    /** Key names of the services of the given type and state; null when none matches. */
    public native String[] enumNTServiceKeys(int serviceType, int serviceState) throws ServiceException;

    public native Win2kServiceFailureActions queryWin2kServiceFailureActions(String name) throws ServiceException;

    public native void changeWin2kServiceFailureActions(String name, Win2kServiceFailureActions actions) throws ServiceException;

    public native String queryWin2kServiceDescription(String name) throws ServiceException;

    /** A null description removes it. */
    public native void changeWin2kServiceDescription(String name, String description) throws ServiceException;

    public native Win2kServiceStatusProcess queryWin2kServiceStatusProcess(String name) throws ServiceException;

    public native boolean isWin2k() throws ServiceException;

    public native String getShortPath(String path) throws ServiceException;

    /** Null when the file has no version resource; never throws. */
    public native WindowsFixedFileInfo getFixedFileInfo(String path) throws ServiceException;
}
