#include "vm_json.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <limits>

#include "behaviours.h"
#include "vm_state.h"

namespace fwtest {

using vm::ClassInfo;
using vm::MethodDecl;
using vm::Object;
using vm::ObjectId;
using vm::ObjectKind;
using vm::TypeDesc;
using vm::Value;

namespace {

constexpr int kMaxDepth = 16;
constexpr char kServiceExceptionClass[] = "com/fernwick/wizard/service/ServiceException";
constexpr char kHexDigits[] = "0123456789abcdef";

std::string LowerFirst(std::string name) {
  if (!name.empty()) name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  return name;
}

std::string UpperFirst(std::string name) {
  if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  return name;
}

bool IsJdkClass(const ClassInfo* c) { return c->name.rfind("java/", 0) == 0 || c->name.rfind("javax/", 0) == 0; }

std::optional<jlong> ParseKey(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(text[k]))) return std::nullopt;
  }
  return std::stoll(text);
}

// The static final int constants of a class and its superclasses (the names a key may be given as).
const vm::FieldDecl* FindConstant(const ClassInfo* c, const std::function<bool(const vm::FieldDecl&)>& match) {
  for (; c != nullptr; c = c->super) {
    if (c->decl == nullptr) continue;
    for (const vm::FieldDecl& f : c->decl->fields) {
      if ((f.flags & vm::kStatic) != 0 && (f.flags & vm::kFinal) != 0 && f.descriptor == "I" && f.constant &&
          match(f)) {
        return &f;
      }
    }
  }
  return nullptr;
}

// The elements a Vector holds, or those an Enumeration over one has yet to return.
const std::vector<Value>* ElementsOf(vm::VmState& s, const Object& o, std::size_t* from) {
  *from = 0;
  if (s.classes().DerivesFrom(o.cls, "java/util/Vector")) return &o.elements;
  auto it = o.properties.find("this$0");
  if (o.cls->name == "java/util/Vector$1" && it != o.properties.end()) {
    *from = o.cursor;
    return &s.Get(it->second.object)->elements;
  }
  return nullptr;
}

class Renderer {
 public:
  explicit Renderer(vm::VmState& s) : s_(s) {}

  Json Reference(ObjectId id, int depth) {
    Object* o = s_.Get(id);
    if (o == nullptr) return Json::Null();
    if (depth > kMaxDepth) return Json::String(u"...");
    switch (o->kind) {
      case ObjectKind::kString: return Json::String(o->text);
      case ObjectKind::kPrimitiveArray: return PrimitiveArray(*o);
      case ObjectKind::kObjectArray: return Values(o->elements, 0, depth);
      case ObjectKind::kClass: {
        Json::Members m;
        m.emplace_back("class", Json::String(std::u16string(o->represented->name.begin(), o->represented->name.end())));
        return Json::Object(std::move(m));
      }
      case ObjectKind::kInstance: break;
    }
    std::size_t from = 0;
    if (const std::vector<Value>* elements = ElementsOf(s_, *o, &from)) return Values(*elements, from, depth);
    return Peer(*o, depth);
  }

  Json Of(const Value& v, int depth) {
    if (!v.IsSet()) return Json::Null();
    if (v.kind == 'Z') return Json::Bool(v.integer != 0);
    if (v.IsIntegral()) return Json::Integer(v.integer);
    if (v.IsFloating()) return Json::Real(v.real);
    return Reference(v.object, depth + 1);
  }

 private:
  Json Values(const std::vector<Value>& values, std::size_t from, int depth) {
    std::vector<Json> out;
    for (std::size_t i = from; i < values.size(); ++i) out.push_back(Of(values[i], depth));
    return Json::Array(std::move(out));
  }

  static Json PrimitiveArray(const Object& o) {
    const char kind = o.cls->componentKind;
    if (kind == 'B') {
      std::u16string hex;
      for (unsigned char b : o.bytes) {
        hex += static_cast<char16_t>(kHexDigits[b >> 4]);
        hex += static_cast<char16_t>(kHexDigits[b & 15]);
      }
      return Json::String(std::move(hex));
    }
    const std::size_t size = vm::VmState::ElementSize(kind);
    std::vector<Json> out;
    for (std::size_t at = 0; at + size <= o.bytes.size(); at += size) {
      const unsigned char* p = o.bytes.data() + at;
      switch (kind) {
        case 'Z': out.push_back(Json::Bool(*p != 0)); break;
        case 'C': { std::uint16_t v; std::memcpy(&v, p, 2); out.push_back(Json::Integer(v)); break; }
        case 'S': { std::int16_t v; std::memcpy(&v, p, 2); out.push_back(Json::Integer(v)); break; }
        case 'I': { std::int32_t v; std::memcpy(&v, p, 4); out.push_back(Json::Integer(v)); break; }
        case 'J': { std::int64_t v; std::memcpy(&v, p, 8); out.push_back(Json::Integer(v)); break; }
        case 'F': { float v; std::memcpy(&v, p, 4); out.push_back(Json::Real(v)); break; }
        default: { double v; std::memcpy(&v, p, 8); out.push_back(Json::Real(v)); break; }
      }
    }
    return Json::Array(std::move(out));
  }

  Json Peer(const Object& o, int depth) {
    Json::Members members;
    AddConstructorArguments(o, depth, members);
    // setX(k, v): "X[k]" properties gathered per X, keys in numeric order when they are numbers.
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, const Value*>>>> indexed;
    for (const auto& [name, value] : o.properties) {
      const std::size_t open = name.find('[');
      if (open == std::string::npos || name.back() != ']') {
        members.emplace_back(LowerFirst(name), Of(value, depth));
        continue;
      }
      const std::string base = LowerFirst(name.substr(0, open));
      auto group = std::find_if(indexed.begin(), indexed.end(), [&](const auto& g) { return g.first == base; });
      if (group == indexed.end()) group = indexed.insert(indexed.end(), {base, {}});
      group->second.emplace_back(name.substr(open + 1, name.size() - open - 2), &value);
    }
    for (auto& [base, entries] : indexed) {
      std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const std::optional<jlong> ka = ParseKey(a.first), kb = ParseKey(b.first);
        return ka && kb ? *ka < *kb : a.first < b.first;
      });
      Json::Members group;
      for (const auto& [key, value] : entries) {
        std::string shown = key;
        if (const std::optional<jlong> number = ParseKey(key)) {
          const vm::FieldDecl* constant =
              FindConstant(o.cls, [&](const vm::FieldDecl& f) { return *f.constant == *number; });
          if (constant != nullptr) shown = constant->name;
        }
        group.emplace_back(shown, Of(*value, depth));
      }
      members.emplace_back(base, Json::Object(std::move(group)));
    }
    for (const auto& [name, values] : o.lists) {
      std::string key = LowerFirst(name);
      if (key.empty() || key.back() != 's') key += 's';
      members.emplace_back(key, Values(values, 0, depth));
    }
    return Json::Object(std::move(members));
  }

  void AddConstructorArguments(const Object& o, int depth, Json::Members& members) {
    if (o.ctorArgs.empty()) return;
    std::optional<vm::MethodSignature> sig = vm::ParseMethodDescriptor(o.ctorDescriptor);
    std::vector<const vm::FieldDecl*> fields;
    if (o.cls->decl != nullptr) {
      for (const vm::FieldDecl& f : o.cls->decl->fields) {
        if ((f.flags & vm::kStatic) == 0) fields.push_back(&f);
      }
    }
    bool named = sig && fields.size() == o.ctorArgs.size() && sig->params.size() == fields.size();
    for (std::size_t i = 0; named && i < fields.size(); ++i) named = fields[i]->descriptor == sig->params[i].text;
    if (named) {
      for (std::size_t i = 0; i < fields.size(); ++i) members.emplace_back(fields[i]->name, Of(o.ctorArgs[i], depth));
    } else {
      members.emplace_back("<init>", Values(o.ctorArgs, 0, depth));
    }
  }

  vm::VmState& s_;
};

// --- From JSON ---

struct Accessors {
  const MethodDecl* plain = nullptr;    // setX(v), or getX()/isX()
  bool plainIsSetter = false;
  const MethodDecl* indexed = nullptr;  // setX(k, v), or getX(k)
  bool indexedIsSetter = false;
};

class Maker {
 public:
  Maker(vm::VmState& s, std::string* error) : s_(s), error_(error) {}

  bool Make(const Json& json, const TypeDesc& type, const std::string& where, Value* out) {
    switch (type.kind) {
      case 'Z':
        if (json.kind() != Json::Kind::kBool) return Mismatch(json, "true or false", where);
        *out = Value::Int('Z', json.AsBool() ? 1 : 0);
        return true;
      case 'B': return Integral(json, type.kind, -128, 127, where, out);
      case 'C': return Integral(json, type.kind, 0, 65535, where, out);
      case 'S': return Integral(json, type.kind, -32768, 32767, where, out);
      case 'I':
        return Integral(json, type.kind, std::numeric_limits<jint>::min(), std::numeric_limits<jint>::max(), where, out);
      case 'J':
        return Integral(json, type.kind, std::numeric_limits<jlong>::min(), std::numeric_limits<jlong>::max(), where, out);
      case 'F':
      case 'D':
        if (json.kind() != Json::Kind::kNumber) return Mismatch(json, "a number", where);
        *out = Value::Real(type.kind, json.AsReal());
        return true;
      default: break;
    }
    if (json.IsNull()) {
      *out = Value::Ref(0);
      return true;
    }
    if (type.kind == '[') return ArrayValue(json, type, where, out);
    const std::string name = type.ClassName();
    if (name == "java/lang/String") {
      if (json.kind() != Json::Kind::kString) return Mismatch(json, "a string or null", where);
      *out = Value::Ref(s_.NewString(json.AsString()));
      return true;
    }
    if (name == "java/util/Vector" || name == "java/util/List" || name == "java/util/Collection" ||
        name == "java/util/Enumeration") {
      ObjectId vector = 0;
      if (!StringVector(json, where, &vector)) return false;
      if (name != "java/util/Enumeration") {
        *out = Value::Ref(vector);
        return true;
      }
      ObjectId e = s_.NewInstance(s_.LoadInternal("java/util/Vector$1"));
      s_.Get(e)->constructed = true;
      s_.Get(e)->properties["this$0"] = Value::Ref(vector);
      *out = Value::Ref(e);
      return true;
    }
    ClassInfo* c = s_.LoadInternal(name);
    if (c == nullptr) return Fail(where, "the class " + name + " is not known");
    if (IsJdkClass(c)) return Fail(where, "a " + name + " cannot be written as JSON");
    if (json.kind() != Json::Kind::kObject) return Mismatch(json, "an object with the properties of " + name, where);
    return Peer(json, c, where, out);
  }

 private:
  bool Fail(const std::string& where, const std::string& what) {
    if (error_ != nullptr) *error_ = where.empty() ? what : where + ": " + what;
    return false;
  }

  bool Mismatch(const Json& json, const std::string& expected, const std::string& where) {
    return Fail(where, std::string("expected ") + expected + ", not " + JsonKindName(json.kind()));
  }

  bool Integral(const Json& json, char kind, jlong low, jlong high, const std::string& where, Value* out) {
    if (!json.IsInteger()) return Mismatch(json, "a whole number", where);
    if (json.AsInteger() < low || json.AsInteger() > high) {
      return Fail(where, std::to_string(json.AsInteger()) + " is out of range for " + vm::TypeName(TypeDesc{kind, {kind}}));
    }
    *out = Value::Int(kind, json.AsInteger());
    return true;
  }

  bool StringVector(const Json& json, const std::string& where, ObjectId* out) {
    if (json.kind() != Json::Kind::kArray) return Mismatch(json, "an array of strings", where);
    ObjectId v = s_.NewInstance(s_.LoadInternal("java/util/Vector"));
    Object* o = s_.Get(v);
    o->constructed = true;
    o->ctorDescriptor = "()V";
    for (const Json& e : json.Elements()) {
      if (!e.IsNull() && e.kind() != Json::Kind::kString) return Mismatch(e, "a string or null", where + "[]");
      o->elements.push_back(Value::Ref(e.IsNull() ? 0 : s_.NewString(e.AsString())));
    }
    *out = v;
    return true;
  }

  bool ArrayValue(const Json& json, const TypeDesc& type, const std::string& where, Value* out) {
    std::optional<TypeDesc> component = vm::ParseFieldDescriptor(std::string_view(type.text).substr(1));
    ClassInfo* arrayClass = s_.LoadInternal(type.text);
    if (!component || arrayClass == nullptr) return Fail(where, "the type " + type.text + " is not known");
    if (component->kind == 'B' && json.kind() == Json::Kind::kString) return HexBytes(json.AsString(), arrayClass, where, out);
    if (json.kind() != Json::Kind::kArray) {
      return Mismatch(json, component->kind == 'B' ? "hex digits or an array" : "an array", where);
    }
    const std::vector<Json>& elements = json.Elements();
    const ObjectId id = s_.NewArray(arrayClass, elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
      Value v;
      if (!Make(elements[i], *component, where + "[" + std::to_string(i) + "]", &v)) return false;
      Object* array = s_.Get(id);
      if (array->kind == ObjectKind::kObjectArray) {
        array->elements[i] = v;
        continue;
      }
      const std::size_t size = vm::VmState::ElementSize(component->kind);
      unsigned char* p = array->bytes.data() + i * size;
      if (component->kind == 'F') {
        const float f = static_cast<float>(v.real);
        std::memcpy(p, &f, 4);
      } else if (component->kind == 'D') {
        std::memcpy(p, &v.real, 8);
      } else {
        std::memcpy(p, &v.integer, size);  // little-endian: the low bytes
      }
    }
    *out = Value::Ref(id);
    return true;
  }

  bool HexBytes(const std::u16string& hex, ClassInfo* arrayClass, const std::string& where, Value* out) {
    auto digit = [](char16_t c) -> int {
      if (c >= u'0' && c <= u'9') return c - u'0';
      if (c >= u'a' && c <= u'f') return c - u'a' + 10;
      if (c >= u'A' && c <= u'F') return c - u'A' + 10;
      return -1;
    };
    if (hex.size() % 2 != 0) return Fail(where, "hex bytes need an even number of digits");
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      const int high = digit(hex[i]), low = digit(hex[i + 1]);
      if (high < 0 || low < 0) return Fail(where, "\"" + Utf16ToUtf8(hex) + "\" is not hex digits");
      bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    const ObjectId id = s_.NewArray(arrayClass, bytes.size());
    s_.Get(id)->bytes = bytes;
    *out = Value::Ref(id);
    return true;
  }

  Accessors Find(const ClassInfo* c, const std::string& property) {
    Accessors a;
    for (; c != nullptr && !IsJdkClass(c); c = c->super) {
      if (c->decl == nullptr) continue;
      for (const MethodDecl& m : c->decl->methods) {
        if ((m.flags & vm::kStatic) != 0) continue;
        std::optional<vm::MethodSignature> sig = vm::ParseMethodDescriptor(m.descriptor);
        if (!sig) continue;
        const bool setter = m.name == "set" + property && sig->result.kind == 'V';
        const bool getter = (m.name == "get" + property || (m.name == "is" + property && sig->result.kind == 'Z')) &&
                            sig->result.kind != 'V';
        if (setter && sig->params.size() == 1 && (a.plain == nullptr || !a.plainIsSetter)) {
          a.plain = &m;
          a.plainIsSetter = true;
        } else if (getter && sig->params.empty() && a.plain == nullptr) {
          a.plain = &m;
        } else if (setter && sig->params.size() == 2 && (a.indexed == nullptr || !a.indexedIsSetter)) {
          a.indexed = &m;
          a.indexedIsSetter = true;
        } else if (getter && sig->params.size() == 1 && a.indexed == nullptr) {
          a.indexed = &m;
        }
      }
    }
    return a;
  }

  // The type of the value an accessor sets or gets, and (indexed) of its key.
  static TypeDesc ValueType(const MethodDecl& m, bool isSetter) {
    const vm::MethodSignature sig = *vm::ParseMethodDescriptor(m.descriptor);
    return isSetter ? sig.params.back() : sig.result;
  }
  static TypeDesc KeyType(const MethodDecl& m) { return vm::ParseMethodDescriptor(m.descriptor)->params.front(); }

  bool Peer(const Json& json, ClassInfo* c, const std::string& where, Value* out) {
    const ObjectId id = s_.NewInstance(c);
    for (const auto& [key, value] : json.MembersOf()) {
      const std::string at = where.empty() ? key : where + "." + key;
      const std::string property = UpperFirst(key);
      const Accessors a = Find(c, property);
      if (a.plain != nullptr) {
        Value v;
        if (!Make(value, ValueType(*a.plain, a.plainIsSetter), at, &v)) return false;
        s_.Get(id)->properties[property] = v;
        continue;
      }
      if (a.indexed != nullptr) {
        if (!Indexed(value, c, property, *a.indexed, a.indexedIsSetter, at, id)) return false;
        continue;
      }
      if (key.size() > 1 && key.back() == 's') {
        const std::string list = UpperFirst(key.substr(0, key.size() - 1));
        if (const MethodDecl* add = FindAdd(c, list)) {
          if (!List(value, c, list, *add, at, id)) return false;
          continue;
        }
      }
      return Fail(at, c->name + " has no property \"" + key + "\"");
    }
    *out = Value::Ref(id);
    return true;
  }

  bool Indexed(const Json& json, ClassInfo* c, const std::string& property, const MethodDecl& accessor, bool isSetter,
               const std::string& where, ObjectId id) {
    if (json.kind() != Json::Kind::kObject) return Mismatch(json, "an object of keys and values", where);
    const TypeDesc keyType = KeyType(accessor);
    for (const auto& [key, value] : json.MembersOf()) {
      std::string keyText = key;
      if (keyType.IsIntegral()) {
        const vm::FieldDecl* constant = FindConstant(c, [&](const vm::FieldDecl& f) { return f.name == key; });
        if (constant != nullptr) {
          keyText = std::to_string(*constant->constant);
        } else if (!ParseKey(key)) {
          return Fail(where, "\"" + key + "\" is neither a number nor a constant of " + c->name);
        }
      }
      Value v;
      if (!Make(value, ValueType(accessor, isSetter), where + "." + key, &v)) return false;
      s_.Get(id)->properties[vm::IndexedName(property, keyText)] = v;
    }
    return true;
  }

  const MethodDecl* FindAdd(const ClassInfo* c, const std::string& list) {
    for (; c != nullptr && !IsJdkClass(c); c = c->super) {
      if (c->decl == nullptr) continue;
      for (const MethodDecl& m : c->decl->methods) {
        std::optional<vm::MethodSignature> sig = vm::ParseMethodDescriptor(m.descriptor);
        if (m.name == "add" + list && sig && sig->params.size() == 1 && sig->result.kind == 'V') return &m;
      }
    }
    return nullptr;
  }

  bool List(const Json& json, ClassInfo* c, const std::string& list, const MethodDecl& add, const std::string& where,
            ObjectId id) {
    if (json.kind() != Json::Kind::kArray) return Mismatch(json, "an array", where);
    const TypeDesc elementType = vm::ParseMethodDescriptor(add.descriptor)->params.front();
    const bool counted = Find(c, list + "Count").plain != nullptr;
    const bool reachable = Find(c, list + "At").indexed != nullptr;
    const std::vector<Json>& elements = json.Elements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
      Value v;
      if (!Make(elements[i], elementType, where + "[" + std::to_string(i) + "]", &v)) return false;
      Object* o = s_.Get(id);
      o->lists[list].push_back(v);
      if (reachable) o->properties[vm::IndexedName(list + "At", std::to_string(i))] = v;
    }
    if (counted) s_.Get(id)->properties[list + "Count"] = Value::Int('I', static_cast<jlong>(elements.size()));
    return true;
  }

  vm::VmState& s_;
  std::string* error_;
};

}  // namespace

Json JsonOfReference(TestVm& vm, jobject ref) {
  vm::VmState& s = vm.Internals();
  ObjectId id = 0;
  const vm::RefStatus status = s.refs().Resolve(ref, &id);
  if (status != vm::RefStatus::kNull && status != vm::RefStatus::kLive) {
    s.RawViolation("JsonOfReference: the reference is no longer valid");
    return Json::Null();
  }
  return Renderer(s).Reference(id, 0);
}

Json JsonOfException(const ThrownException& e) {
  Json::Members details;
  if (e.className != kServiceExceptionClass) {
    details.emplace_back("class", Json::String(std::u16string(e.className.begin(), e.className.end())));
  }
  details.emplace_back("code", e.code ? Json::Integer(*e.code) : Json::Null());
  details.emplace_back("message", e.hasMessage ? Json::String(e.message) : Json::Null());
  Json::Members outer;
  outer.emplace_back("exception", Json::Object(std::move(details)));
  return Json::Object(std::move(outer));
}

Json CallOutcome(TestVm& vm, char kind, const jvalue& result) {
  if (std::optional<ThrownException> e = vm.TakePending()) return JsonOfException(*e);
  switch (kind) {
    case 'V': return Json::Null();
    case 'Z': return Json::Bool(result.z != JNI_FALSE);
    case 'B': return Json::Integer(result.b);
    case 'C': return Json::Integer(result.c);
    case 'S': return Json::Integer(result.s);
    case 'I': return Json::Integer(result.i);
    case 'J': return Json::Integer(result.j);
    case 'F': return Json::Real(result.f);
    case 'D': return Json::Real(result.d);
    default: return JsonOfReference(vm, result.l);
  }
}

Json CallOutcome(TestVm& vm, jboolean result) {
  jvalue v{};
  v.z = result;
  return CallOutcome(vm, 'Z', v);
}

Json CallOutcome(TestVm& vm, jint result) {
  jvalue v{};
  v.i = result;
  return CallOutcome(vm, 'I', v);
}

Json CallOutcome(TestVm& vm, jlong result) {
  jvalue v{};
  v.j = result;
  return CallOutcome(vm, 'J', v);
}

Json CallOutcome(TestVm& vm, jobject result) {
  jvalue v{};
  v.l = result;
  return CallOutcome(vm, 'L', v);
}

bool JavaValueFromJson(TestVm& vm, const Json& json, std::string_view descriptor, jvalue* out, std::string* error) {
  std::optional<TypeDesc> type = vm::ParseFieldDescriptor(descriptor);
  if (!type || type->kind == 'V') {
    if (error != nullptr) *error = "\"" + std::string(descriptor) + "\" is not a Java type";
    return false;
  }
  vm::VmState& s = vm.Internals();
  Value v;
  if (!Maker(s, error).Make(json, *type, "", &v)) return false;
  *out = jvalue{};
  switch (type->kind) {
    case 'Z': out->z = static_cast<jboolean>(v.integer); break;
    case 'B': out->b = static_cast<jbyte>(v.integer); break;
    case 'C': out->c = static_cast<jchar>(v.integer); break;
    case 'S': out->s = static_cast<jshort>(v.integer); break;
    case 'I': out->i = static_cast<jint>(v.integer); break;
    case 'J': out->j = v.integer; break;
    case 'F': out->f = static_cast<jfloat>(v.real); break;
    case 'D': out->d = v.real; break;
    default: out->l = s.Local(v.object); break;
  }
  return true;
}

}  // namespace fwtest
