package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Local users and groups, implemented in the native library fwnative. Refused on Windows 9x with
 * ServiceException.OPERATION_NOT_SUPPORTED, except the administrator test, which is true there.
 */
public class Win32SecurityServiceImpl {
    /**
     * The user description has nine elements: account expiry (seconds since 1970, or negative for
     * never), comment, home directory, logon script, password, full name, user name, account
     * disabled ("0" for no), password expired ("0" for no). The groups may be null.
     */
    public native void win32CreateUser(String[] user, String[] groups) throws ServiceException;

    public native void deleteUser(String name) throws ServiceException;

    /** The members may be null. */
    public native void win32CreateGroup(String name, String[] members) throws ServiceException;

    public native void deleteGroup(String name) throws ServiceException;

    public native boolean isCurrentUserAdmin() throws ServiceException;
}
