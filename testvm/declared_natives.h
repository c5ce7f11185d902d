// The native methods the Java classes declare, from the manifest compiled into the test VM: what a
// host offers to call, each with its Java descriptor.
//
//   for (const fwtest::DeclaredNative& m : fwtest::DeclaredNatives(vm)) ...   // m.className, m.name, ...
#ifndef FWTEST_TESTVM_DECLARED_NATIVES_H
#define FWTEST_TESTVM_DECLARED_NATIVES_H

#include <string>
#include <vector>

#include "test_vm.h"

namespace fwtest {

struct DeclaredNative {
  std::string className;   // internal form, "com/fernwick/wizard/platform/win32/Win32FileServiceImpl"
  std::string name;        // "win32CopyFile"
  std::string descriptor;  // "(Ljava/lang/String;Ljava/lang/String;Z)I"
  bool isStatic = false;
};

// In class-name order, each class's methods in declaration order; JDK classes are left out.
std::vector<DeclaredNative> DeclaredNatives(TestVm& vm);

}  // namespace fwtest

#endif
