package com.fernwick.wizard.platform.win32;

/**
 * Windows registry access, implemented in the native library fwnative. Roots: 1 classes root,
 * 2 current config, 3 current user, 4 local machine, 5 users. A null key addresses the root
 * itself, a null value name the key's default value. Every failure is a ServiceException.
 */
public class Win32RegistryServiceImpl {
    public native String[] getKeyValueNames(int root, String key);

    public native String[] getSubkeyNames(int root, String key);

    public native boolean keyExists(int root, String key);

    public native boolean valueExists(int root, String key, String name);

    public native void createKey(int root, String key, String subkey);

    public native void deleteKey(int root, String key, String subkey, boolean reportMissing);

    public native void deleteValue(int root, String key, String name, boolean reportMissing);

    public native String getStringValue(int root, String key, String name, boolean expand);

    public native void setStringValue(int root, String key, String name, boolean expand, String value);

    public native String[] getMultiStringValue(int root, String key, String name);

    public native void setMultiStringValue(int root, String key, String name, String[] values);

    public native int get32BitValue(int root, String key, String name);

    public native void set32BitValue(int root, String key, String name, int value);

    public native byte[] getBinaryValue(int root, String key, String name);

    public native void setBinaryValue(int root, String key, String name, byte[] data);

    /** The registry type code of the value (REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, ...). */
    public native int getValueType(int root, String key, String name);

    public native int countSubKeys(int root, String key);

    public native int countValuesInKey(int root, String key);

    /** In characters. */
    public native int longestSubKeyNameLength(int root, String key);

    /** In characters. */
    public native int longestValueNameLength(int root, String key);

    /** The size of the largest value's data, in bytes. */
    public native int longestValueNameData(int root, String key);

    public native boolean isKeyEmpty(int root, String key);
}
