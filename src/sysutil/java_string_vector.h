// JavaStringVector: a java/util/Vector of strings made on the Java side, handed back as the
// java/util/Enumeration of its elements.
//
//   JavaStringVector vector(env);
//   if (!vector.Made()) return nullptr;        // the VM's look-up error stays pending
//   vector.Add(text);
//   return vector.Elements();                 // null when Vector has no elements()
//
// A Vector without addElement is no failure: the look-up error is cleared and the vector stays
// empty. A Java exception raised while adding throws JavaExceptionPending.
#pragma once

#include <jni.h>

#include "bridge/java_local_ref.h"
#include "bridge/wide_string.h"

namespace fw {

class JavaStringVector {
 public:
  explicit JavaStringVector(JNIEnv* env);
  JavaStringVector(const JavaStringVector&) = delete;
  JavaStringVector& operator=(const JavaStringVector&) = delete;

  bool Made() const noexcept { return vector_.get() != nullptr; }
  void Add(const WideString& text);
  // The vector's elements(); a local reference for the caller, or null.
  jobject Elements();

 private:
  JNIEnv* env_;
  LocalRef<jclass> class_;
  LocalRef<jobject> vector_;
  jmethodID addElement_ = nullptr;
};

}  // namespace fw
