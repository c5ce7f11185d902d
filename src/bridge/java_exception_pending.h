// JavaExceptionPending: thrown inside a native method when a JNI call has failed and left its own
// Java exception pending (an OutOfMemoryError from GetStringChars, say). The work is abandoned and
// the boundary guard reports nothing more, so the Java caller sees exactly that exception.
#pragma once

#include <exception>

namespace fw {

class JavaExceptionPending : public std::exception {
 public:
  const char* what() const noexcept override { return "a Java exception is pending"; }
};

}  // namespace fw
