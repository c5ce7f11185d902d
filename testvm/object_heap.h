// ObjectHeap: every Java object the test VM made, for the VM's lifetime (nothing is collected), so an
// ObjectId stays meaningful even after all references to it are gone.
//
//   ObjectId id = heap.Add(std::make_unique<Object>(stringClass, ObjectKind::kString));
//   heap.Get(id)->text = u"value";
#ifndef FWTEST_TESTVM_OBJECT_HEAP_H
#define FWTEST_TESTVM_OBJECT_HEAP_H

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "value.h"

namespace fwtest::vm {

struct ClassInfo;

enum class ObjectKind { kInstance, kString, kPrimitiveArray, kObjectArray, kClass };

struct Object {
  Object(ClassInfo* c, ObjectKind k) : cls(c), kind(k) {}

  ClassInfo* cls;
  ObjectKind kind;
  std::u16string text;                 // kString
  std::vector<Value> elements;         // kObjectArray; java/util/Vector contents; Enumeration snapshot
  std::vector<unsigned char> bytes;    // kPrimitiveArray storage, element size from cls
  std::size_t cursor = 0;              // Enumeration position
  ClassInfo* represented = nullptr;    // kClass: the class this object stands for
  bool constructed = false;            // a constructor ran
  std::string ctorDescriptor;
  std::vector<Value> ctorArgs;
  std::map<std::string, Value, std::less<>> properties;            // peer properties and fields
  std::map<std::string, std::vector<Value>, std::less<>> lists;    // addX(v) values
};

class ObjectHeap {
 public:
  ObjectHeap() { objects_.emplace_back(); }  // id 0 is null
  ObjectId Add(std::unique_ptr<Object> object) {
    objects_.push_back(std::move(object));
    return static_cast<ObjectId>(objects_.size() - 1);
  }
  Object* Get(ObjectId id) const { return id < objects_.size() ? objects_[id].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<Object>> objects_;
};

}  // namespace fwtest::vm

#endif
