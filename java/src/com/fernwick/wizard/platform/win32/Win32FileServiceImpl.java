package com.fernwick.wizard.platform.win32;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.service.ServiceException;

/**
 * File, directory and volume operations, implemented in the native library fwnative. Copy, move,
 * delete and directory removal return 0 when done and 1 when the operation completes at the next
 * restart of the system (the caller then asks for a restart). File times are Windows FILETIME
 * values. Every failure is a ServiceException.
 */
public class Win32FileServiceImpl {
    public native FileAttributes getFileAttributes(String path) throws ServiceException;

    public native void setFileAttributes(String path, FileAttributes attributes) throws ServiceException;

    public native String getFileOwner(String path) throws ServiceException;

    public native void setFileOwner(String path, String owner) throws ServiceException;

    public native String getFileOwnerGroup(String path) throws ServiceException;

    public native void setFileOwnerGroup(String path, String group) throws ServiceException;

    /** Drive root paths such as "C:\", in the system's order. */
    public native String[] getPartitionNames() throws ServiceException;

    /** 1 fixed, 2 removable, 3 remote, 4 CD-ROM, 5 RAM disk, -1 unknown or not a root. */
    public native int getPartitionType(String root) throws ServiceException;

    public native String getPartitionFormat(String root) throws ServiceException;

    /** Bytes available to the current user. */
    public native long getPartitionFreeSpace(String path) throws ServiceException;

    public native boolean supportsLongFileNames(String root) throws ServiceException;

    public native String getTempDirectory() throws ServiceException;

    public native String win32GetWindowsDirectory() throws ServiceException;

    /** The system directory, or "" when it cannot be found. */
    public native String getLibraryDirectory() throws ServiceException;

    public native String getStandardInstallDirectory() throws ServiceException;

    public native String win32GetCommonDirectory() throws ServiceException;

    public native boolean isDirectoryWritable(String directory) throws ServiceException;

    /** Shows (true) or suppresses (false) critical-error dialogs; returns whether they were suppressed. */
    public native boolean win32EnableAbort(boolean enable) throws ServiceException;

    public native int win32CopyFile(String source, String target, boolean overwrite) throws ServiceException;

    public native int win32MoveFile(String source, String target, boolean overwrite) throws ServiceException;

    public native int win32DeleteFile(String path) throws ServiceException;

    public native void win32SetFileTimes(String path, long created, long accessed, long modified) throws ServiceException;

    public native void win32SetFileModified(String path, long modified) throws ServiceException;

    public native void win32SetFileCreated(String path, long created) throws ServiceException;

    /** Removes one empty directory (single) or a tree (recursive) or a directory holding only files. */
    public native int win32DeleteDirectory(String path, boolean single, boolean recursive) throws ServiceException;
}
