// The list nativeDeleteFilesAfterExit hands over: the entries of two java/util/Enumeration objects in
// the ANSI code page, joined by ";", each entry of the second written with "*" in front (a tree).
//
//   NarrowString list;
//   if (!ReadAfterExitList(env, files, trees, list)) return;   // no Enumeration methods: nothing to do
#pragma once

#include <jni.h>

#include "bridge/wide_string.h"

namespace fw {

// False, with nothing pending, when the Enumeration class or its methods cannot be had. A Java
// exception from the enumerations themselves leaves as JavaExceptionPending; an entry whose ANSI
// form would name another file (one that does not convert back exactly) as Win32Exception.
bool ReadAfterExitList(JNIEnv* env, jobject files, jobject trees, NarrowString& list);

}  // namespace fw
