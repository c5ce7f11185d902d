package com.fernwick.util;

/**
 * Portable description of a file's attributes: Unix-like readable, writeable and executable states
 * for owner, group and world, plus the Windows hidden, archive and system states. States are
 * addressed by the numbers below; a new object has every state false.
 *
 * <p>On Windows a file has one read-only attribute instead of the nine Unix-like states. Reading
 * a file's attributes sets the three readable states always, the three writeable states when the
 * file is not read-only, the three executable states for a directory only (never for a plain file,
 * whatever its name), and HIDDEN, ARCHIVE and SYSTEM as Windows says; every other state keeps
 * the value it had in the new object, that is false. Writing attributes makes the file read-only
 * exactly when none of the three writeable states is set, and sets or clears hidden, archive and
 * system as the object says; the readable and executable states are not consulted.
 */
public class FileAttributes {
    /** Readable by the owner; on Windows always set when read. */
    public static final int OWNER_READABLE = 1;
    /** Readable by the group; on Windows always set when read. */
    public static final int GROUP_READABLE = 2;
    /** Readable by everyone; on Windows always set when read. */
    public static final int WORLD_READABLE = 3;
    /** Writeable by the owner; on Windows, not read-only. */
    public static final int OWNER_WRITEABLE = 4;
    /** Writeable by the group; on Windows, not read-only. */
    public static final int GROUP_WRITEABLE = 5;
    /** Writeable by everyone; on Windows, not read-only. */
    public static final int WORLD_WRITEABLE = 6;
    /** Executable (searchable) by the owner; on Windows set for directories only. */
    public static final int OWNER_EXECUTABLE = 7;
    /** Executable (searchable) by the group; on Windows set for directories only. */
    public static final int GROUP_EXECUTABLE = 8;
    /** Executable (searchable) by everyone; on Windows set for directories only. */
    public static final int WORLD_EXECUTABLE = 9;
    /** The Windows hidden attribute. */
    public static final int HIDDEN = 10;
    /** The Windows archive attribute. */
    public static final int ARCHIVE = 11;
    /** The Windows system attribute. */
    public static final int SYSTEM = 12;

    /** Indexed by state number; slot 0 is unused so that 0 is never a valid state. */
    private final boolean[] states = new boolean[SYSTEM + 1];

    /** A description with every state false. */
    public FileAttributes() {
    }

    /**
     * Tells one state.
     *
     * @param state one of the state numbers of this class, 1 to 12
     * @return whether the state is set
     * @throws ArrayIndexOutOfBoundsException for a number outside 0 to 12
     */
    public boolean getAttributeState(int state) {
        return states[state];
    }

    /**
     * Sets or clears one state.
     *
     * @param state one of the state numbers of this class, 1 to 12
     * @param value true to set the state, false to clear it
     * @throws ArrayIndexOutOfBoundsException for a number outside 0 to 12
     */
    public void setAttributeState(int state, boolean value) {
        states[state] = value;
    }
}
