#include "file/file_attributes_bridge.h"

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"
#include "file/attribute_exception.h"

namespace fw {
namespace {

// AttributeException codes: which part of the peer could not be reached.
constexpr int kNoStateMethod = 1;
constexpr int kNoClass = 2;
constexpr int kNoObject = 3;
constexpr int kNoConstructor = 4;
constexpr int kNoStateConstant = 5;

}  // namespace

void FileAttributesBridge::Unreachable(int code) {
  // The look-up's own Java error would hide the ServiceException the caller reports instead.
  env_->ExceptionClear();
  throw AttributeException(code);
}

void FileAttributesBridge::CheckPeerCall() {
  if (env_->ExceptionCheck()) throw JavaExceptionPending();
}

jint FileAttributesBridge::StateNumber(jclass cls, const char* state) {
  const jfieldID field = env_->GetStaticFieldID(cls, state, "I");
  if (field == nullptr) Unreachable(kNoStateConstant);
  return env_->GetStaticIntField(cls, field);
}

bool FileAttributesBridge::QueryState(jclass cls, jobject peer, const char* state) {
  const jmethodID get = env_->GetMethodID(cls, "getAttributeState", "(I)Z");
  if (get == nullptr) Unreachable(kNoStateMethod);
  const jint number = StateNumber(cls, state);
  const jboolean value = env_->CallBooleanMethod(peer, get, number);
  CheckPeerCall();
  return value != JNI_FALSE;
}

void FileAttributesBridge::SetState(jclass cls, jobject peer, const char* state, bool value) {
  const jmethodID set = env_->GetMethodID(cls, "setAttributeState", "(IZ)V");
  if (set == nullptr) Unreachable(kNoStateMethod);
  const jint number = StateNumber(cls, state);
  env_->CallVoidMethod(peer, set, number, value ? JNI_TRUE : JNI_FALSE);
  CheckPeerCall();
}

jobject FileAttributesBridge::CreatePeer() {
  const LocalRef<jclass> cls(env_, env_->FindClass(kFileAttributesClass));
  if (!cls) Unreachable(kNoClass);
  const jmethodID constructor = env_->GetMethodID(cls.get(), "<init>", "()V");
  if (constructor == nullptr) Unreachable(kNoConstructor);
  LocalRef<jobject> peer(env_, env_->NewObject(cls.get(), constructor));
  if (!peer) Unreachable(kNoObject);

  // States are only ever set to true; the others keep the value the constructor gave them.
  const auto setAll = [&](const char* owner, const char* group, const char* world) {
    for (const char* state : {owner, group, world}) SetState(cls.get(), peer.get(), state, true);
  };
  setAll("OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE");
  if ((word_ & FILE_ATTRIBUTE_READONLY) == 0) setAll("OWNER_WRITEABLE", "GROUP_WRITEABLE", "WORLD_WRITEABLE");
  // Only directories are executable: a file's name says nothing about whether it runs.
  if ((word_ & FILE_ATTRIBUTE_DIRECTORY) != 0) setAll("OWNER_EXECUTABLE", "GROUP_EXECUTABLE", "WORLD_EXECUTABLE");
  if ((word_ & FILE_ATTRIBUTE_HIDDEN) != 0) SetState(cls.get(), peer.get(), "HIDDEN", true);
  if ((word_ & FILE_ATTRIBUTE_ARCHIVE) != 0) SetState(cls.get(), peer.get(), "ARCHIVE", true);
  if ((word_ & FILE_ATTRIBUTE_SYSTEM) != 0) SetState(cls.get(), peer.get(), "SYSTEM", true);
  return peer.release();
}

DWORD FileAttributesBridge::ReadPeer(jobject peer) {
  const LocalRef<jclass> cls(env_, env_->FindClass(kFileAttributesClass));
  if (!cls) Unreachable(kNoClass);
  // Read-only unless any one of the writeable states is set; the queries stop at the first.
  DWORD word = FILE_ATTRIBUTE_READONLY;
  if (QueryState(cls.get(), peer, "OWNER_WRITEABLE") || QueryState(cls.get(), peer, "GROUP_WRITEABLE") ||
      QueryState(cls.get(), peer, "WORLD_WRITEABLE")) {
    word &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  }
  if (QueryState(cls.get(), peer, "HIDDEN")) word |= FILE_ATTRIBUTE_HIDDEN;
  if (QueryState(cls.get(), peer, "ARCHIVE")) word |= FILE_ATTRIBUTE_ARCHIVE;
  if (QueryState(cls.get(), peer, "SYSTEM")) word |= FILE_ATTRIBUTE_SYSTEM;
  word_ = word;
  return word;
}

}  // namespace fw
