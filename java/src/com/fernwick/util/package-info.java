/**
 * Platform-neutral types the wizard's services exchange: {@link com.fernwick.util.FileAttributes}
 * describes a file's attributes in Unix-like terms, which the Windows file and desktop services
 * translate to and from the Windows attribute bits.
 */
package com.fernwick.util;
