package com.fernwick.wizard.platform.win32;

import com.fernwick.wizard.service.ServiceException;

/**
 * Local users and groups, implemented in the native library fwnative. Refused on Windows 9x with
 * ServiceException.OPERATION_NOT_SUPPORTED, except the administrator test, which is true there.
 *
 * <p>Accounts are made on the local machine through Netapi32.dll, which is loaded on first use.
 * A failure throws {@link ServiceException} with the method's code from {@link OperationCodes} and
 * the Win32 or network-management status in the message (statuses 2100 to 2999 take their text
 * from netmsg.dll): for example 5 access denied (the installer is not run by an administrator),
 * 2224 the user exists, 2221 the user does not exist, 1379 or 2223 the group exists, 1376 or 2220
 * the group does not exist, 127 when Netapi32.dll lacks a function. Nothing done before a failure
 * is undone. On Windows 9x the account methods throw
 * {@link ServiceException#OPERATION_NOT_SUPPORTED} without a message.
 */
public class Win32SecurityServiceImpl {
    /** A service object; all state lives in Windows. */
    public Win32SecurityServiceImpl() {
    }

    /**
     * Creates a local user and adds it to local groups. The user description has nine elements:
     * account expiry (seconds since 1970, or negative for never), comment, home directory, logon
     * script, password, full name, user name, account disabled ("0" for no), password expired
     * ("0" for no). The groups may be null.
     *
     * <p>The user gets ordinary user rights and runs its logon script. The expiry is read as a
     * decimal number: an empty, non-numeric or negative text means never; otherwise its low 32
     * bits are used. "Account disabled" and "password expired" are true unless their text begins
     * with the digit 0; an expired password must be changed at the next logon. A user who cannot
     * be added to a group stays created, as do the groups joined before.
     *
     * @param user the nine texts above, in that order; none may be null (error 87)
     * @param groups the local groups to add the user to, in order, or null for none; no element
     *        may be null (error 87)
     * @throws ServiceException {@link OperationCodes#E_INVALIDARG}, without message, when user is
     *         null or does not have nine elements (checked first, also on Windows 9x);
     *         {@link OperationCodes#WIN32_CREATE_USER} (-110003) when the user cannot be made or
     *         updated (2224 user exists, 5 access denied, a password the password policy refuses);
     *         {@link OperationCodes#WIN32_CREATE_GROUP} (-110001) when it cannot join a group (1376
     *         or 2220 no such group); OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void win32CreateUser(String[] user, String[] groups) throws ServiceException;

    /**
     * Deletes a local user.
     *
     * @param name the user's account name
     * @throws ServiceException {@link OperationCodes#DELETE_USER} (-110004): 2221 when the user does
     *         not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void deleteUser(String name) throws ServiceException;

    /**
     * Creates a local group and adds members to it, all in one call. The members may be null.
     * A group that exists already is an error, and then no member is added.
     *
     * @param name the group's name
     * @param members the account names to add, or null for none; no element may be null (error 87)
     * @throws ServiceException {@link OperationCodes#WIN32_CREATE_GROUP} (-110001): 1379 or 2223 when
     *         the group exists, 5 access denied, 1387 when a member does not exist (the group stays
     *         created); OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void win32CreateGroup(String name, String[] members) throws ServiceException;

    /**
     * Deletes a local group.
     *
     * @param name the group's name
     * @throws ServiceException {@link OperationCodes#DELETE_GROUP} (-110002): 1376 or 2220 when the
     *         group does not exist, 5 access denied; OPERATION_NOT_SUPPORTED on Windows 9x
     */
    public native void deleteGroup(String name) throws ServiceException;

    /**
     * Tells whether the user running the installer belongs to the local Administrators group. The
     * thread's own token is tested when it impersonates, the process's token otherwise; a
     * deny-only membership counts too.
     *
     * @return true for a member of Administrators; always true on Windows 9x
     * @throws ServiceException {@link OperationCodes#IS_CURRENT_USER_ADMIN} (-110000) when the token
     *         cannot be read
     */
    public native boolean isCurrentUserAdmin() throws ServiceException;
}
