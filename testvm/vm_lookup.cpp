// Method and field look-up by name and descriptor, as a VM resolves GetMethodID and GetFieldID, and
// the opaque ids handed to native code.
#include <cstdint>

#include "vm_state.h"

namespace fwtest::vm {
namespace {

#if UINTPTR_MAX > 0xFFFFFFFFu
constexpr std::uintptr_t kMethodBase = 0xF2C0000000000002ull;
constexpr std::uintptr_t kFieldBase = 0xF3C0000000000003ull;
#else
constexpr std::uintptr_t kMethodBase = 0xE0000002u;
constexpr std::uintptr_t kFieldBase = 0xF0000003u;
#endif
constexpr std::uintptr_t kIdStep = 4;

template <class Decl>
bool IsHidden(const std::set<std::string, std::less<>>& hidden, const ClassInfo* lookup, const ClassInfo* declaring,
              const Decl& decl, char separator) {
  for (const ClassInfo* c : {lookup, declaring}) {
    std::string base = c->name + "." + decl.name;
    if (hidden.count(base) != 0) return true;
    std::string withDesc = base;
    if (separator != 0) withDesc += separator;
    withDesc += decl.descriptor;
    if (hidden.count(withDesc) != 0) return true;
  }
  return false;
}

// Depth-first over the superinterfaces, as the VM searches for interface methods.
void CollectInterfaces(ClassInfo* c, std::vector<ClassInfo*>& out) {
  for (ClassInfo* i : c->interfaces) {
    bool seen = false;
    for (ClassInfo* o : out) seen = seen || o == i;
    if (!seen) {
      out.push_back(i);
      CollectInterfaces(i, out);
    }
  }
}

std::vector<ClassInfo*> SearchOrder(ClassInfo* c, bool includeInterfaces) {
  std::vector<ClassInfo*> order;
  for (ClassInfo* k = c; k != nullptr; k = k->super) order.push_back(k);
  if (includeInterfaces) {
    std::vector<ClassInfo*> interfaces;
    for (ClassInfo* k = c; k != nullptr; k = k->super) CollectInterfaces(k, interfaces);
    order.insert(order.end(), interfaces.begin(), interfaces.end());
  }
  return order;
}

}  // namespace

jmethodID VmState::LookUpMethod(ClassInfo* c, const char* name, const char* descriptor, bool isStatic) {
  if (name == nullptr || descriptor == nullptr) {
    Violation(name == nullptr ? "method name is null" : "method descriptor is null");
    return nullptr;
  }
  std::string what = c->name + "." + name + descriptor;
  std::optional<MethodSignature> sig = ParseMethodDescriptor(descriptor);
  if (!sig) {  // a VM finds nothing for a malformed descriptor
    ThrowVmError("java/lang/NoSuchMethodError", what);
    return nullptr;
  }
  std::string_view wanted(name);
  bool isConstructor = wanted == "<init>";
  std::vector<ClassInfo*> order;
  if (isConstructor) {
    order.push_back(c);  // constructors are not inherited
  } else if (wanted != "<clinit>") {
    order = SearchOrder(c, true);
    if (c->isInterface) {
      if (ClassInfo* object = LoadInternal("java/lang/Object")) order.push_back(object);
    }
  }
  for (ClassInfo* k : order) {
    if (k->decl == nullptr) continue;
    for (const MethodDecl& m : k->decl->methods) {
      if (m.name != wanted || m.descriptor != descriptor) continue;
      if (IsHidden(hiddenMethods, c, k, m, 0)) continue;
      bool methodIsStatic = (m.flags & kStatic) != 0;
      if (methodIsStatic != isStatic) {
        ThrowVmError("java/lang/NoSuchMethodError",
                     what + (methodIsStatic ? " is static" : " is not static"));
        return nullptr;
      }
      auto found = methodIds_.find(&m);
      if (found != methodIds_.end()) return found->second;
      methods_.push_back(std::make_unique<MethodRef>(MethodRef{k, &m, *sig, methodIsStatic}));
      auto id = reinterpret_cast<jmethodID>(kMethodBase + (methods_.size() - 1) * kIdStep);
      methodIds_.emplace(&m, id);
      return id;
    }
  }
  ThrowVmError("java/lang/NoSuchMethodError", what);
  return nullptr;
}

const MethodRef* VmState::FindMethodRef(ClassInfo* c, std::string_view name, std::string_view descriptor) {
  for (ClassInfo* k : SearchOrder(c, true)) {
    if (k->decl == nullptr) continue;
    for (const MethodDecl& m : k->decl->methods) {
      if (m.name != name || m.descriptor != descriptor) continue;
      auto found = methodIds_.find(&m);
      if (found != methodIds_.end()) return MethodFromId(found->second);
      std::optional<MethodSignature> sig = ParseMethodDescriptor(m.descriptor);
      if (!sig) return nullptr;
      methods_.push_back(std::make_unique<MethodRef>(MethodRef{k, &m, *sig, (m.flags & kStatic) != 0}));
      auto id = reinterpret_cast<jmethodID>(kMethodBase + (methods_.size() - 1) * kIdStep);
      methodIds_.emplace(&m, id);
      return methods_.back().get();
    }
  }
  return nullptr;
}

jfieldID VmState::LookUpField(ClassInfo* c, const char* name, const char* descriptor, bool isStatic) {
  if (name == nullptr || descriptor == nullptr) {
    Violation(name == nullptr ? "field name is null" : "field descriptor is null");
    return nullptr;
  }
  std::string what = c->name + "." + name + ":" + descriptor;
  std::optional<TypeDesc> type = ParseFieldDescriptor(descriptor);
  if (!type) {
    ThrowVmError("java/lang/NoSuchFieldError", what);
    return nullptr;
  }
  for (ClassInfo* k : SearchOrder(c, true)) {
    if (k->decl == nullptr) continue;
    for (const FieldDecl& f : k->decl->fields) {
      if (f.name != name || f.descriptor != descriptor) continue;
      if (IsHidden(hiddenFields, c, k, f, ':')) continue;
      bool fieldIsStatic = (f.flags & kStatic) != 0;
      if (fieldIsStatic != isStatic) {
        ThrowVmError("java/lang/NoSuchFieldError", what + (fieldIsStatic ? " is static" : " is not static"));
        return nullptr;
      }
      auto found = fieldIds_.find(&f);
      if (found != fieldIds_.end()) return found->second;
      fields_.push_back(std::make_unique<FieldRef>(FieldRef{k, &f, *type, fieldIsStatic}));
      auto id = reinterpret_cast<jfieldID>(kFieldBase + (fields_.size() - 1) * kIdStep);
      fieldIds_.emplace(&f, id);
      return id;
    }
  }
  ThrowVmError("java/lang/NoSuchFieldError", what);
  return nullptr;
}

const MethodRef* VmState::MethodFromId(jmethodID id) {
  auto token = reinterpret_cast<std::uintptr_t>(id);
  if (id == nullptr) {
    Violation("method id is null");
    return nullptr;
  }
  if (token >= kMethodBase && (token - kMethodBase) % kIdStep == 0 &&
      (token - kMethodBase) / kIdStep < methods_.size()) {
    return methods_[(token - kMethodBase) / kIdStep].get();
  }
  Violation("method id is not one GetMethodID or GetStaticMethodID returned");
  return nullptr;
}

const FieldRef* VmState::FieldFromId(jfieldID id) {
  auto token = reinterpret_cast<std::uintptr_t>(id);
  if (id == nullptr) {
    Violation("field id is null");
    return nullptr;
  }
  if (token >= kFieldBase && (token - kFieldBase) % kIdStep == 0 && (token - kFieldBase) / kIdStep < fields_.size()) {
    return fields_[(token - kFieldBase) / kIdStep].get();
  }
  Violation("field id is not one GetFieldID or GetStaticFieldID returned");
  return nullptr;
}

}  // namespace fwtest::vm
