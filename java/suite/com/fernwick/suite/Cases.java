package com.fernwick.suite;

import static com.fernwick.suite.Suite.check;
import static com.fernwick.suite.Suite.elements;
import static com.fernwick.suite.Suite.fails;
import static com.fernwick.suite.Suite.same;

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
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kSCAction;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceFailureActions;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.platform.win32.WindowsFixedFileInfo;

import java.io.File;
import java.io.FileOutputStream;

/**
 * One case per method family: a round trip through the methods, then the failure a caller meets
 * most often. The GoogleTest suite holds the detailed behaviour; these show the shipped DLL working
 * in a real VM on every Windows version.
 */
final class Cases {
    private static final int CURRENT_USER = 3;
    private static final int LOCAL_MACHINE = 4;
    private static final String KEY = "Software\\Fernwick Java Suite";
    private static final String UNINSTALL = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    private static final String SETUP = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
    private static final long JAN_2003 = 126858528000000000L;  // FILETIME of 2003-01-01 00:00 UTC
    private static final long JAN_2003_MILLIS = 1041379200000L;

    private Cases() {
    }

    private static void write(String path, String text) throws Exception {
        FileOutputStream out = new FileOutputStream(path);
        out.write(text.getBytes("UTF-8"));
        out.close();
    }

    static void addAll(Suite suite, final Platform platform) throws Exception {
        final Win32RegistryServiceImpl registry = new Win32RegistryServiceImpl();
        final Win32FileServiceImpl files = new Win32FileServiceImpl();
        final Win32DesktopServiceImpl desktop = new Win32DesktopServiceImpl();
        final Win32ProductServiceImpl product = new Win32ProductServiceImpl();
        final Win32SystemUtilServiceImpl system = new Win32SystemUtilServiceImpl();
        final WindowsEnvironment environment = new WindowsEnvironment();
        final Win32ServiceImpl services = new Win32ServiceImpl();
        final Win32WizardInitializeServiceImpl wizard = new Win32WizardInitializeServiceImpl();
        final Win32SecurityServiceImpl security = new Win32SecurityServiceImpl();
        final String temp = environment.getProcessEnvironmentVariable("TEMP") + "\\fwnative-java-suite";
        new File(temp).mkdirs();
        registry.deleteKey(CURRENT_USER, "Software", "Fernwick Java Suite", false);

        suite.add("platform tests", "Win32SystemUtilServiceImpl.isWinNTor2K Win32SystemUtilServiceImpl.isWinME "
                + "Win32ServiceImpl.isWin2k Win32SystemUtilServiceImpl.getOSServiceLevel", () -> {
            same(!platform.windows9x, system.isWinNTor2K());
            same(platform.windowsMe, system.isWinME());
            same(platform.windows2000, services.isWin2k());
            same(platform.servicePack, system.getOSServiceLevel());
        });

        suite.add("registry keys and values", "Win32RegistryServiceImpl.createKey Win32RegistryServiceImpl.keyExists "
                + "Win32RegistryServiceImpl.isKeyEmpty Win32RegistryServiceImpl.setStringValue "
                + "Win32RegistryServiceImpl.getStringValue Win32RegistryServiceImpl.setMultiStringValue "
                + "Win32RegistryServiceImpl.getMultiStringValue Win32RegistryServiceImpl.set32BitValue "
                + "Win32RegistryServiceImpl.get32BitValue Win32RegistryServiceImpl.setBinaryValue "
                + "Win32RegistryServiceImpl.getBinaryValue Win32RegistryServiceImpl.getValueType "
                + "Win32RegistryServiceImpl.valueExists Win32RegistryServiceImpl.deleteValue "
                + "Win32RegistryServiceImpl.deleteKey", () -> {
            registry.createKey(CURRENT_USER, "Software", "Fernwick Java Suite\\sub");
            same(true, registry.keyExists(CURRENT_USER, KEY + "\\sub"));
            same(true, registry.isKeyEmpty(CURRENT_USER, KEY + "\\sub"));
            registry.setStringValue(CURRENT_USER, KEY, "s", false, "ab");
            same("ab", registry.getStringValue(CURRENT_USER, KEY, "s", true));
            registry.setMultiStringValue(CURRENT_USER, KEY, "m", new String[] {"a", "c"});
            same(new String[] {"a", "c"}, registry.getMultiStringValue(CURRENT_USER, KEY, "m"));
            registry.set32BitValue(CURRENT_USER, KEY, "d", -2);
            same(-2, registry.get32BitValue(CURRENT_USER, KEY, "d"));
            byte[] sixteen = {1, 2, 0, -1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            registry.setBinaryValue(CURRENT_USER, KEY, "b", sixteen);
            same(sixteen, registry.getBinaryValue(CURRENT_USER, KEY, "b"));
            same(7, registry.getValueType(CURRENT_USER, KEY, "m"));  // REG_MULTI_SZ
            registry.deleteValue(CURRENT_USER, KEY, "s", true);
            same(false, registry.valueExists(CURRENT_USER, KEY, "s"));
            registry.deleteKey(CURRENT_USER, KEY, "sub", true);
            same(false, registry.keyExists(CURRENT_USER, KEY + "\\sub"));
            fails(OperationCodes.GET_STRING_VALUE, 2, () -> registry.getStringValue(CURRENT_USER, KEY, "s", false));
            fails(OperationCodes.DELETE_KEY, 1010, () -> {
                registry.deleteKey(CURRENT_USER, KEY, "", false);
                return null;
            });
        });

        suite.add("registry listings and key facts", "Win32RegistryServiceImpl.getKeyValueNames "
                + "Win32RegistryServiceImpl.getSubkeyNames Win32RegistryServiceImpl.countSubKeys "
                + "Win32RegistryServiceImpl.countValuesInKey Win32RegistryServiceImpl.longestSubKeyNameLength "
                + "Win32RegistryServiceImpl.longestValueNameLength Win32RegistryServiceImpl.longestValueNameData", () -> {
            registry.createKey(CURRENT_USER, KEY, "child");
            same(new String[] {"child"}, registry.getSubkeyNames(CURRENT_USER, KEY));
            same(new String[] {"b", "d", "m"}, registry.getKeyValueNames(CURRENT_USER, KEY));  // Wine lists them sorted
            same(1, registry.countSubKeys(CURRENT_USER, KEY));
            same(3, registry.countValuesInKey(CURRENT_USER, KEY));
            same(5, registry.longestSubKeyNameLength(CURRENT_USER, KEY));
            same(1, registry.longestValueNameLength(CURRENT_USER, KEY));
            same(16, registry.longestValueNameData(CURRENT_USER, KEY));  // the binary value
            registry.deleteKey(CURRENT_USER, "Software", "Fernwick Java Suite", true);
            fails(OperationCodes.COUNT_SUB_KEYS, 2, () -> registry.countSubKeys(CURRENT_USER, KEY));
        });

        final String a = temp + "\\a.txt";
        final String b = temp + "\\b.txt";
        suite.add("file copy, move and delete", "Win32FileServiceImpl.win32CopyFile Win32FileServiceImpl.win32MoveFile "
                + "Win32FileServiceImpl.win32DeleteFile", () -> {
            write(a, "contents");
            same(0, files.win32CopyFile(a, b, false));
            fails(OperationCodes.WIN32_COPY_FILE, 80, () -> files.win32CopyFile(a, b, false));
            same(0, files.win32MoveFile(a, b, true));
            check(!new File(a).exists() && new File(b).length() == 8, "moved over the copy");
            same(0, files.win32DeleteFile(b));
            fails(OperationCodes.WIN32_DELETE_FILE, 2, () -> files.win32DeleteFile(b));
        });

        suite.add("file attributes and times", "Win32FileServiceImpl.getFileAttributes "
                + "Win32FileServiceImpl.setFileAttributes Win32FileServiceImpl.win32SetFileTimes "
                + "Win32FileServiceImpl.win32SetFileModified Win32FileServiceImpl.win32SetFileCreated", () -> {
            write(a, "x");
            FileAttributes attributes = files.getFileAttributes(a);
            same(true, attributes.getAttributeState(FileAttributes.OWNER_WRITEABLE));
            attributes.setAttributeState(FileAttributes.OWNER_WRITEABLE, false);
            attributes.setAttributeState(FileAttributes.GROUP_WRITEABLE, false);
            attributes.setAttributeState(FileAttributes.WORLD_WRITEABLE, false);
            attributes.setAttributeState(FileAttributes.HIDDEN, true);
            files.setFileAttributes(a, attributes);
            FileAttributes read = files.getFileAttributes(a);
            same(false, read.getAttributeState(FileAttributes.OWNER_WRITEABLE));
            same(true, read.getAttributeState(FileAttributes.HIDDEN));
            // A read-only file gets its times all the same and stays read-only.
            files.win32SetFileTimes(a, JAN_2003, JAN_2003, JAN_2003);
            files.win32SetFileCreated(a, JAN_2003);
            files.win32SetFileModified(a, JAN_2003 + 10000000L);
            // Avian's File.lastModified counts seconds where other VMs count milliseconds.
            long modified = new File(a).lastModified();
            check(modified == JAN_2003_MILLIS + 1000 || modified == JAN_2003_MILLIS / 1000 + 1,
                    "modified 2003-01-01 00:00:01, read back as " + modified);
            same(false, files.getFileAttributes(a).getAttributeState(FileAttributes.OWNER_WRITEABLE));
            fails(OperationCodes.GET_FILE_ATTRIBUTES, 2, () -> files.getFileAttributes(temp + "\\missing"));
            fails(OperationCodes.SET_FILE_ATTRIBUTES, 0x80070057L, () -> {
                files.setFileAttributes(a, null);
                return null;
            });
            fails(OperationCodes.WIN32_SET_FILE_MODIFIED, 2, () -> {
                files.win32SetFileModified(temp + "\\missing", JAN_2003);
                return null;
            });
            same(0, files.win32DeleteFile(a));  // read-only and hidden: deleted all the same
        });

        suite.add("drives and standard directories", "Win32FileServiceImpl.getPartitionNames "
                + "Win32FileServiceImpl.getPartitionType Win32FileServiceImpl.getPartitionFormat "
                + "Win32FileServiceImpl.getPartitionFreeSpace Win32FileServiceImpl.supportsLongFileNames "
                + "Win32FileServiceImpl.getTempDirectory Win32FileServiceImpl.win32GetWindowsDirectory "
                + "Win32FileServiceImpl.getLibraryDirectory Win32FileServiceImpl.getStandardInstallDirectory "
                + "Win32FileServiceImpl.win32GetCommonDirectory Win32FileServiceImpl.isDirectoryWritable "
                + "Win32FileServiceImpl.win32EnableAbort", () -> {
            // The test prefix adds a floppy (A:), a CD-ROM (D:) and a network drive (N:) to C: and Z:.
            same(new String[] {"A:\\", "C:\\", "D:\\", "N:\\", "Z:\\"}, files.getPartitionNames());
            same(new Integer[] {2, 1, 4, 3, -1}, new Integer[] {files.getPartitionType("A:\\"),
                files.getPartitionType("C:\\"), files.getPartitionType("D:\\"), files.getPartitionType("N:\\"),
                files.getPartitionType("Q:\\")});
            same("NTFS", files.getPartitionFormat("C:\\"));
            check(files.getPartitionFreeSpace("C:\\") > 0, "free space on C:");
            same(true, files.supportsLongFileNames("C:\\"));
            fails(OperationCodes.GET_PARTITION_FORMAT, 3, () -> files.getPartitionFormat("Q:\\"));
            check(files.getTempDirectory().endsWith("\\"), "the temporary directory ends with a backslash");
            same("c:\\windows", files.win32GetWindowsDirectory().toLowerCase());
            same("c:\\windows\\system32", files.getLibraryDirectory().toLowerCase());
            // A 32-bit VM on 64-bit Windows sees the 32-bit view of the registry: "Program Files (x86)".
            String programFiles = files.getStandardInstallDirectory();
            check(programFiles.equals("C:\\Program Files") || programFiles.equals("C:\\Program Files (x86)"), programFiles);
            same(programFiles + "\\Common Files", files.win32GetCommonDirectory());
            same(true, files.isDirectoryWritable(temp));
            same(false, files.isDirectoryWritable(temp + "\\missing"));
            fails(OperationCodes.E_INVALIDARG, -1, () -> files.isDirectoryWritable(""));
            files.win32EnableAbort(false);
            same(true, files.win32EnableAbort(true));
        });

        suite.add("directory tree removal", "Win32FileServiceImpl.win32DeleteDirectory", () -> {
            new File(temp + "\\tree\\a\\b").mkdirs();
            write(temp + "\\tree\\a\\b\\deep.txt", "x");
            write(temp + "\\tree\\top.txt", "x");
            same(0, files.win32DeleteDirectory(temp + "\\tree", false, true));
            check(!new File(temp + "\\tree").exists(), "the tree is gone");
            fails(OperationCodes.WIN32_DELETE_DIRECTORY, 3, () -> files.win32DeleteDirectory(temp + "\\tree", false, true));
        });

        suite.add("program folders and shortcuts", "Win32DesktopServiceImpl.createDesktopFolder "
                + "Win32DesktopServiceImpl.createDesktopItem Win32DesktopServiceImpl.removeDesktopItem "
                + "Win32DesktopServiceImpl.removeDesktopFolder", () -> {
            desktop.createDesktopFolder(temp, "Fernwick\\Tools");
            desktop.createDesktopItem(temp, "Fernwick\\Tools", "Editor", "C:\\windows\\notepad.exe", "-x", null, null);
            check(new File(temp + "\\Fernwick\\Tools\\Editor.lnk").isFile(), "the link is written");
            desktop.removeDesktopItem(temp, "Fernwick\\Tools", "Editor");
            check(!new File(temp + "\\Fernwick\\Tools\\Editor.lnk").exists(), "the link is removed");
            desktop.removeDesktopFolder(temp, "Fernwick\\Tools");
            check(!new File(temp + "\\Fernwick").exists(), "the folders are removed");
            fails(OperationCodes.CREATE_DESKTOP_ITEM, 87, () -> {
                desktop.createDesktopItem(temp, "Fernwick", "Editor", null, null, null, null);
                return null;
            });
        });

        suite.add("owners, and the desktop's owners and attributes", "Win32FileServiceImpl.getFileOwner "
                + "Win32FileServiceImpl.getFileOwnerGroup Win32FileServiceImpl.setFileOwner "
                + "Win32FileServiceImpl.setFileOwnerGroup Win32DesktopServiceImpl.getDesktopItemOwner "
                + "Win32DesktopServiceImpl.setDesktopItemOwner Win32DesktopServiceImpl.getDesktopItemOwnerGroup "
                + "Win32DesktopServiceImpl.setDesktopItemOwnerGroup Win32DesktopServiceImpl.getDesktopFolderOwner "
                + "Win32DesktopServiceImpl.setDesktopFolderOwner Win32DesktopServiceImpl.getDesktopFolderOwnerGroup "
                + "Win32DesktopServiceImpl.setDesktopFolderOwnerGroup Win32DesktopServiceImpl.getDesktopItemAttributes "
                + "Win32DesktopServiceImpl.setDesktopItemAttributes Win32DesktopServiceImpl.getDesktopFolderAttributes "
                + "Win32DesktopServiceImpl.setDesktopFolderAttributes", () -> {
            desktop.createDesktopFolder(temp, "Owned");
            desktop.createDesktopItem(temp, "Owned", "Editor", "C:\\windows\\notepad.exe", null, null, null);
            if (platform.windows9x) {
                // No file security on Windows 9x: every owner method is refused; attributes work.
                int refused = com.fernwick.wizard.service.ServiceException.OPERATION_NOT_SUPPORTED;
                fails(refused, -1, () -> files.getFileOwner(temp));
                fails(refused, -1, () -> desktop.getDesktopFolderOwner(temp, "Owned"));
            } else {
                // Wine reports every file as the Linux user's, and a new owner as set while keeping none.
                String owner = files.getFileOwner(temp);
                check(owner.length() > 0 && owner.indexOf('\\') < 0, "a bare account name: " + owner);
                check(files.getFileOwnerGroup(temp).length() > 0, "an owner group");
                files.setFileOwner(temp, "Administrators");
                files.setFileOwnerGroup(temp, "Administrators");
                fails(OperationCodes.SET_FILE_OWNER, 1332, () -> {
                    files.setFileOwner(temp, "NoSuchAccountForFernwick");
                    return null;
                });
                same(owner, desktop.getDesktopItemOwner(temp, "Owned", "Editor"));
                same(owner, desktop.getDesktopFolderOwner(temp, "Owned"));
                check(desktop.getDesktopItemOwnerGroup(temp, "Owned", "Editor").length() > 0, "the item's group");
                check(desktop.getDesktopFolderOwnerGroup(temp, "Owned").length() > 0, "the folder's group");
                desktop.setDesktopItemOwner(temp, "Owned", "Editor", "Administrators");
                desktop.setDesktopItemOwnerGroup(temp, "Owned", "Editor", "Administrators");
                desktop.setDesktopFolderOwner(temp, "Owned", "Administrators");
                desktop.setDesktopFolderOwnerGroup(temp, "Owned", "Administrators");
            }
            FileAttributes item = desktop.getDesktopItemAttributes(temp, "Owned", "Editor");
            item.setAttributeState(FileAttributes.HIDDEN, true);
            desktop.setDesktopItemAttributes(temp, "Owned", "Editor", item);
            same(true, desktop.getDesktopItemAttributes(temp, "Owned", "Editor").getAttributeState(FileAttributes.HIDDEN));
            FileAttributes folder = desktop.getDesktopFolderAttributes(temp, "Owned");
            same(true, folder.getAttributeState(FileAttributes.OWNER_EXECUTABLE));  // a directory
            desktop.setDesktopFolderAttributes(temp, "Owned", folder);
            fails(OperationCodes.GET_DESKTOP_ITEM_ATTRIBUTES, 2, () -> desktop.getDesktopItemAttributes(temp, "Owned", "None"));
            desktop.removeDesktopItem(temp, "Owned", "Editor");
            desktop.removeDesktopFolder(temp, "Owned");
        });

        suite.add("uninstaller registration", "Win32ProductServiceImpl.win32RegisterUninstaller "
                + "Win32ProductServiceImpl.win32UnregisterUninstaller", () -> {
            product.win32RegisterUninstaller("FernwickJavaSuite", "Fernwick Java Suite", "uninstall.exe /S");
            // Wine runs programs as administrators: the entry is the machine's.
            same("uninstall.exe /S", registry.getStringValue(LOCAL_MACHINE, UNINSTALL + "\\FernwickJavaSuite",
                    "UninstallString", false));
            product.win32UnregisterUninstaller("FernwickJavaSuite", null);
            same(false, registry.keyExists(LOCAL_MACHINE, UNINSTALL + "\\FernwickJavaSuite"));
            fails(OperationCodes.WIN32_UNREGISTER_UNINSTALLER, 87, () -> {
                product.win32UnregisterUninstaller("", null);
                return null;
            });
        });

        suite.add("start-up commands and the boot directory", "Win32SystemUtilServiceImpl.addSystemStartupCommand "
                + "Win32SystemUtilServiceImpl.systemStartupCommands Win32SystemUtilServiceImpl.removeSystemStartupCommand "
                + "Win32SystemUtilServiceImpl.getBootDirectory Win32SystemUtilServiceImpl.nativeDeleteFilesAfterExit", () -> {
            // Nothing to hand over starts nothing; a clean-up program that is not there is an error.
            system.nativeDeleteFilesAfterExit(new java.util.Vector<String>().elements(),
                    new java.util.Vector<String>().elements(), false, temp + "\\missing.exe");
            java.util.Vector<String> later = new java.util.Vector<String>();
            later.addElement(temp + "\\later.txt");
            fails(OperationCodes.NATIVE_DELETE_FILES_AFTER_EXIT, 2, () -> {
                system.nativeDeleteFilesAfterExit(later.elements(), new java.util.Vector<String>().elements(), true,
                        temp + "\\missing.exe");
                return null;
            });
            system.addSystemStartupCommand("fwsuite.exe /finish");
            same(new String[] {"fwsuite.exe /finish"}, elements(system.systemStartupCommands()));
            system.removeSystemStartupCommand("fwsuite.exe /finish");
            same(new String[0], elements(system.systemStartupCommands()));
            fails(OperationCodes.ADD_SYSTEM_STARTUP_COMMAND, 0x80070057L, () -> {
                system.addSystemStartupCommand("");
                return null;
            });
            String bootDir = registry.valueExists(LOCAL_MACHINE, SETUP, "BootDir")
                    ? registry.getStringValue(LOCAL_MACHINE, SETUP, "BootDir", false) : null;
            registry.setStringValue(LOCAL_MACHINE, SETUP, "BootDir", false, "C:\\");
            same("C:\\", system.getBootDirectory());
            registry.deleteValue(LOCAL_MACHINE, SETUP, "BootDir", true);
            fails(OperationCodes.GET_BOOT_DIRECTORY, 2, () -> system.getBootDirectory());
            if (bootDir != null) {
                registry.setStringValue(LOCAL_MACHINE, SETUP, "BootDir", false, bootDir);
            }
        });

        suite.add("environment variables", "WindowsEnvironment.setProcessEnvironmentVariable "
                + "WindowsEnvironment.getProcessEnvironmentVariable WindowsEnvironment.winNTSetEnvironmentVariable "
                + "WindowsEnvironment.winNTGetRawEnvironmentVariable WindowsEnvironment.winMESetEnvironmentVariable "
                + "WindowsEnvironment.winMEGetRawEnvironmentVariable", () -> {
            environment.setProcessEnvironmentVariable("FWSUITE", "process value");
            same("process value", environment.getProcessEnvironmentVariable("FWSUITE"));
            environment.setProcessEnvironmentVariable("FWSUITE", null);
            same(null, environment.getProcessEnvironmentVariable("FWSUITE"));
            // Each family's persistent form does nothing elsewhere.
            environment.winNTSetEnvironmentVariable("FWSUITE", "%SystemRoot%\\fw", false);
            same(platform.windows9x ? null : "%SystemRoot%\\fw", environment.winNTGetRawEnvironmentVariable("FWSUITE", false));
            environment.winNTSetEnvironmentVariable("FWSUITE", null, false);
            // A real Windows ME has its environment key; a new Wine prefix lacks it.
            registry.createKey(LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control", "SessionManager\\Environment");
            environment.winMESetEnvironmentVariable("FWSUITE", "C:\\fw");
            same(platform.windowsMe ? "C:\\fw" : null, environment.winMEGetRawEnvironmentVariable("FWSUITE"));
            environment.winMESetEnvironmentVariable("FWSUITE", null);
            same(null, environment.winNTGetRawEnvironmentVariable("FWSUITE", false));
        });

        // fwtestsvc.exe, the tests' own service program, lies beside the DLL; a 32-bit one starts in
        // about a minute here.
        final String serviceName = "FwJavaSuiteSvc";
        final String serviceCommand = "\"" + new File("fwtestsvc.exe").getAbsolutePath() + "\" \"" + temp + "\\record.txt\"";
        suite.add("windows services", "Win32ServiceImpl.createNTService Win32ServiceImpl.serviceExists "
                + "Win32ServiceImpl.queryNTServiceConfig Win32ServiceImpl.changeNTServiceConfig "
                + "Win32ServiceImpl.getNTServiceDisplayName Win32ServiceImpl.getNTServiceKeyName "
                + "Win32ServiceImpl.enumNTServiceKeys Win32ServiceImpl.startNTService Win32ServiceImpl.queryNTServiceStatus "
                + "Win32ServiceImpl.controlNTService Win32ServiceImpl.deleteNTService "
                + "Win32ServiceImpl.changeWin2kServiceDescription Win32ServiceImpl.queryWin2kServiceDescription "
                + "Win32ServiceImpl.queryWin2kServiceStatusProcess Win32ServiceImpl.changeWin2kServiceFailureActions "
                + "Win32ServiceImpl.queryWin2kServiceFailureActions", () -> {
            NTServiceConfig config = new NTServiceConfig();
            config.setDisplayName("Fernwick Java Suite Service");
            config.setServiceType(0x10);  // own process
            config.setStartType(3);       // on demand
            config.setErrorControl(1);
            config.setCommand(serviceCommand);
            services.createNTService(serviceName, config);
            same(true, services.serviceExists(serviceName));
            // A fresh configuration changes only what is set on it: here the display name.
            NTServiceConfig rename = new NTServiceConfig();
            rename.setDisplayName("Fernwick Java Suite Service 2");
            services.changeNTServiceConfig(serviceName, rename);
            NTServiceConfig read = services.queryNTServiceConfig(serviceName);
            same("Fernwick Java Suite Service 2", read.getDisplayName());
            same(0x10, read.getServiceType());
            same(3, read.getStartType());
            same(serviceCommand, read.getCommand());
            same(null, read.getPassword());
            same("Fernwick Java Suite Service 2", services.getNTServiceDisplayName(serviceName));
            same(serviceName, services.getNTServiceKeyName("Fernwick Java Suite Service 2"));
            check(java.util.Arrays.asList(services.enumNTServiceKeys(0x30, 3)).contains(serviceName), "listed");
            services.changeWin2kServiceDescription(serviceName, "Checks the Java suite");
            same("Checks the Java suite", services.queryWin2kServiceDescription(serviceName));
            // Wine takes failure actions and drops them: asking for them gives 124 (invalid level).
            Win2kServiceFailureActions actions = new Win2kServiceFailureActions();
            actions.setResetPeriod(60);
            actions.addAction(new Win2kSCAction(1, 1000));
            services.changeWin2kServiceFailureActions(serviceName, actions);
            fails(OperationCodes.QUERY_WIN2K_SERVICE_FAILURE_ACTIONS, 124,
                    () -> services.queryWin2kServiceFailureActions(serviceName));
            services.startNTService(serviceName, new String[] {"first"});
            long end = System.currentTimeMillis() + 240000;
            while (services.queryNTServiceStatus(serviceName).getCurrentState() != 4) {
                check(System.currentTimeMillis() < end, "the service reaches RUNNING");
                Thread.sleep(50);
            }
            Win2kServiceStatusProcess process = services.queryWin2kServiceStatusProcess(serviceName);
            check(process.getCurrentState() == 4 && process.getProcessId() != 0, "running in a process of its own");
            NTServiceStatus stopping = services.controlNTService(serviceName, 1);
            check(stopping.getCurrentState() == 3 || stopping.getCurrentState() == 1, "stop accepted");
            services.deleteNTService(serviceName);
            while (services.serviceExists(serviceName)) {
                check(System.currentTimeMillis() < end, "the service goes once stopped");
                Thread.sleep(50);
            }
            fails(OperationCodes.QUERY_NT_SERVICE_STATUS, 1060, () -> services.queryNTServiceStatus(serviceName));
        });

        suite.add("short paths and version information", "Win32ServiceImpl.getShortPath Win32ServiceImpl.getFixedFileInfo",
                () -> {
            new File(temp + "\\a long folder name").mkdirs();
            String shortPath = services.getShortPath(temp + "\\a long folder name");
            check(!shortPath.endsWith("a long folder name") && new File(shortPath).isDirectory(), "short form " + shortPath);
            fails(OperationCodes.GET_SHORT_PATH, 2, () -> services.getShortPath(temp + "\\missing"));
            // The tests' service program carries version 1.2.3.4, product version 5.6.7.8.
            WindowsFixedFileInfo info = services.getFixedFileInfo(new File("fwtestsvc.exe").getAbsolutePath());
            same(0x00010002, info.getFileVersionMS());
            same(0x00070008, info.getProductVersionLS());
            same(null, services.getFixedFileInfo(temp + "\\missing.dll"));
        });

        // Wine keeps no accounts (and ends the process in NetUserSetInfo): only what it answers for
        // real is called here; the GoogleTest suite drives the rest through a store of its own.
        suite.add("local users and groups", "Win32SecurityServiceImpl.isCurrentUserAdmin "
                + "Win32SecurityServiceImpl.win32CreateUser Win32SecurityServiceImpl.deleteUser "
                + "Win32SecurityServiceImpl.win32CreateGroup Win32SecurityServiceImpl.deleteGroup", () -> {
            same(true, security.isCurrentUserAdmin());  // Wine runs programs as administrators
            fails(OperationCodes.E_INVALIDARG, -1, () -> {
                security.win32CreateUser(new String[8], null);
                return null;
            });
            if (platform.windows9x) {
                int refused = com.fernwick.wizard.service.ServiceException.OPERATION_NOT_SUPPORTED;
                fails(refused, -1, () -> {
                    security.deleteUser("fernwick");
                    return null;
                });
                fails(refused, -1, () -> {
                    security.win32CreateGroup("Fernwick Users", null);
                    return null;
                });
                fails(refused, -1, () -> {
                    security.deleteGroup("Fernwick Users");
                    return null;
                });
            } else {
                fails(OperationCodes.DELETE_USER, 2221, () -> {
                    security.deleteUser("NoSuchUserForFernwick");
                    return null;
                });
                security.win32CreateGroup("Fernwick Java Suite", new String[0]);  // Wine's stubs answer 0
                security.deleteGroup("Fernwick Java Suite");
            }
        });

        suite.add("process affinity", "Win32WizardInitializeServiceImpl.setProcessAffinity", () -> {
            wizard.setProcessAffinity();  // one processor from here on; nothing to report
        });
    }
}
