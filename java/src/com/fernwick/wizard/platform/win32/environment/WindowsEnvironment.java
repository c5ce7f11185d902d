package com.fernwick.wizard.platform.win32.environment;

import com.fernwick.wizard.service.ServiceException;

/**
 * Environment variables of the installer process and the persistent ones Windows keeps in the
 * registry, implemented in the native library fwnative. The NT and ME forms do nothing (and
 * return null) on the other Windows families. A null value deletes the variable.
 */
public class WindowsEnvironment {
    /** Null when the variable is not set; never throws. */
    public native String getProcessEnvironmentVariable(String name) throws ServiceException;

    public native void setProcessEnvironmentVariable(String name, String value) throws ServiceException;

    /** The user's variable, or the system's when system is true. */
    public native void winNTSetEnvironmentVariable(String name, String value, boolean system) throws ServiceException;

    /** Unexpanded; null when the variable is absent. */
    public native String winNTGetRawEnvironmentVariable(String name, boolean system) throws ServiceException;

    public native void winMESetEnvironmentVariable(String name, String value) throws ServiceException;

    /** Unexpanded; null when the variable is absent or empty. */
    public native String winMEGetRawEnvironmentVariable(String name) throws ServiceException;
}
