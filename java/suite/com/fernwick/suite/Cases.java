package com.fernwick.suite;

import static com.fernwick.suite.Suite.call;
import static com.fernwick.suite.Suite.check;
import static com.fernwick.suite.Suite.expect;
import static com.fernwick.suite.Suite.fails;
import static com.fernwick.suite.Suite.test;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.platform.win32.OperationCodes;
import com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl;
import com.fernwick.wizard.platform.win32.Win32FileServiceImpl;
import com.fernwick.wizard.platform.win32.Win32ProductServiceImpl;
import com.fernwick.wizard.platform.win32.Win32SecurityServiceImpl;
import com.fernwick.wizard.platform.win32.Win32RegistryServiceImpl;
import com.fernwick.wizard.platform.win32.Win32ServiceImpl;
import com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl;
import com.fernwick.wizard.platform.win32.Win32WizardInitializeServiceImpl;
import com.fernwick.wizard.platform.win32.environment.WindowsEnvironment;
import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.Win2kSCAction;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.service.ServiceException;

import java.io.File;
import java.util.Arrays;
import java.util.Collections;

/**
 * One case per method family: every method called once, each kind of value checked once, and the
 * answers that differ between the NT and the 9x family; the values themselves are the GoogleTest suite's.
 */
final class Cases {
    private static final int HKCU = 3;  // HKEY_CURRENT_USER
    private static final String KEY = "Software\\Fernwick Java Suite";
    private static final long JAN_2003 = 126858528000000000L;  // FILETIME of 2003-01-01 00:00 UTC

    /** Calls each {"method", arguments...} on the object, whatever it answers. */
    private static void calls(Object object, Object[][] calls) throws Throwable {
        for (Object[] c : calls) {
            Object[] call = new Object[c.length + 1];
            call[0] = object;
            System.arraycopy(c, 0, call, 1, c.length);
            call(call);
        }
    }

    static void run(String version) throws Throwable {
        final Win32RegistryServiceImpl registry = new Win32RegistryServiceImpl();
        final Win32FileServiceImpl files = new Win32FileServiceImpl();
        final Win32DesktopServiceImpl desktop = new Win32DesktopServiceImpl();
        final Win32SystemUtilServiceImpl system = new Win32SystemUtilServiceImpl();
        final Win32ProductServiceImpl product = new Win32ProductServiceImpl();
        final WindowsEnvironment environment = new WindowsEnvironment();
        final Win32ServiceImpl services = new Win32ServiceImpl();
        final Win32SecurityServiceImpl security = new Win32SecurityServiceImpl();
        final boolean nt = !version.startsWith("win9") && !version.equals("winme");
        final String temp = environment.getProcessEnvironmentVariable("TEMP") + "\\fwnative-java-suite";
        new File(temp).mkdirs();

        test("platform, start-up commands, the boot directory and the uninstaller", () -> {
            expect(nt, system, "isWinNTor2K");
            calls(system, new Object[][] {{"isWinME"}, {"getOSServiceLevel"}, {"getBootDirectory"}, {"addSystemStartupCommand", "fwsuite.exe /finish"}});
            calls(product, new Object[][] {{"win32RegisterUninstaller", "FernwickJavaSuite", "Fernwick Java Suite", "u.exe"},
                {"win32UnregisterUninstaller", "FernwickJavaSuite", null}});
            call(services, "isWin2k");
            expect("fwsuite.exe /finish", call(system, "systemStartupCommands"), "nextElement");  // a Vector
            call(system, "removeSystemStartupCommand", "fwsuite.exe /finish");
            // The list is read before the clean-up program, which is not there, is looked for.
            fails(OperationCodes.NATIVE_DELETE_FILES_AFTER_EXIT, "File not found.\r\n (2)", system, "nativeDeleteFilesAfterExit",
                    Collections.enumeration(Arrays.asList(temp + "\\later.txt")),
                    Collections.enumeration(Arrays.<String>asList()), true, temp + "\\missing.exe");
        });

        test("registry", () -> {
            call(registry, "createKey", HKCU, "Software", "Fernwick Java Suite\\sub");
            final byte[] bytes = {1, 0, -1};
            calls(registry, new Object[][] {{"setStringValue", HKCU, KEY, "s", false, "ab"}, {"set32BitValue", HKCU, KEY, "d", -2},
                {"setMultiStringValue", HKCU, KEY, "m", new String[] {"a", "c"}}, {"setBinaryValue", HKCU, KEY, "b", bytes},
                {"keyExists", HKCU, KEY}, {"isKeyEmpty", HKCU, KEY}, {"getValueType", HKCU, KEY, "m"}, {"getKeyValueNames", HKCU, KEY},
                {"getSubkeyNames", HKCU, KEY}, {"countSubKeys", HKCU, KEY}, {"countValuesInKey", HKCU, KEY},
                {"longestSubKeyNameLength", HKCU, KEY}, {"longestValueNameLength", HKCU, KEY}, {"longestValueNameData", HKCU, KEY},
                {"getStringValue", HKCU, KEY, "s", true}, {"valueExists", HKCU, KEY, "s"}, {"deleteValue", HKCU, KEY, "s", true}});
            expect(new String[] {"a", "c"}, registry, "getMultiStringValue", HKCU, KEY, "m");
            expect(-2, registry, "get32BitValue", HKCU, KEY, "d");
            expect(bytes, registry, "getBinaryValue", HKCU, KEY, "b");
            call(registry, "deleteKey", HKCU, "Software", "Fernwick Java Suite", true);
        });

        test("files, drives and standard directories", () -> {
            final String b = temp + "\\b.txt";
            expect(0, files, "win32CopyFile", "fwtestsvc.exe", temp + "\\a.txt", false);
            call(files, "win32MoveFile", temp + "\\a.txt", b, true);
            FileAttributes attributes = (FileAttributes) call(files, "getFileAttributes", b);
            check(!attributes.getAttributeState(FileAttributes.HIDDEN), "not hidden yet");
            attributes.setAttributeState(FileAttributes.HIDDEN, true);
            call(files, "setFileAttributes", b, attributes);
            check(((FileAttributes) call(files, "getFileAttributes", b)).getAttributeState(FileAttributes.HIDDEN), "hidden");
            calls(files, new Object[][] {{"win32SetFileTimes", b, JAN_2003, JAN_2003, JAN_2003}, {"win32SetFileCreated", b, JAN_2003},
                {"win32SetFileModified", b, JAN_2003 + 10000000L}});
            // Avian's File.lastModified counts seconds where other VMs count milliseconds.
            long modified = new File(b).lastModified();
            check(modified / 1000 == 1041379201L || modified == 1041379201L, "modified at 00:00:01: " + modified);
            calls(files, new Object[][] {{"win32DeleteFile", b}, {"getPartitionNames"}, {"getPartitionType", "D:\\"},
                {"getPartitionFormat", "C:\\"}, {"supportsLongFileNames", "C:\\"}, {"getTempDirectory"}, {"win32GetWindowsDirectory"},
                {"getLibraryDirectory"}, {"getStandardInstallDirectory"}, {"win32GetCommonDirectory"}, {"isDirectoryWritable", temp},
                {"win32EnableAbort", true}});
            check((Long) call(files, "getPartitionFreeSpace", "C:\\") > 0, "free space on C:");
        });

        test("program folders, shortcuts and owners", () -> {
            call(desktop, "createDesktopFolder", temp, "Fernwick\\Tools");
            call(desktop, "createDesktopItem", temp, "Fernwick\\Tools", "Editor", "C:\\windows\\notepad.exe", "-x", null, null);
            // No file security on Windows 9x: every owner method is refused. Wine reports every file
            // as the Linux user's, and a new owner as set while keeping none.
            for (String owner : new String[] {"Owner", "OwnerGroup"}) {
                onNtOnly(nt, new Object[][] {
                    {files, "getFile" + owner, temp},
                    {files, "setFile" + owner, temp, "Administrators"},
                    {desktop, "getDesktopItem" + owner, temp, "Fernwick\\Tools", "Editor"},
                    {desktop, "setDesktopItem" + owner, temp, "Fernwick\\Tools", "Editor", "Administrators"},
                    {desktop, "getDesktopFolder" + owner, temp, "Fernwick\\Tools"},
                    {desktop, "setDesktopFolder" + owner, temp, "Fernwick\\Tools", "Administrators"},
                });
            }
            call(desktop, "setDesktopItemAttributes", temp, "Fernwick\\Tools", "Editor",
                    call(desktop, "getDesktopItemAttributes", temp, "Fernwick\\Tools", "Editor"));
            call(desktop, "setDesktopFolderAttributes", temp, "Fernwick\\Tools",
                    call(desktop, "getDesktopFolderAttributes", temp, "Fernwick\\Tools"));
            call(desktop, "removeDesktopItem", temp, "Fernwick\\Tools", "Editor");
            call(desktop, "removeDesktopFolder", temp, "Fernwick\\Tools");
        });

        test("environment variables", () -> {
            call(environment, "setProcessEnvironmentVariable", "FWSUITE", "process value");
            expect("process value", environment, "getProcessEnvironmentVariable", "FWSUITE");
            // Each family's persistent form does nothing elsewhere.
            call(environment, "winNTSetEnvironmentVariable", "FWSUITE", "%SystemRoot%\\fw", false);
            expect(nt ? "%SystemRoot%\\fw" : null, environment, "winNTGetRawEnvironmentVariable", "FWSUITE", false);
            // A real Windows ME has its environment key; a new Wine prefix lacks it.
            registry.createKey(4, "SYSTEM\\CurrentControlSet\\Control", "SessionManager\\Environment");
            calls(environment, new Object[][] {{"winNTSetEnvironmentVariable", "FWSUITE", null, false},
                {"winMESetEnvironmentVariable", "FWSUITE", "C:\\fw"}, {"winMEGetRawEnvironmentVariable", "FWSUITE"},
                {"winMESetEnvironmentVariable", "FWSUITE", null}});
        });

        test("windows services", () -> {
            // The service's program is not there: it never runs, and goes as soon as it is deleted.
            final String name = "FwJavaSuite-" + version;  // a service a failed run leaves is its version's own
            NTServiceConfig config = new NTServiceConfig();
            config.setServiceType(0x10);  // own process
            config.setStartType(3);       // on demand
            config.setErrorControl(1);
            config.setCommand(temp + "\\missing.exe");
            call(services, "createNTService", name, config);
            config.setDisplayName(name + " Service");
            calls(services, new Object[][] {{"changeNTServiceConfig", name, config}, {"getNTServiceDisplayName", name},
                {"getNTServiceKeyName", name + " Service"}, {"enumNTServiceKeys", 0x30, 3},
                {"changeWin2kServiceDescription", name, "Checks the Java suite"}, {"queryWin2kServiceDescription", name}});
            expect(temp + "\\missing.exe", call(services, "queryNTServiceConfig", name), "getCommand");
            // Wine takes failure actions and drops them: asking for them gives 124 (invalid level).
            Win2kServiceFailureActions actions = new Win2kServiceFailureActions();
            actions.addAction(new Win2kSCAction(1, 1000));
            call(services, "changeWin2kServiceFailureActions", name, actions);
            fails(OperationCodes.QUERY_WIN2K_SERVICE_FAILURE_ACTIONS, " (124)", services, "queryWin2kServiceFailureActions", name);
            fails(OperationCodes.START_NT_SERVICE, " (2)", services, "startNTService", name, new String[] {"first"});
            fails(OperationCodes.CONTROL_NT_SERVICE, " (1062)", services, "controlNTService", name, 1);
            expect(1, call(services, "queryNTServiceStatus", name), "getCurrentState");  // stopped
            expect(1, call(services, "queryWin2kServiceStatusProcess", name), "getCurrentState");
            calls(services, new Object[][] {{"deleteNTService", name}, {"serviceExists", name}, {"getShortPath", temp}});
            // The tests' service program beside the DLL carries version 1.2.3.4.
            expect(0x00010002, call(services, "getFixedFileInfo", "fwtestsvc.exe"), "getFileVersionMS");
        });

        // Wine keeps no accounts (and ends the process in NetUserSetInfo): only what it answers for
        // real is called here; the GoogleTest suite drives the rest through a store of its own.
        test("local users and groups, process affinity", () -> {
            expect(true, security, "isCurrentUserAdmin");  // Wine runs programs as administrators
            fails(OperationCodes.E_INVALIDARG, null, security, "win32CreateUser", new String[8], null);
            fails(nt ? OperationCodes.DELETE_USER : ServiceException.OPERATION_NOT_SUPPORTED, nt ? " (2221)" : null,
                    security, "deleteUser", "NoSuchUserForFernwick");
            onNtOnly(nt, new Object[][] {  // Wine's stubs answer 0
                {security, "win32CreateGroup", "Fernwick Java Suite", new String[0]},
                {security, "deleteGroup", "Fernwick Java Suite"},
            });
            call(new Win32WizardInitializeServiceImpl(), "setProcessAffinity");  // one processor from here on
            expect(0, files, "win32DeleteDirectory", temp, false, true);  // the suite's folder, and all in it
        });
    }

    /** Makes these calls on the NT family, where each getter answers a name; Windows 9x refuses each. */
    private static void onNtOnly(boolean nt, Object[][] calls) throws Throwable {
        for (Object[] call : calls) {
            if (nt) {
                Object answer = call(call);
                check(answer == null ? !call[1].toString().startsWith("get") : !answer.equals(""), call[1] + " answers a name");
            } else {
                fails(ServiceException.OPERATION_NOT_SUPPORTED, null, call);
            }
        }
    }
}
