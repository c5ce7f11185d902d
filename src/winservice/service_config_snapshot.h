// ServiceConfigSnapshot: the settings of a Java NTServiceConfig, read once through its getters, in
// the form CreateServiceW and ChangeServiceConfigW take them.
//
//   ServiceConfigSnapshot config(env, jconfig);
//   if (!config.Readable()) return ERROR_BAD_ARGUMENTS;     // no NTServiceConfig class
//   createService(manager, name, config.DisplayName(), ..., config.ServiceType(), ...);
//
// A getter the class lacks leaves its setting absent: -1 (SERVICE_NO_CHANGE) for a number, false
// for the desktop interaction flag, null for a text, no dependencies. The service type as sent
// carries SERVICE_INTERACTIVE_PROCESS (0x100) when desktop interaction is on (-1 stays -1). A Java
// exception thrown by a getter leaves the constructor as JavaExceptionPending.
#pragma once

#include <windows.h>

#include <jni.h>

#include <memory>

#include "bridge/java_string_chars.h"
#include "bridge/java_string_array.h"

namespace fw {

inline constexpr char kServiceConfigClass[] = "com/fernwick/wizard/platform/win32/win32service/NTServiceConfig";

class ServiceConfigSnapshot {
 public:
  ServiceConfigSnapshot(JNIEnv* env, jobject config);

  bool Readable() const noexcept { return readable_; }
  DWORD ServiceType() const noexcept;
  DWORD StartType() const noexcept { return startType_; }
  DWORD ErrorControl() const noexcept { return errorControl_; }
  const wchar_t* DisplayName() const noexcept { return Text(displayName_); }
  const wchar_t* Command() const noexcept { return Text(command_); }
  const wchar_t* LoadOrderGroup() const noexcept { return Text(loadOrderGroup_); }
  const wchar_t* UserName() const noexcept { return Text(userName_); }
  const wchar_t* Password() const noexcept { return Text(password_); }
  const JavaStringArray& Dependencies() const noexcept { return dependencies_; }

 private:
  static const wchar_t* Text(const std::unique_ptr<JavaStringChars>& copy) noexcept {
    return copy ? copy->Get() : nullptr;
  }

  bool readable_ = false;
  DWORD serviceType_ = SERVICE_NO_CHANGE;
  bool desktopInteraction_ = false;
  DWORD startType_ = SERVICE_NO_CHANGE;
  DWORD errorControl_ = SERVICE_NO_CHANGE;
  std::unique_ptr<JavaStringChars> displayName_;
  std::unique_ptr<JavaStringChars> command_;
  std::unique_ptr<JavaStringChars> loadOrderGroup_;
  std::unique_ptr<JavaStringChars> userName_;
  std::unique_ptr<JavaStringChars> password_;
  JavaStringArray dependencies_;
};

}  // namespace fw
