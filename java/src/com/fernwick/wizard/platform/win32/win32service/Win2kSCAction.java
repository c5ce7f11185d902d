package com.fernwick.wizard.platform.win32.win32service;

/**
 * One recovery action of a Windows 2000 service (SC_ACTION): the action type (0 none, 1 restart
 * the service, 2 reboot, 3 run the command) and the delay before it, in milliseconds.
 */
public class Win2kSCAction {
    private final int actionType;
    private final int delay;

    /**
     * An action.
     *
     * @param actionType 0 none, 1 restart the service, 2 reboot, 3 run the command; other values
     *        are applied as none
     * @param delay the delay before the action, in milliseconds
     */
    public Win2kSCAction(int actionType, int delay) {
        this.actionType = actionType;
        this.delay = delay;
    }

    /**
     * Tells the action.
     *
     * @return 0 none, 1 restart the service, 2 reboot, 3 run the command
     */
    public int getActionType() {
        return actionType;
    }

    /**
     * Tells the delay before the action.
     *
     * @return the delay in milliseconds
     */
    public int getDelay() {
        return delay;
    }
}
