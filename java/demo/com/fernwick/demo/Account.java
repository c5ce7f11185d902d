package com.fernwick.demo;

import java.io.FileOutputStream;
import java.io.IOException;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.util.Enumeration;
import java.util.Vector;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.platform.win32.OperationCodes;
import com.fernwick.wizard.platform.win32.WindowsFixedFileInfo;
import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.service.ServiceException;

/**
 * The demo's account of what it asked and what the library answered, written to standard output
 * and to a log file. It also keeps count of the outcomes the demo relies on: a call that throws
 * when it should answer (or the reverse), and every {@link #expect} that does not hold.
 */
final class Account {
    /** A native method that answers a value. */
    interface Query<T> {
        T get() throws ServiceException;
    }

    /** A native method that answers nothing. */
    interface Action {
        void run() throws ServiceException;
    }

    /** What of an answer is shown, where the whole of it would say too much. */
    interface Summary<T> {
        String of(T value);
    }

    private final FileOutputStream log;
    private final String logPath;
    private boolean logBroken;
    private final Vector<String> failures = new Vector<String>();
    private int checks;

    Account(String logPath) throws IOException {
        this.logPath = logPath;
        this.log = new FileOutputStream(logPath);
    }

    /** A numbered part of the demo. */
    void section(String title) {
        line("");
        line("== " + title + " ==");
    }

    /** What the next lines are about. */
    void note(String text) {
        line(text);
    }

    /** Something the installer does itself, outside the library (java.io, System.load). */
    void outside(String text) {
        line("  [" + text + "]");
    }

    /**
     * Announces a call of a native method with its arguments; the returned call is then made with
     * {@link Call#run}, {@link Call#get} or {@link Call#fails}.
     */
    Call call(Object service, String method, Object... arguments) {
        StringBuilder text = new StringBuilder();
        text.append(service.getClass().getSimpleName()).append('.').append(method).append('(');
        for (int i = 0; i < arguments.length; i++) {
            if (i > 0) {
                text.append(", ");
            }
            text.append(show(arguments[i]));
        }
        line("  " + text.append(')'));
        return new Call(method);
    }

    /** One call announced by {@link Account#call}. */
    final class Call {
        private final String method;

        private Call(String method) {
            this.method = method;
        }

        /** Makes a call that answers nothing; true when it did not throw. */
        boolean run(Action action) {
            try {
                action.run();
                answer("done");
                return true;
            } catch (ServiceException e) {
                answer(show(e, method));
                fail(method + " threw");
                return false;
            } catch (UnsatisfiedLinkError e) {
                missing();
                return false;
            }
        }

        /**
         * Makes a call that answers a value and returns it, or null when it threw. An Enumeration is
         * read to the end to be shown, and a fresh one over the same elements is returned.
         */
        @SuppressWarnings("unchecked")
        <T> T get(Query<T> query) {
            try {
                T value = query.get();
                if (value instanceof Enumeration) {
                    Vector<Object> elements = new Vector<Object>();
                    for (Enumeration<?> e = (Enumeration<?>) value; e.hasMoreElements();) {
                        elements.addElement(e.nextElement());
                    }
                    answer("Enumeration " + show(elements));
                    return (T) elements.elements();
                }
                answer(show(value));
                return value;
            } catch (ServiceException e) {
                answer(show(e, method));
                fail(method + " threw");
                return null;
            } catch (UnsatisfiedLinkError e) {
                missing();
                return null;
            }
        }

        /**
         * Makes a call that answers a value, shows only the summary of it, and returns the value, or
         * null when it threw.
         */
        <T> T get(Query<T> query, Summary<T> summary) {
            return summarised(query, summary, true);
        }

        /**
         * Makes a call that may answer or throw, as the machine has it (a drive with nothing in it):
         * shows the value's summary or the ServiceException, counts neither, and returns the value,
         * or null when it threw, so that the demo goes on either way.
         */
        <T> T attempt(Query<T> query, Summary<T> summary) {
            return summarised(query, summary, false);
        }

        /** The call with its answer shown in short; a ServiceException counts against the demo when expected is true. */
        private <T> T summarised(Query<T> query, Summary<T> summary, boolean expected) {
            try {
                T value = query.get();
                answer(summary.of(value));
                return value;
            } catch (ServiceException e) {
                answer(show(e, method));
                if (expected) {
                    fail(method + " threw");
                }
                return null;
            } catch (UnsatisfiedLinkError e) {
                missing();
                return null;
            }
        }

        /** {@link #attempt(Query, Summary)} showing the whole value. */
        <T> T attempt(Query<T> query) {
            return attempt(query, Account::show);
        }

        /**
         * Makes a call that is expected to throw, and checks the code it throws with. Returns the
         * exception, or null when the call answered.
         */
        ServiceException fails(int expectedCode, Query<?> query) {
            checks++;
            try {
                Object value = query.get();
                answer(show(value));
                failures.addElement(method + " answered; a ServiceException " + nameOf(expectedCode, method)
                        + " was expected");
                line("    !! expected a ServiceException " + nameOf(expectedCode, method));
                return null;
            } catch (ServiceException e) {
                answer(show(e, method));
                if (e.getCode() != expectedCode) {
                    failures.addElement(method + " threw " + nameOf(e.getCode(), method) + ", not "
                            + nameOf(expectedCode, method));
                    line("    !! expected a ServiceException " + nameOf(expectedCode, method));
                }
                return e;
            } catch (UnsatisfiedLinkError e) {
                missing();
                return null;
            }
        }

        /** A native method the loaded fwnative does not export. */
        private void missing() {
            answer("UnsatisfiedLinkError");
            fail(method + " is not in the loaded fwnative");
        }

        private void answer(String text) {
            line("    -> " + text);
        }
    }

    /** An outcome the demo relies on: counted, and reported when it does not hold. */
    void expect(boolean holds, String what) {
        checks++;
        if (!holds) {
            failures.addElement(what);
            line("    !! expected: " + what);
        }
    }

    /** An outcome that did not come out as the demo needs. */
    void fail(String what) {
        checks++;
        failures.addElement(what);
        line("    !! " + what);
    }

    /** Writes the summary, closes the log and returns the process's exit code. */
    int finish() {
        section("Result");
        if (failures.isEmpty()) {
            line("Every one of the " + checks + " outcomes the demo relies on came out as expected.");
        } else {
            line(failures.size() + " of the " + checks + " outcomes the demo relies on did not come out as expected:");
            for (Enumeration<String> e = failures.elements(); e.hasMoreElements();) {
                line("  - " + e.nextElement());
            }
        }
        try {
            log.close();
        } catch (IOException e) {
            logBroken("cannot close", e);
        }
        System.out.flush();
        return failures.isEmpty() && !logBroken ? 0 : 1;
    }

    void line(String text) {
        System.out.print(text + "\n");
        if (logBroken) {
            return;
        }
        try {
            log.write((text + "\n").getBytes("UTF-8"));
        } catch (IOException e) {
            logBroken("cannot write", e);
        }
    }

    private void logBroken(String what, IOException e) {
        logBroken = true;
        System.out.print("demo: " + what + " " + logPath + ": " + e.getMessage() + "\n");
    }

    /**
     * An Enumeration argument as {@link #call} shows it, "Enumeration [...]": the elements are
     * given as a Vector, since showing an Enumeration would use it up before the call.
     */
    static Object enumeration(final Vector<?> elements) {
        return new Object() {
            @Override
            public String toString() {
                return "Enumeration " + show(elements);
            }
        };
    }

    /** A value as Java source would write it; peers and enumerations by their contents. */
    static String show(Object value) {
        if (value == null) {
            return "null";
        }
        if (value instanceof String) {
            return quote((String) value);
        }
        if (value instanceof Long) {
            return value + "L";
        }
        if (value instanceof Object[] || value instanceof Vector) {
            Object[] items = value instanceof Vector ? ((Vector<?>) value).toArray() : (Object[]) value;
            StringBuilder text = new StringBuilder(value instanceof Vector ? "[" : "{");
            for (int i = 0; i < items.length; i++) {
                text.append(i > 0 ? ", " : "").append(show(items[i]));
            }
            return text.append(value instanceof Vector ? "]" : "}").toString();
        }
        if (value instanceof byte[]) {
            byte[] bytes = (byte[]) value;
            StringBuilder text = new StringBuilder("{");
            for (int i = 0; i < bytes.length; i++) {
                String hex = Integer.toHexString(bytes[i] & 0xff);
                text.append(i > 0 ? ", " : "").append(hex.length() == 1 ? "0x0" : "0x").append(hex);
            }
            return text.append('}').toString();
        }
        if (value instanceof FileAttributes) {
            return "FileAttributes " + states((FileAttributes) value);
        }
        if (value instanceof NTServiceConfig) {
            NTServiceConfig config = (NTServiceConfig) value;
            return "NTServiceConfig {displayName=" + show(config.getDisplayName())
                    + ", serviceType=" + hex(config.getServiceType())
                    + ", enableDesktopInteraction=" + config.getEnableDesktopInteraction()
                    + ", startType=" + config.getStartType()
                    + ", errorControl=" + config.getErrorControl()
                    + ", command=" + show(config.getCommand())
                    + ", loadOrderGroup=" + show(config.getLoadOrderGroup())
                    + ", dependencies=" + show(config.getDependencies())
                    + ", userName=" + show(config.getUserName())
                    + ", password=" + show(config.getPassword()) + "}";
        }
        if (value instanceof NTServiceStatus) {
            NTServiceStatus status = (NTServiceStatus) value;
            return "NTServiceStatus {serviceType=" + hex(status.getServiceType())
                    + ", currentState=" + status.getCurrentState()
                    + ", controlsAccepted=" + hex(status.getControlsAccepted())
                    + ", win32ExitCode=" + status.getWin32ExitCode()
                    + ", serviceSpecificExitCode=" + status.getServiceSpecificExitCode()
                    + ", checkPoint=" + status.getCheckPoint()
                    + ", waitHint=" + status.getWaitHint() + "}";
        }
        if (value instanceof Win2kServiceStatusProcess) {
            Win2kServiceStatusProcess status = (Win2kServiceStatusProcess) value;
            return "Win2kServiceStatusProcess {serviceType=" + hex(status.getServiceType())
                    + ", currentState=" + status.getCurrentState()
                    + ", controlsAccepted=" + hex(status.getControlsAccepted())
                    + ", win32ExitCode=" + status.getWin32ExitCode()
                    + ", serviceSpecificExitCode=" + status.getServiceSpecificExitCode()
                    + ", checkPoint=" + status.getCheckPoint()
                    + ", waitHint=" + status.getWaitHint()
                    + ", processId=" + status.getProcessId()
                    + ", serviceFlags=" + hex(status.getServiceFlags()) + "}";
        }
        if (value instanceof WindowsFixedFileInfo) {
            WindowsFixedFileInfo info = (WindowsFixedFileInfo) value;
            return "WindowsFixedFileInfo {signature=" + hex(info.getSignature())
                    + ", strucVersion=" + hex(info.getStrucVersion())
                    + ", fileVersionMS=" + hex(info.getFileVersionMS())
                    + ", fileVersionLS=" + hex(info.getFileVersionLS())
                    + " (" + version(info.getFileVersionMS(), info.getFileVersionLS()) + ")"
                    + ", productVersionMS=" + hex(info.getProductVersionMS())
                    + ", productVersionLS=" + hex(info.getProductVersionLS())
                    + " (" + version(info.getProductVersionMS(), info.getProductVersionLS()) + ")"
                    + ", fileFlagsMask=" + hex(info.getFileFlagsMask())
                    + ", fileFlags=" + hex(info.getFileFlags())
                    + ", fileOS=" + hex(info.getFileOS())
                    + ", fileType=" + info.getFileType()
                    + ", fileSubtype=" + info.getFileSubtype()
                    + ", fileDateMS=" + hex(info.getFileDateMS())
                    + ", fileDateLS=" + hex(info.getFileDateLS()) + "}";
        }
        return String.valueOf(value);
    }

    /**
     * A version held in two 32-bit words, as a version resource holds it, in its dotted form: the
     * high and low halves of the most significant word, then of the least significant one
     * (0x00010002 and 0x00030004 are 1.2.3.4).
     */
    static String version(int ms, int ls) {
        return (ms >>> 16) + "." + (ms & 0xffff) + "." + (ls >>> 16) + "." + (ls & 0xffff);
    }

    /** A set of flags in hex, as Windows documents them; SERVICE_NO_CHANGE (-1) stays -1. */
    private static String hex(int flags) {
        return flags == NTServiceConfig.SERVICE_NO_CHANGE ? String.valueOf(flags) : "0x" + Integer.toHexString(flags);
    }

    /** A ServiceException as the caller sees it: the code with its name, and the message. */
    static String show(ServiceException e, String method) {
        return "ServiceException " + nameOf(e.getCode(), method) + ": " + show(e.getMessage());
    }

    /** A code with its name, "WIN32_COPY_FILE (-30017)", or the number alone when it has none. */
    private static String nameOf(int code, String method) {
        String name = codeName(code, method);
        return name != null ? name + " (" + code + ")" : String.valueOf(code);
    }

    /** The states of a FileAttributes that are true, by the names of their constants. */
    @SuppressWarnings("rawtypes") // Avian's class library declares Field with a type parameter
    private static String states(FileAttributes attributes) {
        StringBuilder text = new StringBuilder("{");
        for (Field field : FileAttributes.class.getFields()) {
            Integer state = intConstant(field);
            if (state != null && attributes.getAttributeState(state.intValue())) {
                text.append(text.length() > 1 ? ", " : "").append(field.getName());
            }
        }
        return text.append('}').toString();
    }

    /**
     * The name of a ServiceException code among the constants of OperationCodes and
     * ServiceException. Several methods may share a code; the name made from the called method's
     * own name is preferred (win32CopyFile: WIN32_COPY_FILE). Null for a code with no name.
     */
    @SuppressWarnings("rawtypes")
    static String codeName(int code, String method) {
        String first = null;
        Class<?>[] holders = {OperationCodes.class, ServiceException.class};
        for (Class<?> holder : holders) {
            for (Field field : holder.getFields()) {
                Integer value = intConstant(field);
                if (value == null || value.intValue() != code) {
                    continue;
                }
                if (field.getName().replace("_", "").equalsIgnoreCase(method)) {
                    return field.getName();
                }
                if (first == null) {
                    first = field.getName();
                }
            }
        }
        return first;
    }

    @SuppressWarnings("rawtypes")
    private static Integer intConstant(Field field) {
        if (field.getType() != int.class || !Modifier.isStatic(field.getModifiers())) {
            return null;
        }
        try {
            return Integer.valueOf(field.getInt(null));
        } catch (IllegalAccessException e) {
            return null;
        }
    }

    private static String quote(String text) {
        StringBuilder quoted = new StringBuilder("\"");
        for (int i = 0; i < text.length(); i++) {
            char c = text.charAt(i);
            switch (c) {
                case '\\': quoted.append("\\\\"); break;
                case '"': quoted.append("\\\""); break;
                case '\r': quoted.append("\\r"); break;
                case '\n': quoted.append("\\n"); break;
                case '\t': quoted.append("\\t"); break;
                default:
                    if (c < 0x20 || c > 0x7e) {
                        String hex = Integer.toHexString(c);
                        quoted.append("\\u").append("0000".substring(hex.length())).append(hex);
                    } else {
                        quoted.append(c);
                    }
            }
        }
        return quoted.append('"').toString();
    }
}
