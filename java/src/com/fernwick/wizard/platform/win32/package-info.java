/**
 * The Windows platform services of the installation wizard, implemented in the native library
 * fwnative (fwnative.dll), which the wizard loads before it calls any of them.
 *
 * <table>
 * <caption>The services</caption>
 * <tr><th>Class</th><th>What it does</th></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32RegistryServiceImpl}</td>
 *     <td>registry keys and values</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32FileServiceImpl}</td>
 *     <td>copy, move and delete (finishing at the next restart when a file is in use),
 *     attributes, owners, file times, drives and standard directories</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl}</td>
 *     <td>program folders and shortcuts in the Start menu and on the desktop</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32ProductServiceImpl}</td>
 *     <td>the product's entry in the list of installed programs</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32ServiceImpl}</td>
 *     <td>Windows services, short paths and file version information</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32SecurityServiceImpl}</td>
 *     <td>local users and groups, the administrator test</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl}</td>
 *     <td>commands for the next start-up, deleting files after the installer exits, the
 *     running Windows</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.environment.WindowsEnvironment}</td>
 *     <td>environment variables</td></tr>
 * <tr><td>{@link com.fernwick.wizard.platform.win32.Win32WizardInitializeServiceImpl}</td>
 *     <td>binding the installer to one processor</td></tr>
 * </table>
 *
 * <p>Windows families. The library serves the NT family (NT 4, 2000, XP and later), whose
 * functions take Unicode, and the 9x family (95, 98, ME), whose functions take text in the ANSI
 * code page; it tells them apart at each call. On Windows 9x text is converted to the ANSI code
 * page, where characters the code page lacks become its substitute character; a path that would
 * then name another file is refused (error 1113) by the methods that delete, move or overwrite.
 * Owners, users and groups and Windows services do not exist there: the owner, user and group
 * methods throw {@link com.fernwick.wizard.service.ServiceException#OPERATION_NOT_SUPPORTED}, and
 * the service methods fail or do nothing, as each class says.
 *
 * <p>Failures. Every failure is one
 * {@link com.fernwick.wizard.service.ServiceException}; its code is the method's constant in
 * {@link com.fernwick.wizard.platform.win32.OperationCodes} and its message the system's text of
 * the Win32 error followed by the error number in parentheses (see OperationCodes for how to read
 * it). The value a method returns after it has thrown means nothing.
 *
 * <p>Threads. Every call runs to completion on the calling Java thread and keeps nothing for the
 * next one, so the services may be called from any thread. A few calls block for a while:
 * changing a persistent environment variable (up to 3 seconds while running programs are told),
 * handing files to the clean-up program (one to two seconds), changing a service's recovery
 * settings (while the service database is locked). The critical-error mode that
 * {@code Win32FileServiceImpl.win32EnableAbort} sets belongs to the whole process.
 */
package com.fernwick.wizard.platform.win32;
