// Running methods: dispatch to built-in behaviour or the generic peer accessors, and the type rules
// for the values they store and return.
#include "behaviours.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

Value Zero(const TypeDesc& type) {
  if (type.kind == 'V') return Value{};
  if (type.IsReference()) return Value::Ref(0);
  if (type.IsFloating()) return Value::Real(type.kind, 0);
  return Value::Int(type.kind, 0);
}

bool IsJdkClass(const ClassInfo* c) { return c->name.rfind("java/", 0) == 0 || c->name.rfind("javax/", 0) == 0; }

const char* ValueKindName(const Value& v) {
  if (v.IsIntegral()) return "an integer";
  if (v.IsFloating()) return "a floating-point";
  return "a reference";
}

}  // namespace

Value VmState::Invoke(ObjectId self, const MethodRef& method, const std::vector<Value>& args) {
  Value result = Zero(method.sig.result);
  ObjectId target = method.isStatic ? method.declaring->classObject : self;
  if (!method.isStatic && InvokeBuiltin(*this, self, method, args, &result)) return result;
  ClassInfo* runtime = method.isStatic ? method.declaring : ClassOf(self);
  if (!IsJdkClass(runtime) && InvokePeerAccessor(*this, *heap_.Get(target), method, args, &result)) {
    return result;
  }
  Violation("the test VM has no behaviour for " + method.Describe() +
            (IsJdkClass(runtime) ? "" : " (peers support getX/isX/setX/addX accessors)"));
  return Zero(method.sig.result);
}

Value VmState::Construct(ObjectId self, const MethodRef& ctor, const std::vector<Value>& args) {
  if (!ConstructBuiltin(*this, self, ctor, args)) {
    Object* o = heap_.Get(self);
    o->constructed = true;
    o->ctorDescriptor = ctor.decl->descriptor;
    o->ctorArgs = args;
  }
  return Value{};
}

Value VmState::Coerce(const Value& stored, const TypeDesc& type, const std::string& what) {
  if (!stored.IsSet() || type.kind == 'V') return Zero(type);
  if (type.IsIntegral() && stored.IsIntegral()) {
    return Value::Int(type.kind, type.kind == 'Z' ? (stored.integer != 0 ? 1 : 0) : stored.integer);
  }
  if (type.IsFloating() && stored.IsFloating()) return Value::Real(type.kind, stored.real);
  if (type.IsReference() && stored.IsReference()) {
    return CheckAssignable(stored, type, what) ? stored : Value::Ref(0);
  }
  Violation(what + " holds " + ValueKindName(stored) + " value, not " + TypeName(type));
  return Zero(type);
}

bool VmState::CheckAssignable(const Value& value, const TypeDesc& type, const std::string& what) {
  if (!type.IsReference()) return true;
  if (value.object == 0) return true;
  ClassInfo* actual = ClassOf(value.object);
  ClassInfo* expected = LoadInternal(type.ClassName());
  if (expected == nullptr || actual == nullptr) return true;  // the manifest does not know the type
  if (classes_.IsAssignable(actual, expected)) return true;
  Violation(what + " is a " + actual->name + ", not a " + TypeName(type));
  return false;
}

}  // namespace fwtest::vm
