#include "winservice/service_peers.h"

#include <cwchar>

#include "bridge/java_exception_pending.h"
#include "bridge/java_local_ref.h"
#include "bridge/java_results.h"
#include "bridge/wide_string.h"
#include "winservice/failure_actions_snapshot.h"
#include "winservice/service_config_snapshot.h"

namespace fw {
namespace {

// One peer under construction: its class, the object, and setters called by name.
class PeerBuilder {
 public:
  PeerBuilder(JNIEnv* env, const char* className)
      : env_(env), class_(env, env->FindClass(className)), peer_(env, NewPeer(env, class_.get())) {}

  bool Made() const noexcept { return static_cast<bool>(peer_); }

  void SetInt(const char* setter, DWORD value) { Call(setter, "(I)V", static_cast<jint>(value)); }
  void SetBoolean(const char* setter, bool value) { Call(setter, "(Z)V", value ? JNI_TRUE : JNI_FALSE); }
  void SetText(const char* setter, const wchar_t* text) {
    const LocalRef<jstring> value(
        env_, text != nullptr ? NewJavaString(env_, text, static_cast<std::uint32_t>(std::wcslen(text))) : nullptr);
    if (text != nullptr && !value) throw JavaExceptionPending();
    Call(setter, "(Ljava/lang/String;)V", value.get());
  }
  void SetObject(const char* setter, const char* signature, jobject value) { Call(setter, signature, value); }
  jobject Release() noexcept { return peer_.release(); }

 private:
  template <typename... A>
  void Call(const char* setter, const char* signature, A... args) {
    const jmethodID method = env_->GetMethodID(class_.get(), setter, signature);
    if (method == nullptr) {
      env_->ExceptionClear();  // a peer without this setter does without it
      return;
    }
    env_->CallVoidMethod(peer_.get(), method, args...);
    if (env_->ExceptionCheck()) throw JavaExceptionPending();
  }

  // Made with the no-argument constructor; null with the VM's error pending when it cannot be.
  static jobject NewPeer(JNIEnv* env, jclass cls) {
    if (cls == nullptr) return nullptr;
    const jmethodID constructor = env->GetMethodID(cls, "<init>", "()V");
    return constructor != nullptr ? env->NewObject(cls, constructor) : nullptr;
  }

  JNIEnv* env_;
  LocalRef<jclass> class_;
  LocalRef<jobject> peer_;
};

}  // namespace

jobject NewServiceConfigPeer(JNIEnv* env, const QUERY_SERVICE_CONFIGW& config) {
  PeerBuilder peer(env, kServiceConfigClass);
  if (!peer.Made()) return nullptr;
  peer.SetText("setDisplayName", config.lpDisplayName);
  peer.SetInt("setServiceType", config.dwServiceType & ~static_cast<DWORD>(SERVICE_INTERACTIVE_PROCESS));
  peer.SetBoolean("setEnableDesktopInteraction", (config.dwServiceType & SERVICE_INTERACTIVE_PROCESS) != 0);
  peer.SetInt("setStartType", config.dwStartType);
  peer.SetInt("setErrorControl", config.dwErrorControl);
  peer.SetText("setCommand", config.lpBinaryPathName);
  peer.SetText("setLoadOrderGroup", config.lpLoadOrderGroup);
  const LocalRef<jobjectArray> dependencies(env, NewStringArrayOfMultiString(env, config.lpDependencies));
  if (env->ExceptionCheck()) throw JavaExceptionPending();
  peer.SetObject("setDependencies", "([Ljava/lang/String;)V", dependencies.get());
  peer.SetText("setUserName", config.lpServiceStartName);
  peer.SetText("setPassword", nullptr);  // never handed back
  return peer.Release();
}

jobject NewServiceStatusPeer(JNIEnv* env, const SERVICE_STATUS& status) {
  PeerBuilder peer(env, kServiceStatusClass);
  if (!peer.Made()) return nullptr;
  peer.SetInt("setServiceType", status.dwServiceType);
  peer.SetInt("setCurrentState", status.dwCurrentState);
  peer.SetInt("setControlsAccepted", status.dwControlsAccepted);
  peer.SetInt("setWin32ExitCode", status.dwWin32ExitCode);
  peer.SetInt("setServiceSpecificExitCode", status.dwServiceSpecificExitCode);
  peer.SetInt("setCheckPoint", status.dwCheckPoint);
  peer.SetInt("setWaitHint", status.dwWaitHint);
  return peer.Release();
}

jobject NewStatusProcessPeer(JNIEnv* env, const SERVICE_STATUS_PROCESS& status) {
  PeerBuilder peer(env, "com/fernwick/wizard/platform/win32/win32service/Win2kServiceStatusProcess");
  if (!peer.Made()) return nullptr;
  const DWORD fields[] = {status.dwServiceType,   status.dwCurrentState, status.dwControlsAccepted,
                          status.dwWin32ExitCode, status.dwServiceSpecificExitCode, status.dwCheckPoint,
                          status.dwWaitHint,      status.dwProcessId,    status.dwServiceFlags};
  const char* setters[] = {"setServiceType", "setCurrentState", "setControlsAccepted", "setWin32ExitCode",
                           "setServiceSpecificExitCode", "setCheckPoint", "setWaitHint", "setProcessId",
                           "setServiceFlags"};
  for (std::size_t i = 0; i < sizeof(fields) / sizeof(fields[0]); ++i) peer.SetInt(setters[i], fields[i]);
  return peer.Release();
}

jobject NewFailureActionsPeer(JNIEnv* env, const SERVICE_FAILURE_ACTIONSW& actions) {
  PeerBuilder peer(env, kFailureActionsClass);
  if (!peer.Made()) return nullptr;
  peer.SetInt("setResetPeriod", actions.dwResetPeriod);
  if (actions.lpRebootMsg != nullptr) peer.SetText("setRebootMsg", actions.lpRebootMsg);
  if (actions.lpCommand != nullptr) peer.SetText("setCommand", actions.lpCommand);
  if (actions.cActions == 0) return peer.Release();
  const LocalRef<jclass> actionClass(env, env->FindClass(kServiceActionClass));
  const jmethodID constructor = actionClass ? env->GetMethodID(actionClass.get(), "<init>", "(II)V") : nullptr;
  if (constructor == nullptr) {
    env->ExceptionClear();  // without the action class the peer goes without its actions
    return peer.Release();
  }
  for (DWORD i = 0; i < actions.cActions; ++i) {
    const LocalRef<jobject> action(env, env->NewObject(actionClass.get(), constructor,
                                                       static_cast<jint>(actions.lpsaActions[i].Type),
                                                       static_cast<jint>(actions.lpsaActions[i].Delay)));
    if (!action) throw JavaExceptionPending();
    peer.SetObject("addAction", "(Lcom/fernwick/wizard/platform/win32/win32service/Win2kSCAction;)V", action.get());
  }
  return peer.Release();
}

jobject NewFixedFileInfoPeer(JNIEnv* env, const VS_FIXEDFILEINFO& info) {
  PeerBuilder peer(env, "com/fernwick/wizard/platform/win32/WindowsFixedFileInfo");
  if (!peer.Made()) return nullptr;
  const DWORD fields[] = {info.dwSignature,        info.dwStrucVersion,    info.dwFileVersionMS, info.dwFileVersionLS,
                          info.dwProductVersionMS, info.dwProductVersionLS, info.dwFileFlagsMask, info.dwFileFlags,
                          info.dwFileOS,           info.dwFileType,         info.dwFileSubtype,   info.dwFileDateMS,
                          info.dwFileDateLS};
  const char* setters[] = {"setSignature",        "setStrucVersion",    "setFileVersionMS", "setFileVersionLS",
                           "setProductVersionMS", "setProductVersionLS", "setFileFlagsMask", "setFileFlags",
                           "setFileOS",           "setFileType",         "setFileSubtype",   "setFileDateMS",
                           "setFileDateLS"};
  for (std::size_t i = 0; i < sizeof(fields) / sizeof(fields[0]); ++i) peer.SetInt(setters[i], fields[i]);
  return peer.Release();
}

jobjectArray NewStringArrayOfMultiString(JNIEnv* env, const wchar_t* multiString) {
  if (multiString == nullptr) return nullptr;
  StringList entries;
  for (const wchar_t* entry = multiString; *entry != L'\0'; entry += std::wcslen(entry) + 1) entries.emplace_back(entry);
  return NewJavaStringArray(env, entries);
}

}  // namespace fw
