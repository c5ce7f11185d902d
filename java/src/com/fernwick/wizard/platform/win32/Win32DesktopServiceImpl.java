package com.fernwick.wizard.platform.win32;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.service.ServiceException;

/**
 * Program folders and shortcut items in the Start menu and on the desktop, implemented in the
 * native library fwnative. A folder argument may hold the tokens $UserPrograms$,
 * $AllUsersPrograms$, $UserStartMenu$, $AllUsersStartMenu$, $UserDesktop$ and $AllUsersDesktop$;
 * an item is the ".lnk" file of its name. Every failure is a ServiceException.
 */
public class Win32DesktopServiceImpl {
    public native void createDesktopFolder(String baseFolder, String folderName) throws ServiceException;

    public native void removeDesktopFolder(String baseFolder, String folderName) throws ServiceException;

    public native void createDesktopItem(String folder, String subFolder, String itemName, String target,
            String arguments, String iconLocation, String workingDirectory) throws ServiceException;

    public native void removeDesktopItem(String folder, String subFolder, String itemName) throws ServiceException;

    public native String getDesktopItemOwnerGroup(String folder, String subFolder, String itemName) throws ServiceException;

    public native void setDesktopItemOwnerGroup(String folder, String subFolder, String itemName, String group) throws ServiceException;

    public native String getDesktopItemOwner(String folder, String subFolder, String itemName) throws ServiceException;

    public native void setDesktopItemOwner(String folder, String subFolder, String itemName, String owner) throws ServiceException;

    public native String getDesktopFolderOwnerGroup(String folder, String subFolder) throws ServiceException;

    public native void setDesktopFolderOwnerGroup(String folder, String subFolder, String group) throws ServiceException;

    public native String getDesktopFolderOwner(String folder, String subFolder) throws ServiceException;

    public native void setDesktopFolderOwner(String folder, String subFolder, String owner) throws ServiceException;

    public native FileAttributes getDesktopItemAttributes(String folder, String subFolder, String itemName) throws ServiceException;

    public native void setDesktopItemAttributes(String folder, String subFolder, String itemName,
            FileAttributes attributes) throws ServiceException;

    public native FileAttributes getDesktopFolderAttributes(String folder, String subFolder) throws ServiceException;

    public native void setDesktopFolderAttributes(String folder, String subFolder, FileAttributes attributes) throws ServiceException;
}
