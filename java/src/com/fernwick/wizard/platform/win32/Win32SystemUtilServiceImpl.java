package com.fernwick.wizard.platform.win32;

import java.util.Enumeration;

/**
 * Start-up commands, deletion of files after the installer exits, and facts about the running
 * Windows, implemented in the native library fwnative. Every failure is a ServiceException.
 */
public class Win32SystemUtilServiceImpl {
    public native void addSystemStartupCommand(String command);

    /** The commands waiting under the run-once key, expanded; null when they cannot be listed. */
    public native Enumeration<String> systemStartupCommands();

    public native void removeSystemStartupCommand(String command);

    /**
     * Starts the clean-up program, which deletes the files once the installer has ended; the paths
     * of the second enumeration are passed to it marked with "*".
     */
    public native void nativeDeleteFilesAfterExit(Enumeration<String> files, Enumeration<String> markedFiles,
            boolean flag, String cleanupProgram);

    public native String getOSServiceLevel();

    public native String getBootDirectory();

    public native boolean isWinNTor2K();

    public native boolean isWinME();
}
