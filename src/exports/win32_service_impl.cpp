// Native methods of com.fernwick.wizard.platform.win32.Win32ServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"

#include <optional>

#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/platform.h"
#include "bridge/service_exception.h"
#include "winservice/file_version.h"
#include "bridge/java_string_array.h"
#include "winservice/service_operations.h"
#include "winservice/service_peers.h"

namespace {

constexpr jint kCodeCreate = -120000;
constexpr jint kCodeDelete = -120001;
constexpr jint kCodeStart = -120002;
constexpr jint kCodeControl = -120003;
constexpr jint kCodeChangeConfig = -120004;
constexpr jint kCodeQueryConfig = -1200005;
constexpr jint kCodeQueryStatus = -1200006;
constexpr jint kCodeDisplayName = -1200007;
constexpr jint kCodeKeyName = -1200008;
constexpr jint kCodeEnumKeys = -1200009;
constexpr jint kCodeFailureActions = -1200010;
constexpr jint kCodeDescription = -1200011;
constexpr jint kCodeChangeDescription = -1200012;
constexpr jint kCodeChangeFailureActions = -1200013;
constexpr jint kCodeStatusProcess = -1200014;
constexpr jint kCodeShortPath = -1200015;
constexpr jint kCodeExistsManager = -1200012;
// serviceExists reports a service it cannot open under the value of ERROR_SERVICE_EXISTS.
constexpr jint kCodeExistsService = 1073;

// Reports the error; true when there was none.
bool Report(JNIEnv* env, jint code, DWORD error) {
  if (error == 0) return true;
  fw::ThrowServiceException(env, code, error);
  return false;
}

jobject StatusResult(JNIEnv* env, jint code, DWORD error, const std::optional<SERVICE_STATUS>& status) {
  return Report(env, code, error) && status ? fw::NewServiceStatusPeer(env, *status) : nullptr;
}

jstring NameResult(JNIEnv* env, jint code, DWORD error, const std::optional<fw::WideString>& name) {
  return Report(env, code, error) && name ? fw::NewJavaString(env, *name) : nullptr;
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_createNTService(JNIEnv* env, jobject,
                                                                                               jstring jname,
                                                                                               jobject config) {
  fw::GuardNativeCall(env, kCodeCreate, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeCreate, fw::CreateNTService(env, name, config));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_changeNTServiceConfig(
    JNIEnv* env, jobject, jstring jname, jobject config) {
  fw::GuardNativeCall(env, kCodeChangeConfig, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeChangeConfig, fw::ChangeNTServiceConfig(env, name, config));
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_queryNTServiceConfig(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeQueryConfig, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars name(env, jname);
    fw::ScratchBuffer config;
    if (!Report(env, kCodeQueryConfig, fw::QueryNTServiceConfig(name, config)) || config.Empty()) return nullptr;
    return fw::NewServiceConfigPeer(env, *config.As<const QUERY_SERVICE_CONFIGW>());
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_startNTService(JNIEnv* env, jobject,
                                                                                              jstring jname,
                                                                                              jobjectArray jarguments) {
  fw::GuardNativeCall(env, kCodeStart, [&] {
    const fw::JavaStringChars name(env, jname);
    fw::JavaStringArray arguments(env, jarguments);
    Report(env, kCodeStart, fw::StartNTService(name, arguments));
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_controlNTService(JNIEnv* env,
                                                                                                   jobject,
                                                                                                   jstring jname,
                                                                                                   jint control) {
  return fw::GuardNativeCall(env, kCodeControl, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars name(env, jname);
    std::optional<SERVICE_STATUS> status;
    const DWORD error = fw::ControlNTService(name, static_cast<DWORD>(control), status);
    return StatusResult(env, kCodeControl, error, status);
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_queryNTServiceStatus(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeQueryStatus, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars name(env, jname);
    std::optional<SERVICE_STATUS> status;
    const DWORD error = fw::QueryNTServiceStatus(name, status);
    return StatusResult(env, kCodeQueryStatus, error, status);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_deleteNTService(JNIEnv* env, jobject,
                                                                                               jstring jname) {
  fw::GuardNativeCall(env, kCodeDelete, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeDelete, fw::DeleteNTService(name));
  });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_serviceExists(JNIEnv* env,
                                                                                                 jobject,
                                                                                                 jstring jname) {
  return fw::GuardNativeCall(env, kCodeExistsManager, jboolean{JNI_FALSE}, [&]() -> jboolean {
    const fw::JavaStringChars name(env, jname);
    const fw::ServiceExistence found = fw::FindService(name);
    if (Report(env, kCodeExistsManager, found.managerError)) Report(env, kCodeExistsService, found.serviceError);
    return found.exists ? JNI_TRUE : JNI_FALSE;
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_getNTServiceDisplayName(
    JNIEnv* env, jobject, jstring jkeyName) {
  return fw::GuardNativeCall(env, kCodeDisplayName, jstring{nullptr}, [&]() -> jstring {
    const fw::JavaStringChars keyName(env, jkeyName);
    std::optional<fw::WideString> displayName;
    const DWORD error = fw::GetNTServiceDisplayName(keyName, displayName);
    return NameResult(env, kCodeDisplayName, error, displayName);
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_getNTServiceKeyName(
    JNIEnv* env, jobject, jstring jdisplayName) {
  return fw::GuardNativeCall(env, kCodeKeyName, jstring{nullptr}, [&]() -> jstring {
    const fw::JavaStringChars displayName(env, jdisplayName);
    std::optional<fw::WideString> keyName;
    const DWORD error = fw::GetNTServiceKeyName(displayName, keyName);
    return NameResult(env, kCodeKeyName, error, keyName);
  });
}

JNIEXPORT jobjectArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_enumNTServiceKeys(
    JNIEnv* env, jobject, jint serviceType, jint serviceState) {
  return fw::GuardNativeCall(env, kCodeEnumKeys, jobjectArray{nullptr}, [&]() -> jobjectArray {
    std::optional<fw::StringList> keyNames;
    const DWORD error = fw::EnumNTServiceKeys(static_cast<DWORD>(serviceType), static_cast<DWORD>(serviceState), keyNames);
    return Report(env, kCodeEnumKeys, error) && keyNames ? fw::NewJavaStringArray(env, *keyNames) : nullptr;
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_queryWin2kServiceFailureActions(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeFailureActions, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars name(env, jname);
    fw::ScratchBuffer actions;
    if (!Report(env, kCodeFailureActions, fw::QueryWin2kServiceFailureActions(name, actions)) || actions.Empty()) {
      return nullptr;
    }
    return fw::NewFailureActionsPeer(env, *actions.As<const SERVICE_FAILURE_ACTIONSW>());
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_changeWin2kServiceFailureActions(
    JNIEnv* env, jobject, jstring jname, jobject actions) {
  fw::GuardNativeCall(env, kCodeChangeFailureActions, [&] {
    const fw::JavaStringChars name(env, jname);
    Report(env, kCodeChangeFailureActions, fw::ChangeWin2kServiceFailureActions(env, name, actions));
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_queryWin2kServiceDescription(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeDescription, jstring{nullptr}, [&]() -> jstring {
    const fw::JavaStringChars name(env, jname);
    DWORD error = 0;
    const std::optional<fw::WideString> description = fw::QueryWin2kServiceDescription(name, error);
    return NameResult(env, kCodeDescription, error, description);
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_changeWin2kServiceDescription(
    JNIEnv* env, jobject, jstring jname, jstring jdescription) {
  fw::GuardNativeCall(env, kCodeChangeDescription, [&] {
    const fw::JavaStringChars name(env, jname);
    const fw::JavaStringChars description(env, jdescription);
    Report(env, kCodeChangeDescription, fw::ChangeWin2kServiceDescription(name, description));
  });
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_queryWin2kServiceStatusProcess(
    JNIEnv* env, jobject, jstring jname) {
  return fw::GuardNativeCall(env, kCodeStatusProcess, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars name(env, jname);
    fw::ScratchBuffer status;
    if (!Report(env, kCodeStatusProcess, fw::QueryWin2kServiceStatusProcess(name, status)) || status.Empty()) {
      return nullptr;
    }
    return fw::NewStatusProcessPeer(env, *status.As<const SERVICE_STATUS_PROCESS>());
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_getShortPath(JNIEnv* env, jobject,
                                                                                               jstring jpath) {
  return fw::GuardNativeCall(env, kCodeShortPath, jstring{nullptr}, [&]() -> jstring {
    const fw::JavaStringChars path(env, jpath);
    fw::WideString shortPath;
    if (!Report(env, kCodeShortPath, fw::ShortPathOf(path.Get(), shortPath))) return nullptr;
    return fw::NewJavaString(env, shortPath);
  });
}

// Never throws: a file without version information, or one that cannot be read, gives null.
JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_getFixedFileInfo(JNIEnv* env,
                                                                                                   jobject,
                                                                                                   jstring jpath) {
  try {
    const fw::JavaStringChars path(env, jpath);
    const std::optional<VS_FIXEDFILEINFO> info = fw::FixedFileInfoOf(path.Get());
    return info ? fw::NewFixedFileInfoPeer(env, *info) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_isWin2k(JNIEnv*, jobject) {
  return fw::IsWindows2000() ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
