package com.fernwick.wizard.platform.win32.win32service;

/**
 * Configuration of a Windows NT service, as passed to service creation and reconfiguration and
 * returned by the configuration query. On reconfiguration, null strings, numbers set to
 * SERVICE_NO_CHANGE and an empty or null dependency list leave the service's setting as it is; a
 * new object holds SERVICE_NO_CHANGE in every number and null in every text, so it changes only
 * what the caller sets. On creation an empty user name means LocalSystem (the password then goes
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

    /**
     * A configuration that changes nothing: SERVICE_NO_CHANGE in every number, null in every text,
     * desktop interaction off.
     */
    public NTServiceConfig() {
    }

    /**
     * Tells the name shown in the list of services.
     *
     * @return the display name, or null (leave unchanged)
     */
    public String getDisplayName() {
        return displayName;
    }

    /**
     * Sets the name shown in the list of services.
     *
     * @param displayName the display name, or null (leave unchanged)
     */
    public void setDisplayName(String displayName) {
        this.displayName = displayName;
    }

    /**
     * Tells the service type, without SERVICE_INTERACTIVE_PROCESS.
     *
     * @return 0x10 own process, 0x20 shared process, 0x01 kernel driver, 0x02 file-system driver,
     *         or SERVICE_NO_CHANGE
     */
    public int getServiceType() {
        return serviceType;
    }

    /**
     * Sets the service type, without SERVICE_INTERACTIVE_PROCESS.
     *
     * @param serviceType 0x10 own process, 0x20 shared process, 0x01 kernel driver, 0x02
     *        file-system driver, or SERVICE_NO_CHANGE
     */
    public void setServiceType(int serviceType) {
        this.serviceType = serviceType;
    }

    /**
     * Tells whether the service may interact with the desktop (SERVICE_INTERACTIVE_PROCESS, 0x100,
     * sent with the service type; no effect while the type is SERVICE_NO_CHANGE).
     *
     * @return true when the service interacts with the desktop
     */
    public boolean getEnableDesktopInteraction() {
        return enableDesktopInteraction;
    }

    /**
     * Sets whether the service may interact with the desktop (SERVICE_INTERACTIVE_PROCESS, 0x100,
     * sent with the service type; no effect while the type is SERVICE_NO_CHANGE).
     *
     * @param enableDesktopInteraction true when the service interacts with the desktop
     */
    public void setEnableDesktopInteraction(boolean enableDesktopInteraction) {
        this.enableDesktopInteraction = enableDesktopInteraction;
    }

    /**
     * Tells when the service starts.
     *
     * @return 0 boot, 1 system, 2 automatic, 3 on demand, 4 disabled, or SERVICE_NO_CHANGE
     */
    public int getStartType() {
        return startType;
    }

    /**
     * Sets when the service starts.
     *
     * @param startType 0 boot, 1 system, 2 automatic, 3 on demand, 4 disabled, or SERVICE_NO_CHANGE
     */
    public void setStartType(int startType) {
        this.startType = startType;
    }

    /**
     * Tells what a failure to start does to the system start.
     *
     * @return 0 ignore, 1 normal, 2 severe, 3 critical, or SERVICE_NO_CHANGE
     */
    public int getErrorControl() {
        return errorControl;
    }

    /**
     * Sets what a failure to start does to the system start.
     *
     * @param errorControl 0 ignore, 1 normal, 2 severe, 3 critical, or SERVICE_NO_CHANGE
     */
    public void setErrorControl(int errorControl) {
        this.errorControl = errorControl;
    }

    /**
     * Tells the binary path name: the command line that starts the service.
     *
     * @return the command line, or null (leave unchanged)
     */
    public String getCommand() {
        return command;
    }

    /**
     * Sets the binary path name: the command line that starts the service.
     *
     * @param command the command line, or null (leave unchanged)
     */
    public void setCommand(String command) {
        this.command = command;
    }

    /**
     * Tells the load-ordering group the service belongs to.
     *
     * @return the group's name, or null (leave unchanged)
     */
    public String getLoadOrderGroup() {
        return loadOrderGroup;
    }

    /**
     * Sets the load-ordering group the service belongs to.
     *
     * @param loadOrderGroup the group's name, or null (leave unchanged)
     */
    public void setLoadOrderGroup(String loadOrderGroup) {
        this.loadOrderGroup = loadOrderGroup;
    }

    /**
     * Tells the services and load-ordering groups (their names prefixed with "+") that must start
     * first.
     *
     * @return the names, or null; null or an empty array means none on creation and leaves them
     *         unchanged on reconfiguration; no element may be null
     */
    public String[] getDependencies() {
        return dependencies;
    }

    /**
     * Sets the services and load-ordering groups (their names prefixed with "+") that must start
     * first.
     *
     * @param dependencies the names, or null; null or an empty array means none on creation and
     *        leaves them unchanged on reconfiguration; no element may be null
     */
    public void setDependencies(String[] dependencies) {
        this.dependencies = dependencies;
    }

    /**
     * Tells the account the service runs as.
     *
     * @return an account such as "DOMAIN\name" or ".\name"; on creation null or "" means
     *         LocalSystem
     */
    public String getUserName() {
        return userName;
    }

    /**
     * Sets the account the service runs as.
     *
     * @param userName an account such as "DOMAIN\name" or ".\name"; on creation null or "" means
     *        LocalSystem
     */
    public void setUserName(String userName) {
        this.userName = userName;
    }

    /**
     * Tells the password of the account.
     *
     * @return the password, or null; a configuration query always leaves it null
     */
    public String getPassword() {
        return password;
    }

    /**
     * Sets the password of the account.
     *
     * @param password the password, or null; on creation it is sent only with a user name and
     *        when not empty
     */
    public void setPassword(String password) {
        this.password = password;
    }
}
