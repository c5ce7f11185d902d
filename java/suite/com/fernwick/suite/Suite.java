package com.fernwick.suite;

import com.fernwick.wizard.service.ServiceException;

import java.io.BufferedReader;
import java.io.FileReader;
import java.util.Enumeration;
import java.util.Hashtable;
import java.util.Vector;

/**
 * The library as an installer meets it: fwnative.dll loaded with System.loadLibrary by a real Java
 * VM and called through the Java classes. Each case names the native methods it calls; after the
 * cases the suite checks that every method the DLL exports was called by one of them.
 *
 *   Suite EXPORTS-FILE VERSION    (the export names, one a line; the Windows version the run emulates)
 *
 * Prints one line a case and ends with "N passed, N failed"; exits 0 only when nothing failed.
 */
public final class Suite {
    /** A case's body; any exception or AssertionError fails it. */
    public interface Body {
        void run() throws Exception;
    }

    /** A call whose failure a case expects. */
    public interface Call {
        Object call() throws Exception;
    }

    private final Vector<String> names = new Vector<String>();
    private final Vector<String[]> methods = new Vector<String[]>();
    private final Vector<Body> bodies = new Vector<Body>();

    /** A case; methods are "Class.method" names, apart by blanks. */
    public void add(String name, String calledMethods, Body body) {
        names.addElement(name);
        methods.addElement(calledMethods.trim().split(" +"));
        bodies.addElement(body);
    }

    public static void same(Object expected, Object actual) {
        if (!equal(expected, actual)) {
            throw new AssertionError("expected " + show(expected) + ", got " + show(actual));
        }
    }

    public static void check(boolean condition, String what) {
        if (!condition) {
            throw new AssertionError(what);
        }
    }

    /**
     * The call must throw a ServiceException with this code and a message ending in " (error)"; an
     * error of -1 asks for no message at all.
     */
    public static void fails(int code, long error, Call call) throws Exception {
        Object result;
        try {
            result = call.call();
        } catch (ServiceException e) {
            same(Integer.valueOf(code), Integer.valueOf(e.getCode()));
            String message = e.getMessage();
            if (error == -1) {
                check(message == null, "no message, got \"" + message + "\"");
            } else {
                check(message != null && message.endsWith(" (" + error + ")"), "message \"" + message + "\" names error " + error);
            }
            return;
        }
        throw new AssertionError("no ServiceException " + code + "; returned " + show(result));
    }

    private static boolean equal(Object a, Object b) {
        if (a instanceof Object[] && b instanceof Object[]) {
            Object[] x = (Object[]) a;
            Object[] y = (Object[]) b;
            if (x.length != y.length) {
                return false;
            }
            for (int i = 0; i < x.length; ++i) {
                if (!equal(x[i], y[i])) {
                    return false;
                }
            }
            return true;
        }
        if (a instanceof byte[] && b instanceof byte[]) {
            byte[] x = (byte[]) a;
            byte[] y = (byte[]) b;
            if (x.length != y.length) {
                return false;
            }
            for (int i = 0; i < x.length; ++i) {
                if (x[i] != y[i]) {
                    return false;
                }
            }
            return true;
        }
        return a == null ? b == null : a.equals(b);
    }

    private static String show(Object value) {
        if (value instanceof String) {
            return "\"" + value + "\"";
        }
        if (value instanceof Object[]) {
            StringBuilder text = new StringBuilder("[");
            for (Object element : (Object[]) value) {
                text.append(text.length() > 1 ? ", " : "").append(show(element));
            }
            return text.append("]").toString();
        }
        if (value instanceof byte[]) {
            StringBuilder text = new StringBuilder("bytes");
            for (byte b : (byte[]) value) {
                text.append(' ').append(b);
            }
            return text.toString();
        }
        return String.valueOf(value);
    }

    /** The elements of an Enumeration, in order. */
    public static String[] elements(Enumeration<String> e) {
        Vector<String> all = new Vector<String>();
        while (e.hasMoreElements()) {
            all.addElement(e.nextElement());
        }
        String[] array = new String[all.size()];
        all.copyInto(array);
        return array;
    }

    /** "Java_com_..._Win32FileServiceImpl_win32CopyFile" is "Win32FileServiceImpl.win32CopyFile". */
    private static String methodOfExport(String export) {
        int method = export.lastIndexOf('_');
        int type = export.lastIndexOf('_', method - 1);
        return export.substring(type + 1, method) + "." + export.substring(method + 1);
    }

    private int run(String exportsFile) throws Exception {
        Hashtable<String, String> called = new Hashtable<String, String>();
        int passed = 0;
        int failed = 0;
        for (int i = 0; i < bodies.size(); ++i) {
            String name = names.elementAt(i);
            for (String method : methods.elementAt(i)) {
                called.put(method, name);
            }
            try {
                bodies.elementAt(i).run();
                System.out.println("PASS " + name);
                ++passed;
            } catch (Throwable t) {
                System.out.println("FAIL " + name + ": " + t);
                ++failed;
            }
        }
        // Every exported native method must be called by some case.
        Vector<String> missed = new Vector<String>();
        BufferedReader exports = new BufferedReader(new FileReader(exportsFile));
        int exported = 0;
        for (String line = exports.readLine(); line != null; line = exports.readLine()) {
            if (!line.trim().startsWith("Java_")) {
                continue;
            }
            ++exported;
            String method = methodOfExport(line.trim());
            if (!called.containsKey(method)) {
                missed.addElement(method);
            }
        }
        exports.close();
        if (exported == 0 || !missed.isEmpty()) {
            System.out.println("FAIL every exported method is called: " + exported + " exported, not called: " + missed);
            ++failed;
        } else {
            System.out.println("PASS every exported method is called (" + exported + ")");
            ++passed;
        }
        System.out.println(passed + " passed, " + failed + " failed");
        return failed;
    }

    public static void main(String[] args) throws Exception {
        if (args.length != 2) {
            System.out.println("usage: Suite EXPORTS-FILE VERSION");
            System.exit(2);
        }
        System.loadLibrary("fwnative");
        Suite suite = new Suite();
        Cases.addAll(suite, new Platform(args[1]));
        System.exit(suite.run(args[0]) == 0 ? 0 : 1);
    }
}
