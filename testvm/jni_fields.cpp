// JNI functions on fields: GetFieldID, Get/Set<Type>Field, GetStaticFieldID, GetStatic<Type>Field.
// Instance fields live in the object's properties under the field's name; static fields in the
// properties of the declaring class's Class object, starting from the manifest's constant.
#include "jni_call_support.h"
#include "jni_functions.h"

namespace fwtest::vm {
namespace {

jfieldID LookUp(JNIEnv* env, const char* function, jclass clazz, const char* name, const char* sig, bool isStatic) {
  VmState& vm = VmState::From(env);
  vm.Enter(function);
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  return c == nullptr ? nullptr : vm.LookUpField(c, name, sig, isStatic);
}

jfieldID JNICALL GetFieldID(JNIEnv* env, jclass clazz, const char* name, const char* sig) {
  return LookUp(env, "GetFieldID", clazz, name, sig, false);
}

jfieldID JNICALL GetStaticFieldID(JNIEnv* env, jclass clazz, const char* name, const char* sig) {
  return LookUp(env, "GetStaticFieldID", clazz, name, sig, true);
}

std::string FieldName(const char* prefix, char k) { return std::string(prefix) + KindSuffix(k) + "Field"; }

// The checks every field access makes; null when the access cannot go on.
const FieldRef* CheckedField(VmState& vm, jfieldID id, char k, bool isStatic, const char* prefix) {
  const FieldRef* f = vm.FieldFromId(id);
  if (f == nullptr) return nullptr;
  if (f->isStatic != isStatic) {
    vm.Violation(f->Describe() + (isStatic ? " is not static" : " is static"));
    return nullptr;
  }
  if (!KindFits(k, f->type)) {
    vm.Violation(f->Describe() + " is a " + TypeName(f->type) + " field: use " + prefix +
                 KindSuffix(f->type.IsReference() ? 'L' : f->type.kind) + "Field");
    return nullptr;
  }
  return f;
}

// The object holding the field, or null after a violation.
Object* Holder(VmState& vm, jobject obj, const FieldRef& f) {
  ObjectId id = 0;
  Object* o = vm.Deref(obj, "object", std::nullopt, &id);
  if (o != nullptr && !vm.classes().IsAssignable(vm.ClassOf(id), f.declaring)) {
    vm.Violation("object is a " + vm.ClassOf(id)->name + ", which has no field " + f.Describe());
    return nullptr;
  }
  return o;
}

Value StaticValue(VmState& vm, const FieldRef& f) {
  Object& holder = *vm.Get(f.declaring->classObject);
  auto it = holder.properties.find(f.decl->name);
  if (it != holder.properties.end()) return it->second;
  if (f.decl->constant) return Value::Int(f.type.kind, *f.decl->constant);
  if (f.decl->realConstant) return Value::Real(f.type.kind, *f.decl->realConstant);
  return Value{};
}

template <char K>
KindT<K> JNICALL GetField(JNIEnv* env, jobject obj, jfieldID id) {
  VmState& vm = VmState::From(env);
  vm.Enter(FieldName("Get", K));
  const FieldRef* f = CheckedField(vm, id, K, false, "Get");
  Object* o = f == nullptr ? nullptr : Holder(vm, obj, *f);
  if (o == nullptr) return FromValue<K>(vm, Value{});
  auto it = o->properties.find(f->decl->name);
  Value stored = it == o->properties.end() ? Value{} : it->second;
  return FromValue<K>(vm, vm.Coerce(stored, f->type, "field " + f->Describe()));
}

template <char K>
void JNICALL SetField(JNIEnv* env, jobject obj, jfieldID id, KindT<K> value) {
  VmState& vm = VmState::From(env);
  vm.Enter(FieldName("Set", K));
  const FieldRef* f = CheckedField(vm, id, K, false, "Set");
  Object* o = f == nullptr ? nullptr : Holder(vm, obj, *f);
  if (o == nullptr) return;
  Value v;
  if constexpr (K == 'L') {
    v = Value::Ref(0);
    if (!vm.Resolve(value, "value", &v.object) || !vm.CheckAssignable(v, f->type, "value for " + f->Describe())) return;
  } else if constexpr (K == 'F' || K == 'D') {
    v = Value::Real(K, value);
  } else {
    v = Value::Int(K, value);
  }
  o->properties[f->decl->name] = v;
}

template <char K>
KindT<K> JNICALL GetStaticField(JNIEnv* env, jclass clazz, jfieldID id) {
  VmState& vm = VmState::From(env);
  vm.Enter(FieldName("GetStatic", K));
  const FieldRef* f = CheckedField(vm, id, K, true, "GetStatic");
  ClassInfo* c = vm.ClassFromRef(clazz, "class");
  if (f == nullptr || c == nullptr) return FromValue<K>(vm, Value{});
  if (!vm.classes().IsAssignable(c, f->declaring)) {
    vm.Violation("class " + c->name + " has no static field " + f->Describe());
    return FromValue<K>(vm, Value{});
  }
  return FromValue<K>(vm, vm.Coerce(StaticValue(vm, *f), f->type, "field " + f->Describe()));
}

}  // namespace

void InstallFieldFunctions(JNINativeInterface_& t) {
  t.GetFieldID = &GetFieldID;
  t.GetStaticFieldID = &GetStaticFieldID;
#define FWTEST_INSTALL_FIELDS(Type, K)             \
  t.Get##Type##Field = &GetField<K>;               \
  t.Set##Type##Field = &SetField<K>;               \
  t.GetStatic##Type##Field = &GetStaticField<K>;
  FWTEST_INSTALL_FIELDS(Object, 'L')
  FWTEST_INSTALL_FIELDS(Boolean, 'Z')
  FWTEST_INSTALL_FIELDS(Byte, 'B')
  FWTEST_INSTALL_FIELDS(Char, 'C')
  FWTEST_INSTALL_FIELDS(Short, 'S')
  FWTEST_INSTALL_FIELDS(Int, 'I')
  FWTEST_INSTALL_FIELDS(Long, 'J')
  FWTEST_INSTALL_FIELDS(Float, 'F')
  FWTEST_INSTALL_FIELDS(Double, 'D')
#undef FWTEST_INSTALL_FIELDS
}

}  // namespace fwtest::vm
