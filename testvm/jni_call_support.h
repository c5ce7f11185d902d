// Shared by the JNI call and field functions: the C type each descriptor kind maps to, conversion
// of VM values to those types, and reading method arguments from a va_list or a jvalue array by the
// method's descriptor (with C's promotions for the variadic forms).
#ifndef FWTEST_TESTVM_JNI_CALL_SUPPORT_H
#define FWTEST_TESTVM_JNI_CALL_SUPPORT_H

#include <jni.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "vm_state.h"

namespace fwtest::vm {

template <char K> struct KindType;
template <> struct KindType<'Z'> { using type = jboolean; };
template <> struct KindType<'B'> { using type = jbyte; };
template <> struct KindType<'C'> { using type = jchar; };
template <> struct KindType<'S'> { using type = jshort; };
template <> struct KindType<'I'> { using type = jint; };
template <> struct KindType<'J'> { using type = jlong; };
template <> struct KindType<'F'> { using type = jfloat; };
template <> struct KindType<'D'> { using type = jdouble; };
template <> struct KindType<'L'> { using type = jobject; };
template <> struct KindType<'V'> { using type = void; };
template <char K> using KindT = typename KindType<K>::type;

template <char K>
KindT<K> FromValue(VmState& vm, const Value& v) {
  if constexpr (K == 'V') {
    (void)vm;
    (void)v;
  } else if constexpr (K == 'L') {
    return vm.Local(v.object);
  } else if constexpr (K == 'F' || K == 'D') {
    (void)vm;
    return static_cast<KindT<K>>(v.real);
  } else {
    (void)vm;
    return static_cast<KindT<K>>(v.integer);
  }
}

// Whether Call<K>Method / Get<K>Field fits a value of `type`.
inline bool KindFits(char k, const TypeDesc& type) { return k == 'L' ? type.IsReference() : type.kind == k; }

struct ArgSource {
  va_list* list;         // the variadic and V forms
  const jvalue* array;   // the A form
};

// Reads the arguments of `method`; reference arguments are resolved and type-checked. False (with
// a violation) when one is unusable.
bool ReadArguments(VmState& vm, const MethodRef& method, ArgSource source, std::vector<Value>* out);

// The JNI function name for a call family member: ("Call", 'I', "V") -> "CallIntMethodV".
std::string CallName(const char* family, char kind, const char* variant);

}  // namespace fwtest::vm

#endif
