// Native methods of com.fernwick.wizard.platform.win32.Win32DesktopServiceImpl.
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/service_exception.h"
#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "bridge/java_results.h"
#include "bridge/platform.h"
#include "desktop/desktop_item_files.h"
#include "desktop/desktop_service.h"

namespace {

constexpr jint kCodeCreateDesktopFolder = -80000;
constexpr jint kCodeRemoveDesktopFolder = -80001;
constexpr jint kCodeCreateDesktopItem = -80002;
constexpr jint kCodeRemoveDesktopItem = -80003;

void Report(JNIEnv* env, jint code, DWORD status) {
  if (status != 0) fw::ThrowServiceException(env, code, status);
}

// The Java names of a desktop item or folder, copied for one call.
struct JavaDesktopName {
  JavaDesktopName(JNIEnv* env, jstring folder, jstring subFolder, jstring itemName, bool item)
      : folder_(env, folder), subFolder_(env, subFolder), itemName_(env, itemName), item_(item) {}
  fw::DesktopName Get() const { return {folder_.Get(), subFolder_.Get(), itemName_.Get(), item_}; }

 private:
  const fw::JavaStringChars folder_, subFolder_, itemName_;
  bool item_;
};

// Owner getters: refused on Windows 9x before anything else; "" after a failure (made before the
// work: no string can be made once the exception is pending).
jstring OwnerOf(JNIEnv* env, jint code, jstring folder, jstring subFolder, jstring itemName, bool item, bool owner) {
  if (fw::IsWindows9x()) {
    fw::ThrowNotSupported(env);
    return nullptr;
  }
  const jstring empty = fw::NewJavaString(env, fw::WideString());
  return fw::GuardNativeCall(env, code, empty, [&]() -> jstring {
    const JavaDesktopName name(env, folder, subFolder, itemName, item);
    fw::WideString account;
    const DWORD status = fw::GetDesktopOwner(name.Get(), owner, account);
    if (status != 0) {
      fw::ThrowServiceException(env, code, status);
      return empty;
    }
    return fw::NewJavaString(env, account);
  });
}

void ChangeOwner(JNIEnv* env, jint code, jstring folder, jstring subFolder, jstring itemName, bool item, bool owner,
                 jstring jaccount) {
  if (fw::IsWindows9x()) {
    fw::ThrowNotSupported(env);
    return;
  }
  fw::GuardNativeCall(env, code, [&] {
    const JavaDesktopName name(env, folder, subFolder, itemName, item);
    const fw::JavaStringChars account(env, jaccount);
    Report(env, code, fw::SetDesktopOwner(name.Get(), owner, account.Get()));
  });
}

jobject AttributesOf(JNIEnv* env, jint code, jstring folder, jstring subFolder, jstring itemName, bool item) {
  return fw::GuardNativeCall(env, code, jobject{nullptr}, [&]() -> jobject {
    const JavaDesktopName name(env, folder, subFolder, itemName, item);
    jobject peer = nullptr;
    const DWORD status = fw::GetDesktopAttributes(env, name.Get(), &peer);
    Report(env, code, status);
    return status == 0 ? peer : nullptr;
  });
}

void ChangeAttributes(JNIEnv* env, jint code, jstring folder, jstring subFolder, jstring itemName, bool item,
                      jobject attributes) {
  fw::GuardNativeCall(env, code, [&] {
    const JavaDesktopName name(env, folder, subFolder, itemName, item);
    Report(env, code, fw::SetDesktopAttributes(env, name.Get(), attributes));
  });
}

constexpr bool kItem = true, kFolder = false, kOwner = true, kGroup = false;

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_createDesktopFolder(
    JNIEnv* env, jobject, jstring jbase, jstring jname) {
  fw::GuardNativeCall(env, kCodeCreateDesktopFolder, [&] {
    const fw::JavaStringChars base(env, jbase);
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeCreateDesktopFolder, fw::CreateDesktopFolder(base.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_removeDesktopFolder(
    JNIEnv* env, jobject, jstring jbase, jstring jname) {
  fw::GuardNativeCall(env, kCodeRemoveDesktopFolder, [&] {
    const fw::JavaStringChars base(env, jbase);
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeRemoveDesktopFolder, fw::RemoveDesktopFolder(base.Get(), name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_createDesktopItem(
    JNIEnv* env, jobject, jstring jfolder, jstring jsubFolder, jstring jitemName, jstring jtarget, jstring jarguments,
    jstring jiconLocation, jstring jworkingDirectory) {
  fw::GuardNativeCall(env, kCodeCreateDesktopItem, [&] {
    const fw::JavaStringChars folder(env, jfolder);
    const fw::JavaStringChars subFolder(env, jsubFolder);
    const fw::JavaStringChars itemName(env, jitemName);
    const fw::JavaStringChars target(env, jtarget);
    const fw::JavaStringChars arguments(env, jarguments);
    const fw::JavaStringChars iconLocation(env, jiconLocation);
    const fw::JavaStringChars workingDirectory(env, jworkingDirectory);
    Report(env, kCodeCreateDesktopItem,
           fw::CreateDesktopItem(folder.Get(), subFolder.Get(), itemName.Get(), target.Get(), arguments.Get(),
                                 iconLocation.Get(), workingDirectory.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_removeDesktopItem(
    JNIEnv* env, jobject, jstring jfolder, jstring jsubFolder, jstring jitemName) {
  fw::GuardNativeCall(env, kCodeRemoveDesktopItem, [&] {
    const fw::JavaStringChars folder(env, jfolder);
    const fw::JavaStringChars subFolder(env, jsubFolder);
    const fw::JavaStringChars itemName(env, jitemName);
    Report(env, kCodeRemoveDesktopItem, fw::RemoveDesktopItem(folder.Get(), subFolder.Get(), itemName.Get()));
  });
}

#define FW_DESKTOP(method) Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_##method

JNIEXPORT jstring JNICALL FW_DESKTOP(getDesktopItemOwnerGroup)(JNIEnv* env, jobject, jstring f, jstring s, jstring i) {
  return OwnerOf(env, -80010, f, s, i, kItem, kGroup);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopItemOwnerGroup)(JNIEnv* env, jobject, jstring f, jstring s, jstring i,
                                                             jstring group) {
  ChangeOwner(env, -80011, f, s, i, kItem, kGroup, group);
}
JNIEXPORT jstring JNICALL FW_DESKTOP(getDesktopItemOwner)(JNIEnv* env, jobject, jstring f, jstring s, jstring i) {
  return OwnerOf(env, -80012, f, s, i, kItem, kOwner);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopItemOwner)(JNIEnv* env, jobject, jstring f, jstring s, jstring i,
                                                        jstring owner) {
  ChangeOwner(env, -80013, f, s, i, kItem, kOwner, owner);
}
JNIEXPORT jstring JNICALL FW_DESKTOP(getDesktopFolderOwnerGroup)(JNIEnv* env, jobject, jstring f, jstring s) {
  return OwnerOf(env, -80014, f, s, nullptr, kFolder, kGroup);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopFolderOwnerGroup)(JNIEnv* env, jobject, jstring f, jstring s,
                                                               jstring group) {
  ChangeOwner(env, -80015, f, s, nullptr, kFolder, kGroup, group);
}
JNIEXPORT jstring JNICALL FW_DESKTOP(getDesktopFolderOwner)(JNIEnv* env, jobject, jstring f, jstring s) {
  return OwnerOf(env, -80016, f, s, nullptr, kFolder, kOwner);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopFolderOwner)(JNIEnv* env, jobject, jstring f, jstring s, jstring owner) {
  ChangeOwner(env, -80017, f, s, nullptr, kFolder, kOwner, owner);
}
JNIEXPORT jobject JNICALL FW_DESKTOP(getDesktopItemAttributes)(JNIEnv* env, jobject, jstring f, jstring s, jstring i) {
  return AttributesOf(env, -80018, f, s, i, kItem);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopItemAttributes)(JNIEnv* env, jobject, jstring f, jstring s, jstring i,
                                                             jobject attributes) {
  ChangeAttributes(env, -80019, f, s, i, kItem, attributes);
}
JNIEXPORT jobject JNICALL FW_DESKTOP(getDesktopFolderAttributes)(JNIEnv* env, jobject, jstring f, jstring s) {
  return AttributesOf(env, -80020, f, s, nullptr, kFolder);
}
JNIEXPORT void JNICALL FW_DESKTOP(setDesktopFolderAttributes)(JNIEnv* env, jobject, jstring f, jstring s,
                                                               jobject attributes) {
  ChangeAttributes(env, -80021, f, s, nullptr, kFolder, attributes);
}

#undef FW_DESKTOP

}  // extern "C"
