package com.fernwick.suite;

import static com.fernwick.suite.Suite.check;

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
import com.fernwick.wizard.platform.win32.WindowsFixedFileInfo;
import com.fernwick.wizard.platform.win32.environment.WindowsEnvironment;
import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kSCAction;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.service.ServiceException;

import java.io.File;
import java.util.Arrays;
import java.util.Collections;
import java.util.Enumeration;
import java.util.Vector;

/**
 * One case per method family: every method called, each kind of value a caller hands over or gets
 * back, and the answers that differ between the NT and the 9x family. The GoogleTest suite holds
 * the detailed behaviour and every failure path; these show the shipped DLL linking and working in
 * a real VM on every Windows version.
 */
final class Cases {
    private static final int CURRENT_USER = 3;
    private static final int LOCAL_MACHINE = 4;
    private static final String KEY = "Software\\Fernwick Java Suite";
    private static final long JAN_2003 = 126858528000000000L;  // FILETIME of 2003-01-01 00:00 UTC
    private static final long JAN_2003_MILLIS = 1041379200000L;

    private Cases() {
    }

    static void run(final Suite suite, String version) throws Throwable {
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
        registry.deleteKey(CURRENT_USER, "Software", "Fernwick Java Suite", false);

        suite.test("platform tests", () -> {
            // Wine reports "Service Pack 6a" and so on for the NT family, " A " and " " for 98 and ME.
            check(((String) suite.call(system, "getOSServiceLevel")).startsWith(nt ? "Service Pack " : " "), "the service pack");
            suite.expect(nt, system, "isWinNTor2K");
            suite.expect(version.equals("winme"), system, "isWinME");
            suite.expect(version.equals("win2k"), services, "isWin2k");
        });

        suite.test("registry", () -> {
            suite.call(registry, "createKey", CURRENT_USER, "Software", "Fernwick Java Suite\\sub");
            suite.expect(true, registry, "keyExists", CURRENT_USER, KEY + "\\sub");
            suite.expect(true, registry, "isKeyEmpty", CURRENT_USER, KEY + "\\sub");
            suite.call(registry, "setStringValue", CURRENT_USER, KEY, "s", false, "ab");
            suite.expect("ab", registry, "getStringValue", CURRENT_USER, KEY, "s", true);
            suite.call(registry, "setMultiStringValue", CURRENT_USER, KEY, "m", new String[] {"a", "c"});
            suite.expect(new String[] {"a", "c"}, registry, "getMultiStringValue", CURRENT_USER, KEY, "m");
            suite.call(registry, "set32BitValue", CURRENT_USER, KEY, "d", -2);
            suite.expect(-2, registry, "get32BitValue", CURRENT_USER, KEY, "d");
            byte[] sixteen = {1, 2, 0, -1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            suite.call(registry, "setBinaryValue", CURRENT_USER, KEY, "b", sixteen);
            suite.expect(sixteen, registry, "getBinaryValue", CURRENT_USER, KEY, "b");
            suite.expect(7, registry, "getValueType", CURRENT_USER, KEY, "m");  // REG_MULTI_SZ
            suite.expect(new String[] {"b", "d", "m", "s"}, registry, "getKeyValueNames", CURRENT_USER, KEY);  // Wine sorts them
            suite.expect(new String[] {"sub"}, registry, "getSubkeyNames", CURRENT_USER, KEY);
            suite.expect(1, registry, "countSubKeys", CURRENT_USER, KEY);
            suite.expect(4, registry, "countValuesInKey", CURRENT_USER, KEY);
            suite.expect(3, registry, "longestSubKeyNameLength", CURRENT_USER, KEY);
            suite.expect(1, registry, "longestValueNameLength", CURRENT_USER, KEY);
            suite.expect(16, registry, "longestValueNameData", CURRENT_USER, KEY);  // the binary value
            suite.call(registry, "deleteValue", CURRENT_USER, KEY, "s", true);
            suite.expect(false, registry, "valueExists", CURRENT_USER, KEY, "s");
            suite.fails(OperationCodes.GET_STRING_VALUE, "File not found.\r\n (2)", registry, "getStringValue", CURRENT_USER, KEY, "s", false);
            suite.call(registry, "deleteKey", CURRENT_USER, "Software", "Fernwick Java Suite", true);
        });

        suite.test("files, drives and standard directories", () -> {
            final String a = temp + "\\a.txt";
            final String b = temp + "\\b.txt";
            new File(a).createNewFile();
            suite.expect(0, files, "win32CopyFile", a, b, false);
            suite.expect(0, files, "win32MoveFile", a, b, true);
            FileAttributes attributes = (FileAttributes) suite.call(files, "getFileAttributes", b);
            check(!attributes.getAttributeState(FileAttributes.HIDDEN), "not hidden yet");
            attributes.setAttributeState(FileAttributes.HIDDEN, true);
            suite.call(files, "setFileAttributes", b, attributes);
            check(((FileAttributes) suite.call(files, "getFileAttributes", b)).getAttributeState(FileAttributes.HIDDEN), "hidden");
            suite.call(files, "win32SetFileTimes", b, JAN_2003, JAN_2003, JAN_2003);
            suite.call(files, "win32SetFileCreated", b, JAN_2003);
            suite.call(files, "win32SetFileModified", b, JAN_2003 + 10000000L);
            // Avian's File.lastModified counts seconds where other VMs count milliseconds.
            long modified = new File(b).lastModified();
            check(modified == JAN_2003_MILLIS + 1000 || modified == JAN_2003_MILLIS / 1000 + 1,
                    "modified 2003-01-01 00:00:01, read back as " + modified);
            suite.expect(0, files, "win32DeleteFile", b);
            new File(temp + "\\tree\\branch").mkdirs();
            suite.expect(0, files, "win32DeleteDirectory", temp + "\\tree", false, true);
            // The test prefix adds a floppy (A:), a CD-ROM (D:) and a network drive (N:) to C: and Z:.
            suite.expect(new String[] {"A:\\", "C:\\", "D:\\", "N:\\", "Z:\\"}, files, "getPartitionNames");
            suite.expect(4, files, "getPartitionType", "D:\\");
            suite.expect("NTFS", files, "getPartitionFormat", "C:\\");
            check((Long) suite.call(files, "getPartitionFreeSpace", "C:\\") > 0, "free space on C:");
            suite.expect(true, files, "supportsLongFileNames", "C:\\");
            check(((String) suite.call(files, "getTempDirectory")).endsWith("\\"), "the temporary directory ends with a backslash");
            check(((String) suite.call(files, "win32GetWindowsDirectory")).equalsIgnoreCase("C:\\windows"), "the Windows directory");
            check(((String) suite.call(files, "getLibraryDirectory")).equalsIgnoreCase("C:\\windows\\system32"), "the system directory");
            String programFiles = (String) suite.call(files, "getStandardInstallDirectory");  // or "... (x86)" for a 32-bit VM
            check(programFiles.startsWith("C:\\Program Files"), programFiles);
            suite.expect(programFiles + "\\Common Files", files, "win32GetCommonDirectory");
            suite.expect(true, files, "isDirectoryWritable", temp);
            suite.call(files, "win32EnableAbort", true);
        });

        suite.test("program folders, shortcuts and owners", () -> {
            suite.call(desktop, "createDesktopFolder", temp, "Fernwick\\Tools");
            suite.call(desktop, "createDesktopItem", temp, "Fernwick\\Tools", "Editor", "C:\\windows\\notepad.exe", "-x", null, null);
            // No file security on Windows 9x: every owner method is refused. Wine reports every file
            // as the Linux user's, and a new owner as set while keeping none.
            for (String owner : new String[] {"Owner", "OwnerGroup"}) {
                onNtOnly(suite, nt, new Object[][] {
                    {files, "getFile" + owner, temp},
                    {files, "setFile" + owner, temp, "Administrators"},
                    {desktop, "getDesktopItem" + owner, temp, "Fernwick\\Tools", "Editor"},
                    {desktop, "setDesktopItem" + owner, temp, "Fernwick\\Tools", "Editor", "Administrators"},
                    {desktop, "getDesktopFolder" + owner, temp, "Fernwick\\Tools"},
                    {desktop, "setDesktopFolder" + owner, temp, "Fernwick\\Tools", "Administrators"},
                });
            }
            suite.call(desktop, "setDesktopItemAttributes", temp, "Fernwick\\Tools", "Editor",
                    suite.call(desktop, "getDesktopItemAttributes", temp, "Fernwick\\Tools", "Editor"));
            suite.call(desktop, "setDesktopFolderAttributes", temp, "Fernwick\\Tools",
                    suite.call(desktop, "getDesktopFolderAttributes", temp, "Fernwick\\Tools"));
            suite.call(desktop, "removeDesktopItem", temp, "Fernwick\\Tools", "Editor");
            suite.call(desktop, "removeDesktopFolder", temp, "Fernwick\\Tools");
        });

        suite.test("uninstaller, start-up commands and the boot directory", () -> {
            Win32ProductServiceImpl product = new Win32ProductServiceImpl();
            suite.call(product, "win32RegisterUninstaller", "FernwickJavaSuite", "Fernwick Java Suite", "u.exe");
            suite.call(product, "win32UnregisterUninstaller", "FernwickJavaSuite", null);
            suite.call(system, "addSystemStartupCommand", "fwsuite.exe /finish");
            Enumeration<?> commands = (Enumeration<?>) suite.call(system, "systemStartupCommands");
            check(commands.nextElement().equals("fwsuite.exe /finish") && !commands.hasMoreElements(), "the command listed");
            suite.call(system, "removeSystemStartupCommand", "fwsuite.exe /finish");
            suite.expect("C:\\", system, "getBootDirectory");  // as the prefix's Setup key says
            // The list is read before the clean-up program, which is not there, is looked for.
            suite.fails(OperationCodes.NATIVE_DELETE_FILES_AFTER_EXIT, " (2)", system, "nativeDeleteFilesAfterExit",
                    Collections.enumeration(Arrays.asList(temp + "\\later.txt")), new Vector<String>().elements(), true,
                    temp + "\\missing.exe");
        });

        suite.test("environment variables", () -> {
            suite.call(environment, "setProcessEnvironmentVariable", "FWSUITE", "process value");
            suite.expect("process value", environment, "getProcessEnvironmentVariable", "FWSUITE");
            suite.call(environment, "setProcessEnvironmentVariable", "FWSUITE", null);
            suite.expect(null, environment, "getProcessEnvironmentVariable", "FWSUITE");
            // Each family's persistent form does nothing elsewhere.
            suite.call(environment, "winNTSetEnvironmentVariable", "FWSUITE", "%SystemRoot%\\fw", false);
            suite.expect(nt ? "%SystemRoot%\\fw" : null, environment, "winNTGetRawEnvironmentVariable", "FWSUITE", false);
            suite.call(environment, "winNTSetEnvironmentVariable", "FWSUITE", null, false);
            // A real Windows ME has its environment key; a new Wine prefix lacks it.
            registry.createKey(LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control", "SessionManager\\Environment");
            suite.call(environment, "winMESetEnvironmentVariable", "FWSUITE", "C:\\fw");
            suite.expect(version.equals("winme") ? "C:\\fw" : null, environment, "winMEGetRawEnvironmentVariable", "FWSUITE");
            suite.call(environment, "winMESetEnvironmentVariable", "FWSUITE", null);
        });

        suite.test("windows services", () -> {
            // The service's program is not there: it never runs, and goes as soon as it is deleted.
            final String name = "FwJavaSuiteSvc";
            NTServiceConfig config = new NTServiceConfig();
            config.setServiceType(0x10);  // own process
            config.setStartType(3);       // on demand
            config.setErrorControl(1);
            config.setCommand(temp + "\\missing.exe");
            suite.call(services, "createNTService", name, config);
            config.setDisplayName("Fernwick Java Suite Service");
            suite.call(services, "changeNTServiceConfig", name, config);
            NTServiceConfig read = (NTServiceConfig) suite.call(services, "queryNTServiceConfig", name);
            check(read.getStartType() == 3 && read.getCommand().equals(temp + "\\missing.exe"), "the configuration read back");
            suite.expect("Fernwick Java Suite Service", services, "getNTServiceDisplayName", name);
            suite.expect(name, services, "getNTServiceKeyName", "Fernwick Java Suite Service");
            check(Arrays.asList((String[]) suite.call(services, "enumNTServiceKeys", 0x30, 3)).contains(name), "listed");
            suite.call(services, "changeWin2kServiceDescription", name, "Checks the Java suite");
            suite.expect("Checks the Java suite", services, "queryWin2kServiceDescription", name);
            // Wine takes failure actions and drops them: asking for them gives 124 (invalid level).
            Win2kServiceFailureActions actions = new Win2kServiceFailureActions();
            actions.addAction(new Win2kSCAction(1, 1000));
            suite.call(services, "changeWin2kServiceFailureActions", name, actions);
            suite.fails(OperationCodes.QUERY_WIN2K_SERVICE_FAILURE_ACTIONS, " (124)", services, "queryWin2kServiceFailureActions", name);
            suite.fails(OperationCodes.START_NT_SERVICE, " (2)", services, "startNTService", name, new String[] {"first"});
            suite.fails(OperationCodes.CONTROL_NT_SERVICE, " (1062)", services, "controlNTService", name, 1);
            check(((NTServiceStatus) suite.call(services, "queryNTServiceStatus", name)).getCurrentState() == 1, "stopped");
            Win2kServiceStatusProcess process = (Win2kServiceStatusProcess) suite.call(services, "queryWin2kServiceStatusProcess", name);
            check(process.getCurrentState() == 1 && process.getProcessId() == 0, "stopped, in no process");
            suite.call(services, "deleteNTService", name);
            suite.expect(false, services, "serviceExists", name);
            String shortPath = (String) suite.call(services, "getShortPath", temp);
            check(!shortPath.endsWith("fwnative-java-suite") && new File(shortPath).isDirectory(), "short form " + shortPath);
            // The tests' service program beside the DLL carries version 1.2.3.4, product version 5.6.7.8.
            WindowsFixedFileInfo info = (WindowsFixedFileInfo) suite.call(services, "getFixedFileInfo",
                    new File("fwtestsvc.exe").getAbsolutePath());
            check(info.getFileVersionMS() == 0x00010002 && info.getProductVersionLS() == 0x00070008, "version read");
        });

        // Wine keeps no accounts (and ends the process in NetUserSetInfo): only what it answers for
        // real is called here; the GoogleTest suite drives the rest through a store of its own.
        suite.test("local users and groups, process affinity", () -> {
            suite.expect(true, security, "isCurrentUserAdmin");  // Wine runs programs as administrators
            suite.fails(OperationCodes.E_INVALIDARG, null, security, "win32CreateUser", new String[8], null);
            suite.fails(nt ? OperationCodes.DELETE_USER : ServiceException.OPERATION_NOT_SUPPORTED, nt ? " (2221)" : null,
                    security, "deleteUser", "NoSuchUserForFernwick");
            onNtOnly(suite, nt, new Object[][] {  // Wine's stubs answer 0
                {security, "win32CreateGroup", "Fernwick Java Suite", new String[0]},
                {security, "deleteGroup", "Fernwick Java Suite"},
            });
            suite.call(new Win32WizardInitializeServiceImpl(), "setProcessAffinity");  // one processor from here on
        });
    }

    /** Makes these calls on the NT family, where a name they answer is not empty; Windows 9x refuses each. */
    private static void onNtOnly(Suite suite, boolean nt, Object[][] calls) throws Throwable {
        for (Object[] call : calls) {
            if (nt) {
                Object answer = suite.call(call);
                check(answer == null || ((String) answer).length() > 0, call[1] + " answers a name");
            } else {
                suite.fails(ServiceException.OPERATION_NOT_SUPPORTED, null, call);
            }
        }
    }
}
