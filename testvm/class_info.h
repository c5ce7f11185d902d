// ClassInfo: a loaded class (from the manifest, or an array class made on demand).
//
//   ClassInfo* c = registry.Load("java/util/Vector", &missing);
//   registry.IsAssignable(c, registry.Load("java/util/List", &missing));   // true
#ifndef FWTEST_TESTVM_CLASS_INFO_H
#define FWTEST_TESTVM_CLASS_INFO_H

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "manifest.h"
#include "value.h"

namespace fwtest::vm {

struct ClassInfo {
  std::string name;                     // internal name; arrays use their descriptor "[Ljava/lang/String;"
  const ClassDecl* decl = nullptr;      // null for array classes
  ClassInfo* super = nullptr;
  std::vector<ClassInfo*> interfaces;
  bool isInterface = false;
  bool isAbstract = false;
  char componentKind = 0;               // arrays: descriptor kind of the elements ('L' and '[' for objects)
  ClassInfo* component = nullptr;       // arrays of objects: element class
  ObjectId classObject = 0;             // the java/lang/Class object for this class

  bool IsArray() const { return componentKind != 0; }
  bool IsPrimitiveArray() const { return IsArray() && component == nullptr; }
};

class ObjectHeap;

class ClassRegistry {
 public:
  ClassRegistry(const Manifest& manifest, ObjectHeap& heap) : manifest_(manifest), heap_(heap) {}

  // Loads the class and everything it builds on. On failure returns null and names, in `missing`,
  // the class that could not be found (the requested one or a superclass or interface).
  ClassInfo* Load(std::string_view name, std::string* missing);
  // Already loaded, without loading.
  ClassInfo* Loaded(std::string_view name) const;
  // Whether a value of class `from` may be stored where `to` is expected (JLS assignment rules).
  bool IsAssignable(const ClassInfo* from, const ClassInfo* to) const;
  // Whether `c` is `ancestorName` or derives from it.
  bool DerivesFrom(const ClassInfo* c, std::string_view ancestorName) const;

 private:
  ClassInfo* LoadArray(std::string_view name, std::string* missing);
  ClassInfo* Register(std::unique_ptr<ClassInfo> info);

  const Manifest& manifest_;
  ObjectHeap& heap_;
  std::map<std::string, std::unique_ptr<ClassInfo>, std::less<>> loaded_;
  std::vector<std::string> loading_;  // guards against cycles in a malformed manifest
};

}  // namespace fwtest::vm

#endif
