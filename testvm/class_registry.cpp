#include <algorithm>

#include "class_info.h"
#include "descriptor.h"
#include "object_heap.h"

namespace fwtest::vm {

ClassInfo* ClassRegistry::Loaded(std::string_view name) const {
  auto it = loaded_.find(name);
  return it == loaded_.end() ? nullptr : it->second.get();
}

ClassInfo* ClassRegistry::Register(std::unique_ptr<ClassInfo> info) {
  ClassInfo* raw = info.get();
  loaded_[raw->name] = std::move(info);
  // The Class object's own class is loaded lazily: java/lang/Class may itself be loading now.
  auto object = std::make_unique<Object>(nullptr, ObjectKind::kClass);
  object->represented = raw;
  raw->classObject = heap_.Add(std::move(object));
  return raw;
}

ClassInfo* ClassRegistry::Load(std::string_view name, std::string* missing) {
  if (ClassInfo* done = Loaded(name)) return done;
  if (!name.empty() && name[0] == '[') return LoadArray(name, missing);
  const ClassDecl* decl = manifest_.Find(name);
  if (decl == nullptr || std::find(loading_.begin(), loading_.end(), name) != loading_.end()) {
    *missing = std::string(name);
    return nullptr;
  }
  loading_.emplace_back(name);
  auto info = std::make_unique<ClassInfo>();
  info->name = decl->name;
  info->decl = decl;
  info->isInterface = decl->isInterface;
  info->isAbstract = decl->isAbstract || decl->isInterface;
  bool ok = true;
  if (!decl->superName.empty()) {
    info->super = Load(decl->superName, missing);
    ok = info->super != nullptr;
  }
  for (std::size_t i = 0; ok && i < decl->interfaces.size(); ++i) {
    ClassInfo* iface = Load(decl->interfaces[i], missing);
    ok = iface != nullptr;
    if (ok) info->interfaces.push_back(iface);
  }
  loading_.pop_back();
  if (!ok) return nullptr;
  return Register(std::move(info));
}

ClassInfo* ClassRegistry::LoadArray(std::string_view name, std::string* missing) {
  std::optional<TypeDesc> type = ParseFieldDescriptor(name);
  if (!type || type->kind != '[') {
    *missing = std::string(name);
    return nullptr;
  }
  std::optional<TypeDesc> element = ParseFieldDescriptor(name.substr(1));
  auto info = std::make_unique<ClassInfo>();
  info->name = std::string(name);
  info->componentKind = element->kind;
  if (element->IsReference()) {
    info->component = Load(element->ClassName(), missing);
    if (info->component == nullptr) return nullptr;
  }
  info->super = Load("java/lang/Object", missing);
  if (info->super == nullptr) return nullptr;
  for (const char* iface : {"java/lang/Cloneable", "java/io/Serializable"}) {
    if (ClassInfo* c = Load(iface, missing)) info->interfaces.push_back(c);
  }
  return Register(std::move(info));
}

bool ClassRegistry::DerivesFrom(const ClassInfo* c, std::string_view ancestorName) const {
  if (c == nullptr) return false;
  if (c->name == ancestorName) return true;
  if (DerivesFrom(c->super, ancestorName)) return true;
  for (const ClassInfo* iface : c->interfaces) {
    if (DerivesFrom(iface, ancestorName)) return true;
  }
  return false;
}

bool ClassRegistry::IsAssignable(const ClassInfo* from, const ClassInfo* to) const {
  if (from == nullptr || to == nullptr) return false;
  if (from == to) return true;
  if (from->IsArray() && to->IsArray()) {
    if (from->IsPrimitiveArray() || to->IsPrimitiveArray()) return false;
    return IsAssignable(from->component, to->component);
  }
  if (to->IsArray()) return false;
  return DerivesFrom(from, to->name);
}

}  // namespace fwtest::vm
