package com.fernwick.wizard.platform.win32;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.service.ServiceException;

/**
 * File, directory and volume operations, implemented in the native library fwnative. Copy, move,
 * delete and directory removal return 0 when done and 1 when the operation completes at the next
 * restart of the system (the caller then asks for a restart). File times are Windows FILETIME
 * values. Every failure is a ServiceException.
 *
 * <p>Paths are full Windows paths; drive roots are written with their trailing backslash, as in
 * {@code "C:\"}. Every failure throws a {@link ServiceException} whose code is the method's
 * constant in {@link OperationCodes} and whose message ends in the Win32 error in parentheses; the
 * value the method returns after a throw means nothing. Copy, move, delete, directory removal and
 * the file-time methods refuse a null path with error 87.
 *
 * <p>Windows 9x (95, 98, ME): every path is converted to the ANSI code page; where a path with
 * characters the code page lacks would name another file (copy targets, move and delete paths,
 * directories to remove) the method refuses it with error 1113. Files in use are replaced or
 * deleted at the next restart through the [Rename] section of WinInit.Ini instead of
 * MoveFileEx. The owner and owner-group methods are not supported there: they throw
 * {@link ServiceException#OPERATION_NOT_SUPPORTED} before looking at their arguments.
 *
 * <p>getPartitionFormat, getPartitionFreeSpace, supportsLongFileNames and isDirectoryWritable
 * suppress the system's critical-error dialog while they run, so a drive without a medium fails
 * quietly (error 21, "device not ready") instead of asking the user.
 */
public class Win32FileServiceImpl {
    /** A service object; all state lives in Windows. */
    public Win32FileServiceImpl() {
    }

    /**
     * Reads the attributes of a file or directory. Readable states are always set, writeable ones
     * unless the file is read-only, executable ones for a directory only.
     *
     * @param path the file or directory
     * @return a new object describing the attributes
     * @throws ServiceException {@link OperationCodes#GET_FILE_ATTRIBUTES} (-30000): 2 or 3 when the
     *         path does not exist, E_FAIL when FileAttributes cannot be made
     */
    public native FileAttributes getFileAttributes(String path) throws ServiceException;

    /**
     * Writes the read-only, hidden, archive and system attributes of a file or directory. The file
     * becomes read-only exactly when no writeable state is set; other attributes are kept.
     *
     * @param path the file or directory; the path "." is refused
     * @param attributes the attributes to write
     * @throws ServiceException {@link OperationCodes#SET_FILE_ATTRIBUTES} (-30001): 2 or 3 when the
     *         path does not exist, 5 access denied, E_INVALIDARG for the path "." or null
     *         attributes, E_FAIL when the attributes cannot be read
     */
    public native void setFileAttributes(String path, FileAttributes attributes) throws ServiceException;

    /**
     * Reads the owner of a file or directory. Windows NT family only.
     *
     * @param path the file or directory
     * @return the owner's account name without its domain (for example "Administrators")
     * @throws ServiceException {@link OperationCodes#GET_FILE_OWNER} (-30012): 2 or 3 when the path
     *         does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getFileOwner(String path) throws ServiceException;

    /**
     * Makes an account the owner of a file or directory. The take-ownership, restore and backup
     * privileges are enabled for the call where the account running the installer holds them.
     * Windows NT family only.
     *
     * @param path the file or directory
     * @param owner an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_FILE_OWNER} (-30013): 1332 when the account
     *         does not exist (nothing is changed), 2 or 3 when the path does not exist, 5 access
     *         denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setFileOwner(String path, String owner) throws ServiceException;

    /**
     * Reads the owner group (the primary group) of a file or directory. Windows NT family only.
     *
     * @param path the file or directory
     * @return the group's account name without its domain
     * @throws ServiceException {@link OperationCodes#GET_FILE_OWNER_GROUP} (-30008): 2 or 3 when the
     *         path does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getFileOwnerGroup(String path) throws ServiceException;

    /**
     * Makes an account the owner group of a file or directory, with the same privileges as
     * {@link #setFileOwner}. Windows NT family only.
     *
     * @param path the file or directory
     * @param group an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_FILE_OWNER_GROUP} (-30009): 1332 when the
     *         account does not exist, 2 or 3 when the path does not exist, 5 access denied;
     *         OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setFileOwnerGroup(String path, String group) throws ServiceException;

    /**
     * Lists the drives. Drive root paths such as "C:\", in the system's order.
     *
     * @return the roots, each a letter, a colon and a backslash; an empty array when the system
     *         gives none
     * @throws ServiceException never: a failure gives an empty array
     */
    public native String[] getPartitionNames() throws ServiceException;

    /**
     * Tells the kind of a drive. 1 fixed, 2 removable, 3 remote, 4 CD-ROM, 5 RAM disk, -1 unknown
     * or not a root. The root is passed to the ANSI GetDriveTypeA on every Windows family.
     *
     * @param root a drive root such as "D:\"
     * @return the kind code above
     * @throws ServiceException never: a failure gives -1
     */
    public native int getPartitionType(String root) throws ServiceException;

    /**
     * Tells the file system of a volume.
     *
     * @param root a drive root such as "C:\"
     * @return the file system's name as Windows reports it, such as "NTFS" or "FAT32"
     * @throws ServiceException {@link OperationCodes#GET_PARTITION_FORMAT} (-30010) with the error
     *         of GetVolumeInformation, for example 21 for a drive without a medium
     */
    public native String getPartitionFormat(String root) throws ServiceException;

    /**
     * Tells the free space of a volume. Bytes available to the current user.
     *
     * <p>The space is what the current user may use, so a disk quota counts; values above 4 GB
     * come back whole where the system has GetDiskFreeSpaceEx (otherwise the older
     * GetDiskFreeSpace is used).
     *
     * @param path a drive root such as "C:\"
     * @return the free bytes; 0 when the system fails without naming an error
     * @throws ServiceException {@link OperationCodes#GET_PARTITION_FREE_SPACE} (-30004) with the
     *         error of GetDiskFreeSpace(Ex), for example 21 for a drive without a medium
     */
    public native long getPartitionFreeSpace(String path) throws ServiceException;

    /**
     * Tells whether a volume takes long file names. The root is passed to the ANSI
     * GetVolumeInformationA on every Windows family.
     *
     * @param root a drive root such as "C:\"
     * @return true when the volume takes names of 255 characters, false for 8.3 volumes
     * @throws ServiceException {@link OperationCodes#SUPPORTS_LONG_FILE_NAMES} (-30015) with the
     *         error of GetVolumeInformationA, for example 21 for a drive without a medium
     */
    public native boolean supportsLongFileNames(String root) throws ServiceException;

    /**
     * Finds the directory for temporary files (GetTempPath).
     *
     * @return the directory with its trailing backslash
     * @throws ServiceException {@link OperationCodes#GET_TEMP_DIRECTORY} (-60002): the directory
     *         Windows names does not exist (2 or 3); there is no fallback
     */
    public native String getTempDirectory() throws ServiceException;

    /**
     * Finds the Windows directory. It is not checked for existence.
     *
     * @return the directory, such as "C:\WINDOWS", without a trailing backslash
     * @throws ServiceException {@link OperationCodes#WIN32_GET_WINDOWS_DIRECTORY} (-60000): the
     *         system reports no directory
     */
    public native String win32GetWindowsDirectory() throws ServiceException;

    /**
     * Finds the system directory. The system directory, or "" when it cannot be found.
     *
     * @return the directory, such as "C:\WINDOWS\system32" (on Windows 9x "C:\WINDOWS\SYSTEM"), or
     *         "" when the system names none or it does not exist
     * @throws ServiceException never
     */
    public native String getLibraryDirectory() throws ServiceException;

    /**
     * Finds the Program Files directory: the value "ProgramFilesDir" under HKEY_LOCAL_MACHINE
     * "SOFTWARE\Microsoft\Windows\CurrentVersion", as stored. No default is put in its place.
     *
     * @return the directory
     * @throws ServiceException {@link OperationCodes#GET_STANDARD_INSTALL_DIRECTORY} (-60001): 2 when
     *         the value is missing, 1804 when it is not a string
     */
    public native String getStandardInstallDirectory() throws ServiceException;

    /**
     * Finds the Common Files directory: the value "CommonFilesDir" under HKEY_LOCAL_MACHINE
     * "SOFTWARE\Microsoft\Windows\CurrentVersion", as stored. No default is put in its place.
     *
     * @return the directory
     * @throws ServiceException {@link OperationCodes#WIN32_GET_COMMON_DIRECTORY} (-30022): 2 when the
     *         value is missing, 1804 when it is not a string
     */
    public native String win32GetCommonDirectory() throws ServiceException;

    /**
     * Tells whether a file can be created directly in a directory. A probe file named
     * "fw_test0.txt" to "fw_test99.txt" (the first name not taken) is created delete-on-close, so
     * nothing stays behind.
     *
     * @param directory the directory, with or without a trailing backslash
     * @return true when a probe file could be made (or all hundred names are taken); false when
     *         creation failed for any other reason: access denied, path not found, disk full,
     *         write-protected medium
     * @throws ServiceException {@link OperationCodes#E_INVALIDARG}, without message, for a null or
     *         empty directory; nothing else throws
     */
    public native boolean isDirectoryWritable(String directory) throws ServiceException;

    /**
     * Shows (true) or suppresses (false) critical-error dialogs; returns whether they were
     * suppressed. The setting holds for the whole installer process. Showing them sets the
     * process's error mode to 0, which clears its other flags too.
     *
     * @param enable true shows the system's dialog for a drive without a medium, false suppresses it
     * @return true when the dialogs were suppressed before the call
     * @throws ServiceException never
     */
    public native boolean win32EnableAbort(boolean enable) throws ServiceException;

    /**
     * Copies a file, finishing at the next restart when the target is in use (sharing violation).
     * A read-only target loses that attribute for good.
     *
     * <p>When the target is in use on the NT family, the old target is renamed to target +
     * ".delete_on_reboot" (deleted at the next restart) and the copy made again, so the new file is
     * in place at once; when Windows refuses that rename, the copy is written to target +
     * ".use_on_reboot" and moved over the target at the next restart. On Windows 9x the copy goes
     * to target + ".use_on_reboot" and a WinInit.Ini line moves it over the target.
     *
     * @param source the file to copy
     * @param target the full path of the copy
     * @param overwrite true replaces an existing target; false fails on one, in use or not (error
     *        80), and also on a ".use_on_reboot" file left by an earlier run
     * @return 0 when the copy is complete, 1 when it completes at the next restart
     * @throws ServiceException {@link OperationCodes#WIN32_COPY_FILE} (-30017) with the error of the
     *         step that failed: 2 or 3 source missing, 80 target exists, 5 access denied
     */
    public native int win32CopyFile(String source, String target, boolean overwrite) throws ServiceException;

    /**
     * Moves a file, finishing at the next restart when a file is in use. A read-only target loses
     * that attribute for good.
     *
     * <p>NT family: the move may cross volumes. When it is refused with a sharing violation or
     * access denial, the old target is renamed to target + ".delete_on_reboot" (deleted at the
     * next restart) and the move made again; when that rename is refused too, the source is moved
     * to target + ".move_on_reboot" and over the target at the next restart. Windows 9x: an empty
     * target deletes the source; where access is denied, WinInit.Ini lines finish the move (or the
     * deletion) at the next restart, and a failure to write that file is not reported.
     *
     * @param source the file to move
     * @param target the new full path; on Windows 9x, "" deletes the source
     * @param overwrite true replaces an existing target; false fails on one (error 80 or 183) and
     *        never replaces it at the next restart
     * @return 0 when the move is complete, 1 when it completes at the next restart
     * @throws ServiceException {@link OperationCodes#WIN32_MOVE_FILE} (-30018) with the error of the
     *         step that failed: 2 or 3 source missing, 183 or 80 target exists, 5 access denied
     */
    public native int win32MoveFile(String source, String target, boolean overwrite) throws ServiceException;

    /**
     * Deletes a file, or schedules its deletion for the next restart when it is in use (sharing
     * violation or access denial). A read-only attribute is removed first.
     *
     * @param path the file
     * @return 0 when the file is gone, 1 when it is deleted at the next restart
     * @throws ServiceException {@link OperationCodes#WIN32_DELETE_FILE} (-30019): 2 or 3 when the file
     *         does not exist
     */
    public native int win32DeleteFile(String path) throws ServiceException;

    /**
     * Sets the creation, last-access and last-write times of a file. A read-only file is made
     * writable for the call and read-only again afterwards.
     *
     * @param path the file
     * @param created the creation time, as a FILETIME (100-nanosecond intervals since 1 January
     *        1601, UTC)
     * @param accessed the last-access time, as a FILETIME
     * @param modified the last-write time, as a FILETIME
     * @throws ServiceException {@link OperationCodes#WIN32_SET_FILE_TIMES} (-30007): 2 or 3 when the
     *         file does not exist, 32 when another program holds it open, 5 access denied
     */
    public native void win32SetFileTimes(String path, long created, long accessed, long modified) throws ServiceException;

    /**
     * Sets the last-write time of a file and leaves its other times unchanged. A read-only file is
     * made writable for the call and read-only again afterwards.
     *
     * @param path the file
     * @param modified the last-write time, as a FILETIME (100-nanosecond intervals since 1 January
     *        1601, UTC)
     * @throws ServiceException {@link OperationCodes#WIN32_SET_FILE_MODIFIED} (-30016): 2 or 3 when
     *         the file does not exist, 32 when another program holds it open, 5 access denied
     */
    public native void win32SetFileModified(String path, long modified) throws ServiceException;

    /**
     * Sets the creation time of a file and leaves its other times unchanged. A read-only file is
     * made writable for the call and read-only again afterwards.
     *
     * @param path the file
     * @param created the creation time, as a FILETIME (100-nanosecond intervals since 1 January
     *        1601, UTC)
     * @throws ServiceException {@link OperationCodes#WIN32_SET_FILE_CREATED} (-30011): 2 or 3 when
     *         the file does not exist, 32 when another program holds it open, 5 access denied
     */
    public native void win32SetFileCreated(String path, long created) throws ServiceException;

    /**
     * Removes one empty directory (single) or a tree (recursive) or a directory holding only files.
     *
     * <p>Files in use are deleted at the next restart, as by {@link #win32DeleteFile}; read-only
     * files are deleted too. A directory is removed once everything in it is gone; one whose
     * contents wait for the restart stays, with every directory above it (on the NT family it is
     * then removed at the next restart; on Windows 9x it stays). A junction or directory link is
     * removed as a link and never walked into. The first failure stops the removal.
     *
     * @param path the directory
     * @param single true removes just this directory, which must be empty (error 145 otherwise)
     * @param recursive when single is false: true removes the whole tree; false removes the files
     *        directly inside and then the directory, which fails with error 145 when it holds a
     *        subdirectory
     * @return 0 when everything is gone, 1 when a deletion waits for the next restart
     * @throws ServiceException {@link OperationCodes#WIN32_DELETE_DIRECTORY} (-30020): 3 when the
     *         directory does not exist, 145 directory not empty, 5 access denied
     */
    public native int win32DeleteDirectory(String path, boolean single, boolean recursive) throws ServiceException;
}
