package com.fernwick.wizard.platform.win32;

/**
 * The codes a {@link com.fernwick.wizard.service.ServiceException ServiceException} carries. Each
 * names the native method that failed, as the method's name in capitals with words apart
 * ({@code win32CopyFile} fails with {@link #WIN32_COPY_FILE}), so a caller compares
 * {@code e.getCode()} with a name:
 *
 * <pre>
 * try {
 *     files.win32DeleteFile(path);
 * } catch (ServiceException e) {
 *     if (e.getCode() == OperationCodes.WIN32_DELETE_FILE) { ... }
 * }
 * </pre>
 *
 * <p>Codes are grouped by service: -30000 files, -60000 standard directories, -70000 system
 * utilities and environment variables, -80000 desktop, -90000 product, -100000 registry, -110000
 * users and groups, -120000 Windows services. The first five service codes have six digits
 * (-120000 to -120004), the later ones seven (-1200005 to -1200015). Methods of one kind may share a
 * code (deleteKey and deleteValue), and a few methods never throw, so they have none.
 *
 * <p>Besides these, a failure may carry {@link #E_FAIL} (an unexpected internal failure, such as
 * memory running out), {@link #E_INVALIDARG} (an argument the method refuses before doing
 * anything), {@link com.fernwick.wizard.service.ServiceException#OPERATION_NOT_SUPPORTED
 * OPERATION_NOT_SUPPORTED} (an operation the running Windows family does not offer) or
 * {@link #SERVICE_EXISTS}. Exceptions with the first three have no message.
 *
 * <p>Reading the message: an exception that carries an operation code also carries the Win32 error
 * that stopped the operation, in its message: first the system's text for the error, as the
 * system gives it (usually ending in a line break), then one blank, then the error in unsigned
 * decimal in parentheses, for example {@code "Access is denied.\r\n (5)"}. Errors 2100 to 2999
 * (user and group management) take their text from netmsg.dll. The error may be an HRESULT, printed
 * unsigned: {@code (2147500037)} is E_FAIL (a FileAttributes object that could not be read or
 * made), {@code (2147942487)} is E_INVALIDARG (an argument the method refuses). Errors met in
 * practice, by number: 2 file (or registry key or value) not found, 3 path not found, 5 access
 * denied, 6 invalid handle (a registry root selector outside 1 to 5), 32 sharing violation, 80 and
 * 183 already exists, 87 invalid parameter (a required argument was null), 127 a system function
 * the running Windows lacks, 145 directory not empty, 160 bad arguments (a service call without a
 * service name or settings), 1060 no such service, 1113 a path with characters the ANSI code page
 * cannot hold (Windows 9x), 1332 no such account, 1804 a registry value of another type.
 */
public final class OperationCodes {
    private OperationCodes() {
    }

    /**
     * The HRESULT E_FAIL (0x80004005): as a code, an unexpected internal failure (no message); as
     * the error in a message, a FileAttributes object that could not be read or made, or an
     * unexpected failure while a start-up command was added or removed.
     */
    public static final int E_FAIL = 0x80004005;
    /**
     * The HRESULT E_INVALIDARG (0x80070057): as a code, an argument refused before anything was
     * done (no message): an empty directory for isDirectoryWritable, a user description that is not
     * nine strings for win32CreateUser. As the error in a message: an empty start-up command, or
     * attributes set on "." or from a null FileAttributes.
     */
    public static final int E_INVALIDARG = 0x80070057;

    // Win32FileServiceImpl
    /** {@link Win32FileServiceImpl#getFileAttributes getFileAttributes}. */
    public static final int GET_FILE_ATTRIBUTES = -30000;
    /** {@link Win32FileServiceImpl#setFileAttributes setFileAttributes}. */
    public static final int SET_FILE_ATTRIBUTES = -30001;
    /** {@link Win32FileServiceImpl#getPartitionFreeSpace getPartitionFreeSpace}. */
    public static final int GET_PARTITION_FREE_SPACE = -30004;
    /** {@link Win32FileServiceImpl#win32SetFileTimes win32SetFileTimes}. */
    public static final int WIN32_SET_FILE_TIMES = -30007;
    /** {@link Win32FileServiceImpl#getFileOwnerGroup getFileOwnerGroup}. */
    public static final int GET_FILE_OWNER_GROUP = -30008;
    /** {@link Win32FileServiceImpl#setFileOwnerGroup setFileOwnerGroup}. */
    public static final int SET_FILE_OWNER_GROUP = -30009;
    /** {@link Win32FileServiceImpl#getPartitionFormat getPartitionFormat}. */
    public static final int GET_PARTITION_FORMAT = -30010;
    /** {@link Win32FileServiceImpl#win32SetFileCreated win32SetFileCreated}. */
    public static final int WIN32_SET_FILE_CREATED = -30011;
    /** {@link Win32FileServiceImpl#getFileOwner getFileOwner}. */
    public static final int GET_FILE_OWNER = -30012;
    /** {@link Win32FileServiceImpl#setFileOwner setFileOwner}. */
    public static final int SET_FILE_OWNER = -30013;
    /** {@link Win32FileServiceImpl#supportsLongFileNames supportsLongFileNames}. */
    public static final int SUPPORTS_LONG_FILE_NAMES = -30015;
    /** {@link Win32FileServiceImpl#win32SetFileModified win32SetFileModified}. */
    public static final int WIN32_SET_FILE_MODIFIED = -30016;
    /** {@link Win32FileServiceImpl#win32CopyFile win32CopyFile}. */
    public static final int WIN32_COPY_FILE = -30017;
    /** {@link Win32FileServiceImpl#win32MoveFile win32MoveFile}. */
    public static final int WIN32_MOVE_FILE = -30018;
    /** {@link Win32FileServiceImpl#win32DeleteFile win32DeleteFile}. */
    public static final int WIN32_DELETE_FILE = -30019;
    /** {@link Win32FileServiceImpl#win32DeleteDirectory win32DeleteDirectory}. */
    public static final int WIN32_DELETE_DIRECTORY = -30020;
    /** {@link Win32FileServiceImpl#win32GetCommonDirectory win32GetCommonDirectory}. */
    public static final int WIN32_GET_COMMON_DIRECTORY = -30022;
    /** {@link Win32FileServiceImpl#win32GetWindowsDirectory win32GetWindowsDirectory}. */
    public static final int WIN32_GET_WINDOWS_DIRECTORY = -60000;
    /** {@link Win32FileServiceImpl#getStandardInstallDirectory getStandardInstallDirectory}. */
    public static final int GET_STANDARD_INSTALL_DIRECTORY = -60001;
    /** {@link Win32FileServiceImpl#getTempDirectory getTempDirectory}. */
    public static final int GET_TEMP_DIRECTORY = -60002;

    // WindowsEnvironment
    /**
     * {@link
     * com.fernwick.wizard.platform.win32.environment.WindowsEnvironment#winNTSetEnvironmentVariable
     * winNTSetEnvironmentVariable}. Shared with {@link #WIN_ME_SET_ENVIRONMENT_VARIABLE}.
     */
    public static final int WIN_NT_SET_ENVIRONMENT_VARIABLE = -70000;
    /**
     * {@link
     * com.fernwick.wizard.platform.win32.environment.WindowsEnvironment#winMESetEnvironmentVariable
     * winMESetEnvironmentVariable}. Shared with {@link #WIN_NT_SET_ENVIRONMENT_VARIABLE}.
     */
    public static final int WIN_ME_SET_ENVIRONMENT_VARIABLE = -70000;
    /**
     * {@link
     * com.fernwick.wizard.platform.win32.environment.WindowsEnvironment#setProcessEnvironmentVariable
     * setProcessEnvironmentVariable}.
     */
    public static final int SET_PROCESS_ENVIRONMENT_VARIABLE = -70008;
    /**
     * {@link
     * com.fernwick.wizard.platform.win32.environment.WindowsEnvironment#winNTGetRawEnvironmentVariable
     * winNTGetRawEnvironmentVariable}. Shared with {@link #WIN_ME_GET_RAW_ENVIRONMENT_VARIABLE}.
     */
    public static final int WIN_NT_GET_RAW_ENVIRONMENT_VARIABLE = -70010;
    /**
     * {@link
     * com.fernwick.wizard.platform.win32.environment.WindowsEnvironment#winMEGetRawEnvironmentVariable
     * winMEGetRawEnvironmentVariable}. Shared with {@link #WIN_NT_GET_RAW_ENVIRONMENT_VARIABLE}.
     */
    public static final int WIN_ME_GET_RAW_ENVIRONMENT_VARIABLE = -70010;

    // Win32SystemUtilServiceImpl
    /** {@link Win32SystemUtilServiceImpl#addSystemStartupCommand addSystemStartupCommand}. */
    public static final int ADD_SYSTEM_STARTUP_COMMAND = -70002;
    /** {@link Win32SystemUtilServiceImpl#systemStartupCommands systemStartupCommands}. */
    public static final int SYSTEM_STARTUP_COMMANDS = -70003;
    /** {@link Win32SystemUtilServiceImpl#removeSystemStartupCommand removeSystemStartupCommand}. */
    public static final int REMOVE_SYSTEM_STARTUP_COMMAND = -70004;
    /** {@link Win32SystemUtilServiceImpl#getOSServiceLevel getOSServiceLevel}. */
    public static final int GET_OS_SERVICE_LEVEL = -70005;
    /** {@link Win32SystemUtilServiceImpl#nativeDeleteFilesAfterExit nativeDeleteFilesAfterExit}. */
    public static final int NATIVE_DELETE_FILES_AFTER_EXIT = -70007;
    /** {@link Win32SystemUtilServiceImpl#getBootDirectory getBootDirectory}. */
    public static final int GET_BOOT_DIRECTORY = -70009;

    // Win32DesktopServiceImpl
    /** {@link Win32DesktopServiceImpl#createDesktopFolder createDesktopFolder}. */
    public static final int CREATE_DESKTOP_FOLDER = -80000;
    /** {@link Win32DesktopServiceImpl#removeDesktopFolder removeDesktopFolder}. */
    public static final int REMOVE_DESKTOP_FOLDER = -80001;
    /** {@link Win32DesktopServiceImpl#createDesktopItem createDesktopItem}. */
    public static final int CREATE_DESKTOP_ITEM = -80002;
    /** {@link Win32DesktopServiceImpl#removeDesktopItem removeDesktopItem}. */
    public static final int REMOVE_DESKTOP_ITEM = -80003;
    /** {@link Win32DesktopServiceImpl#getDesktopItemOwnerGroup getDesktopItemOwnerGroup}. */
    public static final int GET_DESKTOP_ITEM_OWNER_GROUP = -80010;
    /** {@link Win32DesktopServiceImpl#setDesktopItemOwnerGroup setDesktopItemOwnerGroup}. */
    public static final int SET_DESKTOP_ITEM_OWNER_GROUP = -80011;
    /** {@link Win32DesktopServiceImpl#getDesktopItemOwner getDesktopItemOwner}. */
    public static final int GET_DESKTOP_ITEM_OWNER = -80012;
    /** {@link Win32DesktopServiceImpl#setDesktopItemOwner setDesktopItemOwner}. */
    public static final int SET_DESKTOP_ITEM_OWNER = -80013;
    /** {@link Win32DesktopServiceImpl#getDesktopFolderOwnerGroup getDesktopFolderOwnerGroup}. */
    public static final int GET_DESKTOP_FOLDER_OWNER_GROUP = -80014;
    /** {@link Win32DesktopServiceImpl#setDesktopFolderOwnerGroup setDesktopFolderOwnerGroup}. */
    public static final int SET_DESKTOP_FOLDER_OWNER_GROUP = -80015;
    /** {@link Win32DesktopServiceImpl#getDesktopFolderOwner getDesktopFolderOwner}. */
    public static final int GET_DESKTOP_FOLDER_OWNER = -80016;
    /** {@link Win32DesktopServiceImpl#setDesktopFolderOwner setDesktopFolderOwner}. */
    public static final int SET_DESKTOP_FOLDER_OWNER = -80017;
    /** {@link Win32DesktopServiceImpl#getDesktopItemAttributes getDesktopItemAttributes}. */
    public static final int GET_DESKTOP_ITEM_ATTRIBUTES = -80018;
    /** {@link Win32DesktopServiceImpl#setDesktopItemAttributes setDesktopItemAttributes}. */
    public static final int SET_DESKTOP_ITEM_ATTRIBUTES = -80019;
    /** {@link Win32DesktopServiceImpl#getDesktopFolderAttributes getDesktopFolderAttributes}. */
    public static final int GET_DESKTOP_FOLDER_ATTRIBUTES = -80020;
    /** {@link Win32DesktopServiceImpl#setDesktopFolderAttributes setDesktopFolderAttributes}. */
    public static final int SET_DESKTOP_FOLDER_ATTRIBUTES = -80021;

    // Win32ProductServiceImpl
    /** {@link Win32ProductServiceImpl#win32RegisterUninstaller win32RegisterUninstaller}. */
    public static final int WIN32_REGISTER_UNINSTALLER = -90000;
    /** {@link Win32ProductServiceImpl#win32UnregisterUninstaller win32UnregisterUninstaller}. */
    public static final int WIN32_UNREGISTER_UNINSTALLER = -90001;

    // Win32RegistryServiceImpl
    /** {@link Win32RegistryServiceImpl#getKeyValueNames getKeyValueNames}. */
    public static final int GET_KEY_VALUE_NAMES = -100000;
    /** {@link Win32RegistryServiceImpl#keyExists keyExists}. */
    public static final int KEY_EXISTS = -100001;
    /** {@link Win32RegistryServiceImpl#deleteKey deleteKey}. Shared with {@link #DELETE_VALUE}. */
    public static final int DELETE_KEY = -100002;
    /**
     * {@link Win32RegistryServiceImpl#deleteValue deleteValue}. Shared with {@link #DELETE_KEY}.
     */
    public static final int DELETE_VALUE = -100002;
    /**
     * {@link Win32RegistryServiceImpl#isKeyEmpty isKeyEmpty}. Shared by the six key-information
     * methods.
     */
    public static final int IS_KEY_EMPTY = -100003;
    /**
     * {@link Win32RegistryServiceImpl#longestValueNameData longestValueNameData}. Shared by the six
     * key-information methods.
     */
    public static final int LONGEST_VALUE_NAME_DATA = -100003;
    /**
     * {@link Win32RegistryServiceImpl#longestSubKeyNameLength longestSubKeyNameLength}. Shared by
     * the six key-information methods.
     */
    public static final int LONGEST_SUB_KEY_NAME_LENGTH = -100003;
    /**
     * {@link Win32RegistryServiceImpl#longestValueNameLength longestValueNameLength}. Shared by the
     * six key-information methods.
     */
    public static final int LONGEST_VALUE_NAME_LENGTH = -100003;
    /**
     * {@link Win32RegistryServiceImpl#countValuesInKey countValuesInKey}. Shared by the six
     * key-information methods.
     */
    public static final int COUNT_VALUES_IN_KEY = -100003;
    /**
     * {@link Win32RegistryServiceImpl#countSubKeys countSubKeys}. Shared by the six key-information
     * methods.
     */
    public static final int COUNT_SUB_KEYS = -100003;
    /** {@link Win32RegistryServiceImpl#setStringValue setStringValue}. */
    public static final int SET_STRING_VALUE = -100004;
    /** {@link Win32RegistryServiceImpl#setMultiStringValue setMultiStringValue}. */
    public static final int SET_MULTI_STRING_VALUE = -100005;
    /** {@link Win32RegistryServiceImpl#set32BitValue set32BitValue}. */
    public static final int SET_32_BIT_VALUE = -100006;
    /** {@link Win32RegistryServiceImpl#setBinaryValue setBinaryValue}. */
    public static final int SET_BINARY_VALUE = -100007;
    /**
     * {@link Win32RegistryServiceImpl#getStringValue getStringValue}. Shared with {@link
     * #GET_32_BIT_VALUE}.
     */
    public static final int GET_STRING_VALUE = -100008;
    /**
     * {@link Win32RegistryServiceImpl#get32BitValue get32BitValue}. Shared with {@link
     * #GET_STRING_VALUE}.
     */
    public static final int GET_32_BIT_VALUE = -100008;
    /** {@link Win32RegistryServiceImpl#getMultiStringValue getMultiStringValue}. */
    public static final int GET_MULTI_STRING_VALUE = -100009;
    /** {@link Win32RegistryServiceImpl#getBinaryValue getBinaryValue}. */
    public static final int GET_BINARY_VALUE = -100010;
    /** {@link Win32RegistryServiceImpl#getValueType getValueType}. */
    public static final int GET_VALUE_TYPE = -100011;
    /** {@link Win32RegistryServiceImpl#createKey createKey}. */
    public static final int CREATE_KEY = -100012;
    /** {@link Win32RegistryServiceImpl#getSubkeyNames getSubkeyNames}. */
    public static final int GET_SUBKEY_NAMES = -100013;
    /** {@link Win32RegistryServiceImpl#valueExists valueExists}. */
    public static final int VALUE_EXISTS = -100014;

    // Win32SecurityServiceImpl
    /** {@link Win32SecurityServiceImpl#isCurrentUserAdmin isCurrentUserAdmin}. */
    public static final int IS_CURRENT_USER_ADMIN = -110000;
    /**
     * {@link Win32SecurityServiceImpl#win32CreateGroup win32CreateGroup}. Also {@link
     * Win32SecurityServiceImpl#win32CreateUser win32CreateUser} when the new user cannot be added
     * to one of its groups.
     */
    public static final int WIN32_CREATE_GROUP = -110001;
    /** {@link Win32SecurityServiceImpl#deleteGroup deleteGroup}. */
    public static final int DELETE_GROUP = -110002;
    /** {@link Win32SecurityServiceImpl#win32CreateUser win32CreateUser}. */
    public static final int WIN32_CREATE_USER = -110003;
    /** {@link Win32SecurityServiceImpl#deleteUser deleteUser}. */
    public static final int DELETE_USER = -110004;

    // Win32ServiceImpl: the first five codes have six digits, the later ones seven.
    /** {@link Win32ServiceImpl#createNTService createNTService}. */
    public static final int CREATE_NT_SERVICE = -120000;
    /** {@link Win32ServiceImpl#deleteNTService deleteNTService}. */
    public static final int DELETE_NT_SERVICE = -120001;
    /** {@link Win32ServiceImpl#startNTService startNTService}. */
    public static final int START_NT_SERVICE = -120002;
    /** {@link Win32ServiceImpl#controlNTService controlNTService}. */
    public static final int CONTROL_NT_SERVICE = -120003;
    /** {@link Win32ServiceImpl#changeNTServiceConfig changeNTServiceConfig}. */
    public static final int CHANGE_NT_SERVICE_CONFIG = -120004;
    /** {@link Win32ServiceImpl#queryNTServiceConfig queryNTServiceConfig}. */
    public static final int QUERY_NT_SERVICE_CONFIG = -1200005;
    /** {@link Win32ServiceImpl#queryNTServiceStatus queryNTServiceStatus}. */
    public static final int QUERY_NT_SERVICE_STATUS = -1200006;
    /** {@link Win32ServiceImpl#getNTServiceDisplayName getNTServiceDisplayName}. */
    public static final int GET_NT_SERVICE_DISPLAY_NAME = -1200007;
    /** {@link Win32ServiceImpl#getNTServiceKeyName getNTServiceKeyName}. */
    public static final int GET_NT_SERVICE_KEY_NAME = -1200008;
    /** {@link Win32ServiceImpl#enumNTServiceKeys enumNTServiceKeys}. */
    public static final int ENUM_NT_SERVICE_KEYS = -1200009;
    /** {@link Win32ServiceImpl#queryWin2kServiceFailureActions queryWin2kServiceFailureActions}. */
    public static final int QUERY_WIN2K_SERVICE_FAILURE_ACTIONS = -1200010;
    /** {@link Win32ServiceImpl#queryWin2kServiceDescription queryWin2kServiceDescription}. */
    public static final int QUERY_WIN2K_SERVICE_DESCRIPTION = -1200011;
    /**
     * {@link Win32ServiceImpl#changeWin2kServiceDescription changeWin2kServiceDescription}. Also
     * {@link Win32ServiceImpl#serviceExists serviceExists} when the service control manager cannot
     * be opened.
     */
    public static final int CHANGE_WIN2K_SERVICE_DESCRIPTION = -1200012;
    /**
     * {@link Win32ServiceImpl#changeWin2kServiceFailureActions changeWin2kServiceFailureActions}.
     */
    public static final int CHANGE_WIN2K_SERVICE_FAILURE_ACTIONS = -1200013;
    /** {@link Win32ServiceImpl#queryWin2kServiceStatusProcess queryWin2kServiceStatusProcess}. */
    public static final int QUERY_WIN2K_SERVICE_STATUS_PROCESS = -1200014;
    /** {@link Win32ServiceImpl#getShortPath getShortPath}. */
    public static final int GET_SHORT_PATH = -1200015;
    /**
     * {@link Win32ServiceImpl#serviceExists serviceExists}: the service could not be opened for a
     * reason other than "service does not exist" (1060), for example access denied (5). It is the
     * value of the Win32 error ERROR_SERVICE_EXISTS, and carries a message.
     */
    public static final int SERVICE_EXISTS = 1073;
}
