// Value: one Java value inside the test VM (a field, property, argument or result).
//
//   Value v = Value::Int('I', 42);        // kind is the descriptor character
//   Value s = Value::Ref(stringId);       // ObjectId 0 is null
#ifndef FWTEST_TESTVM_VALUE_H
#define FWTEST_TESTVM_VALUE_H

#include <jni.h>

#include <cstdint>

namespace fwtest::vm {

using ObjectId = std::uint32_t;  // index into the heap; 0 is null

struct Value {
  char kind = 0;     // 0: unset; Z B C S I J (integer), F D (real), 'L' reference
  jlong integer = 0;
  double real = 0;
  ObjectId object = 0;

  static Value Int(char kind, jlong v) { return Value{kind, v, 0, 0}; }
  static Value Real(char kind, double v) { return Value{kind, 0, v, 0}; }
  static Value Ref(ObjectId id) { return Value{'L', 0, 0, id}; }
  bool IsSet() const { return kind != 0; }
  bool IsIntegral() const { return kind == 'Z' || kind == 'B' || kind == 'C' || kind == 'S' || kind == 'I' || kind == 'J'; }
  bool IsFloating() const { return kind == 'F' || kind == 'D'; }
  bool IsReference() const { return kind == 'L'; }
};

}  // namespace fwtest::vm

#endif
