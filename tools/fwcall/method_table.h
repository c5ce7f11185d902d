// MethodTable: every native method the Java classes declare, with its Java signature, found by the
// name a user types ("Win32FileServiceImpl.win32CopyFile", or with the package, dots or slashes).
//
//   MethodTable table(vm);
//   std::string error;
//   const NativeMethod* m = table.Find("Win32FileServiceImpl.win32CopyFile", &error);
//   m->JavaSignature();   // "int win32CopyFile(String, String, boolean)"
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "declared_natives.h"
#include "descriptor.h"
#include "test_vm.h"

namespace fwcall {

struct NativeMethod {
  fwtest::DeclaredNative declared;
  fwtest::vm::MethodSignature signature;

  std::string SimpleClassName() const;     // "Win32FileServiceImpl"
  std::string QualifiedName() const;       // "Win32FileServiceImpl.win32CopyFile"
  std::string JavaSignature() const;       // "int win32CopyFile(String, String, boolean)"
  std::string ParameterList() const;       // "(String, String, boolean)"
  // The names a JVM looks the export up by, in its order: on 32-bit Windows the decorated
  // "_Java_..._m@N" first, then the plain short name, then the long name with the argument types.
  std::vector<std::string> ExportNames(bool decorated) const;
};

class MethodTable {
 public:
  explicit MethodTable(fwtest::TestVm& vm);

  const std::vector<NativeMethod>& Methods() const { return methods_; }
  // Null, with a message, for an unknown class or method or an ambiguous name.
  const NativeMethod* Find(std::string_view name, std::string* error) const;

 private:
  std::vector<NativeMethod> methods_;
};

// "String", "int", "String[]", "FileAttributes" (simple class names) for a Java type.
std::string JavaTypeName(const fwtest::vm::TypeDesc& type);

}  // namespace fwcall
