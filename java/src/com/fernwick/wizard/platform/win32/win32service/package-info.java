/**
 * The objects exchanged with
 * {@link com.fernwick.wizard.platform.win32.Win32ServiceImpl}: a service's configuration
 * ({@link com.fernwick.wizard.platform.win32.win32service.NTServiceConfig}), its status
 * ({@link com.fernwick.wizard.platform.win32.win32service.NTServiceStatus} and, from Windows 2000,
 * {@link com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess}) and its
 * recovery settings
 * ({@link com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions} with one
 * {@link com.fernwick.wizard.platform.win32.win32service.Win2kSCAction} per failure). The native
 * library makes and reads them through their public constructors, getters and setters, so their
 * names and signatures must not change. Numbers are the Win32 structures' 32-bit fields unchanged.
 */
package com.fernwick.wizard.platform.win32.win32service;
