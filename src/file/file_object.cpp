#include "file/file_object.h"

#include "bridge/service_exception.h"
#include "file/attribute_exception.h"
#include "file/file_attribute_calls.h"
#include "file/file_attributes_bridge.h"

namespace fw {

DWORD FileObject::GetAttributes(JNIEnv* env, jobject* peer) const {
  const DWORD word = ReadFileAttributes(path_.c_str());
  if (word == INVALID_FILE_ATTRIBUTES) return GetLastError();
  try {
    *peer = FileAttributesBridge(word, env).CreatePeer();
  } catch (const AttributeException&) {
    return kErrorEFail;
  }
  return 0;
}

DWORD FileObject::SetAttributes(JNIEnv* env, jobject peer) const {
  // "." is the caller's working directory, never what an installer means to change.
  if (path_ == L".") return kErrorEInvalidArg;
  if (peer == nullptr) return kErrorEInvalidArg;
  DWORD word = 0;
  try {
    word = FileAttributesBridge(0, env).ReadPeer(peer);
  } catch (const AttributeException&) {
    return kErrorEFail;
  }
  if (!WriteFileAttributes(path_.c_str(), word)) return GetLastError();
  return 0;
}

}  // namespace fw
