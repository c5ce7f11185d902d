package com.fernwick.util;

/**
 * Portable description of a file's attributes: Unix-like readable, writeable and executable states
 * for owner, group and world, plus the Windows hidden, archive and system states. States are
 * addressed by the numbers below; a new object has every state false.
 */
public class FileAttributes {
    public static final int OWNER_READABLE = 1;
    public static final int GROUP_READABLE = 2;
    public static final int WORLD_READABLE = 3;
    public static final int OWNER_WRITEABLE = 4;
    public static final int GROUP_WRITEABLE = 5;
    public static final int WORLD_WRITEABLE = 6;
    public static final int OWNER_EXECUTABLE = 7;
    public static final int GROUP_EXECUTABLE = 8;
    public static final int WORLD_EXECUTABLE = 9;
    public static final int HIDDEN = 10;
    public static final int ARCHIVE = 11;
    public static final int SYSTEM = 12;

    /** Indexed by state number; slot 0 is unused so that 0 is never a valid state. */
    private final boolean[] states = new boolean[SYSTEM + 1];

    public FileAttributes() {
    }

    public boolean getAttributeState(int state) {
        return states[state];
    }

    public void setAttributeState(int state, boolean value) {
        states[state] = value;
    }
}
