// Native methods of com.fernwick.wizard.platform.win32.Win32FileServiceImpl.
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"

#include "bridge/java_string_chars.h"
#include "bridge/native_boundary.h"
#include "bridge/service_exception.h"
#include "bridge/java_results.h"
#include "file/critical_errors_suppressed.h"
#include "file/delete_core.h"
#include "bridge/platform.h"
#include "file/directory_writable.h"
#include "file/file_security.h"
#include "file/standard_directories.h"
#include "file/volumes.h"
#include "file/file_copy.h"
#include "file/file_move.h"
#include "file/file_object.h"
#include "file/file_outcome.h"
#include "file/file_times.h"
#include "file/remove_tree.h"

namespace {

constexpr jint kCodeGetFileAttributes = -30000;
constexpr jint kCodeSetFileAttributes = -30001;
constexpr jint kCodeSetFileTimes = -30007;
constexpr jint kCodeSetFileCreated = -30011;
constexpr jint kCodeSetFileModified = -30016;
constexpr jint kCodeCopyFile = -30017;
constexpr jint kCodeMoveFile = -30018;
constexpr jint kCodeDeleteFile = -30019;
constexpr jint kCodeDeleteDirectory = -30020;
constexpr jint kCodePartitionFormat = -30010;
constexpr jint kCodePartitionFreeSpace = -30004;
constexpr jint kCodeLongFileNames = -30015;
constexpr jint kCodeCommonDirectory = -30022;
constexpr jint kCodeWindowsDirectory = -60000;
constexpr jint kCodeInstallDirectory = -60001;
constexpr jint kCodeTempDirectory = -60002;
constexpr jint kCodeGetFileOwnerGroup = -30008;
constexpr jint kCodeSetFileOwnerGroup = -30009;
constexpr jint kCodeGetFileOwner = -30012;
constexpr jint kCodeSetFileOwner = -30013;

// After a failure the Java side ignores the result: the exception is pending.
constexpr jint kFailedResult = -1;

jint Report(JNIEnv* env, jint code, const fw::FileOutcome& outcome) {
  if (outcome.error != 0) {
    fw::ThrowServiceException(env, code, outcome.error);
    return kFailedResult;
  }
  return outcome.result;
}

void Report(JNIEnv* env, jint code, DWORD error) {
  if (error != 0) fw::ThrowServiceException(env, code, error);
}

// A text result: after a failure the method still returns "", made before the work because no
// string can be made once the exception is pending.
template <typename Work>
jstring TextResult(JNIEnv* env, jint code, Work&& work) {
  const jstring empty = fw::NewJavaString(env, fw::WideString());
  return fw::GuardNativeCall(env, code, empty, [&]() -> jstring {
    fw::WideString text;
    const DWORD error = work(text);
    if (error != 0) {
      fw::ThrowServiceException(env, code, error);
      return empty;
    }
    return fw::NewJavaString(env, text);
  });
}

// Owners: refused on Windows 9x before any argument is touched; otherwise the account name, or ""
// after a failure (made before the work, since no string can be made once an exception is pending).
jstring OwnerResult(JNIEnv* env, jint code, jstring jpath, bool owner);
void ChangeOwner(JNIEnv* env, jint code, jstring jpath, jstring jaccount, bool owner);

// FileObject takes a null path as "": Windows then reports the error.
fw::WideString PathValue(const fw::JavaStringChars& path) { return path.IsNull() ? L"" : path.Get(); }

jstring OwnerResult(JNIEnv* env, jint code, jstring jpath, bool owner) {
  if (fw::IsWindows9x()) {
    fw::ThrowNotSupported(env);
    return nullptr;
  }
  return TextResult(env, code, [&](fw::WideString& account) {
    const fw::JavaStringChars path(env, jpath);
    const fw::FileSecurity security(PathValue(path));
    return owner ? security.GetOwner(account) : security.GetOwnerGroup(account);
  });
}

void ChangeOwner(JNIEnv* env, jint code, jstring jpath, jstring jaccount, bool owner) {
  if (fw::IsWindows9x()) {
    fw::ThrowNotSupported(env);
    return;
  }
  fw::GuardNativeCall(env, code, [&] {
    const fw::JavaStringChars path(env, jpath);
    const fw::JavaStringChars account(env, jaccount);
    const fw::FileSecurity security(PathValue(path));
    Report(env, code, owner ? security.SetOwner(account.Get()) : security.SetOwnerGroup(account.Get()));
  });
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getFileOwner(JNIEnv* env, jobject,
                                                                                                   jstring jpath) {
  return OwnerResult(env, kCodeGetFileOwner, jpath, true);
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_setFileOwner(JNIEnv* env, jobject,
                                                                                                jstring jpath,
                                                                                                jstring jowner) {
  ChangeOwner(env, kCodeSetFileOwner, jpath, jowner, true);
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getFileOwnerGroup(
    JNIEnv* env, jobject, jstring jpath) {
  return OwnerResult(env, kCodeGetFileOwnerGroup, jpath, false);
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_setFileOwnerGroup(
    JNIEnv* env, jobject, jstring jpath, jstring jgroup) {
  ChangeOwner(env, kCodeSetFileOwnerGroup, jpath, jgroup, false);
}

JNIEXPORT jobject JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getFileAttributes(
    JNIEnv* env, jobject, jstring jpath) {
  return fw::GuardNativeCall(env, kCodeGetFileAttributes, jobject{nullptr}, [&]() -> jobject {
    const fw::JavaStringChars path(env, jpath);
    jobject peer = nullptr;
    const DWORD error = fw::FileObject(PathValue(path)).GetAttributes(env, &peer);
    Report(env, kCodeGetFileAttributes, error);
    return error == 0 ? peer : nullptr;
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_setFileAttributes(
    JNIEnv* env, jobject, jstring jpath, jobject attributes) {
  fw::GuardNativeCall(env, kCodeSetFileAttributes, [&] {
    const fw::JavaStringChars path(env, jpath);
    Report(env, kCodeSetFileAttributes, fw::FileObject(PathValue(path)).SetAttributes(env, attributes));
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32CopyFile(
    JNIEnv* env, jobject, jstring jsource, jstring jtarget, jboolean overwrite) {
  return fw::GuardNativeCall(env, kCodeCopyFile, kFailedResult, [&] {
    const fw::JavaStringChars source(env, jsource);
    const fw::JavaStringChars target(env, jtarget);
    return Report(env, kCodeCopyFile, fw::CopyFileOrSchedule(source.Get(), target.Get(), overwrite != JNI_FALSE));
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32MoveFile(
    JNIEnv* env, jobject, jstring jsource, jstring jtarget, jboolean overwrite) {
  return fw::GuardNativeCall(env, kCodeMoveFile, kFailedResult, [&] {
    const fw::JavaStringChars source(env, jsource);
    const fw::JavaStringChars target(env, jtarget);
    return Report(env, kCodeMoveFile, fw::MoveFileOrSchedule(source.Get(), target.Get(), overwrite != JNI_FALSE));
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32DeleteFile(JNIEnv* env,
                                                                                                  jobject,
                                                                                                  jstring jpath) {
  return fw::GuardNativeCall(env, kCodeDeleteFile, kFailedResult, [&] {
    const fw::JavaStringChars path(env, jpath);
    return Report(env, kCodeDeleteFile, fw::DeleteFileOrSchedule(path.Get()));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32SetFileTimes(
    JNIEnv* env, jobject, jstring jpath, jlong created, jlong accessed, jlong modified) {
  fw::GuardNativeCall(env, kCodeSetFileTimes, [&] {
    const fw::JavaStringChars path(env, jpath);
    const FILETIME times[] = {fw::FileTimeOf(created), fw::FileTimeOf(accessed), fw::FileTimeOf(modified)};
    Report(env, kCodeSetFileTimes, fw::SetFileTimes(path.Get(), &times[0], &times[1], &times[2]));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32SetFileModified(
    JNIEnv* env, jobject, jstring jpath, jlong modified) {
  fw::GuardNativeCall(env, kCodeSetFileModified, [&] {
    const fw::JavaStringChars path(env, jpath);
    const FILETIME time = fw::FileTimeOf(modified);
    Report(env, kCodeSetFileModified, fw::SetFileTimes(path.Get(), nullptr, nullptr, &time));
  });
}

JNIEXPORT void JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32SetFileCreated(
    JNIEnv* env, jobject, jstring jpath, jlong created) {
  fw::GuardNativeCall(env, kCodeSetFileCreated, [&] {
    const fw::JavaStringChars path(env, jpath);
    const FILETIME time = fw::FileTimeOf(created);
    Report(env, kCodeSetFileCreated, fw::SetFileTimes(path.Get(), &time, nullptr, nullptr));
  });
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32DeleteDirectory(
    JNIEnv* env, jobject, jstring jpath, jboolean single, jboolean recursive) {
  return fw::GuardNativeCall(env, kCodeDeleteDirectory, kFailedResult, [&] {
    const fw::JavaStringChars path(env, jpath);
    return Report(env, kCodeDeleteDirectory,
                  fw::RemoveDirectoryOrTree(path.Get(), single != JNI_FALSE, recursive != JNI_FALSE));
  });
}

JNIEXPORT jobjectArray JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getPartitionNames(
    JNIEnv* env, jobject) {
  // Never a ServiceException and never null: the empty answer is made before the work.
  const jobjectArray none = fw::NewJavaStringArray(env, fw::StringList());
  try {
    const jobjectArray roots = fw::NewJavaStringArray(env, fw::DriveRoots());
    return roots != nullptr ? roots : none;
  } catch (...) {
    return none;
  }
}

JNIEXPORT jint JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getPartitionType(JNIEnv* env,
                                                                                                   jobject,
                                                                                                   jstring jroot) {
  try {
    const fw::JavaStringChars root(env, jroot);
    return fw::DriveKind(root.Get());
  } catch (...) {
    return -1;
  }
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getPartitionFormat(
    JNIEnv* env, jobject, jstring jroot) {
  return TextResult(env, kCodePartitionFormat, [&](fw::WideString& name) {
    const fw::JavaStringChars root(env, jroot);
    return fw::FileSystemName(root.Get(), name);
  });
}

JNIEXPORT jlong JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getPartitionFreeSpace(
    JNIEnv* env, jobject, jstring jpath) {
  return fw::GuardNativeCall(env, kCodePartitionFreeSpace, jlong{0}, [&]() -> jlong {
    const fw::JavaStringChars path(env, jpath);
    std::uint64_t bytes = 0;
    Report(env, kCodePartitionFreeSpace, fw::FreeSpaceFor(path.Get(), bytes));
    return static_cast<jlong>(bytes);
  });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_supportsLongFileNames(
    JNIEnv* env, jobject, jstring jroot) {
  return fw::GuardNativeCall(env, kCodeLongFileNames, jboolean{JNI_FALSE}, [&]() -> jboolean {
    const fw::JavaStringChars root(env, jroot);
    bool supported = false;
    Report(env, kCodeLongFileNames, fw::LongFileNamesOn(root.Get(), supported));
    return supported ? JNI_TRUE : JNI_FALSE;
  });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getTempDirectory(JNIEnv* env,
                                                                                                      jobject) {
  return TextResult(env, kCodeTempDirectory, [](fw::WideString& path) { return fw::TempDirectory(path); });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32GetWindowsDirectory(
    JNIEnv* env, jobject) {
  return TextResult(env, kCodeWindowsDirectory, [](fw::WideString& path) { return fw::WindowsDirectory(path); });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getLibraryDirectory(JNIEnv* env,
                                                                                                         jobject) {
  // Never a ServiceException and never null: "" is made before the work.
  const jstring empty = fw::NewJavaString(env, fw::WideString());
  try {
    const jstring directory = fw::NewJavaString(env, fw::SystemDirectory());
    return directory != nullptr ? directory : empty;
  } catch (...) {
    return empty;
  }
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_getStandardInstallDirectory(
    JNIEnv* env, jobject) {
  return TextResult(env, kCodeInstallDirectory,
                    [](fw::WideString& path) { return fw::CurrentVersionDirectory(L"ProgramFilesDir", path); });
}

JNIEXPORT jstring JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32GetCommonDirectory(
    JNIEnv* env, jobject) {
  return TextResult(env, kCodeCommonDirectory,
                    [](fw::WideString& path) { return fw::CurrentVersionDirectory(L"CommonFilesDir", path); });
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_isDirectoryWritable(
    JNIEnv* env, jobject, jstring jdirectory) {
  try {
    const fw::JavaStringChars directory(env, jdirectory);
    if (directory.Length() == 0) {
      fw::ThrowServiceCode(env, fw::kCodeEInvalidArg);
      return JNI_FALSE;
    }
    return fw::IsDirectoryWritable(directory.Get()) ? JNI_TRUE : JNI_FALSE;
  } catch (...) {
    return JNI_FALSE;
  }
}

JNIEXPORT jboolean JNICALL Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32EnableAbort(
    JNIEnv*, jobject, jboolean enable) {
  return fw::EnableCriticalErrorDialogs(enable != JNI_FALSE) ? JNI_TRUE : JNI_FALSE;
}

}  // extern "C"
