package com.fernwick.wizard.platform.win32.win32service;

/**
 * Extended status of a Windows 2000 service: the nine fields of SERVICE_STATUS_PROCESS, each as the
 * system gave it. The service type is the whole dwServiceType, SERVICE_INTERACTIVE_PROCESS (0x100)
 * included, as in NTServiceStatus; only NTServiceConfig splits that bit off into its desktop
 * interaction flag.
 */
public class Win2kServiceStatusProcess {
    private int serviceType;
    private int currentState;
    private int controlsAccepted;
    private int win32ExitCode;
    private int serviceSpecificExitCode;
    private int checkPoint;
    private int waitHint;
    private int processId;
    private int serviceFlags;

    public Win2kServiceStatusProcess() {
    }

    public int getServiceType() {
        return serviceType;
    }

    public void setServiceType(int serviceType) {
        this.serviceType = serviceType;
    }

    public int getCurrentState() {
        return currentState;
    }

    public void setCurrentState(int currentState) {
        this.currentState = currentState;
    }

    public int getControlsAccepted() {
        return controlsAccepted;
    }

    public void setControlsAccepted(int controlsAccepted) {
        this.controlsAccepted = controlsAccepted;
    }

    public int getWin32ExitCode() {
        return win32ExitCode;
    }

    public void setWin32ExitCode(int win32ExitCode) {
        this.win32ExitCode = win32ExitCode;
    }

    public int getServiceSpecificExitCode() {
        return serviceSpecificExitCode;
    }

    public void setServiceSpecificExitCode(int serviceSpecificExitCode) {
        this.serviceSpecificExitCode = serviceSpecificExitCode;
    }

    public int getCheckPoint() {
        return checkPoint;
    }

    public void setCheckPoint(int checkPoint) {
        this.checkPoint = checkPoint;
    }

    public int getWaitHint() {
        return waitHint;
    }

    public void setWaitHint(int waitHint) {
        this.waitHint = waitHint;
    }

    public int getProcessId() {
        return processId;
    }

    public void setProcessId(int processId) {
        this.processId = processId;
    }

    public int getServiceFlags() {
        return serviceFlags;
    }

    public void setServiceFlags(int serviceFlags) {
        this.serviceFlags = serviceFlags;
    }
}
