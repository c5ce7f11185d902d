// Native methods of com.fernwick.wizard.platform.win32.Win32SecurityServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl.h"

#include <vector>

#include "bridge/current_user_administrator.h"
#include "bridge/java_string_array.h"
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/service_exception.h"
#include "bridge/string_conversion.h"
#include "security/local_accounts.h"

namespace {

constexpr jint kCodeAdministrator = -110000;
constexpr jint kCodeCreateGroup = -110001;  // also adding a new user to its groups
constexpr jint kCodeDeleteGroup = -110002;
constexpr jint kCodeCreateUser = -110003;
constexpr jint kCodeDeleteUser = -110004;
constexpr jsize kUserDescriptionLength = 9;

// The account operations do not exist on Windows 9x: the wizard's "not supported" code, no message.
bool RefusedOn9x(JNIEnv* env) {
  if (!fw::IsWindows9x()) return false;
  fw::ThrowServiceCode(env, fw::GetNotSupportedCode(env));
  return true;
}

void Report(JNIEnv* env, jint code, DWORD status) {
  if (status != 0) fw::ThrowServiceException(env, code, status);
}

// The elements as the system takes them; a null one is refused, since no system call can take it.
bool NoNullElement(const fw::JavaStringArray& texts) { return !texts.HasNullElement(); }

std::vector<const wchar_t*> Elements(const fw::JavaStringArray& texts) {
  std::vector<const wchar_t*> elements;
  for (DWORD i = 0; i < texts.Count(); ++i) elements.push_back(texts.At(i));
  return elements;
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_win32CreateUser(
    JNIEnv* env, jobject, jobjectArray juser, jobjectArray jgroups) {
  // The description's shape is checked first, on every family.
  if (juser == nullptr || env->GetArrayLength(juser) != kUserDescriptionLength) {
    fw::ThrowServiceCode(env, fw::kCodeEInvalidArg);
    return;
  }
  if (RefusedOn9x(env)) return;
  fw::GuardNativeCall(env, kCodeCreateUser, [&] {
    const fw::JavaStringArray user(env, juser);
    const fw::JavaStringArray groups(env, jgroups);
    if (!NoNullElement(user) || !NoNullElement(groups)) return Report(env, kCodeCreateUser, ERROR_INVALID_PARAMETER);
    fw::ScratchBuffer expiry, disabled, passwordExpired;  // the three texts read as ANSI
    fw::WideToAnsi(user.At(0), expiry);
    fw::WideToAnsi(user.At(7), disabled);
    fw::WideToAnsi(user.At(8), passwordExpired);
    const auto text = [](const fw::ScratchBuffer& ansi) { return ansi.Empty() ? "" : ansi.As<const char>(); };
    const fw::UserDescription description{text(expiry),  user.At(1), user.At(2),      user.At(3),
                                          user.At(4),    user.At(5), user.At(6),      text(disabled),
                                          text(passwordExpired)};
    const fw::AccountOutcome outcome = fw::CreateUser(description, Elements(groups));
    Report(env, outcome.inGroups ? kCodeCreateGroup : kCodeCreateUser, outcome.status);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_deleteUser(JNIEnv* env, jobject,
                                                                                                  jstring jname) {
  if (RefusedOn9x(env)) return;
  fw::GuardNativeCall(env, kCodeDeleteUser, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeDeleteUser, fw::DeleteUser(name.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_win32CreateGroup(
    JNIEnv* env, jobject, jstring jname, jobjectArray jmembers) {
  if (RefusedOn9x(env)) return;
  fw::GuardNativeCall(env, kCodeCreateGroup, [&] {
    const fw::JavaStringChars name(env, jname);
    const fw::JavaStringArray members(env, jmembers);
    if (!NoNullElement(members)) return Report(env, kCodeCreateGroup, ERROR_INVALID_PARAMETER);
    Report(env, kCodeCreateGroup, fw::CreateGroup(name.Get(), Elements(members)));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_deleteGroup(JNIEnv* env, jobject,
                                                                                                   jstring jname) {
  if (RefusedOn9x(env)) return;
  fw::GuardNativeCall(env, kCodeDeleteGroup, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeDeleteGroup, fw::DeleteGroup(name.Get()));
  });
}

JNIEXPORT jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_isCurrentUserAdmin(JNIEnv* env, jobject) {
  if (fw::IsWindows9x()) return JNI_TRUE;  // every user is one there
  return fw::GuardNativeCall(env, kCodeAdministrator, jboolean{JNI_FALSE}, [&]() -> jboolean {
    DWORD error = 0;
    const bool administrator = fw::IsCurrentUserAdministrator(error);
    if (error != 0) {
      fw::ThrowServiceException(env, kCodeAdministrator, error);
      return JNI_FALSE;
    }
    return administrator ? JNI_TRUE : JNI_FALSE;
  });
}

}  // extern "C"
