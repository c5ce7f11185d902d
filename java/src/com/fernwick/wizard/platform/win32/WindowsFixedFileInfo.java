package com.fernwick.wizard.platform.win32;

/**
 * The fixed part of a file's version resource (VS_FIXEDFILEINFO), one int per field in the
 * structure's own order. Each field holds the structure's 32 bits unchanged, so values of
 * 0x80000000 and above read as negative ints. The four parts of a file version such as 2.1.0.5
 * are, in order, {@code getFileVersionMS() >>> 16}, {@code getFileVersionMS() & 0xFFFF},
 * {@code getFileVersionLS() >>> 16} and {@code getFileVersionLS() & 0xFFFF}.
 */
public class WindowsFixedFileInfo {
    private int signature;
    private int strucVersion;
    private int fileVersionMS;
    private int fileVersionLS;
    private int productVersionMS;
    private int productVersionLS;
    private int fileFlagsMask;
    private int fileFlags;
    private int fileOS;
    private int fileType;
    private int fileSubtype;
    private int fileDateMS;
    private int fileDateLS;

    /** An object with every field 0, filled by {@link Win32ServiceImpl#getFixedFileInfo}. */
    public WindowsFixedFileInfo() {
    }

    /**
     * Tells the signature, 0xFEEF04BD.
     *
     * @return the signature, 0xFEEF04BD
     */
    public int getSignature() {
        return signature;
    }

    /**
     * Sets the signature.
     *
     * @param signature the signature, 0xFEEF04BD
     */
    public void setSignature(int signature) {
        this.signature = signature;
    }

    /**
     * Tells the structure's version.
     *
     * @return the structure's version
     */
    public int getStrucVersion() {
        return strucVersion;
    }

    /**
     * Sets the structure version.
     *
     * @param strucVersion the structure's version
     */
    public void setStrucVersion(int strucVersion) {
        this.strucVersion = strucVersion;
    }

    /**
     * Tells the high 32 bits of the file version: major version in the high 16 bits, minor in the low.
     *
     * @return the high 32 bits of the file version: major version in the high 16 bits, minor in the low
     */
    public int getFileVersionMS() {
        return fileVersionMS;
    }

    /**
     * Sets the high 32 bits of the file version.
     *
     * @param fileVersionMS the high 32 bits of the file version: major version in the high 16 bits, minor in the low
     */
    public void setFileVersionMS(int fileVersionMS) {
        this.fileVersionMS = fileVersionMS;
    }

    /**
     * Tells the low 32 bits of the file version: build number in the high 16 bits, revision in the low.
     *
     * @return the low 32 bits of the file version: build number in the high 16 bits, revision in the low
     */
    public int getFileVersionLS() {
        return fileVersionLS;
    }

    /**
     * Sets the low 32 bits of the file version.
     *
     * @param fileVersionLS the low 32 bits of the file version: build number in the high 16 bits, revision in the low
     */
    public void setFileVersionLS(int fileVersionLS) {
        this.fileVersionLS = fileVersionLS;
    }

    /**
     * Tells the high 32 bits of the product version, laid out as the file version.
     *
     * @return the high 32 bits of the product version, laid out as the file version
     */
    public int getProductVersionMS() {
        return productVersionMS;
    }

    /**
     * Sets the high 32 bits of the product version.
     *
     * @param productVersionMS the high 32 bits of the product version, laid out as the file version
     */
    public void setProductVersionMS(int productVersionMS) {
        this.productVersionMS = productVersionMS;
    }

    /**
     * Tells the low 32 bits of the product version, laid out as the file version.
     *
     * @return the low 32 bits of the product version, laid out as the file version
     */
    public int getProductVersionLS() {
        return productVersionLS;
    }

    /**
     * Sets the low 32 bits of the product version.
     *
     * @param productVersionLS the low 32 bits of the product version, laid out as the file version
     */
    public void setProductVersionLS(int productVersionLS) {
        this.productVersionLS = productVersionLS;
    }

    /**
     * Tells the bits of the file flags that are valid.
     *
     * @return the bits of the file flags that are valid
     */
    public int getFileFlagsMask() {
        return fileFlagsMask;
    }

    /**
     * Sets the mask of valid file flags.
     *
     * @param fileFlagsMask the bits of the file flags that are valid
     */
    public void setFileFlagsMask(int fileFlagsMask) {
        this.fileFlagsMask = fileFlagsMask;
    }

    /**
     * Tells the file flags (VS_FF_DEBUG 1, VS_FF_PRERELEASE 2, VS_FF_PATCHED 4, ...).
     *
     * @return the file flags (VS_FF_DEBUG 1, VS_FF_PRERELEASE 2, VS_FF_PATCHED 4, ...)
     */
    public int getFileFlags() {
        return fileFlags;
    }

    /**
     * Sets the file flags.
     *
     * @param fileFlags the file flags (VS_FF_DEBUG 1, VS_FF_PRERELEASE 2, VS_FF_PATCHED 4, ...)
     */
    public void setFileFlags(int fileFlags) {
        this.fileFlags = fileFlags;
    }

    /**
     * Tells the operating system the file was made for (VOS_NT_WINDOWS32 0x40004, ...).
     *
     * @return the operating system the file was made for (VOS_NT_WINDOWS32 0x40004, ...)
     */
    public int getFileOS() {
        return fileOS;
    }

    /**
     * Sets the target operating system.
     *
     * @param fileOS the operating system the file was made for (VOS_NT_WINDOWS32 0x40004, ...)
     */
    public void setFileOS(int fileOS) {
        this.fileOS = fileOS;
    }

    /**
     * Tells the file type (VFT_APP 1, VFT_DLL 2, VFT_DRV 3, ...).
     *
     * @return the file type (VFT_APP 1, VFT_DLL 2, VFT_DRV 3, ...)
     */
    public int getFileType() {
        return fileType;
    }

    /**
     * Sets the file type.
     *
     * @param fileType the file type (VFT_APP 1, VFT_DLL 2, VFT_DRV 3, ...)
     */
    public void setFileType(int fileType) {
        this.fileType = fileType;
    }

    /**
     * Tells the file subtype, for drivers and fonts.
     *
     * @return the file subtype, for drivers and fonts
     */
    public int getFileSubtype() {
        return fileSubtype;
    }

    /**
     * Sets the file subtype.
     *
     * @param fileSubtype the file subtype, for drivers and fonts
     */
    public void setFileSubtype(int fileSubtype) {
        this.fileSubtype = fileSubtype;
    }

    /**
     * Tells the high 32 bits of the file's date stamp.
     *
     * @return the high 32 bits of the file's date stamp
     */
    public int getFileDateMS() {
        return fileDateMS;
    }

    /**
     * Sets the high 32 bits of the date stamp.
     *
     * @param fileDateMS the high 32 bits of the file's date stamp
     */
    public void setFileDateMS(int fileDateMS) {
        this.fileDateMS = fileDateMS;
    }

    /**
     * Tells the low 32 bits of the file's date stamp.
     *
     * @return the low 32 bits of the file's date stamp
     */
    public int getFileDateLS() {
        return fileDateLS;
    }

    /**
     * Sets the low 32 bits of the date stamp.
     *
     * @param fileDateLS the low 32 bits of the file's date stamp
     */
    public void setFileDateLS(int fileDateLS) {
        this.fileDateLS = fileDateLS;
    }
}
