package com.fernwick.suite;

import com.fernwick.wizard.service.ServiceException;

import java.io.BufferedReader;
import java.io.FileReader;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.util.Arrays;
import java.util.Objects;
import java.util.Vector;

/**
 * fwnative.dll loaded by a real Java VM and called through the Java classes; every exported method
 * must be called. Suite EXPORTS-FILE VERSION; exits 0 only when no case failed.
 */
public final class Suite {
    /** A case's body; any exception or AssertionError fails it. */
    public interface Body {
        void run() throws Throwable;
    }

    /** "Class.method" of every method call() has made. */
    private static final Vector<String> called = new Vector<String>();
    private static int passed;
    private static int failed;

    public static void test(String name, Body body) {
        try {
            body.run();
            System.out.println("PASS " + name);
            ++passed;
        } catch (Throwable t) {
            String code = t instanceof ServiceException ? " (code " + ((ServiceException) t).getCode() + ")" : "";
            System.out.println("FAIL " + name + ": " + t + code);
            ++failed;
        }
    }

    /** Calls {object, "method", arguments...}: its one public method of that name and argument count. */
    public static Object call(Object... call) throws Throwable {
        Object[] arguments = new Object[call.length - 2];
        System.arraycopy(call, 2, arguments, 0, arguments.length);
        for (Method method : call[0].getClass().getMethods()) {
            if (method.getName().equals(call[1]) && method.getParameterTypes().length == arguments.length) {
                called.addElement(call[0].getClass().getSimpleName() + "." + call[1]);
                try {
                    return method.invoke(call[0], arguments);
                } catch (InvocationTargetException e) {
                    throw e.getCause();
                }
            }
        }
        throw new NoSuchMethodException(call[0].getClass().getName() + "." + call[1] + " of " + arguments.length);
    }

    /** The call must answer this value (arrays compared element by element). */
    public static void expect(Object expected, Object... call) throws Throwable {
        Object actual = call(call);
        check(Objects.deepEquals(expected, actual), call[1] + ": expected " + show(expected) + ", got " + show(actual));
    }

    /** The call must throw a ServiceException of this code and message end (null: no message). */
    public static void fails(int code, String messageEnd, Object... call) throws Throwable {
        try {
            Object result = call(call);
            throw new AssertionError(call[1] + ": no ServiceException " + code + "; returned " + show(result));
        } catch (ServiceException e) {
            String message = e.getMessage();
            check(e.getCode() == code && (messageEnd == null ? message == null : message != null && message.endsWith(messageEnd)),
                    call[1] + " threw " + e.getCode() + " \"" + message + "\", not " + code + " \"..." + messageEnd + "\"");
        }
    }

    public static void check(boolean condition, String what) {
        if (!condition) {
            throw new AssertionError(what);
        }
    }

    private static String show(Object value) {
        return value instanceof Object[] ? Arrays.asList((Object[]) value).toString()
                : value instanceof byte[] ? Arrays.toString((byte[]) value) : "\"" + value + "\"";
    }

    public static void main(String[] args) throws Throwable {
        System.loadLibrary("fwnative");
        Cases.run(args[1]);
        // "Java_com_..._Win32FileServiceImpl_win32CopyFile" is "Win32FileServiceImpl.win32CopyFile".
        Vector<String> missed = new Vector<String>();
        BufferedReader exports = new BufferedReader(new FileReader(args[0]));
        for (String export = exports.readLine(); export != null; export = exports.readLine()) {
            int method = export.lastIndexOf('_');
            int type = export.lastIndexOf('_', method - 1);
            missed.addElement(export.substring(type + 1, method) + "." + export.substring(method + 1));
        }
        exports.close();
        final int exported = missed.size();
        missed.removeAll(called);
        test("every exported method is called (" + exported + ")",
                () -> check(exported > 0 && missed.isEmpty(), "not called: " + missed));
        System.out.println(passed + " passed, " + failed + " failed");
        System.exit(failed == 0 ? 0 : 1);
    }
}
