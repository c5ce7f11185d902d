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

    public Win2kServiceFailureActions() {
    }

    public int getResetPeriod() {
        return resetPeriod;
    }

    public void setResetPeriod(int resetPeriod) {
        this.resetPeriod = resetPeriod;
    }

    public String getRebootMsg() {
        return rebootMsg;
    }

    public void setRebootMsg(String rebootMsg) {
        this.rebootMsg = rebootMsg;
    }

    public String getCommand() {
        return command;
    }

    public void setCommand(String command) {
        this.command = command;
    }

    public int getActionCount() {
        return actions.size();
    }

    public Win2kSCAction getActionAt(int index) {
        return actions.elementAt(index);
    }

    public void addAction(Win2kSCAction action) {
        actions.addElement(action);
    }
}
