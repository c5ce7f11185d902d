#include "desktop/desktop_item_files.h"

#include "desktop/shell_folders.h"
#include "file/file_object.h"
#include "file/file_security.h"

namespace fw {
namespace {

// A null name would leave a path the caller never meant, such as the root of the current drive.
DWORD PathOf(const DesktopName& name, WideString& path) {
  if (name.folder == nullptr || name.subFolder == nullptr || (name.item && name.itemName == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  return name.item ? DesktopItemPath(name.folder, name.subFolder, name.itemName, path)
                   : DesktopFolderPath(name.folder, name.subFolder, path);
}

}  // namespace

DWORD GetDesktopOwner(const DesktopName& name, bool owner, WideString& account) {
  WideString path;
  if (const DWORD status = PathOf(name, path)) return status;
  const FileSecurity security(path);
  return owner ? security.GetOwner(account) : security.GetOwnerGroup(account);
}

DWORD SetDesktopOwner(const DesktopName& name, bool owner, const wchar_t* account) {
  WideString path;
  if (const DWORD status = PathOf(name, path)) return status;
  const FileSecurity security(path);
  return owner ? security.SetOwner(account) : security.SetOwnerGroup(account);
}

DWORD GetDesktopAttributes(JNIEnv* env, const DesktopName& name, jobject* peer) {
  WideString path;
  if (const DWORD status = PathOf(name, path)) return status;
  return FileObject(path).GetAttributes(env, peer);
}

DWORD SetDesktopAttributes(JNIEnv* env, const DesktopName& name, jobject peer) {
  WideString path;
  if (const DWORD status = PathOf(name, path)) return status;
  return FileObject(path).SetAttributes(env, peer);
}

}  // namespace fw
