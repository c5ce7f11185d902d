// Java type and method descriptors, as JNI look-ups and calls use them.
//
//   std::optional<MethodSignature> sig = ParseMethodDescriptor("(ILjava/lang/String;)V");
//   sig->params[1].kind == 'L'; sig->params[1].ClassName() == "java/lang/String";
#ifndef FWTEST_TESTVM_DESCRIPTOR_H
#define FWTEST_TESTVM_DESCRIPTOR_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fwtest::vm {

struct TypeDesc {
  char kind = 'V';   // Z B C S I J F D V, 'L' for a class, '[' for an array
  std::string text;  // the whole descriptor, e.g. "Ljava/lang/String;" or "[B"

  bool IsReference() const { return kind == 'L' || kind == '['; }
  bool IsIntegral() const;
  bool IsFloating() const { return kind == 'F' || kind == 'D'; }
  // Class name as FindClass takes it: "java/lang/String" for 'L', the descriptor itself for arrays.
  std::string ClassName() const;
};

struct MethodSignature {
  std::vector<TypeDesc> params;
  TypeDesc result;
};

std::optional<TypeDesc> ParseFieldDescriptor(std::string_view text);
std::optional<MethodSignature> ParseMethodDescriptor(std::string_view text);

// "int", "boolean", "java/lang/String", ... for messages.
std::string TypeName(const TypeDesc& type);
// The Java type name a Call<Type>Method / Get<Type>Field suffix stands for: 'I' -> "Int".
const char* KindSuffix(char kind);

}  // namespace fwtest::vm

#endif
