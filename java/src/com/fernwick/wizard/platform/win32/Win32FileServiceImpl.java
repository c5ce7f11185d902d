package com.fernwick.wizard.platform.win32;

import com.fernwick.util.FileAttributes;

/**
 * File, directory and volume operations, implemented in the native library fwnative. Copy, move,
 * delete and directory removal return 0 when done and 1 when the operation completes at the next
 * restart of the system (the caller then asks for a restart). File times are Windows FILETIME
 * values. Every failure is a ServiceException.
 */
public class Win32FileServiceImpl {
    public native FileAttributes getFileAttributes(String path);

    public native void setFileAttributes(String path, FileAttributes attributes);

    public native String getFileOwner(String path);

    public native void setFileOwner(String path, String owner);

    public native String getFileOwnerGroup(String path);

    public native void setFileOwnerGroup(String path, String group);

    /** Drive root paths such as "C:\", in the system's order. */
    public native String[] getPartitionNames();

    /** 1 fixed, 2 removable, 3 remote, 4 CD-ROM, 5 RAM disk, -1 unknown or not a root. */
    public native int getPartitionType(String root);

    public native String getPartitionFormat(String root);

    /** Bytes available to the current user. */
    public native long getPartitionFreeSpace(String path);

    public native boolean supportsLongFileNames(String root);

    public native String getTempDirectory();

    public native String win32GetWindowsDirectory();

    /** The system directory, or "" when it cannot be found. */
    public native String getLibraryDirectory();

    public native String getStandardInstallDirectory();

    public native String win32GetCommonDirectory();

    public native boolean isDirectoryWritable(String directory);

    /** Shows (true) or suppresses (false) critical-error dialogs; returns whether they were suppressed. */
    public native boolean win32EnableAbort(boolean enable);

    public native int win32CopyFile(String source, String target, boolean overwrite);

    public native int win32MoveFile(String source, String target, boolean overwrite);

    public native int win32DeleteFile(String path);

    public native void win32SetFileTimes(String path, long created, long accessed, long modified);

    public native void win32SetFileModified(String path, long modified);

    public native void win32SetFileCreated(String path, long created);

    /** Removes one empty directory (single) or a tree (recursive) or a directory holding only files. */
    public native int win32DeleteDirectory(String path, boolean single, boolean recursive);
}
