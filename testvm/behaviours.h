// Behaviour of the methods the test VM runs: built-in JDK classes (String, Vector and its
// Enumeration, Throwable) and the generic peer accessors that every other class gets.
#ifndef FWTEST_TESTVM_BEHAVIOURS_H
#define FWTEST_TESTVM_BEHAVIOURS_H

#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace fwtest::vm {

class VmState;
struct MethodRef;
struct Object;

// Runs a built-in JDK method of `self`'s class or a superclass; false when none matches.
bool InvokeBuiltin(VmState& vm, ObjectId self, const MethodRef& method, const std::vector<Value>& args,
                   Value* result);
bool ConstructBuiltin(VmState& vm, ObjectId self, const MethodRef& ctor, const std::vector<Value>& args);

// getX()/isX(), setX(v), getX(k), setX(k, v), addX(v) on `target`'s properties; false when the
// method has none of these shapes.
bool InvokePeerAccessor(VmState& vm, Object& target, const MethodRef& method, const std::vector<Value>& args,
                        Value* result);

// "X[k]": the property an indexed accessor with key k uses.
std::string IndexedName(std::string_view name, std::string_view key);

// The message a Throwable was made with, if it was given a non-null String.
bool ThrowableMessage(VmState& vm, const Object& throwable, std::u16string* message);

}  // namespace fwtest::vm

#endif
