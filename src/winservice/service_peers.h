// The Java peers the service methods return: NTServiceConfig from a QUERY_SERVICE_CONFIGW,
// NTServiceStatus from a SERVICE_STATUS, and a String[] from a multi-string.
//
//   return NewServiceStatusPeer(env, status);   // a local reference, or null with the VM's error pending
//
// Each peer is made with its no-argument constructor and filled through its setters; a setter the
// class lacks is skipped. The configuration's service type arrives without SERVICE_INTERACTIVE_PROCESS
// (0x100), which becomes the desktop interaction flag; the password is always null. A Java
// exception thrown by a setter leaves as JavaExceptionPending.
#pragma once

#include <windows.h>

#include <jni.h>

namespace fw {

inline constexpr char kServiceStatusClass[] = "com/fernwick/wizard/platform/win32/win32service/NTServiceStatus";

jobject NewServiceConfigPeer(JNIEnv* env, const QUERY_SERVICE_CONFIGW& config);
jobject NewServiceStatusPeer(JNIEnv* env, const SERVICE_STATUS& status);
// Win2kServiceStatusProcess: the full service type, the interaction bit included.
jobject NewStatusProcessPeer(JNIEnv* env, const SERVICE_STATUS_PROCESS& status);
// Win2kServiceFailureActions: the texts only when present, one Win2kSCAction (made with its
// (type, delay) constructor) added per action; none when that class or constructor is missing.
jobject NewFailureActionsPeer(JNIEnv* env, const SERVICE_FAILURE_ACTIONSW& actions);
// WindowsFixedFileInfo: the thirteen fields in the structure's order.
jobject NewFixedFileInfoPeer(JNIEnv* env, const VS_FIXEDFILEINFO& info);
// Entries up to the first empty one; a null pointer gives a null array.
jobjectArray NewStringArrayOfMultiString(JNIEnv* env, const wchar_t* multiString);

}  // namespace fw
