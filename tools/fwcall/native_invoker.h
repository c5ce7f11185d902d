// InvokeNative: calls an exported native method whose signature is known only at run time, the way
// a JVM does: JNIEnv*, then the object (or class), then the Java arguments, through the test VM so
// that the call gets its own local frame and the VM's end-of-call checks.
//
//   jvalue result = InvokeNative(vm, address, method, self, args);   // then fwtest::CallOutcome
//
// Only integral and reference types are passed (no Java native method of the library takes or
// returns float or double; CanInvoke tells).
#pragma once

#include <windows.h>

#include <jni.h>

#include <vector>

#include "fwcall/method_table.h"
#include "test_vm.h"

namespace fwcall {

bool CanInvoke(const NativeMethod& method);
jvalue InvokeNative(fwtest::TestVm& vm, FARPROC address, const NativeMethod& method, jobject self,
                    const std::vector<jvalue>& args);

}  // namespace fwcall
