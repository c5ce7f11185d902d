package com.fernwick.wizard.platform.win32;

import java.util.Enumeration;
import com.fernwick.wizard.service.ServiceException;

/**
 * Start-up commands, deletion of files after the installer exits, and facts about the running
 * Windows, implemented in the native library fwnative. Every failure is a ServiceException.
 *
 * <p>Start-up commands are string values of HKEY_LOCAL_MACHINE
 * "SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce", which Windows runs once at the next logon
 * and then removes. The commands this class adds are named "FWNK" and a five-digit number
 * (FWNK00001, FWNK00002, ...), the lowest number free. Writing them needs write access to
 * HKEY_LOCAL_MACHINE (error 5 otherwise).
 *
 * <p>A failure throws {@link ServiceException} with the method's code from {@link OperationCodes}
 * and the Win32 error in the message; an unexpected internal failure of systemStartupCommands or
 * getBootDirectory throws {@link OperationCodes#E_FAIL} without a message.
 */
public class Win32SystemUtilServiceImpl {
    /** A service object; all state lives in Windows. */
    public Win32SystemUtilServiceImpl() {
    }

    /**
     * Schedules a command line to run once at the next logon, as a REG_SZ value of the run-once
     * key under the lowest free "FWNK" name. Adding the same command twice stores it twice.
     *
     * @param command the command line; must not be null or empty
     * @throws ServiceException {@link OperationCodes#ADD_SYSTEM_STARTUP_COMMAND} (-70002): E_INVALIDARG
     *         (2147942487) for a null or empty command, 5 access denied, 259 when every number up
     *         to 32767 is taken, E_FAIL (2147500037) for an unexpected failure
     */
    public native void addSystemStartupCommand(String command) throws ServiceException;

    /**
     * Lists the commands waiting under the run-once key, expanded; null when they cannot be listed.
     * Every string value is listed, those of other programs too, in the order the registry gives
     * them; REG_EXPAND_SZ values come back with their %NAME% references expanded, and values that
     * are not strings are passed over.
     *
     * @return the command lines, or null when java.util.Vector cannot be made
     * @throws ServiceException {@link OperationCodes#SYSTEM_STARTUP_COMMANDS} (-70003) with the
     *         registry's error, such as 2 when the run-once key does not exist
     */
    public native Enumeration<String> systemStartupCommands() throws ServiceException;

    /**
     * Removes a start-up command added by {@link #addSystemStartupCommand}: the first "FWNK" value
     * whose text equals the command exactly, letter case included. Values of other programs are
     * never removed, and finding nothing is no failure.
     *
     * @param command the command line as it was added; must not be null or empty
     * @throws ServiceException {@link OperationCodes#REMOVE_SYSTEM_STARTUP_COMMAND} (-70004):
     *         E_INVALIDARG (2147942487) for a null or empty command, 5 access denied, E_FAIL
     *         (2147500037) for an unexpected failure
     */
    public native void removeSystemStartupCommand(String command) throws ServiceException;

    /**
     * Starts the clean-up program, which deletes the files once the installer has ended; the paths
     * of the second enumeration are passed to it marked with "*".
     *
     * <p>The program is started hidden with its own path as the whole command line and receives
     * one WM_COPYDATA message holding the flag, this process's id and the paths, separated by ";"
     * in the ANSI code page (so a path must not contain ";"). Its own file is deleted by the
     * system once it has ended. The call blocks for one to two seconds while the program starts and
     * its window is looked for; a program that shows no window receives nothing, and that is not
     * reported. When both enumerations are empty and the flag is false nothing is started.
     *
     * @param files paths to delete: files, or empty directories
     * @param markedFiles paths sent with the "*" mark: directories to delete with everything in
     *        them
     * @param flag passed on to the clean-up program; with the program shipped with the library
     *        (fwcleanup.exe) true deletes at the next restart what is still in use
     * @param cleanupProgram the clean-up program's path
     * @throws ServiceException {@link OperationCodes#NATIVE_DELETE_FILES_AFTER_EXIT} (-70007): the
     *         error of starting the program (2 when it does not exist), 1113 for a path with
     *         characters the ANSI code page lacks
     */
    public native void nativeDeleteFilesAfterExit(Enumeration<String> files, Enumeration<String> markedFiles,
            boolean flag, String cleanupProgram) throws ServiceException;

    /**
     * Tells the installed service pack, as the system's version information names it.
     *
     * @return the text, such as "Service Pack 4"; "" when there is none; on Windows 9x whatever the
     *         system reports (" A " on Windows 98 Second Edition)
     * @throws ServiceException {@link OperationCodes#GET_OS_SERVICE_LEVEL} (-70005) when the version
     *         cannot be read
     */
    public native String getOSServiceLevel() throws ServiceException;

    /**
     * Tells the boot directory: the value "BootDir" under HKEY_LOCAL_MACHINE
     * "SOFTWARE\Microsoft\Windows\CurrentVersion\Setup", unexpanded.
     *
     * @return the directory, such as "C:\", or null when the value is empty
     * @throws ServiceException {@link OperationCodes#GET_BOOT_DIRECTORY} (-70009): 2 when the value
     *         does not exist, -1 (4294967295, a message with no text) when it names no drive the
     *         system knows
     */
    public native String getBootDirectory() throws ServiceException;

    /**
     * Tells whether the system is of the NT family.
     *
     * @return true on every NT version (NT 4, 2000, XP and later); false on Windows 95, 98 and ME
     * @throws ServiceException never
     */
    public native boolean isWinNTor2K() throws ServiceException;

    /**
     * Tells whether the system is Windows ME.
     *
     * @return true on Windows ME only
     * @throws ServiceException never
     */
    public native boolean isWinME() throws ServiceException;
}
