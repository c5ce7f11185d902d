// The generic behaviour of peer classes: accessors read and write named properties, so a new peer
// class in the manifest needs no VM code.
#include <cctype>

#include "behaviours.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

// "setServiceType" with prefix "set" gives "ServiceType"; empty when the name has another shape.
std::string PropertyName(const std::string& method, std::string_view prefix) {
  if (method.size() <= prefix.size() || method.compare(0, prefix.size(), prefix) != 0) return "";
  if (!std::isupper(static_cast<unsigned char>(method[prefix.size()]))) return "";
  return method.substr(prefix.size());
}

std::string KeyText(VmState& vm, const Value& key) {
  if (key.IsIntegral()) return std::to_string(key.integer);
  if (key.IsReference()) {
    Object* o = vm.Get(key.object);
    if (o == nullptr) return "null";
    if (o->kind == ObjectKind::kString) return ToUtf8(o->text);
  }
  return "?";
}

}  // namespace

std::string IndexedName(std::string_view name, std::string_view key) {
  return std::string(name) + "[" + std::string(key) + "]";
}

bool InvokePeerAccessor(VmState& vm, Object& target, const MethodRef& m, const std::vector<Value>& args,
                        Value* result) {
  const std::string& name = m.decl->name;
  const TypeDesc& returns = m.sig.result;
  if (std::string property = PropertyName(name, "set"); !property.empty() && returns.kind == 'V') {
    if (args.size() == 1) {
      target.properties[property] = args[0];
      return true;
    }
    if (args.size() == 2) {
      target.properties[IndexedName(property, KeyText(vm, args[0]))] = args[1];
      return true;
    }
    return false;
  }
  std::string property = PropertyName(name, "get");
  if (property.empty() && returns.kind == 'Z') property = PropertyName(name, "is");
  if (!property.empty() && returns.kind != 'V' && args.size() <= 1) {
    if (args.size() == 1) property = IndexedName(property, KeyText(vm, args[0]));
    auto it = target.properties.find(property);
    Value stored = it == target.properties.end() ? Value{} : it->second;
    *result = vm.Coerce(stored, returns, "property " + property + " read by " + m.Describe());
    return true;
  }
  if (std::string list = PropertyName(name, "add"); !list.empty() && returns.kind == 'V' && args.size() == 1) {
    target.lists[list].push_back(args[0]);
    return true;
  }
  return false;
}

}  // namespace fwtest::vm
