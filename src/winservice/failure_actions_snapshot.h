// FailureActionsSnapshot: a Java Win2kServiceFailureActions in the form ChangeServiceConfig2W takes
// (SERVICE_FAILURE_ACTIONSW), read once through its getters.
//
//   FailureActionsSnapshot actions(env, jactions);
//   if (!actions.Complete()) return ERROR_BAD_ARGUMENTS;
//   changeConfig2(service, SERVICE_CONFIG_FAILURE_ACTIONS, actions.Get());
//
// Complete() is false when the class, a text getter or the action count cannot be had, or the
// count is negative: the structure could not say what the caller meant. A missing reset period
// getter leaves -1. Action types 1 (restart), 2 (reboot) and 3 (run a command) pass as they are,
// every other value as SC_ACTION_NONE; an action that cannot be read stays {SC_ACTION_NONE, 0}.
// No actions give a null action pointer, which leaves the service's actions as they are. A Java
// exception thrown by a getter leaves the constructor as JavaExceptionPending.
#pragma once

#include <windows.h>

#include <jni.h>

#include <memory>

#include "bridge/java_string_chars.h"
#include "bridge/scratch_buffer.h"

namespace fw {

inline constexpr char kFailureActionsClass[] =
    "com/fernwick/wizard/platform/win32/win32service/Win2kServiceFailureActions";
inline constexpr char kServiceActionClass[] = "com/fernwick/wizard/platform/win32/win32service/Win2kSCAction";

class FailureActionsSnapshot {
 public:
  FailureActionsSnapshot(JNIEnv* env, jobject actions);

  bool Complete() const noexcept { return complete_; }
  bool HasReboot() const noexcept { return hasReboot_; }
  SERVICE_FAILURE_ACTIONSW* Get() noexcept { return &structure_; }

 private:
  void ReadActions(JNIEnv* env, jclass cls, jobject actions, jint count);

  bool complete_ = false;
  bool hasReboot_ = false;
  std::unique_ptr<JavaStringChars> rebootMessage_;
  std::unique_ptr<JavaStringChars> command_;
  ScratchBuffer entries_;
  SERVICE_FAILURE_ACTIONSW structure_ = {};
};

}  // namespace fw
