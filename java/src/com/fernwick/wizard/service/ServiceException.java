package com.fernwick.wizard.service;

/**
 * Failure of a platform service. The code names the operation that failed (each native method has
 * its own negative constant); the message, when present, is the system's text for the Win32 error
 * followed by the error number in parentheses.
 */
public class ServiceException extends Exception {
    private static final long serialVersionUID = 1L;

    /**
     * Code of an operation that the running Windows family does not offer (owners on Windows 9x,
     * users and groups on Windows 9x). Kept apart from every operation code, from -1 and from 0,
     * which the native side uses when this constant cannot be read.
     */
    public static final int OPERATION_NOT_SUPPORTED = -10000;

    private final int code;

    public ServiceException(int code) {
        super();
        this.code = code;
    }

    public ServiceException(int code, String message) {
        super(message);
        this.code = code;
    }

    public int getCode() {
        return code;
    }
}
