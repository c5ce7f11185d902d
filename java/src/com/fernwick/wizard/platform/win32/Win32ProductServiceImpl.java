package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Registration of a product's uninstaller in the system's list of installed programs, implemented
 * in the native library fwnative. Every failure is a ServiceException.
 *
 * <p>A product is one key below "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall" holding the
 * string values "DisplayName" and "UninstallString". Administrators, and every user on Windows 9x,
 * register for the whole machine (HKEY_LOCAL_MACHINE); other users of the NT family register for
 * themselves (HKEY_CURRENT_USER). Key names are cut to their first 63 characters. A failure throws
 * {@link ServiceException} with the method's code from {@link OperationCodes} and the registry's
 * Win32 error; an unexpected internal failure throws {@link OperationCodes#E_FAIL} without a
 * message.
 */
public class Win32ProductServiceImpl {
    /** A service object; all state lives in the registry. */
    public Win32ProductServiceImpl() {
    }

    /**
     * Registers a product's uninstaller, creating its key or updating the two values of an
     * existing one (its other values are kept). Under HKEY_CURRENT_USER the Uninstall key is made
     * first when it is missing. When the chosen root cannot be written (access denied) the method
     * returns normally and the product goes unlisted. Nothing is rolled back after a failure.
     *
     * @param productKey the product's key name; only its first 63 characters are used; must not be
     *        null or empty (error 87)
     * @param displayName the name shown in the list of installed programs; cut to 63 characters,
     *        except on Windows 2000, which keeps it whole
     * @param uninstallCommand the command line that removes the product, stored unchanged
     * @throws ServiceException {@link OperationCodes#WIN32_REGISTER_UNINSTALLER} (-90000) with the
     *         registry's error (never 5, access denied); 87 for a null or empty productKey
     */
    public native void win32RegisterUninstaller(String productKey, String displayName, String uninstallCommand) throws ServiceException;

    /**
     * Deletes the product's key and, when present, the key named alternateKey. Each key is deleted
     * with everything below it, and only when it exists, so unregistering a product that is not
     * registered does nothing. The root is chosen as for registration.
     *
     * @param productKey the product's key name as given to {@link #win32RegisterUninstaller} (cut
     *        to 63 characters the same way); must not be null or empty (error 87)
     * @param alternateKey another key name below the Uninstall key to delete first, whole (not
     *        cut); null or "" deletes none
     * @throws ServiceException {@link OperationCodes#WIN32_UNREGISTER_UNINSTALLER} (-90001) with the
     *         registry's error, such as 5 access denied; 87 for a null or empty productKey
     */
    public native void win32UnregisterUninstaller(String productKey, String alternateKey) throws ServiceException;
}
