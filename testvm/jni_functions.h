// The test VM's JNI function table, and the installers that fill its implemented slots (one per
// source file). Every slot the installers leave is a typed stub that records the call as a violation.
#ifndef FWTEST_TESTVM_JNI_FUNCTIONS_H
#define FWTEST_TESTVM_JNI_FUNCTIONS_H

#include <jni.h>

namespace fwtest::vm {

const JNINativeInterface_* FunctionTable();

void InstallClassFunctions(JNINativeInterface_& table);
void InstallExceptionFunctions(JNINativeInterface_& table);
void InstallReferenceFunctions(JNINativeInterface_& table);
void InstallMethodFunctions(JNINativeInterface_& table);
void InstallFieldFunctions(JNINativeInterface_& table);
void InstallStringFunctions(JNINativeInterface_& table);
void InstallArrayFunctions(JNINativeInterface_& table);

}  // namespace fwtest::vm

#endif
