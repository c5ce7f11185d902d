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
 * One case per method family: every method called, each kind of value a caller hands over or gets
 * back, and the answers that differ between the NT and the 9x family; the GoogleTest suite holds the rest.
 */
final class Cases {
    private static final int HKCU = 3;  // HKEY_CURRENT_USER
    private static final String KEY = "Software\\Fernwick Java Suite";
    private static final long JAN_2003 = 126858528000000000L;  // FILETIME of 2003-01-01 00:00 UTC

    static void run(String version) throws Throwable {
        final Win32RegistryServiceImpl registry = new Win32RegistryServiceImpl();
        final Win32FileServiceImpl files = new Win32FileServiceImpl();
        final Win32DesktopServiceImpl desktop = new Win32DesktopServiceImpl();
        final Win32SystemUtilServiceImpl system = new Win32SystemUtilServiceImpl();
        final WindowsEnvironment environment = new WindowsEnvironment();
        final Win32ServiceImpl services = new Win32ServiceImpl();
        final Win32SecurityServiceImpl security = new Win32SecurityServiceImpl();
        final boolean nt = !version.equals("win98") && !version.equals("winme");
        final String temp = environment.getProcessEnvironmentVariable("TEMP") + "\\fwnative-java-suite";
        new File(temp).mkdirs();

        test("platform, start-up commands, the boot directory and the uninstaller", () -> {
            // Wine reports "Service Pack 6a" and so on for the NT family, " A " and " " for 98 and ME.
            check(((String) call(system, "getOSServiceLevel")).startsWith(nt ? "Service Pack " : " "), "the service pack");
            expect(nt, system, "isWinNTor2K");
            expect(version.equals("winme"), system, "isWinME");
            expect(version.equals("win2k"), services, "isWin2k");
            call(new Win32ProductServiceImpl(), "win32RegisterUninstaller", "FernwickJavaSuite", "Fernwick Java Suite", "u.exe");
            call(new Win32ProductServiceImpl(), "win32UnregisterUninstaller", "FernwickJavaSuite", null);
            call(system, "addSystemStartupCommand", "fwsuite.exe /finish");
            expect("fwsuite.exe /finish", call(system, "systemStartupCommands"), "nextElement");
            call(system, "removeSystemStartupCommand", "fwsuite.exe /finish");
            expect("C:\\", system, "getBootDirectory");  // as the prefix's Setup key says
            // The list is read before the clean-up program, which is not there, is looked for.
            fails(OperationCodes.NATIVE_DELETE_FILES_AFTER_EXIT, "File not found.\r\n (2)", system, "nativeDeleteFilesAfterExit",
                    Collections.enumeration(Arrays.asList(temp + "\\later.txt")),
                    Collections.enumeration(Arrays.<String>asList()), true, temp + "\\missing.exe");
        });

        test("registry", () -> {
            call(registry, "createKey", HKCU, "Software", "Fernwick Java Suite\\sub");
            expect(true, registry, "keyExists", HKCU, KEY + "\\sub");
            expect(true, registry, "isKeyEmpty", HKCU, KEY + "\\sub");
            call(registry, "setStringValue", HKCU, KEY, "s", false, "ab");
            expect("ab", registry, "getStringValue", HKCU, KEY, "s", true);
            call(registry, "setMultiStringValue", HKCU, KEY, "m", new String[] {"a", "c"});
            expect(new String[] {"a", "c"}, registry, "getMultiStringValue", HKCU, KEY, "m");
            call(registry, "set32BitValue", HKCU, KEY, "d", -2);
            expect(-2, registry, "get32BitValue", HKCU, KEY, "d");
            byte[] sixteen = {1, 2, 0, -1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            call(registry, "setBinaryValue", HKCU, KEY, "b", sixteen);
            expect(sixteen, registry, "getBinaryValue", HKCU, KEY, "b");
            expect(7, registry, "getValueType", HKCU, KEY, "m");  // REG_MULTI_SZ
            expect(new String[] {"b", "d", "m", "s"}, registry, "getKeyValueNames", HKCU, KEY);  // Wine sorts them
            expect(new String[] {"sub"}, registry, "getSubkeyNames", HKCU, KEY);
            expect(1, registry, "countSubKeys", HKCU, KEY);
            expect(4, registry, "countValuesInKey", HKCU, KEY);
            expect(3, registry, "longestSubKeyNameLength", HKCU, KEY);
            expect(1, registry, "longestValueNameLength", HKCU, KEY);
            expect(16, registry, "longestValueNameData", HKCU, KEY);  // the binary value
            call(registry, "deleteValue", HKCU, KEY, "s", true);
            expect(false, registry, "valueExists", HKCU, KEY, "s");
            call(registry, "deleteKey", HKCU, "Software", "Fernwick Java Suite", true);
        });

        test("files, drives and standard directories", () -> {
            final String b = temp + "\\b.txt";
            expect(0, files, "win32CopyFile", "fwtestsvc.exe", temp + "\\a.txt", false);
            expect(0, files, "win32MoveFile", temp + "\\a.txt", b, true);
            FileAttributes attributes = (FileAttributes) call(files, "getFileAttributes", b);
            check(!attributes.getAttributeState(FileAttributes.HIDDEN), "not hidden yet");
            attributes.setAttributeState(FileAttributes.HIDDEN, true);
            call(files, "setFileAttributes", b, attributes);
            check(((FileAttributes) call(files, "getFileAttributes", b)).getAttributeState(FileAttributes.HIDDEN), "hidden");
            call(files, "win32SetFileTimes", b, JAN_2003, JAN_2003, JAN_2003);
            call(files, "win32SetFileCreated", b, JAN_2003);
            call(files, "win32SetFileModified", b, JAN_2003 + 10000000L);
            // Avian's File.lastModified counts seconds where other VMs count milliseconds.
            long modified = new File(b).lastModified();
            check(modified / 1000 == 1041379201L || modified == 1041379201L, "modified at 00:00:01: " + modified);
            expect(0, files, "win32DeleteFile", b);
            // The test prefix adds a floppy (A:), a CD-ROM (D:) and a network drive (N:) to C: and Z:.
            expect(new String[] {"A:\\", "C:\\", "D:\\", "N:\\", "Z:\\"}, files, "getPartitionNames");
            expect(4, files, "getPartitionType", "D:\\");
            expect("NTFS", files, "getPartitionFormat", "C:\\");
            check((Long) call(files, "getPartitionFreeSpace", "C:\\") > 0, "free space on C:");
            expect(true, files, "supportsLongFileNames", "C:\\");
            check(((String) call(files, "getTempDirectory")).endsWith("\\"), "the temporary directory ends with a backslash");
            check(((String) call(files, "win32GetWindowsDirectory")).equalsIgnoreCase("C:\\windows"), "the Windows directory");
            check(((String) call(files, "getLibraryDirectory")).equalsIgnoreCase("C:\\windows\\system32"), "system32");
            expect(call(files, "getStandardInstallDirectory") + "\\Common Files", files, "win32GetCommonDirectory");
            expect(true, files, "isDirectoryWritable", temp);
            call(files, "win32EnableAbort", true);
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
            call(environment, "winNTSetEnvironmentVariable", "FWSUITE", null, false);
            // A real Windows ME has its environment key; a new Wine prefix lacks it.
            registry.createKey(4, "SYSTEM\\CurrentControlSet\\Control", "SessionManager\\Environment");
            call(environment, "winMESetEnvironmentVariable", "FWSUITE", "C:\\fw");
            expect(version.equals("winme") ? "C:\\fw" : null, environment, "winMEGetRawEnvironmentVariable", "FWSUITE");
            call(environment, "winMESetEnvironmentVariable", "FWSUITE", null);
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
            call(services, "changeNTServiceConfig", name, config);
            expect(temp + "\\missing.exe", call(services, "queryNTServiceConfig", name), "getCommand");
            expect(name + " Service", services, "getNTServiceDisplayName", name);
            expect(name, services, "getNTServiceKeyName", name + " Service");
            check(Arrays.asList((String[]) call(services, "enumNTServiceKeys", 0x30, 3)).contains(name), "listed");
            call(services, "changeWin2kServiceDescription", name, "Checks the Java suite");
            expect("Checks the Java suite", services, "queryWin2kServiceDescription", name);
            // Wine takes failure actions and drops them: asking for them gives 124 (invalid level).
            Win2kServiceFailureActions actions = new Win2kServiceFailureActions();
            actions.addAction(new Win2kSCAction(1, 1000));
            call(services, "changeWin2kServiceFailureActions", name, actions);
            fails(OperationCodes.QUERY_WIN2K_SERVICE_FAILURE_ACTIONS, " (124)", services, "queryWin2kServiceFailureActions", name);
            fails(OperationCodes.START_NT_SERVICE, " (2)", services, "startNTService", name, new String[] {"first"});
            fails(OperationCodes.CONTROL_NT_SERVICE, " (1062)", services, "controlNTService", name, 1);
            expect(1, call(services, "queryNTServiceStatus", name), "getCurrentState");  // stopped
            expect(1, call(services, "queryWin2kServiceStatusProcess", name), "getCurrentState");
            call(services, "deleteNTService", name);
            expect(false, services, "serviceExists", name);
            check(new File((String) call(services, "getShortPath", temp)).getName().indexOf('~') > 0, "an 8.3 name");
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
