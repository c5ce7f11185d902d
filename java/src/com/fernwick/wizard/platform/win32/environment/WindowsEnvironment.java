package com.fernwick.wizard.platform.win32.environment;

import com.fernwick.wizard.service.ServiceException;

/**
 * Environment variables of the installer process and the persistent ones Windows keeps in the
 * registry, implemented in the native library fwnative. The NT and ME forms do nothing (and
 * return null) on the other Windows families. A null value deletes the variable.
 *
 * <p>Persistent variables are registry values: on the NT family the user's under HKEY_CURRENT_USER
 * "Environment", the system's under HKEY_LOCAL_MACHINE
 * "SYSTEM\CurrentControlSet\Control\Session Manager\Environment", both written as REG_EXPAND_SZ;
 * on Windows ME under HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Control\SessionManager\Environment"
 * (no blank in "SessionManager"), written as REG_SZ. After a successful change every top-level
 * window is sent WM_SETTINGCHANGE "Environment", so that programs started afterwards from the
 * shell see it; the call waits up to 3 seconds for that, skipping hung windows. A persistent
 * change does not reach the installer's own process: set it there with
 * {@link #setProcessEnvironmentVariable} as well.
 *
 * <p>A failure throws {@link ServiceException} with the method's code from
 * {@link com.fernwick.wizard.platform.win32.OperationCodes} and the Win32 error in the message;
 * an unexpected internal failure of the persistent methods throws
 * {@link com.fernwick.wizard.platform.win32.OperationCodes#E_FAIL E_FAIL} without a message.
 */
public class WindowsEnvironment {
    /** A service object; all state lives in Windows. */
    public WindowsEnvironment() {
    }

    /**
     * Reads a variable of the installer process. Null when the variable is not set; never throws.
     * On systems other than the NT family the name and value go through the ANSI code page.
     *
     * @param name the variable's name
     * @return the value; null when the variable is not set or is set to ""; "" for a null or empty
     *         name
     * @throws ServiceException never
     */
    public native String getProcessEnvironmentVariable(String name) throws ServiceException;

    /**
     * Sets or deletes a variable of the installer process; processes it starts afterwards inherit
     * it. Deleting a variable that is not set succeeds. On systems other than the NT family the
     * name and value go through the ANSI code page.
     *
     * @param name the variable's name; null or "" does nothing
     * @param value the new value, or null to delete the variable
     * @throws ServiceException
     *         {@link com.fernwick.wizard.platform.win32.OperationCodes#SET_PROCESS_ENVIRONMENT_VARIABLE}
     *         (-70008) with the system's error, for example 87 for a name or value of 32767
     *         characters or more on Windows 9x
     */
    public native void setProcessEnvironmentVariable(String name, String value) throws ServiceException;

    /**
     * Sets or deletes a persistent variable on the NT family, as REG_EXPAND_SZ, so %NAME%
     * references in it are expanded for new processes. The user's variable, or the system's when
     * system is true. Does nothing on other families.
     *
     * @param name the variable's name
     * @param value the new value, or null to delete the variable (deleting one that is absent
     *        succeeds)
     * @param system true for the machine-wide variable (needs an administrator), false for the
     *        current user's
     * @throws ServiceException
     *         {@link com.fernwick.wizard.platform.win32.OperationCodes#WIN_NT_SET_ENVIRONMENT_VARIABLE}
     *         (-70000) with the registry's error, for example 5 access denied for a system variable
     */
    public native void winNTSetEnvironmentVariable(String name, String value, boolean system) throws ServiceException;

    /**
     * Reads a persistent variable on the NT family. Unexpanded; null when the variable is absent.
     *
     * @param name the variable's name
     * @param system true for the machine-wide variable, false for the current user's
     * @return the value as stored, %NAME% references kept; "" for an empty value; null when the
     *         variable is absent, and always null outside the NT family
     * @throws ServiceException
     *         {@link com.fernwick.wizard.platform.win32.OperationCodes#WIN_NT_GET_RAW_ENVIRONMENT_VARIABLE}
     *         (-70010) with the registry's error, for example 1804 for a value that is not a string
     */
    public native String winNTGetRawEnvironmentVariable(String name, boolean system) throws ServiceException;

    /**
     * Sets or deletes a persistent variable on Windows ME, as REG_SZ. Does nothing on other
     * systems, Windows 95 and 98 included.
     *
     * @param name the variable's name
     * @param value the new value, or null to delete the variable (deleting one that is absent
     *        succeeds)
     * @throws ServiceException
     *         {@link com.fernwick.wizard.platform.win32.OperationCodes#WIN_ME_SET_ENVIRONMENT_VARIABLE}
     *         (-70000) with the registry's error
     */
    public native void winMESetEnvironmentVariable(String name, String value) throws ServiceException;

    /**
     * Reads a persistent variable on Windows ME. Unexpanded; null when the variable is absent or
     * empty.
     *
     * @param name the variable's name
     * @return the value as stored; null when the variable is absent or empty, and always null on
     *         other systems
     * @throws ServiceException
     *         {@link com.fernwick.wizard.platform.win32.OperationCodes#WIN_ME_GET_RAW_ENVIRONMENT_VARIABLE}
     *         (-70010) with the registry's error, for example 1804 for a value that is not a string
     */
    public native String winMEGetRawEnvironmentVariable(String name) throws ServiceException;
}
