package com.fernwick.wizard.platform.win32;

import java.util.Enumeration;
import com.fernwick.wizard.service.ServiceException;

/**
 * Start-up commands, deletion of files after the installer exits, and facts about the running
 * Windows, implemented in the native library fwnative. Every failure is a ServiceException.
 */
public class Win32SystemUtilServiceImpl {
    public native void addSystemStartupCommand(String command) throws ServiceException;

    /** The commands waiting under the run-once key, expanded; null when they cannot be listed. */
    public native Enumeration<String> systemStartupCommands() throws ServiceException;

    public native void removeSystemStartupCommand(String command) throws ServiceException;

    /**
     * Starts the clean-up program, which deletes the files once the installer has ended; the paths
     * of the second enumeration are passed to it marked with "*".
     */
    public native void nativeDeleteFilesAfterExit(Enumeration<String> files, Enumeration<String> markedFiles,
            boolean flag, String cleanupProgram) throws ServiceException;

    public native String getOSServiceLevel() throws ServiceException;

    public native String getBootDirectory() throws ServiceException;

    public native boolean isWinNTor2K() throws ServiceException;

    public native boolean isWinME() throws ServiceException;
}
