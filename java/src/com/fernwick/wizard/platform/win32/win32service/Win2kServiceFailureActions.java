package com.fernwick.wizard.platform.win32.win32service;

import java.util.Vector;

/**
 * Recovery settings of a Windows 2000 service (SERVICE_FAILURE_ACTIONS): the period after which
 * the failure count is reset, in seconds, the reboot message, the command to run, and the actions
 * in the order they apply to the first, second, ... failure. A null string leaves that setting
 * unchanged when the settings are applied; an empty one removes it.
 */
public class Win2kServiceFailureActions {
    private int resetPeriod;
    private String rebootMsg;
    private String command;
    private final Vector<Win2kSCAction> actions = new Vector<Win2kSCAction>();

    /** Settings with no actions, reset period 0 and null texts. */
    public Win2kServiceFailureActions() {
    }

    /**
     * Tells the time without failures after which the failure count is reset to 0.
     *
     * @return the period in seconds; -1 (INFINITE) never resets; 0 in a new object
     */
    public int getResetPeriod() {
        return resetPeriod;
    }

    /**
     * Sets the time without failures after which the failure count is reset to 0.
     *
     * @param resetPeriod the period in seconds; -1 (INFINITE) never resets; 0 in a new object
     */
    public void setResetPeriod(int resetPeriod) {
        this.resetPeriod = resetPeriod;
    }

    /**
     * Tells the message broadcast to the users before a reboot action.
     *
     * @return the message; when the settings are applied null leaves it unchanged and "" removes it
     */
    public String getRebootMsg() {
        return rebootMsg;
    }

    /**
     * Sets the message broadcast to the users before a reboot action.
     *
     * @param rebootMsg the message; when the settings are applied null leaves it unchanged and ""
     *        removes it
     */
    public void setRebootMsg(String rebootMsg) {
        this.rebootMsg = rebootMsg;
    }

    /**
     * Tells the command line that run-command actions run.
     *
     * @return the command line; when the settings are applied null leaves it unchanged and ""
     *         removes it
     */
    public String getCommand() {
        return command;
    }

    /**
     * Sets the command line that run-command actions run.
     *
     * @param command the command line; when the settings are applied null leaves it unchanged and
     *        "" removes it
     */
    public void setCommand(String command) {
        this.command = command;
    }

    /**
     * Tells how many actions there are.
     *
     * @return the number of actions added
     */
    public int getActionCount() {
        return actions.size();
    }

    /**
     * Gives one action.
     *
     * @param index the action's position, from 0 for the first failure
     * @return the action at that position
     * @throws ArrayIndexOutOfBoundsException for an index outside 0 to getActionCount() - 1
     */
    public Win2kSCAction getActionAt(int index) {
        return actions.elementAt(index);
    }

    /**
     * Adds an action after those already added. With no actions, applying the settings leaves the
     * service's actions as they are.
     *
     * @param action the action for the next failure
     */
    public void addAction(Win2kSCAction action) {
        actions.addElement(action);
    }
}
