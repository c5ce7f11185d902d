#include "winservice/failure_actions_snapshot.h"

#include "bridge/java_local_ref.h"
#include "winservice/peer_getters.h"

namespace fw {
namespace {

SC_ACTION_TYPE ActionType(jint type) {
  switch (type) {
    case SC_ACTION_RESTART:
    case SC_ACTION_REBOOT:
    case SC_ACTION_RUN_COMMAND:
      return static_cast<SC_ACTION_TYPE>(type);
    default:
      return SC_ACTION_NONE;
  }
}

}  // namespace

FailureActionsSnapshot::FailureActionsSnapshot(JNIEnv* env, jobject actions) {
  const LocalRef<jclass> cls(env, env->FindClass(kFailureActionsClass));
  if (!cls) {
    env->ExceptionClear();  // reported as an argument error instead
    return;
  }
  rebootMessage_ = ReadPeerText(env, cls.get(), actions, "getRebootMsg");
  structure_.dwResetPeriod = static_cast<DWORD>(ReadPeerInt(env, cls.get(), actions, "getResetPeriod"));
  command_ = ReadPeerText(env, cls.get(), actions, "getCommand");
  const jint count = ReadPeerInt(env, cls.get(), actions, "getActionCount");
  if (!rebootMessage_ || !command_ || count < 0) return;
  ReadActions(env, cls.get(), actions, count);
  structure_.lpRebootMsg = const_cast<wchar_t*>(rebootMessage_->Get());
  structure_.lpCommand = const_cast<wchar_t*>(command_->Get());
  structure_.cActions = static_cast<DWORD>(count);
  structure_.lpsaActions = entries_.As<SC_ACTION>();
  complete_ = true;
}

void FailureActionsSnapshot::ReadActions(JNIEnv* env, jclass cls, jobject actions, jint count) {
  if (count == 0) return;
  entries_.Allocate(static_cast<std::uint32_t>(count), sizeof(SC_ACTION));  // zero: SC_ACTION_NONE, no delay
  const jmethodID actionAt =
      PeerGetter(env, cls, "getActionAt", "(I)Lcom/fernwick/wizard/platform/win32/win32service/Win2kSCAction;");
  const LocalRef<jclass> actionClass(env, env->FindClass(kServiceActionClass));
  if (!actionClass) env->ExceptionClear();
  if (actionAt == nullptr || !actionClass) return;
  SC_ACTION* entries = entries_.As<SC_ACTION>();
  for (jint i = 0; i < count; ++i) {
    const LocalRef<jobject> action(env, env->CallObjectMethod(actions, actionAt, i));
    CheckPeerCall(env);
    if (!action) continue;
    entries[i].Delay = static_cast<DWORD>(ReadPeerInt(env, actionClass.get(), action.get(), "getDelay"));
    entries[i].Type = ActionType(ReadPeerInt(env, actionClass.get(), action.get(), "getActionType"));
    if (entries[i].Type == SC_ACTION_REBOOT) hasReboot_ = true;
  }
}

}  // namespace fw
