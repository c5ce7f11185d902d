package com.fernwick.wizard.platform.win32.win32service;

/**
 * Status of a Windows NT service: the seven fields of SERVICE_STATUS, each as the system gave it
 * (the service type with SERVICE_INTERACTIVE_PROCESS included), as returned by a status query or by
 * a control request.
 */
public class NTServiceStatus {
    private int serviceType;
    private int currentState;
    private int controlsAccepted;
    private int win32ExitCode;
    private int serviceSpecificExitCode;
    private int checkPoint;
    private int waitHint;

    /** A status with every field 0, filled by the service control methods. */
    public NTServiceStatus() {
    }

    /**
     * Tells the service type, SERVICE_INTERACTIVE_PROCESS (0x100) included.
     *
     * @return the service type as the system gives it
     */
    public int getServiceType() {
        return serviceType;
    }

    /**
     * Sets the service type, SERVICE_INTERACTIVE_PROCESS (0x100) included.
     *
     * @param serviceType the service type as the system gives it
     */
    public void setServiceType(int serviceType) {
        this.serviceType = serviceType;
    }

    /**
     * Tells the service's state.
     *
     * @return 1 stopped, 2 start pending, 3 stop pending, 4 running, 5 continue pending, 6 pause
     *         pending, 7 paused
     */
    public int getCurrentState() {
        return currentState;
    }

    /**
     * Sets the service's state.
     *
     * @param currentState 1 stopped, 2 start pending, 3 stop pending, 4 running, 5 continue
     *        pending, 6 pause pending, 7 paused
     */
    public void setCurrentState(int currentState) {
        this.currentState = currentState;
    }

    /**
     * Tells the control codes the service accepts now.
     *
     * @return bits: 1 stop, 2 pause and continue, 4 shutdown, ...
     */
    public int getControlsAccepted() {
        return controlsAccepted;
    }

    /**
     * Sets the control codes the service accepts now.
     *
     * @param controlsAccepted bits: 1 stop, 2 pause and continue, 4 shutdown, ...
     */
    public void setControlsAccepted(int controlsAccepted) {
        this.controlsAccepted = controlsAccepted;
    }

    /**
     * Tells the Win32 error the service reports for its start or stop.
     *
     * @return the error; 1066 means see the service-specific exit code
     */
    public int getWin32ExitCode() {
        return win32ExitCode;
    }

    /**
     * Sets the Win32 error the service reports for its start or stop.
     *
     * @param win32ExitCode the error; 1066 means see the service-specific exit code
     */
    public void setWin32ExitCode(int win32ExitCode) {
        this.win32ExitCode = win32ExitCode;
    }

    /**
     * Tells the service's own error code.
     *
     * @return the code, meaningful when the Win32 exit code is 1066
     */
    public int getServiceSpecificExitCode() {
        return serviceSpecificExitCode;
    }

    /**
     * Sets the service's own error code.
     *
     * @param serviceSpecificExitCode the code, meaningful when the Win32 exit code is 1066
     */
    public void setServiceSpecificExitCode(int serviceSpecificExitCode) {
        this.serviceSpecificExitCode = serviceSpecificExitCode;
    }

    /**
     * Tells the progress counter of a pending start, stop, pause or continue.
     *
     * @return the counter, which the service increases as it progresses
     */
    public int getCheckPoint() {
        return checkPoint;
    }

    /**
     * Sets the progress counter of a pending start, stop, pause or continue.
     *
     * @param checkPoint the counter, which the service increases as it progresses
     */
    public void setCheckPoint(int checkPoint) {
        this.checkPoint = checkPoint;
    }

    /**
     * Tells how long the pending operation is expected to take.
     *
     * @return the time in milliseconds before the next check point
     */
    public int getWaitHint() {
        return waitHint;
    }

    /**
     * Sets how long the pending operation is expected to take.
     *
     * @param waitHint the time in milliseconds before the next check point
     */
    public void setWaitHint(int waitHint) {
        this.waitHint = waitHint;
    }
}
