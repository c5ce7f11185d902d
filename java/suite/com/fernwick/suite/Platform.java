package com.fernwick.suite;

/** What the emulated Windows version of the run must look like, from its name (win98, winxp, ...). */
public final class Platform {
    public final String version;
    public final boolean windows9x;
    public final boolean windowsMe;
    public final boolean windows2000;
    /** The service-pack text Wine reports for the version. */
    public final String servicePack;

    public Platform(String version) {
        this.version = version;
        windows9x = version.equals("win98") || version.equals("winme");
        windowsMe = version.equals("winme");
        windows2000 = version.equals("win2k");
        String[][] packs = {
            {"nt40", "Service Pack 6a"}, {"win2k", "Service Pack 4"}, {"winxp", "Service Pack 3"},
            {"default", "Service Pack 1"}, {"win98", " A "}, {"winme", " "},
        };
        String pack = null;
        for (String[] entry : packs) {
            if (entry[0].equals(version)) {
                pack = entry[1];
            }
        }
        if (pack == null) {
            throw new IllegalArgumentException("unknown Windows version " + version);
        }
        servicePack = pack;
    }
}
