package com.fernwick.wizard.platform.win32.win32service;

/**
 * Configuration of a Windows NT service, as passed to service creation and reconfiguration and
 * returned by the configuration query. On reconfiguration, null strings, numbers set to
 * SERVICE_NO_CHANGE and an empty or null dependency list leave the service's setting as it is; a new
 * object holds SERVICE_NO_CHANGE in every number and null in every text, so it changes only what
 * the caller sets. On creation an empty user name means LocalSystem (the password then goes
 * unused). A dependency list must not hold null elements.
 */
public class NTServiceConfig {
    /** SERVICE_NO_CHANGE: leaves a numeric setting as it is on reconfiguration. */
    public static final int SERVICE_NO_CHANGE = -1;

    private String displayName;
    private int serviceType = SERVICE_NO_CHANGE;
    private boolean enableDesktopInteraction;
    private int startType = SERVICE_NO_CHANGE;
    private int errorControl = SERVICE_NO_CHANGE;
    private String command;
    private String loadOrderGroup;
    private String[] dependencies;
    private String userName;
    private String password;

    public NTServiceConfig() {
    }

    public String getDisplayName() {
        return displayName;
    }

    public void setDisplayName(String displayName) {
        this.displayName = displayName;
    }

    /** The service type without SERVICE_INTERACTIVE_PROCESS, which is the desktop interaction flag. */
    public int getServiceType() {
        return serviceType;
    }

    public void setServiceType(int serviceType) {
        this.serviceType = serviceType;
    }

    public boolean getEnableDesktopInteraction() {
        return enableDesktopInteraction;
    }

    public void setEnableDesktopInteraction(boolean enableDesktopInteraction) {
        this.enableDesktopInteraction = enableDesktopInteraction;
    }

    public int getStartType() {
        return startType;
    }

    public void setStartType(int startType) {
        this.startType = startType;
    }

    public int getErrorControl() {
        return errorControl;
    }

    public void setErrorControl(int errorControl) {
        this.errorControl = errorControl;
    }

    /** The binary path name: the command line that starts the service. */
    public String getCommand() {
        return command;
    }

    public void setCommand(String command) {
        this.command = command;
    }

    public String getLoadOrderGroup() {
        return loadOrderGroup;
    }

    public void setLoadOrderGroup(String loadOrderGroup) {
        this.loadOrderGroup = loadOrderGroup;
    }

    public String[] getDependencies() {
        return dependencies;
    }

    public void setDependencies(String[] dependencies) {
        this.dependencies = dependencies;
    }

    public String getUserName() {
        return userName;
    }

    public void setUserName(String userName) {
        this.userName = userName;
    }

    /** Sent on creation and reconfiguration; a configuration query always leaves it null. */
    public String getPassword() {
        return password;
    }

    public void setPassword(String password) {
        this.password = password;
    }
}
