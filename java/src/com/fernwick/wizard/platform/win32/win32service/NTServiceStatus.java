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

    public NTServiceStatus() {
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
}
