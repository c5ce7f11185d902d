/**
 * Environment variables on Windows:
 * {@link com.fernwick.wizard.platform.win32.environment.WindowsEnvironment} reads and sets those
 * of the installer process and the persistent ones Windows keeps in the registry for new
 * processes, and announces a persistent change to running programs.
 */
package com.fernwick.wizard.platform.win32.environment;
