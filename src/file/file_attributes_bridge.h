// FileAttributesBridge: translates between a Win32 attribute word and a
// com/fernwick/util/FileAttributes peer, for one call.
//
//   FileAttributesBridge bridge(word, env);
//   jobject peer = bridge.CreatePeer();       // readable always; writeable unless read-only; ...
//   DWORD word = FileAttributesBridge(0, env).ReadPeer(peer);
//
// Only the read-only, hidden, system, archive and (when reading) directory bits take part; the
// directory bit is never produced. State numbers are the peer class's static int constants, read
// by name on every use. When the class, a method, a constant or the new object cannot be had, the
// VM's error is cleared and AttributeException (code 1 to 5) is raised, so the caller reports one
// failure of its own. A Java exception thrown by the peer's own methods is left pending
// (JavaExceptionPending).
#pragma once

#include <windows.h>

#include <jni.h>

namespace fw {

inline constexpr char kFileAttributesClass[] = "com/fernwick/util/FileAttributes";

class FileAttributesBridge {
 public:
  FileAttributesBridge(DWORD word, JNIEnv* env) noexcept : word_(word), env_(env) {}

  // A new peer for the word, as a local reference owned by the caller.
  jobject CreatePeer();
  // The word for a peer; also kept as Word().
  DWORD ReadPeer(jobject peer);
  DWORD Word() const noexcept { return word_; }

  bool QueryState(jclass cls, jobject peer, const char* state);
  void SetState(jclass cls, jobject peer, const char* state, bool value);

 private:
  jint StateNumber(jclass cls, const char* state);
  [[noreturn]] void Unreachable(int code);
  void CheckPeerCall();

  DWORD word_;
  JNIEnv* env_;
};

}  // namespace fw
