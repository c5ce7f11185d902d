package com.fernwick.examples;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.util.Vector;

import com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl;
import com.fernwick.wizard.platform.win32.Win32FileServiceImpl;
import com.fernwick.wizard.platform.win32.Win32ProductServiceImpl;
import com.fernwick.wizard.platform.win32.Win32RegistryServiceImpl;
import com.fernwick.wizard.platform.win32.Win32SystemUtilServiceImpl;
import com.fernwick.wizard.service.ServiceException;

/**
 * A first installer on fwnative: puts "Fernwick Example" into Program Files, replacing a library
 * that is in use, writes a registry value, adds a Start-menu folder with a shortcut, registers the
 * uninstaller and leaves its set-up folder to the clean-up program. Exit code 0 when every step
 * worked, 1 when one did not. Run it on Windows NT/2000/XP or 95/98/ME from the folder that holds
 * fwnative.dll and fwcleanup.exe:
 *
 *     java -cp fwnative_java.jar;CLASSES com.fernwick.examples.FirstInstall
 */
public final class FirstInstall {
    static final String PRODUCT = "Fernwick Example";
    static final String INSTALL_DIR = "C:\\Program Files\\" + PRODUCT;
    static final String PROGRAM = INSTALL_DIR + "\\example.exe";
    static final String UNINSTALL_COMMAND = "\"" + PROGRAM + "\" --uninstall";
    static final int HKEY_LOCAL_MACHINE = 4; // the registry roots as the library numbers them

    static int failures;

    public static void main(String[] args) {
        // The classes declare native methods; fwnative.dll (current folder or PATH) has them.
        System.loadLibrary("fwnative");
        Win32SystemUtilServiceImpl system = new Win32SystemUtilServiceImpl();
        Win32FileServiceImpl files = new Win32FileServiceImpl();
        String here = System.getProperty("user.dir");

        // 1. The Windows family: NT (NT 4, 2000, XP) or 9x (95, 98, ME).
        boolean nt = false;
        String temp = "C:\\";
        try {
            nt = system.isWinNTor2K();
            temp = files.getTempDirectory();
        } catch (ServiceException e) {
            failed("asking for the family and the temporary folder", e);
        }
        System.out.println("Windows family: " + (nt ? "NT" : "9x") + "; temporary folder " + temp);

        // 2. Unpack the product into a set-up folder (here its files are written on the spot).
        String setup = temp + "FernwickExample-setup"; // GetTempPath ends in a backslash
        new File(setup).mkdirs();
        write(setup + "\\example.exe", "Fernwick Example, version 2");
        write(setup + "\\example.dll", "Fernwick Example library, version 2");

        // An earlier version's example.dll is installed and in use. To show that case, this
        // program puts one there (a copy of fwnative.dll) and loads it, which keeps it busy.
        new File(INSTALL_DIR).mkdirs();
        String library = INSTALL_DIR + "\\example.dll";
        try {
            files.win32CopyFile(here + "\\fwnative.dll", library, true);
            System.load(library);
        } catch (ServiceException e) {
            failed("placing the earlier example.dll", e);
        }

        // 3. Copy the files: 0 means done, 1 done at the next restart (the target is in use).
        boolean restart = false;
        for (String name : new String[] {"example.exe", "example.dll"}) {
            try {
                int result = files.win32CopyFile(setup + "\\" + name, INSTALL_DIR + "\\" + name, true);
                System.out.println("Copied " + name + (result == 1 ? ": completes at the next restart" : ""));
                restart |= result == 1;
            } catch (ServiceException e) {
                failed("copying " + name, e);
            }
        }
        // Until the restart the NT family has the new file in place and the busy one renamed
        // aside; Windows 9x keeps the new one beside the busy one, named in WinInit.Ini.
        String waiting = library + (nt ? ".delete_on_reboot" : ".use_on_reboot");
        if (!restart || !new File(waiting).exists()) { // this program made example.dll busy itself
            failed("example.dll completes at the restart, with " + waiting + " there", null);
        }

        // 4. A registry value for the product (HKEY_LOCAL_MACHINE\SOFTWARE\Fernwick Example).
        Win32RegistryServiceImpl registry = new Win32RegistryServiceImpl();
        try {
            registry.createKey(HKEY_LOCAL_MACHINE, "SOFTWARE", PRODUCT);
            registry.setStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + PRODUCT, "InstallDir", false, INSTALL_DIR);
            System.out.println("Registry: InstallDir = " + INSTALL_DIR);
        } catch (ServiceException e) {
            failed("writing the registry value", e);
        }

        // 5. A Start-menu folder with a shortcut to the program. On NT it goes to every user's
        // menu; Windows 9x has no menu for every user, so it goes to the user's.
        Win32DesktopServiceImpl desktop = new Win32DesktopServiceImpl();
        String programs = nt ? "$AllUsersPrograms$" : "$UserPrograms$";
        try {
            desktop.createDesktopFolder(programs, PRODUCT);
            desktop.createDesktopItem(programs, PRODUCT, PRODUCT, PROGRAM, "", PROGRAM, INSTALL_DIR);
            System.out.println("Start menu: " + programs + "\\" + PRODUCT + "\\" + PRODUCT);
        } catch (ServiceException e) {
            failed("making the Start-menu folder and shortcut", e);
        }

        // 6. The entry in the list of installed programs, with the command that uninstalls.
        try {
            new Win32ProductServiceImpl().win32RegisterUninstaller("FernwickExample", PRODUCT, UNINSTALL_COMMAND);
            System.out.println("Uninstaller registered");
        } catch (ServiceException e) {
            failed("registering the uninstaller", e);
        }

        // 7. The set-up folder goes once this program has ended: fwcleanup.exe waits for that,
        // then deletes it ("*" list: a folder with all it holds). The library deletes the clean-up
        // program's own file after it has run, so we hand it a copy.
        String cleanup = temp + "fwcleanup.exe";
        try {
            files.win32CopyFile(here + "\\fwcleanup.exe", cleanup, true);
            Vector<String> folders = new Vector<String>();
            folders.addElement(setup);
            system.nativeDeleteFilesAfterExit(new Vector<String>().elements(), folders.elements(), true, cleanup);
            System.out.println("Left to the clean-up program: " + setup);
            System.out.println("Left to the clean-up program: " + cleanup);
        } catch (ServiceException e) {
            failed("handing the set-up folder to the clean-up program", e);
        }

        System.out.println(restart ? "Restart Windows to finish the installation." : "No restart needed.");
        System.out.println(failures == 0 ? "FirstInstall: every step worked" : "FirstInstall: " + failures + " failed");
        System.exit(failures == 0 ? 0 : 1);
    }

    /** Reports a failed step: the exception's code names the library method, its message the error. */
    static void failed(String step, ServiceException e) {
        failures++;
        System.out.println("FAILED: " + step + (e == null ? "" : ": code " + e.getCode() + ", " + e.getMessage()));
    }

    static void write(String path, String text) {
        try (FileOutputStream out = new FileOutputStream(path)) {
            out.write(text.getBytes("UTF-8"));
        } catch (IOException e) {
            failures++;
            System.out.println("FAILED: writing " + path + ": " + e.getMessage());
        }
    }
}
