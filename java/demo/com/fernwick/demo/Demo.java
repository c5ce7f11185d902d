package com.fernwick.demo;

import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.util.Arrays;
import java.util.Enumeration;
import java.util.Vector;

import com.fernwick.util.FileAttributes;
import com.fernwick.wizard.platform.win32.OperationCodes;
import com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl;
import com.fernwick.wizard.platform.win32.Win32FileServiceImpl;
import com.fernwick.wizard.platform.win32.Win32ProductServiceImpl;
import com.fernwick.wizard.platform.win32.Win32RegistryServiceImpl;
import com.fernwick.wizard.platform.win32.Win32SecurityServiceImpl;
import com.fernwick.wizard.platform.win32.Win32ServiceImpl;
import com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl;
import com.fernwick.wizard.platform.win32.Win32WizardInitializeServiceImpl;
import com.fernwick.wizard.platform.win32.WindowsFixedFileInfo;
import com.fernwick.wizard.platform.win32.environment.WindowsEnvironment;
import com.fernwick.wizard.platform.win32.win32service.NTServiceConfig;
import com.fernwick.wizard.platform.win32.win32service.NTServiceStatus;
import com.fernwick.wizard.platform.win32.win32service.Win2kServiceStatusProcess;
import com.fernwick.wizard.service.ServiceException;

/**
 * The fwnative demo: a sample product, "Fernwick Demo", installed and then uninstalled through the
 * library's Java classes, as an installation wizard calls them. Every call is written to the
 * account with its arguments and what the library answered: the value, or the ServiceException
 * with the name of its code and its message.
 *
 * <pre>
 * java -cp CLASSES com.fernwick.demo.Demo [LOG [HANDED]]
 *     LOG: the account's file, demo.log by default
 *     HANDED: where the paths handed to the clean-up program are listed, one a line, so that they can
 *             be checked once this program has ended (handed-over.txt by default)
 * </pre>
 *
 * Run it from the folder that holds fwnative.dll and fwcleanup.exe, in a Windows (or Wine)
 * installation kept for trying things: it writes to the machine's registry, Program Files and the
 * user's Start menu, and leaves work for the next restart. The last of the uninstall happens after
 * it has ended: the clean-up program deletes the helper library it has loaded, and the install
 * folder. Exit code 0 when every outcome the demo relies on came out as expected, 1 when one did
 * not, 2 when it could not start.
 */
public final class Demo {
    // Registry roots, as the registry service numbers them.
    static final int HKEY_CURRENT_USER = 3;
    static final int HKEY_LOCAL_MACHINE = 4;
    /** The registry type of a string holding %VARIABLES% (REG_EXPAND_SZ). */
    static final int REG_EXPAND_SZ = 2;

    static final String PRODUCT = "Fernwick Demo";
    /** Where the wizard unpacks the product, and where it installs it. */
    static final String MEDIA = "C:\\FernwickDemo-media";
    /** The drive the product goes on, and the folder for programs on it that the product's folder is made in. */
    static final String INSTALL_DRIVE = "C:\\";
    static final String PROGRAM_FILES = "C:\\Program Files";
    static final String INSTALL_DIR = PROGRAM_FILES + "\\" + PRODUCT;
    static final String FINISH_COMMAND = "\"" + INSTALL_DIR + "\\app.exe\" --finish-setup";
    static final String UNINSTALL_COMMAND = "\"" + INSTALL_DIR + "\\app.exe\" --uninstall";
    static final String PRODUCT_KEY = "SOFTWARE\\Fernwick\\Demo Product";
    static final String UNINSTALL_NAME = "FernwickDemo";
    static final String UNINSTALL_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + UNINSTALL_NAME;
    static final String SHELL_FOLDERS = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    static final String SESSION_MANAGER = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    /**
     * The folder token for the user's Start-menu programs: the product's program folder (named as
     * the product) is made in it, with a shortcut to the program (named as the product too).
     */
    static final String USER_PROGRAMS = "$UserPrograms$";
    /** The group the program folder is handed to. */
    static final String ADMINISTRATORS = "Administrators";
    static final String HOME_VARIABLE = "FERNWICK_DEMO_HOME";
    static final String HOME_VALUE = "%ProgramFiles%\\" + PRODUCT;
    static final String DATA_DIR = "%TEMP%\\FernwickDemo";
    static final String[] COMPONENTS = {"program", "helper", "documentation"};
    static final byte[] SIGNATURE = {0x46, 0x57, 0x4e, 0x01};
    /** The kinds of drive, as the file service numbers them: fixed, removable, remote, CD-ROM, RAM disk. */
    static final int DRIVE_FIXED = 1;
    static final String[] DRIVE_KINDS = {"fixed", "removable", "remote", "CD-ROM", "RAM disk"};
    /** The name isDirectoryWritable gives its probe file, fw_test<n>.txt, up to the number. */
    static final String PROBE_PREFIX = "fw_test";
    /** The program's date: 2010-01-01 00:00 UTC, in Java's milliseconds since 1970. */
    static final long RELEASE_DATE = 1262304000000L;
    /** The helper library the install finds in use (an older version, loaded by this program). */
    static final String HELPER = "fwhelper.dll";
    /**
     * What the library appends to the name of a target in use that it renames aside to copy over it
     * (NT family); the renamed file is deleted at the next restart.
     */
    static final String RENAMED_ASIDE = ".delete_on_reboot";
    /**
     * The clean-up program we ship, found beside fwnative.dll: it deletes what it is handed once the
     * installer has ended. The library has its file deleted after it has run, so the installer hands
     * over a copy of it.
     */
    static final String CLEANUP_PROGRAM = "fwcleanup.exe";

    /**
     * The product's service program: the project's test service, fwtestsvc.exe, found beside
     * fwnative.dll, stands for it. It appends "start" with its arguments and "control N" for every
     * control it receives to the file named on its command line.
     */
    static final String TEST_SERVICE = "fwtestsvc.exe";
    static final String SERVICE_PROGRAM = "fwdemosvc.exe";
    static final String SERVICE_NAME = "FernwickDemoService";
    static final String SERVICE_DISPLAY_NAME = "Fernwick Demo Service";
    static final String SERVICE_DESCRIPTION = "Keeps Fernwick Demo up to date";
    /** The versions in the service program's version resource (those of the test service). */
    static final String SERVICE_FILE_VERSION = "1.2.3.4";
    static final String SERVICE_PRODUCT_VERSION = "5.6.7.8";
    static final String SERVICE_RECORD = INSTALL_DIR + "\\service.log";
    static final String SERVICE_COMMAND = "\"" + INSTALL_DIR + "\\" + SERVICE_PROGRAM + "\" \"" + SERVICE_RECORD + "\"";
    static final String[] SERVICE_ARGUMENTS = {"--first-run", PRODUCT + " 2.0"};
    // The service control manager's numbers.
    static final int SERVICE_WIN32_OWN_PROCESS = 0x10;
    /** The service may use the desktop: a bit of the service type, left clear for the product's service. */
    static final int SERVICE_INTERACTIVE_PROCESS = 0x100;
    /** Own-process and shared-process services. */
    static final int SERVICE_WIN32 = 0x30;
    static final int SERVICE_AUTO_START = 2;
    static final int SERVICE_DEMAND_START = 3;
    static final int SERVICE_ERROR_NORMAL = 1;
    /** Active and inactive services, for the enumeration. */
    static final int SERVICE_STATE_ALL = 3;
    static final int SERVICE_STOPPED = 1;
    static final int SERVICE_STOP_PENDING = 3;
    static final int SERVICE_RUNNING = 4;
    static final int SERVICE_CONTROL_STOP = 1;
    static final int SERVICE_CONTROL_INTERROGATE = 4;
    /** How long the demo waits for the service to reach a state: the library itself never waits. */
    static final long SERVICE_WAIT_MS = 30000;

    private final Win32SystemUtilServiceImpl system = new Win32SystemUtilServiceImpl();
    private final Win32ServiceImpl services = new Win32ServiceImpl();
    private final Win32WizardInitializeServiceImpl wizard = new Win32WizardInitializeServiceImpl();
    private final Win32FileServiceImpl files = new Win32FileServiceImpl();
    private final Win32RegistryServiceImpl registry = new Win32RegistryServiceImpl();
    private final Win32DesktopServiceImpl desktop = new Win32DesktopServiceImpl();
    private final WindowsEnvironment environment = new WindowsEnvironment();
    private final Win32ProductServiceImpl product = new Win32ProductServiceImpl();
    private final Win32SecurityServiceImpl security = new Win32SecurityServiceImpl();

    private final Account account;
    /** Where the paths handed to the clean-up program are listed. */
    private final String handedPath;

    // What the platform part found, and where the uninstaller entry went.
    private boolean nt;
    private boolean me;
    private int uninstallRoot = HKEY_LOCAL_MACHINE;
    /** Whether the user running the wizard is an administrator (null: the question threw). */
    private Boolean admin;
    /** The temporary folder, where the clean-up program's copy goes. */
    private String tempDir;
    /** Where the old helper library, still loaded, is after the copy over it. */
    private String helperInUse = join(INSTALL_DIR, HELPER);
    /** The renames waiting for the next restart once the product is installed. */
    private String[] installRenames;
    /** The process the running service was found in (0: none seen). */
    private int serviceProcess;

    private Demo(Account account, String handedPath) {
        this.account = account;
        this.handedPath = handedPath;
    }

    public static void main(String[] args) {
        String logPath = args.length > 0 ? args[0] : "demo.log";
        String handedPath = args.length > 1 ? args[1] : "handed-over.txt";
        Account account;
        try {
            account = new Account(logPath);
        } catch (IOException e) {
            System.err.println("demo: cannot write " + logPath + ": " + e.getMessage());
            System.exit(2);
            return;
        }
        account.note("Fernwick Demo: a sample product installed and uninstalled through fwnative");
        account.note("(this account is also written to " + logPath + ")");
        try {
            System.loadLibrary("fwnative");
        } catch (UnsatisfiedLinkError e) {
            account.note("demo: cannot load fwnative (" + System.mapLibraryName("fwnative")
                    + " in the current folder or on PATH): " + e.getMessage());
            account.finish();
            System.exit(2);
            return;
        }
        Demo demo = new Demo(account, handedPath);
        demo.platform();
        demo.install();
        demo.inPlace();
        demo.uninstall();
        demo.whatIsLeft();
        System.exit(account.finish());
    }

    /** Which Windows this is. */
    private void platform() {
        account.section("1. The platform");
        account.note("Which Windows family and version the library sees:");
        nt = Boolean.TRUE.equals(account.call(system, "isWinNTor2K").get(system::isWinNTor2K));
        me = Boolean.TRUE.equals(account.call(system, "isWinME").get(system::isWinME));
        account.call(services, "isWin2k").get(services::isWin2k);
        account.note("The service-pack level and the boot directory:");
        account.call(system, "getOSServiceLevel").get(system::getOSServiceLevel);
        account.call(system, "getBootDirectory").get(system::getBootDirectory);
        account.note("Whether the user running the wizard is an administrator (Windows 9x knows no such thing and");
        account.note("answers true; Wine runs every program as an administrator). An administrator installs for every");
        account.note("user: into Program Files, with the uninstaller entry in the machine's list. For anyone else the");
        account.note("wizard would offer an install for that user alone, its entry in the user's list:");
        admin = account.call(security, "isCurrentUserAdmin").get(security::isCurrentUserAdmin);
        account.expect(Boolean.TRUE.equals(admin), "the user is an administrator (true), so the product is installed for every user");
        account.note("The wizard confines itself to one processor at start:");
        account.call(wizard, "setProcessAffinity").run(wizard::setProcessAffinity);

        account.note("While it looks at the drives, the wizard keeps Windows from asking the user to insert a disk or");
        account.note("retry (false: the critical-error dialogs are suppressed; the answer is whether they already were):");
        account.call(files, "win32EnableAbort", false).get(() -> files.win32EnableAbort(false));
        drives();
        standardDirectories();
        installFolderWritable();
        account.note("Done with the drives, the wizard shows the dialogs again (true); the answer says they were suppressed:");
        Boolean suppressed = account.call(files, "win32EnableAbort", true).get(() -> files.win32EnableAbort(true));
        account.expect(Boolean.TRUE.equals(suppressed), "the critical-error dialogs were suppressed until now (true)");
    }

    /**
     * The drives, and for each what the wizard shows the user choosing where to install: its kind,
     * its file system, whether it takes long file names and its free space.
     */
    private void drives() {
        account.note("The drives, in the system's order:");
        String[] roots = account.call(files, "getPartitionNames").get(files::getPartitionNames);
        account.expect(roots != null && Arrays.asList(roots).contains(INSTALL_DRIVE), INSTALL_DRIVE + " is listed");
        if (roots == null) {
            return;
        }
        account.note("Each drive's kind (1 fixed, 2 removable, 3 remote, 4 CD-ROM, 5 RAM disk, -1 other), file system,");
        account.note("long-name support and the space free for this user. A drive whose file system cannot be read (an");
        account.note("empty CD or floppy drive) throws, and the wizard passes over it:");
        for (String root : roots) {
            Integer kind = account.call(files, "getPartitionType", root)
                    .get(() -> files.getPartitionType(root), type -> type + " (" + driveKind(type) + ")");
            if (root.equalsIgnoreCase(INSTALL_DRIVE)) {
                account.expect(kind != null && kind.intValue() == DRIVE_FIXED, INSTALL_DRIVE + " is a fixed drive (1)");
            }
            String format = account.call(files, "getPartitionFormat", root).attempt(() -> files.getPartitionFormat(root));
            if (format == null) {
                account.note("  (nothing to read on " + root + ": the wizard does not offer it)");
                continue;
            }
            account.call(files, "supportsLongFileNames", root).attempt(() -> files.supportsLongFileNames(root));
            account.call(files, "getPartitionFreeSpace", root).attempt(() -> files.getPartitionFreeSpace(root), Demo::space);
        }
    }

    /** Where Windows keeps temporary files, itself, its libraries, programs and their shared files. */
    private void standardDirectories() {
        account.note("The standard directories: temporary files, Windows, the system (its libraries), Program Files");
        account.note("(the folder the product's folder goes in) and Common Files:");
        tempDir = account.call(files, "getTempDirectory").get(files::getTempDirectory);
        account.call(files, "win32GetWindowsDirectory").get(files::win32GetWindowsDirectory);
        account.call(files, "getLibraryDirectory").get(files::getLibraryDirectory);
        String programFiles = account.call(files, "getStandardInstallDirectory").get(files::getStandardInstallDirectory);
        account.expect(PROGRAM_FILES.equalsIgnoreCase(programFiles),
                "the standard install directory is " + PROGRAM_FILES + ", where the product is installed");
        account.call(files, "win32GetCommonDirectory").get(files::win32GetCommonDirectory);
    }

    /** Whether the install folder can be made: the library writes a probe file in its parent and deletes it. */
    private void installFolderWritable() {
        account.note("Before installing, whether " + PROGRAM_FILES + " is writable (the library writes a probe file in it,");
        account.note(PROBE_PREFIX + "<n>.txt, and leaves nothing behind):");
        Boolean writable = account.call(files, "isDirectoryWritable", PROGRAM_FILES)
                .get(() -> files.isDirectoryWritable(PROGRAM_FILES));
        account.expect(Boolean.TRUE.equals(writable), PROGRAM_FILES + " is writable");
        int probes = 0;
        String[] names = new File(PROGRAM_FILES).list();
        for (int i = 0; names != null && i < names.length; i++) {
            if (names[i].toLowerCase().startsWith(PROBE_PREFIX)) {
                probes++;
            }
        }
        account.outside("java.io.File.list() finds " + (probes == 0 ? "no" : String.valueOf(probes)) + " probe file"
                + (probes == 1 ? "" : "s") + " in " + PROGRAM_FILES);
        account.expect(names != null && probes == 0, "no probe file is left in " + PROGRAM_FILES);
    }

    private void install() {
        account.section("2. Installing " + PRODUCT);
        account.note("The wizard unpacks the product's files into a staging folder (java.io, outside the library):");
        makeFolder(MEDIA);
        write(staged("app.exe"), "Fernwick Demo program, version 2.0");
        write(staged(HELPER), "Fernwick helper library, version 2.0");
        write(staged("readme.txt"), "Read me first.");
        write(staged("license.txt"), "License terms.");
        account.note("and its service program (here the project's test service, which records how it is started and controlled):");
        copy(new File(System.getProperty("user.dir"), TEST_SERVICE).getPath(), staged(SERVICE_PROGRAM));

        account.note("An earlier version left its helper library in the install folder, and a program still uses it:");
        account.note("here this program, which loads it (a copy of fwnative.dll stands for the old library). A file");
        account.note("merely open through java.io is not enough: Java lets others write it, and a copy may go through.");
        makeFolder(INSTALL_DIR);
        copy(new File(System.getProperty("user.dir"), System.mapLibraryName("fwnative")).getPath(), installed(HELPER));
        load(installed(HELPER));

        account.note("Copy the files (0: done; 1: completes at the next restart):");
        account.expect(Integer.valueOf(0).equals(copyFile("app.exe")), "app.exe is copied at once (0)");
        account.expect(Integer.valueOf(0).equals(copyFile("readme.txt")), "readme.txt is copied at once (0)");
        account.expect(Integer.valueOf(0).equals(copyFile(SERVICE_PROGRAM)), SERVICE_PROGRAM + " is copied at once (0)");
        account.note("The helper library is in use, so its copy completes at the next restart (1):");
        account.expect(Integer.valueOf(1).equals(copyFile(HELPER)),
                "the copy over the helper library in use completes at the next restart (1)");
        File aside = new File(installed(HELPER) + RENAMED_ASIDE);
        if (aside.exists()) {
            helperInUse = aside.getPath();
        }
        account.note("On the NT family the library renames the old library aside (still loaded, it may be renamed but not");
        account.note("deleted), copies the new one in its place and has the old one deleted at the restart:");
        account.outside("java.io.File.exists() " + (aside.exists() ? "finds " : "does not find ") + aside.getPath()
                + (aside.exists() ? ": the old library, still in use" : ""));
        account.expect(!nt || aside.exists(), "the old helper library is renamed aside, as " + HELPER + RENAMED_ASIDE);

        account.note("The licence is moved rather than copied:");
        Integer moved = account.call(files, "win32MoveFile", staged("license.txt"), installed("license.txt"), true)
                .get(() -> files.win32MoveFile(staged("license.txt"), installed("license.txt"), true));
        account.expect(Integer.valueOf(0).equals(moved), "license.txt is moved at once (0)");

        account.note("The read-me becomes read-only (readable, not writeable, archive):");
        FileAttributes readOnly = new FileAttributes();
        readOnly.setAttributeState(FileAttributes.OWNER_READABLE, true);
        readOnly.setAttributeState(FileAttributes.ARCHIVE, true);
        account.call(files, "setFileAttributes", installed("readme.txt"), readOnly)
                .run(() -> files.setFileAttributes(installed("readme.txt"), readOnly));

        account.note("The program gets its release date (the library takes Windows FILETIME values):");
        long fileTime = fileTime(RELEASE_DATE);
        account.call(files, "win32SetFileModified", installed("app.exe"), fileTime)
                .run(() -> files.win32SetFileModified(installed("app.exe"), fileTime));
        // Avian's File.lastModified() answers seconds on Windows, other Java VMs milliseconds.
        long modified = new File(installed("app.exe")).lastModified();
        account.outside("java.io.File.lastModified() reads " + modified);
        account.expect(modified == RELEASE_DATE || modified == RELEASE_DATE / 1000, "app.exe is dated 2010-01-01 00:00 UTC");

        account.note("The product's registry key (root 4 is HKEY_LOCAL_MACHINE) and its values:");
        account.call(registry, "createKey", HKEY_LOCAL_MACHINE, "SOFTWARE", "Fernwick")
                .run(() -> registry.createKey(HKEY_LOCAL_MACHINE, "SOFTWARE", "Fernwick"));
        account.call(registry, "createKey", HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick", "Demo Product")
                .run(() -> registry.createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick", "Demo Product"));
        account.call(registry, "setStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "InstallDir", false, INSTALL_DIR)
                .run(() -> registry.setStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "InstallDir", false, INSTALL_DIR));
        account.call(registry, "setStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", true, DATA_DIR)
                .run(() -> registry.setStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", true, DATA_DIR));
        account.call(registry, "set32BitValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Build", 2048)
                .run(() -> registry.set32BitValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Build", 2048));
        account.call(registry, "setMultiStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Components", COMPONENTS)
                .run(() -> registry.setMultiStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Components", COMPONENTS));
        account.call(registry, "setBinaryValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Signature", SIGNATURE)
                .run(() -> registry.setBinaryValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Signature", SIGNATURE));

        account.note("A program folder in the user's Start menu, with a shortcut to the program (the folder is made if missing):");
        account.call(desktop, "createDesktopFolder", USER_PROGRAMS, PRODUCT)
                .run(() -> desktop.createDesktopFolder(USER_PROGRAMS, PRODUCT));
        account.call(desktop, "createDesktopItem", USER_PROGRAMS, PRODUCT, PRODUCT, installed("app.exe"), "--start",
                installed("app.exe"), INSTALL_DIR)
                .run(() -> desktop.createDesktopItem(USER_PROGRAMS, PRODUCT, PRODUCT, installed("app.exe"), "--start",
                        installed("app.exe"), INSTALL_DIR));
        account.note("The program folder is handed to the " + ADMINISTRATORS + " group, so that any administrator may look after it");
        if (nt) {
            account.note("(Wine reports a new owner as set but keeps none: there the folder stays the user's):");
            account.call(desktop, "setDesktopFolderOwner", USER_PROGRAMS, PRODUCT, ADMINISTRATORS)
                    .run(() -> desktop.setDesktopFolderOwner(USER_PROGRAMS, PRODUCT, ADMINISTRATORS));
        } else {
            account.note("(Windows 9x has no owners: the library refuses before it looks at anything)");
            ServiceException refused = account.call(desktop, "setDesktopFolderOwner", USER_PROGRAMS, PRODUCT, ADMINISTRATORS)
                    .fails(ServiceException.OPERATION_NOT_SUPPORTED, () -> {
                        desktop.setDesktopFolderOwner(USER_PROGRAMS, PRODUCT, ADMINISTRATORS);
                        return null;
                    });
            account.expect(refused == null || refused.getMessage() == null, "the refusal has no message");
        }

        account.note("An environment variable for the user (the NT form; Windows ME has its own):");
        setHomeVariable(HOME_VALUE);

        account.note("A command that finishes the set-up at the next start of Windows:");
        account.call(system, "addSystemStartupCommand", FINISH_COMMAND)
                .run(() -> system.addSystemStartupCommand(FINISH_COMMAND));

        account.note("The uninstaller entry in the system's list of installed programs:");
        account.call(product, "win32RegisterUninstaller", UNINSTALL_NAME, PRODUCT + " 2.0", UNINSTALL_COMMAND)
                .run(() -> product.win32RegisterUninstaller(UNINSTALL_NAME, PRODUCT + " 2.0", UNINSTALL_COMMAND));

        installService();
    }

    private void inPlace() {
        account.section("3. What is in place");
        account.note("The install folder, read back through the library:");
        account.expect(attributes(installed("app.exe")) != null, "app.exe is installed");
        FileAttributes readme = attributes(installed("readme.txt"));
        account.expect(readme != null && !readme.getAttributeState(FileAttributes.OWNER_WRITEABLE), "readme.txt is read-only");
        account.expect(attributes(installed("license.txt")) != null, "license.txt is installed");
        account.note("The staged licence is gone (moved), so asking for it throws:");
        account.call(files, "getFileAttributes", staged("license.txt"))
                .fails(OperationCodes.GET_FILE_ATTRIBUTES, () -> files.getFileAttributes(staged("license.txt")));

        account.note("The service program's version resource (read on every Windows, 9x too): the file and the product");
        account.note("version are two words each, shown here in their dotted form as well:");
        WindowsFixedFileInfo info = account.call(services, "getFixedFileInfo", installed(SERVICE_PROGRAM))
                .get(() -> services.getFixedFileInfo(installed(SERVICE_PROGRAM)));
        String fileVersion = info == null ? null : Account.version(info.getFileVersionMS(), info.getFileVersionLS());
        String productVersion = info == null ? null : Account.version(info.getProductVersionMS(), info.getProductVersionLS());
        account.expect(SERVICE_FILE_VERSION.equals(fileVersion), SERVICE_PROGRAM + " has file version " + SERVICE_FILE_VERSION);
        account.expect(SERVICE_PRODUCT_VERSION.equals(productVersion),
                SERVICE_PROGRAM + " has product version " + SERVICE_PRODUCT_VERSION);
        account.note("A file without version information gives null (the method never throws):");
        WindowsFixedFileInfo none = account.call(services, "getFixedFileInfo", installed("readme.txt"))
                .get(() -> services.getFixedFileInfo(installed("readme.txt")));
        account.expect(none == null, "readme.txt has no version information (null)");

        account.note("The install folder's short (8.3) form, for whatever cannot take spaces or long names:");
        String shortDir = account.call(services, "getShortPath", INSTALL_DIR).get(() -> services.getShortPath(INSTALL_DIR));
        account.expect(shortDir != null && isShortForm(shortDir) && !shortDir.equalsIgnoreCase(INSTALL_DIR),
                "the install folder has a short form, every name in it 8.3 and without spaces");
        if (shortDir != null) {
            File program = new File(join(shortDir, "app.exe"));
            account.outside("java.io.File.exists() " + (program.exists() ? "finds " : "does not find ") + program);
            account.expect(program.exists(), "the short form names the install folder");
        }

        account.note("The registry key:");
        account.call(registry, "getKeyValueNames", HKEY_LOCAL_MACHINE, PRODUCT_KEY)
                .get(() -> registry.getKeyValueNames(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
        String dir = account.call(registry, "getStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "InstallDir", false)
                .get(() -> registry.getStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "InstallDir", false));
        account.expect(INSTALL_DIR.equals(dir), "InstallDir reads back as written");
        account.note("DataDir as stored, then expanded, and its type:");
        String data = account.call(registry, "getStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", false)
                .get(() -> registry.getStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", false));
        account.expect(DATA_DIR.equals(data), "DataDir reads back unexpanded as written");
        account.call(registry, "getStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", true)
                .get(() -> registry.getStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir", true));
        Integer type = account.call(registry, "getValueType", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir")
                .get(() -> registry.getValueType(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DataDir"));
        account.expect(Integer.valueOf(REG_EXPAND_SZ).equals(type), "DataDir is an expandable string (2)");
        Integer build = account.call(registry, "get32BitValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Build")
                .get(() -> registry.get32BitValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Build"));
        account.expect(Integer.valueOf(2048).equals(build), "Build reads back as 2048");
        String[] components = account.call(registry, "getMultiStringValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Components")
                .get(() -> registry.getMultiStringValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Components"));
        account.expect(Arrays.equals(COMPONENTS, components), "Components reads back as written");
        byte[] signature = account.call(registry, "getBinaryValue", HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Signature")
                .get(() -> registry.getBinaryValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Signature"));
        account.expect(Arrays.equals(SIGNATURE, signature), "Signature reads back as written");

        account.note("Where the user's Start-menu programs are, as the shell records it, and the shortcut below it:");
        String programs = account.call(registry, "getStringValue", HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs", false)
                .get(() -> registry.getStringValue(HKEY_CURRENT_USER, SHELL_FOLDERS, "Programs", false));
        if (programs != null) {
            File shortcut = new File(join(join(programs, PRODUCT), PRODUCT + ".lnk"));
            account.outside("java.io.File.exists() " + (shortcut.exists() ? "finds " : "does not find ") + shortcut);
            account.expect(shortcut.exists(), "the shortcut is in the Start menu");
        }
        readBackShortcut();

        account.note("The environment variable as stored (raw, unexpanded):");
        account.expect(HOME_VALUE.equals(homeVariable()), HOME_VARIABLE + " reads back as written");

        account.note("Commands waiting for the next start of Windows:");
        account.expect(contains(startupCommands(), FINISH_COMMAND), "the start-up command is listed");

        account.note("The uninstaller entry: the machine's list (root 4) on Windows 9x and for an administrator,");
        account.note("otherwise the user's (root 3):");
        Boolean machine = account.call(registry, "keyExists", HKEY_LOCAL_MACHINE, UNINSTALL_KEY)
                .get(() -> registry.keyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
        uninstallRoot = Boolean.FALSE.equals(machine) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (admin != null) {
            account.expect((uninstallRoot == HKEY_LOCAL_MACHINE) == admin.booleanValue(),
                    "the entry is in the list the administrator answer points to (" + (admin.booleanValue() ? "4" : "3") + ")");
        }
        account.call(registry, "getKeyValueNames", uninstallRoot, UNINSTALL_KEY)
                .get(() -> registry.getKeyValueNames(uninstallRoot, UNINSTALL_KEY));
        String name = account.call(registry, "getStringValue", uninstallRoot, UNINSTALL_KEY, "DisplayName", false)
                .get(() -> registry.getStringValue(uninstallRoot, UNINSTALL_KEY, "DisplayName", false));
        account.expect((PRODUCT + " 2.0").equals(name), "the uninstaller entry shows the product's name");
        account.call(registry, "getStringValue", uninstallRoot, UNINSTALL_KEY, "UninstallString", false)
                .get(() -> registry.getStringValue(uninstallRoot, UNINSTALL_KEY, "UninstallString", false));

        readBackService();

        account.note("What waits for the next restart (pairs of source and target; an empty target deletes):");
        installRenames = pendingRenames();
        account.expect(installRenames != null && anyContains(installRenames, installed(HELPER)),
                "the restart has work to do for the helper library");
    }

    private void uninstall() {
        account.section("4. Uninstalling " + PRODUCT);
        removeService();

        account.note("The uninstaller entry, the start-up command and the environment variable (a null value deletes):");
        account.call(product, "win32UnregisterUninstaller", UNINSTALL_NAME, null)
                .run(() -> product.win32UnregisterUninstaller(UNINSTALL_NAME, null));
        account.call(system, "removeSystemStartupCommand", FINISH_COMMAND)
                .run(() -> system.removeSystemStartupCommand(FINISH_COMMAND));
        setHomeVariable(null);

        account.note("The shortcut, then its program folder once it is empty:");
        account.call(desktop, "removeDesktopItem", USER_PROGRAMS, PRODUCT, PRODUCT)
                .run(() -> desktop.removeDesktopItem(USER_PROGRAMS, PRODUCT, PRODUCT));
        account.call(desktop, "removeDesktopFolder", USER_PROGRAMS, PRODUCT)
                .run(() -> desktop.removeDesktopFolder(USER_PROGRAMS, PRODUCT));

        account.note("The read-only read-me is deleted all the same:");
        Integer deleted = account.call(files, "win32DeleteFile", installed("readme.txt"))
                .get(() -> files.win32DeleteFile(installed("readme.txt")));
        account.expect(Integer.valueOf(0).equals(deleted), "readme.txt is deleted at once (0)");
        account.note("The rest of the install folder goes at once (0), the service program and its record with it, all but");
        account.note("the old helper library: this program still has it loaded, so deleting it now would wait for the restart:");
        deleteAllButHelper();
        handOver();
        account.note("The staging folder:");
        Integer removed = account.call(files, "win32DeleteDirectory", MEDIA, false, true)
                .get(() -> files.win32DeleteDirectory(MEDIA, false, true));
        account.expect(Integer.valueOf(0).equals(removed), "the staging folder is removed at once (0)");

        account.note("The registry key, then its parent when nothing else is in it:");
        account.call(registry, "deleteKey", HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick", "Demo Product", true)
                .run(() -> registry.deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick", "Demo Product", true));
        Boolean empty = account.call(registry, "isKeyEmpty", HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick")
                .get(() -> registry.isKeyEmpty(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick"));
        if (Boolean.TRUE.equals(empty)) {
            account.call(registry, "deleteKey", HKEY_LOCAL_MACHINE, "SOFTWARE", "Fernwick", true)
                    .run(() -> registry.deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE", "Fernwick", true));
        }
    }

    /** Deletes every file in the install folder except the helper library in use. */
    private void deleteAllButHelper() {
        String[] names = new File(INSTALL_DIR).list();
        if (names == null) {
            account.fail("cannot list the install folder " + INSTALL_DIR);
            return;
        }
        Arrays.sort(names);
        account.outside("java.io.File.list() lists " + INSTALL_DIR + ": " + Account.show(names));
        for (String name : names) {
            String path = installed(name);
            if (path.equalsIgnoreCase(helperInUse)) {
                continue;
            }
            Integer deleted = account.call(files, "win32DeleteFile", path).get(() -> files.win32DeleteFile(path));
            account.expect(Integer.valueOf(0).equals(deleted), name + " is deleted at once (0)");
        }
    }

    /**
     * Hands the helper library in use, and the install folder as a tree, to the clean-up program,
     * which deletes them once this program has ended; lists what was handed over in handedPath.
     */
    private void handOver() {
        account.note("The library in use, and the install folder as a tree (the second list: marked \"*\", deleted with all it");
        account.note("holds), go to the clean-up program, " + CLEANUP_PROGRAM + ". It waits until this program, the installer,");
        account.note("has ended, then deletes them; with true, what is still in use then is left for the next restart.");
        account.note("The library has the program's file deleted once it has run, so the installer hands over a copy,");
        account.note("in the temporary folder (in the install folder it would be deleting its own file):");
        if (tempDir == null) {
            account.fail("no temporary folder for the clean-up program");
            return;
        }
        String program = join(tempDir, CLEANUP_PROGRAM);
        copy(new File(System.getProperty("user.dir"), CLEANUP_PROGRAM).getPath(), program);
        Vector<String> busy = new Vector<String>();
        busy.addElement(helperInUse);
        Vector<String> trees = new Vector<String>();
        trees.addElement(INSTALL_DIR);
        boolean started = account.call(system, "nativeDeleteFilesAfterExit", Account.enumeration(busy), Account.enumeration(trees),
                true, program)
                .run(() -> system.nativeDeleteFilesAfterExit(busy.elements(), trees.elements(), true, program));
        if (!started) {
            return;
        }
        account.note("The library does not wait for the program; what it deletes is seen only after this program has ended.");
        account.note("The paths go to a file, to be checked then (scripts/demo.sh does, and adds what it finds below):");
        StringBuilder list = new StringBuilder();
        list.append(helperInUse).append('\n').append(INSTALL_DIR).append('\n').append(program).append('\n');
        write(handedPath, list.toString());
    }

    private void whatIsLeft() {
        account.section("5. What is left");
        Boolean entry = account.call(registry, "keyExists", uninstallRoot, UNINSTALL_KEY)
                .get(() -> registry.keyExists(uninstallRoot, UNINSTALL_KEY));
        account.expect(Boolean.FALSE.equals(entry), "no uninstaller entry");
        Enumeration<String> commands = startupCommands();
        account.expect(commands != null && !contains(commands, FINISH_COMMAND), "no start-up command");
        account.expect(homeVariable() == null, "no " + HOME_VARIABLE);
        Boolean key = account.call(registry, "keyExists", HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick")
                .get(() -> registry.keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Fernwick"));
        account.expect(Boolean.FALSE.equals(key), "no Fernwick registry key");
        account.call(files, "getFileAttributes", installed("app.exe"))
                .fails(OperationCodes.GET_FILE_ATTRIBUTES, () -> files.getFileAttributes(installed("app.exe")));
        account.call(files, "getFileAttributes", installed(SERVICE_PROGRAM))
                .fails(OperationCodes.GET_FILE_ATTRIBUTES, () -> files.getFileAttributes(installed(SERVICE_PROGRAM)));
        account.call(files, "getFileAttributes", MEDIA)
                .fails(OperationCodes.GET_FILE_ATTRIBUTES, () -> files.getFileAttributes(MEDIA));
        if (nt) {
            account.note("No service, and the service control manager does not know the name (1060):");
            account.expect(Boolean.FALSE.equals(serviceExists()), "no " + SERVICE_NAME + " service");
            ServiceException unknown = account.call(services, "queryNTServiceStatus", SERVICE_NAME)
                    .fails(OperationCodes.QUERY_NT_SERVICE_STATUS, () -> services.queryNTServiceStatus(SERVICE_NAME));
            account.expect(unknown != null && unknown.getMessage() != null && unknown.getMessage().trim().endsWith("(1060)"),
                    "the status query fails with the system's text for a service that does not exist (1060)");
        }
        account.note("The install folder holds only the helper library this program has loaded; the clean-up program");
        account.note("deletes both once this program has ended:");
        account.expect(attributes(INSTALL_DIR) != null, "the install folder is still there");
        String[] names = new File(INSTALL_DIR).list();
        account.outside("java.io.File.list() lists " + INSTALL_DIR + ": " + Account.show(names));
        String inUse = new File(helperInUse).getName();
        account.expect(names != null && names.length == 1 && names[0].equalsIgnoreCase(inUse),
                "the install folder holds " + inUse + " alone");
        account.note("What waits for the next restart is what the install left, nothing more: the copy over the library");
        account.note("in use renamed the old one aside and has it deleted at the restart (by then the clean-up program");
        account.note("has deleted it, and the restart finds it gone). The uninstall left nothing for the restart:");
        String[] renames = pendingRenames();
        account.expect(renames != null && allInside(renames, INSTALL_DIR),
                "the renames waiting for the restart name only what is in the install folder");
        account.expect(renames != null && installRenames != null && Arrays.equals(installRenames, renames),
                "the renames are those the install left (the uninstall added none)");
    }

    // The product's service.

    /** Creates the service on demand start, makes it start with Windows, and starts it now. */
    private void installService() {
        if (!nt) {
            account.note("(Windows 9x has no services: the product's service is left out)");
            return;
        }
        account.note("The product's service: its own process (0x10), started on demand (3), errors logged and the start");
        account.note("going on (1), its record in the install folder; no user name means LocalSystem:");
        NTServiceConfig config = new NTServiceConfig();
        config.setDisplayName(SERVICE_DISPLAY_NAME);
        config.setServiceType(SERVICE_WIN32_OWN_PROCESS);
        config.setStartType(SERVICE_DEMAND_START);
        config.setErrorControl(SERVICE_ERROR_NORMAL);
        config.setCommand(SERVICE_COMMAND);
        account.call(services, "createNTService", SERVICE_NAME, config)
                .run(() -> services.createNTService(SERVICE_NAME, config));
        account.expect(Boolean.TRUE.equals(serviceExists()), "the service exists once created");

        account.note("Its configuration as the service control manager keeps it (the password never reads back):");
        NTServiceConfig created = serviceConfig();
        account.expect(created != null && SERVICE_DISPLAY_NAME.equals(created.getDisplayName())
                && created.getServiceType() == SERVICE_WIN32_OWN_PROCESS && created.getStartType() == SERVICE_DEMAND_START
                && created.getErrorControl() == SERVICE_ERROR_NORMAL && SERVICE_COMMAND.equals(created.getCommand()),
                "the service's configuration reads back as created");
        account.note("Its display name from its key name, and back:");
        String display = account.call(services, "getNTServiceDisplayName", SERVICE_NAME)
                .get(() -> services.getNTServiceDisplayName(SERVICE_NAME));
        account.expect(SERVICE_DISPLAY_NAME.equals(display), "the display name is found from the key name");
        String key = account.call(services, "getNTServiceKeyName", SERVICE_DISPLAY_NAME)
                .get(() -> services.getNTServiceKeyName(SERVICE_DISPLAY_NAME));
        account.expect(SERVICE_NAME.equals(key), "the key name is found from the display name");

        account.note("Its description, shown in the list of services (Windows 2000 and later; on NT 4 the description");
        account.note("methods throw with error 127). A new service has none (null):");
        String none = serviceDescription();
        account.expect(none == null, "a new service has no description (null)");
        account.call(services, "changeWin2kServiceDescription", SERVICE_NAME, SERVICE_DESCRIPTION)
                .run(() -> services.changeWin2kServiceDescription(SERVICE_NAME, SERVICE_DESCRIPTION));
        account.expect(SERVICE_DESCRIPTION.equals(serviceDescription()), "the description reads back as set");

        account.note("From now on it starts with Windows (2: automatic). A fresh NTServiceConfig holds -1 (no change)");
        account.note("in its numbers and null in its texts, so only the start type changes:");
        NTServiceConfig automatic = new NTServiceConfig();
        automatic.setStartType(SERVICE_AUTO_START);
        account.call(services, "changeNTServiceConfig", SERVICE_NAME, automatic)
                .run(() -> services.changeNTServiceConfig(SERVICE_NAME, automatic));
        NTServiceConfig changed = serviceConfig();
        account.expect(changed != null && changed.getStartType() == SERVICE_AUTO_START, "the service starts automatically (2)");
        account.expect(changed != null && SERVICE_DISPLAY_NAME.equals(changed.getDisplayName())
                && changed.getServiceType() == SERVICE_WIN32_OWN_PROCESS && changed.getErrorControl() == SERVICE_ERROR_NORMAL
                && SERVICE_COMMAND.equals(changed.getCommand()), "the rest of the configuration is as it was");

        account.note("Started now, with arguments. No method waits for the service: the wizard polls its status until");
        account.note("it runs (4), for at most " + SERVICE_WAIT_MS / 1000 + " s:");
        account.call(services, "startNTService", SERVICE_NAME, SERVICE_ARGUMENTS)
                .run(() -> services.startNTService(SERVICE_NAME, SERVICE_ARGUMENTS));
        NTServiceStatus running = waitForState(SERVICE_RUNNING);
        account.expect(running != null && running.getCurrentState() == SERVICE_RUNNING, "the service runs (4)");
        account.note("Asked to report its status (4: interrogate):");
        NTServiceStatus interrogated = control(SERVICE_CONTROL_INTERROGATE);
        account.expect(interrogated != null && interrogated.getCurrentState() == SERVICE_RUNNING,
                "the service answers the interrogation as running (4)");
        account.note("Its extended status (Windows 2000 and later) adds the process the service program runs in and");
        account.note("the service's flags; the type is the whole of it, the desktop bit (0x100) clear here:");
        Win2kServiceStatusProcess process = statusProcess();
        account.expect(process != null && process.getCurrentState() == SERVICE_RUNNING && process.getProcessId() != 0,
                "the running service (4) has a process (its id is not 0)");
        account.expect(process != null && process.getServiceType() == SERVICE_WIN32_OWN_PROCESS
                && (process.getServiceType() & SERVICE_INTERACTIVE_PROCESS) == 0,
                "the extended status shows an own-process service (0x10) without the desktop bit");
        account.expect(process != null && interrogated != null && process.getServiceType() == interrogated.getServiceType()
                && process.getControlsAccepted() == interrogated.getControlsAccepted(),
                "the extended status agrees with the plain one on type and accepted controls");
        serviceProcess = process != null ? process.getProcessId() : 0;
    }

    /**
     * The shortcut and its program folder through the desktop service, and who owns them and the
     * program: on Windows 9x, which keeps no owners, the owner methods are refused.
     */
    private void readBackShortcut() {
        account.note("The shortcut and its program folder through the desktop service, named as when they were made.");
        account.note("The library shows a directory as executable (OWNER_EXECUTABLE) and a file never:");
        FileAttributes shortcut = account.call(desktop, "getDesktopItemAttributes", USER_PROGRAMS, PRODUCT, PRODUCT)
                .get(() -> desktop.getDesktopItemAttributes(USER_PROGRAMS, PRODUCT, PRODUCT));
        account.expect(shortcut != null && !shortcut.getAttributeState(FileAttributes.OWNER_EXECUTABLE),
                "the shortcut is a file (OWNER_EXECUTABLE false)");
        FileAttributes folder = account.call(desktop, "getDesktopFolderAttributes", USER_PROGRAMS, PRODUCT)
                .get(() -> desktop.getDesktopFolderAttributes(USER_PROGRAMS, PRODUCT));
        account.expect(folder != null && folder.getAttributeState(FileAttributes.OWNER_EXECUTABLE),
                "the program folder is a directory (OWNER_EXECUTABLE true)");

        if (!nt) {
            account.note("Windows 9x keeps no owners: every owner method is refused (OPERATION_NOT_SUPPORTED, no message):");
            ServiceException[] refusals = {
                account.call(files, "getFileOwner", installed("app.exe"))
                        .fails(ServiceException.OPERATION_NOT_SUPPORTED, () -> files.getFileOwner(installed("app.exe"))),
                account.call(files, "getFileOwnerGroup", installed("app.exe"))
                        .fails(ServiceException.OPERATION_NOT_SUPPORTED, () -> files.getFileOwnerGroup(installed("app.exe"))),
                account.call(desktop, "getDesktopItemOwner", USER_PROGRAMS, PRODUCT, PRODUCT)
                        .fails(ServiceException.OPERATION_NOT_SUPPORTED,
                                () -> desktop.getDesktopItemOwner(USER_PROGRAMS, PRODUCT, PRODUCT)),
            };
            boolean silent = true;
            for (ServiceException refusal : refusals) {
                silent &= refusal == null || refusal.getMessage() == null;
            }
            account.expect(silent, "the refusals have no message");
            return;
        }
        account.note("Who owns the program, and its owner group: bare account names, without the domain (under Wine");
        account.note("the Linux user and its group):");
        String owner = account.call(files, "getFileOwner", installed("app.exe")).get(() -> files.getFileOwner(installed("app.exe")));
        account.expect(owner != null && owner.length() > 0 && owner.indexOf('\\') < 0,
                "the program's owner is a bare account name (not empty, no backslash)");
        account.call(files, "getFileOwnerGroup", installed("app.exe")).get(() -> files.getFileOwnerGroup(installed("app.exe")));
        account.note("The shortcut, made by the same installer, has the same owner:");
        String shortcutOwner = account.call(desktop, "getDesktopItemOwner", USER_PROGRAMS, PRODUCT, PRODUCT)
                .get(() -> desktop.getDesktopItemOwner(USER_PROGRAMS, PRODUCT, PRODUCT));
        account.expect(owner != null && owner.equals(shortcutOwner), "the shortcut's owner is the program's");
        account.note("The program folder's owner: " + ADMINISTRATORS + " on Windows; under Wine still the user, as Wine keeps");
        account.note("no new owner:");
        account.call(desktop, "getDesktopFolderOwner", USER_PROGRAMS, PRODUCT)
                .get(() -> desktop.getDesktopFolderOwner(USER_PROGRAMS, PRODUCT));
    }

    /** The service among the machine's services, and what it recorded of its start and controls. */
    private void readBackService() {
        if (!nt) {
            return;
        }
        account.note("The product's service among the machine's own- and shared-process services (48 = 0x30),");
        account.note("active or not (3):");
        String[] keys = account.call(services, "enumNTServiceKeys", SERVICE_WIN32, SERVICE_STATE_ALL)
                .get(() -> services.enumNTServiceKeys(SERVICE_WIN32, SERVICE_STATE_ALL),
                        names -> names == null ? "null (no service)" : names.length + " key names, "
                                + Account.show(SERVICE_NAME) + (Arrays.asList(names).contains(SERVICE_NAME) ? " among them" : " not among them"));
        account.expect(keys != null && Arrays.asList(keys).contains(SERVICE_NAME), SERVICE_NAME + " is listed");

        account.note("What the service recorded: its start arguments, and the interrogation (control 4):");
        String record = read(SERVICE_RECORD);
        StringBuilder expected = new StringBuilder("start");
        for (String argument : SERVICE_ARGUMENTS) {
            expected.append(" \"").append(argument).append('"');
        }
        expected.append("\ncontrol ").append(SERVICE_CONTROL_INTERROGATE).append('\n');
        account.expect(expected.toString().equals(record), "the service was started with the arguments and interrogated once");

        account.note("It still runs in the process it started in (" + serviceProcess + "), and its description is kept:");
        Win2kServiceStatusProcess process = statusProcess();
        account.expect(process != null && process.getCurrentState() == SERVICE_RUNNING && serviceProcess != 0
                && process.getProcessId() == serviceProcess, "the service runs on in the same process");
        account.expect(SERVICE_DESCRIPTION.equals(serviceDescription()), "the description is still there");
    }

    /** Stops the service and deletes it once it has stopped, before its program is removed. */
    private void removeService() {
        if (!nt) {
            return;
        }
        account.note("First the service: asked to stop (1), it stops (1: stopped), and is then deleted:");
        NTServiceStatus stopping = control(SERVICE_CONTROL_STOP);
        account.expect(stopping != null && (stopping.getCurrentState() == SERVICE_STOP_PENDING
                || stopping.getCurrentState() == SERVICE_STOPPED), "the service accepts the stop (3 or 1)");
        NTServiceStatus stopped = waitForState(SERVICE_STOPPED);
        account.expect(stopped != null && stopped.getCurrentState() == SERVICE_STOPPED, "the service stops (1)");
        account.note("Its process (" + serviceProcess + " while it ran) is gone with it: a stopped service has none (0):");
        Win2kServiceStatusProcess ended = statusProcess();
        account.expect(ended != null && ended.getCurrentState() == SERVICE_STOPPED && ended.getProcessId() == 0,
                "the stopped service (1) has no process (0)");
        account.call(services, "deleteNTService", SERVICE_NAME).run(() -> services.deleteNTService(SERVICE_NAME));
        account.expect(Boolean.FALSE.equals(serviceExists()), "the service is gone once deleted");
    }

    private Boolean serviceExists() {
        return account.call(services, "serviceExists", SERVICE_NAME).get(() -> services.serviceExists(SERVICE_NAME));
    }

    private NTServiceConfig serviceConfig() {
        return account.call(services, "queryNTServiceConfig", SERVICE_NAME).get(() -> services.queryNTServiceConfig(SERVICE_NAME));
    }

    private String serviceDescription() {
        return account.call(services, "queryWin2kServiceDescription", SERVICE_NAME)
                .get(() -> services.queryWin2kServiceDescription(SERVICE_NAME));
    }

    private Win2kServiceStatusProcess statusProcess() {
        return account.call(services, "queryWin2kServiceStatusProcess", SERVICE_NAME)
                .get(() -> services.queryWin2kServiceStatusProcess(SERVICE_NAME));
    }

    private NTServiceStatus control(int code) {
        return account.call(services, "controlNTService", SERVICE_NAME, code).get(() -> services.controlNTService(SERVICE_NAME, code));
    }

    /**
     * Polls the service's status every 100 ms, for at most SERVICE_WAIT_MS, until it is in the state
     * (or a query fails), then shows the status it ended in and returns it.
     */
    private NTServiceStatus waitForState(int state) {
        long start = System.currentTimeMillis();
        int polls = 0;
        while (true) {
            polls++;
            try {
                if (services.queryNTServiceStatus(SERVICE_NAME).getCurrentState() == state) {
                    break;
                }
            } catch (ServiceException e) {
                break;  // the call below shows it
            }
            if (System.currentTimeMillis() - start >= SERVICE_WAIT_MS) {
                break;
            }
            try {
                Thread.sleep(100);
            } catch (InterruptedException e) {
                break;
            }
        }
        account.note("  (queryNTServiceStatus polled " + polls + (polls == 1 ? " time, " : " times, ")
                + (System.currentTimeMillis() - start) + " ms; the state it ended in:)");
        return account.call(services, "queryNTServiceStatus", SERVICE_NAME)
                .get(() -> services.queryNTServiceStatus(SERVICE_NAME));
    }

    // Calls made more than once.

    private Integer copyFile(String name) {
        return account.call(files, "win32CopyFile", staged(name), installed(name), true)
                .get(() -> files.win32CopyFile(staged(name), installed(name), true));
    }

    private FileAttributes attributes(String path) {
        return account.call(files, "getFileAttributes", path).get(() -> files.getFileAttributes(path));
    }

    /** Sets (or with null deletes) the user's variable in the form the running Windows family has. */
    private void setHomeVariable(String value) {
        if (me) {
            account.call(environment, "winMESetEnvironmentVariable", HOME_VARIABLE, value)
                    .run(() -> environment.winMESetEnvironmentVariable(HOME_VARIABLE, value));
        } else {
            account.call(environment, "winNTSetEnvironmentVariable", HOME_VARIABLE, value, false)
                    .run(() -> environment.winNTSetEnvironmentVariable(HOME_VARIABLE, value, false));
        }
    }

    private String homeVariable() {
        if (me) {
            return account.call(environment, "winMEGetRawEnvironmentVariable", HOME_VARIABLE)
                    .get(() -> environment.winMEGetRawEnvironmentVariable(HOME_VARIABLE));
        }
        return account.call(environment, "winNTGetRawEnvironmentVariable", HOME_VARIABLE, false)
                .get(() -> environment.winNTGetRawEnvironmentVariable(HOME_VARIABLE, false));
    }

    private Enumeration<String> startupCommands() {
        return account.call(system, "systemStartupCommands").get(system::systemStartupCommands);
    }

    /** The NT family's list of renames for the next start; Windows 9x keeps them in WinInit.Ini. */
    private String[] pendingRenames() {
        if (!nt) {
            account.note("(Windows 9x: the renames are in WinInit.Ini, not in the registry)");
            return new String[0];
        }
        return account.call(registry, "getMultiStringValue", HKEY_LOCAL_MACHINE, SESSION_MANAGER, "PendingFileRenameOperations")
                .get(() -> registry.getMultiStringValue(HKEY_LOCAL_MACHINE, SESSION_MANAGER, "PendingFileRenameOperations"));
    }

    // What the installer does itself, outside the library.

    private void makeFolder(String path) {
        File folder = new File(path);
        if (folder.mkdirs() || folder.isDirectory()) {
            account.outside("java.io.File.mkdirs() makes the folder " + path);
        } else {
            account.fail("cannot make the folder " + path);
        }
    }

    private void write(String path, String text) {
        try {
            byte[] bytes = text.getBytes("UTF-8");
            OutputStream out = new FileOutputStream(path);
            try {
                out.write(bytes);
            } finally {
                out.close();
            }
            account.outside("java.io writes " + path + ": " + bytes.length + " bytes");
        } catch (IOException e) {
            account.fail("cannot write " + path + ": " + e.getMessage());
        }
    }

    /** Reads a text file (UTF-8) and shows its lines; null when it cannot be read. */
    private String read(String path) {
        try {
            InputStream in = new FileInputStream(path);
            byte[] bytes;
            try {
                ByteArrayOutputStream content = new ByteArrayOutputStream();
                byte[] buffer = new byte[4096];
                for (int n; (n = in.read(buffer)) > 0;) {
                    content.write(buffer, 0, n);
                }
                bytes = content.toByteArray();
            } finally {
                in.close();
            }
            String text = new String(bytes, "UTF-8");
            account.outside("java.io reads " + path + ": " + bytes.length + " bytes");
            for (String line : text.split("\n")) {
                account.line("      " + line);
            }
            return text;
        } catch (IOException e) {
            account.fail("cannot read " + path + ": " + e.getMessage());
            return null;
        }
    }

    private void copy(String from, String to) {
        try {
            long length = 0;
            InputStream in = new FileInputStream(from);
            try {
                OutputStream out = new FileOutputStream(to);
                try {
                    byte[] buffer = new byte[65536];
                    for (int n; (n = in.read(buffer)) > 0; length += n) {
                        out.write(buffer, 0, n);
                    }
                } finally {
                    out.close();
                }
            } finally {
                in.close();
            }
            account.outside("java.io copies " + from + " to " + to + ": " + length + " bytes");
        } catch (IOException e) {
            account.fail("cannot copy " + from + " to " + to + ": " + e.getMessage());
        }
    }

    /** Loads a library into this process; it stays loaded, so its file stays in use, until the process ends. */
    private void load(String path) {
        try {
            System.load(path);
            account.outside("System.load loads " + path + ": the file is in use until this program ends");
        } catch (UnsatisfiedLinkError e) {
            account.fail("cannot load " + path + ": " + e.getMessage());
        }
    }

    // Small helpers.

    private String staged(String name) {
        return join(MEDIA, name);
    }

    private String installed(String name) {
        return join(INSTALL_DIR, name);
    }

    private static String join(String folder, String name) {
        return folder.endsWith("\\") ? folder + name : folder + "\\" + name;
    }

    /** A Java time (milliseconds since 1970) as a FILETIME (100-nanosecond intervals since 1601). */
    private static long fileTime(long javaTime) {
        return (javaTime + 11644473600000L) * 10000L;
    }

    /** A kind of drive as getPartitionType numbers it, in words. */
    private static String driveKind(int kind) {
        return kind >= 1 && kind <= DRIVE_KINDS.length ? DRIVE_KINDS[kind - 1] : "other";
    }

    /** A number of bytes, and the same in GB (below 1 GB in MB) to a tenth. */
    private static String space(Long bytes) {
        long unit = bytes.longValue() >= 1L << 30 ? 1L << 30 : 1L << 20;
        long tenths = Math.round(bytes.longValue() * 10.0 / unit);
        return Account.show(bytes) + " (" + tenths / 10 + "." + tenths % 10 + (unit == 1L << 30 ? " GB" : " MB") + ")";
    }

    /** Whether every name in the path after the drive is an 8.3 name: up to 8 characters, a dot and up to 3, no spaces. */
    private static boolean isShortForm(String path) {
        String[] names = path.split("\\\\");
        for (int i = 1; i < names.length; i++) {
            String name = names[i];
            int dot = name.indexOf('.');
            String base = dot < 0 ? name : name.substring(0, dot);
            String extension = dot < 0 ? "" : name.substring(dot + 1);
            if (base.isEmpty() || base.length() > 8 || extension.length() > 3 || extension.indexOf('.') >= 0
                    || name.indexOf(' ') >= 0) {
                return false;
            }
        }
        return true;
    }

    private static boolean contains(Enumeration<String> elements, String wanted) {
        while (elements != null && elements.hasMoreElements()) {
            if (wanted.equals(elements.nextElement())) {
                return true;
            }
        }
        return false;
    }

    private static boolean anyContains(String[] texts, String part) {
        for (String text : texts) {
            if (text.toLowerCase().contains(part.toLowerCase())) {
                return true;
            }
        }
        return false;
    }

    /** Every entry empty or naming the folder or something in it (as "\??\path", "!" first for a replacement). */
    private static boolean allInside(String[] entries, String folder) {
        String inside = "\\??\\" + folder.toLowerCase();
        for (String entry : entries) {
            String path = entry.startsWith("!") ? entry.substring(1).toLowerCase() : entry.toLowerCase();
            if (!entry.isEmpty() && !path.equals(inside) && !path.startsWith(inside + "\\")) {
                return false;
            }
        }
        return true;
    }
}
