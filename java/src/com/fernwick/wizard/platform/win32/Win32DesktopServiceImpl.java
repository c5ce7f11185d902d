package com.fernwick.wizard.platform.win32;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.service.ServiceException;

/**
 * Program folders and shortcut items in the Start menu and on the desktop, implemented in the
 * native library fwnative. A folder argument may hold the tokens $UserPrograms$,
 * $AllUsersPrograms$, $UserStartMenu$, $AllUsersStartMenu$, $UserDesktop$ and $AllUsersDesktop$;
 * an item is the ".lnk" file of its name. Every failure is a ServiceException.
 *
 * <p>Folder tokens stand for the shell's special folders: the current user's or all users'
 * Programs menu, Start menu and desktop directory. A token is matched exactly (case-sensitive),
 * anywhere in the folder text and as often as it occurs, and is replaced by the folder's path, so
 * {@code "$AllUsersPrograms$\Fernwick"} names the Fernwick folder in the common Programs menu. On
 * Windows 9x, which has no all-users folders, each $AllUsers...$ token names the current user's
 * folder of the same kind. Backslash and slash both separate levels; an item's file is
 * folder, separator, sub-folder, separator, item name and ".lnk".
 *
 * <p>A failure throws {@link ServiceException} with the method's code from {@link OperationCodes}
 * and an error in the message: 2 when the folder or item does not exist, 5 access denied, 87 when
 * a folder, sub-folder, item name or target is null, 160 or the shell's HRESULT when a token
 * cannot be resolved (nothing is then touched). The owner and owner-group methods are for the NT
 * family only: on Windows 9x they throw {@link ServiceException#OPERATION_NOT_SUPPORTED} before
 * looking at their arguments. The shell is notified of the folders and items these methods make
 * and remove.
 */
public class Win32DesktopServiceImpl {
    /** A service object; all state lives in the file system. */
    public Win32DesktopServiceImpl() {
    }

    /**
     * Creates a program folder, one or more levels deep, below a base folder. Levels that exist
     * are kept; when a level cannot be made, the levels this call made are removed again.
     *
     * @param baseFolder the existing folder to create below, usually a token such as
     *        "$UserPrograms$"
     * @param folderName the relative path of the new folder, such as "Fernwick\Tools"; "" creates
     *        nothing
     * @throws ServiceException {@link OperationCodes#CREATE_DESKTOP_FOLDER} (-80000): 2 when the base
     *         folder does not exist, the error of a level that cannot be made (such as 5), 160 or an
     *         HRESULT for a token
     */
    public native void createDesktopFolder(String baseFolder, String folderName) throws ServiceException;

    /**
     * Removes a program folder: its levels from the deepest upwards, as long as each is empty. The
     * base folder itself is never removed. A folder that is already gone, or one that still holds
     * something, is no failure. On Windows 9x no removal error is reported at all.
     *
     * @param baseFolder the folder the program folder was created below, with its tokens
     * @param folderName the relative path given to {@link #createDesktopFolder}; "" removes nothing
     * @throws ServiceException {@link OperationCodes#REMOVE_DESKTOP_FOLDER} (-80001): on the NT
     *         family the error of a level that cannot be removed (such as 5); 160 or an HRESULT for
     *         a token
     */
    public native void removeDesktopFolder(String baseFolder, String folderName) throws ServiceException;

    /**
     * Creates a shortcut (shell link) item, overwriting an item of that name. The sub-folder is
     * created first as by {@link #createDesktopFolder}. The item name becomes the link's
     * description; the icon index is always 0; no hot key or show command is set. The link's texts
     * reach the shell in the ANSI code page on every Windows family.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, such as "Fernwick"; "" places the item in the
     *        base folder itself
     * @param itemName the item's name, without ".lnk"
     * @param target the program or document the link opens
     * @param arguments the command-line arguments; null or "" sets none
     * @param iconLocation the file holding the icon; null or "" sets none
     * @param workingDirectory the working directory; null or "" sets none
     * @throws ServiceException {@link OperationCodes#CREATE_DESKTOP_ITEM} (-80002): 2 when the base
     *         folder does not exist, 5 access denied, or the HRESULT of the shell link object (also
     *         when COM could not be initialised when the library was loaded)
     */
    public native void createDesktopItem(String folder, String subFolder, String itemName, String target,
            String arguments, String iconLocation, String workingDirectory) throws ServiceException;

    /**
     * Removes a shortcut item, then its sub-folder as far as it has become empty (as by
     * {@link #removeDesktopFolder}). An item that does not exist is no failure. On Windows 9x a
     * ".pif" or ".url" file of the item's name is removed too when there is no ".lnk" file.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for an item in the base folder itself
     * @param itemName the item's name, without ".lnk"
     * @throws ServiceException {@link OperationCodes#REMOVE_DESKTOP_ITEM} (-80003): the error of the
     *         deletion (5 access denied, 32 in use); 160 or an HRESULT for a token
     */
    public native void removeDesktopItem(String folder, String subFolder, String itemName) throws ServiceException;

    /**
     * Reads the owner group of an item's ".lnk" file. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @return the group's account name without its domain
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_ITEM_OWNER_GROUP} (-80010): 2 when
     *         the item does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getDesktopItemOwnerGroup(String folder, String subFolder, String itemName) throws ServiceException;

    /**
     * Makes an account the owner group of an item's ".lnk" file, as
     * {@link Win32FileServiceImpl#setFileOwnerGroup} does. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @param group an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_ITEM_OWNER_GROUP} (-80011): 1332 when
     *         the account does not exist, 2 when the item does not exist, 5 access denied;
     *         OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setDesktopItemOwnerGroup(String folder, String subFolder, String itemName, String group) throws ServiceException;

    /**
     * Reads the owner of an item's ".lnk" file. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @return the owner's account name without its domain
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_ITEM_OWNER} (-80012): 2 when the item
     *         does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getDesktopItemOwner(String folder, String subFolder, String itemName) throws ServiceException;

    /**
     * Makes an account the owner of an item's ".lnk" file, as
     * {@link Win32FileServiceImpl#setFileOwner} does. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @param owner an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_ITEM_OWNER} (-80013): 1332 when the
     *         account does not exist, 2 when the item does not exist, 5 access denied;
     *         OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setDesktopItemOwner(String folder, String subFolder, String itemName, String owner) throws ServiceException;

    /**
     * Reads the owner group of a program folder. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @return the group's account name without its domain
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_FOLDER_OWNER_GROUP} (-80014): 2 when
     *         the folder does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getDesktopFolderOwnerGroup(String folder, String subFolder) throws ServiceException;

    /**
     * Makes an account the owner group of a program folder, as
     * {@link Win32FileServiceImpl#setFileOwnerGroup} does. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @param group an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_FOLDER_OWNER_GROUP} (-80015): 1332
     *         when the account does not exist, 2 when the folder does not exist, 5 access denied;
     *         OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setDesktopFolderOwnerGroup(String folder, String subFolder, String group) throws ServiceException;

    /**
     * Reads the owner of a program folder. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @return the owner's account name without its domain
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_FOLDER_OWNER} (-80016): 2 when the
     *         folder does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native String getDesktopFolderOwner(String folder, String subFolder) throws ServiceException;

    /**
     * Makes an account the owner of a program folder, as {@link Win32FileServiceImpl#setFileOwner}
     * does. Windows NT family only.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @param owner an account name, bare or as "DOMAIN\name"
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_FOLDER_OWNER} (-80017): 1332 when the
     *         account does not exist, 2 when the folder does not exist, 5 access denied;
     *         OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void setDesktopFolderOwner(String folder, String subFolder, String owner) throws ServiceException;

    /**
     * Reads the attributes of an item's ".lnk" file, as
     * {@link Win32FileServiceImpl#getFileAttributes} does.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @return a new object describing the attributes
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_ITEM_ATTRIBUTES} (-80018): 2 when
     *         the item does not exist, E_FAIL when FileAttributes cannot be made
     */
    public native FileAttributes getDesktopItemAttributes(String folder, String subFolder, String itemName) throws ServiceException;

    /**
     * Writes the read-only, hidden, archive and system attributes of an item's ".lnk" file, as
     * {@link Win32FileServiceImpl#setFileAttributes} does.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it, or ""
     * @param itemName the item's name, without ".lnk"
     * @param attributes the attributes to write
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_ITEM_ATTRIBUTES} (-80019): 2 when
     *         the item does not exist, 5 access denied, E_INVALIDARG for null attributes, E_FAIL
     *         when the attributes cannot be read
     */
    public native void setDesktopItemAttributes(String folder, String subFolder, String itemName,
            FileAttributes attributes) throws ServiceException;

    /**
     * Reads the attributes of a program folder, as {@link Win32FileServiceImpl#getFileAttributes}
     * does.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @return a new object describing the attributes
     * @throws ServiceException {@link OperationCodes#GET_DESKTOP_FOLDER_ATTRIBUTES} (-80020): 2 when
     *         the folder does not exist, E_FAIL when FileAttributes cannot be made
     */
    public native FileAttributes getDesktopFolderAttributes(String folder, String subFolder) throws ServiceException;

    /**
     * Writes the read-only, hidden, archive and system attributes of a program folder, as
     * {@link Win32FileServiceImpl#setFileAttributes} does.
     *
     * @param folder the base folder, with its tokens
     * @param subFolder the program folder below it; "" for the base folder itself
     * @param attributes the attributes to write
     * @throws ServiceException {@link OperationCodes#SET_DESKTOP_FOLDER_ATTRIBUTES} (-80021): 2 when
     *         the folder does not exist, 5 access denied, E_INVALIDARG for null attributes, E_FAIL
     *         when the attributes cannot be read
     */
    public native void setDesktopFolderAttributes(String folder, String subFolder, FileAttributes attributes) throws ServiceException;
}
