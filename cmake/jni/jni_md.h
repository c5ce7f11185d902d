/*
 * Machine-dependent JNI types for Windows targets. The JDK on the build host ships only the Linux
 * variant, whose JNICALL is empty (cdecl on i686) and whose JNIEXPORT is a visibility attribute; a
 * Windows JVM calls native methods with __stdcall and finds them in the export table.
 */
#ifndef FWNATIVE_JNI_MD_H
#define FWNATIVE_JNI_MD_H

#ifndef _WIN32
#error "this jni_md.h is for Windows targets only"
#endif

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
