// The Java arrays that the registry setters receive, copied into the library's values before the
// registry is touched.
//
//   StringList list = StringListFromJava(env, jvalues);   // a null element becomes ""
//   ScratchBuffer bytes = BytesFromJava(env, jdata);       // 1-byte elements
//
// A null array is refused with RegistryException(ERROR_INVALID_PARAMETER), so the caller gets a
// clear error and nothing is written. When the VM fails (an exception pending) they throw
// JavaExceptionPending.
#pragma once

#include <jni.h>

#include "bridge/scratch_buffer.h"
#include "bridge/wide_string.h"

namespace fw {

StringList StringListFromJava(JNIEnv* env, jobjectArray array);
ScratchBuffer BytesFromJava(JNIEnv* env, jbyteArray array);

}  // namespace fw
