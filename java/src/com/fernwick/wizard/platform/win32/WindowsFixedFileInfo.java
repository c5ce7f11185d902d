package com.fernwick.wizard.platform.win32;

/**
 * The fixed part of a file's version resource (VS_FIXEDFILEINFO), one int per field in the
 * structure's own order.
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

    public WindowsFixedFileInfo() {
    }

    public int getSignature() {
        return signature;
    }

    public void setSignature(int signature) {
        this.signature = signature;
    }

    public int getStrucVersion() {
        return strucVersion;
    }

    public void setStrucVersion(int strucVersion) {
        this.strucVersion = strucVersion;
    }

    public int getFileVersionMS() {
        return fileVersionMS;
    }

    public void setFileVersionMS(int fileVersionMS) {
        this.fileVersionMS = fileVersionMS;
    }

    public int getFileVersionLS() {
        return fileVersionLS;
    }

    public void setFileVersionLS(int fileVersionLS) {
        this.fileVersionLS = fileVersionLS;
    }

    public int getProductVersionMS() {
        return productVersionMS;
    }

    public void setProductVersionMS(int productVersionMS) {
        this.productVersionMS = productVersionMS;
    }

    public int getProductVersionLS() {
        return productVersionLS;
    }

    public void setProductVersionLS(int productVersionLS) {
        this.productVersionLS = productVersionLS;
    }

    public int getFileFlagsMask() {
        return fileFlagsMask;
    }

    public void setFileFlagsMask(int fileFlagsMask) {
        this.fileFlagsMask = fileFlagsMask;
    }

    public int getFileFlags() {
        return fileFlags;
    }

    public void setFileFlags(int fileFlags) {
        this.fileFlags = fileFlags;
    }

    public int getFileOS() {
        return fileOS;
    }

    public void setFileOS(int fileOS) {
        this.fileOS = fileOS;
    }

    public int getFileType() {
        return fileType;
    }

    public void setFileType(int fileType) {
        this.fileType = fileType;
    }

    public int getFileSubtype() {
        return fileSubtype;
    }

    public void setFileSubtype(int fileSubtype) {
        this.fileSubtype = fileSubtype;
    }

    public int getFileDateMS() {
        return fileDateMS;
    }

    public void setFileDateMS(int fileDateMS) {
        this.fileDateMS = fileDateMS;
    }

    public int getFileDateLS() {
        return fileDateLS;
    }

    public void setFileDateLS(int fileDateLS) {
        this.fileDateLS = fileDateLS;
    }
}
