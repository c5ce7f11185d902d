package com.fernwick.wizard.platform.win32;

/**
 * The codes a ServiceException carries: each names the native method that failed, as the method's
 * name in capitals with words apart ({@code win32CopyFile} fails with {@link #WIN32_COPY_FILE}), so
 * a caller compares {@code e.getCode()} with a name:
 *
 * <pre>
 * try {
 *     files.win32DeleteFile(path);
 * } catch (ServiceException e) {
 *     if (e.getCode() == OperationCodes.WIN32_DELETE_FILE) { ... }
 * }
 * </pre>
 *
 * Methods of one kind may share a code (deleteKey and deleteValue). Besides these, a failure may
 * carry {@link #E_FAIL} (an unexpected internal failure), {@link #E_INVALIDARG} (an argument the
 * method refuses before doing anything) or ServiceException.OPERATION_NOT_SUPPORTED (an operation
 * the running Windows family does not offer). The message, when there is one, is the system's text
 * for the Win32 error followed by the error number in parentheses.
 */
public final class OperationCodes {
    private OperationCodes() {
    }

    /** The HRESULT E_FAIL (0x80004005). */
    public static final int E_FAIL = 0x80004005;
    /** The HRESULT E_INVALIDARG (0x80070057). */
    public static final int E_INVALIDARG = 0x80070057;

    // Win32FileServiceImpl
    public static final int GET_FILE_ATTRIBUTES = -30000;
    public static final int SET_FILE_ATTRIBUTES = -30001;
    public static final int GET_PARTITION_FREE_SPACE = -30004;
    public static final int WIN32_SET_FILE_TIMES = -30007;
    public static final int GET_FILE_OWNER_GROUP = -30008;
    public static final int SET_FILE_OWNER_GROUP = -30009;
    public static final int GET_PARTITION_FORMAT = -30010;
    public static final int WIN32_SET_FILE_CREATED = -30011;
    public static final int GET_FILE_OWNER = -30012;
    public static final int SET_FILE_OWNER = -30013;
    public static final int SUPPORTS_LONG_FILE_NAMES = -30015;
    public static final int WIN32_SET_FILE_MODIFIED = -30016;
    public static final int WIN32_COPY_FILE = -30017;
    public static final int WIN32_MOVE_FILE = -30018;
    public static final int WIN32_DELETE_FILE = -30019;
    public static final int WIN32_DELETE_DIRECTORY = -30020;
    public static final int WIN32_GET_COMMON_DIRECTORY = -30022;
    public static final int WIN32_GET_WINDOWS_DIRECTORY = -60000;
    public static final int GET_STANDARD_INSTALL_DIRECTORY = -60001;
    public static final int GET_TEMP_DIRECTORY = -60002;

    // WindowsEnvironment
    public static final int WIN_NT_SET_ENVIRONMENT_VARIABLE = -70000;
    public static final int WIN_ME_SET_ENVIRONMENT_VARIABLE = -70000;
    public static final int SET_PROCESS_ENVIRONMENT_VARIABLE = -70008;
    public static final int WIN_NT_GET_RAW_ENVIRONMENT_VARIABLE = -70010;
    public static final int WIN_ME_GET_RAW_ENVIRONMENT_VARIABLE = -70010;

    // Win32SystemUtilServiceImpl
    public static final int ADD_SYSTEM_STARTUP_COMMAND = -70002;
    public static final int SYSTEM_STARTUP_COMMANDS = -70003;
    public static final int REMOVE_SYSTEM_STARTUP_COMMAND = -70004;
    public static final int GET_OS_SERVICE_LEVEL = -70005;
    public static final int NATIVE_DELETE_FILES_AFTER_EXIT = -70007;
    public static final int GET_BOOT_DIRECTORY = -70009;

    // Win32DesktopServiceImpl
    public static final int CREATE_DESKTOP_FOLDER = -80000;
    public static final int REMOVE_DESKTOP_FOLDER = -80001;
    public static final int CREATE_DESKTOP_ITEM = -80002;
    public static final int REMOVE_DESKTOP_ITEM = -80003;
    public static final int GET_DESKTOP_ITEM_OWNER_GROUP = -80010;
    public static final int SET_DESKTOP_ITEM_OWNER_GROUP = -80011;
    public static final int GET_DESKTOP_ITEM_OWNER = -80012;
    public static final int SET_DESKTOP_ITEM_OWNER = -80013;
    public static final int GET_DESKTOP_FOLDER_OWNER_GROUP = -80014;
    public static final int SET_DESKTOP_FOLDER_OWNER_GROUP = -80015;
    public static final int GET_DESKTOP_FOLDER_OWNER = -80016;
    public static final int SET_DESKTOP_FOLDER_OWNER = -80017;
    public static final int GET_DESKTOP_ITEM_ATTRIBUTES = -80018;
    public static final int SET_DESKTOP_ITEM_ATTRIBUTES = -80019;
    public static final int GET_DESKTOP_FOLDER_ATTRIBUTES = -80020;
    public static final int SET_DESKTOP_FOLDER_ATTRIBUTES = -80021;

    // Win32ProductServiceImpl
    public static final int WIN32_REGISTER_UNINSTALLER = -90000;
    public static final int WIN32_UNREGISTER_UNINSTALLER = -90001;

    // Win32RegistryServiceImpl
    public static final int GET_KEY_VALUE_NAMES = -100000;
    public static final int KEY_EXISTS = -100001;
    public static final int DELETE_KEY = -100002;
    public static final int DELETE_VALUE = -100002;
    public static final int IS_KEY_EMPTY = -100003;
    public static final int LONGEST_VALUE_NAME_DATA = -100003;
    public static final int LONGEST_SUB_KEY_NAME_LENGTH = -100003;
    public static final int LONGEST_VALUE_NAME_LENGTH = -100003;
    public static final int COUNT_VALUES_IN_KEY = -100003;
    public static final int COUNT_SUB_KEYS = -100003;
    public static final int SET_STRING_VALUE = -100004;
    public static final int SET_MULTI_STRING_VALUE = -100005;
    public static final int SET_32_BIT_VALUE = -100006;
    public static final int SET_BINARY_VALUE = -100007;
    public static final int GET_STRING_VALUE = -100008;
    public static final int GET_32_BIT_VALUE = -100008;
    public static final int GET_MULTI_STRING_VALUE = -100009;
    public static final int GET_BINARY_VALUE = -100010;
    public static final int GET_VALUE_TYPE = -100011;
    public static final int CREATE_KEY = -100012;
    public static final int GET_SUBKEY_NAMES = -100013;
    public static final int VALUE_EXISTS = -100014;

    // Win32SecurityServiceImpl
    public static final int IS_CURRENT_USER_ADMIN = -110000;
    public static final int WIN32_CREATE_GROUP = -110001;
    public static final int DELETE_GROUP = -110002;
    public static final int WIN32_CREATE_USER = -110003;
    public static final int DELETE_USER = -110004;

    // Win32ServiceImpl: the first five codes have six digits, the later ones seven.
    public static final int CREATE_NT_SERVICE = -120000;
    public static final int DELETE_NT_SERVICE = -120001;
    public static final int START_NT_SERVICE = -120002;
    public static final int CONTROL_NT_SERVICE = -120003;
    public static final int CHANGE_NT_SERVICE_CONFIG = -120004;
    public static final int QUERY_NT_SERVICE_CONFIG = -1200005;
    public static final int QUERY_NT_SERVICE_STATUS = -1200006;
    public static final int GET_NT_SERVICE_DISPLAY_NAME = -1200007;
    public static final int GET_NT_SERVICE_KEY_NAME = -1200008;
    public static final int ENUM_NT_SERVICE_KEYS = -1200009;
    public static final int QUERY_WIN2K_SERVICE_FAILURE_ACTIONS = -1200010;
    public static final int QUERY_WIN2K_SERVICE_DESCRIPTION = -1200011;
    public static final int CHANGE_WIN2K_SERVICE_DESCRIPTION = -1200012;
    public static final int CHANGE_WIN2K_SERVICE_FAILURE_ACTIONS = -1200013;
    public static final int QUERY_WIN2K_SERVICE_STATUS_PROCESS = -1200014;
    public static final int GET_SHORT_PATH = -1200015;
    /** serviceExists reports every error but "service does not exist" (1060) with this code. */
    public static final int SERVICE_EXISTS = 1073;
}
