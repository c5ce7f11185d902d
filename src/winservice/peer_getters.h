// Reading a Java peer through its getters, for the snapshots of NTServiceConfig and
// Win2kServiceFailureActions: a getter the class lacks is no failure (its value is absent), while a
// Java exception thrown by a getter leaves as JavaExceptionPending.
//
//   const jint count = ReadPeerInt(env, cls, peer, "getActionCount");       // -1 without the getter
//   std::unique_ptr<JavaStringChars> text = ReadPeerText(env, cls, peer, "getCommand");  // null without
#pragma once

#include <jni.h>

#include <memory>

#include "bridge/java_string_chars.h"

namespace fw {

// The getter, or null when the class lacks it (the look-up's Java error is cleared).
jmethodID PeerGetter(JNIEnv* env, jclass cls, const char* name, const char* signature);
// -1 when the class lacks the getter.
jint ReadPeerInt(JNIEnv* env, jclass cls, jobject peer, const char* getter);
// Null when the class lacks the getter; a copy holding null for a null Java string.
std::unique_ptr<JavaStringChars> ReadPeerText(JNIEnv* env, jclass cls, jobject peer, const char* getter);
// Throws JavaExceptionPending when the last call left a Java exception.
void CheckPeerCall(JNIEnv* env);

}  // namespace fw
