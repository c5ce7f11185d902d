// Making Java results from the library's values.
//
// Strings are made with NewString from UTF-16 (never NewStringUTF); an empty value gives "", not
// null. Each maker returns null when the VM fails (its exception is then pending and nothing more
// is called on the VM).
#pragma once

#include <jni.h>

#include <cstdint>

#include "bridge/wide_string.h"

namespace fw {

jstring NewJavaString(JNIEnv* env, const WideString& text);
jstring NewJavaString(JNIEnv* env, const wchar_t* text, std::uint32_t length);

// A String[] in list order; an empty list gives a zero-length array.
jobjectArray NewJavaStringArray(JNIEnv* env, const StringList& list);

// A byte[] holding the given bytes; a zero count gives a zero-length array.
jbyteArray NewJavaByteArray(JNIEnv* env, const void* data, std::uint32_t count);

}  // namespace fw
