package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Windows registry access, implemented in the native library fwnative. Roots: 1 classes root,
 * 2 current config, 3 current user, 4 local machine, 5 users. A null key addresses the root
 * itself, a null value name the key's default value. Every failure is a ServiceException.
 */
public class Win32RegistryServiceImpl {
    public native String[] getKeyValueNames(int root, String key) throws ServiceException;

    public native String[] getSubkeyNames(int root, String key) throws ServiceException;

    public native boolean keyExists(int root, String key) throws ServiceException;

    public native boolean valueExists(int root, String key, String name) throws ServiceException;

    public native void createKey(int root, String key, String subkey) throws ServiceException;

    public native void deleteKey(int root, String key, String subkey, boolean reportMissing) throws ServiceException;

    public native void deleteValue(int root, String key, String name, boolean reportMissing) throws ServiceException;

    public native String getStringValue(int root, String key, String name, boolean expand) throws ServiceException;

    public native void setStringValue(int root, String key, String name, boolean expand, String value) throws ServiceException;

    public native String[] getMultiStringValue(int root, String key, String name) throws ServiceException;

    public native void setMultiStringValue(int root, String key, String name, String[] values) throws ServiceException;

    public native int get32BitValue(int root, String key, String name) throws ServiceException;

    public native void set32BitValue(int root, String key, String name, int value) throws ServiceException;

    public native byte[] getBinaryValue(int root, String key, String name) throws ServiceException;

    public native void setBinaryValue(int root, String key, String name, byte[] data) throws ServiceException;

    /** The registry type code of the value (REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, ...). */
    public native int getValueType(int root, String key, String name) throws ServiceException;

    public native int countSubKeys(int root, String key) throws ServiceException;

    public native int countValuesInKey(int root, String key) throws ServiceException;

    /** In characters. */
    public native int longestSubKeyNameLength(int root, String key) throws ServiceException;

    /** In characters. */
    public native int longestValueNameLength(int root, String key) throws ServiceException;

    /** The size of the largest value's data, in bytes. */
    public native int longestValueNameData(int root, String key) throws ServiceException;

    public native boolean isKeyEmpty(int root, String key) throws ServiceException;
}
