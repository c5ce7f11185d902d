package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Windows registry access, implemented in the native library fwnative. Roots: 1 classes root,
 * 2 current config, 3 current user, 4 local machine, 5 users. A null key addresses the root
 * itself, a null value name the key's default value. Every failure is a ServiceException.
 *
 * <p>The root numbering is the library's own: 2 is HKEY_CURRENT_CONFIG, not the current user. Any
 * other root number fails with the system's invalid-handle error (6). A key is a path below the
 * root, such as {@code "SOFTWARE\Fernwick\Editor"}. Each method opens the key with the narrowest
 * access it needs and closes it before returning; nothing stays open between calls.
 *
 * <p>A failure throws {@link ServiceException} with the method's code from {@link OperationCodes}
 * (several methods share one) and the registry's Win32 error in the message: 2 when the key or
 * value does not exist, 5 access denied, 1804 when the value has another type than the method
 * reads. An unexpected internal failure throws {@link OperationCodes#E_FAIL} without a message.
 *
 * <p>Windows 9x: the ANSI registry functions are used, with key names, value names and texts
 * converted to the ANSI code page (characters it lacks become its substitute character) and texts
 * read back converted to Unicode.
 */
public class Win32RegistryServiceImpl {
    /** A service object; all state lives in the registry. */
    public Win32RegistryServiceImpl() {
    }

    /**
     * Lists the names of a key's values, in the order the system gives them. A default value that
     * is set appears as "".
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the names; an empty array for a key without values
     * @throws ServiceException {@link OperationCodes#GET_KEY_VALUE_NAMES} (-100000): 2 when the key
     *         does not exist, 234 for a value name of 1024 characters or more
     */
    public native String[] getKeyValueNames(int root, String key) throws ServiceException;

    /**
     * Lists the names of a key's direct subkeys, in the order the system gives them.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the names; an empty array for a key without subkeys
     * @throws ServiceException {@link OperationCodes#GET_SUBKEY_NAMES} (-100013): 2 when the key
     *         does not exist
     */
    public native String[] getSubkeyNames(int root, String key) throws ServiceException;

    /**
     * Tells whether a key exists.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root; null asks for the root, which is always there
     * @return true when the key can be opened for reading, false when it does not exist
     * @throws ServiceException {@link OperationCodes#KEY_EXISTS} (-100001) for any error other than
     *         "not found", for example 5 access denied
     */
    public native boolean keyExists(int root, String key) throws ServiceException;

    /**
     * Tells whether a value exists.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @return true when the value exists; false when it or its key does not
     * @throws ServiceException {@link OperationCodes#VALUE_EXISTS} (-100014) for any error other
     *         than "not found", for example 5 access denied
     */
    public native boolean valueExists(int root, String key, String name) throws ServiceException;

    /**
     * Creates a subkey, with any missing levels of a path such as {@code "A\B\C"}. A subkey that
     * exists already is kept as it is.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key to create below, or null for the root itself
     * @param subkey the name or path of the subkey, relative to key
     * @throws ServiceException {@link OperationCodes#CREATE_KEY} (-100012): 2 when key does not
     *         exist, 5 access denied
     */
    public native void createKey(int root, String key, String subkey) throws ServiceException;

    /**
     * Deletes a subkey with everything below it. On the NT family the tree is deleted depth-first
     * and the first failure stops the deletion, leaving what was not yet deleted; on Windows 9x
     * the system deletes the tree in one call.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key that holds the subkey, or null for the root itself
     * @param subkey the subkey to delete; must not be null or empty (error 1010)
     * @param reportMissing true fails on a subkey that does not exist (error 2); false takes it as
     *        deleted. A missing key fails either way.
     * @throws ServiceException {@link OperationCodes#DELETE_KEY} (-100002): 2 when key (or, with
     *         reportMissing, subkey) does not exist, 5 access denied, 1010 for an empty subkey
     */
    public native void deleteKey(int root, String key, String subkey, boolean reportMissing) throws ServiceException;

    /**
     * Deletes a value.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key that holds the value, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param reportMissing true fails on a value that does not exist (error 2); false takes it as
     *        deleted. A missing key fails either way.
     * @throws ServiceException {@link OperationCodes#DELETE_VALUE} (-100002): 2 when the key (or,
     *         with reportMissing, the value) does not exist, 5 access denied
     */
    public native void deleteValue(int root, String key, String name, boolean reportMissing) throws ServiceException;

    /**
     * Reads a string value (REG_SZ or REG_EXPAND_SZ). The text ends at its first zero character.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param expand true replaces the %NAME% references of a REG_EXPAND_SZ value with the
     *        installer process's environment variables; false returns the text as stored. A REG_SZ
     *        value is never expanded.
     * @return the text; "" for an empty value
     * @throws ServiceException {@link OperationCodes#GET_STRING_VALUE} (-100008): 2 when the key or
     *         value does not exist, 1804 for a value of another type
     */
    public native String getStringValue(int root, String key, String name, boolean expand) throws ServiceException;

    /**
     * Writes a string value, replacing any value of that name. The text is stored without a
     * terminating zero; "" is stored as 1 byte, null as an empty value of 0 bytes.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param expand true writes REG_EXPAND_SZ, false REG_SZ
     * @param value the text, or null for an empty value
     * @throws ServiceException {@link OperationCodes#SET_STRING_VALUE} (-100004): 2 when the key does
     *         not exist, 5 access denied
     */
    public native void setStringValue(int root, String key, String name, boolean expand, String value) throws ServiceException;

    /**
     * Reads a multi-string value (REG_MULTI_SZ).
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @return the strings in stored order; an empty array for a value without data
     * @throws ServiceException {@link OperationCodes#GET_MULTI_STRING_VALUE} (-100009): 2 when the
     *         key or value does not exist, 1804 for a value of another type
     */
    public native String[] getMultiStringValue(int root, String key, String name) throws ServiceException;

    /**
     * Writes a multi-string value (REG_MULTI_SZ), replacing any value of that name.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param values the strings, in order; a null element is written as "", and an empty array
     *        as an empty list. The array itself must not be null (error 87).
     * @throws ServiceException {@link OperationCodes#SET_MULTI_STRING_VALUE} (-100005): 2 when the
     *         key does not exist, 5 access denied, 87 for a null array
     */
    public native void setMultiStringValue(int root, String key, String name, String[] values) throws ServiceException;

    /**
     * Reads a 32-bit value (REG_DWORD).
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @return the value's 32 bits; values of 0x80000000 and above come back negative
     * @throws ServiceException {@link OperationCodes#GET_32_BIT_VALUE} (-100008): 2 when the key or
     *         value does not exist, 1804 for a value of another type, 234 for data longer than 4
     *         bytes
     */
    public native int get32BitValue(int root, String key, String name) throws ServiceException;

    /**
     * Writes a 32-bit value (REG_DWORD), replacing any value of that name.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param value the 32 bits to store
     * @throws ServiceException {@link OperationCodes#SET_32_BIT_VALUE} (-100006): 2 when the key does
     *         not exist, 5 access denied
     */
    public native void set32BitValue(int root, String key, String name, int value) throws ServiceException;

    /**
     * Reads a binary value (REG_BINARY).
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @return the bytes; an empty array for a value of zero length
     * @throws ServiceException {@link OperationCodes#GET_BINARY_VALUE} (-100010): 2 when the key or
     *         value does not exist, 1804 for a value of another type, E_OUTOFMEMORY (2147942414)
     *         when the byte array cannot be made
     */
    public native byte[] getBinaryValue(int root, String key, String name) throws ServiceException;

    /**
     * Writes a binary value (REG_BINARY), replacing any value of that name.
     *
     * @param root the root number, 1 to 5
     * @param key the existing key, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @param data the bytes; must not be null (error 87)
     * @throws ServiceException {@link OperationCodes#SET_BINARY_VALUE} (-100007): 2 when the key does
     *         not exist, 5 access denied, 87 for null data
     */
    public native void setBinaryValue(int root, String key, String name, byte[] data) throws ServiceException;

    /**
     * Tells the type of a value. The registry type code of the value (REG_SZ 1, REG_EXPAND_SZ 2,
     * REG_BINARY 3, ...).
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @param name the value's name, or null for the key's default value
     * @return the type code: 1 REG_SZ, 2 REG_EXPAND_SZ, 3 REG_BINARY, 4 REG_DWORD, 7 REG_MULTI_SZ,
     *         or any other code the system stores
     * @throws ServiceException {@link OperationCodes#GET_VALUE_TYPE} (-100011): 2 when the key or
     *         value does not exist
     */
    public native int getValueType(int root, String key, String name) throws ServiceException;

    /**
     * Counts a key's direct subkeys.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the number of subkeys
     * @throws ServiceException {@link OperationCodes#COUNT_SUB_KEYS} (-100003): 2 when the key does
     *         not exist
     */
    public native int countSubKeys(int root, String key) throws ServiceException;

    /**
     * Counts a key's values, the default value included when it is set.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the number of values
     * @throws ServiceException {@link OperationCodes#COUNT_VALUES_IN_KEY} (-100003): 2 when the key
     *         does not exist
     */
    public native int countValuesInKey(int root, String key) throws ServiceException;

    /**
     * Tells the length of the longest subkey name. In characters.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the length in characters, without a terminating zero
     * @throws ServiceException {@link OperationCodes#LONGEST_SUB_KEY_NAME_LENGTH} (-100003): 2 when
     *         the key does not exist
     */
    public native int longestSubKeyNameLength(int root, String key) throws ServiceException;

    /**
     * Tells the length of the longest value name. In characters.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the length in characters, without a terminating zero
     * @throws ServiceException {@link OperationCodes#LONGEST_VALUE_NAME_LENGTH} (-100003): 2 when
     *         the key does not exist
     */
    public native int longestValueNameLength(int root, String key) throws ServiceException;

    /**
     * Tells the size of the largest value's data, in bytes.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return the size in bytes
     * @throws ServiceException {@link OperationCodes#LONGEST_VALUE_NAME_DATA} (-100003): 2 when the
     *         key does not exist
     */
    public native int longestValueNameData(int root, String key) throws ServiceException;

    /**
     * Tells whether a key has neither subkeys nor values.
     *
     * @param root the root number, 1 to 5
     * @param key the key below the root, or null for the root itself
     * @return true when the key has no subkeys and no values
     * @throws ServiceException {@link OperationCodes#IS_KEY_EMPTY} (-100003): 2 when the key does not
     *         exist
     */
    public native boolean isKeyEmpty(int root, String key) throws ServiceException;
}
