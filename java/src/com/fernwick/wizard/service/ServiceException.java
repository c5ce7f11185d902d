package com.fernwick.wizard.service;

/**
 * Failure of a platform service. Every native method of the Windows services reports a failure by
 * throwing exactly one ServiceException, and its return value is then meaningless.
 *
 * <p>The {@linkplain #getCode() code} names what failed. It is one of:
 * <ul>
 * <li>the method's own negative constant from
 *     {@link com.fernwick.wizard.platform.win32.OperationCodes} (several methods of one kind
 *     share one);</li>
 * <li>{@link com.fernwick.wizard.platform.win32.OperationCodes#E_FAIL E_FAIL} without a message:
 *     an unexpected internal failure, such as memory running out;</li>
 * <li>{@link com.fernwick.wizard.platform.win32.OperationCodes#E_INVALIDARG E_INVALIDARG} without
 *     a message: an argument refused before anything was done;</li>
 * <li>{@link #OPERATION_NOT_SUPPORTED} without a message: the running Windows family does not
 *     offer the operation (owners, users and groups on Windows 95, 98 and ME);</li>
 * <li>1073, from {@code Win32ServiceImpl.serviceExists} only.</li>
 * </ul>
 *
 * <p>How to read the message: when a Win32 error is known the message is the system's text for
 * that error, as the system gives it (it usually ends in a line break), then one blank, then the
 * error number in unsigned decimal in parentheses. For example, on an English system, error 2
 * reads {@code "The system cannot find the file specified.\r\n (2)"}. Network-management errors
 * (2100 to 2999) take their text from netmsg.dll. When the system has no text for the error, the
 * message is just the blank and the number, as in {@code " (4294967295)"}. An HRESULT passed as
 * the error is printed unsigned as well: E_FAIL appears as {@code (2147500037)}. The number in
 * parentheses is the part to test; the text is in the system's language. An exception made with
 * a code alone has a null message.
 */
public class ServiceException extends Exception {
    private static final long serialVersionUID = 1L;

    /**
     * Code of an operation that the running Windows family does not offer (owners on Windows 9x,
     * users and groups on Windows 9x). Kept apart from every operation code, from -1 and from 0,
     * which the native side uses when this constant cannot be read.
     */
    public static final int OPERATION_NOT_SUPPORTED = -10000;

    /** What failed: an operation code, an HRESULT or {@link #OPERATION_NOT_SUPPORTED}. */
    private final int code;

    /**
     * An exception without a message.
     *
     * @param code what failed: an operation code, an HRESULT or {@link #OPERATION_NOT_SUPPORTED}
     */
    public ServiceException(int code) {
        super();
        this.code = code;
    }

    /**
     * An exception with the text of a Win32 error.
     *
     * @param code what failed: an operation code, an HRESULT or {@link #OPERATION_NOT_SUPPORTED}
     * @param message the system's text for the error, a blank and the error number in parentheses
     */
    public ServiceException(int code, String message) {
        super(message);
        this.code = code;
    }

    /**
     * Tells what failed.
     *
     * @return the code the exception was made with (see the class description)
     */
    public int getCode() {
        return code;
    }
}
