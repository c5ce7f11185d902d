// The JDK classes the library uses, as far as it uses them: java/util/Vector and the Enumeration
// its elements() returns (java/util/Vector$1, which reads the vector live as the JDK's does),
// java/lang/String and java/lang/Throwable.
#include <string>

#include "behaviours.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

constexpr const char* kVector = "java/util/Vector";
constexpr const char* kVectorEnumeration = "java/util/Vector$1";

bool Is(const MethodRef& m, std::string_view name, std::string_view descriptor) {
  return m.decl->name == name && m.decl->descriptor == descriptor;
}

Object* VectorOf(VmState& vm, Object& enumeration) {
  auto it = enumeration.properties.find("this$0");
  return it == enumeration.properties.end() ? nullptr : vm.Get(it->second.object);
}

bool VectorMethod(VmState& vm, ObjectId self, const MethodRef& m, const std::vector<Value>& args, Value* result) {
  Object& v = *vm.Get(self);
  if (Is(m, "addElement", "(Ljava/lang/Object;)V")) {
    v.elements.push_back(args[0]);
  } else if (Is(m, "add", "(Ljava/lang/Object;)Z")) {
    v.elements.push_back(args[0]);
    *result = Value::Int('Z', 1);
  } else if (Is(m, "size", "()I")) {
    *result = Value::Int('I', static_cast<jlong>(v.elements.size()));
  } else if (Is(m, "isEmpty", "()Z")) {
    *result = Value::Int('Z', v.elements.empty() ? 1 : 0);
  } else if (Is(m, "elementAt", "(I)Ljava/lang/Object;") || Is(m, "get", "(I)Ljava/lang/Object;")) {
    jlong index = args[0].integer;
    if (index < 0 || static_cast<std::size_t>(index) >= v.elements.size()) {
      vm.ThrowVmError("java/lang/ArrayIndexOutOfBoundsException",
                      std::to_string(index) + " >= " + std::to_string(v.elements.size()));
    } else {
      *result = v.elements[static_cast<std::size_t>(index)];
    }
  } else if (Is(m, "elements", "()Ljava/util/Enumeration;")) {
    ClassInfo* c = vm.LoadInternal(kVectorEnumeration);
    if (c == nullptr) return false;
    ObjectId e = vm.NewInstance(c);
    vm.Get(e)->constructed = true;
    vm.Get(e)->properties["this$0"] = Value::Ref(self);
    *result = Value::Ref(e);
  } else {
    return false;
  }
  return true;
}

bool EnumerationMethod(VmState& vm, ObjectId self, const MethodRef& m, Value* result) {
  Object& e = *vm.Get(self);
  Object* v = VectorOf(vm, e);
  std::size_t size = v == nullptr ? 0 : v->elements.size();
  if (Is(m, "hasMoreElements", "()Z")) {
    *result = Value::Int('Z', e.cursor < size ? 1 : 0);
  } else if (Is(m, "nextElement", "()Ljava/lang/Object;")) {
    if (e.cursor < size) {
      *result = v->elements[e.cursor++];
    } else {
      vm.ThrowVmError("java/util/NoSuchElementException", "Vector Enumeration");
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ThrowableMessage(VmState& vm, const Object& throwable, std::u16string* message) {
  std::optional<MethodSignature> sig = ParseMethodDescriptor(throwable.ctorDescriptor);
  if (!sig) return false;
  for (std::size_t i = 0; i < sig->params.size() && i < throwable.ctorArgs.size(); ++i) {
    if (sig->params[i].text != "Ljava/lang/String;") continue;
    Object* text = vm.Get(throwable.ctorArgs[i].object);
    if (text == nullptr) return false;
    *message = text->text;
    return true;
  }
  return false;
}

bool InvokeBuiltin(VmState& vm, ObjectId self, const MethodRef& m, const std::vector<Value>& args, Value* result) {
  for (ClassInfo* c = vm.ClassOf(self); c != nullptr; c = c->super) {
    if (c->name == kVector) return VectorMethod(vm, self, m, args, result);
    if (c->name == kVectorEnumeration) return EnumerationMethod(vm, self, m, result);
    if (c->name == "java/lang/String" && Is(m, "length", "()I")) {
      *result = Value::Int('I', static_cast<jlong>(vm.Get(self)->text.size()));
      return true;
    }
    if (c->name == "java/lang/Throwable" &&
        (Is(m, "getMessage", "()Ljava/lang/String;") || Is(m, "getLocalizedMessage", "()Ljava/lang/String;"))) {
      std::u16string message;
      *result = Value::Ref(ThrowableMessage(vm, *vm.Get(self), &message) ? vm.NewString(message) : 0);
      return true;
    }
  }
  return false;
}

bool ConstructBuiltin(VmState& vm, ObjectId self, const MethodRef& ctor, const std::vector<Value>& args) {
  (void)args;
  if (ctor.declaring->name != kVector) return false;
  Object& v = *vm.Get(self);
  v.constructed = true;
  v.ctorDescriptor = ctor.decl->descriptor;
  v.elements.clear();
  return true;
}

}  // namespace fwtest::vm
