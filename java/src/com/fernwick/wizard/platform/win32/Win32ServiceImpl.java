package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.service.ServiceException;

/**
 * Windows services (NT 4 and later, with the Windows 2000 extensions), short paths and file
 * version information, implemented in the native library fwnative. No method waits for a service
 * to change state. Every failure is a ServiceException.
 *
 * <p>A service is named by its key name (the short name under which it is registered), not by its
 * display name. Each method opens the local service control manager and the service with the
 * access it needs and closes both before returning. Start and control requests return as soon as
 * the service control manager has taken them; to wait for a state, poll
 * {@link #queryNTServiceStatus} and use its check point and wait hint.
 *
 * <p>A failure throws {@link ServiceException} with the method's code from {@link OperationCodes}
 * (note the seven-digit codes from -1200005 on) and the Win32 error in the message. Errors met in
 * practice: 160 for a null or empty service name or null settings (where a method checks them,
 * before anything else), 1060 the service does not exist, 5 access denied (the installer is not
 * run by an administrator), 127 when the system lacks a service function. The service functions
 * are looked up in advapi32.dll at each call, so the library loads on every Windows family; where
 * the system lacks even the function that opens the service control manager or a service, the
 * methods do nothing and return null (or false). {@link #getShortPath}, {@link #getFixedFileInfo} and {@link #isWin2k} work on
 * Windows 9x too.
 */
public class Win32ServiceImpl {
    /** A service object; all state lives in Windows. */
    public Win32ServiceImpl() {
    }

    /**
     * Creates a service. An empty or null user name runs the service as LocalSystem, and the
     * password then goes unused; an empty password is sent as none.
     *
     * @param name the service's key name
     * @param config the settings: set at least the service type, start type, error control and
     *        command, since numbers left at SERVICE_NO_CHANGE are sent as they are; the
     *        dependencies must not hold null elements (error 160)
     * @throws ServiceException {@link OperationCodes#CREATE_NT_SERVICE} (-120000): 1073 the service
     *         exists, 1078 the display name is taken, 87 an invalid type or start type, 5 access
     *         denied, 160 for a missing name or config
     */
    public native void createNTService(String name, NTServiceConfig config) throws ServiceException;

    /**
     * Changes a service's settings. Null texts, numbers at SERVICE_NO_CHANGE and a null or empty
     * dependency list leave those settings as they are (so dependencies cannot be cleared here);
     * user name and password are sent exactly as given.
     *
     * @param name the service's key name
     * @param config the settings to change; a new {@link NTServiceConfig} changes nothing until its
     *        setters are called
     * @throws ServiceException {@link OperationCodes#CHANGE_NT_SERVICE_CONFIG} (-120004): 1060 no such
     *         service, 5 access denied, 160 for a missing name or config
     */
    public native void changeNTServiceConfig(String name, NTServiceConfig config) throws ServiceException;

    /**
     * Reads a service's settings.
     *
     * @param name the service's key name
     * @return the settings; the password is always null, and the service type comes without
     *         SERVICE_INTERACTIVE_PROCESS, which is the desktop interaction flag instead
     * @throws ServiceException {@link OperationCodes#QUERY_NT_SERVICE_CONFIG} (-1200005): 1060 no such
     *         service, 5 access denied, 160 for a missing name
     */
    public native NTServiceConfig queryNTServiceConfig(String name) throws ServiceException;

    /**
     * Asks the service control manager to start a service, without waiting for it to run.
     *
     * @param name the service's key name
     * @param arguments the arguments passed to the service, or null for none; no element may be
     *        null (error 160)
     * @throws ServiceException {@link OperationCodes#START_NT_SERVICE} (-120002): 1056 already
     *         running, 1058 disabled, 1060 no such service, 5 access denied
     */
    public native void startNTService(String name, String[] arguments) throws ServiceException;

    /**
     * Sends a control code to a service, without waiting for it to act.
     *
     * @param name the service's key name
     * @param control the control code, passed unchanged: 1 stop, 2 pause, 3 continue, 4
     *        interrogate, 128 to 255 defined by the service
     * @return the service's status as the service control manager reports it after the request
     * @throws ServiceException {@link OperationCodes#CONTROL_NT_SERVICE} (-120003): 1062 the service
     *         is not running, 1052 a control it does not accept, 1051 other running services
     *         depend on it, 1060 no such service, 5 access denied
     */
    public native NTServiceStatus controlNTService(String name, int control) throws ServiceException;

    /**
     * Reads a service's status.
     *
     * @param name the service's key name
     * @return the status
     * @throws ServiceException {@link OperationCodes#QUERY_NT_SERVICE_STATUS} (-1200006): 1060 no such
     *         service, 5 access denied, 160 for a missing name
     */
    public native NTServiceStatus queryNTServiceStatus(String name) throws ServiceException;

    /**
     * Marks a service for deletion. Windows removes it once it has stopped and every handle to it
     * is closed.
     *
     * @param name the service's key name
     * @throws ServiceException {@link OperationCodes#DELETE_NT_SERVICE} (-120001): 1072 already
     *         marked for deletion, 1060 no such service, 5 access denied
     */
    public native void deleteNTService(String name) throws ServiceException;

    /**
     * Tells whether a service is registered.
     *
     * @param name the service's key name
     * @return true when the service can be opened; false when it does not exist
     * @throws ServiceException {@link OperationCodes#SERVICE_EXISTS} (1073) when the service cannot
     *         be opened for another reason (5 access denied);
     *         {@link OperationCodes#CHANGE_WIN2K_SERVICE_DESCRIPTION} (-1200012) when the service
     *         control manager cannot be opened
     */
    public native boolean serviceExists(String name) throws ServiceException;

    /**
     * Finds a service's display name.
     *
     * @param keyName the service's key name
     * @return the display name, or null when it is empty
     * @throws ServiceException {@link OperationCodes#GET_NT_SERVICE_DISPLAY_NAME} (-1200007): 1060 no
     *         such service
     */
    public native String getNTServiceDisplayName(String keyName) throws ServiceException;

    /**
     * Finds a service's key name.
     *
     * @param displayName the service's display name
     * @return the key name, or null when it is empty
     * @throws ServiceException {@link OperationCodes#GET_NT_SERVICE_KEY_NAME} (-1200008): 1060 no
     *         service has that display name
     */
    public native String getNTServiceKeyName(String displayName) throws ServiceException;

    /**
     * Lists services. Key names of the services of the given type and state; null when none
     * matches.
     *
     * @param serviceType the kinds of service, as for EnumServicesStatus: 0x30 (SERVICE_WIN32) for
     *        programs, 0x0B (SERVICE_DRIVER) for drivers
     * @param serviceState 1 (SERVICE_ACTIVE) running, 2 (SERVICE_INACTIVE) stopped, 3
     *        (SERVICE_STATE_ALL) both
     * @return the key names, or null when no service matches
     * @throws ServiceException {@link OperationCodes#ENUM_NT_SERVICE_KEYS} (-1200009): 87 for an
     *         invalid type or state, 5 access denied
     */
    public native String[] enumNTServiceKeys(int serviceType, int serviceState) throws ServiceException;

    /**
     * Reads a service's recovery settings (Windows 2000 and later).
     *
     * @param name the service's key name
     * @return the settings; a service without recovery actions gives an object with its reset
     *         period and no actions
     * @throws ServiceException {@link OperationCodes#QUERY_WIN2K_SERVICE_FAILURE_ACTIONS} (-1200010):
     *         1060 no such service, 5 access denied, 160 for a missing name, 127 before Windows 2000
     */
    public native Win2kServiceFailureActions queryWin2kServiceFailureActions(String name) throws ServiceException;

    /**
     * Changes a service's recovery settings (Windows 2000 and later). The service database is
     * locked during the change, and when an action reboots the machine the shutdown privilege is
     * enabled for the call. With no actions the service's actions stay as they are; reset period,
     * reboot message and command are still set.
     *
     * @param name the service's key name
     * @param actions the settings; a null text leaves that setting, "" removes it
     * @throws ServiceException {@link OperationCodes#CHANGE_WIN2K_SERVICE_FAILURE_ACTIONS} (-1200013):
     *         1060 no such service, 5 access denied, 1055 the database is locked by another
     *         program, 160 for a missing name or actions, 127 before Windows 2000
     */
    public native void changeWin2kServiceFailureActions(String name, Win2kServiceFailureActions actions) throws ServiceException;

    /**
     * Reads a service's description (Windows 2000 and later).
     *
     * @param name the service's key name
     * @return the description, or null when the service has none or it cannot be read
     * @throws ServiceException {@link OperationCodes#QUERY_WIN2K_SERVICE_DESCRIPTION} (-1200011) only
     *         when the service cannot be opened (1060, 5), for a missing name (160), or before
     *         Windows 2000 (127)
     */
    public native String queryWin2kServiceDescription(String name) throws ServiceException;

    /**
     * Sets a service's description (Windows 2000 and later). A null description removes it.
     *
     * @param name the service's key name
     * @param description the text, or null (or "") to remove the description
     * @throws ServiceException {@link OperationCodes#CHANGE_WIN2K_SERVICE_DESCRIPTION} (-1200012):
     *         1060 no such service, 5 access denied, 160 for a missing name, 127 before Windows 2000
     */
    public native void changeWin2kServiceDescription(String name, String description) throws ServiceException;

    /**
     * Reads a service's status with its process id (Windows 2000 and later).
     *
     * @param name the service's key name
     * @return the status
     * @throws ServiceException {@link OperationCodes#QUERY_WIN2K_SERVICE_STATUS_PROCESS} (-1200014):
     *         1060 no such service, 5 access denied, 160 for a missing name, 127 before Windows 2000
     */
    public native Win2kServiceStatusProcess queryWin2kServiceStatusProcess(String name) throws ServiceException;

    /**
     * Tells whether the system is Windows 2000 (NT 5.0 exactly).
     *
     * @return true on Windows 2000; false on Windows XP and later and on the 9x family
     * @throws ServiceException never
     */
    public native boolean isWin2k() throws ServiceException;

    /**
     * Finds the short (8.3) form of an existing path. On Windows 9x the path goes through the ANSI
     * code page.
     *
     * @param path the file or directory
     * @return the short path, such as "C:\PROGRA~1\FERNWI~1"
     * @throws ServiceException {@link OperationCodes#GET_SHORT_PATH} (-1200015): 2 or 3 when the path
     *         does not exist
     */
    public native String getShortPath(String path) throws ServiceException;

    /**
     * Reads the fixed part of a file's version resource. Null when the file has no version
     * resource; never throws. On Windows 9x the path goes through the ANSI code page.
     *
     * @param path the executable or library
     * @return the version information, or null when the file has none or cannot be read
     * @throws ServiceException never
     */
    public native WindowsFixedFileInfo getFixedFileInfo(String path) throws ServiceException;
}
