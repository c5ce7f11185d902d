#include "bridge/java_string_ansi.h"

#include "bridge/java_string_chars.h"
#include "bridge/string_conversion.h"

namespace fw {

JavaStringAnsi::JavaStringAnsi(JNIEnv* env, jstring text) {
  // The UTF-16 copy is a temporary: the Java characters are released inside it, and it is freed
  // before this holder is handed out.
  const JavaStringChars wide(env, text);
  roundTripError_ = AnsiRoundTripError(wide.Get());
  WideToAnsi(wide.Get(), ansi_);
}

}  // namespace fw
